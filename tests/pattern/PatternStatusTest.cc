// Every status code of a pattern and of a pattern line, produced by the
// inputs that raise it, and the message table.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "pattern/MatchEngine.h"
#include "pattern/MatchEngineSet.h"
#include "MatchTestSupport.h"
#include "support/TestAlphabet.h"

namespace kea {
namespace {

using S = PatternStatus;

// Each status reads its message from the string table at its own number,
// and no two statuses share one (the status line must tell them apart).
TEST(PatternStatus, MessagesComeFromTheStringTable) {
  const S statuses[] = {S::Valid,          S::Empty,         S::ChoiceNotLetters, S::TooManyPatterns, S::TooLong,
                        S::ChoiceUnfinished, S::SecondSemicolon, S::SubpatternUnfinished, S::StrayClose,
                        S::StrayBracket,   S::AnagramNotLetters, S::StrayCaret,    S::EscapeAtEnd,     S::EmptyChoice,
                        S::NestedTooDeeply};
  std::set<std::string> seen;
  for (const S status : statuses) {
    const char* message = patternStatusMessage(status);
    ASSERT_NE(message, nullptr);
    EXPECT_STREQ(patternString(kPatternStatusStringBase + static_cast<int>(status)), message);
    EXPECT_TRUE(seen.insert(message).second) << message;
  }
  EXPECT_EQ(patternString(kPatternStatusStringBase + 10), nullptr);
  EXPECT_STREQ(patternString(kBalancePrefixString), " ");
}

TEST(PatternStatus, CompileReportsItsInputsStatus) {
  const std::pair<const char*, S> rows[] = {
      {"", S::Empty}, {"   ", S::Empty}, {"-", S::Empty}, {"()", S::Empty}, {";", S::Empty}, {"\\&", S::Empty},
      {"*", S::Valid}, {"[\\a\\b]", S::Valid}, {"a\\&", S::Valid}, {"a(;b(c;d)e)f", S::Valid},
      {"[a.b]", S::ChoiceNotLetters}, {"[ab)c", S::ChoiceNotLetters}, {"[a^b]", S::ChoiceNotLetters},
      {"[a*]", S::ChoiceNotLetters}, {";[a1]", S::ChoiceNotLetters},
      {"[ab", S::ChoiceUnfinished}, {";x[ab", S::ChoiceUnfinished}, {"[ab\\", S::ChoiceUnfinished},
      {"[]", S::EmptyChoice}, {"[^]", S::EmptyChoice}, {";[]", S::EmptyChoice},
      {"a]", S::StrayBracket}, {";a]", S::StrayBracket},
      {"a^", S::StrayCaret},
      {"ab\\", S::EscapeAtEnd}, {"(ab\\", S::EscapeAtEnd}, {";ab\\", S::EscapeAtEnd}, {"x;ab\\", S::EscapeAtEnd},
      {"ab)", S::StrayClose}, {";ab)c", S::StrayClose},
      {"(ab", S::SubpatternUnfinished}, {";(ab", S::SubpatternUnfinished}, {"(;ab", S::SubpatternUnfinished},
      {";ab;c", S::SecondSemicolon}, {"x;a(;b)c;", S::SecondSemicolon},
      {";ab-c", S::AnagramNotLetters}, {";ab\\-", S::AnagramNotLetters}, {";a^", S::AnagramNotLetters},
      {";@", S::AnagramNotLetters},
  };
  for (const auto& [text, status] : rows) {
    MatchEngine engine;
    EXPECT_EQ(engine.compile(test::englishTestAlphabet(), text), status) << text;
    EXPECT_EQ(engine.status(), status) << text;
    EXPECT_EQ(engine.isValid(), status == S::Valid) << text;
  }
}

TEST(PatternStatus, PoolHoldsAtMost256Entries) {
  // 256 different choice sets fit (the length is too long to match, but the
  // pool fills first); one more does not.
  std::string text = "x;";
  int made = 0;
  for (char a = 'a'; a <= 'z'; ++a) {
    for (char b = a + 1; b <= 'z' && made < 257; ++b, ++made) {
      if (made == 256) {
        MatchEngine engine;
        EXPECT_EQ(engine.compile(test::englishTestAlphabet(), text), S::Valid);
      }
      text += std::string("[") + a + b + "]";
    }
  }
  MatchEngine engine;
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), text), S::TooManyPatterns);
}

TEST(PatternStatus, DeepAndRepeatedPatternsUpToTheLimits) {
  const auto repeat = [](const std::string& piece, int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += piece;
    return text;
  };
  const auto nested = [](int depth) { return std::string(depth, '(') + "a" + std::string(depth, ')'); };
  // Valid patterns of the language, however odd, compile and match: their
  // fixed lengths are far below the limit.
  for (const std::string& text : {repeat("*", 127) + "a", repeat("(*)", 125) + "a", nested(64), nested(490),
                                  ";" + repeat("(-)", 129) + "a", ";" + repeat("(-)", 255) + "a"}) {
    EXPECT_TRUE(test::patternMatches(text, "a")) << text;
    EXPECT_FALSE(test::patternMatches(text, "b")) << text;
  }
  MatchEngine engine;
  // Beyond our own nesting guard: refused with its own message, never a crash.
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), nested(3000)), S::NestedTooDeeply);
  // A fixed length over the limit is too long, however it is nested.
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), repeat("*a", 3000)), S::TooLong);
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), repeat("(a", 200) + std::string(200, ')')), S::TooLong);
  // One sub-pattern more often than a count can say.
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), ";" + repeat("(-)", 256) + "a"), S::TooManyPatterns);
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), ";" + repeat("(*)", 3000)), S::TooManyPatterns);
}

TEST(PatternStatus, LineStatusComesFromGroupsThenTheFirstFailingPattern) {
  const std::pair<std::string, S> rows[] = {
      {"(a", S::SubpatternUnfinished}, {"a)", S::StrayClose}, {"(a & b) | c", S::Valid},
      {"!(a | b)", S::Valid}, {"((a))", S::Valid}, {"a &", S::Empty}, {"@", S::Empty},
      {"a & [b", S::ChoiceUnfinished}, {"[b & a]", S::ChoiceUnfinished}, {"a] & [b", S::StrayBracket},
      {"(a | b)) & (c", S::StrayClose},
      // Parentheses that pair up within a piece are sub-patterns, however deep.
      {std::string(40, '(') + "a" + std::string(40, ')'), S::Valid},
      {std::string(31, '(') + "a & b" + std::string(31, ')'), S::Valid},
      {std::string(32, '(') + "a & b" + std::string(32, ')'), S::SubpatternUnfinished},
  };
  for (const auto& [text, status] : rows) {
    MatchEngineSet set;
    EXPECT_EQ(set.parseExpression(test::englishTestAlphabet(), text, 1, 100), status) << text;
    EXPECT_EQ(set.status(), status) << text;
  }
}

}  // namespace
}  // namespace kea
