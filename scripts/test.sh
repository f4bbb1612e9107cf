#!/usr/bin/env bash
# Builds the project and runs every test.
#   scripts/test.sh              the normal build, in build/
#   scripts/test.sh --sanitize   the AddressSanitizer + UndefinedBehaviorSanitizer build, in build-asan/
# QUILL_WERROR=ON (as CI sets it) turns warnings into errors.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

build=build
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILL_BENCH=ON)
if [ "${1:-}" = "--sanitize" ]; then
  build=build-asan
  options=(-DCMAKE_BUILD_TYPE=Debug -DQUILL_SANITIZE=ON -DQUILL_BENCH=OFF)
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

options+=(-DQUILL_WERROR="${QUILL_WERROR:-OFF}")

cmake -S . -B "$build" -G Ninja "${options[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
