#!/usr/bin/env bash
# lupdate over the desktop program's sources finds the texts the user reads:
# the menus' commands, their tips and the Search button's labels. A missing
# lupdate is a failure, not a pass: the check would prove nothing.
set -u
lupdate=$1
sources=$2
if [[ -z "$lupdate" || ! -x "$lupdate" ]]; then
  echo "lupdate was not found when the build was configured (install qt6-l10n-tools and configure again)" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! "$lupdate" -silent -recursive "$sources" -ts "$work/kea.ts" >"$work/log" 2>&1; then
  echo "lupdate failed:" >&2
  cat "$work/log" >&2
  exit 1
fi
status=0
# lupdate writes "&" as "&amp;" in the .ts file.
for text in '&amp;Open...' '&amp;Close *' 'Save Results from * &amp;As...' 'E&amp;xit' 'Cu&amp;t' \
  '&amp;Lookup...' 'Lookup in &amp;New Window...' '&amp;External Lookup' 'Always On &amp;Top' \
  '&amp;About KEA...' '&amp;Phrase Anagram' 'Word &amp;Search' 'Re&amp;sume' \
  'Open a dictionary for searching' 'Change to this previously used dictionary' \
  'Click on this button to start, stop and resume searching' \
  'This progress bar also shows the range of lengths that will be shown' '&amp;Next Tip' 'Lookup Methods'; do
  if ! grep -qF "<source>$text</source>" "$work/kea.ts"; then
    echo "lupdate did not list: $text" >&2
    status=1
  fi
done
# No label carries its key after a tab any more.
if grep -qF '&#x9;' "$work/kea.ts" || grep -qP '<source>[^<]*\t' "$work/kea.ts"; then
  echo "a text lupdate lists holds a tab:" >&2
  grep -nP '<source>[^<]*(\t|&#x9;)' "$work/kea.ts" >&2
  status=1
fi
count=$(grep -c '<source>' "$work/kea.ts")
echo "lupdate listed $count texts"
exit $status
