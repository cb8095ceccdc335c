#!/usr/bin/env bash
# Regenerates the screenshots of the README's tour under a virtual display
# with a small window manager: a first run (the whole screen), the main
# window with results, the options window, the quick reference, the
# definition window for "tail" and a saving error. Images go to
# docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

kea_install_packages "${KEA_PACKAGES[@]}" "${KEA_TEST_PACKAGES[@]}"
kea_build release
out=docs/screenshots
mkdir -p "$out"

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# A first run as a new user sees it: no settings at all, the whole screen.
export XDG_CONFIG_HOME="$work/first"
build/release/bin/kea >/dev/null 2>&1 &
first=$!
timeout 20 xdotool search --sync --name ' - KEA$' >/dev/null
sleep 2
import -window root "$out/first-run.png"
kea_say "Wrote $out/first-run.png"
kill "$first" 2>/dev/null || true
wait "$first" 2>/dev/null || true

# A tidy run for the rest: the window where the pictures want it, no tips;
# a home of its own, whose documents folder holds a named pipe that nothing
# reads from, for the saving error.
export XDG_CONFIG_HOME="$work/config" HOME="$work/home"
mkdir -p "$HOME/Documents" && mkfifo "$HOME/Documents/results.txt"
mkdir -p "$XDG_CONFIG_HOME/Gridsmith"
cat >"$XDG_CONFIG_HOME/Gridsmith/KEA 2.11.conf" <<'CONF'
[General]
ViewWindowX=20
ViewWindowY=20
ViewWindowW=520
ViewWindowH=620
StartupTips=0
CONF

build/release/bin/kea >/dev/null 2>&1 &
pids+=($!)
main=$(timeout 20 xdotool search --sync --name ' - KEA$' | head -n1)
shoot() {  # window-title file
  local window
  window=$(timeout 10 xdotool search --sync --name "$1" | head -n1)
  sleep 0.5
  import -frame -window "$window" "$out/$2"
  kea_say "Wrote $out/$2"
}

xdotool windowactivate --sync "$main"
xdotool type --delay 30 ';diners[ai]'
xdotool key Return
sleep 1
shoot ' - KEA$' main-window.png

xdotool windowactivate --sync "$main"
xdotool key alt+t && sleep 0.3 && xdotool key o
shoot '^KEA Options$' options.png
xdotool key Escape

xdotool windowactivate --sync "$main"
xdotool key alt+h && sleep 0.3 && xdotool key q
shoot '^KEA Quick Reference$' quick-reference.png
xdotool key Escape

# The definition window for "tail": its first sense, the senses told apart.
xdotool windowactivate --sync "$main"
xdotool key ctrl+a && xdotool type --delay 30 'tail'
xdotool key Return
sleep 1
xdotool key ctrl+Return
shoot '^tail - Definition' definition-tail.png
xdotool key Escape
xdotool windowactivate --sync "$main"

# A saving error: the results saved over that pipe, which is refused.
xdotool key ctrl+s
timeout 10 xdotool search --sync --name '^Save Results$' >/dev/null
sleep 0.5
xdotool type --delay 20 'results.txt'
xdotool key Return
timeout 10 xdotool search --sync --name '^Save As$' >/dev/null
sleep 0.3
xdotool key alt+y
shoot '^Text File Save Error$' save-error.png
xdotool key Return

# A phrase anagram, most likely first.
xdotool windowactivate --sync "$main"
xdotool key Escape ctrl+r alt+a ctrl+a
xdotool type --delay 30 'tailend'
xdotool key alt+n ctrl+a
xdotool type --delay 30 '4,3'
xdotool key Return
sleep 1.5
shoot ' - KEA$' phrase-anagram.png

# A template with a meaning: the answer first.
xdotool windowactivate --sync "$main"
xdotool key ctrl+w alt+n ctrl+a BackSpace alt+m
sleep 0.3
xdotool type --delay 30 'negatively charged particle'
xdotool key alt+a ctrl+a
xdotool type --delay 30 '.l......'
xdotool key Return
sleep 1.5
shoot ' - KEA$' meaning.png
