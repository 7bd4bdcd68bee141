#!/usr/bin/env bash
# Builds the Debian package of Tallowmere and prints its path.
# The tree must be configured for the prefix the package installs to (/usr), because the
# programs find their data and their settings folder from it. By default a Release tree
# is made in build-package/; REUSE_BUILD=1 packages the tree in BUILD_DIR as it is
# configured (CI packages the tree its tests ran in, configured with that prefix).
# Extra configure arguments may be given in TALLOWMERE_CMAKE_ARGS.
#
# The package is reproducible: the same commit gives the same .deb, byte for byte,
# wherever it is checked out, whoever builds it and when. Its dates are those of the
# last commit (SOURCE_DATE_EPOCH, honoured by Qt's resource compiler and by CPack; an
# existing value is kept), files and folders are made under one umask, and
# CMakeLists.txt keeps the build folders out of the programs.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/reproducible.sh
BUILD_DIR=${BUILD_DIR:-build-package}
read -r -a extra <<< "${TALLOWMERE_CMAKE_ARGS:-}"

if [ "${REUSE_BUILD:-0}" = 1 ] && [ -f "$BUILD_DIR/CMakeCache.txt" ]; then
  prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$BUILD_DIR/CMakeCache.txt")
  if [ "$prefix" != /usr ]; then
    echo "package.sh: $BUILD_DIR is configured for $prefix, not /usr" >&2
    exit 1
  fi
else
  cmake -S . -B "$BUILD_DIR" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX=/usr \
    -DTALLOWMERE_BUILD_TESTS=OFF \
    -DTALLOWMERE_BUILD_BENCH=OFF \
    "${extra[@]}" >&2
fi
date_build_tree "$BUILD_DIR"
cmake --build "$BUILD_DIR" -j "$(nproc)" >&2
rm -f "$BUILD_DIR"/tallowmere_*.deb
(cd "$BUILD_DIR" && cpack -G DEB >&2)
deb=$(ls "$BUILD_DIR"/tallowmere_*.deb)
echo "$PWD/$deb"
