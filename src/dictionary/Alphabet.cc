#include "dictionary/Alphabet.h"

namespace kea {

std::string Alphabet::normalise(std::string_view word) const {
  std::string out;
  out.reserve(word.size());
  for (const char c : word) {
    const std::uint8_t index = indexOfByte[static_cast<std::uint8_t>(c)];
    if (index != kkd::kNoIndex) out.push_back(static_cast<char>(indexChar[index]));
  }
  return out;
}

Alphabet Alphabet::fromCanonicalTable(const std::array<std::uint8_t, 256>& table,
                                      const std::array<std::uint64_t, 256>& frequency) {
  std::array<std::uint64_t, 256> perCanonical{};
  for (int b = 0; b < 256; ++b) {
    if (table[b] != 0) perCanonical[table[b]] += frequency[b];
  }
  Alphabet alphabet;
  alphabet.byteChar = table;
  std::array<int, 256> indexOfCanonical;
  indexOfCanonical.fill(-1);
  int next = 0;
  for (int pass = 0; pass < 2; ++pass) {
    for (int b = 1; b < 256; ++b) {
      if (table[b] != b) continue;
      const bool occurs = perCanonical[b] != 0;
      if (occurs == (pass == 0)) indexOfCanonical[b] = next++;
    }
    if (pass == 0) alphabet.letterCount = next;
  }
  alphabet.alphabetSize = next;
  for (int b = 0; b < 256; ++b) {
    if (table[b] == 0 || indexOfCanonical[table[b]] < 0) continue;
    const auto index = static_cast<std::uint8_t>(indexOfCanonical[table[b]]);
    alphabet.indexOfByte[b] = index;
    // The last byte value with an index gives that index its character.
    alphabet.indexChar[index] = table[b];
  }
  return alphabet;
}

int sanitiseAlphabetTable(std::array<std::uint8_t, 256>& table) {
  int changed = 0;
  const auto clear = [&](int b) {
    if (table[b] != 0) ++changed;
    table[b] = 0;
  };
  clear(0);
  int canonicals = 0;
  for (int b = 1; b < 256; ++b) {
    if (table[b] == b && ++canonicals >= kkd::kAlphabetLimit) clear(b);
  }
  for (int b = 1; b < 256; ++b) {
    if (table[b] != 0 && table[table[b]] != table[b]) clear(b);
  }
  return changed;
}

}  // namespace kea
