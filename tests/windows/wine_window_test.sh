#!/usr/bin/env bash
# The window for Windows as an operator meets it, under Wine on an X
# display, driven by xdotool alone: corvalt.exe --virtual-reader opens the
# reading-mode window, a Swipe of the Virtual Reader window is decoded into
# the transcript, and the transcript is saved through Windows' own file
# dialog and read back here.
#
#   wine_window_test.sh CORVALT_EXE [SCREENSHOT.png]
#
# Needs DISPLAY, WINEPREFIX (a running wineserver is used) and, for a build
# tree, WINEPATH and QT_PLUGIN_PATH as scripts/setup.sh test-windows sets
# them; a program unpacked from the zip needs neither. With SCREENSHOT, the
# screen is written there after the swipe (ImageMagick's import).
set -euo pipefail

# Windows' own platform, on the display.
unset QT_QPA_PLATFORM

exe=$1
screenshot=${2:-}
wine=${WINE:-/usr/lib/wine/wine64}
work=$(mktemp -d)
program=
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Waits up to 60 s for a window whose whole title matches; prints its id.
window() {
    local id
    for _ in $(seq 600); do
        if id=$(xdotool search --name "^$1\$" 2>/dev/null); then
            echo "$id" | head -n 1
            return 0
        fi
        sleep 0.1
    done
    fail "no window \"$1\""
}

# Wine, with no window manager, makes a window the active one when it is
# clicked: a click on its margin, where there is no control.
activate() {
    xdotool mousemove --window "$1" 3 3 click 1
    sleep 0.5
}

"$wine" "$exe" --virtual-reader >"$work/out.txt" 2>&1 &
program=$!
main=$(window "USB HID MSR Demo - Hid Mode")
reader=$(window "Virtual Reader")

# The Virtual Reader window starts on its first sample card; Swipe is the
# ninth stop of its tab order (card, three tracks each with Unreadable, the
# swipe direction).
activate "$reader"
xdotool key --delay 50 Tab Tab Tab Tab Tab Tab Tab Tab space
sleep 1
[ -z "$screenshot" ] || import -window root "$screenshot"

# In reading mode the window takes every key as a reader in keyboard mode
# would type it; Shift+F6 hands the keys back, so Ctrl+S reaches its shortcut.
activate "$main"
xdotool key shift+F6 ctrl+s
window "Save Transcript As" >/dev/null
sleep 0.5
saved="$work/transcript.txt"
xdotool type --delay 20 "Z:${saved//\//\\}"
xdotool key Return
for _ in $(seq 100); do
    [ -s "$saved" ] && break
    sleep 0.1
done
[ -s "$saved" ] || fail "the transcript was not saved"

expect() {
    grep -qxF "$1"$'\r' "$saved" || { cat -A "$saved" >&2; fail "the transcript lacks: $1"; }
}
expect "Card Encode Type = ISO"
expect "Track 1 = %B4111111111111111^TEST/CARDHOLDER^3012101000000000000000000?"
expect "Track 2 = ;4111111111111111=30121010000000000000?"
echo "PASS: the swipe decoded, the transcript saved through Windows' file dialog"
