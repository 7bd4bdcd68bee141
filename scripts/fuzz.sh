#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# into build-fuzz/ and runs each for a bounded time from its seed corpus in
# fuzz/corpus/<target>/. Every seed is replayed first, so an input kept there from an
# earlier crash fails at once while the fault is still in the code.
#
# A crash, a sanitizer report, a leak, a hang or running out of memory fails the run;
# the input that caused it is copied into the target's corpus folder (commit it: it is
# the regression case) and printed in base64 for a run whose tree is thrown away.
#
#   FUZZ_SECONDS   time per target (default 60)
#   FUZZ_JOBS      targets run side by side (default: number of cores)
#   FUZZ_TARGETS   names to run (default: all, e.g. "formatting help_file")
#   FUZZ_MERGE=1   afterwards, fold the new inputs that reach new code into the corpus
#   TALLOWMERE_CMAKE_ARGS  extra configure arguments
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD_DIR=${BUILD_DIR:-build-fuzz}
SECONDS_EACH=${FUZZ_SECONDS:-60}
JOBS=${FUZZ_JOBS:-$(nproc)}
read -r -a extra <<< "${TALLOWMERE_CMAKE_ARGS:-}"
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

# Debug keeps the assertions on; -O1 keeps the fuzzer fast enough to get somewhere.
cmake -S . -B "$BUILD_DIR" -G Ninja \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-O1 $flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$flags" \
  -DTALLOWMERE_BUILD_TESTS=OFF \
  -DTALLOWMERE_BUILD_BENCH=OFF \
  -DTALLOWMERE_FUZZ=ON \
  "${extra[@]}"
cmake --build "$BUILD_DIR" -j "$(nproc)" --target fuzz_targets

targets=()
if [ -n "${FUZZ_TARGETS:-}" ]; then
  read -r -a targets <<< "$FUZZ_TARGETS"
else
  for exe in "$BUILD_DIR"/bin/fuzz_*; do
    targets+=("$(basename "$exe" | sed 's/^fuzz_//')")
  done
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz.sh: no fuzz target was built" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

export QT_QPA_PLATFORM=offscreen
export LC_ALL=C.UTF-8
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:report_error_type=1"
export LSAN_OPTIONS="suppressions=$ROOT/scripts/lsan.supp:print_suppressions=0"

run_target() {
  local name=$1
  local exe=$ROOT/$BUILD_DIR/bin/fuzz_$name
  local corpus=$ROOT/fuzz/corpus/$name
  local dir=$work/$name
  mkdir -p "$dir/new" "$dir/artifacts" "$corpus"
  # New inputs go to a scratch folder first: the repository keeps only seeds and
  # regression cases unless FUZZ_MERGE asks for more.
  if "$exe" -max_total_time="$SECONDS_EACH" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$dir/artifacts/" "$dir/new" "$corpus" > "$dir/log" 2>&1; then
    echo ok > "$dir/result"
  else
    echo failed > "$dir/result"
  fi
}

start=$(date +%s)
for name in "${targets[@]}"; do
  if [ ! -x "$BUILD_DIR/bin/fuzz_$name" ]; then
    echo "fuzz.sh: no target fuzz_$name" >&2
    exit 1
  fi
  run_target "$name" &
  while [ "$(jobs -rp | wc -l)" -ge "$JOBS" ]; do
    wait -n || true
  done
done
wait

failed=0
for name in "${targets[@]}"; do
  dir=$work/$name
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$dir/log" | tail -1 | grep -o '[0-9]*$' || echo "?")
  cov=$(grep -o 'cov: [0-9]*' "$dir/log" | tail -1 | grep -o '[0-9]*$' || echo "?")
  if [ "$(cat "$dir/result")" = ok ]; then
    echo "fuzz $name: ok, $runs runs, coverage $cov"
  else
    failed=1
    echo "fuzz $name: FAILED after $runs runs"
    sed -n '/==[0-9]*==\|runtime error\|ERROR: libFuzzer\|SUMMARY/,$p' "$dir/log" | head -80
    for artifact in "$dir"/artifacts/*; do
      [ -e "$artifact" ] || continue
      cp "$artifact" "fuzz/corpus/$name/"
      echo "fuzz $name: input kept as fuzz/corpus/$name/$(basename "$artifact"); base64:"
      base64 -w 76 "$artifact" | head -200
    done
  fi
  if [ "${FUZZ_MERGE:-0}" = 1 ] && [ "$(cat "$dir/result")" = ok ]; then
    "$ROOT/$BUILD_DIR/bin/fuzz_$name" -merge=1 "fuzz/corpus/$name" "$dir/new" > "$dir/merge.log" 2>&1
  fi
done
echo "fuzz: ${#targets[@]} targets, $(( $(date +%s) - start )) s"
exit "$failed"
