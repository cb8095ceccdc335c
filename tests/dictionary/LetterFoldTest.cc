#include "dictionary/LetterFold.h"

#include <gtest/gtest.h>

namespace kea {
namespace {

int sign(int v) { return (v > 0) - (v < 0); }

TEST(LetterFold, FoldsCaseAndAccentsToBaseLetters) {
  EXPECT_EQ(foldLetter('a'), 'A');
  EXPECT_EQ(foldLetter('Z'), 'Z');
  EXPECT_EQ(foldLetter(0xE9), 'E');  // é
  EXPECT_EQ(foldLetter(0x9A), 'S');  // š
  EXPECT_EQ(foldLetter(0xFF), 'Y');  // ÿ
  EXPECT_EQ(foldLetter(0xF0), 'D');  // ð
  EXPECT_EQ(foldLetter(0x9C), foldLetter(0x8C));  // œ and Œ
  EXPECT_EQ(foldLetter(0xE6), 0xC6);  // æ
  EXPECT_EQ(foldLetter(0xFE), 0xDE);  // þ
  EXPECT_EQ(foldLetter(0xDF), 0xDF);  // ß
}

TEST(LetterFold, NonLettersFoldToZero) {
  for (int b : std::initializer_list<int>{0x00, '0', '9', ' ', '-', '\'', '@', '[', '`', '{', 0x8E, 0x9E, 0xAA, 0xB5, 0xBA, 0xD7, 0xF7}) {
    EXPECT_FALSE(isLetter(static_cast<std::uint8_t>(b))) << b;
  }
  EXPECT_TRUE(isWordChar('7'));
  EXPECT_FALSE(isLetter('7'));
  EXPECT_FALSE(isWordChar('-'));
  int letters = 0;
  for (int b = 0; b < 256; ++b) letters += isLetter(static_cast<std::uint8_t>(b));
  // 52 ASCII letters, 5 in 0x8A-0x9F, 64 in 0xC0-0xFF less × and ÷.
  EXPECT_EQ(letters, 52 + 5 + 62);
}

TEST(LetterFold, CountLettersIgnoresPunctuation) {
  EXPECT_EQ(countLetters("o'clock"), 6);
  EXPECT_EQ(countLetters("fly-by-night"), 10);
  EXPECT_EQ(countLetters(""), 0);
}

TEST(LetterFold, CompareFoldedIsLettersOnlyAndCaseBlind) {
  EXPECT_EQ(compareFolded("Ice-cream", "icecream"), 0);
  EXPECT_EQ(compareFolded("ICE CREAM", "icecream"), 0);
  EXPECT_EQ(compareFolded("a-b", "AB"), 0);
  EXPECT_EQ(compareFolded("--", "' ."), 0);
  EXPECT_EQ(compareFolded("\xC9t\xE9", "ETE"), 0);  // Été
  EXPECT_EQ(compareFolded("ab", "abc"), -1);
  EXPECT_EQ(compareFolded("abc", "ab"), 1);
  EXPECT_LT(compareFolded("apple", "banana"), 0);
  EXPECT_GT(compareFolded("\xC6", "z"), 0);      // Æ sorts after Z
  EXPECT_NE(compareFolded("\xDF", "SS"), 0);     // ß is one letter, not SS
  EXPECT_EQ(sign(compareFolded("b", "a")), 1);
}

}  // namespace
}  // namespace kea
