#!/usr/bin/env bash
# How well a meaning puts the answer first, measured with the real programs
# on definitions written for the purpose (bench/data/meaning-clues.txt:
# "answer|definition", the way a solver or a setter describes a word), not
# on the dictionary's own definitions (and, as a check that the commonness
# prior does not bury uncommon answers, bench/data/meaning-clues-rare.txt):
#
#   length known               kea-cli search --meaning DEF '????????'
#   length and first letter    kea-cli search --meaning DEF 'e???????'
#   every other letter known   kea-cli search --meaning DEF '?l?c?r?n'
#
# For each: the share of answers listed first (acc@1) and among the first
# ten (acc@10). Then the time of a whole meaning query, median of several
# runs, output to a pipe.
#
# Usage: bench/meaning.sh [BUILD_DIR]   (default build/release)
# Environment: KEA_BENCH_JOBS (parallel searches, default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
cli=$build/bin/kea-cli
jobs=${KEA_BENCH_JOBS:-2}
[ -x "$cli" ] || { echo "no $cli: build first (cmake --build --preset release)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The place of ANSWER among the entries listed for MEANING and PATTERN
# (9999 when missing).
place_of() {
  local answer=$1 meaning=$2 pattern=$3
  "$cli" search --no-annotations --no-balances --meaning "$meaning" -- "$pattern" 2>/dev/null |
    awk -v w="$answer" '$0 == w { print NR; found = 1; exit } END { if (!found) print 9999 }'
}
export -f place_of
export cli

for clues in bench/data/meaning-clues.txt bench/data/meaning-clues-rare.txt; do
  echo "$clues:"
  rm -f "$work/length" "$work/first" "$work/odd"
  # One line per clue and case: answer, definition, pattern (tab-separated).
  grep -v '^#' "$clues" | grep -v '^$' | while IFS='|' read -r answer definition; do
    letters=$(printf '%s' "$answer" | tr -cd 'a-zA-Z')
    n=${#letters}
    length="" first="" odd=""
    for ((i = 0; i < n; i++)); do
      c=${letters:i:1}
      length+='?'
      if ((i == 0)); then first+=$c; else first+='?'; fi
      if ((i % 2)); then odd+=$c; else odd+='?'; fi
    done
    printf '%s\t%s\t%s\n' "$answer" "$definition" "$length" >> "$work/length"
    printf '%s\t%s\t%s\n' "$answer" "$definition" "$first" >> "$work/first"
    printf '%s\t%s\t%s\n' "$answer" "$definition" "$odd" >> "$work/odd"
  done

  for case in length first odd; do
    tr '\n' '\0' < "$work/$case" |
      xargs -0 -P "$jobs" -n 1 bash -c 'IFS=$'"'"'\t'"'"' read -r a d p <<< "$0"; place_of "$a" "$d" "$p"' > "$work/$case.places"
    awk -v label="$case" '{ n++; if ($1 == 1) one++; if ($1 <= 10) ten++ }
      END { printf "  %-7s %d definitions: acc@1 %.1f%%  acc@10 %.1f%%\n", label, n, 100 * one / n, 100 * ten / n }' \
      "$work/$case.places"
  done
done

if command -v hyperfine > /dev/null; then
  hyperfine --output=pipe --warmup 3 --runs 30 -N \
    "$cli search --meaning 'negatively charged particle' .l......" \
    "$cli search --meaning 'negatively charged particle' '*'" \
    "$cli search .l......"
fi
