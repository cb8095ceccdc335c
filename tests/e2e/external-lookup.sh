#!/usr/bin/env bash
# External lookups of the real desktop program under a virtual X display. A
# program method whose program records its arguments is set up in the
# settings file; the word typed into the pattern box and Ctrl+Alt+Enter must
# start it with exactly one argument, the word as typed ("tail end", blank
# and all), and with hex encoding "ab" must arrive as "6162". Along the way
# Ctrl+Enter opens the definition window for "electron", which is kept as a
# screenshot.
# Usage: external-lookup.sh KEA_PROGRAM SCREENSHOT_FOLDER
set -euo pipefail
kea=${1:?usage: external-lookup.sh KEA_PROGRAM SCREENSHOT_FOLDER}
shots=${2:?usage: external-lookup.sh KEA_PROGRAM SCREENSHOT_FOLDER}
source "$(dirname "$0")/virtual-display.sh"

export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/Gridsmith" && chmod 700 "$XDG_RUNTIME_DIR"
settings="$XDG_CONFIG_HOME/Gridsmith/KEA 2.11.conf"

# The looked-up program: the number of its arguments, then each on a line.
recorder="$work/bin/record lookup"
record="$work/arguments"
mkdir -p "$work/bin"
cat >"$recorder" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$#" "\$@" >"$record.tmp" && mv "$record.tmp" "$record"
SCRIPT
chmod +x "$recorder"

cat >"$settings" <<INI
[General]
QuickReference=0
StartupTips=0
LookupTestWord=example
LookupExecEnabled1=1
LookupExecLabel1=&Recorder
LookupExecProgram1=$recorder
ExecEncoding1=0
LookupDefaultLabel=&Recorder
INI

start_kea() {
  "$kea" >>"$work/kea.log" 2>&1 &
  kea_pid=$!
  window=$(timeout 20 xdotool search --sync --name ' - KEA$' | head -n1) || fail "no main window appeared"
  xdotool windowfocus --sync "$window"
}
exit_kea() {
  xdotool windowfocus --sync "$window"
  xdotool key alt+f
  sleep 0.3
  xdotool key x
  for _ in $(seq 100); do kill -0 "$kea_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$kea_pid" 2>/dev/null; then fail "File > Exit did not end the program"; fi
  wait "$kea_pid" || fail "the program ended with status $?"
  kea_pid=
}
# Types a word into the pattern box and looks it up with the default method.
look_up_externally() {
  rm -f "$record"
  xdotool windowfocus --sync "$window"
  xdotool type --delay 20 "$1"
  xdotool key ctrl+alt+Return
  for _ in $(seq 50); do [ -f "$record" ] && break; sleep 0.1; done
  [ -f "$record" ] || fail "Ctrl+Alt+Enter with '$1' did not start the lookup program"
}

start_kea
look_up_externally 'tail end'
[ "$(cat "$record")" = "$(printf '1\ntail end')" ] || fail "the program got: $(cat "$record")"

# The definition window of a word the shipped dictionaries define.
xdotool key ctrl+a
xdotool type --delay 20 'electron'
xdotool key ctrl+Return
definition=$(timeout 20 xdotool search --sync --name '^electron - Definition \[1\]$' | head -n1) ||
  fail "Ctrl+Enter opened no definition window"
sleep 1
mkdir -p "$shots"
import -window root "$shots/definition-window.png" || fail "no screenshot"
xdotool windowclose "$definition" 2>/dev/null || xdotool key --window "$definition" alt+F4
exit_kea

sed -i 's/^ExecEncoding1=0$/ExecEncoding1=1/' "$settings"
start_kea
look_up_externally 'ab'
[ "$(cat "$record")" = "$(printf '1\n6162')" ] || fail "with hex encoding the program got: $(cat "$record")"
exit_kea

grep -q '^Definition1Position=' "$settings" || fail "the definition window did not keep its place"
echo "passed: the lookup program got 'tail end' as one argument and 'ab' as 6162; the definition window opened"
