#include "dictionary/Alphabet.h"

#include <gtest/gtest.h>

namespace kea {
namespace {

std::array<std::uint8_t, 256> lowerCaseTable() {
  std::array<std::uint8_t, 256> table{};
  for (int c = 'a'; c <= 'z'; ++c) {
    table[c] = static_cast<std::uint8_t>(c);
    table[c - 'a' + 'A'] = static_cast<std::uint8_t>(c);
  }
  return table;
}

TEST(Alphabet, NumbersOccurringCharactersFirst) {
  std::array<std::uint64_t, 256> frequency{};
  frequency['c'] = 3;
  frequency['A'] = 1;  // folds into 'a'
  frequency['z'] = 2;
  const Alphabet alphabet = Alphabet::fromCanonicalTable(lowerCaseTable(), frequency);
  EXPECT_EQ(alphabet.letterCount, 3);
  EXPECT_EQ(alphabet.alphabetSize, 26);
  EXPECT_EQ(alphabet.alphabetIndexOf('a'), 0);
  EXPECT_EQ(alphabet.alphabetIndexOf('A'), 0);
  EXPECT_EQ(alphabet.alphabetIndexOf('c'), 1);
  EXPECT_EQ(alphabet.alphabetIndexOf('z'), 2);
  EXPECT_EQ(alphabet.alphabetIndexOf('b'), 3);  // first of the non-occurring
  EXPECT_EQ(alphabet.alphabetIndexOf('-'), kkd::kNoIndex);
  EXPECT_EQ(alphabet.canonicalCharOf(0), 'a');
  EXPECT_EQ(alphabet.canonicalCharOf(3), 'b');
  EXPECT_EQ(alphabet.canonicalCharOf(200), '!');
}

TEST(Alphabet, NormaliseDropsCharactersOutsideTheAlphabet) {
  const Alphabet alphabet = Alphabet::fromCanonicalTable(lowerCaseTable(), {});
  EXPECT_EQ(alphabet.normalise("Jack-o'-Lantern"), "jackolantern");
  EXPECT_EQ(alphabet.normalise("--' 42"), "");
}

TEST(Alphabet, SanitiseRemovesInconsistentEntries) {
  auto table = lowerCaseTable();
  table[0] = 'x';
  table['q'] = 0;    // 'Q' now folds to a character that is not canonical
  EXPECT_EQ(sanitiseAlphabetTable(table), 2);
  EXPECT_EQ(table[0], 0);
  EXPECT_EQ(table['Q'], 0);
  EXPECT_EQ(table['E'], 'e');

  std::array<std::uint8_t, 256> everything{};
  for (int b = 1; b < 256; ++b) everything[b] = static_cast<std::uint8_t>(b);
  sanitiseAlphabetTable(everything);
  const Alphabet alphabet = Alphabet::fromCanonicalTable(everything, {});
  EXPECT_LT(alphabet.alphabetSize, kkd::kAlphabetLimit);
}

}  // namespace
}  // namespace kea
