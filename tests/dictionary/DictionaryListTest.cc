// Opening dictionary files laid out by hand: the header as read, the shared
// registry of open dictionaries, and every damaged header or table offset
// that must make a file invalid or a lookup empty.
#include "dictionary/DictionaryList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <tuple>

#include "support/DamagedFiles.h"
#include "support/KkdAssembler.h"
#include "support/TempDir.h"

namespace kea {
namespace {

using test::KkdAssembler;
using Dictionary = DictionaryList::Dictionary;

const std::string kInvalid = "-- INVALID DICTIONARY FILE --";

// Three lengths with words, one empty length between them, each list
// followed by its table of definition groups.
KkdAssembler sampleV1() {
  KkdAssembler a(1, 6);
  a.description = "Sample words";
  a.assignOwnValueCodes(std::string("\0\n", 2) + "abcdefghijklmnopqrstuvwxyz-");
  a.positionTableCount = 15;  // N(N-1)/2
  a.positionTables.assign(15u * 26u, '\x80');
  a.addList(2, {"ab*", "cd"});
  a.addGroupTable(2, 1);
  a.addList(3, {"abc", "bcd*", "cde*"}, {"xyz"});
  a.addGroupTable(3, 2);
  a.wordListOffset[4] = a.bodyOffset();  // empty: the next list starts here too
  a.addList(5, {"abcde*"});
  a.addGroupTable(5, 1);
  return a;
}

class DictionaryFiles : public ::testing::Test {
 protected:
  void TearDown() override { DictionaryList::releaseAll(); }

  std::string write(const std::string& name, const std::string& bytes) {
    const std::string path = dir.file(name);
    test::writeFile(path, bytes);
    return path;
  }
  // Opens a file holding `bytes` on its own, outside the shared registry
  // (in memory-backed storage: some tests open thousands).
  std::unique_ptr<Dictionary> openBytes(const std::string& bytes) {
    test::writeFile(scratch.path(), bytes);
    auto d = std::make_unique<Dictionary>(scratch.path());
    d->open(true);
    return d;
  }

  test::TempDir dir;
  test::ScratchFile scratch;
};

TEST_F(DictionaryFiles, ReadsTheHeadersOfBothVersions) {
  const KkdAssembler a = sampleV1();
  const auto d = openBytes(a.bytes());
  ASSERT_TRUE(d->isOpen()) << d->statusText();
  EXPECT_EQ(std::make_tuple(d->version(), d->lengthSlots(), d->description()), std::make_tuple(1, 6, "Sample words"));
  EXPECT_EQ(std::make_tuple(d->alphabet().alphabetIndexOf('C'), d->canonicalCharOf(2), d->canonicalCharOf(30)),
            std::make_tuple(2, 'c', '!'));
  EXPECT_EQ(d->wordListStart(3), a.wordListOffset[3]);
  EXPECT_EQ(d->wordCount(3), 3u);
  EXPECT_EQ(d->positionTable(14)[25], 0x80);
  EXPECT_EQ(d->positionTable(15), nullptr);
  for (const int length : {0, 6, 101, 5000, -1}) EXPECT_EQ(d->wordCount(length), 0u) << length;
  int entries, definitions, shortest, longest;
  d->statistics(entries, definitions, shortest, longest);
  EXPECT_EQ(std::tie(entries, definitions, shortest, longest), std::make_tuple(6, 4, 2, 5));
  d->close();
  EXPECT_EQ(d->statusText(), kInvalid);
  EXPECT_EQ(d->wordCount(3), 0u);
  EXPECT_FALSE(d->wordListStart(3).has_value());

  // Version 0: a shorter header without definitions; the description fills its field without a terminator.
  KkdAssembler old(0, 4);
  old.description = std::string(80, 'd');
  old.assignOwnValueCodes(std::string("\0", 1) + "abcdefghijklmnopqrstuvwxyz");
  old.addList(3, {"cat", "dog"});
  const auto v0 = openBytes(old.bytes());
  ASSERT_TRUE(v0->isOpen()) << v0->statusText();
  EXPECT_EQ(std::make_tuple(v0->version(), v0->description()), std::make_tuple(0, std::string(80, 'd')));
  EXPECT_FALSE(v0->hasDefinitions());
  for (int l = 0; l < 4; ++l) {
    EXPECT_FALSE(v0->groupTableInFile(l));
    EXPECT_FALSE(v0->directValueOffset(l, 0).has_value());
  }
  EXPECT_EQ(v0->wordCount(3), 2u);
  EXPECT_EQ(v0->wordListStart(3), old.wordListOffset[3]);
}

TEST_F(DictionaryFiles, ListsShareDictionariesByTheirExactPath) {
  const std::string path = write("a.kkd", sampleV1().bytes());
  DictionaryList* first = DictionaryList::create(std::vector<std::string>{path});
  DictionaryList* second = DictionaryList::create(std::vector<std::string>{path});
  EXPECT_EQ(first->dictionary(0), second->dictionary(0));
  EXPECT_EQ(DictionaryList::sharedCount(), 1u);
  DictionaryList::release(first);
  EXPECT_TRUE(second->isUsable(0));
  // Releasing after releaseAll must not touch the destroyed dictionary.
  DictionaryList::releaseAll();
  EXPECT_EQ(DictionaryList::sharedCount(), 0u);
  DictionaryList::release(second);
}

// "A.KKD" beside "a.kkd" is another file on Linux, and a ";" is a character
// of a name like any other.
TEST_F(DictionaryFiles, NamesInOtherLettersOrWithASemicolonAreTheirOwnFiles) {
  const std::string lower = write("a.kkd", sampleV1().bytes());
  const std::string upper = write("A.KKD", sampleV1().bytes());
  const std::string semicolon = write("x;y.kkd", sampleV1().bytes());
  const auto list = DictionaryList::make(std::vector<std::string>{lower, upper, semicolon, ""});
  ASSERT_EQ(list->count(), 3);
  EXPECT_NE(list->dictionary(0), list->dictionary(1));
  EXPECT_EQ(DictionaryList::sharedCount(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(list->isUsable(i)) << list->path(i);
  EXPECT_EQ(list->path(1), upper);
  EXPECT_EQ(list->path(2), semicolon);
}

TEST_F(DictionaryFiles, RefreshRereadsARewrittenFile) {
  const std::string path = write("a.kkd", sampleV1().bytes());
  auto list = DictionaryList::make(path);
  ASSERT_TRUE(list->refresh(0));
  KkdAssembler changed = sampleV1();
  changed.description = "Rebuilt";
  test::writeFile(path, changed.bytes());
  // Same size, so only the time can tell: make sure it differs.
  std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(5));
  EXPECT_TRUE(list->refresh(0));
  EXPECT_EQ(list->description(0), "Rebuilt");
}

// Codes of 32 bits that part within their first 5 bits each need 27 internal
// nodes of their own: 18 need 506 nodes and fit in 512, 19 need 533.
void longCodes(KkdAssembler& a, int count) {
  a.assignCodes({});
  for (int k = 0; k < 32; ++k) {
    auto& s = a.symbols[static_cast<std::size_t>(0x80 + k)];
    s.length = k < count ? 32 : 0;
    s.code = (static_cast<std::uint32_t>(k) << 27) | 1u;
  }
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
    {"index at alphabet size", [](KkdAssembler& a) { a.symbols['q'].index = 26; }},
    {"index below -1", [](KkdAssembler& a) { a.symbols['q'].index = -2; }},
    {"code of 33 bits", [](KkdAssembler& a) { a.symbols['q'].length = 33; }},
    {"two symbols, one code", [](KkdAssembler& a) { a.symbols['q'].code = a.symbols['r'].code; }},
    // 'b' is 0x62 on 8 bits: a 9-bit code runs through it, a 7-bit one is a prefix of it.
    {"code through a leaf", [](KkdAssembler& a) { a.symbols['q'] = {'q', 9, 16, 0x62u << 1}; }},
    {"code that is a prefix of another", [](KkdAssembler& a) { a.symbols['q'] = {'q', 7, 16, 0x62u >> 1}; }},
    {"position tables cut short", [](KkdAssembler& a) { a.positionTableCount = 16; }},
    {"more than 512 internal nodes", [](KkdAssembler& a) { longCodes(a, 19); }},
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

TEST_F(DictionaryFiles, TheLargestHeaderAndCodeTreeAreAcceptedAndNoLarger) {
  KkdAssembler largest(1, 101);
  std::map<std::uint8_t, int> lengths;
  // Lengths 1 … 31 then two of 32 bits: a complete code with the longest codes.
  for (int i = 1; i <= 31; ++i) lengths[static_cast<std::uint8_t>(i == 10 ? 200 : i)] = i;
  lengths[0] = lengths['a'] = 32;
  largest.assignCodes(lengths);
  EXPECT_TRUE(openBytes(largest.bytes())->isOpen());
  KkdAssembler a = sampleV1();
  longCodes(a, 18);
  EXPECT_TRUE(openBytes(a.bytes())->isOpen());
}

// A file cut short, or whose header points past its end, is damaged: it
// does not open, and says which part lies outside the file.
TEST_F(DictionaryFiles, ListsAndTablesOutsideTheFileMakeItDamaged) {
  const KkdAssembler sample = sampleV1();
  const std::uint32_t size = static_cast<std::uint32_t>(sample.bytes().size());
  struct Damage {
    const char* name;
    std::function<void(KkdAssembler&)> damage;
    const char* problem;
  };
  const Damage damages[] = {
      {"list inside the header", [](KkdAssembler& a) { a.wordListOffset[5] = 10; }, "the list of 5-letter entries lies outside the file"},
      {"list past the end", [&](KkdAssembler& a) { a.wordListOffset[5] = size; }, "the list of 5-letter entries lies outside the file"},
      {"more words than bits", [](KkdAssembler& a) { a.wordCount[5] = 1000; }, "the list of 5-letter entries runs past the end of the file"},
      {"group table past the end", [&](KkdAssembler& a) { a.groupTable[3] = size - 4; }, "the definitions table of 3-letter entries runs past the end of the file"},
      {"group table in the header", [](KkdAssembler& a) { a.groupTable[2] = 8; }, "the definitions table of 2-letter entries runs past the end of the file"},
      {"direct table past the end", [&](KkdAssembler& a) { a.directTable[3] = size + 8; }, "the index of 3-letter entries lies outside the file"},
      {"definitions past the end", [](KkdAssembler& a) { a.definitionsEnd = 0x7FFFFFF0; }, "its definitions run past the end of the file"},
      {"definitions out of order", [](KkdAssembler& a) { a.definitionsStart = 9; a.searchableStart = 5; }, "its definitions' offsets are out of order"},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.name);
    KkdAssembler a = sampleV1();
    d.damage(a);
    const auto opened = openBytes(a.bytes());
    EXPECT_FALSE(opened->isOpen());
    EXPECT_EQ(opened->statusText(), kInvalid);
    EXPECT_EQ(opened->problem(), std::string("is damaged: ") + d.problem);
  }
  // Cut anywhere, the file is damaged; whole, it opens.
  const std::string bytes = sample.bytes();
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    const auto opened = openBytes(bytes.substr(0, cut));
    EXPECT_FALSE(opened->isOpen()) << cut;
    EXPECT_FALSE(opened->problem().empty()) << cut;
  }
  EXPECT_TRUE(openBytes(bytes)->isOpen());
  // The last list ends the file when no table follows it: a cut inside it,
  // even of its padding alone, is found by reading it at open.
  KkdAssembler lastList = sampleV1();
  lastList.groupEntries[5] = 0;
  lastList.groupTable[5] = 0;
  lastList.body.resize(lastList.body.size() - 4);
  const std::string listLast = lastList.bytes();
  ASSERT_TRUE(openBytes(listLast)->isOpen());
  for (std::size_t cut = lastList.wordListOffset[5] + 1; cut < listLast.size(); ++cut) {
    EXPECT_EQ(openBytes(listLast.substr(0, cut))->problem(), "is damaged: the list of 5-letter entries is cut short") << cut;
  }
}

TEST_F(DictionaryFiles, WhatIsNotADictionaryFileSaysWhatItIs) {
  const auto missing = std::make_unique<Dictionary>(dir.file("missing.kkd"));
  missing->open(true);
  EXPECT_EQ(missing->statusText(), "-- DICTIONARY FILE NOT FOUND --");
  EXPECT_EQ(missing->problem(), "was not found");
  const auto folder = std::make_unique<Dictionary>(dir.path().string());
  folder->open(true);
  EXPECT_EQ(folder->problem(), "is a folder, not a dictionary file");
  const auto text = openBytes("just some words\n");
  EXPECT_EQ(text->problem(), "is not a dictionary file");
  EXPECT_EQ(openBytes("KKD1")->problem(), "is damaged: it ends inside its header");
  // Opened, a dictionary has no problem and holds its file open.
  const auto good = openBytes(sampleV1().bytes());
  EXPECT_TRUE(good->problem().empty());
  EXPECT_TRUE(good->file().isOpen());
  good->close();
  EXPECT_FALSE(good->file().isOpen());
}

TEST_F(DictionaryFiles, RangeHelpersCheckEachValueAgainstTheFile) {
  const KkdAssembler a = sampleV1();
  const std::uint32_t size = static_cast<std::uint32_t>(a.bytes().size());
  const auto d = openBytes(a.bytes());
  ASSERT_TRUE(d->isOpen());
  // Length 4 is empty (length 5 starts at the same place); 0 and 6 have no slot.
  for (int length = 0; length <= 6; ++length) {
    EXPECT_EQ(d->wordListStart(length).has_value(), length == 2 || length == 3 || length == 5) << length;
  }
  EXPECT_TRUE(d->rangeInFile(size - 4, 4));
  EXPECT_FALSE(d->rangeInFile(size - 3, 4));
  EXPECT_FALSE(d->rangeInFile(0xFFFFFFFFFFFFFFF0ull, 0x20));
  EXPECT_TRUE(d->groupTableInFile(2));
  EXPECT_FALSE(d->groupTableInFile(4));  // no entries
  EXPECT_FALSE(d->groupTableInFile(6));
  EXPECT_FALSE(d->directValueOffset(2, 0).has_value());  // not written
  EXPECT_FALSE(d->isDefinitionOffset(0));
}

}  // namespace
}  // namespace kea
