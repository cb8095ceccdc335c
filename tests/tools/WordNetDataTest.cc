// Reading WordNet data lines: lemmas, markers, counts, pointers, frames and
// glosses, and rejecting lines whose fields do not add up.
#include "kea-prepare/WordNetData.h"

#include <gtest/gtest.h>

namespace kea::prepare {
namespace {

using Lemmas = std::vector<std::string>;

TEST(WordNetData, ReadsTypeLemmasAndGloss) {
  const struct {
    const char* line;
    char type;
    Lemmas lemmas;
    const char* gloss;
  } cases[] = {
      // 0b lemmas: read as decimal the count would stop at "boner".
      {"00074790 04 n 0b blunder 0 blooper 0 bloomer 0 bungle 0 pratfall 0 foul-up 0 fuckup 0 flub 0 botch 0 "
       "boner 0 boo-boo 0 001 @ 00070965 n 0000 | an embarrassing mistake",
       'n', {"blunder", "blooper", "bloomer", "bungle", "pratfall", "foul-up", "fuckup", "flub", "botch", "boner",
             "boo-boo"},
       "an embarrassing mistake"},
      // Lexical ids and adjective markers are skipped.
      {"00014358 00 s 03 abounding 0 galore(ip) 0 in_large_quantity(p) 4 001 & 00013887 a 0000 | existing in "
       "abundance; \"abounding confidence\"; \"whiskey galore\"  ",
       's', {"abounding", "galore", "in large quantity"},
       "existing in abundance; \"abounding confidence\"; \"whiskey galore\""},
      {"00002325 29 v 01 respire 1 005 $ 00001740 v 0000 @ 02108395 v 0000 + 03110323 a 0101 + 00831191 n 0103 "
       "+ 00830811 n 0101 01 + 02 00 | undergo the biomedical and metabolic processes of respiration  ",
       'v', {"respire"}, "undergo the biomedical and metabolic processes of respiration"},
      // The gloss is everything after the first bar.
      {"00000001 03 n 01 pipe 0 000 | the sign | ; also a tube: \"a | b\"; c \\ d", 'n', {"pipe"},
       "the sign | ; also a tube: \"a | b\"; c \\ d"},
      {"00000001 03 n 01 pipe 0 000", 'n', {"pipe"}, ""},
      {"00000001 03 n 01 pipe 0 000 | a tube\r", 'n', {"pipe"}, "a tube"},
  };
  for (const auto& c : cases) {
    WordNetSynset synset;
    std::string problem;
    ASSERT_EQ(parseWordNetLine(c.line, synset, &problem), WordNetLineKind::kSynset) << problem << "\n" << c.line;
    EXPECT_EQ(synset.type, c.type) << c.line;
    EXPECT_EQ(synset.lemmas, c.lemmas) << c.line;
    EXPECT_EQ(synset.gloss, c.gloss) << c.line;
  }
}

TEST(WordNetData, SkipsTheLicenceAndRejectsLinesWhoseFieldsDoNotAddUp) {
  WordNetSynset synset;
  const char* licence = "  1 This software and database is being provided to you, the LICENSEE, by  ";
  for (const char* skipped : {licence, "", "\r"}) {
    EXPECT_EQ(parseWordNetLine(skipped, synset), WordNetLineKind::kSkipped) << skipped;
  }
  const char* lines[] = {
      "garbage",
      "00000001 03 n",
      "00000001 03 q 01 word 0 000 | unknown type",
      "00000001 03 n 00 000 | no lemmas",
      "00000001 03 n zz word 0 000 | count not hexadecimal",
      "00000001 03 n 03 word 0 other 0 000 | more lemmas counted than given",
      "00000001 03 n 01 word | no lexical id or pointer count",
      "00000001 03 n 01 word 0 | no pointer count",
      "00000001 03 n 01 word 0 002 @ 00000002 n 0000 | fewer pointers than counted",
      "00000001 03 n 01 word 0 001 @ 00000002 noun 0000 | pointer type too long",
      "00000001 03 n 01 word 0 000 extra | text before the gloss",
      "00000001 03 v 01 word 0 000 02 + 01 00 | fewer frames than counted",
      "00000001 03 n 01 word 0 -01 | negative pointer count",
      "00000001 03 n 7fffffffffffffff word 0 000 | absurd count",
      "00000001 03 n 01 word 0 99999999999999999999999 | absurd pointer count",
  };
  for (const char* line : lines) {
    std::string problem;
    EXPECT_EQ(parseWordNetLine(line, synset, &problem), WordNetLineKind::kMalformed) << line;
    EXPECT_FALSE(problem.empty()) << line;
  }
}

}  // namespace
}  // namespace kea::prepare
