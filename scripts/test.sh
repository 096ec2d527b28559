#!/usr/bin/env bash
# Builds vedad with its tests and runs them all.
#   test.sh             the normal build, in build/
#   test.sh --sanitize  with AddressSanitizer and UndefinedBehaviorSanitizer, in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
flags=()
if [ "${1:-}" = "--sanitize" ]; then
    build_dir=build-sanitize
    flags=(-DVEDAD_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    # fontconfig keeps its caches as offsets, not pointers: a run that ends on an error before
    # the configuration is destroyed looks to the leak checker as if it leaked them.
    export LSAN_OPTIONS=suppressions=$(pwd)/tests/lsan-suppressions.txt
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

cmake -S . -B "$build_dir" -DVEDAD_BUILD_TESTS=ON "${flags[@]}"
cmake --build "$build_dir" -j "$(nproc)"
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
