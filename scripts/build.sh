#!/usr/bin/env bash
# Configures and builds into build/ (warnings are errors): everything, or only
# the targets named in QM_TARGETS. Extra arguments go to CMake, e.g.
# -DQM_SANITIZE=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
builddir=${QM_BUILD_DIR:-build}
cmake -S . -B "$builddir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_WARNINGS_AS_ERRORS=ON "$@" >/dev/null
targets=()
for t in ${QM_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$builddir" -j"$(nproc)" "${targets[@]}"
