// Scores as builder input gives them: which lines are scored, what a merge
// and a saved dictionary keep of them, and the word-pair lines of kkbuild.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "builder/CompanionJobs.h"
#include "builder/ScoreCompanions.h"
#include "builder/WordListMerge.h"
#include "dictionary/DictionaryList.h"
#include "dictionary/WordListDecoder.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea {
namespace {

TEST(ScoredWords, OnlyALastFieldOfZeroToAHundredAfterASemicolonIsAScore) {
  struct Case {
    const char* line;
    int score;  // -1: not a scored line
  };
  const Case cases[] = {
      {"word;50", 50},        {"apple;pomme;80", 80}, {"word;0", 0},       {"word;100", 100},
      {"word; 7 ", 7},        {"word;50\r", 50},      {"word;101", -1},    {"word;-1", -1},
      {"word:50", -1},        {"word;50|a fruit", -1}, {"word;5a", -1},    {"word;", -1},
      {"word", -1},           {"50", -1},             {"word;\\50", -1},   {"word;50+note+", -1},
  };
  for (const Case& c : cases) {
    ParsedLine parsed;
    parsed.parse(c.line);
    int score = -1;
    const bool scored = scoredLineScore(parsed, score);
    EXPECT_EQ(scored ? score : -1, c.score) << c.line;
  }
  ScoredWords words;
  EXPECT_EQ(words.addLines("apple;pomme;80\nSmith+(name)+;30\ntail\napple;90\napple;10\n"), 4u);
  EXPECT_EQ(words.find("apple"), 90);  // the highest of its scores
  EXPECT_EQ(words.find("pomme"), 80);
  EXPECT_EQ(words.find("Smith"), 30);  // by its headword, without the annotation
  EXPECT_EQ(words.find("tail"), kNoScore);
  EXPECT_EQ(words.find("Apple"), kNoScore);
}

TEST(WordPairLines, EachLineIsTwoWordsAndABonusOrItIsRefusedByNumber) {
  WordPairs pairs;
  std::string error;
  ASSERT_TRUE(addPairLines("tail end;23\n\nopen door;-4\n", pairs, &error)) << error;
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[0], (std::pair<std::uint32_t, std::int8_t>{PairScores::pairKey("tail", "end"), 23}));
  EXPECT_EQ(pairs[1].second, -4);
  for (const char* bad : {"tail;23", "tail end 23", "tail end;200", "tail end;x"}) {
    WordPairs none;
    EXPECT_FALSE(addPairLines(std::string("a b;1\n") + bad + "\n", none, &error)) << bad;
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
  }
}

TEST(WordListMerge, ScoresSurviveAMergeAndTheHighestOfDuplicatesIsKept) {
  WordListMerge merge;
  ASSERT_TRUE(merge.addText("tail;30\nend\nSmith+(name)+;40\n", "first", nullptr));
  ASSERT_TRUE(merge.addText("TAIL;70\nend;5\n", "second", nullptr));
  const std::string text = WordListMerge::builderText(merge.merged());
  EXPECT_EQ(text, "end;5\nSmith+(name)+;40\nTAIL;70\ntail;30\n");
  // Folded, the first spelling is kept with the best score of both.
  WordListMerge folded(true);
  ASSERT_TRUE(folded.addText("tail;30\nTAIL;70\n", "list", nullptr));
  EXPECT_EQ(WordListMerge::builderText(folded.merged()), "tail;70\n");
}

TEST(WordListMerge, ADictionarysScoresComeAlongIntoAMergedDictionary) {
  test::TempDir dir;
  const std::string source = test::buildTestDictionary(dir, {"pear;20", "apple;90", "zebra"});
  ScoredWords words;
  words.addLines("pear;20\napple;90\n");
  ASSERT_TRUE(writeScoresCompanion(source, words, nullptr, nullptr));
  test::writeFile(dir.file("more.txt"), "kiwi;60\nzebra\n");

  MergeJob job;
  job.inputs = {source, dir.file("more.txt")};
  job.target = dir.file("merged.kkd");
  const JobResult result = runMergeJob(job);
  ASSERT_TRUE(result.ok) << result.report;
  DictionaryList::Dictionary merged(dir.file("merged.kkd"));
  merged.open(true);
  const EntryScores* scores = merged.entryScores();
  ASSERT_NE(scores, nullptr);
  std::vector<std::pair<std::string, int>> found;
  for (int length = 1; length < merged.lengthSlots(); ++length) {
    std::uint32_t ordinal = 0;
    for (const DecodedEntry& entry : decodeWordList(merged, length)) {
      if (entry.section == 1) found.emplace_back(entry.text, scores->score(length, ordinal++));
    }
  }
  const std::vector<std::pair<std::string, int>> expected = {
      {"kiwi", 60}, {"pear", 20}, {"apple", 90}, {"zebra", kNoScore}};
  EXPECT_EQ(found, expected);

  // Built again from a list without scores, the old scores go.
  test::writeFile(dir.file("plain.txt"), "kiwi\n");
  job.inputs = {dir.file("plain.txt")};
  ASSERT_TRUE(runMergeJob(job).ok);
  EXPECT_FALSE(std::filesystem::exists(dir.file("merged.scores")));
}

TEST(BuildJob, ScoredLinesOfTheInputAreWrittenBesideTheDictionary) {
  test::TempDir dir;
  test::writeFile(dir.file("in.txt"), "tail end;65\nsardine|a small fish\nobelisk;40\n");
  BuildJob job;
  job.inputs = {dir.file("in.txt")};
  job.target = dir.file("out.kkd");
  const JobResult result = runBuildJob(job);
  ASSERT_TRUE(result.ok) << result.report;
  EXPECT_NE(result.report.find("2 entries scored"), std::string::npos) << result.report;
  DictionaryList::Dictionary built(dir.file("out.kkd"));
  built.open(true);
  ASSERT_NE(built.entryScores(), nullptr);
  EXPECT_EQ(built.entryScores()->scoredCount(), 2u);
}

}  // namespace
}  // namespace kea
