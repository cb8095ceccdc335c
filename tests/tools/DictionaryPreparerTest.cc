// The preparation of builder input from WordNet files: the lines that come
// out, and that every dropped synset and headword is counted by its reason.
#include "kea-prepare/DictionaryPreparer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "builder/EnglishAlphabet.h"

namespace kea::prepare {
namespace {

TEST(DictionaryPreparer, CountsAndReportsDroppedEntries) {
  std::istringstream wordNet(
      "  1 This software and database is being provided to you, the LICENSEE, by  \n"
      "00000010 03 n 02 electron 0 negatron 0 000 | an elementary particle with negative charge  \n"
      "00000030 03 n 01 24/7 0 000 | uptime is 24 hours a day 7 days a week  \n"
      "00000050 03 n 01 yen 0 000 | the unit of currency in Japan; \xC2\xA5 or \xE5\x86\x86  \n"
      "this line is not a synset\n"
      "00000070 00 s 03 galore(ip) 0 galore(p) 1 in_large_quantity 0 000 | existing in abundance  \n");
  DictionaryPreparer preparer{englishAlphabetTable()};
  SourceReport r;
  preparer.addWordNet(wordNet, r);
  std::ostringstream out;
  preparer.writeWordNet(out);
  EXPECT_EQ(out.str(),
            "electron:negatron|noun: an elementary particle with negative charge\n"
            "galore:in large quantity|adjective: existing in abundance\n");
  const auto count = [&r](DropReason reason) { return r.dropped[static_cast<std::size_t>(reason)]; };
  // The licence is not counted, the stray line is; galore(ip) and galore(p) are one word.
  EXPECT_EQ(std::make_tuple(r.linesRead, r.linesWritten, r.headwordsRead, r.headwordsWritten, r.duplicates),
            std::make_tuple(5u, 2u, 7u, 4u, 1u));
  EXPECT_EQ(std::make_tuple(count(DropReason::kMalformedLine), count(DropReason::kNoHeadword),
                            count(DropReason::kNotInCodePage), count(DropReason::kNoLetters)),
            std::make_tuple(1u, 1u, 1u, 1u));
  EXPECT_NE(r.firstDropped[static_cast<std::size_t>(DropReason::kNotInCodePage)].find("U+5186"), std::string::npos);
}

}  // namespace
}  // namespace kea::prepare
