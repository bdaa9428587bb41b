#!/usr/bin/env bash
# install_test.sh BUILD SOURCE PAGE: installs BUILD, moves the prefix and, with BUILD and SOURCE hidden in a mount
# namespace, runs a batch conversion of PAGE, "-dda" with the installed stand-in and the window with "-dda".
set -euo pipefail
build=$(realpath "$1") source=$(realpath "$2") page=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

if [ "${INSTALL_TEST_HIDDEN:-}" != 1 ]; then
    cmake --install "$build" --prefix "$work/staged" >/dev/null
    mv "$work/staged" "$work/prefix"
    cp "$page" "$work/page.htm"
    mkdir -p "$work/home" "$work/config" "$work/tmp"
    for file in "$RESOURCE_DIR/help/Dealscope.hhp" "$ICON_DIR/48x48/apps/dealscope.png" \
        "$ICON_DIR/scalable/apps/dealscope.svg"; do
        [ -e "$work/prefix/$file" ] || fail "not installed: $file"
    done
    desktop-file-validate "$work/prefix/$DATADIR/applications/dealscope.desktop" || fail "desktop entry"
    hide=(unshare -m --propagation private)
    [ "$(id -u)" -eq 0 ] || hide=(unshare -rm --propagation private)
    "${hide[@]}" true || fail "cannot make a mount namespace to hide the build and source trees"
    INSTALL_TEST_HIDDEN=1 INSTALL_TEST_WORK=$work "${hide[@]}" bash "$0" "$@"
    exit
fi

work=$INSTALL_TEST_WORK
mount -t tmpfs none "$build"
mount -t tmpfs none "$source"
[ -z "$(ls -A "$build")" ] && [ -z "$(ls -A "$source")" ] || fail "the trees are still visible"
bin=$work/prefix/$BINDIR
export HOME=$work/home XDG_CONFIG_HOME=$work/config TMPDIR=$work/tmp

"$bin/dealscope" "$work/page.htm" -pbn "$work/plain.pbn" -text "$work/plain.txt" || fail "batch run"
grep -q '^\[Deal "' "$work/plain.pbn" && [ -s "$work/plain.txt" ] || fail "batch output"

"$bin/tricksmith-standin" --register >/dev/null || fail "stand-in registration"
"$bin/dealscope" "$work/page.htm" -dda -pbn "$work/dda.pbn" || fail "batch -dda run"
grep -q '^\[DoubleDummyTricks "' "$work/dda.pbn" || fail "no double-dummy results"

# With "-dda" the main window shows only once the page has been converted and analysed (ctest gives it an X server).
[ -n "${DISPLAY:-}" ] || fail "no X server for the window"
export NO_AT_BRIDGE=1 GDK_BACKEND=x11 WEBKIT_DISABLE_COMPOSITING_MODE=1 LIBGL_ALWAYS_SOFTWARE=1
"$bin/dealscope" "$work/page.htm" -dda >"$work/window.log" 2>&1 &
window=$!
trap 'kill $window 2>/dev/null; rm -rf "$work"' EXIT
frames=$(timeout 60 xdotool search --sync --onlyvisible --name ' - Dealscope$') ||
    { cat "$work/window.log" >&2; fail "no main window with a page came up"; }
frame=${frames%%$'\n'*}
xprop -id "$frame" _NET_WM_ICON | grep -q '^_NET_WM_ICON(CARDINAL) = ' || fail "the main window has no icon"
echo "installed program: batch, -dda and window passed"
