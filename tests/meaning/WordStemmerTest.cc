// The stemmer against words from Porter's own description of the
// algorithm, one or more per rule, and the words it must leave alone.
#include <gtest/gtest.h>

#include <string>

#include "meaning/WordStemmer.h"

namespace kea {
namespace {

struct Pair {
  const char* word;
  const char* stem;
};

void expectStems(std::initializer_list<Pair> pairs) {
  WordStemmer stemmer;
  for (const Pair& p : pairs) EXPECT_EQ(stemmer.stem(p.word), p.stem) << p.word;
}

TEST(WordStemmer, PluralsAndEdAndIngGoWithTheirSpellingRepaired) {
  expectStems({{"caresses", "caress"}, {"ponies", "poni"}, {"ties", "ti"}, {"caress", "caress"}, {"cats", "cat"},
               {"feed", "feed"}, {"agreed", "agre"}, {"plastered", "plaster"}, {"bled", "bled"},
               {"motoring", "motor"}, {"sing", "sing"}, {"conflated", "conflat"}, {"troubled", "troubl"},
               {"sized", "size"}, {"hopping", "hop"}, {"tanned", "tan"}, {"falling", "fall"}, {"hissing", "hiss"},
               {"fizzed", "fizz"}, {"failing", "fail"}, {"filing", "file"}, {"happy", "happi"}, {"sky", "sky"}});
}

TEST(WordStemmer, DoubleSuffixesBecomeSingleOnlyAfterAStemWithAVowelRun) {
  expectStems({{"relational", "relat"}, {"conditional", "condit"}, {"rational", "ration"}, {"valenci", "valenc"},
               {"digitizer", "digit"}, {"conformabli", "conform"}, {"radicalli", "radic"},
               {"differentli", "differ"}, {"vileli", "vile"}, {"analogousli", "analog"},
               {"vietnamization", "vietnam"}, {"predication", "predic"}, {"operator", "oper"},
               {"feudalism", "feudal"}, {"decisiveness", "decis"}, {"hopefulness", "hope"},
               {"callousness", "callous"}, {"formaliti", "formal"}, {"sensitiviti", "sensit"},
               {"sensibiliti", "sensibl"}, {"triplicate", "triplic"}, {"formative", "form"},
               {"formalize", "formal"}, {"electriciti", "electr"}, {"electrical", "electr"}, {"hopeful", "hope"},
               {"goodness", "good"}});
}

TEST(WordStemmer, LongStemsLoseTheirLastSuffixAndFinalE) {
  expectStems({{"revival", "reviv"}, {"allowance", "allow"}, {"inference", "infer"}, {"airliner", "airlin"},
               {"gyroscopic", "gyroscop"}, {"adjustable", "adjust"}, {"defensible", "defens"},
               {"irritant", "irrit"}, {"replacement", "replac"}, {"adjustment", "adjust"},
               {"dependent", "depend"}, {"adoption", "adopt"}, {"communism", "commun"}, {"activate", "activ"},
               {"effective", "effect"}, {"bowdlerize", "bowdler"}, {"probate", "probat"}, {"rate", "rate"},
               {"cease", "ceas"}, {"controll", "control"}, {"roll", "roll"}, {"generalizations", "gener"},
               {"oscillators", "oscil"}});
}

TEST(WordStemmer, WordsOfTheMeaningsThatMustMeet) {
  WordStemmer stemmer;
  const auto same = [&](const char* a, const char* b) { return std::string(stemmer.stem(a)) == stemmer.stem(b); };
  EXPECT_TRUE(same("charged", "charge"));
  EXPECT_TRUE(same("particles", "particle"));
  EXPECT_TRUE(same("negatively", "negative"));
  EXPECT_TRUE(same("scattering", "scatters"));
  EXPECT_FALSE(same("electron", "electric"));
}

TEST(WordStemmer, WordsItCannotHandleComeBackAsTheyAre) {
  WordStemmer stemmer;
  EXPECT_EQ(stemmer.stem(""), "");
  EXPECT_EQ(stemmer.stem("is"), "is");      // two letters or fewer
  EXPECT_EQ(stemmer.stem("O'Neil"), "O'Neil");  // not lower-case a-z
  EXPECT_EQ(stemmer.stem("o'clock"), "o'clock");
  const std::string longWord(WordStemmer::kMaxWord + 1, 's');
  EXPECT_EQ(stemmer.stem(longWord), longWord);
  std::string longest;
  while (longest.size() + 2 < WordStemmer::kMaxWord) longest += "ab";
  EXPECT_EQ(stemmer.stem(longest + "s"), longest);
  // "ies" at the very start leaves one letter, which stays.
  EXPECT_EQ(stemmer.stem("ies"), "i");
}

}  // namespace
}  // namespace kea
