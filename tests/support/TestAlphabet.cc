#include "support/TestAlphabet.h"

#include "builder/EnglishAlphabet.h"
#include "support/WordBufferFill.h"

namespace kea::test {

const Alphabet& englishTestAlphabet() {
  static const Alphabet alphabet = [] {
    std::array<std::uint64_t, 256> frequency{};
    for (int c = 'a'; c <= 'z'; ++c) frequency[static_cast<std::size_t>(c)] = 1;
    return Alphabet::fromCanonicalTable(englishAlphabetTable(), frequency);
  }();
  return alphabet;
}

TestWord::TestWord(std::string_view text, const Alphabet& alphabet)
    : buffer{}, length(fillWordBuffer(buffer, text, alphabet)) {}

}  // namespace kea::test
