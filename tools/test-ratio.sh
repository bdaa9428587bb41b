#!/usr/bin/env bash
# Non-blank lines of test code and scripts (tests/, data aside) against product code (src/, standin/).
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
    git ls-files "$@" | grep -E '\.(cpp|h|hpp|cc|c|js|py|sh|tcl)$|CMakeLists\.txt$' | grep -v '^tests/data/' |
        xargs -r cat | grep -cv '^[[:space:]]*$' || true
}
product=$(count src standin)
tests=$(count tests)
awk -v t="$tests" -v p="$product" 'BEGIN { printf "product %d, tests %d, tests/product %.3f\n", p, t, p ? t / p : 0 }'
