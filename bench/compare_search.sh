#!/usr/bin/env bash
# Compares `kea-cli search` with the tools a user would otherwise pick, in
# one run and on the same words: the SCOWL huge American and British lists
# merged, as a text file for the peers and as a dictionary built from
# exactly those words for kea-cli.
#
#   grep -xiE '.l...r.n'            against  kea-cli search '.l...r.n'
#   an -l 1 lobikes (Debian "an")   against  kea-cli search ';lobikes'
#   grep -xiE '.*q.*z.*'            against  kea-cli search '*q*z*'  (a scan of every word)
#   an -l 2 -m 3 clinteastwood      against  kea-cli anagram --words 1-2 --shortest 3 clinteastwood
#   an -l 3 -m 4 -n 100000000 ...   against  kea-cli anagram --words 1-3 --shortest 4 clinteastwood
#   grep -xiE '.*a.*'               against  kea-cli search '*a* & *a* & ...' (1,001 patterns)
#
# (the phrase anagrams are first compared as sets of word sets),
# then the same searches on the shipped English.kkd, and the peak memory of
# kea-cli search and of kea-cli anagram over thirty letters. Times are whole processes, measured with hyperfine
# (installed when missing, as root) or, without it, by repeated runs.
#
# Usage: bench/compare_search.sh [BUILD_DIR]   (default build/release; built when missing)
# Environment: KEA_BENCH_RUNS (default 30), KEA_BENCH_WORK (a folder to keep the inputs in).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

build=${1:-build/release}
runs=${KEA_BENCH_RUNS:-30}
kea_install_packages wamerican-huge wbritish-huge an hyperfine time
if [ ! -x "$build/bin/kea-cli" ] || [ ! -x "$build/bin/kkbuild" ]; then
  kea_install_packages "${KEA_PACKAGES[@]}"
  kea_build release
  build=build/release
fi
kea=$(realpath "$build/bin/kea-cli")
kkbuild=$(realpath "$build/bin/kkbuild")
english=$(realpath "$build/share/kea/Dictionaries/English.kkd")
an=$(command -v an || echo /usr/games/an)

work=${KEA_BENCH_WORK:-}
if [ -z "$work" ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi
mkdir -p "$work"
words=$work/scowl-huge.txt
dictionary=$work/scowl-huge.kkd

# Every tool reads UTF-8 characters, not bytes.
export LC_ALL=C.UTF-8

kea_say "Merging the SCOWL huge American and British word lists"
LC_ALL=C sort -u /usr/share/dict/american-english-huge /usr/share/dict/british-english-huge > "$words.all"
# kkbuild takes every word Windows-1252 can hold (all of SCOWL, today); the
# peers get the same words.
if iconv -f UTF-8 -t CP1252 "$words.all" > /dev/null 2>&1; then
  mv "$words.all" "$words"
else
  perl -CS -MEncode -ne 'print if eval { Encode::encode("cp1252", $_, Encode::FB_CROAK); 1 }' "$words.all" > "$words"
  rm -f "$words.all"
fi
printf '    %s words\n' "$(wc -l < "$words")"

kea_say "Building a dictionary of exactly those words"
# The builder's own special characters are taken literally.
sed 's/[\\;:|+]/\\&/g' "$words" |
  "$kkbuild" -q -d "SCOWL huge, American and British" - "$dictionary"
"$kea" info "$dictionary" | sed -n 's/^Entries: /    entries: /p'

kea_say "The same answers"
count() { "$@" 2> /dev/null | wc -l; }
printf '    %-44s %s\n' \
  "kea-cli search '.l...r.n'" "$(count "$kea" search -d "$dictionary" '.l...r.n')" \
  "grep -xiE '.l...r.n'" "$(count grep -xiE '.l...r.n' "$words")" \
  "kea-cli search ';lobikes'" "$(count "$kea" search -d "$dictionary" ';lobikes')" \
  "an -l 1 lobikes" "$(count "$an" -l 1 -d "$words" lobikes)" \
  "kea-cli search '*q*z*'" "$(count "$kea" search -d "$dictionary" '*q*z*')" \
  "grep -xiE '.*q.*z.*'" "$(count grep -xiE '.*q.*z.*' "$words")"
echo "    (kea-cli treats letters without accents and case, and punctuation as no letter:"
echo "     \"Claforan's\" has 9 letters for it, 10 characters for grep)"

# compare NAME COMMAND... -- COMMAND...: times both commands.
compare() {
  local name=$1
  shift
  local first=() second=()
  while [ "$1" != "--" ]; do first+=("$1"); shift; done
  shift
  second=("$@")
  kea_say "$name"
  if command -v hyperfine > /dev/null; then
    hyperfine -N --warmup 3 --runs "$runs" --style basic \
      "$(printf '%q ' "${first[@]}")" "$(printf '%q ' "${second[@]}")"
  else
    for cmd in first second; do
      local -n c=$cmd
      local start end
      start=$(date +%s%N)
      for ((i = 0; i < runs; i++)); do "${c[@]}" > /dev/null 2>&1 || true; done
      end=$(date +%s%N)
      awk -v t=$((end - start)) -v n="$runs" -v c="${c[*]}" 'BEGIN { printf "    %8.2f ms  %s\n", t / n / 1e6, c }'
    done
  fi
}

compare "Template: kea-cli against grep (goal: no slower; aim: twice as fast)" \
  "$kea" search -d "$dictionary" '.l...r.n' -- grep -xiE '.l...r.n' "$words"
compare "Anagram: kea-cli against an (goal: at least 20 times faster)" \
  "$kea" search -d "$dictionary" ';lobikes' -- "$an" -l 1 -d "$words" lobikes
compare "Every word scanned: kea-cli '*q*z*' (goal: under 30 ms) against grep" \
  "$kea" search -d "$dictionary" '*q*z*' -- grep -xiE '.*q.*z.*' "$words"
compare "The shipped English.kkd (SCOWL and WordNet): '.l...r.n' and '*q*z*'" \
  "$kea" search -d "$english" '.l...r.n' -- "$kea" search -d "$english" '*q*z*'

kea_say "Phrase anagrams: the same phrases as an, compared as sets of word sets"
# One line per phrase: its words in byte order, the lines sorted and unique.
word_sets() {
  LC_ALL=C awk '{ n = split($0, w, " ")
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (w[j] < w[i]) { t = w[i]; w[i] = w[j]; w[j] = t }
    s = w[1]; for (i = 2; i <= n; i++) s = s " " w[i]; print s }' | LC_ALL=C sort -u
}
same_phrases() {
  local name=$1 kea_args=$2 an_args=$3
  # shellcheck disable=SC2086
  "$kea" anagram -d "$dictionary" $kea_args clinteastwood 2> /dev/null | word_sets > "$work/kea-phrases.txt"
  # shellcheck disable=SC2086
  "$an" $an_args -d "$words" clinteastwood | word_sets > "$work/an-phrases.txt"
  printf '    %-34s kea-cli %7d, an %7d: ' "$name" "$(wc -l < "$work/kea-phrases.txt")" "$(wc -l < "$work/an-phrases.txt")"
  if cmp -s "$work/kea-phrases.txt" "$work/an-phrases.txt"; then
    echo "the same"
  else
    echo "different; the first differences (< kea-cli, > an):"
    diff "$work/kea-phrases.txt" "$work/an-phrases.txt" | grep '^[<>]' | head -10 | sed 's/^/      /'
  fi
}
same_phrases "1-2 words of 3 letters or more" "--words 1-2 --shortest 3" "-l 2 -m 3"
same_phrases "1-3 words of 4 letters or more" "--words 1-3 --shortest 4" "-l 3 -m 4 -n 100000000"

compare "Phrase anagram, 1-2 words of 3+ letters: kea-cli against an (goal: at least 10 times faster)" \
  "$kea" anagram -d "$dictionary" --words 1-2 --shortest 3 clinteastwood -- \
  "$an" -l 2 -m 3 -d "$words" clinteastwood
compare "Phrase anagram, 1-3 words of 4+ letters: kea-cli against an (goal: at least 10 times faster)" \
  "$kea" anagram -d "$dictionary" --words 1-3 --shortest 4 clinteastwood -- \
  "$an" -l 3 -m 4 -n 100000000 -d "$words" clinteastwood
# Patterns that once took minutes: letter variables between wildcards, an
# anagram of twenty letter variables, and long lines of one pattern (the
# last against grep scanning every word for the same thing).
compare "Letter variables between wildcards on English.kkd (goal: each under 1 s)" \
  "$kea" search -d "$english" '*1*2*3*4*5*1*2*3*4*5*' -- "$kea" search -d "$english" '*1*2*3*4*5*6*1*2*3*4*5*6*'
compare "Nine variables twice, and an anagram of ten variables twice (goal: each under 1 s)" \
  "$kea" search -d "$english" '*1*2*3*4*5*6*7*8*9*1*2*3*4*5*6*7*8*9*' -- \
  "$kea" search -d "$english" ';12345678901234567890*'
# The line is read from a file so that the report stays readable.
printf '*a* & %.0s' $(seq 1000) > "$work/line1001.txt"
printf '*a*' >> "$work/line1001.txt"
compare "1,001 patterns joined by & (goal: well under 1 s) against grep" \
  bash -c '"$0" search -d "$1" "$(cat "$2")"' "$kea" "$dictionary" "$work/line1001.txt" -- \
  grep -xiE '.*a.*' "$words"

kea_say "Peak memory of kea-cli search (goal: under 40 MB)"
peak() {
  /usr/bin/time -v -o "$work/time.txt" "$@" > /dev/null 2>&1 || true
  awk -v c="$*" '/Maximum resident set size/ { printf "    %7.1f MB  %s\n", $NF / 1024, c }' "$work/time.txt"
}
for pattern in '.l...r.n' ';lobikes' '*q*z*' '*'; do
  peak "$kea" search -d "$dictionary" "$pattern"
done
for pattern in '.l...r.n' '*'; do
  peak "$kea" search -d "$english" "$pattern"
done

kea_say "Peak memory of kea-cli anagram, thirty letters in up to three words (goal: under 100 MB)"
# Letters no phrase uses up, common letters, and thirty wildcards (every
# phrase of thirty letters: the first two million are listed).
for letters in abcdefghijklmnopqrstuvwxyzeiou etaoinshrdluetaoinshrdluetaoin ..............................; do
  peak "$kea" anagram -d "$dictionary" --words 1-3 --shortest 1 --limit 2000000 "$letters"
  peak "$kea" anagram -d "$english" --words 1-3 --shortest 1 --limit 2000000 "$letters"
done
