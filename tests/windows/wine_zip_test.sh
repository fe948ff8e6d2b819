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
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}
work=$(mktemp -d)
cleanup() {
    WINEPREFIX=$work/prefix "$wineserver" -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

(cd "$work" && cmake -E tar xf "$zip")
exe=$(find "$work" -name corvalt.exe)
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINE=$wine

# A display of its own (Wine's 96 DPI), the prefix made on it.
xvfb-run -a -s "-screen 0 1366x768x24 -nolisten tcp" \
    bash -c '"$WINE" wineboot --init >/dev/null 2>&1 && bash "$0" "$1"' "$here/wine_window_test.sh" "$exe"
