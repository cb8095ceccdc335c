// The line layer: macros, splitting a line into patterns and group tokens,
// evaluation and balances (its lengths are planned in WordCursorTest).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MatchTestSupport.h"
#include "pattern/MatchEngineSet.h"
#include "support/TestAlphabet.h"

namespace kea {
namespace {

MatchEngineSet parsed(const std::string& line, int shortest = 1, int longest = 100) {
  MatchEngineSet set;
  EXPECT_EQ(set.parseExpression(test::englishTestAlphabet(), line, shortest, longest), PatternStatus::Valid) << line;
  return set;
}

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

TEST(ParseExpression, PiecesGroupsAndNegations) {
  // Per slot: the token, "!" when negated, and the fixed length of the
  // pattern in it, which tells the patterns apart.
  const auto describe = [](const MatchEngineSet& set) {
    static const char* const kNames[] = {"?", "OR", "AND", "END", "OPEN", "CLOSE", "?", "?"};
    std::string out;
    for (std::size_t i = 0; i < set.tokens().size(); ++i) {
      const MatchEngine* operand = set.operands()[i].get();
      out += std::string(kNames[set.tokens()[i] & kTokenKindMask]) + ((set.tokens()[i] & TOKEN_NOT) != 0 ? "!" : "") +
             "(" + (operand != nullptr ? std::to_string(operand->fixedLength()) : "") + ") ";
    }
    return out;
  };
  const std::pair<const char*, const char*> rows[] = {
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
  for (const auto& [line, tokens] : rows) EXPECT_EQ(describe(parsed(line)), tokens) << line;
}

// What is wrong with a line whose operator has nothing on one side: named
// by the operator and the side, not as a line without letters.
TEST(ParseExpression, AnOperatorWithNothingOnOneSideIsFound) {
  using Side = EmptyOperand::Side;
  const struct {
    const char* line;
    Side side;
    char op;
    std::size_t position;
  } cases[] = {
      {"a&", Side::After, '&', 1},        {"a & ! ", Side::After, '&', 2}, {"&a", Side::Before, '&', 0},
      {"(|a)", Side::Before, '|', 1},     {"a&&b", Side::Between, '&', 1}, {"a & (b | )", Side::After, '|', 7},
      {"a&b", Side::None, 0, 0},          {"a\\&", Side::None, 0, 0},       {"&", Side::None, 0, 0},
      {"- & ;ab", Side::None, 0, 0},      {"", Side::None, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const EmptyOperand found = findEmptyOperand(c.line);
    EXPECT_EQ(found.side, c.side);
    EXPECT_EQ(found.op, c.op);
    EXPECT_EQ(found.position, c.position);
  }
  // Such a line is no valid pattern at all.
  MatchEngineSet set;
  EXPECT_EQ(set.parseExpression(test::englishTestAlphabet(), "a&", 1, 100), PatternStatus::Empty);
}

TEST(Evaluate, ChainsGroupFromTheRight) {
  // Truth tables through the constant mode: operands are marked satisfied.
  const auto constant = [](const char* line, std::vector<int> truth) {
    MatchEngineSet set = parsed(line);
    std::vector<std::uint8_t> satisfied(set.tokens().size(), 0);
    for (std::size_t i = 0, next = 0; i < satisfied.size(); ++i) {
      if (set.operands()[i] != nullptr) satisfied[i] = static_cast<std::uint8_t>(truth.at(next++));
    }
    return set.evaluate(MatchEngineSet::EvaluateMode::Constant, nullptr, 0, satisfied);
  };
  for (int bits = 0; bits < 8; ++bits) {
    const int a = bits & 1, b = (bits >> 1) & 1, c = (bits >> 2) & 1;
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

TEST(Evaluate, RepeatedPatternsAnswerAsWrittenOut) {
  // A pattern repeated next to itself is evaluated once; "b**" is the same
  // pattern written so that it is not taken for a repeat.
  const char* rows[][2] = {
      {"b* & b* & b*", "b* & b** & b*"},       {"b* | b* | !c*", "b* | b** | !c*"},
      {"b* & b* | c*", "b* & b** | c*"},       {"b* | b* & c*", "b* | b** & c*"},
      {"!b* & b* | c*", "!b* & b** | c*"},     {"(b* & b*) | c*", "(b* & b**) | c*"},
      {"b* & (b* | c*) & c*", "b* & (b** | c*) & c*"}, {"!(b* | b*) & c*", "!(b* | b**) & c*"},
      {"b* & !b* | c*", "b* & !b** | c*"},     {"(b* | b*) & (!c* & !c*)", "(b* | b**) & (!c* & !c**)"}};
  for (const auto& [line, written] : rows) {
    for (const char* word : {"bc", "cb", "ab", "b", "c", "bb", "cc"}) {
      EXPECT_EQ(test::lineMatches(line, word), test::lineMatches(written, word)) << line << " on " << word;
    }
  }
}

TEST(Evaluate, APatternWrittenAgainFurtherOnAnswersForEachWord) {
  // One set over a run of words, so that an answer kept from the word
  // before would show; "b**" and "c**" are the same patterns not taken
  // for repeats.
  const char* rows[][2] = {{"b* & c* | b*", "b* & c* | b**"},
                           {"!b* | c* & b*", "!b* | c* & b**"},
                           {"(b* | c*) & !(c* & b*)", "(b* | c*) & !(c** & b**)"},
                           {"c* | (b* & c*) | !b*", "c* | (b* & c**) | !b**"}};
  const std::vector<std::string> words = {"bc", "cb", "bb", "cc", "ab", "bc", "b", "c"};
  for (const auto& [line, written] : rows) {
    MatchEngineSet set = parsed(line);
    for (const std::string& word : words) {
      test::TestWord w(word);
      ASSERT_TRUE(set.setLength(w.length));
      EXPECT_EQ(set.matches(w.buffer, w.length), test::lineMatches(written, word)) << line << " on " << word;
    }
  }
}

TEST(Evaluate, ShortCircuitLeavesLaterPatternsUntried) {
  // The later patterns hold letter variables, so running them would make
  // their binding tables live.
  MatchEngineSet set = parsed("abc | 1.. & .1.");
  test::TestWord word("abc"), other("xbc");
  ASSERT_TRUE(set.setLength(3));
  EXPECT_TRUE(set.evaluate(MatchEngineSet::EvaluateMode::Match, &word.buffer, 3));
  EXPECT_FALSE(set.operands()[1]->variableBindings().live);
  EXPECT_FALSE(set.operands()[2]->variableBindings().live);
  EXPECT_TRUE(set.evaluate(MatchEngineSet::EvaluateMode::Match, &other.buffer, 3));
  EXPECT_TRUE(set.operands()[1]->variableBindings().live);
  // A negated pattern alone matches the words of its own lengths that it does not match.
  EXPECT_TRUE(test::lineMatches("!abc", "xyz"));
  EXPECT_FALSE(test::lineMatches("!abc", "abc"));
  EXPECT_FALSE(test::lineMatches("!abc", "abcd"));
}

TEST(Balance, OnlyForALineOfOnePattern) {
  const std::pair<const char*, const char*> rows[] = {
      {"......*;gdangboot", "-d"}, {"((......*;gdangboot))", "-d"}, {"......*;gdangboot & t*", ""}};
  for (const auto& [line, expected] : rows) {
    std::string balance = "unset";
    EXPECT_TRUE(test::lineMatches(line, "toboggan", &balance)) << line;
    EXPECT_EQ(balance, expected) << line;
  }
}

}  // namespace
}  // namespace kea
