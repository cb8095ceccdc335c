// Reading an enumeration and writing the template it stands for.
#include "pattern/Enumeration.h"

#include <algorithm>

namespace kea {

namespace {

Enumeration failed(EnumerationError error) {
  Enumeration out;
  out.error = error;
  return out;
}

bool isSpace(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return text;
}

// A word break is an escaped space so that it stays a literal the entry
// must hold wherever the line splitter trims plain spaces (next to "&").
constexpr std::string_view kWordBreak = "\\ ";

// Patterns that hold for an entry with a space, and with a hyphen, anywhere.
constexpr std::string_view kAnySpace = "*\\ *";
constexpr std::string_view kAnyHyphen = "*-*";

}  // namespace

int Enumeration::totalLength() const {
  int total = 0;
  for (const EnumerationWord& word : words) total += word.length;
  return total;
}

Enumeration parseEnumeration(std::string_view text) {
  text = trimmed(text);
  if (text.empty()) return failed(EnumerationError::Empty);
  // One pair of parentheses may enclose the whole; any other is misplaced.
  const bool opens = text.front() == '(';
  const bool closes = text.back() == ')';
  if (opens != closes || (opens && text.size() < 2)) return failed(EnumerationError::Parentheses);
  if (opens) text = trimmed(text.substr(1, text.size() - 2));
  if (text.find_first_of("()") != std::string_view::npos) return failed(EnumerationError::Parentheses);
  if (text.empty()) return failed(EnumerationError::Empty);

  Enumeration out;
  bool separatorLast = false;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (isSpace(c)) {
      ++i;
    } else if (c >= '0' && c <= '9') {
      if (!out.words.empty() && !separatorLast) return failed(EnumerationError::MissingSeparator);
      // Capped so that a long run of digits cannot overflow.
      int length = 0;
      for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        length = std::min(length * 10 + (text[i] - '0'), kMaxEnumerationLetters + 1);
      }
      if (length == 0) return failed(EnumerationError::ZeroLength);
      if (length > kMaxEnumerationLetters) return failed(EnumerationError::WordTooLong);
      out.words.push_back({length, EnumerationBreak::End});
      separatorLast = false;
    } else if (c == ',' || c == '-') {
      if (out.words.empty()) return failed(EnumerationError::SeparatorAtEnd);
      if (separatorLast) return failed(EnumerationError::SeparatorsTogether);
      out.words.back().after = c == ',' ? EnumerationBreak::Space : EnumerationBreak::Hyphen;
      separatorLast = true;
      ++i;
    } else {
      return failed(EnumerationError::OtherCharacter);
    }
  }
  if (separatorLast) return failed(EnumerationError::SeparatorAtEnd);
  if (out.totalLength() > kMaxEnumerationLetters) return failed(EnumerationError::TotalTooLong);
  return out;
}

// The template alone is not enough. A template with a space makes only
// the space significant while unused punctuation is ignored (the default),
// so "....\ ..." would also list "ta-il end", and one without punctuation,
// like "......." for (7), ignores all of it and lists "tail end" and
// "tail-end" too. So each kind of break the enumeration lacks is ruled out
// by a negated pattern: (4,3) becomes "....\ ... & !*-*", (7) becomes
// "....... & !*\ * & !*-*". The breaks it has are then significant in the
// template and must stand exactly where it puts them, and no other breaks
// can stand anywhere, whichever way the option is set. Apostrophes, which
// enumerations do not show, stay ignored unless the option makes every
// punctuation mark of a pattern with punctuation significant.
std::string enumerationPattern(const Enumeration& enumeration) {
  std::string out;
  bool spaces = false;
  bool hyphens = false;
  for (const EnumerationWord& word : enumeration.words) {
    out.append(static_cast<std::size_t>(word.length), '.');
    if (word.after == EnumerationBreak::Space) {
      out += kWordBreak;
      spaces = true;
    } else if (word.after == EnumerationBreak::Hyphen) {
      out += '-';
      hyphens = true;
    }
  }
  if (!spaces) (out += " & !") += kAnySpace;
  if (!hyphens) (out += " & !") += kAnyHyphen;
  return out;
}

std::string withEnumeration(const Enumeration& enumeration, std::string_view line) {
  // Operators have no precedence and a chain groups from the right, so
  // "P & a | b" already means P & (a | b): with the enumeration's patterns
  // in front the user's line needs no parentheses, and its own groups and
  // "!" keep their meaning (and their error messages) unchanged.
  return enumerationPattern(enumeration) + " & " + std::string(line);
}

}  // namespace kea
