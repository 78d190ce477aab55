#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh "$@"
builddir=${QM_BUILD_DIR:-build}
cd "$builddir"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
