#!/usr/bin/env bash
# The real desktop program under a virtual X display saves its results as a
# user would: a search, Ctrl+S, a file name typed into the save dialog and
# Return. The file must be UTF-8 text with one line per result, the same
# lines kea-cli lists for the pattern. Screenshots of the dialog and of the
# window are kept.
# Usage: desktop-save.sh KEA_PROGRAM KEA_CLI_PROGRAM SCREENSHOT_FOLDER
set -euo pipefail
usage="usage: desktop-save.sh KEA_PROGRAM KEA_CLI_PROGRAM SCREENSHOT_FOLDER"
kea=${1:?$usage}
cli=${2:?$usage}
shots=${3:?$usage}
extra_tools=iconv
source "$(dirname "$0")/virtual-display.sh"

export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home"
mkdir -p "$XDG_RUNTIME_DIR" "$HOME/Documents" && chmod 700 "$XDG_RUNTIME_DIR"
pattern='caf*'
saved="$work/saved results"

"$kea" >"$work/kea.log" 2>&1 &
kea_pid=$!
window=$(timeout 20 xdotool search --sync --name ' - KEA$' | head -n1) || fail "no main window appeared"
xdotool windowfocus --sync "$window"
xdotool type --delay 20 "$pattern"
xdotool key Return
sleep 1

xdotool key ctrl+s
timeout 20 xdotool search --sync --name '^Save Results$' >/dev/null || fail "no Save Results dialog"
sleep 0.5
mkdir -p "$shots"
import -window root "$shots/desktop-save-dialog.png" || fail "no screenshot"
xdotool type --delay 10 "$saved"
xdotool key Return
for _ in $(seq 50); do [ -s "$saved.txt" ] && break; sleep 0.1; done
[ -s "$saved.txt" ] || fail "no file '$saved.txt' after Return"
sleep 0.3
import -window root "$shots/desktop-saved.png" || fail "no screenshot"

xdotool windowfocus --sync "$window"
xdotool key alt+f
sleep 0.3
xdotool key x
for _ in $(seq 100); do kill -0 "$kea_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$kea_pid" 2>/dev/null; then fail "File > Exit did not end the program"; fi
wait "$kea_pid" || fail "the program ended with status $?"
kea_pid=

iconv -f UTF-8 -t UTF-8 "$saved.txt" >/dev/null || fail "the saved file is not UTF-8"
grep -q $'\r' "$saved.txt" && fail "the saved file has carriage returns"
"$cli" search "$pattern" >"$work/expected.txt" 2>/dev/null || fail "kea-cli found nothing for $pattern"
lines=$(wc -l <"$saved.txt")
[ "$lines" -gt 1 ] || fail "the saved file has $lines lines"
sort "$saved.txt" >"$work/got.sorted"
sort "$work/expected.txt" >"$work/expected.sorted"
cmp -s "$work/got.sorted" "$work/expected.sorted" || fail "the saved lines differ from kea-cli's: $(diff "$work/got.sorted" "$work/expected.sorted" | head -5)"
grep -q $'caf\xc3\xa9' "$saved.txt" || fail "no UTF-8 café in the saved file"
echo "passed: Ctrl+S saved $lines results as UTF-8 text, one per line"
