// Golden tables: the compiled program of representative patterns, as dumped,
// for every template and anagram element, the worked examples and the
// compile edge cases. Letters are shown by their canonical characters
// (test alphabet: a-z are indices 0-25, A = 26).
#include <gtest/gtest.h>

#include <string>

#include "pattern/MatchEngine.h"
#include "support/TestAlphabet.h"

namespace kea {
namespace {

struct Golden {
  const char* pattern;
  const char* dump;
};

std::string dumpOf(const char* pattern, bool ignoreUnusedPunctuation = true) {
  MatchEngine engine;
  engine.compile(test::englishTestAlphabet(), pattern, ignoreUnusedPunctuation);
  return engine.dump();
}

class CompileGolden : public ::testing::TestWithParam<Golden> {};

TEST_P(CompileGolden, DumpIsAsLaidOut) { EXPECT_EQ(dumpOf(GetParam().pattern), GetParam().dump) << GetParam().pattern; }

// One row per template element.
INSTANTIATE_TEST_SUITE_P(TemplateElements, CompileGolden, ::testing::Values(
    Golden{"abc", R"(PATTERN 3 0
  RUN 3 0:a 1:b 2:c
  END
END
PROGRAM_END
)"},
    // Both match-alls are positions of a run without an item.
    Golden{".?.", R"(PATTERN 3 0
  RUN 3
  END
END
PROGRAM_END
)"},
    // A letter variable makes the run a mixed run; "0" is a variable too.
    Golden{"1a0", R"(PATTERN 3 0
  MIXED_RUN 3 0:v1 1:a 2:v0
  END
END
PROGRAM_END
)"},
    Golden{"a[bc]d", R"(PATTERN 3 0
  MIXED_RUN 3 0:a 1:[bc] 2:d
  END
END
PROGRAM_END
)"},
    Golden{"[^ab]c", R"(PATTERN 2 0
  MIXED_RUN 2 0:[^ab] 1:c
  END
END
PROGRAM_END
)"},
    // The only wildcard is the last one: it takes the rest in one step.
    Golden{"a*b", R"(PATTERN_VARIABLE 2 101
  RUN 1 0:a
  SKIP_REST 1
    RUN 1 0:b
    END
  END
END
PROGRAM_END
)"},
    Golden{"a(bc)d", R"(PATTERN 4 0
  RUN 1 0:a
  PATTERN 2 0
    RUN 2 0:b 1:c
    END
  END
  RUN 1 0:d
  END
END
PROGRAM_END
)"},
    // A variable-length sub-pattern: the rest of the template is a nested
    // segment; the last one of the template takes all the slack.
    Golden{"a(b*)(c*)d", R"(PATTERN_VARIABLE 4 101
  RUN 1 0:a
  PATTERN_VARIABLE 1 101
    RUN 1 0:b
    SKIP_REST 0
      END
    END
  END
    PATTERN_LAST 1 101
      RUN 1 0:c
      SKIP_REST 0
        END
      END
    END
      RUN 1 0:d
      END
    END
  END
END
PROGRAM_END
)"},
    Golden{"\\Cat", R"(PATTERN 3 0
  EXACT 'C'
  RUN 3 0:c 1:a 2:t
  END
END
PROGRAM_END
)"},
    // Escaped and plain punctuation, with the end-of-word check after the
    // last element.
    Golden{"a\\&b", R"(PATTERN 2 0
  RUN 1 0:a
  PUNCT '&'
  RUN 1 0:b
  PUNCT end
  END
END
PROGRAM_END
)"},
    Golden{"a b", R"(PATTERN 2 0
  RUN 1 0:a
  PUNCT 0x20
  RUN 1 0:b
  PUNCT end
  END
END
PROGRAM_END
)"}));

// One row per anagram element.
INSTANTIATE_TEST_SUITE_P(AnagramElements, CompileGolden, ::testing::Values(
    // An escaped letter counts as the letter; spaces are ignored.
    Golden{";\\ab c", R"(PATTERN 3 0
  ANAGRAM 26 3
    LETTERS_DISTINCT 3 abc
END
PROGRAM_END
)"},
    Golden{";aab", R"(PATTERN 3 0
  ANAGRAM 26 3
    LETTERS_COUNTED 2a 1b
END
PROGRAM_END
)"},
    // Match-alls add to the length but have no component.
    Golden{";a.b?", R"(PATTERN 4 0
  ANAGRAM 26 4
    LETTERS_DISTINCT 2 ab
END
PROGRAM_END
)"},
    Golden{";a1b1", R"(PATTERN 4 0
  ANAGRAM 26 4
    VARIABLES 1x2
    LETTERS_DISTINCT 2 ab
END
PROGRAM_END
)"},
    // Identical choice sets share one pool entry and are counted.
    Golden{";[ab][^c][ba]", R"(PATTERN 3 0
  ANAGRAM 26 3
    CHOICE_SET 2 @0
    CHOICE_SET 1 @1
END
PROGRAM_END
@0: {ab}
@1: {^c}
)"},
    Golden{";(bc)a(bc)", R"(PATTERN 5 0
  ANAGRAM 26 5
    PATTERN_VARIABLE 2 @0
    LETTERS_DISTINCT 1 a
END
PROGRAM_END
@0:
  PATTERN 2 0
    RUN 2 0:b 1:c
    END
  END
)"},
    // The last variable-length sub-pattern takes the remaining slack ...
    Golden{";(b*)a(c*)", R"(PATTERN_VARIABLE 3 101
  ANAGRAM 26 3
    PATTERN_VARIABLE 1 @0
    PATTERN_LAST 1 @1
    LETTERS_DISTINCT 1 a
END
PROGRAM_END
@0:
  PATTERN_VARIABLE 1 101
    RUN 1 0:b
    SKIP_REST 0
      END
    END
  END
@1:
  PATTERN_VARIABLE 1 101
    RUN 1 0:c
    SKIP_REST 0
      END
    END
  END
)"},
    // ... but not when the anagram holds "*" ...
    Golden{";a(b*)*", R"(PATTERN_VARIABLE 2 101
  ANAGRAM 26 2
    PATTERN_VARIABLE 1 @0
    LETTERS_DISTINCT 1 a
END
PROGRAM_END
@0:
  PATTERN_VARIABLE 1 101
    RUN 1 0:b
    SKIP_REST 0
      END
    END
  END
)"},
    // ... or the template has an extra length.
    Golden{"x*;a(b*)", R"(PATTERN_VARIABLE 1 101
  RUN 1 0:x
  SKIP_REST 0
    END
  END
  ANAGRAM 26 2
    PATTERN_VARIABLE 1 @0
    LETTERS_DISTINCT 1 a
END
PROGRAM_END
@0:
  PATTERN_VARIABLE 1 101
    RUN 1 0:b
    SKIP_REST 0
      END
    END
  END
)"},
    // A sub-pattern's own pool entries come first.
    Golden{";(;(ab)c)(ab)", R"(PATTERN 5 0
  ANAGRAM 26 5
    PATTERN_VARIABLE 1 @0
    PATTERN_VARIABLE 1 @1
END
PROGRAM_END
@0:
  PATTERN 2 0
    RUN 2 0:a 1:b
    END
  END
@1:
  PATTERN 3 0
    ANAGRAM 26 3
      PATTERN_VARIABLE 1 @0
      LETTERS_DISTINCT 1 c
  END
)"},
    Golden{";ab*", R"(PATTERN_VARIABLE 2 101
  ANAGRAM 26 2
    LETTERS_DISTINCT 2 ab
END
PROGRAM_END
)"}));

// The worked examples and the compile edge cases.
INSTANTIATE_TEST_SUITE_P(Examples, CompileGolden, ::testing::Values(
    Golden{"m*ja", R"(PATTERN_VARIABLE 3 101
  RUN 1 0:m
  SKIP_REST 2
    RUN 2 0:j 1:a
    END
  END
END
PROGRAM_END
)"},
    Golden{".l...r.n", R"(PATTERN 8 0
  RUN 8 1:l 5:r 7:n
  END
END
PROGRAM_END
)"},
    Golden{"...-..-.....", R"(PATTERN 10 0
  RUN 3
  PUNCT '-'
  RUN 2
  PUNCT '-'
  RUN 5
  PUNCT end
  END
END
PROGRAM_END
)"},
    Golden{"......*;gdangboot", R"(PATTERN_VARIABLE 6 3
  RUN 6
  SKIP_REST 0
    END
  END
  ANAGRAM 26 9
    LETTERS_COUNTED 1a 1b 1d 2g 1n 2o 1t
END
PROGRAM_END
)"},
    Golden{";rebel(ada)", R"(PATTERN 8 0
  ANAGRAM 26 8
    PATTERN_VARIABLE 1 @0
    LETTERS_COUNTED 1b 2e 1l 1r
END
PROGRAM_END
@0:
  PATTERN 3 0
    RUN 3 0:a 1:d 2:a
    END
  END
)"},
    Golden{";diners[ai]", R"(PATTERN 7 0
  ANAGRAM 26 7
    CHOICE_SET 1 @0
    LETTERS_DISTINCT 6 deinrs
END
PROGRAM_END
@0: {ai}
)"},
    Golden{"a*b*c", R"(PATTERN_VARIABLE 3 101
  RUN 1 0:a
  SKIP 2
    RUN 1 0:b
    SKIP_REST 1
      RUN 1 0:c
      END
    END
  END
END
PROGRAM_END
)"},
    Golden{"*", R"(PATTERN_VARIABLE 0 101
  SKIP_REST 0
    END
  END
END
PROGRAM_END
)"},
    Golden{".......;abc", R"(PATTERN 7 0
  RUN 7
  END
  ANAGRAM 26 3
    LETTERS_DISTINCT 3 abc
END
PROGRAM_END
)"},
    // Spaces at either end leave the program; the end-of-word check goes
    // after the last element that is not a space.
    Golden{" ab  ", R"(PATTERN 2 0
  RUN 2 0:a 1:b
  PUNCT end
  END
END
PROGRAM_END
)"},
    // After a final wildcard the check sits in its nested segment, so the
    // wildcard may absorb trailing punctuation.
    Golden{"a-*", R"(PATTERN_VARIABLE 1 101
  RUN 1 0:a
  PUNCT '-'
  SKIP_REST 0
    PUNCT end
    END
  END
END
PROGRAM_END
)"},
    Golden{"(a-b)", R"(PATTERN 2 0
  PATTERN 2 0
    RUN 1 0:a
    PUNCT '-'
    RUN 1 0:b
    END
  END
  PUNCT end
  END
END
PROGRAM_END
)"},
    Golden{"(;ab)c", R"(PATTERN 3 0
  PATTERN 2 0
    ANAGRAM 26 2
      LETTERS_DISTINCT 2 ab
  END
  RUN 1 0:c
  END
END
PROGRAM_END
)"},
    // A mixed run stops at 48 positions so that no item byte reads as an
    // opcode; the next run goes on from there.
    Golden{"[ab]..................................................[cd]", R"(PATTERN 52 0
  MIXED_RUN 48 0:[ab]
  MIXED_RUN 4 3:[cd]
  END
END
PROGRAM_END
)"}));

TEST(Compile, LengthsAndMatcherChoice) {
  struct Row {
    const char* pattern;
    int fixed;
    int longest;
    MatcherKind matcher;
    int lengthKind;
  };
  const Row rows[] = {
      {".l...r.n", 8, 8, MatcherKind::PlainRun, 0},
      {"........", 8, 8, MatcherKind::PlainRun, 0},
      {";lobikes", 7, 7, MatcherKind::DistinctLetters, 0},
      {";toboggan", 8, 8, MatcherKind::CountedLetters, 0},
      {";lobikes.", 8, 8, MatcherKind::General, 0},  // a match-all in an anagram
      {";...", 3, 3, MatcherKind::General, 0},
      {"m*ja", 3, 101, MatcherKind::General, 1},
      {"......*;gdangboot", 6, 9, MatcherKind::General, -1},
      {"......*;abc", 6, 101, MatcherKind::General, 1},
      {"*;abc", 0, 3, MatcherKind::General, -1},
      {";ab*", 2, 101, MatcherKind::General, 1},
      {"abc;defg", 3, 3, MatcherKind::General, 0},
      {" ;abc", 3, 3, MatcherKind::General, 0},   // a template of spaces counts as none
      {"ab[cd]", 3, 3, MatcherKind::General, 0},  // the run became a mixed run
      {"12341234", 8, 8, MatcherKind::General, 0},
      {"abc ", 3, 3, MatcherKind::General, 0},    // the space was counted before it was dropped
      {"(ab)", 2, 2, MatcherKind::General, 0},
      {"(a*)(b*)", 2, 101, MatcherKind::General, 1},
      {"a(b;cd*)", 2, 2, MatcherKind::General, 0},  // the inner template decides: no extra
      {"(......*;gdangboot)x", 7, 10, MatcherKind::General, -1},
      {"*", 0, 101, MatcherKind::General, 1},
  };
  for (const Row& row : rows) {
    MatchEngine engine;
    ASSERT_EQ(engine.compile(test::englishTestAlphabet(), row.pattern), PatternStatus::Valid) << row.pattern;
    EXPECT_EQ(engine.fixedLength(), row.fixed) << row.pattern;
    EXPECT_EQ(engine.longestLength(), row.longest) << row.pattern;
    EXPECT_EQ(engine.matcher(), row.matcher) << row.pattern;
    EXPECT_EQ(engine.lengthKind(), row.lengthKind) << row.pattern;
  }
}

TEST(Compile, OneHundredTwentyEightLettersIsTheLimit) {
  const std::string letters(128, 'a');
  MatchEngine engine;
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), letters), PatternStatus::Valid);
  EXPECT_EQ(engine.fixedLength(), 128);
  EXPECT_EQ(engine.longestLength(), 101);  // capped: 101 stands for no upper limit
  // Valid, but no searched length fits it.
  engine.setShortest(1);
  engine.setLongest(100);
  EXPECT_GT(engine.effectiveShortest(), engine.effectiveLongest());
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), letters + "a"), PatternStatus::TooLong);
  EXPECT_FALSE(engine.isValid());
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), ";" + letters + "a"), PatternStatus::TooLong);
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), "(" + letters + "a)"), PatternStatus::TooLong);
}

TEST(Compile, SettingsAreClampedAndCombined) {
  MatchEngine engine;
  ASSERT_EQ(engine.compile(test::englishTestAlphabet(), "m*ja"), PatternStatus::Valid);
  engine.setShortest(-5);
  engine.setLongest(500);
  EXPECT_EQ(engine.shortestSetting(), 1);
  EXPECT_EQ(engine.longestSetting(), 100);
  EXPECT_EQ(engine.effectiveShortest(), 3);
  EXPECT_EQ(engine.effectiveLongest(), 100);
  engine.setShortest(9);
  engine.setLongest(12);
  EXPECT_EQ(engine.effectiveShortest(), 9);
  EXPECT_EQ(engine.effectiveLongest(), 12);
}

TEST(Compile, PunctuationTableAndSensitivity) {
  const Alphabet& alphabet = test::englishTestAlphabet();
  MatchEngine engine;

  // No punctuation and no escaped letter: not sensitive at all.
  ASSERT_EQ(engine.compile(alphabet, ".........."), PatternStatus::Valid);
  EXPECT_FALSE(engine.punctuationSensitive());

  ASSERT_EQ(engine.compile(alphabet, "\\C......"), PatternStatus::Valid);
  EXPECT_TRUE(engine.punctuationSensitive());
  EXPECT_EQ(engine.punctuationTable()['C'], kEscapedLetter);
  EXPECT_EQ(engine.punctuationTable()['c'], 0);
  EXPECT_EQ(engine.punctuationTable()['-'], 0);

  ASSERT_EQ(engine.compile(alphabet, "...-..-....."), PatternStatus::Valid);
  EXPECT_TRUE(engine.punctuationSensitive());
  EXPECT_EQ(engine.punctuationTable()['-'], kSignificantPunctuation);
  EXPECT_EQ(engine.punctuationTable()['\''], 0);

  // With "Ignore unused punctuation" off, every other punctuation character
  // becomes significant too (letters take their own path in the matcher).
  ASSERT_EQ(engine.compile(alphabet, "...-..-.....", false), PatternStatus::Valid);
  EXPECT_EQ(engine.punctuationTable()['\''], kSignificantPunctuation);
  EXPECT_EQ(engine.punctuationTable()[' '], kSignificantPunctuation);
  EXPECT_EQ(engine.punctuationTable()[0], 0);

  // The option changes nothing for a pattern without punctuation.
  ASSERT_EQ(engine.compile(alphabet, "\\C......", false), PatternStatus::Valid);
  EXPECT_EQ(engine.punctuationTable()['-'], 0);

  // A dropped space stays in the table.
  ASSERT_EQ(engine.compile(alphabet, " ab"), PatternStatus::Valid);
  EXPECT_EQ(engine.punctuationTable()[' '], kSignificantPunctuation);
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
