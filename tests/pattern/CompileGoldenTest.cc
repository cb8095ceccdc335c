// Golden tables: the compiled program of representative patterns, as dumped,
// for every template and anagram element, the worked examples and the
// compile edge cases. Letters are shown by their canonical characters
// (test alphabet: a-z are indices 0-25, A = 26).
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <utility>

#include "pattern/MatchEngine.h"
#include "support/TestAlphabet.h"

namespace kea {
namespace {

struct Golden {
  const char* pattern;
  const char* dump;
};

class CompileGolden : public ::testing::TestWithParam<Golden> {};

// Test names spell the pattern, so a failure names the pattern that broke:
// "a*b" is listed as "3_a_star_b".
std::string goldenName(const ::testing::TestParamInfo<Golden>& info) {
  static const std::pair<char, const char*> kWords[] = {
      {'.', "dot"},    {'?', "query"},  {'*', "star"},   {';', "anagram"}, {'[', "choice"}, {']', "end"},
      {'^', "not"},    {'(', "sub"},    {')', "end"},    {'\\', "escape"}, {'&', "and"},    {'|', "or"},
      {'!', "not"},    {'-', "dash"},   {' ', "space"},  {'\'', "apostrophe"}, {'#', "hash"}, {'@', "at"},
      {'/', "slash"},  {',', "comma"},  {'<', "lt"},     {'>', "gt"},      {'=', "eq"},     {'{', "brace"},
      {'}', "end"},    {'+', "plus"},   {'"', "quote"}};
  std::string name = std::to_string(info.index);
  for (const char* c = info.param.pattern; *c != '\0'; ++c) {
    if (name.size() > 60) return name + "_etc";
    name += '_';
    if (std::isalnum(static_cast<unsigned char>(*c))) {
      name += *c;
      continue;
    }
    const char* word = "other";
    for (const auto& [ch, w] : kWords) {
      if (ch == *c) word = w;
    }
    name += word;
  }
  return name;
}

TEST_P(CompileGolden, DumpIsAsLaidOut) {
  MatchEngine engine;
  engine.compile(test::englishTestAlphabet(), GetParam().pattern);
  EXPECT_EQ(engine.dump(), GetParam().dump) << GetParam().pattern;
}

// One row per template element.
INSTANTIATE_TEST_SUITE_P(TemplateElements, CompileGolden, ::testing::Values(
    Golden{"abc", "PATTERN 3 0\n  RUN 3 0:a 1:b 2:c\n  END\nEND\nPROGRAM_END\n"},
    // Both match-alls are positions of a run without an item.
    Golden{".?.", "PATTERN 3 0\n  RUN 3\n  END\nEND\nPROGRAM_END\n"},
    // A letter variable makes the run a mixed run; "0" is a variable too.
    Golden{"1a0", "PATTERN 3 0\n  MIXED_RUN 3 0:v1 1:a 2:v0\n  END\nEND\nPROGRAM_END\n"},
    Golden{"a[bc]d", "PATTERN 3 0\n  MIXED_RUN 3 0:a 1:[bc] 2:d\n  END\nEND\nPROGRAM_END\n"},
    Golden{"[^ab]c", "PATTERN 2 0\n  MIXED_RUN 2 0:[^ab] 1:c\n  END\nEND\nPROGRAM_END\n"},
    // The only wildcard is the last one: it takes the rest in one step.
    Golden{"a*b", "PATTERN_VARIABLE 2 101\n  RUN 1 0:a\n  SKIP_REST 1\n    RUN 1 0:b\n    END\n  END\nEND\n"
        "PROGRAM_END\n"},
    Golden{"a(bc)d", "PATTERN 4 0\n  RUN 1 0:a\n  PATTERN 2 0\n    RUN 2 0:b 1:c\n    END\n  END\n  RUN 1 0:d\n"
        "  END\nEND\nPROGRAM_END\n"},
    // A variable-length sub-pattern: the rest of the template is a nested
    // segment; the last one of the template takes all the slack.
    Golden{"a(b*)(c*)d", "PATTERN_VARIABLE 4 101\n  RUN 1 0:a\n  PATTERN_VARIABLE 1 101\n    RUN 1 0:b\n"
        "    SKIP_REST 0\n      END\n    END\n  END\n    PATTERN_LAST 1 101\n      RUN 1 0:c\n"
        "      SKIP_REST 0\n        END\n      END\n    END\n      RUN 1 0:d\n      END\n    END\n  END\nEND\n"
        "PROGRAM_END\n"},
    Golden{"\\Cat", "PATTERN 3 0\n  EXACT 'C'\n  RUN 3 0:c 1:a 2:t\n  END\nEND\nPROGRAM_END\n"},
    // Escaped and plain punctuation, with the end-of-word check after the
    // last element.
    Golden{"a\\&b", "PATTERN 2 0\n  RUN 1 0:a\n  PUNCT '&'\n  RUN 1 0:b\n  PUNCT end\n  END\nEND\nPROGRAM_END\n"},
    Golden{"a b", "PATTERN 2 0\n  RUN 1 0:a\n  PUNCT 0x20\n  RUN 1 0:b\n  PUNCT end\n  END\nEND\nPROGRAM_END\n"}),
    goldenName);

// One row per anagram element.
INSTANTIATE_TEST_SUITE_P(AnagramElements, CompileGolden, ::testing::Values(
    // An escaped letter counts as the letter; spaces are ignored.
    Golden{";\\ab c", "PATTERN 3 0\n  ANAGRAM 26 3\n    LETTERS_DISTINCT 3 abc\nEND\nPROGRAM_END\n"},
    Golden{";aab", "PATTERN 3 0\n  ANAGRAM 26 3\n    LETTERS_COUNTED 2a 1b\nEND\nPROGRAM_END\n"},
    // Match-alls add to the length but have no component.
    Golden{";a.b?", "PATTERN 4 0\n  ANAGRAM 26 4\n    LETTERS_DISTINCT 2 ab\nEND\nPROGRAM_END\n"},
    Golden{";a1b1", "PATTERN 4 0\n  ANAGRAM 26 4\n    VARIABLES 1x2\n    LETTERS_DISTINCT 2 ab\nEND\n"
        "PROGRAM_END\n"},
    // Identical choice sets share one pool entry and are counted.
    Golden{";[ab][^c][ba]", "PATTERN 3 0\n  ANAGRAM 26 3\n    CHOICE_SET 2 @0\n    CHOICE_SET 1 @1\nEND\n"
        "PROGRAM_END\n@0: {ab}\n@1: {^c}\n"},
    Golden{";(bc)a(bc)", "PATTERN 5 0\n  ANAGRAM 26 5\n    PATTERN_VARIABLE 2 @0\n    LETTERS_DISTINCT 1 a\n"
        "END\nPROGRAM_END\n@0:\n  PATTERN 2 0\n    RUN 2 0:b 1:c\n    END\n  END\n"},
    // The last variable-length sub-pattern takes the remaining slack ...
    Golden{";(b*)a(c*)", "PATTERN_VARIABLE 3 101\n  ANAGRAM 26 3\n    PATTERN_VARIABLE 1 @0\n"
        "    PATTERN_LAST 1 @1\n    LETTERS_DISTINCT 1 a\nEND\nPROGRAM_END\n@0:\n  PATTERN_VARIABLE 1 101\n"
        "    RUN 1 0:b\n    SKIP_REST 0\n      END\n    END\n  END\n@1:\n  PATTERN_VARIABLE 1 101\n"
        "    RUN 1 0:c\n    SKIP_REST 0\n      END\n    END\n  END\n"},
    // ... but not when the anagram holds "*" ...
    Golden{";a(b*)*", "PATTERN_VARIABLE 2 101\n  ANAGRAM 26 2\n    PATTERN_VARIABLE 1 @0\n"
        "    LETTERS_DISTINCT 1 a\nEND\nPROGRAM_END\n@0:\n  PATTERN_VARIABLE 1 101\n    RUN 1 0:b\n"
        "    SKIP_REST 0\n      END\n    END\n  END\n"},
    // ... or the template has an extra length.
    Golden{"x*;a(b*)", "PATTERN_VARIABLE 1 101\n  RUN 1 0:x\n  SKIP_REST 0\n    END\n  END\n  ANAGRAM 26 2\n"
        "    PATTERN_VARIABLE 1 @0\n    LETTERS_DISTINCT 1 a\nEND\nPROGRAM_END\n@0:\n  PATTERN_VARIABLE 1 101\n"
        "    RUN 1 0:b\n    SKIP_REST 0\n      END\n    END\n  END\n"},
    // A sub-pattern's own pool entries come first.
    Golden{";(;(ab)c)(ab)", "PATTERN 5 0\n  ANAGRAM 26 5\n    PATTERN_VARIABLE 1 @0\n    PATTERN_VARIABLE 1 @1\n"
        "END\nPROGRAM_END\n@0:\n  PATTERN 2 0\n    RUN 2 0:a 1:b\n    END\n  END\n@1:\n  PATTERN 3 0\n"
        "    ANAGRAM 26 3\n      PATTERN_VARIABLE 1 @0\n      LETTERS_DISTINCT 1 c\n  END\n"},
    Golden{";ab*", "PATTERN_VARIABLE 2 101\n  ANAGRAM 26 2\n    LETTERS_DISTINCT 2 ab\nEND\nPROGRAM_END\n"}),
    goldenName);

// The worked examples and the compile edge cases.
INSTANTIATE_TEST_SUITE_P(Examples, CompileGolden, ::testing::Values(
    Golden{"m*ja", "PATTERN_VARIABLE 3 101\n  RUN 1 0:m\n  SKIP_REST 2\n    RUN 2 0:j 1:a\n    END\n  END\nEND\n"
        "PROGRAM_END\n"},
    Golden{".l...r.n", "PATTERN 8 0\n  RUN 8 1:l 5:r 7:n\n  END\nEND\nPROGRAM_END\n"},
    Golden{"...-..-.....", "PATTERN 10 0\n  RUN 3\n  PUNCT '-'\n  RUN 2\n  PUNCT '-'\n  RUN 5\n  PUNCT end\n"
        "  END\nEND\nPROGRAM_END\n"},
    Golden{"......*;gdangboot", "PATTERN_VARIABLE 6 3\n  RUN 6\n  SKIP_REST 0\n    END\n  END\n  ANAGRAM 26 9\n"
        "    LETTERS_COUNTED 1a 1b 1d 2g 1n 2o 1t\nEND\nPROGRAM_END\n"},
    Golden{";rebel(ada)", "PATTERN 8 0\n  ANAGRAM 26 8\n    PATTERN_VARIABLE 1 @0\n"
        "    LETTERS_COUNTED 1b 2e 1l 1r\nEND\nPROGRAM_END\n@0:\n  PATTERN 3 0\n    RUN 3 0:a 1:d 2:a\n    END\n"
        "  END\n"},
    Golden{";diners[ai]", "PATTERN 7 0\n  ANAGRAM 26 7\n    CHOICE_SET 1 @0\n    LETTERS_DISTINCT 6 deinrs\n"
        "END\nPROGRAM_END\n@0: {ai}\n"},
    Golden{"a*b*c", "PATTERN_VARIABLE 3 101\n  RUN 1 0:a\n  SKIP 2\n    RUN 1 0:b\n    SKIP_REST 1\n"
        "      RUN 1 0:c\n      END\n    END\n  END\nEND\nPROGRAM_END\n"},
    Golden{"*", "PATTERN_VARIABLE 0 101\n  SKIP_REST 0\n    END\n  END\nEND\nPROGRAM_END\n"},
    Golden{".......;abc", "PATTERN 7 0\n  RUN 7\n  END\n  ANAGRAM 26 3\n    LETTERS_DISTINCT 3 abc\nEND\n"
        "PROGRAM_END\n"},
    // Spaces at either end leave the program; the end-of-word check goes
    // after the last element that is not a space.
    Golden{" ab  ", "PATTERN 2 0\n  RUN 2 0:a 1:b\n  PUNCT end\n  END\nEND\nPROGRAM_END\n"},
    // After a final wildcard the check sits in its nested segment, so the
    // wildcard may absorb trailing punctuation.
    Golden{"a-*", "PATTERN_VARIABLE 1 101\n  RUN 1 0:a\n  PUNCT '-'\n  SKIP_REST 0\n    PUNCT end\n    END\n"
        "  END\nEND\nPROGRAM_END\n"},
    Golden{"(a-b)", "PATTERN 2 0\n  PATTERN 2 0\n    RUN 1 0:a\n    PUNCT '-'\n    RUN 1 0:b\n    END\n  END\n"
        "  PUNCT end\n  END\nEND\nPROGRAM_END\n"},
    Golden{"(;ab)c", "PATTERN 3 0\n  PATTERN 2 0\n    ANAGRAM 26 2\n      LETTERS_DISTINCT 2 ab\n  END\n"
        "  RUN 1 0:c\n  END\nEND\nPROGRAM_END\n"},
    // A mixed run stops at 48 positions so that no item byte reads as an
    // opcode; the next run goes on from there.
    Golden{"[ab]..................................................[cd]", "PATTERN 52 0\n  MIXED_RUN 48 0:[ab]\n"
        "  MIXED_RUN 4 3:[cd]\n  END\nEND\nPROGRAM_END\n"}),
    goldenName);

TEST(Compile, LengthsAndMatcherChoice) {
  struct Row {
    const char* pattern;
    int fixed, longest;
    MatcherKind matcher;
    int lengthKind;
  };
  constexpr MatcherKind G = MatcherKind::General;
  const Row rows[] = {
      {".l...r.n", 8, 8, MatcherKind::PlainRun, 0}, {";lobikes", 7, 7, MatcherKind::DistinctLetters, 0},
      {";toboggan", 8, 8, MatcherKind::CountedLetters, 0},
      {";lobikes.", 8, 8, G, 0},  // a match-all in an anagram
      {";...", 3, 3, G, 0}, {"m*ja", 3, 101, G, 1}, {"......*;gdangboot", 6, 9, G, -1},
      {"......*;abc", 6, 101, G, 1}, {"*;abc", 0, 3, G, -1}, {";ab*", 2, 101, G, 1},
      {"abc;defg", 3, 3, G, 0}, {"12341234", 8, 8, G, 0}, {"(a*)(b*)", 2, 101, G, 1},
      {"*", 0, 101, G, 1}, {"(......*;gdangboot)x", 7, 10, G, -1},
      {" ;abc", 3, 3, G, 0},  // a template of spaces counts as none
      {"ab[cd]", 3, 3, G, 0},  // the run became a mixed run
      {"abc ", 3, 3, G, 0},  // the space was counted before it was dropped
      {"a(b;cd*)", 2, 2, G, 0},  // the inner template decides: no extra
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.pattern);
    MatchEngine engine;
    ASSERT_EQ(engine.compile(test::englishTestAlphabet(), row.pattern), PatternStatus::Valid);
    EXPECT_EQ(engine.fixedLength(), row.fixed);
    EXPECT_EQ(engine.longestLength(), row.longest);
    EXPECT_EQ(engine.matcher(), row.matcher);
    EXPECT_EQ(engine.lengthKind(), row.lengthKind);
  }
}

TEST(Compile, LimitsAndLengthSettings) {
  const Alphabet& alphabet = test::englishTestAlphabet();
  const std::string letters(128, 'a');
  MatchEngine engine;
  EXPECT_EQ(engine.compile(alphabet, letters), PatternStatus::Valid);
  EXPECT_EQ(engine.longestLength(), 101);  // capped: 101 stands for no upper limit
  // Valid, but no searched length fits it.
  EXPECT_GT(engine.effectiveShortest(), engine.effectiveLongest());
  for (const std::string& text : {letters + "a", ";" + letters + "a", "(" + letters + "a)"}) {
    EXPECT_EQ(engine.compile(alphabet, text), PatternStatus::TooLong) << text.size();
    EXPECT_FALSE(engine.isValid());
  }
  ASSERT_EQ(engine.compile(alphabet, "m*ja"), PatternStatus::Valid);
  engine.setShortest(-5);  // out of range: clamped
  engine.setLongest(500);
  EXPECT_EQ(std::make_pair(engine.effectiveShortest(), engine.effectiveLongest()), std::make_pair(3, 100));
}

TEST(Compile, SamePatternCompilesPerAlphabet) {
  // In an alphabet where '-' is a letter, "a-b" is a run of three letters.
  std::array<std::uint8_t, 256> table{};
  for (int c = 'a'; c <= 'z'; ++c) table[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c);
  table['-'] = '-';
  std::array<std::uint64_t, 256> frequency{};
  frequency['a'] = frequency['b'] = frequency['-'] = 1;
  const Alphabet alphabet = Alphabet::fromCanonicalTable(table, frequency);
  MatchEngine engine;
  ASSERT_EQ(engine.compile(alphabet, "a-b"), PatternStatus::Valid);
  EXPECT_EQ(engine.dump(), "PATTERN 3 0\n  RUN 3 0:a 1:- 2:b\n  END\nEND\nPROGRAM_END\n");
  EXPECT_FALSE(engine.punctuationSensitive());
}

}  // namespace
}  // namespace kea
