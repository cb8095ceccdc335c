// The built-in letter folding model: which Windows-1252 bytes are letters and
// the upper-case base letter each folds to. Used wherever words are compared
// or counted outside a dictionary's own alphabet: sorting results, the
// builder's sorted word lists, letter counts of results and word boundaries
// in definition text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kea {

namespace detail {
constexpr std::array<std::uint8_t, 256> makeLetterFold() {
  std::array<std::uint8_t, 256> t{};
  const auto range = [&t](int from, int to, int value) {
    for (int b = from; b <= to; ++b) t[b] = static_cast<std::uint8_t>(value);
  };
  for (int b = 'A'; b <= 'Z'; ++b) t[b] = static_cast<std::uint8_t>(b);
  for (int b = 'a'; b <= 'z'; ++b) t[b] = static_cast<std::uint8_t>(b - 'a' + 'A');
  t[0x8A] = t[0x9A] = 'S';   // S with caron
  t[0x8C] = t[0x9C] = 0x8C;  // OE ligature: a letter of its own
  t[0x9F] = 'Y';             // Y with diaeresis
  range(0xC0, 0xC5, 'A');
  range(0xE0, 0xE5, 'A');
  t[0xC6] = t[0xE6] = 0xC6;  // AE ligature: a letter of its own
  t[0xC7] = t[0xE7] = 'C';
  range(0xC8, 0xCB, 'E');
  range(0xE8, 0xEB, 'E');
  range(0xCC, 0xCF, 'I');
  range(0xEC, 0xEF, 'I');
  t[0xD0] = t[0xF0] = 'D';   // eth
  t[0xD1] = t[0xF1] = 'N';
  range(0xD2, 0xD6, 'O');
  range(0xF2, 0xF6, 'O');
  t[0xD8] = t[0xF8] = 'O';
  range(0xD9, 0xDC, 'U');
  range(0xF9, 0xFC, 'U');
  t[0xDD] = t[0xFD] = t[0xFF] = 'Y';
  t[0xDE] = t[0xFE] = 0xDE;  // thorn: a letter of its own
  t[0xDF] = 0xDF;            // sharp s: a letter of its own, never "SS"
  return t;
}
}  // namespace detail

// 256 entries indexed by byte value: 0 for a byte that is not a letter,
// otherwise the folded letter. Œ, Æ, Þ and ß fold to codes of their own
// (0x8C, 0xC6, 0xDE, 0xDF) and so sort after Z as single letters.
inline constexpr std::array<std::uint8_t, 256> LetterFold = detail::makeLetterFold();

inline std::uint8_t foldLetter(std::uint8_t byte) { return LetterFold[byte]; }
inline bool isLetter(std::uint8_t byte) { return LetterFold[byte] != 0; }
inline bool isWordChar(std::uint8_t byte) { return isLetter(byte) || (byte >= '0' && byte <= '9'); }

// Number of letters in the range.
int countLetters(const char* bytes, std::size_t length);
inline int countLetters(std::string_view text) { return countLetters(text.data(), text.size()); }

// Letters-only, case- and accent-blind comparison: negative, 0 or positive.
// "Ice-cream", "icecream" and "ICE CREAM" compare equal.
int compareFolded(const char* a, std::size_t lengthA, const char* b, std::size_t lengthB);
inline int compareFolded(std::string_view a, std::string_view b) {
  return compareFolded(a.data(), a.size(), b.data(), b.size());
}

}  // namespace kea
