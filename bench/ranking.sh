#!/usr/bin/env bash
# How well the commonness scores put the answer first, measured with the
# real programs on word and phrase lists written for the purpose
# (bench/data/ranking-words.txt and ranking-phrases.txt), not on the
# dictionary's own words:
#
#   words, every other letter known   kea-cli search --rank '.o.m.n.' (and 'c.m.o.')
#                                     where is the word? (share first)
#   words, first letter and length    kea-cli search --rank 'c......'
#                                     where is the word? (median place)
#   two-word phrases                  kea-cli anagram --enum 4,3 tailend
#                                     where is the phrase? (share first, in the first three)
#
# Each figure is given with the unranked order beside it (as found), and the
# speed of ranking: kea-cli search --rank '*' against the unranked search,
# and a ranked phrase anagram of 15 letters.
#
# Usage: bench/ranking.sh [BUILD_DIR]   (default build/release)
# Environment: KEA_BENCH_JOBS (parallel searches, default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
cli=$build/bin/kea-cli
jobs=${KEA_BENCH_JOBS:-2}
[ -x "$cli" ] || { echo "no $cli: build first (cmake --build --preset release)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

words() { grep -v '^#' "$1" | grep -v '^$'; }

# The place of WORD among the entries kea-cli lists for PATTERN (9999 when
# missing); extra arguments go to kea-cli search.
place_of() {
  local word=$1 pattern=$2
  shift 2
  "$cli" search --no-annotations --no-balances "$@" -- "$pattern" 2>/dev/null |
    awk -v w="$word" 'BEGIN { IGNORECASE = 0 } $0 == w { print NR; found = 1; exit } END { if (!found) print 9999 }'
}
export -f place_of
export cli

# Patterns: the word with every other letter known (both ways), and with
# its first letter alone.
while read -r word; do
  n=${#word}
  odd="" even="" first="${word:0:1}"
  for ((i = 0; i < n; i++)); do
    c=${word:i:1}
    if ((i % 2)); then odd+=$c even+=.; else odd+=. even+=$c; fi
    ((i > 0)) && first+=.
  done
  printf '%s\t%s\t%s\t%s\n' "$word" "$odd" "$even" "$first"
done < <(words bench/data/ranking-words.txt) > "$work/patterns"

run_words() {
  local label=$1
  shift
  cut -f1,2 "$work/patterns" | xargs -P "$jobs" -n 2 bash -c 'place_of "$0" "$1" '"$*" > "$work/$label.odd"
  cut -f1,3 "$work/patterns" | xargs -P "$jobs" -n 2 bash -c 'place_of "$0" "$1" '"$*" > "$work/$label.even"
  cut -f1,4 "$work/patterns" | xargs -P "$jobs" -n 2 bash -c 'place_of "$0" "$1" '"$*" > "$work/$label.first"
  cat "$work/$label.odd" "$work/$label.even" | awk -v l="$label" '{ n++; if ($1 == 1) f++ }
    END { printf "  %-10s every other letter known: first %5.1f%% of %d\n", l, 100 * f / n, n }'
  sort -n "$work/$label.first" | awk -v l="$label" '{ a[NR] = $1 }
    END { m = NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2
          printf "  %-10s first letter and length:  median place %s of %d\n", l, m, NR }'
}

echo "Words ($(wc -l < "$work/patterns") of bench/data/ranking-words.txt):"
run_words ranked --rank
run_words as-found

# Phrases: the place of the phrase among the phrase anagrams of its letters
# in the shape of its enumeration.
phrase_place() {
  local phrase=$1
  shift
  local a=${phrase% *} b=${phrase#* }
  "$cli" anagram "$@" --enum "${#a},${#b}" "$a$b" 2>/dev/null |
    awk -v p="$phrase" 'tolower($0) == p { print NR; found = 1; exit } END { if (!found) print 9999 }'
}
export -f phrase_place
echo "Two-word phrases ($(words bench/data/ranking-phrases.txt | wc -l) of bench/data/ranking-phrases.txt):"
for mode in ranked alphabetical; do
  flag=""
  [ $mode = alphabetical ] && flag=--alphabetical
  words bench/data/ranking-phrases.txt | tr '\n' '\0' | xargs -0 -P "$jobs" -I{} bash -c 'phrase_place "$0" '"$flag" {} |
    sort -n | awk -v l="$mode" '{ a[NR] = $1; if ($1 == 1) f++; if ($1 <= 3) t++ }
      END { m = NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2
            printf "  %-12s first %5.1f%%, in the first three %5.1f%%, median place %s\n", l, 100 * f / NR, 100 * t / NR, m }'
done

echo "Speed (whole processes, output to a pipe):"
if command -v hyperfine >/dev/null; then
  hyperfine --output=pipe -N -w 2 -r 10 "$cli search '*'" "$cli search --rank '*'" \
    "$cli anagram --enum 7,8 interestingword" "$cli anagram --alphabetical --enum 7,8 interestingword" \
    "$cli anagram --words 1-2 interestingword" 2>&1 | grep -E 'Benchmark|Time'
else
  echo "  (install hyperfine for the timings)"
fi
