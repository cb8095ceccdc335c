#include "dictionary/KKDictionaryList.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/KkdAssembler.h"
#include "support/TempDir.h"

namespace kea {
namespace {

using test::KkdAssembler;
using Dictionary = KKDictionaryList::Dictionary;

const std::string kNotFound = "-- DICTIONARY FILE NOT FOUND --";
const std::string kInvalid = "-- INVALID DICTIONARY FILE --";

// Three lengths with words, one empty length between them.
KkdAssembler sampleV1() {
  KkdAssembler a(1, 6);
  a.description = "Sample words";
  a.assignOwnValueCodes(std::string("\0\n", 2) + "abcdefghijklmnopqrstuvwxyz-");
  a.positionTableCount = 15;  // N(N-1)/2
  a.positionTables.assign(15u * 26u, '\x80');
  a.addList(2, {"ab*", "cd"});
  a.addList(3, {"abc", "bcd*", "cde*"}, {"xyz"});
  a.wordListOffset[4] = a.bodyOffset();  // empty: the next list starts here too
  a.addList(5, {"abcde*"});
  a.groupEntries = {0, 0, 1, 2, 0, 1};
  return a;
}

class DictionaryFiles : public ::testing::Test {
 protected:
  void TearDown() override { KKDictionaryList::releaseAll(); }

  std::string write(const std::string& name, const std::string& bytes) {
    const std::string path = dir.file(name);
    test::writeFile(path, bytes);
    return path;
  }
  // Opens a file holding `bytes` on its own, outside the shared registry.
  std::unique_ptr<Dictionary> openBytes(const std::string& bytes) {
    auto d = std::make_unique<Dictionary>(write("probe.kkd", bytes));
    d->open(true);
    return d;
  }

  test::TempDir dir;
};

TEST_F(DictionaryFiles, ReadsTheVersion1Header) {
  const KkdAssembler a = sampleV1();
  const auto d = openBytes(a.bytes());
  ASSERT_TRUE(d->isOpen()) << d->statusText();
  EXPECT_EQ(d->version(), 1);
  EXPECT_EQ(d->lengthSlots(), 6);
  EXPECT_EQ(d->description(), "Sample words");
  EXPECT_EQ(d->letterCount(), 26);
  EXPECT_EQ(d->alphabetSize(), 26);
  EXPECT_EQ(d->alphabet().alphabetIndexOf('C'), 2);
  EXPECT_EQ(d->canonicalCharOf(2), 'c');
  EXPECT_EQ(d->canonicalCharOf(30), '!');
  EXPECT_EQ(d->wordListOffset(3), a.wordListOffset[3]);
  EXPECT_EQ(d->wordCount(3), 3u);
  EXPECT_EQ(d->positionTableCount(), 15);
  ASSERT_NE(d->positionTable(14), nullptr);
  EXPECT_EQ(d->positionTable(14)[25], 0x80);
  EXPECT_EQ(d->positionTable(15), nullptr);
  EXPECT_EQ(d->headerEnd(), a.headerSize() + a.positionTables.size());
  EXPECT_EQ(d->fileSize(), a.bytes().size());

  int entries, definitions, shortest, longest;
  d->statistics(entries, definitions, shortest, longest);
  EXPECT_EQ(entries, 6);
  EXPECT_EQ(definitions, 4);
  EXPECT_EQ(shortest, 2);
  EXPECT_EQ(longest, 5);
}

TEST_F(DictionaryFiles, BuildsTheCodeTreeAndFastTable) {
  KkdAssembler a = sampleV1();
  // Codes of 2, 3 and 10 bits: the fast table stops at leaves and at
  // internal nodes after 8 bits.
  a.assignCodes({{0, 2}, {'a', 2}, {'b', 3}, {'c', 10}});
  const auto d = openBytes(a.bytes());
  ASSERT_TRUE(d->isOpen());
  const auto& tree = d->codeTree();
  EXPECT_EQ(tree[0].first, 2);  // leaf: code length, alphabet index
  EXPECT_EQ(tree[0].second, 255);
  EXPECT_EQ(tree['b'].first, 3);
  EXPECT_EQ(tree['b'].second, 1);
  // Symbol 0 has code 00, read first bit first: stream bits 0,0.
  EXPECT_EQ(d->fastNode()[0b00], 0);
  EXPECT_EQ(d->fastLength()[0b00], 2);
  // 'a' has code 01: stream bits 0 then 1, that is byte bit 0 = 0, bit 1 = 1.
  EXPECT_EQ(d->fastNode()[0b10], 'a');
  // 'b' is 100: bits 1,0,0.
  EXPECT_EQ(d->fastNode()[0b001], 'b');
  EXPECT_EQ(d->fastLength()[0b001], 3);
  // 'c' is 1010000000: after 8 bits the walk is still inside the tree.
  EXPECT_GE(d->fastNode()[0b00000101], 256);
  EXPECT_EQ(d->fastLength()[0b00000101], 8);
  // 11...: no code starts so.
  EXPECT_EQ(d->fastNode()[0b11], -1);
}

TEST_F(DictionaryFiles, AVersion0FileOpensWithoutDefinitions) {
  KkdAssembler a(0, 4);
  a.description = std::string(80, 'd');  // fills the field without a terminator
  a.assignOwnValueCodes(std::string("\0", 1) + "abcdefghijklmnopqrstuvwxyz");
  a.addList(3, {"cat", "dog"});
  const auto d = openBytes(a.bytes());
  ASSERT_TRUE(d->isOpen()) << d->statusText();
  EXPECT_EQ(d->version(), 0);
  EXPECT_EQ(d->description(), std::string(80, 'd'));
  EXPECT_EQ(d->definitionsStart(), 0u);
  EXPECT_EQ(d->definitionsEnd(), 0u);
  EXPECT_FALSE(d->hasDefinitions());
  for (int l = 0; l < 4; ++l) {
    EXPECT_EQ(d->directTable(l), 0xFFFFFFFFu);
    EXPECT_EQ(d->groupTable(l), 0xFFFFFFFFu);
    EXPECT_EQ(d->groupEntries(l), 0u);
  }
  EXPECT_EQ(d->wordCount(3), 2u);
  EXPECT_EQ(d->wordListStart(3), a.wordListOffset[3]);
}

TEST_F(DictionaryFiles, ListsShareDictionariesByNameIgnoringCase) {
  write("a.kkd", sampleV1().bytes());
  write("B.KKD", sampleV1().bytes());
  const std::string folder = dir.path().string() + "/";
  KKDictionaryList* first = KKDictionaryList::create(folder + "a.kkd;" + folder + "B.KKD");
  KKDictionaryList* second = KKDictionaryList::create(folder + "A.KKD");
  ASSERT_EQ(first->count(), 2);
  ASSERT_EQ(second->count(), 1);
  EXPECT_EQ(first->names(), folder + "a.kkd;" + folder + "B.KKD");
  EXPECT_EQ(first->dictionary(0), second->dictionary(0));
  EXPECT_EQ(first->dictionary(0)->referenceCount(), 2);
  EXPECT_EQ(KKDictionaryList::sharedCount(), 2u);
  // The dictionary keeps the name it was first opened by.
  EXPECT_EQ(second->path(0), folder + "a.kkd");

  KKDictionaryList::release(first);
  EXPECT_EQ(KKDictionaryList::sharedCount(), 1u);
  EXPECT_TRUE(second->isUsable(0));
  EXPECT_EQ(second->dictionary(0)->referenceCount(), 1);
  KKDictionaryList::release(second);
  EXPECT_EQ(KKDictionaryList::sharedCount(), 0u);
}

TEST_F(DictionaryFiles, EmptyNamesAreSkippedAndMissingFilesStay) {
  write("a.kkd", sampleV1().bytes());
  const std::string folder = dir.path().string() + "/";
  auto list = KKDictionaryList::make(";" + folder + "a.kkd;;" + folder + "gone.kkd;");
  ASSERT_EQ(list->count(), 2);
  EXPECT_TRUE(list->isUsable(0));
  EXPECT_FALSE(list->isUsable(1));
  EXPECT_EQ(list->firstUnusable(), folder + "gone.kkd");
  EXPECT_EQ(list->description(1), kNotFound);
  std::string text;
  EXPECT_FALSE(list->describe(1, text));
  EXPECT_EQ(text, folder + "gone.kkd\nDescription: " + kNotFound);
}

TEST_F(DictionaryFiles, ReleasingAfterReleaseAllIsHarmless) {
  write("a.kkd", sampleV1().bytes());
  KKDictionaryList* list = KKDictionaryList::create(dir.file("a.kkd"));
  KKDictionaryList::releaseAll();
  EXPECT_EQ(KKDictionaryList::sharedCount(), 0u);
  KKDictionaryList::release(list);  // must not touch the destroyed dictionary
  EXPECT_EQ(KKDictionaryList::sharedCount(), 0u);
}

TEST_F(DictionaryFiles, DescribeListsHeadwordsAndDefinitionsOnlyWhenPresent) {
  KkdAssembler with = sampleV1();
  KkdAssembler without = sampleV1();
  without.groupEntries.assign(6, 0);
  without.description.clear();
  const std::string a = write("with.kkd", with.bytes());
  const std::string b = write("without.kkd", without.bytes());
  auto list = KKDictionaryList::make(a + ";" + b);
  std::string text;
  EXPECT_TRUE(list->describe(0, text));
  EXPECT_EQ(text, a + "\nHeadwords: 6\nDefinitions: 4\nDescription: Sample words");
  EXPECT_TRUE(list->describe(1, text));
  EXPECT_EQ(text, b + "\nHeadwords: 6");
}

TEST_F(DictionaryFiles, ListQueriesOutsideTheTablesAnswerEmpty) {
  const std::string path = write("a.kkd", sampleV1().bytes());
  auto list = KKDictionaryList::make(path);
  EXPECT_EQ(list->lengthSlots(0), 6);
  EXPECT_EQ(list->wordCount(0, 3), 3u);
  EXPECT_EQ(list->wordCount(0, 6), 0u);
  EXPECT_EQ(list->wordCount(0, 101), 0u);
  EXPECT_EQ(list->wordCount(0, 5000), 0u);
  EXPECT_EQ(list->wordCount(0, -1), 0u);
  EXPECT_EQ(list->wordCount(1, 3), 0u);
  EXPECT_EQ(list->wordListOffset(0, 6), 0u);
  EXPECT_EQ(list->letterCount(0), 26);
  EXPECT_EQ(list->canonicalCharOf(0, 0), 'a');
  EXPECT_EQ(list->byteChars(0)['-'], 0);
  EXPECT_EQ(list->byteChars(0)['B'], 'b');
  EXPECT_FALSE(list->hasDefinitions(0));
  EXPECT_EQ(list->path(7), "");
  EXPECT_FALSE(list->isUsable(-1));
}

TEST_F(DictionaryFiles, RefreshRereadsAReplacedFileAndNoticesADeletedOne) {
  const std::string path = write("a.kkd", sampleV1().bytes());
  auto list = KKDictionaryList::make(path);
  ASSERT_TRUE(list->refresh(0));
  const std::int64_t before = list->dictionary(0)->lastWriteTime();
  EXPECT_NE(before, 0);

  KkdAssembler changed = sampleV1();
  changed.description = "Rebuilt";
  test::writeFile(path, changed.bytes());
  // Same size, so only the time can tell: make sure it differs.
  std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(5));
  EXPECT_TRUE(list->refresh(0));
  EXPECT_EQ(list->description(0), "Rebuilt");
  EXPECT_NE(list->dictionary(0)->lastWriteTime(), before);

  std::filesystem::remove(path);
  EXPECT_FALSE(list->refresh(0));
  EXPECT_EQ(list->description(0), kNotFound);
  EXPECT_EQ(list->wordCount(0, 3), 0u);

  test::writeFile(path, changed.bytes());
  EXPECT_TRUE(list->isUsable(0));
}

TEST_F(DictionaryFiles, AFolderIsNotADictionary) {
  Dictionary d(dir.path().string());
  d.open(true);
  EXPECT_FALSE(d.isOpen());
  EXPECT_EQ(d.statusText(), kNotFound);
}

TEST_F(DictionaryFiles, DateTextNamesTheFilesYear) {
  const std::string path = write("a.kkd", sampleV1().bytes());
  // 2021-06-15 12:00:00 UTC
  std::filesystem::last_write_time(
      path, std::filesystem::file_time_type::clock::from_sys(std::chrono::sys_seconds(std::chrono::seconds(1623758400))));
  Dictionary d(path);
  d.open(true);
  EXPECT_NE(d.dateText().find("2021"), std::string::npos) << d.dateText();
  EXPECT_NE(d.dateText().find("June"), std::string::npos) << d.dateText();
}

TEST_F(DictionaryFiles, CloseForgetsTheHeader) {
  auto d = openBytes(sampleV1().bytes());
  ASSERT_TRUE(d->isOpen());
  d->close();
  EXPECT_FALSE(d->isOpen());
  EXPECT_EQ(d->statusText(), kInvalid);
  EXPECT_EQ(d->lengthSlots(), 0);
  EXPECT_EQ(d->wordCount(3), 0u);
  EXPECT_FALSE(d->wordListStart(3).has_value());
}

// Header damage that must make the file invalid, whatever was read before.
struct BadHeader {
  const char* name;
  void (*damage)(KkdAssembler&);
};

const BadHeader kBadHeaders[] = {
    {"placeholder magic", [](KkdAssembler& a) { a.magic = "    "; }},
    {"unknown version", [](KkdAssembler& a) { a.magic = "KKD2"; }},
    {"no length slots", [](KkdAssembler& a) { a.lengthSlots = 0; }},
    {"too many length slots", [](KkdAssembler& a) { a.lengthSlots = 102; }},
    {"huge length slots", [](KkdAssembler& a) { a.lengthSlots = 65535; }},
    {"negative letter count", [](KkdAssembler& a) { a.letterCount = -1; }},
    {"letter count 254", [](KkdAssembler& a) { a.letterCount = a.alphabetSize = 254; }},
    {"alphabet size 0", [](KkdAssembler& a) { a.letterCount = 0, a.alphabetSize = 0; }},
    {"letters above alphabet", [](KkdAssembler& a) { a.letterCount = 27; }},
    {"index at alphabet size", [](KkdAssembler& a) { a.symbols['q'].alphabetIndex = 26; }},
    {"index below -1", [](KkdAssembler& a) { a.symbols['q'].alphabetIndex = -2; }},
    {"code of 33 bits", [](KkdAssembler& a) { a.symbols['q'].codeLength = 33; }},
    {"two symbols, one code", [](KkdAssembler& a) { a.symbols['q'].code = a.symbols['r'].code; }},
    {"code through a leaf",
     [](KkdAssembler& a) {
       // 'b' = 0x62 on 8 bits; a 9-bit code starting with those 8 bits runs through it.
       a.symbols['q'] = {'q', 9, 16, 0x62u << 1};
     }},
    {"code that is a prefix of another",
     [](KkdAssembler& a) {
       a.symbols['q'] = {'q', 7, 16, 0x62u >> 1};  // 'b' continues through this leaf
     }},
    {"position tables cut short", [](KkdAssembler& a) { a.positionTableCount = 16; }},
};

TEST_F(DictionaryFiles, DamagedHeadersAreInvalid) {
  for (const BadHeader& bad : kBadHeaders) {
    SCOPED_TRACE(bad.name);
    KkdAssembler a = sampleV1();
    a.body.clear();  // nothing after the tables, so a short table is short
    bad.damage(a);
    const auto d = openBytes(a.bytes());
    EXPECT_FALSE(d->isOpen());
    EXPECT_EQ(d->statusText(), kInvalid);
    int entries, definitions, shortest, longest;
    d->statistics(entries, definitions, shortest, longest);
    EXPECT_EQ(entries, 0);
  }
}

TEST_F(DictionaryFiles, TheLargestHeaderAndTheLongestCodesAreAccepted) {
  KkdAssembler a(1, 101);
  std::map<std::uint8_t, int> lengths;
  // Lengths 1 … 31 then two of 32 bits: a complete code with the longest codes.
  for (int i = 1; i <= 31; ++i) lengths[static_cast<std::uint8_t>(i == 10 ? 200 : i)] = i;
  lengths[0] = 32;
  lengths['a'] = 32;
  a.assignCodes(lengths);
  const auto d = openBytes(a.bytes());
  EXPECT_TRUE(d->isOpen()) << d->statusText();
  EXPECT_EQ(d->lengthSlots(), 101);
}

TEST_F(DictionaryFiles, ACodeNeedingMoreThan512InternalNodesIsInvalid) {
  KkdAssembler a = sampleV1();
  a.assignCodes({});
  // Codes of 32 bits that part within their first 5 bits: each needs 27
  // internal nodes of its own. 18 of them need 506 nodes in all and fit;
  // 19 would need 533.
  const auto withCodes = [&a](int count) {
    for (int k = 0; k < 32; ++k) {
      auto& s = a.symbols[static_cast<std::size_t>(0x80 + k)];
      s.codeLength = k < count ? 32 : 0;
      s.code = (static_cast<std::uint32_t>(k) << 27) | 1u;
    }
    return a.bytes();
  };
  EXPECT_TRUE(openBytes(withCodes(18))->isOpen());
  const auto d = openBytes(withCodes(19));
  EXPECT_FALSE(d->isOpen());
  EXPECT_EQ(d->statusText(), kInvalid);
}

TEST_F(DictionaryFiles, WordListStartsAreCheckedAgainstTheFile) {
  KkdAssembler a = sampleV1();
  a.wordListOffset[5] = 10;  // inside the header
  const auto d = openBytes(a.bytes());
  ASSERT_TRUE(d->isOpen());
  EXPECT_TRUE(d->wordListStart(2).has_value());
  EXPECT_TRUE(d->wordListStart(3).has_value());
  EXPECT_FALSE(d->wordListStart(4).has_value());  // empty: length 5 starts at the same place
  EXPECT_FALSE(d->wordListStart(5).has_value());
  EXPECT_FALSE(d->wordListStart(0).has_value());
  EXPECT_FALSE(d->wordListStart(6).has_value());

  a.wordListOffset[5] = static_cast<std::uint32_t>(a.bytes().size());  // just past the end
  EXPECT_FALSE(openBytes(a.bytes())->wordListStart(5).has_value());
  EXPECT_TRUE(d->rangeInFile(d->fileSize() - 4, 4));
  EXPECT_FALSE(d->rangeInFile(d->fileSize() - 3, 4));
  EXPECT_FALSE(d->rangeInFile(0xFFFFFFFFFFFFFFF0ull, 0x20));
}

}  // namespace
}  // namespace kea
