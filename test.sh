#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
. scripts/compiler-cache.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRUFO_WERROR=ON >/dev/null
cmake --build build
# The desktop program's tests draw into memory, without a display.
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$(nproc)"
