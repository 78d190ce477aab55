#!/usr/bin/env bash
# Configures and builds everything into build/ (warnings are errors).
# Extra arguments go to CMake, e.g. -DQM_SANITIZE=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
builddir=${QM_BUILD_DIR:-build}
cmake -S . -B "$builddir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_WARNINGS_AS_ERRORS=ON "$@" >/dev/null
cmake --build "$builddir" -j"$(nproc)"
