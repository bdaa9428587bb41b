#!/usr/bin/env bash
# Builds Dealscope twice (plain, then with AddressSanitizer + UndefinedBehaviorSanitizer) and runs all tests in each.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
if [ -f tests/oracle/package.json ]; then
    (cd tests/oracle && npm ci --no-audit --no-fund --silent)
fi
run_suite() {
    local dir=$1; shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    (cd "$dir" && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j "$jobs" --timeout 1500)
}
run_suite build
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_suite build-asan -DDEALSCOPE_SANITIZE=ON -DDEALSCOPE_BENCH=OFF
