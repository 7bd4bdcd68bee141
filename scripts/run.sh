#!/usr/bin/env bash
# Installs what Tallowmere needs, builds it and starts the calculator.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target tallowmere
exec ./build/bin/tallowmere "$@"
