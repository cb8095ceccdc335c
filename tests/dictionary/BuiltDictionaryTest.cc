// Dictionaries written by the project's builder, read by the reader: the
// header in memory matches the bytes on disk, every word list decodes to
// what a deliberately simple bit-by-bit decoder finds, and damaged copies
// either open or say they are invalid.
#include <gtest/gtest.h>

#include <random>

#include "dictionary/KKDictionaryList.h"
#include "dictionary/WordListDecoder.h"
#include "support/DamagedFiles.h"
#include "support/KkdTestReader.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea::test {
namespace {

// Builder lines with every feature the format carries: several headwords
// per line, annotations, definitions in both groups, punctuation, and a
// few rare characters whose codes are longer than the fast table's 8 bits.
std::vector<std::string> mixedLines(unsigned seed, int count) {
  std::mt19937 random(seed);
  const std::string common = "etaoinshrdlucmfwypvbgk";
  const std::string rare = "jqxzQ\xE9\xE6\xDF\xFE\xF1";  // é æ ß þ ñ among them
  const auto word = [&] {
    std::string w;
    const int length = 1 + static_cast<int>(random() % 12);
    for (int i = 0; i < length; ++i) {
      w.push_back(random() % 40 == 0 ? rare[random() % rare.size()] : common[random() % common.size()]);
    }
    if (random() % 9 == 0) w.insert(w.size() / 2, random() % 2 ? "-" : "' ");
    return w;
  };
  std::vector<std::string> lines;
  for (int l = 0; l < count; ++l) {
    std::string line = random() % 10 == 0 ? ";" : "";
    const int fields = 1 + static_cast<int>(random() % 3);
    for (int f = 0; f < fields; ++f) {
      if (f > 0) line += line[0] == ';' ? ":" : ";";
      line += word();
      if (random() % 8 == 0) line += "+(note " + word() + ")+";
    }
    if (random() % 2 == 0) {
      line += "|";
      for (int w = 0, n = 1 + static_cast<int>(random() % 6); w < n; ++w) line += (w ? " " : "") + word();
    }
    lines.push_back(line);
  }
  return lines;
}

TEST(BuiltDictionary, HeaderInMemoryMatchesTheFile) {
  TempDir dir;
  TestDictionaryOptions options;
  options.description = "Mixed \xE9l\xE9ments";
  const std::string path = buildTestDictionary(dir, mixedLines(7, 300), options);
  KKDictionaryList::Dictionary d(path);
  d.open(true);
  ASSERT_TRUE(d.isOpen()) << d.statusText();
  const KkdFile f = readKkd(path);

  EXPECT_EQ(d.version(), 1);
  EXPECT_EQ(d.description(), "Mixed \xE9l\xE9ments");
  ASSERT_EQ(d.lengthSlots(), f.lengthSlots);
  EXPECT_EQ(d.definitionsStart(), f.definitionsStart);
  EXPECT_EQ(d.searchableStart(), f.searchableStart);
  EXPECT_EQ(d.definitionsEnd(), f.definitionsEnd);
  EXPECT_TRUE(d.hasDefinitions());
  for (int l = 0; l < f.lengthSlots; ++l) {
    const auto s = static_cast<std::size_t>(l);
    EXPECT_EQ(d.directTable(l), f.directTable[s]) << l;
    EXPECT_EQ(d.groupTable(l), f.groupTable[s]) << l;
    EXPECT_EQ(d.groupEntries(l), f.groupEntries[s]) << l;
    EXPECT_EQ(d.wordListOffset(l), f.wordListOffset[s]) << l;
    EXPECT_EQ(d.wordCount(l), f.wordCount[s]) << l;
    // The offsets a builder writes all lie inside the file.
    if (d.groupEntries(l) > 0) {
      EXPECT_TRUE(d.rangeInFile(d.groupTable(l), 4ull * d.groupEntries(l))) << l;
    }
  }
  EXPECT_EQ(d.letterCount(), f.letterCount);
  EXPECT_EQ(d.alphabetSize(), f.alphabetSize);
  for (int v = 0; v < 256; ++v) {
    const auto s = static_cast<std::size_t>(v);
    EXPECT_EQ(d.alphabet().byteChar[s], f.symbols[s].canonical) << v;
    EXPECT_EQ(d.codeTree()[s].first, f.symbols[s].length) << v;
    EXPECT_EQ(d.alphabet().alphabetIndexOf(static_cast<std::uint8_t>(v)),
              f.symbols[s].index < 0 ? 255 : f.symbols[s].index)
        << v;
    EXPECT_EQ(d.canonicalCharOf(v), static_cast<std::uint8_t>(f.indexChar(v))) << v;
  }
  ASSERT_EQ(d.positionTableCount(), f.positionTableCount);
  for (int k = 0; k < f.positionTableCount; ++k) {
    ASSERT_EQ(std::string(reinterpret_cast<const char*>(d.positionTable(k)), static_cast<std::size_t>(f.letterCount)),
              f.bytes.substr(f.positionTablesStart + static_cast<std::size_t>(k * f.letterCount),
                             static_cast<std::size_t>(f.letterCount)))
        << k;
  }
  EXPECT_EQ(d.headerEnd(), f.headerEnd);

  int entries = 0, definitions = 0, shortest = 0, longest = 0;
  d.statistics(entries, definitions, shortest, longest);
  std::string text;
  EXPECT_TRUE(d.describe(text));
  EXPECT_EQ(text, path + "\nHeadwords: " + std::to_string(entries) + "\nDefinitions: " + std::to_string(definitions) +
                      "\nDescription: Mixed \xE9l\xE9ments");
}

TEST(BuiltDictionary, EveryListDecodesAsTheSimpleDecoderReadsIt) {
  for (const unsigned seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(seed);
    TempDir dir;
    const std::string path = buildTestDictionary(dir, mixedLines(seed, 200 + 300 * static_cast<int>(seed)));
    KKDictionaryList::Dictionary d(path);
    d.open(true);
    ASSERT_TRUE(d.isOpen());
    const KkdFile f = readKkd(path);
    int longCodes = 0;
    for (const auto& s : f.symbols) longCodes += s.length > 8;
    EXPECT_GT(longCodes, 0) << "the input should exercise codes beyond the fast table";

    for (int length = 0; length <= kkd::kMaxLengthSlots; ++length) {
      SCOPED_TRACE(length);
      bool complete = false;
      const std::vector<DecodedEntry> mine = decodeWordList(d, length, &complete);
      ASSERT_TRUE(complete);
      const bool inTable = length < f.lengthSlots;
      const KkdWordList simple = inTable ? decodeWordList(f, length) : KkdWordList();
      std::vector<std::pair<std::string, bool>> section1;
      std::vector<std::string> section2;
      int flagged = 0, position = 0;
      for (const DecodedEntry& e : mine) {
        const std::string stored = e.annotation.empty() ? e.text : e.text + "\n" + e.annotation;
        // The key is the headword's letters as alphabet indices.
        std::vector<std::uint8_t> key;
        for (const char c : e.text) {
          const std::uint8_t index = d.alphabet().alphabetIndexOf(static_cast<std::uint8_t>(c));
          if (index != kkd::kNoIndex) key.push_back(index);
        }
        EXPECT_EQ(e.key, key) << e.text;
        EXPECT_EQ(static_cast<int>(e.key.size()), length) << e.text;
        if (e.section == 1) {
          section1.emplace_back(stored, e.flag);
          EXPECT_EQ(e.definitionIndex, e.flag ? flagged++ : -1);
        } else {
          section2.push_back(stored);
          EXPECT_EQ(e.definitionIndex, position++);
        }
      }
      std::vector<std::pair<std::string, bool>> simple1;
      for (const KkdWordEntry& e : simple.section1) simple1.emplace_back(e.text, e.flag);
      EXPECT_EQ(section1, simple1);
      EXPECT_EQ(section2, simple.section2);
      EXPECT_EQ(d.wordCount(length), section1.size());
      // Every flagged entry owns one group of the grouped pointer table.
      EXPECT_EQ(inTable ? static_cast<int>(readGroups(f, length).size()) : 0, flagged);
    }
  }
}

TEST(BuiltDictionary, DamagedCopiesOpenOrAreInvalid) {
  TempDir dir;
  const std::string path = buildTestDictionary(dir, mixedLines(11, 120));
  const std::string bytes = readFile(path);
  const KkdFile f = parseKkd(bytes);
  ScratchFile scratch;

  // Cut at every byte from the start of the definitions on, and at every
  // 7th byte of the header: a cut header is always invalid, a cut body
  // always leaves a usable header.
  for (std::size_t cut = 0; cut < bytes.size(); cut += cut < f.headerEnd ? 7 : 1) {
    SCOPED_TRACE(cut);
    EXPECT_EQ(openAndDecodeAll(scratch, bytes.substr(0, cut)), cut >= f.headerEnd);
  }
  std::mt19937 random(99);
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    std::string damaged = bytes;
    damaged[at] = static_cast<char>(damaged[at] ^ (1 + random() % 255));
    SCOPED_TRACE(at);
    openAndDecodeAll(scratch, damaged);
  }
}

}  // namespace
}  // namespace kea::test
