// How a meaning is taken apart into the stems the index knows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "meaning/MeaningTerms.h"

namespace kea {
namespace {

using Terms = std::vector<std::string>;

TEST(MeaningTerms, ContentWordsAreFoldedStemmedAndKeptInOrderWithRepeats) {
  EXPECT_EQ(meaningTerms("Negatively charged particle"), (Terms{"neg", "charg", "particl"}));
  EXPECT_EQ(meaningTerms("the sound of a bell, a bell's ring"), (Terms{"sound", "bell", "bell's", "ring"}));
  // Function words and the words definitions are made of count for nothing.
  EXPECT_EQ(meaningTerms("a kind of something used especially by someone"), Terms{});
  EXPECT_EQ(meaningTerms(""), Terms{});
  EXPECT_EQ(meaningTerms("   ,;  "), Terms{});
}

TEST(MeaningTerms, AnythingButALetterSplitsWordsAndSingleLettersGo) {
  EXPECT_EQ(meaningTerms("ice-cream (x) 24/7 jet2go"), (Terms{"ic", "cream", "jet", "go"}));
  // One apostrophe inside a word belongs to it; at its edges it does not.
  EXPECT_EQ(meaningTerms("'tis o'clock rock'n'roll"), (Terms{"ti", "o'clock", "rock'n", "roll"}));
  // Windows-1252's curly apostrophe too.
  EXPECT_EQ(meaningTerms("o\x92" "clock"), (Terms{"o'clock"}));
}

TEST(MeaningTerms, AccentsFoldAndLigaturesSpellOut) {
  // "Café crème", "Æsop", "Straße" in Windows-1252.
  EXPECT_EQ(meaningTerms("Caf\xE9 cr\xE8me"), (Terms{"cafe", "creme"}));
  EXPECT_EQ(meaningTerms("\xC6sop"), (Terms{"aesop"}));
  EXPECT_EQ(meaningTerms("Stra\xDF" "e"), (Terms{"strass"}));
}

TEST(MeaningTerms, AWordTooLongForTheBufferIsSkippedNotCut) {
  const std::string longWord(MeaningWords::kMaxWord + 1, 'x');
  EXPECT_EQ(meaningTerms("first " + longWord + " last"), (Terms{"first", "last"}));
  // A long run of accented letters and ligatures is counted as it spells out.
  const std::string ligatures(MeaningWords::kMaxWord / 2 + 1, '\xC6');
  EXPECT_EQ(meaningTerms(ligatures + " ok"), (Terms{"ok"}));
}

TEST(MeaningTerms, StopWordsAreLowerCaseWordsOfTheList) {
  EXPECT_TRUE(isMeaningStopWord("the"));
  EXPECT_TRUE(isMeaningStopWord("especially"));
  EXPECT_TRUE(isMeaningStopWord("x"));  // single letters
  EXPECT_FALSE(isMeaningStopWord("particle"));
  EXPECT_FALSE(isMeaningStopWord("thee"));
}

}  // namespace
}  // namespace kea
