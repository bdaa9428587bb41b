#!/usr/bin/env bash
# Times a batch conversion, `dealscope PAGE -pbn OUT`, against `xmllint --html --noout PAGE` on the same page,
# on a 36-board and a 1,000-board page, as whole-process times over repeated runs (median), and prints
# `batch_vs_xmllint <ratio>` for the 36-board page last.
#
# usage: bench/batch_bench.sh [BUILD_DIR] [RUNS]     (defaults: build, 41)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-"$here/../build"}
runs=${2:-41}
program="$build/bin/dealscope"
[ -x "$program" ] || { echo "no program at $program: build the dealscope target first" >&2; exit 1; }
command -v xmllint >/dev/null || { echo "xmllint is missing (Debian package libxml2-utils)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$here/make_batch_page.py" 36 "$work/page36.html" 36
python3 "$here/make_batch_page.py" 1000 "$work/page1000.html" 1000
export XDG_CONFIG_HOME="$work/config"

# Median wall time in milliseconds of RUNS runs of a command (after one warm-up run), each a fresh process.
median_ms() {
    python3 - "$runs" "$@" <<'PY'
import os, statistics, subprocess, sys, time
runs, command = int(sys.argv[1]), sys.argv[2:]
def once():
    start = time.perf_counter()
    result = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    elapsed = time.perf_counter() - start
    if result.returncode != 0:
        sys.exit("failed: %s\n%s" % (" ".join(command), result.stderr.decode(errors="replace")))
    return elapsed
once()
print("%.3f" % (statistics.median(once() for _ in range(runs)) * 1000))
PY
}

for boards in 1000 36; do
    page="$work/page$boards.html"
    ours=$(median_ms "$program" "$page" -pbn "$work/out$boards.pbn")
    peer=$(median_ms xmllint --html --noout "$page")
    ratio=$(python3 -c "print('%.2f' % ($ours / $peer))")
    printf '%5d boards (%7d bytes): dealscope %8.3f ms, xmllint %8.3f ms, ratio %s\n' \
        "$boards" "$(stat -c %s "$page")" "$ours" "$peer" "$ratio"
done
echo "batch_vs_xmllint $ratio"
