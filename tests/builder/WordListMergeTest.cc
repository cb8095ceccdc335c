// Merging word lists: what counts as a duplicate, exactly and folded, the
// annotations a merge keeps, dictionaries as inputs (damaged ones
// refused), and the jobs of kkmerge and kkbuild with their targets.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "builder/CompanionJobs.h"
#include "builder/WordListMerge.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea {
namespace {

using Lines = std::vector<std::string>;

// The merged entries as the builder lines they are written as.
Lines mergedLines(const WordListMerge& merge) {
  Lines lines;
  for (const auto& entry : merge.merged()) lines.push_back(WordListMerge::builderText({entry}));
  for (std::string& line : lines) line.pop_back();
  return lines;
}

Lines dictionaryLines(const std::string& path) {
  WordListMerge merge;
  std::string error;
  EXPECT_TRUE(merge.addDictionary(path, &error)) << error;
  return mergedLines(merge);
}

TEST(WordListMerge, DuplicatesAcrossInputsAreDroppedExactlyOrByTheirLetters) {
  const std::string first = "zebra\nIce-cream\napple\n123\n";
  const std::string second = "ICE CREAM\napple\ncaf\xC3\xA9\ncafe\n456\nApple\n";
  WordListMerge exact;
  ASSERT_TRUE(exact.addText(first, "first", nullptr));
  ASSERT_TRUE(exact.addText(second, "second", nullptr));
  EXPECT_EQ(exact.addedCount(), 10u);
  // Sorted by letters, case- and accent-blind, then byte for byte.
  EXPECT_EQ(mergedLines(exact), (Lines{"123", "456", "Apple", "apple", "cafe", "caf\xE9", "ICE CREAM", "Ice-cream",
                                       "zebra"}));

  // Folded: the first spelling met stays; entries without letters are
  // never the same as each other unless they are equal.
  WordListMerge folded(true);
  ASSERT_TRUE(folded.addText(first, "first", nullptr));
  ASSERT_TRUE(folded.addText(second, "second", nullptr));
  EXPECT_EQ(mergedLines(folded), (Lines{"123", "456", "apple", "caf\xE9", "Ice-cream", "zebra"}));
}

TEST(WordListMerge, AnnotationsAreKeptAndSpecialCharactersStayLiteral) {
  WordListMerge exact;
  ASSERT_TRUE(exact.addText("Smith+ (surname)+\nSmith\n  a\\;b\napple;pomme|a fruit\nnote+ (n.)+tail\n", "list",
                            nullptr));
  EXPECT_EQ(mergedLines(exact), (Lines{"a\\;b", "apple", "note+ (n.)+", "pomme", "Smith", "Smith+ (surname)+"}));
  // A word list keeps words: the definition is counted as left out.
  EXPECT_EQ(exact.leftOutDefinitions(), 1u);

  WordListMerge folded(true);
  ASSERT_TRUE(folded.addText("Smith+ (surname)+\nsmith\n", "list", nullptr));
  EXPECT_EQ(mergedLines(folded), (Lines{"Smith+ (surname)+"}));
}

TEST(WordListMerge, TextThatCannotBeConvertedIsRefusedWhole) {
  WordListMerge merge;
  std::string error;
  EXPECT_FALSE(merge.addText("alpha\n\xCE\xB1\xCE\xB2\n", "greek.txt", &error));
  EXPECT_NE(error.find("greek.txt: line 2"), std::string::npos) << error;
  EXPECT_EQ(merge.addedCount(), 0u);
}

TEST(WordListMerge, DictionariesGiveTheirHeadwordsWithAnnotationsButNotTheirIndexWords) {
  test::TempDir dir;
  const std::string path = test::buildTestDictionary(dir, {"apple|a round fruit", "Smith+ (surname)+", "pear"});
  EXPECT_EQ(dictionaryLines(path), (Lines{"apple", "pear", "Smith+ (surname)+"}));
  WordListMerge merge;
  ASSERT_TRUE(merge.addDictionary(path, nullptr));
  ASSERT_TRUE(merge.firstAlphabet().has_value());
  EXPECT_EQ((*merge.firstAlphabet())['A'], 'a');
}

TEST(WordListMerge, DamagedDictionariesAreRefusedWithTheirNameAndAddNothing) {
  test::TempDir dir;
  const std::string path = test::buildTestDictionary(dir, test::generatedWords(400, 6));
  const std::string bytes = test::readFile(path);
  WordListMerge merge;
  std::string error;

  test::writeFile(dir.file("text.kkd"), "not a dictionary at all\n");
  EXPECT_FALSE(merge.addDictionary(dir.file("text.kkd"), &error));
  EXPECT_EQ(error, dir.file("text.kkd") + " is not a dictionary file");

  EXPECT_FALSE(merge.addDictionary(dir.file("missing.kkd"), &error));
  EXPECT_EQ(error, dir.file("missing.kkd") + " was not found");
  EXPECT_FALSE(merge.addDictionary(dir.path().string(), &error));
  EXPECT_EQ(error, dir.path().string() + " is a folder, not a dictionary file");

  // The word lists cut short: refused as damaged, never half read.
  test::writeFile(dir.file("cut.kkd"), bytes.substr(0, bytes.size() - 200));
  EXPECT_FALSE(merge.addDictionary(dir.file("cut.kkd"), &error));
  EXPECT_EQ(error.rfind(dir.file("cut.kkd") + " is damaged: ", 0), 0u) << error;
  test::TestDictionaryOptions small;
  small.fileName = "small.kkd";
  const std::string smallBytes = test::readFile(test::buildTestDictionary(dir, {"apple", "banana", "cherry"}, small));
  test::writeFile(dir.file("short.kkd"), smallBytes.substr(0, smallBytes.size() - 6));
  EXPECT_FALSE(merge.addDictionary(dir.file("short.kkd"), &error));
  EXPECT_EQ(error, dir.file("short.kkd") + " is damaged: the list of 6-letter entries is cut short");
  EXPECT_EQ(merge.addedCount(), 0u);
}

TEST(MergeJob, WritesTextOrADictionaryWithABackupAndLeavesTheTargetOnFailure) {
  test::TempDir dir;
  const std::string source = test::buildTestDictionary(dir, {"apple", "Smith+ (surname)+"});
  test::writeFile(dir.file("extra.txt"), "caf\xC3\xA9\napple\nzebra\n");

  MergeJob job;
  job.inputs = {source, dir.file("extra.txt")};
  job.target = dir.file("merged.txt");
  JobResult result = runMergeJob(job);
  ASSERT_TRUE(result.ok) << result.report;
  EXPECT_EQ(result.report, "Merged 4 entries from 2 inputs, 1 duplicate left out into " + job.target);
  EXPECT_EQ(test::readFile(job.target), "apple\ncaf\xC3\xA9\nSmith+ (surname)+\nzebra\n");

  job.target = dir.file("merged.kkd");
  ASSERT_TRUE(runMergeJob(job).ok);
  EXPECT_EQ(dictionaryLines(job.target), (Lines{"apple", "caf\xE9", "Smith+ (surname)+", "zebra"}));
  const std::string first = test::readFile(job.target);
  job.inputs = {dir.file("extra.txt")};
  ASSERT_TRUE(runMergeJob(job).ok);
  EXPECT_EQ(test::readFile(dir.file("Backup of merged.kkd")), first);
  EXPECT_EQ(dictionaryLines(job.target), (Lines{"apple", "caf\xE9", "zebra"}));

  // Cancelled, or an input refused: the target stays as it was.
  const std::string before = test::readFile(job.target);
  JobProgress cancel;
  cancel.cancelled = [] { return true; };
  result = runMergeJob(job, cancel);
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(result.cancelled);
  job.inputs = {dir.file("extra.txt"), dir.file("missing.txt")};
  result = runMergeJob(job);
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.cancelled);
  EXPECT_EQ(result.report, dir.file("missing.txt") + " was not found");
  EXPECT_TRUE(result.inputUnreadable);
  EXPECT_EQ(test::readFile(job.target), before);
  EXPECT_EQ(test::readFile(dir.file("Backup of merged.kkd")), first);
}

TEST(BuildJob, BuildsFromSeveralFilesReportingProgressAndCancelLeavesTheTarget) {
  test::TempDir dir;
  test::writeFile(dir.file("a.txt"), "apple|a fruit\n");
  test::writeFile(dir.file("b.txt"), "pear\nquince\n");
  BuildJob job;
  job.inputs = {dir.file("a.txt"), dir.file("b.txt")};
  job.target = dir.file("fruit.kkd");
  job.description = "Fruit";
  std::vector<int> percents;
  JobProgress progress;
  progress.progress = [&percents](const std::string&, int percent) { percents.push_back(percent); };
  JobResult result = runBuildJob(job, progress);
  ASSERT_TRUE(result.ok) << result.report;
  EXPECT_EQ(result.report, "Built " + job.target + " from 3 lines");
  EXPECT_EQ(dictionaryLines(job.target), (Lines{"apple", "pear", "quince"}));
  ASSERT_FALSE(percents.empty());
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  EXPECT_LE(percents.back(), 99);
  EXPECT_GT(percents.back(), 50);

  // A target that is one of the inputs is refused before anything is read.
  job.target = dir.file("b.txt");
  result = runBuildJob(job);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.report, "The target " + job.target + " is one of the input files");
  EXPECT_EQ(test::readFile(dir.file("b.txt")), "pear\nquince\n");
  job.target = dir.file("fruit.kkd");

  const std::string before = test::readFile(job.target);
  job.inputs = {dir.file("b.txt")};
  JobProgress cancel;
  cancel.cancelled = [] { return true; };
  result = runBuildJob(job, cancel);
  EXPECT_TRUE(result.cancelled);
  EXPECT_NE(result.report.find("Dictionary creation abandoned"), std::string::npos) << result.report;
  EXPECT_EQ(test::readFile(job.target), before);
  // Nothing of the attempt is left beside the target and the block
  // summaries of the first build.
  EXPECT_EQ(dir.names(), (std::vector<std::string>{"a.txt", "b.txt", "fruit.blocks", "fruit.kkd"}));
}

TEST(BuildJob, ReadsItsListsFirstAndSaysWhatTheBuilderLeftOut) {
  test::TempDir dir;
  const std::string tooLong(2100, 'a');
  test::writeFile(dir.file("in.txt"), "pear\nquince\n" + tooLong + "\n");
  test::writeFile(dir.file("scores.txt"), "pear;70\n");
  test::writeFile(dir.file("pairs.txt"), "not a pair line\n");
  BuildJob job;
  job.inputs = {dir.file("in.txt")};
  job.target = dir.file("fruit.kkd");
  job.scoreLists = {dir.file("scores.txt")};

  // Without a notice callback the left-out headword is in the report.
  JobResult result = runBuildJob(job);
  ASSERT_TRUE(result.ok) << result.report;
  EXPECT_EQ(result.report, "1 headword longer than 2038 characters left out\nBuilt " + job.target +
                               " from 3 lines; 1 entry scored");
  // With one, the notice goes there and the report is the outcome only.
  std::vector<std::string> notices;
  JobProgress progress;
  progress.notice = [&notices](const std::string& text) { notices.push_back(text); };
  result = runBuildJob(job, progress);
  ASSERT_TRUE(result.ok) << result.report;
  EXPECT_EQ(notices, std::vector<std::string>{"1 headword longer than 2038 characters left out"});
  EXPECT_EQ(result.report.rfind("Built ", 0), 0u) << result.report;

  // A bad list stops the job before the target is touched; a missing one
  // counts as an unreadable input.
  const std::string before = test::readFile(job.target);
  job.pairLists = {dir.file("pairs.txt")};
  result = runBuildJob(job);
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.inputUnreadable);
  EXPECT_EQ(result.report.rfind(dir.file("pairs.txt") + ": ", 0), 0u) << result.report;
  job.pairLists = {dir.file("missing.txt")};
  result = runBuildJob(job);
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(result.inputUnreadable);
  EXPECT_EQ(test::readFile(job.target), before);
}

}  // namespace
}  // namespace kea
