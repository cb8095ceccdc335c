#include "builder/EnglishAlphabet.h"

#include <gtest/gtest.h>

#include "dictionary/Alphabet.h"

namespace kea {
namespace {

TEST(EnglishAlphabet, FoldsLettersAndLeavesPunctuationOut) {
  auto table = englishAlphabetTable();
  EXPECT_EQ(table['a'], 'a');
  EXPECT_EQ(table['Q'], 'q');
  EXPECT_EQ(table[0xC9], 'e');  // É
  EXPECT_EQ(table[0xFF], 'y');  // ÿ
  EXPECT_EQ(table[0x8C], 0x9C);  // Œ onto œ
  EXPECT_EQ(table[0xC6], 0xE6);  // Æ onto æ
  EXPECT_EQ(table[0xDE], 0xFE);  // Þ onto þ
  EXPECT_EQ(table[0xDF], 0xDF);
  for (int b : std::initializer_list<int>{0, '0', ' ', '-', '\'', '.', 0x92, 0xD7}) EXPECT_EQ(table[b], 0) << b;
  // Already consistent: nothing for the sanitiser to change.
  EXPECT_EQ(sanitiseAlphabetTable(table), 0);
  const Alphabet alphabet = Alphabet::fromCanonicalTable(table, {});
  EXPECT_EQ(alphabet.alphabetSize, 30);
}

}  // namespace
}  // namespace kea
