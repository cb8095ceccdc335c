// Definition records and the pointer tables that lead to them, on
// dictionaries written by the project's builder and checked against the
// deliberately simple test reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <random>
#include <set>

#include "dictionary/KkdFormat.h"
#include "dictionary/WordListDecoder.h"
#include "fulltext/DefinitionRetriever.h"
#include "fulltext/IndexedDefinitionSearch.h"
#include "pattern/WordCursor.h"
#include "support/KkdTestReader.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea::test {
namespace {

struct Built {
  TempDir dir;
  std::string path;
  DictionaryList::Handle list;

  explicit Built(const std::vector<std::string>& lines) {
    path = buildTestDictionary(dir, lines);
    list = DictionaryList::make(path);
  }
  DictionaryList::Dictionary& dictionary() const { return *list->dictionary(0); }
};

DecodedEntry entryOf(const Built& b, const std::string& text) {
  b.dictionary().refresh();  // after a test changed the file
  const int length = static_cast<int>(text.size());
  for (const DecodedEntry& e : decodeWordList(b.dictionary(), length)) {
    if (e.text == text) return e;
  }
  ADD_FAILURE() << "no entry " << text;
  return {};
}

int modeOf(const DecodedEntry& e) {
  return e.section == 1 ? kkd::kGroupedTableMode : kkd::kDirectTableMode;
}

std::vector<std::uint32_t> offsetsOf(const Built& b, const std::string& text, bool withOccurrences,
                                     bool* result = nullptr) {
  const DecodedEntry e = entryOf(b, text);
  std::vector<std::uint32_t> out;
  const bool r =
      definitionOffsets(*b.list, 0, withOccurrences, static_cast<int>(text.size()), e.definitionIndex, modeOf(e), out);
  if (result != nullptr) *result = r;
  return out;
}

Definition readAt(const Built& b, std::uint32_t offset) {
  DefinitionRetriever retriever(*b.list, 0);
  Definition d;
  EXPECT_TRUE(retriever.read(offset, d)) << offset;
  return d;
}

// Overwrites one 32-bit value of a file.
void patchValue(const std::string& path, std::uint32_t offset, std::uint32_t value) {
  std::string bytes = readFile(path);
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  writeFile(path, bytes);
}

// Where the group of definition number `index` starts in the grouped pointer table.
std::uint32_t groupStart(const KkdFile& f, int length, int index) {
  std::uint32_t at = f.groupTable[static_cast<std::size_t>(length)];
  for (int g = 0; g < index; ++g) {
    while ((readValues(f, at, 1)[0] & kkd::kFinalBit) == 0) at += 4;
    at += 4;
  }
  return at;
}

TEST(DefinitionRetriever, FinalValues) {
  // pear occurs in no definition text: its group is its one definition
  // carrying bit 31. fig's group is its record, then its occurrence list.
  Built b({"pear|another fruit", "fig|a fig tree", "kiwi|a bird"});
  const KkdFile f = readKkd(b.path);
  const auto pearGroup = readGroups(f, 4).at(static_cast<std::size_t>(entryOf(b, "pear").definitionIndex));
  ASSERT_EQ(pearGroup.size(), 1u);
  // A final value of all bits set says "no occurrence list": the lookup says so too.
  const auto indexAnswers = [&b](const char* word) {
    MatchEngineSet set;
    EXPECT_EQ(set.parseExpression(b.dictionary().alphabet(), word, 1, 100), PatternStatus::Valid);
    return IndexedDefinitionSearch(*b.list, 0, set).answers();
  };
  EXPECT_TRUE(indexAnswers("fig"));
  const std::uint32_t at = groupStart(f, 3, entryOf(b, "fig").definitionIndex);
  ASSERT_EQ(readValues(f, at, 1)[0] & kkd::kFinalBit, 0u);
  patchValue(b.path, at + 4, 0xFFFFFFFFu);
  for (const bool withOccurrences : {false, true}) {
    bool result = false;
    EXPECT_EQ(offsetsOf(b, "pear", withOccurrences, &result),
              std::vector<std::uint32_t>{pearGroup[0] & kkd::kOffsetMask});
    EXPECT_TRUE(result);
    const auto offsets = offsetsOf(b, "fig", withOccurrences, &result);
    EXPECT_FALSE(result);
    ASSERT_EQ(offsets.size(), 1u);
    EXPECT_EQ(readAt(b, offsets[0]).body, "a fig tree");
  }
  // Nor can the full-text index answer for fig any more: the reading search does.
  EXPECT_FALSE(indexAnswers("fig"));
  EXPECT_TRUE(indexAnswers("bird"));
}

// Many entries, so that the grouped table is longer than the chunk its index is built from.
std::vector<std::string> manyLines() {
  std::mt19937 random(11);
  std::vector<std::string> lines = {"the|a word before nouns", "bank|a river side", "bank|a money house",
                                    "long;lasting|the thing that lasts long"};
  const std::string letters = "abcdefghijklmnopqrstuvwxyz";
  std::set<std::string> used;
  while (used.size() < 4500) {
    std::string w;
    for (int i = 0; i < 5; ++i) w.push_back(letters[random() % 26]);
    used.insert(w);
  }
  const std::vector<std::string> vocabulary = {"river", "side", "money", "house", "long", "thing", "sweet", "bank"};
  int n = 0;
  for (const std::string& w : used) {
    std::string line = w + "|the " + vocabulary[random() % vocabulary.size()];
    if (n % 7 == 0) line += " bank " + vocabulary[random() % vocabulary.size()];
    if (n % 3 == 0) line = ";" + line;  // group one: indexed by no list
    lines.push_back(line);
    ++n;
  }
  return lines;
}

TEST(DefinitionRetriever, GroupIndexLookupInRandomOrderAgreesWithTheSimpleReader) {
  Built b(manyLines());
  const KkdFile f = readKkd(b.path);
  // First the group index of length 5 is read only as far as lookups in a
  // random order need it (the last group among the first).
  const auto groups5 = readGroups(f, 5);
  ASSERT_GT(f.groupEntries[5], 4096u);  // more than one chunk of the walk
  const auto ownOf = [&](std::size_t k) {
    std::vector<std::uint32_t> own, got;
    for (const std::uint32_t v : groups5.at(k)) {
      if ((v & kkd::kOffsetMask) < f.definitionsEnd) own.push_back(v & kkd::kOffsetMask);
    }
    definitionOffsets(*b.list, 0, false, 5, static_cast<int>(k), kkd::kGroupedTableMode, got);
    EXPECT_EQ(got, own) << k;
  };
  const std::vector<std::uint32_t>* cache = b.dictionary().groupIndexCache(5);
  ownOf(0);
  EXPECT_GT(cache->size(), 0u);
  EXPECT_LT(cache->size(), groups5.size());
  std::vector<std::size_t> order(groups5.size() - 1);
  std::iota(order.begin(), order.end(), 1);
  std::shuffle(order.begin(), order.end(), std::mt19937(5));
  std::swap(order[0], *std::max_element(order.begin(), order.end()));
  for (const std::size_t k : order) ownOf(k);
  EXPECT_EQ(cache->size(), groups5.size());
}

// A file cut short opens as damaged; one cut while a lookup holds it reads
// up to the cut and no further.
TEST(DefinitionRetriever, RecordCutShortYieldsWhatWasRead) {
  Built b({"apple;pomme|a round fruit of the rose family"});
  const std::uint32_t offset = offsetsOf(b, "apple", false).at(0);
  const std::string whole = readFile(b.path);
  // Pair count 1 byte, "apple" 5 + 1, "" 0 + 1, "pomme" 5 + 1, "" + 1, then the body.
  for (const auto& [keep, expected] : {std::pair<std::size_t, std::string>{1, "|"}, {4, "app,|"}, {10, "apple,po,|"},
                                       {19, "apple,pomme,|a ro"}}) {
    writeFile(b.path, whole);
    const DefinitionRetriever retriever(*b.list, 0);
    std::filesystem::resize_file(b.path, offset + keep);
    Definition d;
    ASSERT_TRUE(retriever.read(offset, d)) << keep;
    std::string got;
    for (const std::string& first : d.firstParts) got += first + ",";
    EXPECT_EQ(got + "|" + d.body, expected) << keep;
    EXPECT_EQ(d.secondParts, std::vector<std::string>(d.firstParts.size(), "")) << keep;
  }
  // Nothing of the record in the file: it is not read at all.
  writeFile(b.path, whole);
  const DefinitionRetriever retriever(*b.list, 0);
  std::filesystem::resize_file(b.path, offset);
  Definition d;
  d.body = "left over";
  EXPECT_FALSE(retriever.read(offset, d));
  EXPECT_EQ(d.body, "left over");
  // Opened afresh, the cut file is damaged.
  EXPECT_FALSE(b.list->refresh(0));
}

TEST(DefinitionRetriever, PointersOutsideTheRecordsAreDropped) {
  Built b({"fig|a fig tree", "date|a fig palm", "fig|a small thing"});
  const KkdFile f = readKkd(b.path);
  const DecodedEntry fig = entryOf(b, "fig");
  const auto good = offsetsOf(b, "fig", true);
  ASSERT_EQ(good.size(), 4u);
  const std::uint32_t at = groupStart(f, 3, fig.definitionIndex);
  const std::uint32_t list = readValues(f, at + 8, 1)[0] & kkd::kOffsetMask;
  const std::uint32_t size = static_cast<std::uint32_t>(f.bytes.size());

  // An own definition pointing past the file, one into the header, and an
  // occurrence list whose second entry is garbage (and has no end).
  patchValue(b.path, at, size + 100);
  patchValue(b.path, at + 4, 12);
  patchValue(b.path, list + 4, 0x00ABCDEFu);
  std::vector<std::uint32_t> got;
  EXPECT_TRUE(definitionOffsets(*b.list, 0, true, 3, fig.definitionIndex, kkd::kGroupedTableMode, got));
  EXPECT_EQ(got, (std::vector<std::uint32_t>{good[2]}));

  // Reading at offsets that are no record start inside the records.
  DefinitionRetriever retriever(*b.list, 0);
  Definition d;
  EXPECT_FALSE(retriever.read(12, d));
  EXPECT_FALSE(retriever.read(size + 100, d));
  EXPECT_FALSE(retriever.read(f.definitionsEnd, d));

  // A definition number beyond the groups, and a negative one.
  got.clear();
  EXPECT_TRUE(definitionOffsets(*b.list, 0, true, 3, 999, kkd::kGroupedTableMode, got));
  EXPECT_TRUE(definitionOffsets(*b.list, 0, true, 3, -1, kkd::kGroupedTableMode, got));
  EXPECT_TRUE(definitionOffsets(*b.list, 0, true, 3, 999, kkd::kDirectTableMode, got));
  EXPECT_TRUE(got.empty());

  // A missing dictionary, or one the list does not have, gives nothing.
  auto missing = DictionaryList::make(b.dir.file("absent.kkd"));
  EXPECT_TRUE(definitionOffsets(*missing, 0, true, 3, 0, kkd::kGroupedTableMode, got));
  EXPECT_TRUE(definitionOffsets(*missing, 5, true, 3, 0, kkd::kGroupedTableMode, got));
  EXPECT_TRUE(got.empty());
  platform::FileStamp stamp{7, 7};
  DefinitionRetriever absent(*missing, 0, &stamp);
  EXPECT_FALSE(absent.isOpen());
  EXPECT_FALSE(absent.read(100, d));
}

}  // namespace
}  // namespace kea::test
