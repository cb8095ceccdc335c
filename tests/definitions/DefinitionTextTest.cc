// Where a shown definition highlights its word or a full-text query's
// words, and which word a caret or selection picks for a lookup.
#include "definitions/DefinitionText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "definitions/FullTextQueryMatcher.h"
#include "support/TestAlphabet.h"

namespace kea {

void PrintTo(const TextRange& r, std::ostream* os) { *os << "[" << r.start << "," << r.end << ")"; }
void PrintTo(const FoundWord& f, std::ostream* os) { *os << "{\"" << f.word << "\", \"" << f.suffix << "\"}"; }

namespace {

using Ranges = std::vector<TextRange>;

TEST(WordHighlights, CaseAccentAndPunctuationVariantsButNotLongerWords) {
  const struct {
    std::string text, word;
    Ranges spans;
  } cases[] = {
      {"a tail-end charlie", "tailend", {{2, 10}}},
      {"tails and tail", "tail", {{10, 14}}},  // "tails" has a letter too many
      {"TAIL, Tail; t\xE0il", "tail", {{0, 4}, {6, 10}, {12, 16}}},
      {"\xC9" "clair or eclair", "\xE9" "clair", {{0, 6}, {10, 16}}},
      {"tail end", "tail-end", {{0, 8}}},
      {"retail", "tail", {}},  // a span starts only after a non-letter
      {"tail2end", "tailend", {{0, 8}}},
      {"tail", "...", {}},  // a word without letters highlights nothing
      {"x\r\ntail\r\nend tail", "tailend", {{2, 10}}},  // the pane counts "\r\n" as one
      {"x\r\ntail\r\nend tail", "tail", {{2, 6}, {11, 15}}},
  };
  for (const auto& c : cases) EXPECT_EQ(wordHighlights(c.text, c.word), c.spans) << c.text << " / " << c.word;
}

TEST(FullTextHighlights, WordsAreRunsOfAlphabetCharactersAndOverlongOnesMatchNothing) {
  FullTextQueryMatcher matcher(test::englishTestAlphabet(), "particle | charge | x*");
  const std::string text = "a particle,\r\nnegative charge; particles " + std::string(150, 'x');
  EXPECT_EQ(fullTextHighlights(text, matcher), (Ranges{{2, 10}, {21, 27}}));
}

TEST(FindWord, CaretOrSelectionTakesTheWordWithJoinersAndASenseNumber) {
  const struct {
    std::string text;
    TextRange selection;
    FoundWord found;
  } cases[] = {
      // A caret in, before or just after a word; quotes around a word are no joiners.
      {"see tail-end here", {6, 6}, {"tail-end", ""}},  {"see tail-end here", {4, 4}, {"tail-end", ""}},
      {"see tail-end here", {12, 12}, {"tail-end", ""}}, {"it's o'clock", {8, 8}, {"o'clock", ""}},
      {"'quoted' word", {3, 3}, {"quoted", ""}},
      // A sense number, but not a word that starts with digits.
      {"see bank 2.", {5, 5}, {"bank", " 2"}}, {"see bank 2x", {5, 5}, {"bank", ""}},
      {"see bank  2", {5, 5}, {"bank", ""}},   {"a -- b", {3, 3}, {"", ""}},
      {"", {0, 0}, {"", ""}},                  {"end", {99, 99}, {"end", ""}},  // clamped
      // A selection is trimmed to word characters; backwards, it is a caret at its start.
      {"see (tail end), here", {4, 15}, {"tail end", ""}}, {"tail\nend", {0, 8}, {"tail end", ""}},
      {"x\r\ntail\r\nend", {2, 10}, {"tail end", ""}},      {"(--)", {0, 4}, {"", ""}},
      {"one two", {5, 1}, {"two", ""}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(findWord(c.text, c.selection), c.found) << c.text << " @" << c.selection.start << "," << c.selection.end;
  }
}

std::vector<std::string> highlighted(std::string_view text, std::string_view query) {
  FullTextQueryMatcher matcher(test::englishTestAlphabet(), query);
  EXPECT_EQ(matcher.status(), PatternStatus::Valid) << query;
  std::vector<std::string> words;
  for (const TextRange& r : fullTextHighlights(text, matcher)) {
    words.emplace_back(text.substr(static_cast<std::size_t>(r.start), static_cast<std::size_t>(r.end - r.start)));
  }
  return words;
}

TEST(FullTextQueryMatcher, HighlightsTheWordsAnyTermMatches) {
  const std::string text = "A Stone fruit; stones and a small stone-fruit tree.";
  const struct {
    const char* query;
    std::vector<std::string> words;
  } cases[] = {
      {"stone", {"Stone", "stone"}}, {"st*", {"Stone", "stones", "stone"}},
      {"stone & small", {"Stone", "small", "stone"}},
      {"tree | !fruit", {"fruit", "fruit", "tree"}},  // a negated term's words are still the query's words
      {";eert", {"tree"}}, {"....", {"tree"}}, {".....", {"Stone", "fruit", "small", "stone", "fruit"}}, {"........", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(highlighted(text, c.query), c.words) << c.query;
}

TEST(FullTextQueryMatcher, LineThatDoesNotCompileMatchesNothing) {
  FullTextQueryMatcher matcher(test::englishTestAlphabet(), "[ab");
  EXPECT_NE(matcher.status(), PatternStatus::Valid);
  EXPECT_FALSE(matcher.matches("a"));
}

}  // namespace
}  // namespace kea
