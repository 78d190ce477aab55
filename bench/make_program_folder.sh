#!/usr/bin/env bash
# Makes a program folder to try Quillmere by hand on a large catalogue: the
# program, the restore program and the help document from the build, and a
# data.qmd of made-up books (the benchmark's books; 100000 unless given).
#
#   bash bench/make_program_folder.sh FOLDER [BOOKS]
#   FOLDER/quillmere
#
# Builds what is missing first (into build/, or QM_BUILD_DIR). An existing
# data.qmd in FOLDER is never replaced.
set -euo pipefail
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: bash bench/make_program_folder.sh FOLDER [BOOKS]" >&2
    exit 2
fi
folder=$1
books=${2:-100000}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/${QM_BUILD_DIR:-build}
if [ -e "$folder/data.qmd" ]; then
    echo "$folder/data.qmd already exists; it is left as it is" >&2
    exit 1
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target quillmere qmrestore helpdocument quillmere_bench
mkdir -p "$folder"
cp "$build/bin/quillmere" "$build/bin/qmrestore" "$build/bin/qmp.html" "$folder/"
"$build/bin/quillmere_bench" --books "$books" --make "$folder/data.qmd"
echo "Start it with: $folder/quillmere"
