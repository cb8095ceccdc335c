#include "definitions/DefinitionText.h"

#include <algorithm>

#include "dictionary/LetterFold.h"

namespace kea {

namespace {

std::uint8_t at(std::string_view s, std::size_t i) { return static_cast<std::uint8_t>(s[i]); }
bool isDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }
// Characters that join two parts of one word: hyphen, apostrophe and the
// typographic apostrophe.
bool isJoiner(std::uint8_t c) { return c == '-' || c == '\'' || c == 0x92; }

}  // namespace

std::vector<TextRange> wordHighlights(std::string_view text, std::string_view word) {
  std::vector<TextRange> spans;
  const int n = countLetters(word);
  if (n == 0) return spans;
  int display = 0;
  bool previousIsLetter = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool letter = isLetter(at(text, i));
    if (letter && !previousIsLetter) {
      // Count letters until a run of letters ends with at least n counted.
      int count = 0;
      int returns = 0;
      std::size_t q = i;
      while (q < text.size()) {
        if (isLetter(at(text, q))) {
          ++count;
        } else {
          if (count >= n) break;
          returns += text[q] == '\r';
        }
        ++q;
      }
      if (count == n && compareFolded(text.substr(i, q - i), word) == 0) {
        spans.push_back({display, display + static_cast<int>(q - i) - returns});
      }
    }
    previousIsLetter = letter;
    display += text[i] != '\r';
  }
  return spans;
}

std::vector<TextRange> fullTextHighlights(std::string_view text, const FullTextWordMatcher& matcher) {
  std::vector<TextRange> spans;
  int display = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (!matcher.inAlphabet(at(text, i))) {
      display += text[i] != '\r';
      ++i;
      continue;
    }
    const int start = display;
    const std::size_t first = i;
    while (i < text.size() && matcher.inAlphabet(at(text, i))) {
      display += text[i] != '\r';
      ++i;
    }
    const std::size_t kept = std::min(i - first, FullTextWordMatcher::kMaxWordLength);
    if (matcher.matches(text.substr(first, kept))) spans.push_back({start, display});
  }
  return spans;
}

std::size_t indexOfDisplayPosition(std::string_view text, int position) {
  std::size_t i = 0;
  for (int d = 0; i < text.size(); ++i) {
    if (text[i] == '\r') continue;
    if (d == position) break;
    ++d;
  }
  return i;
}

FoundWord findWord(std::string_view text, TextRange selection) {
  FoundWord found;
  const std::size_t a = indexOfDisplayPosition(text, std::max(selection.start, 0));
  const std::size_t b = indexOfDisplayPosition(text, std::max(selection.end, 0));
  if (b > a) {
    std::size_t first = a, last = b;
    while (first < last && !isWordChar(at(text, first))) ++first;
    while (last > first && !isWordChar(at(text, last - 1))) --last;
    for (std::size_t i = first; i < last; ++i) {
      const std::uint8_t c = at(text, i);
      if (c == '\r') continue;
      found.word += c < 0x20 ? ' ' : static_cast<char>(c);
    }
    return found;
  }
  // The caret touches a word when the character after or before it is a
  // word character.
  std::size_t start;
  if (a < text.size() && isWordChar(at(text, a))) {
    start = a;
  } else if (a > 0 && isWordChar(at(text, a - 1))) {
    start = a - 1;
  } else {
    return found;
  }
  std::size_t end = start + 1;
  while (start > 0) {
    if (isWordChar(at(text, start - 1))) {
      --start;
    } else if (start >= 2 && isJoiner(at(text, start - 1)) && isWordChar(at(text, start - 2))) {
      start -= 2;
    } else {
      break;
    }
  }
  while (end < text.size()) {
    if (isWordChar(at(text, end))) {
      ++end;
    } else if (end + 1 < text.size() && isJoiner(at(text, end)) && isWordChar(at(text, end + 1))) {
      end += 2;
    } else {
      break;
    }
  }
  found.word = std::string(text.substr(start, end - start));
  // A sense number: one blank and digits that end the word.
  if (end + 1 < text.size() && text[end] == ' ' && isDigit(at(text, end + 1))) {
    std::size_t f = end + 1;
    while (f < text.size() && isDigit(at(text, f))) ++f;
    if (f == text.size() || !isWordChar(at(text, f))) found.suffix = std::string(text.substr(end, f - end));
  }
  return found;
}

}  // namespace kea
