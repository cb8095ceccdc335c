// Commonness scores and word pairs kept beside a dictionary: they reach
// the entries they were written for, and a companion that is stale, cut,
// changed anywhere or made for another file is ignored, never believed.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "builder/ScoreCompanions.h"
#include "dictionary/DictionaryList.h"
#include "dictionary/EntryScores.h"
#include "dictionary/WordListDecoder.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea {
namespace {

const std::vector<std::string> kLines = {"pear;20", "apple;pomme;90", "tail end;65", "zebra", "ox;0", "Apple;12"};

// Every entry's score as the dictionary's scores give it, by entry text.
std::map<std::string, int> scoresByText(const std::string& path) {
  DictionaryList::Dictionary dictionary(path);
  dictionary.open(true);
  std::map<std::string, int> out;
  const EntryScores* scores = dictionary.entryScores();
  if (scores == nullptr) return out;
  for (int length = 1; length < dictionary.lengthSlots(); ++length) {
    std::uint32_t ordinal = 0;
    for (const DecodedEntry& entry : decodeWordList(dictionary, length)) {
      if (entry.section == 1) out[entry.text] = scores->score(length, ordinal++);
    }
  }
  return out;
}

std::string scoredDictionary(const test::TempDir& dir, const std::vector<std::string>& lines,
                             const std::string& name = "test.kkd") {
  test::TestDictionaryOptions options;
  options.fileName = name;
  const std::string path = test::buildTestDictionary(dir, lines, options);
  ScoredWords words;
  for (const std::string& line : lines) words.addLine(line);
  std::size_t scored = 0;
  std::string error;
  EXPECT_TRUE(writeScoresCompanion(path, words, &scored, &error)) << error;
  EXPECT_EQ(scored, 6u);
  return path;
}

TEST(EntryScores, EachEntryGetsItsOwnScoreAndUnscoredEntriesNone) {
  test::TempDir dir;
  const std::string path = scoredDictionary(dir, kLines);
  EXPECT_TRUE(std::filesystem::exists(dir.file("test.scores")));
  const std::map<std::string, int> expected = {{"pear", 20}, {"apple", 90}, {"pomme", 90}, {"tail end", 65},
                                               {"zebra", kNoScore}, {"ox", 0}, {"Apple", 12}};
  EXPECT_EQ(scoresByText(path), expected);
  // The number of a scored line is no entry.
  DictionaryList::Dictionary dictionary(path);
  dictionary.open(true);
  EXPECT_EQ(dictionary.entryScores()->scoredCount(), 6u);
  EXPECT_EQ(dictionary.entryScores()->score(5, 99), kNoScore);
  EXPECT_EQ(dictionary.entryScores()->score(0, 0), kNoScore);
  EXPECT_EQ(dictionary.entryScores()->score(101, 0), kNoScore);
}

TEST(EntryScores, ACopiedDictionaryKeepsItsScoresAndARebuiltOneLosesThem) {
  test::TempDir dir;
  const std::string path = scoredDictionary(dir, kLines);
  // A copy elsewhere has another time stamp but the same content.
  std::filesystem::create_directory(dir.path() / "copy");
  std::filesystem::copy_file(path, dir.path() / "copy" / "test.kkd");
  std::filesystem::copy_file(dir.file("test.scores"), dir.path() / "copy" / "test.scores");
  EXPECT_EQ(scoresByText((dir.path() / "copy" / "test.kkd").string()).at("apple"), 90);

  // Rebuilt with other entries, the old scores would sit on wrong words.
  const std::string scores = test::readFile(dir.file("test.scores"));
  test::TestDictionaryOptions options;
  test::buildTestDictionary(dir, {"pear", "apricot", "banana"}, options);
  test::writeFile(dir.file("test.scores"), scores);
  EXPECT_TRUE(scoresByText(path).empty());
}

TEST(EntryScores, ACutOrChangedCompanionIsIgnored) {
  test::TempDir dir;
  const std::string path = scoredDictionary(dir, kLines);
  const std::string good = test::readFile(dir.file("test.scores"));
  ASSERT_GT(good.size(), kCompanionFrameSize);
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    test::writeFile(dir.file("test.scores"), good.substr(0, cut));
    ASSERT_TRUE(scoresByText(path).empty()) << "cut at " << cut;
  }
  DictionaryList::Dictionary dictionary(path);
  dictionary.open(true);
  for (std::size_t at = 0; at < good.size(); ++at) {
    std::string changed = good;
    changed[at] = static_cast<char>(changed[at] ^ 0x40);
    test::writeFile(dir.file("test.scores"), changed);
    ASSERT_TRUE(scoresByText(path).empty()) << "byte " << at;
    // The frame itself says why, and hands over no payload.
    const CompanionFile file = readCompanionFile(dir.file("test.scores"), EntryScores::kMagic, 1 << 20,
                                                 dictionary.fingerprint(), FingerprintCheck::SizeAndHeader);
    ASSERT_TRUE(file.status == CompanionStatus::Damaged || file.status == CompanionStatus::Stale) << "byte " << at;
    ASSERT_TRUE(file.payload.empty()) << "byte " << at;
  }
  test::writeFile(dir.file("test.scores"), good + "x");
  EXPECT_TRUE(scoresByText(path).empty());
  // A folder in the companion's place is no companion either.
  std::filesystem::remove(dir.file("test.scores"));
  std::filesystem::create_directory(dir.file("test.scores"));
  EXPECT_TRUE(scoresByText(path).empty());
}

TEST(EntryScores, AListWithoutScoresRemovesAnOldCompanion) {
  test::TempDir dir;
  const std::string path = scoredDictionary(dir, kLines);
  ScoredWords none;
  none.addLine("pear");
  std::size_t scored = 7;
  ASSERT_TRUE(writeScoresCompanion(path, none, &scored, nullptr));
  EXPECT_EQ(scored, 0u);
  EXPECT_FALSE(std::filesystem::exists(dir.file("test.scores")));
}

TEST(EntryScores, TheScaleIsLogarithmicAndClamped) {
  EXPECT_EQ(logFrequencyToScore(scoreToLogFrequency(1)), 1);
  EXPECT_EQ(logFrequencyToScore(scoreToLogFrequency(57)), 57);
  EXPECT_EQ(logFrequencyToScore(scoreToLogFrequency(100)), 100);
  EXPECT_EQ(logFrequencyToScore(-40.0), 0);
  EXPECT_EQ(logFrequencyToScore(3.0), 100);
  // Fifteen decimal orders of magnitude from 1 to 100.
  EXPECT_NEAR(scoreToLogFrequency(100) - scoreToLogFrequency(1), 15.0, 1e-9);
}

TEST(CompanionFile, PathsReplaceTheExtensionOfTheFileOnly) {
  EXPECT_EQ(companionPath("/x/English.kkd", ".scores"), "/x/English.scores");
  EXPECT_EQ(companionPath("/x/Mine.KKD", ".pairs"), "/x/Mine.pairs");
  EXPECT_EQ(companionPath("/x/words", ".scores"), "/x/words.scores");
  EXPECT_EQ(companionPath("/x.kkd/words", ".scores"), "/x.kkd/words.scores");
  EXPECT_EQ(companionPath("/x/.kkd", ".scores"), "/x/.kkd.scores");
}

TEST(PairScores, PairsAreFoundByTheirWordsFoldedAndOthersAreNot) {
  std::vector<std::pair<std::uint32_t, std::int8_t>> pairs = {
      {PairScores::pairKey("tail", "end"), 23},
      {PairScores::pairKey("open", "door"), 12},
      {PairScores::pairKey("isn't", "it"), -5},
  };
  // Keys that share their upper sixteen bits land in one group.
  for (std::uint32_t low = 0; low < 300; ++low) pairs.push_back({0xABCD0000u | (low * 7), static_cast<std::int8_t>(low % 100)});
  test::TempDir dir;
  const std::string path = test::buildTestDictionary(dir, {"tail", "end"});
  WordPairs words(pairs.begin(), pairs.end());
  ASSERT_TRUE(writePairsCompanion(path, words, nullptr));
  DictionaryList::Dictionary dictionary(path);
  dictionary.open(true);
  const auto loaded = dictionary.pairScores();
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->size(), pairs.size());
  int tenths = 0;
  EXPECT_TRUE(loaded->bonus(PairScores::pairKey("Tail", "END"), tenths));
  EXPECT_EQ(tenths, 23);
  EXPECT_TRUE(loaded->bonus(PairScores::pairKey("ISN'T", "it"), tenths));
  EXPECT_EQ(tenths, -5);
  EXPECT_FALSE(loaded->bonus(PairScores::pairKey("end", "tail"), tenths));
  for (std::uint32_t low = 0; low < 300; ++low) {
    ASSERT_TRUE(loaded->bonus(0xABCD0000u | (low * 7), tenths));
    EXPECT_EQ(tenths, static_cast<int>(low % 100));
    EXPECT_EQ(loaded->bonus(0xABCD0000u | (low * 7 + 1), tenths), false);
  }
  // Accents and case fold as in every letter comparison; other characters
  // go, apostrophes stay.
  EXPECT_EQ(PairScores::pairKey("caf\xE9", "noir"), PairScores::pairKey("CAFE", "Noir"));
  EXPECT_EQ(PairScores::pairKey("tail.", "end"), PairScores::pairKey("tail", "end"));
  EXPECT_NE(PairScores::pairKey("isnt", "it"), PairScores::pairKey("isn't", "it"));
  EXPECT_NE(PairScores::pairKey("a", "bc"), PairScores::pairKey("ab", "c"));

  // A damaged table is refused.
  std::string bytes = test::readFile(dir.file("test.pairs"));
  bytes[kCompanionFrameSize] = static_cast<char>(bytes[kCompanionFrameSize] ^ 1);
  test::writeFile(dir.file("test.pairs"), bytes);
  DictionaryList::Dictionary again(path);
  again.open(true);
  EXPECT_EQ(again.pairScores(), nullptr);
}

}  // namespace
}  // namespace kea
