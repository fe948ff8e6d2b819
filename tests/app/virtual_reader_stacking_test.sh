#!/usr/bin/env bash
# The Virtual Reader window as a user meets it under a window manager: the
# real `corvalt --virtual-reader 0x0009` on an Xvfb screen of the size
# given, framed by openbox. The main window is made the active window and
# switched to command mode, where it is tallest, by a click on its radio
# button. In both modes the Virtual Reader window must lie beside or below
# the main window where the screen has room for it; after the click it must
# be on the screen and stacked above the main window where they overlap.
# Usage: virtual_reader_stacking_test.sh CORVALT WIDTHxHEIGHT
# Exits 77 (skipped) where Xvfb or openbox is missing, except under CI.
corvalt=$1 size=$2
set -u

skip() {
    [ -n "${CI:-}" ] && { echo "FAIL: $1"; exit 1; }
    echo "SKIP: $1"
    exit 77
}
command -v Xvfb >/dev/null || skip "Xvfb not found (install xvfb)"
command -v openbox >/dev/null || skip "openbox not found (install openbox)"

pids=()
display_file=$(mktemp)
trap 'kill "${pids[@]}" 2>/dev/null; rm -f "$display_file"' EXIT
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || skip "Xvfb did not start"
export DISPLAY=":$(cat "$display_file")"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

"$corvalt" --virtual-reader 0x0009 >/dev/null 2>&1 &
pids+=($!)

# window NAME: the id of the visible window whose title starts with NAME.
window() {
    local id
    for _ in $(seq 300); do
        id=$(xdotool search --onlyvisible --name "^$1" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return; }
        sleep 0.1
    done
    echo "FAIL: no window '$1'" >&2
    exit 1
}
# frame ID: the window's frame as "left top right bottom", openbox's
# decorations included (xwininfo gives the window's own place and size).
frame() {
    local x y width height extents
    read -r x y width height <<<"$(xwininfo -id "$1" | awk -F: '/Absolute upper-left [XY]|Width|Height/ { printf "%d ", $2 }')"
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | grep -oE '[0-9]+(, [0-9]+){3}' | tr -d ,)
    read -r left right top bottom <<<"${extents:-0 0 0 0}"
    echo $((x - left)) $((y - top)) $((x + width + right)) $((y + height + bottom))
}

failed=0
fail() { echo "FAIL: $*"; failed=1; }
width=${size%x*} height=${size#*x}
# apart WHEN: the two frames must not overlap where the screen has room for
# the Virtual Reader window beside or below the main window.
apart() {
    read -r ml mt mr mb <<<"$(frame "$main")"
    read -r rl rt rr rb <<<"$(frame "$reader")"
    echo "$1: screen $size, main window $ml,$mt-$mr,$mb, Virtual Reader $rl,$rt-$rr,$rb"
    if ((width - mr >= rr - rl || ml >= rr - rl || height - mb >= rb - rt)); then
        ((rl >= mr || rr <= ml || rt >= mb || rb <= mt)) || fail "$1: the windows overlap where there is room"
    fi
}

main=$(window "USB HID MSR Demo")
reader=$(window "Virtual Reader")
sleep 1  # both framed and placed
apart "reading mode"
# The main window made the active one, as a click on it makes it, then
# "Configuration Command And Response" clicked where the window's template
# puts it. The click is sent to the main window itself: on a small screen
# the Virtual Reader window lies over that place. Sent again while the
# window, starting on a busy machine, has not taken it yet.
for _ in $(seq 30); do
    xdotool windowactivate --sync "$main" mousemove --window "$main" 231 250 click --window "$main" 1
    sleep 1
    xdotool getwindowname "$main" | grep -q "Command Mode" && break
done
sleep 1  # the window grown, the other placed again

xdotool getwindowname "$main" | grep -q "Command Mode" || fail "the main window did not switch to command mode"
apart "command mode"
((rl >= 0 && rt >= 0 && rr <= width && rb <= height)) || fail "the Virtual Reader window is off the screen"
stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | grep -oE '0x[0-9a-f]+' | xargs printf '%d\n')
above=$(printf '%s\n' "$stacking" | grep -xn -e "$main" -e "$reader" | tail -n 1 | cut -d: -f2)
if ((rl < mr && ml < rr && rt < mb && mt < rb)); then
    [ "$above" = "$reader" ] || fail "the main window covers the Virtual Reader window"
fi
((failed)) && exit 1
echo "the Virtual Reader window stays on the screen, above the main window"
