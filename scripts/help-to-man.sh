#!/bin/sh
# Writes a program's manual page (troff, section 1) from its --help text,
# so that the page and the help cannot drift apart. Run by the build:
#
#   help-to-man.sh OUTPUT NAME VERSION SUMMARY PROGRAM [COMMAND...]
#
# PROGRAM --help gives the SYNOPSIS (its "Usage:" lines), the DESCRIPTION
# and, from its "Options:" block, the OPTIONS. Each COMMAND's help
# (PROGRAM COMMAND --help) becomes a subsection of COMMANDS. In the help,
# a line ending in ':' at the margin is a heading, an indented line that
# starts with an option is an option with its description beside and below
# it, and other indented lines are kept as they are (tables, examples).
set -eu

if [ $# -lt 5 ]; then
  echo "usage: $0 OUTPUT NAME VERSION SUMMARY PROGRAM [COMMAND...]" >&2
  exit 2
fi
output=$1 name=$2 version=$3 summary=$4 program=$5
shift 5

input=$(mktemp)
trap 'rm -f "$input" "$output.tmp"' EXIT
{
  echo "@@help main"
  "$program" --help
  for command in "$@"; do
    echo "@@help $command"
    "$program" "$command" --help
  done
} >"$input"

awk -v name="$name" -v version="$version" -v summary="$summary" '
function esc(s) {
  gsub(/\\/, "\\e", s)
  gsub(/-/, "\\-", s)
  return s
}
function put(s) { buf[target] = buf[target] s "\n" }
# Text lines start with \& so that a leading . or '\'' is never a request.
function text(s) { put("\\&" esc(s)) }
function closeBlock() {
  if (mode == "nf") put(".fi")
  mode = "text"
}
function paragraph() {
  if (pendingBreak) put(".PP")
  pendingBreak = 0
}
function synopsis(line, words) {
  sub(/^(Usage:)? +/, "", line)
  split(line, words, " ")
  rest = substr(line, length(words[1]) + 1)
  synopsisText = synopsisText "\\fB" esc(words[1]) "\\fR" esc(rest) "\n.br\n"
}
# Each line with the one after it, which tells a heading ("Options:") from
# a sentence that ends in a colon.
{ lines[count++] = $0 }
function handle(line, following, rest) {
  if (line ~ /^@@help /) {
    closeBlock()
    section = substr(line, 8)
    target = section == "main" ? "desc" : "commands"
    if (section != "main") put(".SS \"" esc(name " " section) "\"")
    pendingBreak = 0
    inUsage = 0
    return
  }
  if (line ~ /^Usage: /) { synopsis(line); inUsage = 1; return }
  if (inUsage && line ~ /^       [^ ]/) { synopsis(line); return }
  inUsage = 0
  if (line ~ /^[ \t]*$/) {
    closeBlock()
    if (target == "options") target = "desc"
    pendingBreak = 1
    return
  }
  if (line ~ /^[^ ].*:$/ && following ~ /^ /) {
    closeBlock()
    if (section == "main" && line == "Options:") {
      target = "options"
      pendingBreak = 0
      return
    }
    paragraph()
    put("\\fB" esc(substr(line, 1, length(line) - 1)) "\\fR")
    put(".br")
    return
  }
  if (line ~ /^ +--?[A-Za-z0-9]/) {
    closeBlock()
    match(line, /^ +/)
    optionIndent = RLENGTH
    rest = substr(line, RLENGTH + 1)
    if (match(rest, /  +/)) {
      term = substr(rest, 1, RSTART - 1)
      description = substr(rest, RSTART + RLENGTH)
    } else {
      term = rest
      description = ""
    }
    put(".TP")
    put("\\&\\fB" esc(term) "\\fR")
    if (description != "") text(description)
    mode = "option"
    pendingBreak = 0
    return
  }
  if (line ~ /^ /) {
    match(line, /^ +/)
    if (mode == "option" && RLENGTH > optionIndent) {
      text(substr(line, RLENGTH + 1))
      return
    }
    if (mode != "nf") {
      if (mode == "option") pendingBreak = 1
      closeBlock()
      paragraph()
      put(".nf")
      mode = "nf"
    }
    text(line)
    return
  }
  if (mode == "option") pendingBreak = 1
  closeBlock()
  paragraph()
  text(line)
}
END {
  target = "desc"
  mode = "text"
  for (i = 0; i < count; i++) handle(lines[i], lines[i + 1])
  closeBlock()
  print ".TH " esc(toupper(name)) " 1 \"\" \"KEA " version "\" \"User Commands\""
  print ".SH NAME"
  print esc(name) " \\- " esc(summary)
  print ".SH SYNOPSIS"
  printf "%s", synopsisText
  print ".SH DESCRIPTION"
  printf "%s", buf["desc"]
  if (buf["options"] != "") {
    print ".SH OPTIONS"
    printf "%s", buf["options"]
  }
  if (buf["commands"] != "") {
    print ".SH COMMANDS"
    printf "%s", buf["commands"]
  }
}
' "$input" >"$output.tmp"
mv "$output.tmp" "$output"
