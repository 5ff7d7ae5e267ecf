#!/bin/sh
# Runs a window program on a private X server with a window manager (Xvfb and
# openbox, from install-deps); exit 77 (skipped) when they are not there.
command -v Xvfb >/dev/null 2>&1 && command -v openbox >/dev/null 2>&1 || exit 77
dir="$(mktemp -d)"
trap 'kill $wm $x 2>/dev/null; wait 2>/dev/null; rm -rf "$dir"' EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" >/dev/null 2>&1 &
x=$!
i=0
while [ ! -s "$dir/display" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
[ -s "$dir/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(cat "$dir/display")"
export DISPLAY
HOME="$dir" openbox >/dev/null 2>&1 &
wm=$!
sleep 1
QT_QPA_PLATFORM=xcb "$@"
