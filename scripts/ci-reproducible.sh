#!/usr/bin/env bash
# CI stage: the package of the tested tree must be the package anyone else gets from
# the same commit. Makes a git clone of the tested commit in another folder and builds
# the package there with scripts/package.sh under another umask, in another time zone
# and configured as the tested tree is (prefix /usr, the same build type; tests and
# benchmarks off, which changes nothing that is installed), then compares the two
# files byte for byte. On a difference it prints the first 200 lines of diffoscope's
# report (the whole report is kept beside the rebuilt package) and fails.
#
#   BUILD_DIR  the tested tree, already packaged by scripts/package.sh (default build)
#   REBUILD_DIR  where the clone goes (default: a new temporary folder, removed after
#                a match)
# Needs: git, diffoscope (Debian's diffoscope-minimal).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}

fail() {
  echo "ci-reproducible: $*" >&2
  exit 1
}

[ -f "$BUILD_DIR/CMakeCache.txt" ] || fail "$BUILD_DIR is not a configured tree"
tested=$(ls "$BUILD_DIR"/tallowmere_*.deb 2>/dev/null || true)
[ -n "$tested" ] && [ "$(wc -l <<< "$tested")" -eq 1 ] ||
  fail "$BUILD_DIR holds no single package: run scripts/package.sh for it first"
commit=$(git rev-parse --verify HEAD) || fail "the tested tree is not a git checkout"
# The rebuild is of the commit, so changes not committed would show as differences.
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  git status --short --untracked-files=no >&2
  fail "the tree has changes that are not committed; the rebuild can only make the commit"
fi
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$BUILD_DIR/CMakeCache.txt")
[ -n "$build_type" ] || fail "$BUILD_DIR has no build type"

if [ -n "${REBUILD_DIR:-}" ]; then
  rm -rf "$REBUILD_DIR"
  mkdir -p "$REBUILD_DIR"
  root=$(cd "$REBUILD_DIR" && pwd)
  keep=1
else
  root=$(mktemp -d /tmp/tallowmere-rebuild.XXXXXX)
  keep=0
fi
echo "ci-reproducible: rebuilding $commit ($build_type) in $root/src"
(
  umask 002
  git clone --quiet --no-checkout "$PWD" "$root/src"
  git -C "$root/src" checkout --quiet --detach "$commit"
  cd "$root/src"
  export TZ=Pacific/Chatham
  unset SOURCE_DATE_EPOCH
  TALLOWMERE_CMAKE_ARGS="-DCMAKE_BUILD_TYPE=$build_type" BUILD_DIR=build-rebuild \
    ./scripts/package.sh > "$root/deb-path"
) > "$root/build.log" 2>&1 || { tail -40 "$root/build.log" >&2; fail "the rebuild failed (log: $root/build.log)"; }
rebuilt=$(cat "$root/deb-path")

if cmp -s "$tested" "$rebuilt"; then
  echo "ci-reproducible: $(basename "$tested") is the same, byte for byte: $(sha256sum < "$tested" | cut -d' ' -f1)"
  [ "$keep" = 1 ] || rm -rf "$root"
  exit 0
fi
echo "ci-reproducible: the rebuilt package differs from the tested one:" >&2
sha256sum "$tested" "$rebuilt" >&2
report=$root/diffoscope.txt
diffoscope --text "$report" --no-progress "$tested" "$rebuilt" > /dev/null 2>&1 || true
head -200 "$report" >&2
fail "not reproducible; diffoscope's whole report: $report"
