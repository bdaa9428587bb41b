#!/usr/bin/env bash
# Sets Dealscope up on a fresh Debian 12 machine and runs its main job on a sample page: installs the packages,
# builds, registers the stand-in companion, converts the page in batch with double-dummy analysis into
# out/layout_a.pbn and out/layout_a.txt, and, when a display is at hand, opens the window on the same page.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target dealscope dealscope_window tricksmith-standin
./build/bin/tricksmith-standin --register
mkdir -p out
page=tests/data/conversion/layout_a.htm
./build/bin/dealscope "$page" -dda -pbn out/layout_a.pbn -text out/layout_a.txt
echo "Wrote out/layout_a.pbn and out/layout_a.txt"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    ./build/bin/dealscope "$page"
else
    echo "No display: the window (./build/bin/dealscope $page) needs one."
fi
