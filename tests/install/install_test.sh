#!/usr/bin/env bash
# install_test.sh BUILD SOURCE PAGE: installs BUILD, moves the prefix and, with BUILD and SOURCE hidden in a mount
# namespace, runs a batch conversion of PAGE, "-dda" with the installed stand-in and the window with "-dda".
set -euo pipefail
build=$(realpath "$1") source=$(realpath "$2") page=$3
fail() { echo "FAILED: $*" >&2; exit 1; }

if [ "${INSTALL_TEST_HIDDEN:-}" != 1 ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
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
# A tree inside the other is gone once the outer one is covered.
for tree in "$build" "$source"; do
    [ ! -e "$tree" ] || [ -z "$(ls -A "$tree")" ] || fail "the tree $tree is still visible"
done
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
# The window is gone before the outer run removes the work folder it writes in.
trap 'kill $window 2>/dev/null || true; wait $window 2>/dev/null || true' EXIT
# On failure: what the window wrote and the windows that are up.
window_failed() {
    echo "--- the window's output:" >&2
    cat "$work/window.log" >&2
    echo "--- visible windows:" >&2
    for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        echo "$id $(xdotool getwindowname "$id" 2>&1)" >&2
    done
    fail "$@"
}
frames=$(timeout 60 xdotool search --sync --onlyvisible --name ' - Dealscope$') ||
    window_failed "no main window with a page came up"
frame=${frames%%$'\n'*}
# The icon property is read whole before it is looked at: a reader that stops at its first line would end xprop
# with SIGPIPE while it still prints the icons, and pipefail would take that for a failure.
icon=$(xprop -id "$frame" _NET_WM_ICON) || window_failed "cannot read the icon of the main window $frame (xprop: $?)"
[[ $icon == '_NET_WM_ICON(CARDINAL) = '* ]] || window_failed "the main window $frame has no icon: ${icon:0:200}"
echo "installed program: batch, -dda and window passed"
