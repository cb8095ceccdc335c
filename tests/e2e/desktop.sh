#!/usr/bin/env bash
# The real desktop program under a virtual X display, driven as a user
# would drive it: typing a pattern, Return, and File > Exit by the menu's
# mnemonics. It checks the settings file the program leaves behind (first
# run: the shipped dictionary was opened; the pattern went into the
# history) and keeps a screenshot of the window with its results.
# Usage: desktop.sh KEA_PROGRAM SCREENSHOT_FOLDER
set -euo pipefail
kea=${1:?usage: desktop.sh KEA_PROGRAM SCREENSHOT_FOLDER}
shots=${2:?usage: desktop.sh KEA_PROGRAM SCREENSHOT_FOLDER}
source "$(dirname "$0")/virtual-display.sh"

export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
settings="$XDG_CONFIG_HOME/Gridsmith/KEA 2.11.conf"

"$kea" >"$work/kea.log" 2>&1 &
kea_pid=$!
window=$(timeout 20 xdotool search --sync --name ' - KEA$' | head -n1) || fail "no main window appeared"

# Windows opened at start may hold the focus; the main window takes it.
xdotool windowfocus --sync "$window"
xdotool type --delay 20 ';lobikes'
xdotool key Return
sleep 1
mkdir -p "$shots"
import -window root "$shots/desktop-e2e.png" || fail "no screenshot"

xdotool windowfocus --sync "$window"
xdotool key alt+f
sleep 0.3
xdotool key x
for _ in $(seq 100); do kill -0 "$kea_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$kea_pid" 2>/dev/null; then fail "File > Exit did not end the program"; fi
wait "$kea_pid" || fail "the program ended with status $?"
kea_pid=

[ -f "$settings" ] || fail "no settings file at $settings"
# QSettings quotes a text that holds ";" or other INI delimiters.
value() { sed -n "s/^$1=//p" "$settings" | head -n1 | sed 's/^"\(.*\)"$/\1/'; }
[ "$(value Pattern0)" = ';lobikes' ] || fail "Pattern0 is '$(value Pattern0)', expected ';lobikes'"
case "$(value OpenDictionary0)" in
  */Dictionaries/English.kkd) ;;
  *) fail "OpenDictionary0 is '$(value OpenDictionary0)', expected the shipped English.kkd" ;;
esac
[ "$(value ViewWindowW)" -gt 0 ] || fail "ViewWindowW is '$(value ViewWindowW)'"
echo "passed: the settings file holds the pattern, the open dictionary and the window's place"
