#!/usr/bin/env bash
# Builds Dealscope as its users build it and runs every test: a Release build with GCC, then a build with
# AddressSanitizer + UndefinedBehaviorSanitizer, each followed by all tests; last a Debug build with clang that only
# compiles. Warnings are errors in all three.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
build() {
    local dir=$1; shift
    cmake -S . -B "$dir" -DDEALSCOPE_WERROR=ON "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}
run_suite() {
    build "$@"
    (cd "$1" && env -u DISPLAY ctest --output-on-failure -j "$jobs" --timeout 1500)
}
run_suite build -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_suite build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ -DDEALSCOPE_SANITIZE=ON \
    -DDEALSCOPE_BENCH=OFF
build build-clang -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++
