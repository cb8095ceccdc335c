#include "definitions/NaturalCompare.h"

#include <cstddef>
#include <cstdint>

#include "dictionary/LetterFold.h"

namespace kea {

namespace {

bool isDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }
bool isNonZeroDigit(std::uint8_t c) { return c >= '1' && c <= '9'; }
std::uint8_t at(std::string_view s, std::size_t i) { return static_cast<std::uint8_t>(s[i]); }

// The digits starting at `i` (none when s[i] is not a digit) with their
// leading zeros dropped, so that values of any size compare without overflow.
std::string_view significantDigits(std::string_view s, std::size_t i) {
  std::size_t end = i;
  while (end < s.size() && isDigit(at(s, end))) ++end;
  while (i < end && s[i] == '0') ++i;
  return s.substr(i, end - i);
}

// Compares two digit strings without leading zeros by value.
int compareValues(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace

int compareNatural(std::string_view a, std::string_view b, int& count) {
  count = 0;
  std::size_t i = 0, j = 0;
  for (;;) {
    while (i < a.size() && !isWordChar(at(a, i))) ++i;
    while (j < b.size() && !isWordChar(at(b, j))) ++j;
    if (i == a.size()) break;
    if (j == b.size()) return 1;
    const std::uint8_t ca = at(a, i), cb = at(b, j);
    if (!isNonZeroDigit(ca) && !isNonZeroDigit(cb)) {
      // A character without a fold (a digit 0) is compared as it is.
      const int fa = foldLetter(ca) ? foldLetter(ca) : ca;
      const int fb = foldLetter(cb) ? foldLetter(cb) : cb;
      if (fa != fb) return fa - fb;
      ++i, ++j;
    } else {
      // A side that does not start with a digit reads as the value 0.
      const int c = compareValues(significantDigits(a, i), significantDigits(b, j));
      if (c != 0) return c;
      while (i < a.size() && isDigit(at(a, i))) ++i;
      while (j < b.size() && isDigit(at(b, j))) ++j;
    }
    ++count;
  }
  return j < b.size() ? -1 : 0;
}

}  // namespace kea
