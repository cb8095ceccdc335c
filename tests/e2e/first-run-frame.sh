#!/usr/bin/env bash
# The real desktop program's first run under a virtual X display with a
# window manager: the main window's frame, title bar included, lies wholly
# on the screen, so the window can be dragged; so does it when the stored
# place is 0,0. Skipped (status 77) where the display, the window manager or
# the X tools are not installed.
# Usage: first-run-frame.sh KEA_PROGRAM
set -euo pipefail
kea=${1:?usage: first-run-frame.sh KEA_PROGRAM}
for tool in Xvfb xdotool import openbox xprop xwininfo; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (scripts/test.sh installs it)"; exit 77; }
done
source "$(dirname "$0")/virtual-display.sh"
openbox >/dev/null 2>&1 &
wm_pid=$!
trap 'kill "$wm_pid" 2>/dev/null || true; cleanup' EXIT
for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done

export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME/Gridsmith" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
read -r screen_w screen_h < <(xwininfo -root | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')

# Starts the program, waits until the window manager has framed its main
# window and settled, and checks that the frame lies on the screen.
check_frame() {  # what
  "$kea" >"$work/kea.log" 2>&1 &
  kea_pid=$!
  local window extents=
  window=$(timeout 20 xdotool search --sync --onlyvisible --name ' - KEA$' | head -n1) || fail "$1: no main window appeared"
  for _ in $(seq 50); do
    extents=$(xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p')
    [ -n "$extents" ] && break
    sleep 0.1
  done
  [ -n "$extents" ] || fail "$1: the window manager put no frame around the window"
  sleep 1  # the program may still move its window into place
  local left right top bottom x y w h
  IFS=', ' read -r left right top bottom <<<"$extents"
  read -r x y w h < <(xwininfo -id "$window" |
    awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
  local fx=$((x - left)) fy=$((y - top)) fr=$((x + w + right)) fb=$((y + h + bottom))
  echo "$1: frame from $fx,$fy to $fr,$fb on a ${screen_w}x$screen_h screen"
  [ "$fx" -ge 0 ] && [ "$fy" -ge 0 ] && [ "$fr" -le "$screen_w" ] && [ "$fb" -le "$screen_h" ] ||
    fail "$1: the main window's frame ($fx,$fy to $fr,$fb) is not wholly on the ${screen_w}x$screen_h screen"
  xdotool windowactivate --sync "$window" key ctrl+q
  for _ in $(seq 100); do kill -0 "$kea_pid" 2>/dev/null || break; sleep 0.1; done
  kill "$kea_pid" 2>/dev/null || true
  wait "$kea_pid" 2>/dev/null || true
  kea_pid=
}

check_frame "first run"
settings="$XDG_CONFIG_HOME/Gridsmith/KEA 2.11.conf"
sed -i -e 's/^ViewWindowX=.*/ViewWindowX=0/' -e 's/^ViewWindowY=.*/ViewWindowY=0/' "$settings"
check_frame "stored at 0,0"
echo "passed: the main window's frame lies on the screen"
