#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ and runs the whole test suite there. The first report of either stops
# the test program that made it, so a finding fails its test. Leaks inside Debian's
# uninstrumented Qt, fontconfig and glib are suppressed (scripts/lsan.supp), nothing else.
# Extra configure arguments may be given in TALLOWMERE_CMAKE_ARGS.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-asan}
read -r -a extra <<< "${TALLOWMERE_CMAKE_ARGS:-}"
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

# Debug keeps Qt's and our own assertions; -O1 keeps the run time of the suite sane.
cmake -S . -B "$BUILD_DIR" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-O1 $flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$flags" \
  -DTALLOWMERE_BUILD_BENCH=OFF \
  "${extra[@]}"
cmake --build "$BUILD_DIR" -j "$(nproc)"

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:detect_invalid_pointer_pairs=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:report_error_type=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" "$@"
