#include "definitions/DefinitionText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace kea {

void PrintTo(const TextRange& r, std::ostream* os) { *os << "[" << r.start << "," << r.end << ")"; }
void PrintTo(const FoundWord& f, std::ostream* os) { *os << "{\"" << f.word << "\", \"" << f.suffix << "\"}"; }

namespace {

using Ranges = std::vector<TextRange>;

TEST(WordHighlights, CaseAccentAndPunctuationVariantsButNotLongerWords) {
  struct Case {
    std::string text, word;
    Ranges spans;
  };
  const Case cases[] = {
      {"a tail-end charlie", "tailend", {{2, 10}}},
      {"tails and tail", "tail", {{10, 14}}},            // "tails" has a letter too many
      {"TAIL, Tail; t\xE0il", "tail", {{0, 4}, {6, 10}, {12, 16}}},
      {"\xC9" "clair or eclair", "\xE9" "clair", {{0, 6}, {10, 16}}},
      {"tail end", "tail-end", {{0, 8}}},                // the word's own hyphen does not count
      {"retail", "tail", {}},                            // a span starts only after a non-letter
      {"tail2end", "tailend", {{0, 8}}},                 // a digit is a non-letter here
      {"tai", "tail", {}},                               // the text ends before n letters
      {"", "tail", {}},
      {"tail", "", {}},                                  // a word without letters highlights nothing
      {"tail", "...", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(wordHighlights(c.text, c.word), c.spans) << c.text << " / " << c.word;
}

TEST(WordHighlights, CarriageReturnsDoNotCountAsPositions) {
  // The pane counts "\r\n" as one character.
  EXPECT_EQ(wordHighlights("x\r\ntail\r\nend tail", "tailend"), (Ranges{{2, 10}}));
  EXPECT_EQ(wordHighlights("x\r\ntail\r\nend tail", "tail"), (Ranges{{2, 6}, {11, 15}}));
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

TEST(FullTextHighlights, WordsAreRunsOfAlphabetCharacters) {
  FakeMatcher matcher({"particle", "charge", "a"});
  const std::string text = "a particle,\r\nnegative charge; particles";
  EXPECT_EQ(fullTextHighlights(text, matcher), (Ranges{{0, 1}, {2, 10}, {21, 27}}));
  EXPECT_EQ(matcher.offered, (std::vector<std::string>{"a", "particle", "negative", "charge", "particles"}));
}

TEST(FullTextHighlights, LongWordsAreOfferedCutButHighlightedWhole) {
  const std::string longWord(150, 'x');
  FakeMatcher matcher({std::string(FullTextWordMatcher::kMaxWordLength, 'x')});
  EXPECT_EQ(fullTextHighlights("ab " + longWord + " cd", matcher), (Ranges{{3, 153}}));
  EXPECT_EQ(matcher.offered[1].size(), FullTextWordMatcher::kMaxWordLength);
}

TEST(FindWord, CaretTakesTheWordWithJoinersAndASenseNumber) {
  struct Case {
    std::string text;
    int caret;
    FoundWord found;
  };
  const Case cases[] = {
      {"see tail-end here", 6, {"tail-end", ""}},
      {"see tail-end here", 4, {"tail-end", ""}},       // caret before the word
      {"see tail-end here", 12, {"tail-end", ""}},      // caret just after it
      {"it's o'clock", 8, {"o'clock", ""}},
      {"'quoted' word", 3, {"quoted", ""}},              // quotes around a word are not joiners
      {"see bank 2.", 5, {"bank", " 2"}},
      {"see bank 2x", 5, {"bank", ""}},                  // "2x" is a word of its own, not a number
      {"see bank  2", 5, {"bank", ""}},
      {"a -- b", 3, {"", ""}},
      {"", 0, {"", ""}},
      {"end", 99, {"end", ""}},                           // a caret past the end is clamped
  };
  for (const auto& c : cases) EXPECT_EQ(findWord(c.text, {c.caret, c.caret}), c.found) << c.text << " @" << c.caret;
}

TEST(FindWord, SelectionIsTrimmedToWordCharacters) {
  EXPECT_EQ(findWord("see (tail end), here", {4, 15}), (FoundWord{"tail end", ""}));
  EXPECT_EQ(findWord("tail\nend", {0, 8}), (FoundWord{"tail end", ""}));
  EXPECT_EQ(findWord("x\r\ntail\r\nend", {2, 10}), (FoundWord{"tail end", ""}));
  EXPECT_EQ(findWord("(--)", {0, 4}), (FoundWord{"", ""}));
  // A selection given backwards is a caret at its start.
  EXPECT_EQ(findWord("one two", {5, 1}), (FoundWord{"two", ""}));
}

}  // namespace
}  // namespace kea
