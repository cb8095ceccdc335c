// Shared by the matching benchmarks: the English alphabet with every letter
// equally common, and joining text without chains of string + (which GCC 12
// misreads at -O3).
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "builder/EnglishAlphabet.h"
#include "dictionary/Alphabet.h"

namespace kea::bench {

inline const Alphabet& alphabet() {
  static const Alphabet a = [] {
    std::array<std::uint64_t, 256> frequency{};
    for (int c = 'a'; c <= 'z'; ++c) frequency[static_cast<std::size_t>(c)] = 1;
    return Alphabet::fromCanonicalTable(englishAlphabetTable(), frequency);
  }();
  return a;
}

inline std::string cat(std::initializer_list<std::string> parts) {
  std::string out;
  for (const std::string& part : parts) out.append(part);
  return out;
}

}  // namespace kea::bench
