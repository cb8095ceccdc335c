// A dictionary's own alphabet: for each byte its alphabet index (or none) and
// canonical character, and for each index its canonical character. Pattern
// matching, anagram counting and definition lookup work on these indices.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "dictionary/KkdFormat.h"

namespace kea {

struct Alphabet {
  // A: indices 0 … A-1 are the characters that occur in the entries.
  int letterCount = 0;
  // B: indices A … B-1 are alphabet characters that occur in none.
  int alphabetSize = 0;
  // Per byte value: its alphabet index, or kkd::kNoIndex.
  std::array<std::uint8_t, 256> indexOfByte;
  // Per alphabet index: its canonical character ('!' when unset).
  std::array<std::uint8_t, 256> indexChar;
  // Per byte value: its canonical character (0 outside the alphabet).
  std::array<std::uint8_t, 256> byteChar;

  Alphabet() {
    indexOfByte.fill(kkd::kNoIndex);
    indexChar.fill(kkd::kUnsetIndexChar);
    byteChar.fill(0);
  }

  std::uint8_t alphabetIndexOf(std::uint8_t byte) const { return indexOfByte[byte]; }
  std::uint8_t canonicalCharOf(std::uint8_t index) const { return indexChar[index]; }

  // Each byte mapped to the canonical character of its index; bytes without
  // an index are dropped.
  std::string normalise(std::string_view word) const;

  // Numbers the canonical characters of a builder's alphabet table (256
  // entries: canonical character, or 0 outside the alphabet) as a written
  // dictionary does: first, in increasing byte order, the canonical
  // characters whose summed frequency is not 0, then the others. `table`
  // must already be sanitised (see sanitiseAlphabetTable).
  static Alphabet fromCanonicalTable(const std::array<std::uint8_t, 256>& table,
                                     const std::array<std::uint64_t, 256>& frequency);
};

// Makes a builder alphabet table consistent: byte 0 is outside the alphabet,
// an entry whose canonical character is not its own canonical character is
// taken out, and at most kkd::kAlphabetLimit - 1 canonical characters are
// kept (the lowest byte values). Returns the number of entries changed.
int sanitiseAlphabetTable(std::array<std::uint8_t, 256>& table);

}  // namespace kea
