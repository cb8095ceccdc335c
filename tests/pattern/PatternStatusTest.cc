// Every status code of a pattern and of a pattern line, produced by the
// inputs that raise it, and the message table.
#include <gtest/gtest.h>

#include <string>

#include "pattern/MatchEngine.h"
#include "pattern/MatchEngineSet.h"
#include "support/TestAlphabet.h"

namespace kea {
namespace {

TEST(PatternStatus, MessagesAreTheStringsFrom13080) {
  EXPECT_STREQ(patternStatusMessage(PatternStatus::Valid),
               "Pattern is valid - press the return key to start searching");
  EXPECT_STREQ(patternStatusMessage(PatternStatus::Empty), "Press F1 for help");
  EXPECT_STREQ(patternStatusMessage(PatternStatus::ChoiceNotLetters),
               "Choice lists can only include letters, optionally preceded by ^");
  EXPECT_STREQ(patternStatusMessage(PatternStatus::TooManyPatterns), "Too many patterns or choice lists");
  EXPECT_STREQ(patternStatusMessage(PatternStatus::TooLong), "Pattern is too long to match anything");
  EXPECT_STREQ(patternStatusMessage(PatternStatus::ChoiceUnfinished), "Choice list started - use ] to complete it");
  EXPECT_STREQ(patternStatusMessage(PatternStatus::SecondSemicolon), "Only one ; is allowed in a pattern");
  EXPECT_STREQ(patternStatusMessage(PatternStatus::SubpatternUnfinished),
               "Subpattern started - use ) to complete it");
  EXPECT_STREQ(patternStatusMessage(PatternStatus::StrayClose), "A ) can only appear at the end of a subpattern");
  EXPECT_STREQ(patternStatusMessage(PatternStatus::StrayBracket), "A ] can only appear at the end of a choice list");
  EXPECT_STREQ(patternStatusMessage(PatternStatus::AnagramNotLetters),
               "Only letters and match-alls allowed in anagrams");
  EXPECT_STREQ(patternStatusMessage(PatternStatus::StrayCaret), "A ^ can only appear within a choice list");
  EXPECT_STREQ(patternStatusMessage(PatternStatus::EscapeAtEnd),
               "Follow \\ by the character you want to match exactly");
  EXPECT_STREQ(patternStatusMessage(PatternStatus::EmptyChoice), "Choice lists must contain at least one letter");
  EXPECT_STREQ(patternString(kPatternStatusStringBase + 8), patternStatusMessage(PatternStatus::StrayClose));
  EXPECT_STREQ(patternString(kBalancePrefixString), " ");
  EXPECT_EQ(patternString(kPatternStatusStringBase + 10), nullptr);
}

struct StatusCase {
  const char* text;
  PatternStatus status;
};

class PatternStatusOfText : public ::testing::TestWithParam<StatusCase> {};

TEST_P(PatternStatusOfText, CompileReportsIt) {
  MatchEngine engine;
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), GetParam().text), GetParam().status) << GetParam().text;
  EXPECT_EQ(engine.status(), GetParam().status);
  EXPECT_EQ(engine.isValid(), GetParam().status == PatternStatus::Valid);
}

INSTANTIATE_TEST_SUITE_P(Cases, PatternStatusOfText, ::testing::Values(
    StatusCase{"", PatternStatus::Empty},
    StatusCase{"   ", PatternStatus::Empty},
    StatusCase{"-", PatternStatus::Empty},
    StatusCase{"()", PatternStatus::Empty},
    StatusCase{";", PatternStatus::Empty},
    StatusCase{"*", PatternStatus::Valid},
    StatusCase{"[a.b]", PatternStatus::ChoiceNotLetters},
    StatusCase{"[ab)c", PatternStatus::ChoiceNotLetters},
    StatusCase{"[a^b]", PatternStatus::ChoiceNotLetters},
    StatusCase{"[a*]", PatternStatus::ChoiceNotLetters},
    StatusCase{";[a1]", PatternStatus::ChoiceNotLetters},
    StatusCase{"[ab", PatternStatus::ChoiceUnfinished},
    StatusCase{";x[ab", PatternStatus::ChoiceUnfinished},
    StatusCase{"[ab\\", PatternStatus::ChoiceUnfinished},
    StatusCase{"[]", PatternStatus::EmptyChoice},
    StatusCase{"[^]", PatternStatus::EmptyChoice},
    StatusCase{";[]", PatternStatus::EmptyChoice},
    StatusCase{"[\\a\\b]", PatternStatus::Valid},
    StatusCase{"a]", PatternStatus::StrayBracket},
    StatusCase{";a]", PatternStatus::StrayBracket},
    StatusCase{"a^", PatternStatus::StrayCaret},
    StatusCase{"ab\\", PatternStatus::EscapeAtEnd},
    StatusCase{"(ab\\", PatternStatus::EscapeAtEnd},
    StatusCase{"ab)", PatternStatus::StrayClose},
    StatusCase{";ab)c", PatternStatus::StrayClose},
    StatusCase{"(ab", PatternStatus::SubpatternUnfinished},
    StatusCase{";(ab", PatternStatus::SubpatternUnfinished},
    StatusCase{"(;ab", PatternStatus::SubpatternUnfinished},
    StatusCase{";ab;c", PatternStatus::SecondSemicolon},
    StatusCase{"x;a(;b)c;", PatternStatus::SecondSemicolon},
    StatusCase{";ab-c", PatternStatus::AnagramNotLetters},
    StatusCase{";ab\\-", PatternStatus::AnagramNotLetters},
    StatusCase{";a^", PatternStatus::AnagramNotLetters},
    StatusCase{";@", PatternStatus::AnagramNotLetters},
    StatusCase{"\\&", PatternStatus::Empty},
    StatusCase{"a\\&", PatternStatus::Valid},
    StatusCase{"a(;b(c;d)e)f", PatternStatus::Valid}));

TEST(PatternStatus, PoolHoldsAtMost256Entries) {
  // 256 different choice sets fit; one more does not.
  std::string text = ";";
  int made = 0;
  for (int a = 'a'; a <= 'z' && made < 257; ++a) {
    for (int b = a + 1; b <= 'z' && made < 257; ++b, ++made) {
      text += '[';
      text += static_cast<char>(a);
      text += static_cast<char>(b);
      text += ']';
      if (made == 255) {
        MatchEngine engine;
        // The length is too long to match, but the pool fills first.
        EXPECT_EQ(engine.compile(test::englishTestAlphabet(), "x" + text), PatternStatus::Valid);
      }
    }
  }
  MatchEngine engine;
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), "x" + text), PatternStatus::TooManyPatterns);
}

TEST(PatternStatus, NestingBeyondTheLimitIsTooLong) {
  // Deep nesting cannot be matched in bounded stack; it is refused, never a crash.
  std::string deep(3000, '(');
  deep += 'a';
  deep += std::string(3000, ')');
  MatchEngine engine;
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), deep), PatternStatus::TooLong);
  std::string stars;
  for (int i = 0; i < 3000; ++i) stars += "*a";
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), stars), PatternStatus::TooLong);
  std::string blocks = ";";
  for (int i = 0; i < 3000; ++i) blocks += "(*)";
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), blocks), PatternStatus::TooLong);
  // Within the limit, a long chain of wildcards is fine.
  std::string chain;
  for (int i = 0; i < 100; ++i) chain += "*a";
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), chain), PatternStatus::Valid);
}

struct LineCase {
  std::string text;
  PatternStatus status;
};

TEST(PatternStatus, LineStatusComesFromGroupsThenTheFirstFailingPattern) {
  const std::vector<LineCase> cases = {
      {"(a", PatternStatus::SubpatternUnfinished},
      {"a)", PatternStatus::StrayClose},
      {"(a & b) | c", PatternStatus::Valid},
      {"!(a | b)", PatternStatus::Valid},
      {"((a))", PatternStatus::Valid},
      {"a &", PatternStatus::Empty},
      {"a & [b", PatternStatus::ChoiceUnfinished},
      {"[b & a]", PatternStatus::ChoiceUnfinished},
      {"a] & [b", PatternStatus::StrayBracket},
      // Parentheses that pair up within a piece are sub-patterns, however deep.
      {std::string(40, '(') + "a" + std::string(40, ')'), PatternStatus::Valid},
      {std::string(31, '(') + "a & b" + std::string(31, ')'), PatternStatus::Valid},
      {std::string(32, '(') + "a & b" + std::string(32, ')'), PatternStatus::SubpatternUnfinished},
      {"(a | b)) & (c", PatternStatus::StrayClose},
      {"@", PatternStatus::Empty},
  };
  for (const LineCase& c : cases) {
    MatchEngineSet set;
    EXPECT_EQ(set.parseExpression(test::englishTestAlphabet(), c.text, 1, 100), c.status) << c.text;
    EXPECT_EQ(set.status(), c.status) << c.text;
  }
}

}  // namespace
}  // namespace kea
