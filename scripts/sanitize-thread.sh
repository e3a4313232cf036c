#!/usr/bin/env bash
# Builds the engine tests with g++ under the thread sanitizer, in their own
# build folder, and runs them. The engine is where the second thread lives
# (the resize-ahead worker of the make run); a data race there fails the run.
#
#   scripts/sanitize-thread.sh [gtest arguments...]
#
# MIRUFO_TSAN_BUILD names the build folder (default build-tsan).
set -euo pipefail
cd "$(dirname "$0")/.."

build="${MIRUFO_TSAN_BUILD:-build-tsan}"
jobs="${MIRUFO_SANITIZE_JOBS:-$(nproc)}"
flags="-O1 -g1 -fsanitize=thread -fno-omit-frame-pointer"

# Only the libraries the engine builds on, and the sample picture its tests use.
CC=gcc CXX=g++ cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=None \
  -DMIRUFO_BUILD_APP=OFF -DMIRUFO_BUILD_BENCH=OFF \
  "-DMIRUFO_SUBSYSTEMS=platform;imaging;color;catalogue;import;engine;tools" \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build "$build" -j "$jobs" --target engine_tests

export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}"
"$build/tests/engine_tests" --gtest_brief=1 "$@"
