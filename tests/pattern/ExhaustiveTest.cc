// Patterns chosen to reach every rule of the faster ways of matching (sets
// of places, the plane of significant characters, the sweep that places
// anagram blocks) against every word over a few letters up to a length,
// compared with the reference matcher. Generated pairs find faults at
// random; these make sure each rule is met, on all the words it can meet.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ReferenceMatcher.h"
#include "pattern/MatchEngine.h"
#include "support/TestAlphabet.h"

namespace kea {
namespace {

using test::ReferenceOptions;
using test::ReferencePattern;

// Every word of 1 … maxLength characters from `letters`.
std::vector<std::string> allWords(const std::string& letters, int maxLength) {
  std::vector<std::string> words;
  std::vector<std::string> last = {""};
  for (int n = 1; n <= maxLength; ++n) {
    std::vector<std::string> next;
    for (const std::string& w : last) {
      for (const char c : letters) next.push_back(w + c);
    }
    words.insert(words.end(), next.begin(), next.end());
    last = std::move(next);
  }
  return words;
}

struct Case {
  const char* pattern;
  const char* why;
};

void compareAll(const std::vector<Case>& cases, const std::vector<std::string>& words, ReferenceOptions options) {
  const Alphabet& alphabet = test::englishTestAlphabet();
  for (const Case& c : cases) {
    MatchEngine engine;
    ASSERT_EQ(engine.compile(alphabet, c.pattern, options.ignoreUnusedPunctuation, options.variablesExclusive),
              PatternStatus::Valid)
        << c.pattern;
    const ReferencePattern reference(c.pattern, alphabet, options);
    int matched = 0;
    for (const std::string& word : words) {
      test::TestWord w(word);
      if (w.length < 1) continue;
      engine.setWordLength(w.length);
      std::string balance;
      const bool expected = reference.matches(word, &balance);
      ASSERT_EQ(engine.matches(w.buffer), expected)
          << c.pattern << " (" << c.why << ") on \"" << word << "\" exclusive " << options.variablesExclusive;
      if (expected) {
        ASSERT_EQ(engine.balanceText(), balance) << c.pattern << " on \"" << word << "\"";
        ++matched;
      }
    }
    // Each pattern must both match and fail somewhere, or it tests little.
    EXPECT_GT(matched, 0) << c.pattern;
    EXPECT_LT(matched, static_cast<int>(words.size())) << c.pattern;
  }
}

TEST(Exhaustive, AnagramBlocks) {
  const std::vector<Case> cases = {
      {";(a*)(b*)c", "the last block takes the slack"},
      {";(*b)(a*)(*a)(*)(b*)c", "five blocks, one of them empty-able"},
      {";(a*)(*b)*", "a wildcard: no last block, letters left over"},
      {"......;(ab*)(*ba)c", "the template makes the word shorter: blocks left out"},
      {"....;(a*)(b*)(c*)", "early blocks left out while later ones take letters"},
      {"...*;(a.)(.b)(c)", "fixed blocks after a template with slack"},
      {";(ab)(ab)(a*)c", "an identical block counted twice"},
      {";(*)(*)ab", "blocks that may be empty"},
      {";(a*)(*;bc)", "a block with an anagram part of its own"},
      {";([ab]*)(c*)[ac][^a]", "choice lists among the other components"},
      {";(a*)(b*)12", "letter variables among the other components"},
      {";(1*)(b*)c1", "one block that binds a letter variable"},
      {";(*1)(*2)21", "one block binding, another left to the variables"},
      {"1.;(a*)(*1)", "a template binds what a block checks"},
      {"c(;(a*)b)*", "an anagram part with blocks inside a template"},
  };
  const std::vector<std::string> words = allWords("abc", 7);
  for (const bool exclusive : {true, false}) {
    ReferenceOptions options;
    options.variablesExclusive = exclusive;
    compareAll(cases, words, options);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

TEST(Exhaustive, RegularTemplates) {
  const std::vector<Case> cases = {
      {"**(*[^ba]*).a*b", "wildcards in a sub-pattern between wildcards"},
      {"(a*)(*b)(*)c", "variable-length sub-patterns in a row"},
      {"((*a)*b)*", "nested sub-patterns with wildcards"},
      {"*(ab)*(b.)*", "fixed sub-patterns between wildcards"},
      {"[ab]*(c*[^c])", "choice lists inside and outside"},
  };
  compareAll(cases, allWords("abc", 7), ReferenceOptions{});
}

TEST(Exhaustive, SignificantPunctuation) {
  const std::vector<Case> cases = {
      {"*-*", "a hyphen anywhere"},
      {"a*-*b", "a hyphen between letters"},
      {"*-*-*", "two hyphens"},
      {"a*--", "hyphens at the end after a wildcard"},
      {"*'a*", "an apostrophe before a letter"},
      {"\\A*-", "an exact capital, then a hyphen at the end"},
      {"*-(a*)b", "a sub-pattern after punctuation (searched)"},
  };
  const std::vector<std::string> words = allWords("ab-'A", 6);
  for (const bool ignore : {true, false}) {
    ReferenceOptions options;
    options.ignoreUnusedPunctuation = ignore;
    compareAll(cases, words, options);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace kea
