#include "MatchTestSupport.h"

#include <gtest/gtest.h>

namespace kea::test {

bool lineMatches(std::string_view line, std::string_view word, std::string* balance) {
  MatchEngineSet set;
  const PatternStatus status =
      set.parseExpression(englishTestAlphabet(), expandMacros(line, "[aeiou]", "[^aeiou]"), 1, 100);
  EXPECT_EQ(status, PatternStatus::Valid) << line;
  if (status != PatternStatus::Valid) return false;
  TestWord w(word);
  const auto [first, last] = set.lengthRange();
  if (w.length < first || w.length > last) return false;
  if (!set.setLength(w.length)) return false;
  const bool matched = set.matches(w.buffer, w.length);
  if (balance != nullptr) *balance = matched ? set.balance() : std::string();
  return matched;
}

bool patternMatches(std::string_view pattern, std::string_view word, bool ignoreUnusedPunctuation,
                    bool variablesExclusive, std::string* balance) {
  MatchEngine engine;
  const PatternStatus status =
      engine.compile(englishTestAlphabet(), pattern, ignoreUnusedPunctuation, variablesExclusive);
  EXPECT_EQ(status, PatternStatus::Valid) << pattern;
  TestWord w(word);
  engine.setWordLength(w.length);
  const bool matched = engine.matches(w.buffer);
  if (balance != nullptr) *balance = matched ? engine.balanceText() : std::string();
  return matched;
}

namespace {

bool compareOnce(const std::string& pattern, const std::vector<std::string>& words, ReferenceOptions options,
                 Tally& tally) {
  const Alphabet& alphabet = englishTestAlphabet();
  ++tally.patterns;
  MatchEngine engine;
  if (engine.compile(alphabet, pattern, options.ignoreUnusedPunctuation, options.variablesExclusive) !=
      PatternStatus::Valid) {
    ++tally.skipped;
    return true;
  }
  const ReferencePattern reference(pattern, alphabet, options);
  const std::string where = "pattern \"" + pattern + "\" ignore " + std::to_string(options.ignoreUnusedPunctuation) +
                            " exclusive " + std::to_string(options.variablesExclusive);
  EXPECT_EQ(engine.fixedLength(), reference.fixedLength()) << where;
  EXPECT_EQ(engine.longestLength(), reference.longestLength()) << where;
  if (engine.fixedLength() != reference.fixedLength() || engine.longestLength() != reference.longestLength()) {
    return false;
  }
  for (const std::string& word : words) {
    TestWord w(word);
    engine.setWordLength(w.length);
    const bool got = engine.matches(w.buffer);
    std::string balance;
    const bool expected = reference.matches(word, &balance);
    ++tally.pairs;
    tally.matches += expected ? 1 : 0;
    if (got != expected || (got && engine.balanceText() != balance)) {
      ADD_FAILURE() << where << " word \"" << word << "\": engine " << got << " (balance \""
                    << (got ? engine.balanceText() : "") << "\"), reference " << expected << " (balance \""
                    << balance << "\")\n" << engine.dump();
      return false;
    }
  }
  return true;
}

}  // namespace

bool compareWithReference(const std::string& pattern, const std::vector<std::string>& words, int vary,
                          Tally& tally) {
  for (int option = 0; option < 4; ++option) {
    if ((option & ~vary) != 0) continue;
    if (!compareOnce(pattern, words, {(option & kIgnore) == 0, (option & kExclusive) == 0}, tally)) return false;
  }
  return true;
}

}  // namespace kea::test
