// Matching behaviour: the Quick Reference examples against a decoy list,
// templates, wildcards and punctuation, anagrams and balances, letter
// variables, and alphabets whose indices reach the opcode range.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "MatchTestSupport.h"
#include "pattern/MatchEngine.h"
#include "pattern/WordBufferFill.h"
#include "support/TestAlphabet.h"

namespace kea {
namespace {

using test::lineMatches;
using test::patternMatches;

// Each example of the Quick Reference finds its word and, among these
// words, exactly the others named with it.
TEST(QuickReference, ExamplesFindTheirWordsAndNoDecoys) {
  const std::vector<std::string> words = {
      "electron", "obelisk",  "maharaja",  "sardine",  "toboggan", "beriberi",     "fly-by-night",
      "tonight",  "imaginative", "readable", "electrum", "electrons", "obelisks", "bookies",
      "maharajah", "ninja",   "sardines",  "randies",  "toboggans", "bogging",     "aaaaaaaa",
      "couscous", "flyby-night", "fly-by-night-", "tooting", "nothing", "imagination", "evaporative",
      "readably", "adorable", "ELECTRON",  "Obelisk",  "fly by night"};
  struct Example {
    const char* line;
    std::set<std::string> finds;
  };
  const std::vector<Example> examples = {
      {".l...r.n", {"electron", "ELECTRON"}},
      {";lobikes", {"obelisk", "Obelisk"}},
      {"m*ja", {"maharaja"}},
      {";diners[ai]", {"sardine", "randies"}},
      {"......*;gdangboot", {"toboggan"}},
      {"12341234", {"beriberi", "couscous"}},
      {"...-..-.....", {"fly-by-night"}},
      {";..oting & ! *ing", {"tonight"}},
      {"@#@#@#@#@#@", {"imaginative", "evaporative"}},
      {";rebel(ada)", {"readable"}},
  };
  for (const Example& example : examples) {
    std::set<std::string> found;
    for (const std::string& word : words) {
      if (lineMatches(example.line, word)) found.insert(word);
    }
    EXPECT_EQ(found, example.finds) << example.line;
  }
}

TEST(Templates, CaseAndAccentsFoldThroughTheAlphabet) {
  EXPECT_TRUE(patternMatches(".l...r.n", "ELECTRON"));
  EXPECT_TRUE(patternMatches(".l...r.n", "\xC9lectron"));  // É
  EXPECT_TRUE(patternMatches("\xE9lectron", "electron"));  // é in the pattern
}

TEST(Templates, WildcardsAbsorbZeroOrMoreLetters) {
  EXPECT_TRUE(patternMatches("m*ja", "mja"));
  EXPECT_TRUE(patternMatches("a*b*c", "abc"));
  EXPECT_TRUE(patternMatches("a*b*c", "axbyc"));
  EXPECT_TRUE(patternMatches("a*b*c", "abbbc"));
  EXPECT_FALSE(patternMatches("a*b*c", "acb"));
  EXPECT_TRUE(patternMatches("*", "x"));
  EXPECT_TRUE(patternMatches("*a*", "banana"));
  EXPECT_FALSE(patternMatches("*a*", "berry"));
  EXPECT_TRUE(patternMatches("*ing", "ring"));
  EXPECT_FALSE(patternMatches("*ing", "rings"));
}

TEST(Templates, ChoiceListsAndNegatedChoiceLists) {
  EXPECT_TRUE(patternMatches("b[aeiou]t", "bat"));
  EXPECT_FALSE(patternMatches("b[aeiou]t", "byt"));
  EXPECT_TRUE(patternMatches("b[^aeiou]t", "byt"));
  EXPECT_FALSE(patternMatches("b[^aeiou]t", "bot"));
}

TEST(Templates, SubPatternsMatchStretches) {
  EXPECT_TRUE(patternMatches("a(bc)d", "abcd"));
  EXPECT_FALSE(patternMatches("a(bc)d", "acbd"));
  EXPECT_TRUE(patternMatches("(;ab)cd", "bacd"));
  EXPECT_TRUE(patternMatches("(a*)(b*)", "axxbyy"));
  EXPECT_TRUE(patternMatches("(a*)(b*)", "ab"));
  EXPECT_FALSE(patternMatches("(a*)(b*)", "xab"));
  EXPECT_TRUE(patternMatches("x(*;ab)y", "xbay"));
  EXPECT_TRUE(patternMatches("x(*;ab)y", "xby"));  // the pool may lack a letter
  EXPECT_FALSE(patternMatches("x(*;ab)y", "xbqy"));
}

TEST(Punctuation, PatternsWithoutPunctuationIgnoreIt) {
  EXPECT_TRUE(patternMatches("..........", "fly-by-night"));
  EXPECT_TRUE(patternMatches("flybynight", "fly-by-night"));
}

TEST(Punctuation, SignificantPunctuationMustMatch) {
  EXPECT_TRUE(patternMatches("...-..-.....", "fly-by-night"));
  EXPECT_FALSE(patternMatches("...-..-.....", "flyby-night"));
  EXPECT_FALSE(patternMatches("...-..-.....", "fly-by-night-"));
  EXPECT_FALSE(patternMatches("...-..-.....", "-fly-by-night"));
  // The option decides whether punctuation the pattern does not mention counts.
  EXPECT_TRUE(patternMatches("....-.-.......", "jack-o'-lantern", true));
  EXPECT_FALSE(patternMatches("....-.-.......", "jack-o'-lantern", false));
  EXPECT_TRUE(patternMatches("....-.'-.......", "jack-o'-lantern", false));
  // A space after the last letter ends the word; one inside is punctuation.
  EXPECT_TRUE(patternMatches("a-b", "a-b -"));
  EXPECT_TRUE(patternMatches("a b", "a b"));
  EXPECT_FALSE(patternMatches("a-b", "a b"));
}

TEST(Punctuation, WildcardsAbsorbPunctuationButRunsDoNot) {
  EXPECT_TRUE(patternMatches("a*-", "ab-"));
  EXPECT_TRUE(patternMatches("a*-", "a-b-"));   // the wildcard takes "-b"
  EXPECT_FALSE(patternMatches("ab*-", "a-b-"));  // "ab" is not "a-b"
  EXPECT_TRUE(patternMatches("ab*-", "abxy-"));
  EXPECT_TRUE(patternMatches("a-*", "a-bc-d"));
  EXPECT_FALSE(patternMatches("a-*", "ab-"));
}

TEST(Punctuation, EscapedLettersMatchTheRawCharacter) {
  EXPECT_TRUE(patternMatches("\\C......", "Charlie"));
  EXPECT_FALSE(patternMatches("\\C......", "charlie"));
  EXPECT_TRUE(patternMatches("c......", "Charlie"));
  EXPECT_TRUE(patternMatches("\\C*\\E", "CapE"));
  EXPECT_FALSE(patternMatches("\\C*\\E", "Cape"));
  // An escaped letter is no punctuation: the word's hyphen is ignored.
  EXPECT_TRUE(patternMatches("\\Ca..", "Ca-pe"));
}

TEST(Punctuation, SubPatternsCarryThePunctuationOffset) {
  // The end-of-word check after the sub-pattern sees the hyphen it matched.
  EXPECT_TRUE(patternMatches("(a-b)", "a-b"));
  EXPECT_TRUE(patternMatches("(a-b)c", "a-bc"));
  EXPECT_TRUE(patternMatches("x(a-b*)-c", "xa-byy-c"));
  EXPECT_FALSE(patternMatches("(a-b)", "ab"));
}

TEST(Anagrams, LettersMatchAllAndWildcard) {
  std::string balance;
  EXPECT_TRUE(patternMatches(";lobikes", "obelisk", true, true, &balance));
  EXPECT_EQ(balance, "");
  EXPECT_FALSE(patternMatches(";lobikes", "obelisks"));
  EXPECT_TRUE(patternMatches(";ab*", "ab"));
  EXPECT_TRUE(patternMatches(";ab*", "crab"));
  EXPECT_FALSE(patternMatches(";ab*", "crib"));
  EXPECT_TRUE(patternMatches(";a.b?", "abxy"));
  EXPECT_TRUE(patternMatches(";toboggan", "toboggan"));
  EXPECT_FALSE(patternMatches(";toboggan", "tobogans"));
}

TEST(Anagrams, TemplatesMakeThePool) {
  // The word is shorter than the anagram: letters may be left out, and
  // match-alls cover letters outside the pool.
  EXPECT_TRUE(patternMatches("...;abc.", "abx"));
  EXPECT_FALSE(patternMatches("...;abc.", "axy"));
  EXPECT_TRUE(patternMatches("*;abc", "cab"));
  EXPECT_TRUE(patternMatches("*;abc", "ba"));
  EXPECT_FALSE(patternMatches("*;abc", "bb"));
  // Longer: every letter of the anagram is found, the rest are free.
  EXPECT_TRUE(patternMatches(".......;abc", "cabbage"));
  EXPECT_FALSE(patternMatches(".......;abc", "garbage"));
}

TEST(Anagrams, BalancesShowLettersLackingAndOver) {
  std::string balance;
  ASSERT_TRUE(patternMatches("......*;gdangboot", "toboggan", true, true, &balance));
  EXPECT_EQ(balance, "-d");
  ASSERT_TRUE(patternMatches(";lobikes.", "obelisks", true, true, &balance));
  EXPECT_EQ(balance, "+s");
  ASSERT_TRUE(patternMatches(".......;abc", "cabbage", true, true, &balance));
  EXPECT_EQ(balance, "+abeg");
  ASSERT_TRUE(patternMatches("...;abc.", "abx", true, true, &balance));
  EXPECT_EQ(balance, "-c+x");
  // Anagrams with choice lists, variables or sub-patterns have none.
  ASSERT_TRUE(patternMatches(";diners[ai]", "sardine", true, true, &balance));
  EXPECT_EQ(balance, "");
  ASSERT_TRUE(patternMatches(";rebel(ada)", "readable", true, true, &balance));
  EXPECT_EQ(balance, "");
  ASSERT_TRUE(patternMatches(";ab1", "abc", true, true, &balance));
  EXPECT_EQ(balance, "");
  // Two anagram parts matched for one word: no balance either.
  ASSERT_TRUE(patternMatches("(;ab)(;cd.)", "badce", true, true, &balance));
  EXPECT_EQ(balance, "");
}

TEST(Anagrams, ChoiceListsAndSubPatterns) {
  EXPECT_TRUE(patternMatches(";diners[ai]", "sardine"));
  EXPECT_FALSE(patternMatches(";diners[ai]", "snidest"));
  EXPECT_TRUE(patternMatches(";[^aeiou][^aeiou]a", "bra"));
  EXPECT_FALSE(patternMatches(";[^aeiou][^aeiou]a", "bea"));
  EXPECT_TRUE(patternMatches(";rebel(ada)", "readable"));
  EXPECT_TRUE(patternMatches(";(ab)(ab)", "abab"));
  EXPECT_FALSE(patternMatches(";(ab)(ab)", "aabb"));
  EXPECT_TRUE(patternMatches(";x(a*)", "xaqq"));
  EXPECT_TRUE(patternMatches(";x(a*)", "aqqx"));
  EXPECT_FALSE(patternMatches(";x(a*)", "qaqx"));
}

TEST(Variables, ExclusiveOrNot) {
  EXPECT_TRUE(patternMatches("12341234", "beriberi", true, true));
  EXPECT_FALSE(patternMatches("12341234", "aaaaaaaa", true, true));
  EXPECT_TRUE(patternMatches("12341234", "aaaaaaaa", true, false));
  EXPECT_TRUE(patternMatches("1221", "noon"));
  EXPECT_FALSE(patternMatches("1221", "noun"));
  EXPECT_TRUE(patternMatches("11", "aa"));
  EXPECT_FALSE(patternMatches("11", "ab"));
  EXPECT_FALSE(patternMatches("12", "aa", true, true));
  EXPECT_TRUE(patternMatches("12", "aa", true, false));
}

TEST(Variables, SharedByTemplateAnagramAndSubPatterns) {
  // The template binds 1; the anagram part takes that letter for its 1.
  EXPECT_TRUE(patternMatches("1.;1b", "ab"));
  EXPECT_FALSE(patternMatches("1.;1b", "ba"));
  // A sub-pattern's binding holds after it.
  EXPECT_TRUE(patternMatches("(1.)1", "aba"));
  EXPECT_FALSE(patternMatches("(1.)1", "abb"));
  // Bindings of a failed wildcard try are undone before the next.
  EXPECT_TRUE(patternMatches("*1*1", "abcb"));
  EXPECT_TRUE(patternMatches("1*1", "abca"));
}

TEST(Variables, PatternsOfALineDoNotShareThem) {
  EXPECT_TRUE(lineMatches("1.. & .1.", "abc"));
  EXPECT_TRUE(lineMatches("1.. & 1..", "abc"));
}

TEST(Matching, OnlyLengthsInTheRangeMatch) {
  MatchEngine engine;
  ASSERT_EQ(engine.compile(test::englishTestAlphabet(), "m*ja"), PatternStatus::Valid);
  test::TestWord maharaja("maharaja");
  engine.setWordLength(2);  // below the fixed length
  EXPECT_FALSE(engine.matches(maharaja.buffer));
  engine.setWordLength(8);
  EXPECT_TRUE(engine.matches(maharaja.buffer));
  EXPECT_EQ(engine.slack(), 5);
  MatchEngine invalid;
  EXPECT_EQ(invalid.compile(test::englishTestAlphabet(), "[ab"), PatternStatus::ChoiceUnfinished);
  invalid.setWordLength(8);
  EXPECT_FALSE(invalid.matches(maharaja.buffer));
}

TEST(Matching, RawTextWithoutTheWordsLettersNeverMatches) {
  // A punctuation-sensitive pattern rebuilds its planes from the raw text;
  // a raw text that disagrees with the key must not be read past its end.
  MatchEngine engine;
  ASSERT_EQ(engine.compile(test::englishTestAlphabet(), "a-b"), PatternStatus::Valid);
  WordBuffer word{};
  word.key[0] = 0;
  word.key[1] = 1;
  word.key[2] = kkd::kNoIndex;
  std::memset(word.raw, '-', sizeof word.raw);  // no terminating 0 at all
  engine.setWordLength(2);
  EXPECT_FALSE(engine.matches(word));
}

// An alphabet of 253 characters: many letters have indices at or above
// 240, the opcode range. Programs must stay unambiguous and match.
TEST(Matching, LargeAlphabetIndicesDoNotReadAsOpcodes) {
  std::array<std::uint8_t, 256> table{};
  std::array<std::uint64_t, 256> frequency{};
  for (int b = 1; b < 256; ++b) {
    if (b == '.' || b == '?' || b == '*' || b == '(' || b == ')' || b == '[' || b == ']' || b == ';' ||
        b == '\\' || b == '^' || (b >= '0' && b <= '9') || b == ' ' || b == '-') {
      continue;
    }
    table[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(b);
    frequency[static_cast<std::size_t>(b)] = 1;
  }
  const Alphabet alphabet = Alphabet::fromCanonicalTable(table, frequency);
  ASSERT_GT(alphabet.alphabetIndexOf(0xFE), 220);
  const std::string high = "\xF9\xFA\xFB\xFC\xFD\xFE";
  for (const unsigned char c : high) ASSERT_GE(alphabet.alphabetIndexOf(c), 200) << int(c);

  struct Case {
    std::string pattern;
    std::string word;
    bool matches;
  };
  const std::vector<Case> cases = {
      {high, high, true},
      {"\xFE" "*\xFD", "\xFE" "ab\xFD", true},
      {"[\xFD\xFE]\xFC", "\xFE\xFC", true},
      {"[^\xFD\xFE]\xFC", "\xFE\xFC", false},
      {"1\xFE" "1", "\xFD\xFE\xFD", true},
      {";\xFE\xFD\xFC", "\xFC\xFE\xFD", true},
      {";\xFE\xFE\xFD", "\xFE\xFD\xFE", true},
      {";\xFE\xFE\xFD", "\xFE\xFD\xFD", false},
      {";\xFE\xFE\xFD.", "\xFE\xFD\xFE" "a", true},
      {";[\xFE\xFD]\xFC", "\xFC\xFD", true},
      {";(\xFE\xFD)\xFC", "\xFC\xFE\xFD", true},
      {";(\xFE\xFD)\xFC", "\xFD\xFE\xFC", false},
      {"\xFE-\xFD", "\xFE-\xFD", true},
      {std::string(60, '.') + "[^\xFE]", std::string(60, 'a') + "\xFE", false},
      {std::string(60, '.') + "[^\xFE]", std::string(60, 'a') + "\xFD", true},
  };
  for (const Case& c : cases) {
    MatchEngine engine;
    ASSERT_EQ(engine.compile(alphabet, c.pattern), PatternStatus::Valid) << c.pattern;
    EXPECT_EQ(engine.dump().find("??"), std::string::npos) << engine.dump();
    WordBuffer word{};
    const int length = fillWordBuffer(word, c.word, alphabet);
    engine.setWordLength(length);
    EXPECT_EQ(engine.matches(word), c.matches) << c.pattern << " / " << c.word;
  }
}

TEST(WordBufferFill, KeyRawTextAndAnnotation) {
  WordBuffer word{};
  EXPECT_EQ(fillWordBuffer(word, "Jack-o'-Lantern", test::englishTestAlphabet(), "n."), 12);
  EXPECT_EQ(word.key[0], 9);   // j
  EXPECT_EQ(word.key[11], 13);  // n
  EXPECT_EQ(word.key[12], kkd::kNoIndex);
  EXPECT_STREQ(word.raw, "Jack-o'-Lantern");
  EXPECT_STREQ(word.raw + 16, "n.");
  EXPECT_EQ(fillWordBuffer(word, std::string(128, 'a'), test::englishTestAlphabet()), -1);
  EXPECT_EQ(word.key[0], kkd::kNoIndex);
  EXPECT_EQ(fillWordBuffer(word, std::string(127, 'a'), test::englishTestAlphabet()), 127);
  EXPECT_EQ(fillWordBuffer(word, std::string(1000, '-'), test::englishTestAlphabet()), -1);
}

}  // namespace
}  // namespace kea
