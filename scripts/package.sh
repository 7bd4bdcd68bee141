#!/usr/bin/env bash
# Builds the Debian package of Tallowmere into build-package/ and prints its path.
# The tree is configured for the prefix the package installs to (/usr), because the
# programs find their data and their settings folder from it.
# Extra configure arguments may be given in TALLOWMERE_CMAKE_ARGS.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-package}
read -r -a extra <<< "${TALLOWMERE_CMAKE_ARGS:-}"

cmake -S . -B "$BUILD_DIR" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX=/usr \
  -DTALLOWMERE_BUILD_TESTS=OFF \
  -DTALLOWMERE_BUILD_BENCH=OFF \
  "${extra[@]}" >&2
cmake --build "$BUILD_DIR" -j "$(nproc)" >&2
rm -f "$BUILD_DIR"/tallowmere_*.deb
(cd "$BUILD_DIR" && cpack -G DEB >&2)
deb=$(ls "$BUILD_DIR"/tallowmere_*.deb)
echo "$PWD/$deb"
