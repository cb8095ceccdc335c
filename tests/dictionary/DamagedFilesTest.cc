// Damaged dictionaries, laid out by hand in both versions or built, cut short
// or with bytes changed: each either opens or says it is invalid, and every
// word list of one that opens decodes to a clean end; definition lookups and
// full-text searches neither hang nor return a record outside the definition
// records. Run under the sanitizer build these also prove that nothing is
// read outside a buffer.
#include <gtest/gtest.h>

#include <random>

#include "fulltext/DefinitionRetriever.h"
#include "fulltext/IndexedDefinitionSearch.h"
#include "fulltext/SequentialDefinitionSearch.h"
#include "support/DamagedFiles.h"
#include "support/KkdAssembler.h"
#include "support/KkdTestReader.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea::test {
namespace {

const std::vector<std::string> kLines = [] {
  std::vector<std::string> lines = {
      "bank|a river side",  "bank|a money house", "river;stream|water that flows to the sea",
      ";sand|small grains", "stone|a small rock", "rock|stone of a cliff, a river rock",
      "sea|salt water",     "tree|a plant",       "{brace}|{\\rtf1 a \\b bold\\b0 river\\par}",
      "j\xE6q\xDFx+(rare)+|\xFE\xF1 zqx"};
  // Skewed letter counts, so that the rare bytes get codes longer than the fast table's 8 bits.
  for (int n = 20; n < 100; ++n) lines.push_back(std::string(n, n < 40 ? 'o' : n < 60 ? 'a' : 'e'));
  return lines;
}();

// Looks up and searches the damaged file; fails the test on a record that
// is no record and on a search that does not finish.
void exercise(const std::string& path, std::uint64_t size) {
  auto list = DictionaryList::make(path);
  DictionaryList::Dictionary& d = *list->dictionary(0);
  if (!d.refresh()) return;
  for (const char* word : {"bank", "river", "stone", "sea", "sand", "brace"}) {
    std::vector<Definition> found;
    lookupDefinitions(*list, word, found);
    for (const Definition& definition : found) {
      EXPECT_TRUE(d.isDefinitionOffset(definition.offset)) << word;
      EXPECT_LE(definition.body.size(), size);
    }
  }
  for (const char* query : {"river", "small & rock", "sea | bank", "!stone", "r*"}) {
    MatchEngineSet set;
    set.parseExpression(d.alphabet(), query, 1, 100);
    IndexedDefinitionSearch indexed(*list, 0, set);
    for (const std::uint32_t offset : indexed.candidates()) {
      EXPECT_TRUE(offset >= d.searchableStart() && d.isDefinitionOffset(offset)) << query;
    }
    Definition hit;
    for (std::size_t n = 0; indexed.next(hit); ++n) ASSERT_LE(n, indexed.candidates().size());

    SequentialDefinitionSearch reading(*list, 0, set);
    std::size_t calls = 0;
    while (reading.next(3) != SequentialDefinitionSearch::Step::Finished) {
      ASSERT_LE(++calls, size) << query << ": the reading search does not finish";
    }
  }
}

class DefinitionDamage : public ::testing::Test {
 protected:
  void SetUp() override {
    original = readFile(buildTestDictionary(dir, kLines));
    file = parseKkd(original);
  }
  // Whether the damaged file opened.
  bool check(const std::string& bytes) {
    if (!openAndDecodeAll(scratch, bytes)) return false;
    exercise(scratch.path(), bytes.size());
    return true;
  }
  TempDir dir;
  ScratchFile scratch;
  std::string original;
  KkdFile file;
};

TEST_F(DefinitionDamage, CutShortAnywhereIsDamaged) {
  int longCodes = 0;
  for (const auto& symbol : file.symbols) longCodes += symbol.length > 8;
  EXPECT_GT(longCodes, 0);
  // However little is missing, the file is no smaller dictionary: it does
  // not open, and says it is damaged (or, cut before its magic, that it is
  // no dictionary at all).
  for (std::size_t keep = 0; keep < original.size(); keep += keep < file.headerEnd ? 7 : 1) {
    EXPECT_FALSE(check(original.substr(0, keep))) << keep;
  }
  EXPECT_TRUE(check(original));
}

TEST_F(DefinitionDamage, BytesChangedAtRandom) {
  std::mt19937 random(3);
  int opened = 0;
  for (int variant = 0; variant < 400; ++variant) {
    std::string bytes = original;
    // Mostly past the header, where the records, lists and tables lie; sometimes the header's offsets.
    for (int c = 0, changes = 1 + static_cast<int>(random() % 8); c < changes; ++c) {
      const std::size_t from = random() % 4 == 0 ? 6 : file.headerEnd;
      bytes[from + random() % (bytes.size() - from)] = static_cast<char>(random());
    }
    opened += check(bytes);
  }
  // Most changes leave the header sound, so the lookups and searches above
  // really run over damaged records.
  EXPECT_GT(opened, 300);
}

TEST_F(DefinitionDamage, PointerTablesAndListsOverwritten) {
  // Every 32-bit value of the tables and lists (everything after the
  // records) in turn becomes one of a few telling values.
  const std::uint32_t size = static_cast<std::uint32_t>(original.size());
  const std::uint32_t values[] = {0, 0xFFFFFFFFu, 0x7FFFFFFFu, size, size + 4, 0x80000000u | (size - 4),
                                  file.definitionsStart + 1, 0x80000000u | file.searchableStart,
                                  file.definitionsEnd, 12, 0x80000000u | 12};
  // A list that ends the file is read when it opens (to be sure it is
  // whole); everything before it is met only by lookups and searches.
  std::uint32_t lastStart = 0;
  bool lastIsList = false;
  for (std::size_t l = 1; l < file.wordCount.size(); ++l) {
    if (file.wordCount[l] > 0 && file.wordListOffset[l] >= lastStart) {
      lastStart = file.wordListOffset[l];
      lastIsList = true;
    }
    if (file.groupEntries[l] > 0 && file.groupTable[l] >= lastStart) {
      lastStart = file.groupTable[l];
      lastIsList = false;
    }
  }
  int opened = 0, tried = 0;
  for (std::uint32_t at = file.definitionsEnd; at + 4 <= size; at += 4) {
    for (const std::uint32_t value : values) {
      std::string bytes = original;
      for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<char>((value >> (8 * k)) & 0xFF);
      const bool open = check(bytes);
      // Nothing here touches the header: every variant opens but one whose
      // last list breaks, and its lookups and searches meet the damaged tables.
      if (!lastIsList || at + 4 <= lastStart) {
        EXPECT_TRUE(open) << at;
      }
      opened += open;
      ++tried;
    }
  }
  EXPECT_GT(opened, tried * 9 / 10);
}

KkdAssembler sample(int version) {
  KkdAssembler a(version, 7);
  a.description = "Damage me";
  std::map<std::uint8_t, int> lengths = {{0, 3}, {'\n', 20}, {'-', 18}};
  const std::string order = "etaoinshrdlucmfwypvbgkjqxz";
  for (std::size_t i = 0; i < order.size(); ++i) {
    lengths[static_cast<std::uint8_t>(order[i])] = 3 + static_cast<int>(i) / 2;
  }
  a.assignCodes(lengths);
  a.positionTableCount = 21;
  a.positionTables.assign(21u * 26u, '\x01');
  // Version 1 puts each length's table of definition groups after its list;
  // version 0 has none, and its last list ends the file.
  a.addList(2, {"at*", "be", "ox*"}, {"qi"});
  if (version == 1) a.addGroupTable(2, 2);
  a.addList(3, {"the", "fly-by\nnote*"}, {"zzz", "yak"});
  if (version == 1) a.addGroupTable(3, 1);
  a.addList(6, {"electron*", "obelisk"});
  if (version == 1) a.addGroupTable(6, 1);
  return a;
}

TEST(HandMadeDamage, EveryTruncationAndChangedByteOpensOrIsInvalid) {
  ScratchFile scratch;
  int flips = 0, flipsOpened = 0;
  for (const int version : {0, 1}) {
    SCOPED_TRACE(version);
    const KkdAssembler a = sample(version);
    const std::string bytes = a.bytes();
    ASSERT_TRUE(openAndDecodeAll(scratch, bytes));
    // Every cut is damage, wherever it falls: in the header, in a list or
    // in a table.
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
      EXPECT_FALSE(openAndDecodeAll(scratch, bytes.substr(0, cut))) << cut;
    }
    for (std::size_t at = 0; at < bytes.size(); ++at) {
      for (const int flip : {0x01, 0xFF}) {
        std::string damaged = bytes;
        damaged[at] = static_cast<char>(damaged[at] ^ flip);
        SCOPED_TRACE(testing::Message() << "byte " << at << " ^ " << flip);
        flipsOpened += openAndDecodeAll(scratch, damaged);
        ++flips;
      }
    }
  }
  // Changed header bytes are caught when opening; changed list bytes are
  // met while decoding. Both must happen, or half the damage went untested.
  EXPECT_GT(flipsOpened, flips / 2);
  EXPECT_LT(flipsOpened, flips);
  // Garbage after a valid header.
  KkdAssembler a = sample(1);
  std::uint32_t seed = 12345;
  for (char& c : a.body) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
  EXPECT_TRUE(openAndDecodeAll(scratch, a.bytes()));
}

// The shipped English dictionary cut short at many points and with single
// bytes changed all over its header, tables and word lists.
TEST(ShippedDamage, TheEnglishDictionaryCutIsInvalidAndChangedOpensOrIsInvalid) {
  const std::string bytes = readFile(std::string(KEA_SHIPPED_DATA_DIR) + "/Dictionaries/English.kkd");
  if (bytes.empty()) GTEST_SKIP() << "the shipped dictionaries are not built";
  const KkdFile file = parseKkd(bytes);
  ScratchFile scratch;
  std::mt19937 random(17);
  int shippedOpened = 0;
  for (int n = 0; n < 100; ++n) {
    // Half the places in the header and its tables, half anywhere.
    const std::size_t at = random() % (n % 2 ? bytes.size() : file.headerEnd);
    SCOPED_TRACE(at);
    EXPECT_FALSE(openAndDecodeAll(scratch, bytes.substr(0, at)));
    std::string changed = bytes;
    changed[at] = static_cast<char>(changed[at] ^ (1 + random() % 255));
    shippedOpened += openAndDecodeAll(scratch, changed);
  }
  // Most single changes leave a file that opens, whose damaged lists are then
  // decoded to their end.
  EXPECT_GT(shippedOpened, 80);
  // The last bytes, where the last table ends the file.
  for (std::size_t missing = 1; missing <= 16; ++missing) {
    EXPECT_FALSE(openAndDecodeAll(scratch, bytes.substr(0, bytes.size() - missing))) << missing;
  }
}

}  // namespace
}  // namespace kea::test
