// The line layer: macros, splitting a line into patterns and group tokens,
// evaluation in its three modes, length ranges and balances.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "MatchTestSupport.h"
#include "pattern/MatchEngineSet.h"
#include "support/TestAlphabet.h"

namespace kea {
namespace {

TEST(Macros, ExpandAtAndHashExceptEscaped) {
  EXPECT_EQ(expandMacros("@#", "[aeiou]", "[^aeiou]"), "[aeiou][^aeiou]");
  EXPECT_EQ(expandMacros("\\@a@", "[aeiou]", "[^aeiou]"), "\\@a[aeiou]");
  EXPECT_EQ(expandMacros("\\\\@", "X", "Y"), "\\\\X");  // the escape escapes the escape
  EXPECT_EQ(expandMacros("@#@", "", "Y"), "@Y@");
  EXPECT_EQ(expandMacros("a\\", "X", "Y"), "a\\");
  // An empty expansion leaves the character as literal punctuation.
  EXPECT_TRUE(test::patternMatches(expandMacros("a@b", "", ""), "a@b"));
  MatchEngine engine;
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), expandMacros(";a@", "", "")),
            PatternStatus::AnagramNotLetters);
}

// Tokens of a line and, per slot, the fixed length of the pattern in it
// ("-" for an empty slot), which identifies the patterns used below.
std::string describe(const MatchEngineSet& set) {
  std::string out;
  for (std::size_t i = 0; i < set.tokens().size(); ++i) {
    const std::uint8_t token = set.tokens()[i];
    static const char* const kNames[] = {"?", "OR", "AND", "END", "OPEN", "CLOSE", "?", "?"};
    out += kNames[token & kTokenKindMask];
    if ((token & TOKEN_NOT) != 0) out += "!";
    const MatchEngine* operand = set.operands()[i].get();
    out += operand != nullptr ? "(" + std::to_string(operand->fixedLength()) + ")" : "()";
    out += ' ';
  }
  return out;
}

TEST(ParseExpression, PiecesGroupsAndNegations) {
  struct Case {
    const char* line;
    const char* tokens;
  };
  const Case cases[] = {
      {"a", "END(1) "},
      {";..oting & ! *ing", "AND(7) END!(3) "},
      {"(aa & bbb) | c", "OPEN() AND(2) CLOSE(3) OR() END(1) "},
      {"!(aa | bbb)", "OPEN!() OR(2) CLOSE(3) END() "},
      {"((ab))", "END(2) "},
      {"(!ab)", "OPEN() CLOSE!(2) END() "},
      {"(ab)c", "END(3) "},
      {"!(ab)", "END!(2) "},
      {"((a | bb) & ccc) | dddd", "OPEN() OPEN() OR(1) CLOSE(2) AND() CLOSE(3) OR() END(4) "},
      {"a \\& b", "END(2) "},
      {"a\\|b | c", "OR(2) END(1) "},
  };
  for (const Case& c : cases) {
    MatchEngineSet set;
    EXPECT_EQ(set.parseExpression(test::englishTestAlphabet(), c.line, 1, 100), PatternStatus::Valid) << c.line;
    EXPECT_EQ(describe(set), c.tokens) << c.line;
  }
}

// Truth tables through the constant mode: operands are marked satisfied.
bool constant(const char* line, std::vector<int> truth) {
  MatchEngineSet set;
  EXPECT_EQ(set.parseExpression(test::englishTestAlphabet(), line, 1, 100), PatternStatus::Valid) << line;
  std::vector<std::uint8_t> satisfied(set.tokens().size(), 0);
  std::size_t next = 0;
  for (std::size_t i = 0; i < satisfied.size(); ++i) {
    if (set.operands()[i] != nullptr) satisfied[i] = static_cast<std::uint8_t>(truth.at(next++));
  }
  return set.evaluate(MatchEngineSet::EvaluateMode::Constant, nullptr, 0, satisfied);
}

TEST(Evaluate, ChainsGroupFromTheRight) {
  for (int bits = 0; bits < 8; ++bits) {
    const int a = bits & 1;
    const int b = (bits >> 1) & 1;
    const int c = (bits >> 2) & 1;
    EXPECT_EQ(constant("a & b | c", {a, b, c}), a && (b || c)) << bits;
    EXPECT_EQ(constant("a | b & c", {a, b, c}), a || (b && c)) << bits;
    EXPECT_EQ(constant("(a & b) | c", {a, b, c}), (a && b) || c) << bits;
    EXPECT_EQ(constant("(a | b) & c", {a, b, c}), (a || b) && c) << bits;
    EXPECT_EQ(constant("!a & b | !c", {a, b, c}), !a && (b || !c)) << bits;
    EXPECT_EQ(constant("!(a | b) & c", {a, b, c}), !(a || b) && c) << bits;
    EXPECT_EQ(constant("(!a) | (b & !(c))", {a, b, c}), !a || (b && !c)) << bits;
    EXPECT_EQ(constant("((a | b) & !c) | a", {a, b, c, a}), ((a || b) && !c) || a) << bits;
  }
}

TEST(Evaluate, ShortCircuitLeavesLaterPatternsUntried) {
  // b and c hold letter variables, so running them would make their
  // binding tables live.
  MatchEngineSet set;
  ASSERT_EQ(set.parseExpression(test::englishTestAlphabet(), "abc | 1.. & .1.", 1, 100), PatternStatus::Valid);
  test::TestWord word("abc");
  ASSERT_TRUE(set.setLength(3));
  EXPECT_TRUE(set.evaluate(MatchEngineSet::EvaluateMode::Match, &word.buffer, 3));
  EXPECT_FALSE(set.operands()[1]->variableBindings().live);
  EXPECT_FALSE(set.operands()[2]->variableBindings().live);
  test::TestWord other("xbc");
  EXPECT_TRUE(set.evaluate(MatchEngineSet::EvaluateMode::Match, &other.buffer, 3));
  EXPECT_TRUE(set.operands()[1]->variableBindings().live);
}

TEST(Evaluate, LogicalLinesOnWords) {
  const std::vector<std::tuple<const char*, const char*, bool>> rows = {
      {";..oting & ! *ing", "tonight", true}, {";..oting & ! *ing", "tooting", false},
      {"c* | *t", "cat", true}, {"c* | *t", "bat", true}, {"c* | *t", "bag", false},
      {"(c* | b*) & !*g", "bat", true}, {"(c* | b*) & !*g", "bag", false},
      // A negated pattern alone matches the words of its own lengths that it does not match.
      {"!abc", "xyz", true}, {"!abc", "abc", false}, {"!abc", "abcd", false},
  };
  for (const auto& [line, word, matches] : rows) {
    EXPECT_EQ(test::lineMatches(line, word), matches) << line << " " << word;
  }
}

TEST(LengthRange, FromEveryPatternWithNegationDisregardedAndTheSettings) {
  const std::tuple<std::string, int, int, int, int> rows[] = {
      {";..oting & ! *ing", 1, 100, 7, 7},
      {"m*ja", 1, 100, 3, 100},
      {"m*ja", 9, 100, 9, 100},
      {"m*ja", 4, 6, 4, 6},
      {".l...r.n", 9, 100, 101, 0},
      {"........ & !.........", 1, 100, 101, 0},
      {"...... & ........", 1, 100, 101, 0},
      {"...... | ........", 1, 100, 6, 8},
      {"......*;gdangboot", 1, 100, 6, 9},
      {std::string(101, 'a'), 1, 100, 101, 0},
  };
  for (const auto& [line, shortest, longest, first, last] : rows) {
    MatchEngineSet set;
    ASSERT_EQ(set.parseExpression(test::englishTestAlphabet(), line, 1, 100), PatternStatus::Valid);
    set.setLengthLimits(shortest, longest);
    EXPECT_EQ(set.lengthRange(), std::make_pair(first, last)) << line << " " << shortest << "-" << longest;
  }
  // The limits given to the parse count as well.
  MatchEngineSet set;
  ASSERT_EQ(set.parseExpression(test::englishTestAlphabet(), "m*ja", 9, 100), PatternStatus::Valid);
  EXPECT_EQ(set.lengthRange(), std::make_pair(9, 100));
}

TEST(SetLength, OnlyOperandsWhoseRangeHoldsTheLength) {
  MatchEngineSet single;
  ASSERT_EQ(single.parseExpression(test::englishTestAlphabet(), ".l...r.n", 1, 100), PatternStatus::Valid);
  EXPECT_TRUE(single.isSinglePattern());
  EXPECT_FALSE(single.setLength(7));
  EXPECT_TRUE(single.setLength(8));
  EXPECT_EQ(single.operands()[0]->wordLength(), 8);

  MatchEngineSet line;
  ASSERT_EQ(line.parseExpression(test::englishTestAlphabet(), "...... | ........", 1, 100), PatternStatus::Valid);
  EXPECT_FALSE(line.isSinglePattern());
  EXPECT_TRUE(line.setLength(8));
  EXPECT_EQ(line.operands()[1]->wordLength(), 8);
  EXPECT_NE(line.operands()[0]->wordLength(), 8);
}

TEST(PreferredOrder, SumOfLengthKinds) {
  const std::pair<const char*, int> cases[] = {
      {"m*ja", 1},                      // unbounded
      {"abc", 1},                       // one length: sum 0
      {"......*;gdangboot", -1},        // bounded range
      {"......*;gdangboot & m*ja", 1},  // -1 + 1
      {"......*;gdangboot & abc", -1},
  };
  for (const auto& [line, order] : cases) {
    MatchEngineSet set;
    ASSERT_EQ(set.parseExpression(test::englishTestAlphabet(), line, 1, 100), PatternStatus::Valid);
    EXPECT_EQ(set.preferredOrder(), order) << line;
  }
}

TEST(Balance, OnlyForALineOfOnePattern) {
  std::string balance;
  EXPECT_TRUE(test::lineMatches("......*;gdangboot", "toboggan", {}, &balance));
  EXPECT_EQ(balance, "-d");
  EXPECT_TRUE(test::lineMatches("((......*;gdangboot))", "toboggan", {}, &balance));
  EXPECT_EQ(balance, "-d");
  EXPECT_TRUE(test::lineMatches("......*;gdangboot & t*", "toboggan", {}, &balance));
  EXPECT_EQ(balance, "");
}

}  // namespace
}  // namespace kea
