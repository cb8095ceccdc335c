// Where a shown definition highlights its word or a full-text query's
// words, and which word a caret or selection picks for a lookup.
#include "definitions/DefinitionText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
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
      {"tai", "tail", {}},
      {"tail", "...", {}},  // a word without letters highlights nothing
      {"x\r\ntail\r\nend tail", "tailend", {{2, 10}}},  // the pane counts "\r\n" as one
      {"x\r\ntail\r\nend tail", "tail", {{2, 6}, {11, 15}}},
  };
  for (const auto& c : cases) EXPECT_EQ(wordHighlights(c.text, c.word), c.spans) << c.text << " / " << c.word;
}

class FakeMatcher : public FullTextWordMatcher {
 public:
  explicit FakeMatcher(std::set<std::string> words) : words_(std::move(words)) {}
  bool inAlphabet(std::uint8_t b) const override { return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z'); }
  bool matches(std::string_view word) const override {
    offered.emplace_back(word);
    return words_.count(std::string(word)) != 0;
  }
  mutable std::vector<std::string> offered;

 private:
  std::set<std::string> words_;
};

TEST(FullTextHighlights, WordsAreRunsOfAlphabetCharactersOfferedCutButHighlightedWhole) {
  FakeMatcher matcher({"particle", "charge", "a", std::string(FullTextWordMatcher::kMaxWordLength, 'x')});
  const std::string text = "a particle,\r\nnegative charge; particles " + std::string(150, 'x');
  EXPECT_EQ(fullTextHighlights(text, matcher), (Ranges{{0, 1}, {2, 10}, {21, 27}, {39, 189}}));
  ASSERT_EQ(matcher.offered.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(matcher.offered.begin(), matcher.offered.begin() + 5),
            (std::vector<std::string>{"a", "particle", "negative", "charge", "particles"}));
  EXPECT_EQ(matcher.offered[5].size(), FullTextWordMatcher::kMaxWordLength);
}

TEST(FindWord, CaretOrSelectionTakesTheWordWithJoinersAndASenseNumber) {
  const struct {
    std::string text;
    TextRange selection;
    FoundWord found;
  } cases[] = {
      {"see tail-end here", {6, 6}, {"tail-end", ""}},
      {"see tail-end here", {4, 4}, {"tail-end", ""}},    // before the word
      {"see tail-end here", {12, 12}, {"tail-end", ""}},  // just after it
      {"it's o'clock", {8, 8}, {"o'clock", ""}},
      {"'quoted' word", {3, 3}, {"quoted", ""}},  // quotes around a word are not joiners
      {"see bank 2.", {5, 5}, {"bank", " 2"}},
      {"see bank 2x", {5, 5}, {"bank", ""}},  // "2x" is a word, not a number
      {"see bank  2", {5, 5}, {"bank", ""}},
      {"a -- b", {3, 3}, {"", ""}},
      {"", {0, 0}, {"", ""}},
      {"end", {99, 99}, {"end", ""}},  // clamped
      {"see (tail end), here", {4, 15}, {"tail end", ""}},  // trimmed to word characters
      {"tail\nend", {0, 8}, {"tail end", ""}},
      {"x\r\ntail\r\nend", {2, 10}, {"tail end", ""}},
      {"(--)", {0, 4}, {"", ""}},
      {"one two", {5, 1}, {"two", ""}},  // backwards: a caret at its start
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
      {"stone", {"Stone", "stone"}},
      {"st*", {"Stone", "stones", "stone"}},
      {"stone & small", {"Stone", "small", "stone"}},
      {"tree | !fruit", {"fruit", "fruit", "tree"}},  // a negated term's words are still the query's words
      {";eert", {"tree"}},
      {"....", {"tree"}},
      {".....", {"Stone", "fruit", "small", "stone", "fruit"}},
      {"........", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(highlighted(text, c.query), c.words) << c.query;
}

TEST(FullTextQueryMatcher, LineThatDoesNotCompileMatchesNothing) {
  FullTextQueryMatcher matcher(test::englishTestAlphabet(), "[ab");
  EXPECT_NE(matcher.status(), PatternStatus::Valid);
  EXPECT_FALSE(matcher.matches("a"));
  EXPECT_TRUE(matcher.inAlphabet('a'));
  EXPECT_FALSE(matcher.inAlphabet('-'));
}

}  // namespace
}  // namespace kea
