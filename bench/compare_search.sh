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
# then the same searches on the shipped English.kkd, a scan of every entry
# of a 4,000,000-entry dictionary against grep over the same lines, and the
# peak memory of kea-cli search and of kea-cli anagram over thirty letters.
# Times are whole processes, measured with hyperfine (installed when
# missing, as root) or, without it, by repeated runs.
#
# Every command's output goes to a pipe, as it would in use: GNU grep
# stops at its first match when its output is /dev/null (where hyperfine
# sends it unless told otherwise), and so would win every scan unfairly.
#
# Usage: bench/compare_search.sh [BUILD_DIR]   (default build/release; built when missing)
# Environment: KEA_BENCH_RUNS (default 30), KEA_BENCH_WORK (a folder to keep
# the inputs in, so that the big dictionary is built once),
# KEA_BENCH_BIG (entries of the big dictionary, default 4000000; 0 leaves it out).
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
    hyperfine -N --output=pipe --warmup 3 --runs "$runs" --style basic \
      "$(printf '%q ' "${first[@]}")" "$(printf '%q ' "${second[@]}")"
  else
    for cmd in first second; do
      local -n c=$cmd
      local start end
      start=$(date +%s%N)
      for ((i = 0; i < runs; i++)); do { "${c[@]}" 2>&1 || true; } | cat > /dev/null; done
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
compare "Every word scanned: kea-cli '*q*z*' against grep's fastest form of it (goal: no slower)" \
  "$kea" search -d "$dictionary" '*q*z*' -- grep -i 'q.*z' "$words"
compare "The shipped English.kkd (437,955 entries) against grep over the SCOWL words (goal: no slower)" \
  "$kea" search -d "$english" '*q*z*' -- grep -i 'q.*z' "$words"
compare "The shipped English.kkd: '.l...r.n' and '*q*z*'" \
  "$kea" search -d "$english" '.l...r.n' -- "$kea" search -d "$english" '*q*z*'
# Patterns that require no letter read every entry, with or without the
# block summaries beside the dictionary (goal: no slower without).
mkdir -p "$work/plain"
cp -p "$english" "$work/plain/English.kkd"
compare "No required letter, English.kkd with and without its block summaries: '*'" \
  "$kea" search -d "$english" '*' -- "$kea" search -d "$work/plain/English.kkd" '*'
compare "No required letter, English.kkd with and without its block summaries: '????????'" \
  "$kea" search -d "$english" '????????' -- "$kea" search -d "$work/plain/English.kkd" '????????'
compare "A required letter, English.kkd with and without its block summaries: '*q*z*'" \
  "$kea" search -d "$english" '*q*z*' -- "$kea" search -d "$work/plain/English.kkd" '*q*z*'

big_entries=${KEA_BENCH_BIG:-4000000}
if [ "$big_entries" -gt 0 ]; then
  big_words=$work/big-$big_entries.txt
  big=$work/big-$big_entries.kkd
  if [ ! -s "$big" ] || [ ! -s "$big_words" ]; then
    kea_say "Making $big_entries entries: the SCOWL words, then two of them joined"
    # Each word is joined with ten others, chosen by steps that never
    # repeat a pair; a joined word that is also a word goes with sort -u.
    LC_ALL=C awk -v target=$((big_entries + big_entries / 50)) '{ w[n++] = $0 }
      END { for (i = 0; i < n; i++) print w[i]
            for (i = 0; i < target - n; i++) print w[i % n] w[(i * 7919 + int(i / n) * 104729) % n] }' "$words" |
      LC_ALL=C sort -u | awk -v n="$big_entries" 'NR <= n' > "$big_words"
    kea_say "Building a dictionary of exactly those lines"
    sed 's/[\\;:|+]/\\&/g' "$big_words" | "$kkbuild" -q -d "SCOWL words and pairs of them" - "$big"
  fi
  printf '    %s lines; ' "$(wc -l < "$big_words")"
  "$kea" info "$big" | sed -n 's/^Entries: /entries: /p'
  compare "A scan of $big_entries entries: kea-cli '*q*z*' against grep over the same lines (goal: no slower)" \
    "$kea" search -d "$big" '*q*z*' -- grep -i 'q.*z' "$big_words"
  mkdir -p "$work/plain"
  cp -p "$big" "$work/plain/big.kkd"
  compare "The same without block summaries, and grep's whole-line form" \
    "$kea" search -d "$work/plain/big.kkd" '*q*z*' -- grep -xiE '.*q.*z.*' "$big_words"
fi

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
  { /usr/bin/time -v -o "$work/time.txt" "$@" 2>&1 || true; } | cat > /dev/null
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
# phrase of thirty letters: the first two million found are listed, so the
# phrases are streamed as found, --alphabetical). Ranked, every phrase is
# found before the first is listed; without --limit the 500,000 likeliest
# are held, which the last lines measure for the common letters (the
# wildcards make too many phrases to rank in a bench run).
for letters in abcdefghijklmnopqrstuvwxyzeiou etaoinshrdluetaoinshrdluetaoin ..............................; do
  peak "$kea" anagram -d "$dictionary" --alphabetical --words 1-3 --shortest 1 --limit 2000000 "$letters"
  peak "$kea" anagram -d "$english" --alphabetical --words 1-3 --shortest 1 --limit 2000000 "$letters"
done
peak "$kea" anagram -d "$english" --words 1-3 --shortest 1 etaoinshrdluetaoinshrdluetaoin
