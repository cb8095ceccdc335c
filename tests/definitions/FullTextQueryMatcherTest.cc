// The words of a full-text query that a shown definition highlights.
#include <gtest/gtest.h>

#include "definitions/FullTextQueryMatcher.h"
#include "support/TestAlphabet.h"

namespace kea {
namespace {

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
