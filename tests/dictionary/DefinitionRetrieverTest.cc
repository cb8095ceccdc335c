// Definition records and the pointer tables that lead to them, on
// dictionaries written by the project's builder and checked against the
// deliberately simple test reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "dictionary/KKDictionaryDefinitionRetriever.h"
#include "dictionary/WordListDecoder.h"
#include "pattern/InputEngine.h"
#include "support/KkdTestReader.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea::test {
namespace {

struct Built {
  TempDir dir;
  std::string path;
  KKDictionaryList::Handle list;

  explicit Built(const std::vector<std::string>& lines) {
    path = buildTestDictionary(dir, lines);
    list = KKDictionaryList::make(path);
  }
  KKDictionaryList::Dictionary& dictionary() const { return *list->dictionary(0); }
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
  return e.section == 1 ? InputEngine::kGroupedTableMode : InputEngine::kDirectTableMode;
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
  KKDictionaryDefinitionRetriever retriever(*b.list, 0);
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

TEST(DefinitionRetriever, ReadsPairsAndBody) {
  Built b({"apple;pomme|a fruit", "pear+(tree)+ian|another fruit", "quince"});
  const auto apple = offsetsOf(b, "apple", false);
  ASSERT_EQ(apple.size(), 1u);
  EXPECT_EQ(offsetsOf(b, "pomme", false), apple);  // both headwords of the line own its record
  const Definition d = readAt(b, apple[0]);
  EXPECT_EQ(d.dictionaryPath, b.path);
  EXPECT_EQ(d.offset, apple[0]);
  EXPECT_EQ(d.firstParts, (std::vector<std::string>{"apple", "pomme"}));
  EXPECT_EQ(d.secondParts, (std::vector<std::string>{"", ""}));
  EXPECT_EQ(d.body, "a fruit");

  // The annotation is left out of the pair; the tail is its second string.
  const Definition pear = readAt(b, offsetsOf(b, "pear", false).at(0));
  EXPECT_EQ(pear.firstParts, std::vector<std::string>{"pear"});
  EXPECT_EQ(pear.secondParts, std::vector<std::string>{"ian"});

  // An entry without a definition has no group.
  EXPECT_EQ(entryOf(b, "quince").definitionIndex, -1);
}

TEST(DefinitionRetriever, GroupOneRecordsCarryNoPairs) {
  Built b({";plum|a stone fruit", "cherry|a small fruit"});
  const auto plum = offsetsOf(b, "plum", false);
  ASSERT_EQ(plum.size(), 1u);
  EXPECT_LT(plum[0], b.dictionary().searchableStart());
  const Definition d = readAt(b, plum[0]);
  EXPECT_TRUE(d.firstParts.empty());
  EXPECT_EQ(d.body, "a stone fruit");
}

TEST(DefinitionRetriever, GroupOfASingleFinalValue) {
  // pear occurs in no definition text: its group is its one definition
  // carrying bit 31.
  Built b({"pear|another fruit", "fig|a fruit"});
  const KkdFile f = readKkd(b.path);
  const auto groups = readGroups(f, 4);
  const DecodedEntry pear = entryOf(b, "pear");
  ASSERT_EQ(groups.at(static_cast<std::size_t>(pear.definitionIndex)).size(), 1u);
  const std::uint32_t only = groups[static_cast<std::size_t>(pear.definitionIndex)][0] & kkd::kOffsetMask;

  for (const bool withOccurrences : {false, true}) {
    bool result = false;
    EXPECT_EQ(offsetsOf(b, "pear", withOccurrences, &result), std::vector<std::uint32_t>{only});
    EXPECT_TRUE(result);
  }
}

TEST(DefinitionRetriever, OwnDefinitionsThenOccurrences) {
  Built b({"fig|a fig tree", "date|the fruit of a palm like a fig", "fig|a small thing"});
  const auto own = offsetsOf(b, "fig", false);
  ASSERT_EQ(own.size(), 2u);
  bool result = false;
  const auto all = offsetsOf(b, "fig", true, &result);
  EXPECT_TRUE(result);
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(std::vector<std::uint32_t>(all.begin(), all.begin() + 2), own);
  // The occurrences: the two records whose text holds "fig", in file order.
  EXPECT_EQ(readAt(b, all[2]).body, "a fig tree");
  EXPECT_EQ(readAt(b, all[3]).body, "the fruit of a palm like a fig");

  // "tree" is no headword: it is an index word of section 2, found through
  // the direct table.
  const DecodedEntry tree = entryOf(b, "tree");
  EXPECT_EQ(tree.section, 2);
  const auto treeOffsets = offsetsOf(b, "tree", true);
  ASSERT_EQ(treeOffsets.size(), 1u);
  EXPECT_EQ(treeOffsets[0], all[2]);
  EXPECT_TRUE(offsetsOf(b, "tree", false).empty());
}

TEST(DefinitionRetriever, FinalValueWithoutOccurrenceList) {
  Built b({"fig|a fig tree", "kiwi|a bird"});
  const KkdFile f = readKkd(b.path);
  const DecodedEntry fig = entryOf(b, "fig");
  // fig's group: its own record, then its occurrence list's offset as the
  // final value. Make the final value say "no occurrence list".
  std::uint32_t at = f.groupTable[3];
  for (int g = 0; g < fig.definitionIndex; ++g) {
    while ((readValues(f, at, 1)[0] & kkd::kFinalBit) == 0) at += 4;
    at += 4;
  }
  ASSERT_EQ(readValues(f, at, 1)[0] & kkd::kFinalBit, 0u);
  patchValue(b.path, at + 4, 0xFFFFFFFFu);

  for (const bool withOccurrences : {false, true}) {
    bool result = true;
    const auto offsets = offsetsOf(b, "fig", withOccurrences, &result);
    EXPECT_FALSE(result);
    ASSERT_EQ(offsets.size(), 1u);
    EXPECT_EQ(readAt(b, offsets[0]).body, "a fig tree");
  }
}

// Many entries, groups and lists longer than one block of 128 entries, and
// a grouped table longer than the chunk its index is built from.
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

TEST(DefinitionRetriever, PointerLookupAgreesWithTheSimpleReader) {
  Built b(manyLines());
  const KkdFile f = readKkd(b.path);
  const std::uint32_t d0 = f.definitionsStart, d2 = f.definitionsEnd;
  std::size_t longestList = 0;
  for (int round = 0; round < 2; ++round) {  // the second round runs on the group index
    for (int length = 1; length < f.lengthSlots; ++length) {
      const auto groups = readGroups(f, length);
      for (const DecodedEntry& e : decodeWordList(b.dictionary(), length)) {
        if (e.definitionIndex < 0) continue;
        std::vector<std::uint32_t> expected;
        std::uint32_t final = 0;
        if (e.section == 1) {
          const auto& group = groups.at(static_cast<std::size_t>(e.definitionIndex));
          expected.assign(group.begin(), group.end() - 1);
          final = group.back() & kkd::kOffsetMask;
        } else {
          final = readValues(f, f.directTable[static_cast<std::size_t>(length)] + 4u * e.definitionIndex, 1)[0];
        }
        if (final >= d0 && final < d2) {
          expected.push_back(final);
          final = 0;
        }
        if (final != 0 && final != kkd::kNoOccurrenceList) {
          for (const std::uint32_t v : readOccurrenceList(f, final)) expected.push_back(v & kkd::kOffsetMask);
        }
        std::vector<std::uint32_t> got;
        const bool result = definitionOffsets(*b.list, 0, true, length, e.definitionIndex, modeOf(e), got);
        ASSERT_EQ(got, expected) << e.text << " round " << round;
        EXPECT_EQ(result, final != kkd::kNoOccurrenceList) << e.text;
        longestList = std::max(longestList, got.size());
      }
      if (!groups.empty()) {
        EXPECT_EQ(b.dictionary().groupIndexCache(length)->size(), groups.size()) << length;
      }
    }
  }
  EXPECT_GT(longestList, 2 * DefinitionPointers::kBlockEntries);
  EXPECT_GT(f.groupEntries[5], 4096u);
}

TEST(DefinitionRetriever, TheGroupIndexIsReadAsFarAsLookupsNeedInAnyOrder) {
  Built b(manyLines());
  const KkdFile f = readKkd(b.path);
  constexpr int kLength = 5;
  const auto groups = readGroups(f, kLength);
  ASSERT_GT(f.groupEntries[kLength], 4096u);  // more than one chunk of the walk
  std::vector<int> indices;
  for (const DecodedEntry& e : decodeWordList(b.dictionary(), kLength)) {
    if (e.section == 1 && e.definitionIndex >= 0) indices.push_back(e.definitionIndex);
  }
  ASSERT_EQ(indices.size(), groups.size());
  const auto ownOffsets = [&](int k) {
    const auto& group = groups.at(static_cast<std::size_t>(k));
    std::vector<std::uint32_t> expected;
    for (const std::uint32_t v : group) {
      const std::uint32_t offset = v & kkd::kOffsetMask;
      if (offset >= f.definitionsStart && offset < f.definitionsEnd) expected.push_back(offset);
    }
    return expected;
  };
  const auto lookUp = [&](int k) {
    std::vector<std::uint32_t> got;
    definitionOffsets(*b.list, 0, false, kLength, k, InputEngine::kGroupedTableMode, got);
    return got;
  };
  std::vector<std::uint32_t>* cache = b.dictionary().groupIndexCache(kLength);
  // The first group needs only the first chunk of the table.
  EXPECT_EQ(lookUp(indices.front()), ownOffsets(indices.front()));
  EXPECT_GT(cache->size(), 0u);
  EXPECT_LT(cache->size(), groups.size());
  // Then the others in a random order, the last one among the first.
  std::mt19937 random(5);
  std::shuffle(indices.begin() + 1, indices.end(), random);
  std::swap(indices[1], *std::max_element(indices.begin(), indices.end()));
  for (const int k : indices) ASSERT_EQ(lookUp(k), ownOffsets(k)) << k;
  EXPECT_EQ(cache->size(), groups.size());
  // A group the table does not have gives nothing, also with the index complete.
  EXPECT_TRUE(lookUp(static_cast<int>(groups.size())).empty());
  EXPECT_EQ(cache->size(), groups.size());
}

TEST(DefinitionRetriever, RecordCutShortYieldsWhatWasRead) {
  Built b({"apple;pomme|a round fruit of the rose family"});
  const std::uint32_t offset = offsetsOf(b, "apple", false).at(0);
  const std::string whole = readFile(b.path);
  // Pair count 1 byte, "apple" 5 + 1, "" 0 + 1, "pomme" 5 + 1, "" + 1, then the body.
  const struct {
    std::size_t keep;
    std::vector<std::string> first, second;
    std::string body;
  } cuts[] = {
      {0, {}, {}, ""},
      {1, {}, {}, ""},
      {4, {"app"}, {""}, ""},
      {7, {"apple"}, {""}, ""},
      {10, {"apple", "po"}, {"", ""}, ""},
      {19, {"apple", "pomme"}, {"", ""}, "a ro"},
  };
  for (const auto& cut : cuts) {
    writeFile(b.path, whole.substr(0, offset + cut.keep));
    KKDictionaryDefinitionRetriever retriever(*b.list, 0);
    Definition d;
    d.body = "left over";
    if (cut.keep == 0) {
      // Nothing of the record is in the file: it is not read at all.
      EXPECT_FALSE(retriever.read(offset, d));
      EXPECT_EQ(d.body, "left over");
      continue;
    }
    ASSERT_TRUE(retriever.read(offset, d)) << cut.keep;
    EXPECT_EQ(d.firstParts, cut.first) << cut.keep;
    EXPECT_EQ(d.secondParts, cut.second) << cut.keep;
    EXPECT_EQ(d.body, cut.body) << cut.keep;
  }
}

TEST(DefinitionRetriever, PointersOutsideTheRecordsAreDropped) {
  Built b({"fig|a fig tree", "date|a fig palm", "fig|a small thing"});
  const KkdFile f = readKkd(b.path);
  const DecodedEntry fig = entryOf(b, "fig");
  const auto good = offsetsOf(b, "fig", true);
  ASSERT_EQ(good.size(), 4u);
  std::uint32_t at = f.groupTable[3];
  for (int g = 0; g < fig.definitionIndex; ++g) {
    while ((readValues(f, at, 1)[0] & kkd::kFinalBit) == 0) at += 4;
    at += 4;
  }
  const std::uint32_t list = readValues(f, at + 8, 1)[0] & kkd::kOffsetMask;
  const std::uint32_t size = static_cast<std::uint32_t>(f.bytes.size());

  // An own definition pointing past the file, one into the header, and an
  // occurrence list whose second entry is garbage (and has no end).
  patchValue(b.path, at, size + 100);
  patchValue(b.path, at + 4, 12);
  patchValue(b.path, list + 4, 0x00ABCDEFu);
  bool result = false;
  std::vector<std::uint32_t> got;
  result = definitionOffsets(*b.list, 0, true, 3, fig.definitionIndex, InputEngine::kGroupedTableMode, got);
  EXPECT_TRUE(result);
  EXPECT_EQ(got, (std::vector<std::uint32_t>{good[2]}));

  // Reading at offsets that are no record start inside the records.
  KKDictionaryDefinitionRetriever retriever(*b.list, 0);
  Definition d;
  EXPECT_FALSE(retriever.read(12, d));
  EXPECT_FALSE(retriever.read(size + 100, d));
  EXPECT_FALSE(retriever.read(f.definitionsEnd, d));

  // A definition number beyond the groups, and a negative one.
  got.clear();
  EXPECT_TRUE(definitionOffsets(*b.list, 0, true, 3, 999, InputEngine::kGroupedTableMode, got));
  EXPECT_TRUE(definitionOffsets(*b.list, 0, true, 3, -1, InputEngine::kGroupedTableMode, got));
  EXPECT_TRUE(definitionOffsets(*b.list, 0, true, 3, 999, InputEngine::kDirectTableMode, got));
  EXPECT_TRUE(got.empty());
}

TEST(DefinitionRetriever, MissingDictionaryGivesNothing) {
  TempDir dir;
  auto list = KKDictionaryList::make(dir.file("absent.kkd"));
  std::vector<std::uint32_t> got;
  EXPECT_TRUE(definitionOffsets(*list, 0, true, 3, 0, InputEngine::kGroupedTableMode, got));
  EXPECT_TRUE(definitionOffsets(*list, 5, true, 3, 0, InputEngine::kGroupedTableMode, got));
  EXPECT_TRUE(got.empty());
  platform::FileStamp stamp{7, 7};
  KKDictionaryDefinitionRetriever retriever(*list, 0, &stamp);
  EXPECT_FALSE(retriever.isOpen());
  Definition d;
  EXPECT_FALSE(retriever.read(100, d));
}

}  // namespace
}  // namespace kea::test
