#include "builder/EnglishAlphabet.h"

#include "dictionary/LetterFold.h"

namespace kea {

std::array<std::uint8_t, 256> englishAlphabetTable() {
  std::array<std::uint8_t, 256> table{};
  for (int b = 0; b < 256; ++b) {
    const std::uint8_t fold = foldLetter(static_cast<std::uint8_t>(b));
    if (fold >= 'A' && fold <= 'Z') {
      table[b] = static_cast<std::uint8_t>(fold - 'A' + 'a');
    } else if (fold == 0x8C) {
      table[b] = 0x9C;  // œ
    } else if (fold == 0xC6) {
      table[b] = 0xE6;  // æ
    } else if (fold == 0xDE) {
      table[b] = 0xFE;  // þ
    } else if (fold == 0xDF) {
      table[b] = 0xDF;  // ß
    }
  }
  return table;
}

}  // namespace kea
