#!/usr/bin/env bash
# The window's zip as a user on Windows meets it: unpacked into a folder of
# its own and started on a Wine prefix made for it, with nothing of the
# build tree on any path. It must open, decode a swipe and save the
# transcript (wine_window_test.sh).
#
#   wine_zip_test.sh build-windows/corvalt-VERSION-windows-x86_64.zip
set -euo pipefail

zip=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}
work=$(mktemp -d)
xvfb=
cleanup() {
    WINEPREFIX=$work/prefix "$wineserver" -k 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb"
    rm -rf "$work"
}
trap cleanup EXIT

(cd "$work" && cmake -E tar xf "$zip")
exe=$(find "$work" -name corvalt.exe)
unset WINEPATH QT_PLUGIN_PATH QT_QPA_FONTDIR QT_QPA_PLATFORM
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
while [ ! -s "$work/display" ]; do
    kill -0 "$xvfb" 2>/dev/null || { echo "FAIL: Xvfb did not start" >&2; exit 1; }
    sleep 0.1
done
export DISPLAY=":$(cat "$work/display")"

/usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
bash "$here/wine_window_test.sh" "$exe"
