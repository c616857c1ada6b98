#!/usr/bin/env bash
# Runs a command on a display of its own with a real window manager: Xvfb
# and openbox, so that what a desktop decides about windows (frames, which
# title-bar buttons, resizing, placement) is what the command sees.
#
#   with-openbox.sh COMMAND [ARGS...]
set -euo pipefail

# A free display number: the first without a lock file.
display=90
while [[ -e /tmp/.X${display}-lock || -e /tmp/.X11-unix/X${display} ]]; do display=$((display + 1)); done
export DISPLAY=:${display}

Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
wm=
cleanup() {
  [[ -n $wm ]] && kill "$wm" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT

for _ in $(seq 100); do xprop -root >/dev/null 2>&1 && break; sleep 0.05; done
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
# openbox has taken over once it names itself on the root window.
for _ in $(seq 200); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done

QT_QPA_PLATFORM=xcb "$@"
