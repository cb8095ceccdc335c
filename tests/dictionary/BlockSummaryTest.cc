// Block summaries as a file: what the writer makes of a dictionary, checked
// against decoding the lists, and summaries that are missing, stale, cut
// short, changed or inconsistent with their dictionary, none of which is
// taken. (Searches over them: tests/pattern/BlockSkippingTest.cc.)
#include "dictionary/BlockSummary.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "builder/BlockSummaryWriter.h"
#include "builder/CompanionFileWriter.h"
#include "dictionary/Coding.h"
#include "dictionary/WordListDecoder.h"
#include "dictionary/WordListFile.h"
#include "support/BlockSummaryWords.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea {
namespace {

class BlockSummaryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = test::buildTestDictionary(dir, test::unevenLetterLines(3000));
    blocksPath = companionPath(path, blocks::kExtension);
  }
  // A dictionary object of its own, so that each read finds the file as it
  // is now.
  std::unique_ptr<DictionaryList::Dictionary> openDictionary() const {
    auto d = std::make_unique<DictionaryList::Dictionary>(path);
    d->open(true);
    EXPECT_TRUE(d->isOpen());
    return d;
  }
  CompanionStatus statusNow() const { return loadBlockSummaries(*openDictionary()).status; }

  test::TempDir dir;
  std::string path;
  std::string blocksPath;
};

TEST_F(BlockSummaryTest, EachBlockStartsWhereDecodingFindsItsFirstEntryAndHoldsItsEntriesLetters) {
  std::string error;
  ASSERT_TRUE(writeBlockSummaries(path, &error, 8)) << error;
  const auto d = openDictionary();
  const LoadedBlockSummaries loaded = loadBlockSummaries(*d);
  ASSERT_EQ(loaded.status, CompanionStatus::Loaded);
  EXPECT_EQ(*loaded.summaries, *BlockSummaries::make(*d, 8));
  EXPECT_EQ(loaded.summaries->entriesPerBlock(), 8);

  int lengthsSeen = 0;
  auto word = std::make_unique<WordBuffer>();
  for (int length = 0; length <= d->lengthSlots(); ++length) {
    std::vector<DecodedEntry> section1;
    for (DecodedEntry& e : decodeWordList(*d, length)) {
      if (e.section == 1) section1.push_back(std::move(e));
    }
    const LengthBlocks* blocks = loaded.summaries->length(length);
    if (section1.empty()) {
      EXPECT_EQ(blocks, nullptr) << length;
      continue;
    }
    ++lengthsSeen;
    ASSERT_NE(blocks, nullptr) << length;
    ASSERT_EQ(blocks->entries(), section1.size());
    ASSERT_EQ(blocks->endBlock(), (section1.size() + 7) / 8);
    for (std::size_t b = 0; b <= blocks->endBlock(); ++b) {
      std::uint32_t letters = 0;
      for (std::size_t i = b * 8; i < std::min(section1.size(), b * 8 + 8); ++i) {
        for (const std::uint8_t index : section1[i].key) letters |= blocks::letterBit(index);
      }
      EXPECT_EQ(blocks->letters(b), letters) << length << " " << b;
      // Started where the block says, the decoder reads the block's first
      // entry with its definition number, or the end of section 1.
      WordListFile file;
      WordListDecoder decoder(*d);
      const WordBlock start = blocks->start(b);
      ASSERT_EQ(file.startList(*d, length, decoder, start.startBit, start.flaggedBefore),
                WordListFile::Status::Reading);
      const WordListDecoder::Result r = decoder.next(*word);
      if (b == blocks->endBlock()) {
        EXPECT_EQ(r.record, WordListDecoder::Record::SectionEnd) << length;
      } else {
        ASSERT_EQ(r.record, WordListDecoder::Record::Entry);
        EXPECT_EQ(std::string(word->raw), section1[b * 8].text);
        EXPECT_EQ(r.definitionIndex, section1[b * 8].definitionIndex);
      }
    }
  }
  EXPECT_GE(lengthsSeen, 9);
  // A length outside the dictionary has no blocks.
  EXPECT_EQ(loaded.summaries->length(-1), nullptr);
  EXPECT_EQ(loaded.summaries->length(d->lengthSlots()), nullptr);
}

TEST_F(BlockSummaryTest, OnlyASummaryOfThisVeryFileIsTaken) {
  // A small dictionary: every byte of its summary is changed in turn.
  test::buildTestDictionary(dir, test::unevenLetterLines(300));
  EXPECT_EQ(statusNow(), CompanionStatus::Missing);
  std::string error;
  ASSERT_TRUE(writeBlockSummaries(path, &error)) << error;
  EXPECT_EQ(statusNow(), CompanionStatus::Loaded);
  const std::string good = test::readFile(blocksPath);

  // Cut anywhere, or any byte changed: the frame's size or hash tells.
  for (std::size_t size = 0; size < good.size(); ++size) {
    test::writeFile(blocksPath, good.substr(0, size));
    ASSERT_EQ(statusNow(), CompanionStatus::Damaged) << size;
  }
  for (std::size_t i = 0; i < good.size(); ++i) {
    std::string bytes = good;
    bytes[i] = static_cast<char>(bytes[i] ^ (1 << (i % 8)));
    test::writeFile(blocksPath, bytes);
    ASSERT_EQ(statusNow(), CompanionStatus::Damaged) << i;
  }
  test::writeFile(blocksPath, good + "x");
  EXPECT_EQ(statusNow(), CompanionStatus::Damaged);

  // The same dictionary installed or unpacked with its time kept to the
  // second only, and touched since (its bit offsets could be another
  // file's), or rebuilt with other words.
  test::writeFile(blocksPath, good);
  EXPECT_EQ(statusNow(), CompanionStatus::Loaded);
  const auto written = std::filesystem::last_write_time(path);
  std::filesystem::last_write_time(path, std::chrono::floor<std::chrono::seconds>(written));
  EXPECT_EQ(statusNow(), CompanionStatus::Loaded);
  std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(1));
  EXPECT_EQ(statusNow(), CompanionStatus::Stale);
  test::buildTestDictionary(dir, test::unevenLetterLines(299));
  EXPECT_EQ(statusNow(), CompanionStatus::Stale);

  // A summary that cannot be made leaves none behind.
  test::writeFile(blocksPath, good);
  test::writeFile(path, "KKD1 not a dictionary");
  EXPECT_FALSE(writeBlockSummaries(path, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(std::filesystem::exists(blocksPath));
}

TEST_F(BlockSummaryTest, AWellFramedSummaryThatDisagreesWithItsDictionaryIsDamaged) {
  const auto d = openDictionary();
  const std::string made(BlockSummaries::make(*d, 8)->serialize());
  ASSERT_TRUE(BlockSummaries::parse(made, *d).has_value());
  // The payload: N, S, then per length its entry count and 12-byte blocks.
  const auto u32At = [](const std::string& bytes, std::size_t at) {
    return coding::decodeFixed32(reinterpret_cast<const unsigned char*>(bytes.data() + at));
  };
  const auto withU32 = [](std::string bytes, std::size_t at, std::uint32_t value) {
    coding::encodeFixed32(reinterpret_cast<unsigned char*>(bytes.data() + at), value);
    return bytes;
  };
  // The first length with blocks, and where its first block's record is.
  std::size_t at = 8;
  while (u32At(made, at) == 0) at += 4;
  const std::size_t firstBlock = at + 4;
  const struct {
    const char* what;
    std::string payload;
  } cases[] = {
      {"no blocks of no entries", withU32(made, 0, 0)},
      {"blocks larger than allowed", withU32(made, 0, blocks::kMaxEntriesPerBlock + 1)},
      {"another number of lengths", withU32(made, 4, u32At(made, 4) + 1)},
      {"more entries than the blocks hold", withU32(made, at, u32At(made, at) + 8)},
      {"entries past the largest count", withU32(made, at, 0x80000000u)},
      {"a block of fewer bits than its records need", withU32(made, firstBlock + 4, 15)},
      {"more flagged entries than entries", withU32(made, firstBlock + 8, 9)},
      {"an end record past the file's end", withU32(made, firstBlock + 4, 0xFFFFFFF0u)},
      {"bytes after the last length", made + std::string(4, '\0')},
      {"cut after the header", made.substr(0, 8)},
      {"empty", ""},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(BlockSummaries::parse(c.payload, *d).has_value()) << c.what;
    std::string error;
    ASSERT_TRUE(writeCompanionFile(blocksPath, blocks::kMagic, d->fingerprint(), c.payload, &error))
        << error;
    EXPECT_EQ(statusNow(), CompanionStatus::Damaged) << c.what;
  }
  // Under another kind's magic.
  std::string error;
  ASSERT_TRUE(writeCompanionFile(blocksPath, "KEASCOR1", d->fingerprint(), made, &error));
  EXPECT_EQ(statusNow(), CompanionStatus::Damaged);
  ASSERT_TRUE(writeCompanionFile(blocksPath, blocks::kMagic, d->fingerprint(), made, &error));
  EXPECT_EQ(statusNow(), CompanionStatus::Loaded);
}

TEST(WideHash, EveryChangedBitAndEveryLengthGiveAnotherHash) {
  std::string bytes(100, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 37 + 11);
  std::set<std::uint64_t> hashes;
  for (std::size_t size = 0; size <= bytes.size(); ++size) hashes.insert(wideHash64(bytes.data(), size, 7));
  for (std::size_t bit = 0; bit < bytes.size() * 8; ++bit) {
    std::string changed = bytes;
    changed[bit / 8] = static_cast<char>(changed[bit / 8] ^ (1 << (bit % 8)));
    hashes.insert(wideHash64(changed.data(), changed.size(), 7));
  }
  EXPECT_EQ(hashes.size(), bytes.size() + 1 + bytes.size() * 8);
  EXPECT_NE(wideHash64(bytes.data(), bytes.size(), 7), wideHash64(bytes.data(), bytes.size(), 8));
}

}  // namespace
}  // namespace kea
