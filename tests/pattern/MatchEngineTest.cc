// Matching behaviour: the Quick Reference examples against a decoy list,
// a table of single pattern and word cases by element, balances, and
// alphabets whose indices reach the opcode range.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "MatchTestSupport.h"
#include "pattern/MatchEngine.h"
#include "support/WordBufferFill.h"
#include "support/TestAlphabet.h"

namespace kea {
namespace {

using test::lineMatches;
using test::patternMatches;

// Each example of the Quick Reference finds its word and, among these
// words, exactly the others named with it.
TEST(QuickReference, ExamplesFindTheirWordsAndNoDecoys) {
  const std::vector<std::string> words = {
      "electron", "obelisk", "maharaja", "sardine", "toboggan", "beriberi", "fly-by-night", "tonight",
      "imaginative", "readable", "electrum", "electrons", "obelisks", "bookies", "maharajah", "ninja",
      "sardines", "randies", "toboggans", "bogging", "aaaaaaaa", "couscous", "flyby-night", "fly-by-night-",
      "tooting", "nothing", "imagination", "evaporative", "readably", "adorable", "ELECTRON", "Obelisk",
      "fly by night"};
  const std::vector<std::pair<const char*, std::set<std::string>>> examples = {
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
  for (const auto& [line, finds] : examples) {
    std::set<std::string> found;
    for (const std::string& word : words) {
      if (lineMatches(line, word)) found.insert(word);
    }
    EXPECT_EQ(found, finds) << line;
  }
}

// Rules the generated oracle cases meet only by chance, or not at all.
TEST(Matching, PatternAndWordTable) {
  struct Row {
    const char* pattern;
    const char* word;
    bool matches;
    bool ignoreUnused = true;
    bool exclusive = true;
  };
  const Row rows[] = {
      // Case and accents fold through the alphabet (\xC9 is É, \xE9 é).
      {".l...r.n", "\xC9lectron", true}, {"\xE9lectron", "electron", true},
      // Punctuation the pattern does not name counts only with the option off.
      {"....-.-.......", "jack-o'-lantern", true}, {"....-.-.......", "jack-o'-lantern", false, false},
      {"....-.'-.......", "jack-o'-lantern", true, false},
      // A space after the last letter ends the word; one inside is punctuation.
      {"a-b", "a-b -", true}, {"a b", "a b", true}, {"a-b", "a b", false},
      // Wildcards absorb punctuation, runs do not; escaped letters are no punctuation.
      {"a*-", "a-b-", true}, {"ab*-", "a-b-", false}, {"\\Ca..", "Ca-pe", true}, {"\\C*\\E", "Cape", false},
      // Sub-patterns carry the punctuation offset to the end-of-word check.
      {"x(a-b*)-c", "xa-byy-c", true}, {"(a-b)", "ab", false},
      // An anagram inside a sub-pattern may lack a letter of its pool.
      {"x(*;ab)y", "xby", true}, {"x(*;ab)y", "xbqy", false},
      // Letter variables: exclusive or not, bound by a template for its anagram.
      {"12", "aa", false}, {"12", "aa", true, true, false}, {"1.;1b", "ab", true}, {"1.;1b", "ba", false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(patternMatches(row.pattern, row.word, row.ignoreUnused, row.exclusive), row.matches)
        << row.pattern << " on " << row.word << " ignore " << row.ignoreUnused << " exclusive " << row.exclusive;
  }
  // The patterns of a line do not share their variables.
  EXPECT_TRUE(lineMatches("1.. & .1.", "abc"));
}

TEST(Matching, BalancesShowLettersLackingAndOver) {
  const std::vector<std::array<const char*, 3>> rows = {
      {";lobikes", "obelisk", ""}, {"......*;gdangboot", "toboggan", "-d"}, {";lobikes.", "obelisks", "+s"},
      {".......;abc", "cabbage", "+abeg"}, {"...;abc.", "abx", "-c+x"},
      // Anagrams with choice lists, variables or sub-patterns have none, nor
      // do two anagram parts matched for one word.
      {";diners[ai]", "sardine", ""}, {";rebel(ada)", "readable", ""}, {";ab1", "abc", ""},
      {"(;ab)(;cd.)", "badce", ""},
  };
  for (const auto& [pattern, word, expected] : rows) {
    std::string balance = "unset";
    ASSERT_TRUE(patternMatches(pattern, word, true, true, &balance)) << pattern;
    EXPECT_EQ(balance, expected) << pattern;
  }
}

TEST(Matching, OnlyLengthsInTheRangeAndValidPatternsMatch) {
  MatchEngine engine;
  ASSERT_EQ(engine.compile(test::englishTestAlphabet(), "m*ja"), PatternStatus::Valid);
  test::TestWord maharaja("maharaja");
  engine.setWordLength(2);  // below the fixed length
  EXPECT_FALSE(engine.matches(maharaja.buffer));
  engine.setWordLength(8);
  EXPECT_TRUE(engine.matches(maharaja.buffer));
  EXPECT_EQ(engine.slack(), 5);
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), "[ab"), PatternStatus::ChoiceUnfinished);
  engine.setWordLength(8);
  EXPECT_FALSE(engine.matches(maharaja.buffer));
}

TEST(Matching, MovedEnginesMatchWithTheirOwnPattern) {
  // The matcher refers to the compiled pattern: both must travel together.
  const Alphabet& alphabet = test::englishTestAlphabet();
  MatchEngine source;
  ASSERT_EQ(source.compile(alphabet, "1.*1"), PatternStatus::Valid);
  MatchEngine moved(std::move(source));
  MatchEngine assigned;
  ASSERT_EQ(assigned.compile(alphabet, "x*"), PatternStatus::Valid);
  assigned = std::move(moved);
  assigned.setWordLength(5);
  test::TestWord arena("arena");
  test::TestWord arest("arest");
  ASSERT_TRUE(assigned.matches(arena.buffer));
  EXPECT_EQ(assigned.variableBindings().value[1], alphabet.alphabetIndexOf('a'));
  EXPECT_FALSE(assigned.matches(arest.buffer));
  // An engine moved from holds no pattern and matches nothing.
  moved.setWordLength(5);
  EXPECT_FALSE(moved.isValid());
  EXPECT_FALSE(moved.matches(arena.buffer));
  EXPECT_EQ(moved.balanceText(), "");
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
    if (std::strchr(".?*()[];\\^0123456789 -", b) != nullptr) continue;
    table[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(b);
    frequency[static_cast<std::size_t>(b)] = 1;
  }
  const Alphabet alphabet = Alphabet::fromCanonicalTable(table, frequency);
  const std::string high = "\xF9\xFA\xFB\xFC\xFD\xFE";
  for (const unsigned char c : high) ASSERT_GE(alphabet.alphabetIndexOf(c), 200) << int(c);
  ASSERT_GT(alphabet.alphabetIndexOf(0xFE), 220);

  struct Case {
    std::string pattern, word;
    bool matches;
  };
  const std::vector<Case> cases = {
      {high, high, true}, {"\xFE" "*\xFD", "\xFE" "ab\xFD", true},
      {"[\xFD\xFE]\xFC", "\xFE\xFC", true}, {"[^\xFD\xFE]\xFC", "\xFE\xFC", false},
      {"1\xFE" "1", "\xFD\xFE\xFD", true}, {";\xFE\xFD\xFC", "\xFC\xFE\xFD", true},
      {";\xFE\xFE\xFD", "\xFE\xFD\xFE", true}, {";\xFE\xFE\xFD", "\xFE\xFD\xFD", false},
      {";\xFE\xFE\xFD.", "\xFE\xFD\xFE" "a", true}, {";[\xFE\xFD]\xFC", "\xFC\xFD", true},
      {";(\xFE\xFD)\xFC", "\xFC\xFE\xFD", true}, {";(\xFE\xFD)\xFC", "\xFD\xFE\xFC", false},
      {"\xFE-\xFD", "\xFE-\xFD", true},
      {std::string(60, '.') + "[^\xFE]", std::string(60, 'a') + "\xFE", false},
      {std::string(60, '.') + "[^\xFE]", std::string(60, 'a') + "\xFD", true},
  };
  for (const Case& c : cases) {
    MatchEngine engine;
    ASSERT_EQ(engine.compile(alphabet, c.pattern), PatternStatus::Valid) << c.pattern;
    EXPECT_EQ(engine.dump().find("??"), std::string::npos) << engine.dump();
    WordBuffer word{};
    engine.setWordLength(fillWordBuffer(word, c.word, alphabet));
    EXPECT_EQ(engine.matches(word), c.matches) << c.pattern << " / " << c.word;
  }
}

// A plain run's positions go up to 127, so their bytes carry bits that a
// mixed run's items use for their kind; every way of reading a run must
// tell the two apart.
TEST(Matching, LettersLateInALongRunAreLettersEveryWay) {
  const std::string b64(64, 'b');
  const std::string dots(64, '.');
  const struct {
    std::string pattern, word;
    bool matches;
  } cases[] = {
      {"(*)" + dots + "ac", "x" + b64 + "ac", true},  // read over sets of places
      {"(*)" + dots + "ac", "x" + b64 + "ad", false},
      {"*" + dots + "ac", "x" + b64 + "ac", true},  // searched
      {"*-" + dots + "ac", "x-" + b64 + "ac", true},  // over the plane of significant characters
      {"*-" + dots + "ac", "x-" + b64 + "ad", false},
      {"(*)" + dots + "[ab]c", "x" + b64 + "ac", true},  // a mixed run
  };
  for (const auto& c : cases) {
    EXPECT_EQ(test::patternMatches(c.pattern, c.word, false), c.matches) << c.pattern << " / " << c.word;
    test::Tally tally;
    test::compareWithReference(c.pattern, {c.word}, test::kNone, tally);
  }
}

TEST(WordBufferFill, KeyRawTextAnnotationAndLimits) {
  WordBuffer word{};
  EXPECT_EQ(fillWordBuffer(word, "Jack-o'-Lantern", test::englishTestAlphabet(), "n."), 12);
  EXPECT_EQ(word.key[0], 9);    // j
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
