#!/usr/bin/env bash
# Builds everything and runs the whole test suite.
# Extra configure arguments may be given in TALLOWMERE_CMAKE_ARGS.
set -euo pipefail
cd "$(dirname "$0")/.."
# Built as the package is, so that scripts/package.sh can pack this tree as it is.
source scripts/reproducible.sh
# The translation files match the texts in the code, and every text is translated.
./scripts/translations.sh --check
BUILD_DIR=${BUILD_DIR:-build}
read -r -a extra <<< "${TALLOWMERE_CMAKE_ARGS:-}"
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${extra[@]}"
date_build_tree "$BUILD_DIR"
cmake --build "$BUILD_DIR" -j "$(nproc)"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)"
