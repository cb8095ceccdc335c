// The meaning index from meaning lines to ranks: a small dictionary built
// with the project's builder, its index written beside it, then asked.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "builder/ScoreCompanions.h"
#include "dictionary/DictionaryList.h"
#include "dictionary/EntryScores.h"
#include "dictionary/MeaningIndex.h"
#include "dictionary/WordListDecoder.h"
#include "meaning/MeaningDocuments.h"
#include "meaning/MeaningQuery.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea {
namespace {

const std::vector<std::string> kEntries = {"electron", "electrons", "proton", "neutron", "particle",
                                           "elk",      "strew",     "strewing", "tail end"};
const char* const kMeanings =
    "# documents of a test\n"
    "electron|electrons\tparticle:1 negative:1 charge:1 elementary:1 lepton:0.7\n"
    "proton\tparticle:1 positive:1 charge:1 nucleus:1\n"
    "neutron\tparticle:1 neutral:1 nucleus:1 no-charge:0.3\n"
    "particle\tsmall:1 piece:1 charged:0.2\n"
    "\n"
    "strew|strewing\tscatter:1 spread:1\n"
    "tail end\tlast:1 part:1\n";

// Every entry's place, by text.
std::map<std::string, std::pair<int, std::uint32_t>> placesOf(const DictionaryList::Dictionary& dictionary) {
  std::map<std::string, std::pair<int, std::uint32_t>> places;
  for (int length = 1; length < dictionary.lengthSlots(); ++length) {
    std::uint32_t ordinal = 0;
    for (const DecodedEntry& entry : decodeWordList(dictionary, length)) {
      if (entry.section == 1) places[entry.text] = {length, ordinal++};
    }
  }
  return places;
}

class MeaningIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = test::buildTestDictionary(dir_, kEntries);
    MeaningDocuments documents;
    std::string error;
    ASSERT_TRUE(documents.addLines(kMeanings, &error)) << error;
    std::size_t described = 0;
    ASSERT_TRUE(writeMeaningCompanion(path_, documents, &described, &error)) << error;
    EXPECT_EQ(described, 8u);  // all but elk
    dictionary_ = std::make_unique<DictionaryList::Dictionary>(path_);
    dictionary_->open(true);
    ASSERT_TRUE(dictionary_->isOpen());
    places_ = placesOf(*dictionary_);
  }

  double relevance(const MeaningQuery& query, const std::string& entry) {
    const auto [length, ordinal] = places_.at(entry);
    return query.relevance(length, ordinal);
  }

  test::TempDir dir_;
  std::string path_;
  std::unique_ptr<DictionaryList::Dictionary> dictionary_;
  std::map<std::string, std::pair<int, std::uint32_t>> places_;
};

TEST_F(MeaningIndexTest, TheEntryTheMeaningDescribesBestComesFirstInEveryForm) {
  const auto index = dictionary_->meaningIndex();
  ASSERT_NE(index, nullptr);
  MeaningQuery query(index, "negatively charged particle");
  EXPECT_TRUE(query.hasIndex());
  EXPECT_EQ(query.knownTerms(), 3u);
  const double electron = relevance(query, "electron");
  EXPECT_GT(electron, relevance(query, "proton"));
  EXPECT_GT(relevance(query, "proton"), relevance(query, "neutron"));
  EXPECT_GT(relevance(query, "neutron"), 0.0);
  EXPECT_EQ(relevance(query, "electrons"), electron);  // a form shares its lemma's document
  EXPECT_EQ(relevance(query, "elk"), 0.0);              // no document
  EXPECT_EQ(relevance(query, "strew"), 0.0);            // a document without the words

  MeaningQuery inflected(index, "scattering");
  EXPECT_GT(relevance(inflected, "strewing"), 0.0);
  EXPECT_EQ(relevance(inflected, "strewing"), relevance(inflected, "strew"));
}

TEST_F(MeaningIndexTest, MatchedWordsSayWhyAnEntryRankedAsTheMeaningSpellsThem) {
  MeaningQuery query(dictionary_->meaningIndex(), "Negatively CHARGED particle, not a neutron");
  const auto [length, ordinal] = places_.at("electron");
  EXPECT_EQ(query.matchedWords(length, ordinal), (std::vector<std::string>{"negatively", "charged", "particle"}));
  const auto [elkLength, elkOrdinal] = places_.at("elk");
  EXPECT_TRUE(query.matchedWords(elkLength, elkOrdinal).empty());
}

TEST_F(MeaningIndexTest, RanksPutDescribedEntriesFirstAndTheMeaningsOwnWordsDown) {
  MeaningQuery query(dictionary_->meaningIndex(), "charged particle");
  const double particle = relevance(query, "particle");
  ASSERT_GT(particle, 0.0);
  // The same relevance ranks lower for an entry made of the meaning's words.
  EXPECT_LT(query.rank("particle", particle, kNoScore), query.rank("neutron", particle, kNoScore));
  // Any described entry ranks above any undescribed one, however common.
  EXPECT_GT(query.rank("neutron", 0.1, 0), query.rank("elk", 0.0, kMaxScore));
  // Between equally relevant entries, the commoner ranks higher.
  EXPECT_GT(query.rank("proton", 1.0, 80), query.rank("neutron", 1.0, 20));
  EXPECT_GT(query.rank("proton", 1.0, 20), query.rank("neutron", 1.0, kNoScore));
}

TEST_F(MeaningIndexTest, AMeaningOfUnknownOrNoWordsRanksNothing) {
  MeaningQuery unknown(dictionary_->meaningIndex(), "zyzzyva");
  EXPECT_TRUE(unknown.hasTerms());
  EXPECT_EQ(unknown.knownTerms(), 0u);
  EXPECT_EQ(relevance(unknown, "electron"), 0.0);
  MeaningQuery empty(dictionary_->meaningIndex(), "of the");
  EXPECT_FALSE(empty.hasTerms());
  MeaningQuery noIndex(nullptr, "charged particle");
  EXPECT_FALSE(noIndex.hasIndex());
  EXPECT_EQ(noIndex.relevance(8, 0), 0.0);
}

TEST_F(MeaningIndexTest, AnyDamagedByteCostsAtMostWhatItsSectionHolds) {
  // The relevance of every entry for a meaning that reaches every document.
  const char* meaning = "particle charge nucleus scatter last small";
  const auto all = [&](const std::shared_ptr<const MeaningIndex>& index) {
    MeaningQuery query(index, meaning);
    std::map<std::string, double> out;
    for (const auto& [text, place] : places_) out[text] = query.relevance(place.first, place.second);
    return out;
  };
  const std::map<std::string, double> whole = all(dictionary_->meaningIndex());
  const std::string file = companionPath(path_, MeaningIndex::kExtension);
  const std::string bytes = test::readFile(file);
  ASSERT_GT(bytes.size(), 100u);
  int loaded = 0;
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    std::string damaged = bytes;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x24);
    test::writeFile(file, damaged);
    DictionaryList::Dictionary dictionary(path_);
    dictionary.open(true);
    const auto index = dictionary.meaningIndex();
    if (!index) continue;
    ++loaded;
    for (const auto& [text, value] : all(index)) {
      EXPECT_TRUE(value == whole.at(text) || value == 0.0) << "byte " << at << ", " << text << ": " << value;
    }
  }
  // Only the frame's closing checksum, which this reader leaves to whole-
  // file checks, and bytes inside sections still leave an index.
  EXPECT_GT(loaded, 0);
  // A cut file is no index at all.
  test::writeFile(file, bytes.substr(0, bytes.size() - 1));
  DictionaryList::Dictionary cut(path_);
  cut.open(true);
  EXPECT_EQ(cut.meaningIndex(), nullptr);
}

TEST_F(MeaningIndexTest, AnIndexLeftBesideARebuiltDictionaryIsIgnored) {
  const std::string file = companionPath(path_, MeaningIndex::kExtension);
  const std::string old = test::readFile(file);
  dictionary_.reset();
  test::buildTestDictionary(dir_, {"electron", "proton", "quark"});
  test::writeFile(file, old);
  DictionaryList::Dictionary rebuilt(path_);
  rebuilt.open(true);
  EXPECT_EQ(rebuilt.meaningIndex(), nullptr);
}

TEST(MeaningDocuments, EachLineIsFormsATabAndWeightedWordsOrItIsRefusedByNumber) {
  MeaningDocuments documents;
  std::string error;
  ASSERT_TRUE(documents.addLines("a|b\tone:1 two:0.5\n# note\n\nc\tthree:2\r\n", &error)) << error;
  EXPECT_EQ(documents.size(), 2u);
  ASSERT_NE(documents.documentsOf("b"), nullptr);
  EXPECT_EQ(*documents.documentsOf("b"), (std::vector<std::uint32_t>{0}));
  EXPECT_EQ(documents.documentsOf("one"), nullptr);
  for (const char* bad : {"no tab here", "x\tword", "x\tword:", "x\tword:-1", "x\tword:abc", "x\t:1", "|\tword:1",
                          "x\tword:1e9"}) {
    MeaningDocuments more;
    EXPECT_FALSE(more.addLines(std::string("ok\tfine:1\n") + bad + "\n", &error)) << bad;
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
  }
}

TEST(MeaningDocuments, RareWordsAndShortDocumentsWeighMore) {
  MeaningDocuments documents;
  std::string error;
  ASSERT_TRUE(documents.addLines("a\tcommon:1 rare:1\nb\tcommon:1\nc\tcommon:1 filler:1 more:1 words:1\n", &error));
  const MeaningIndex::Content content = documents.content({});
  std::map<std::string, double> a, b, c;
  for (const auto& [term, weight] : content.documents[0]) a[content.terms[term]] = weight;
  for (const auto& [term, weight] : content.documents[1]) b[content.terms[term]] = weight;
  for (const auto& [term, weight] : content.documents[2]) c[content.terms[term]] = weight;
  EXPECT_GT(a.at("rare"), a.at("common"));
  EXPECT_GT(b.at("common"), c.at("common"));
}

}  // namespace
}  // namespace kea
