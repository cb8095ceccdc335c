// Letters of Windows-1252: how they fold for sorting and lookups, and the
// sanitising of alphabet tables. (How a dictionary numbers its alphabet is
// checked where the builder writes it and the reader reads it.)
#include "dictionary/Alphabet.h"

#include <gtest/gtest.h>

#include "dictionary/LetterFold.h"

namespace kea {
namespace {

TEST(LetterFold, FoldsCaseAndAccentsAndLeavesOtherBytesOut) {
  // é š ÿ ð Œ œ æ þ ß
  for (const auto& [byte, folded] : {std::pair<int, int>{'a', 'A'}, {'Z', 'Z'}, {0xE9, 'E'}, {0x9A, 'S'},
                                     {0xFF, 'Y'}, {0xF0, 'D'}, {0x8C, 0x8C}, {0x9C, 0x8C}, {0xE6, 0xC6},
                                     {0xFE, 0xDE}, {0xDF, 0xDF}}) {
    EXPECT_EQ(foldLetter(static_cast<std::uint8_t>(byte)), folded) << byte;
  }
  for (const int b : std::initializer_list<int>{0x00, '0', '9', ' ', '-', '\'', '@', '[', '`', '{', 0x8E, 0x9E, 0xAA,
                                                0xB5, 0xBA, 0xD7, 0xF7}) {
    EXPECT_FALSE(isLetter(static_cast<std::uint8_t>(b))) << b;
  }
  EXPECT_TRUE(isWordChar('7'));
  EXPECT_FALSE(isWordChar('-'));
  int letters = 0;
  for (int b = 0; b < 256; ++b) letters += isLetter(static_cast<std::uint8_t>(b));
  EXPECT_EQ(letters, 52 + 5 + 62);  // ASCII, five in 0x8A-0x9F, 0xC0-0xFF less × and ÷
  EXPECT_EQ(countLetters("fly-by-night"), 10);
}

TEST(LetterFold, CompareFoldedIsLettersOnlyAndCaseBlind) {
  // Æ sorts after Z; ß is one letter, not SS.
  for (const auto& [a, b, sign] : {std::tuple{"Ice-cream", "icecream", 0}, {"ICE CREAM", "icecream", 0},
                                   {"--", "' .", 0}, {"\xC9t\xE9", "ETE", 0}, {"ab", "abc", -1}, {"abc", "ab", 1},
                                   {"apple", "banana", -1}, {"\xC6", "z", 1}, {"\xDF", "SS", 1}, {"b", "a", 1}}) {
    const int got = compareFolded(a, b);
    EXPECT_EQ((got > 0) - (got < 0), sign) << a << " " << b;
  }
}

std::array<std::uint8_t, 256> lowerCaseTable() {
  std::array<std::uint8_t, 256> table{};
  for (int c = 'a'; c <= 'z'; ++c) table[c] = table[c - 'a' + 'A'] = static_cast<std::uint8_t>(c);
  return table;
}

TEST(Alphabet, SanitiseRemovesInconsistentEntries) {
  auto table = lowerCaseTable();
  table[0] = 'x';
  table['q'] = 0;  // 'Q' now folds to a character that is not canonical
  EXPECT_EQ(sanitiseAlphabetTable(table), 2);
  EXPECT_EQ(table[0], 0);
  EXPECT_EQ(table['Q'], 0);
  EXPECT_EQ(table['E'], 'e');
  std::array<std::uint8_t, 256> everything{};
  for (int b = 1; b < 256; ++b) everything[b] = static_cast<std::uint8_t>(b);
  sanitiseAlphabetTable(everything);
  EXPECT_LT(Alphabet::fromCanonicalTable(everything, {}).alphabetSize, kkd::kAlphabetLimit);
}

}  // namespace
}  // namespace kea
