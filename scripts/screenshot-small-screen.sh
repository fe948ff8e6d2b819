#!/usr/bin/env bash
# Draws docs/small-screen.png: corvalt in command mode on a 1366x768 screen
# at 96 DPI under the openbox window manager, in a virtual X server. Run it
# after a build:
#
#   scripts/screenshot-small-screen.sh [OUTPUT.png]
#
# BUILD_DIR (default: build) names the build.
set -euo pipefail

cd "$(dirname "$0")/.."
output=${1:-docs/small-screen.png}
corvalt=${BUILD_DIR:-build}/app/corvalt

scripts/setup.sh packages xvfb xauth openbox xdotool x11-apps x11-xserver-utils imagemagick
xvfb-run --auto-servernum --server-args="-screen 0 1366x768x24 -dpi 96" bash -s "$corvalt" "$output" <<'SCREEN'
set -euo pipefail
openbox & wm=$!
"$1" & app=$!
window=$(xdotool search --sync --name '^USB HID MSR Demo' | head -1)
sleep 1  # the window manager frames the window, which then takes its place
xsetroot -solid '#5a6b7c'
# "Configuration Command And Response" starts at 224, 243 in the window.
corner() { xwininfo -id "$window" | awk "/Absolute upper-left $1/ { print \$4 }"; }
xdotool mousemove $(($(corner X) + 240)) $(($(corner Y) + 250)) click 1
sleep 1
xwd -root -silent | convert xwd:- "$2"
kill "$app" "$wm"
SCREEN
echo "wrote $output"
