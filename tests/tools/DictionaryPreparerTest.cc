// The preparation of the English and WordNet builder input from small
// WordNet files and word lists: which lines come out, which words stand
// alone, and that every source word is accounted for in the report.
#include "kea-prepare/DictionaryPreparer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "builder/EnglishAlphabet.h"

namespace kea::prepare {
namespace {

constexpr const char* kNouns =
    "  1 This software and database is being provided to you, the LICENSEE, by  \n"
    "  2 Princeton University under the following license.  By obtaining, using  \n"
    "00000010 03 n 02 electron 0 negatron 0 000 | an elementary particle with negative charge  \n"
    "00000020 03 n 02 obelisk 0 dagger 1 000 | a character used in printing; \"see the | sign\"  \n"
    "00000030 03 n 01 24/7 0 000 | uptime is 24 hours a day 7 days a week  \n"
    "00000040 03 n 02 ten 0 10 0 000 | the cardinal number that is the sum of nine and one  \n"
    "00000050 03 n 01 yen 0 000 | the unit of currency in Japan; \xC2\xA5 or \xE5\x86\x86  \n"
    "this line is not a synset\n"
    "00000060 03 n 01 jack-o'-lantern 0 000 | lantern carved from a pumpkin\r\n";
constexpr const char* kAdjectives =
    "00000070 00 s 03 galore(ip) 0 galore(p) 1 in_large_quantity 0 000 | existing in abundance  \n";

struct Prepared {
  DictionaryPreparer preparer{englishAlphabetTable()};
  SourceReport nouns, adjectives, american, british;

  Prepared(const char* americanList, const char* britishList) {
    std::istringstream n(kNouns), a(kAdjectives), us(americanList), uk(britishList);
    preparer.addWordNet(n, nouns);
    preparer.addWordNet(a, adjectives);
    preparer.addWordList(us, american);
    preparer.addWordList(uk, british);
  }
  std::string wordNet() const {
    std::ostringstream out;
    preparer.writeWordNet(out);
    return out.str();
  }
  std::string english() const {
    std::ostringstream out;
    preparer.writeEnglish(out);
    return out.str();
  }
  // The drops of one kind, and how many a report gives.
  static std::size_t count(const SourceReport& report, DropReason reason) {
    return report.dropped[static_cast<std::size_t>(reason)];
  }
};

TEST(DictionaryPreparer, WritesOneLinePerSynsetAndReportsEverySynsetAndLemma) {
  const Prepared p("", "");
  EXPECT_EQ(p.wordNet(),
            "electron:negatron|noun: an elementary particle with negative charge\n"
            "obelisk:dagger|noun: a character used in printing; \"see the | sign\"\n"
            "ten|noun: the cardinal number that is the sum of nine and one\n"
            "jack-o'-lantern|noun: lantern carved from a pumpkin\n"
            "galore:in large quantity|adjective: existing in abundance\n");
  EXPECT_EQ(p.english(), p.wordNet());  // no list words
  const SourceReport& r = p.nouns;
  const auto count = Prepared::count;
  EXPECT_EQ(r.linesRead, 7u);      // the licence is not counted, the stray line is
  EXPECT_EQ(r.linesWritten, 4u);
  EXPECT_EQ(count(r, DropReason::kMalformedLine), 1u);
  EXPECT_EQ(count(r, DropReason::kNoHeadword), 1u);     // 24/7
  EXPECT_EQ(count(r, DropReason::kNotInCodePage), 1u);  // the yen's gloss
  EXPECT_EQ(r.headwordsRead, 9u);
  EXPECT_EQ(r.headwordsWritten, 6u);
  EXPECT_EQ(count(r, DropReason::kNoLetters), 2u);      // 24/7 and 10
  EXPECT_NE(r.firstDropped[static_cast<std::size_t>(DropReason::kNotInCodePage)].find("U+5186"), std::string::npos);

  // galore(ip) and galore(p) are one word once the markers are gone.
  const SourceReport& a = p.adjectives;
  EXPECT_EQ(std::make_tuple(a.headwordsRead, a.headwordsWritten, a.duplicates), std::make_tuple(3u, 2u, 1u));
}

TEST(DictionaryPreparer, ListWordsStandAloneUnlessASynsetNamesThem) {
  const Prepared p(
      "electron\n"
      "electron's\n"
      "Electron\n"
      "caf\xC3\xA9\n"
      "\n"
      "Nih\xC5\x8Dn\n"
      "toboggan\r\n"
      "electron's\n",
      "electron's\n"
      "colour\n"
      "galore\n");
  EXPECT_EQ(p.english(), p.wordNet() +
                             "electron's\n"
                             "Electron\n"  // case matters: no synset names it
                             "caf\xE9\n"
                             "toboggan\n"
                             "colour\n");

  // The empty line is no word.
  const SourceReport &us = p.american, &uk = p.british;
  EXPECT_EQ(std::make_tuple(us.linesRead, us.linesWritten, us.namedBySynset, us.duplicates),
            std::make_tuple(7u, 4u, 1u, 1u));
  EXPECT_EQ(Prepared::count(us, DropReason::kNotInCodePage), 1u);
  EXPECT_EQ(std::make_tuple(uk.linesWritten, uk.namedBySynset, uk.duplicates), std::make_tuple(1u, 1u, 1u));
  for (const SourceReport* r : {&us, &uk}) {
    EXPECT_EQ(r->linesRead, r->linesWritten + r->namedBySynset + r->duplicates + r->droppedTotal());
  }
  EXPECT_EQ(p.preparer.wordLineCount(), 5u);
  EXPECT_EQ(p.preparer.synsetLineCount(), 5u);
}

}  // namespace
}  // namespace kea::prepare
