// Most common first, as a user meets it at the terminal: the shipped
// dictionary's scores put the likely answer first, --min-score and
// --show-score, ranked phrase anagrams, and a scored word list built with
// kkbuild and searched with kea-cli.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace kea::test {
namespace {

ProgramRun cli(const std::string& command, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), command);
  return runProgram("kea-cli", arguments);
}

// The lines of "entry\tscore" output, split.
std::vector<std::pair<std::string, int>> scored(const std::string& out) {
  std::vector<std::pair<std::string, int>> rows;
  for (const std::string& line : outputLines(out)) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    const std::string score = line.substr(tab + 1);
    rows.emplace_back(line.substr(0, tab), score == "-" ? -1 : std::stoi(score));
  }
  return rows;
}

TEST(KeaCliRank, TheShippedScoresPutTheLikelyWordFirst) {
  ProgramRun r = cli("search", {"--rank", "--show-score", ".l...r.n"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto rows = scored(r.out);
  ASSERT_GE(rows.size(), 5u) << r.out;
  EXPECT_EQ(rows.front().first, "electron");
  for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_GE(rows[i - 1].second, rows[i].second) << rows[i].first;
  EXPECT_EQ(outputLines(cli("search", {"--rank", "o.e.i.k"}).out).front(), "obelisk");
  // The common word before its capitalised twin.
  const std::vector<std::string> bills = outputLines(cli("search", {"--rank", "bil."}).out);
  ASSERT_GE(bills.size(), 2u);
  EXPECT_EQ(bills.front(), "bill");

  // The threshold hides the rarer entries, and only them.
  r = cli("search", {"--min-score", "60", "--show-score", ".l...r.n"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto common = scored(r.out);
  ASSERT_FALSE(common.empty());
  EXPECT_LT(common.size(), rows.size());
  for (const auto& row : common) EXPECT_GE(row.second, 60) << row.first;

  // A ranked order is no alphabetical one.
  r = cli("search", {"--rank", "--sort", "a*"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("--rank"), std::string::npos) << r.err;
  r = cli("search", {"--min-score", "101", "a*"});
  EXPECT_EQ(r.exitCode, 2);
}

TEST(KeaCliRank, PhraseAnagramsListTheRealPhraseFirst) {
  ProgramRun r = cli("anagram", {"--enum", "4,3", "tailend"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::vector<std::string> ranked = outputLines(r.out);
  ASSERT_GT(ranked.size(), 100u);
  EXPECT_EQ(ranked.front(), "tail end");
  r = cli("anagram", {"--enum", "5,3", "blacktea"});
  EXPECT_EQ(outputLines(r.out).front(), "black tea") << r.out.substr(0, 200);

  // The order found is still there, with the same phrases.
  r = cli("anagram", {"--alphabetical", "--enum", "4,3", "tailend"});
  std::vector<std::string> found = outputLines(r.out);
  EXPECT_NE(found.front(), "tail end");
  std::vector<std::string> sortedRanked = ranked;
  std::sort(sortedRanked.begin(), sortedRanked.end());
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, sortedRanked);
  r = cli("anagram", {"--limit", "1", "--show-score", "--enum", "4,3", "tailend"});
  ASSERT_EQ(scored(r.out).size(), 1u);
  EXPECT_EQ(scored(r.out)[0].first, "tail end");
}

TEST(KeaCliRank, AScoredWordListBuiltWithKkbuildIsRankedByItsScores) {
  TempDir dir;
  writeFile(dir.file("list.txt"), "zebra;10\napple;90\nmango;50\nkiwi\ntail end;70\n");
  ProgramRun r = runProgram("kkbuild", {dir.file("list.txt"), dir.file("fruit.kkd")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("4 entries scored"), std::string::npos) << r.err;
  EXPECT_TRUE(std::filesystem::exists(dir.file("fruit.scores")));
  r = cli("search", {"-d", dir.file("fruit.kkd"), "--rank", "--no-group", "--show-score", "*"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "apple\t90\ntail end\t70\nmango\t50\nzebra\t10\nkiwi\t-\n");
  // Unscored entries are never hidden.
  r = cli("search", {"-d", dir.file("fruit.kkd"), "--min-score", "60", "*"});
  EXPECT_EQ(outputLines(r.out), (std::vector<std::string>{"kiwi", "apple", "tail end"}));

  // Saved as a dictionary, the results keep their scores.
  r = cli("search", {"-d", dir.file("fruit.kkd"), "--save", dir.file("saved.kkd"), "*a*"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = cli("search", {"-d", dir.file("saved.kkd"), "--rank", "--no-group", "--show-score", "*"});
  EXPECT_EQ(r.out, "apple\t90\ntail end\t70\nmango\t50\nzebra\t10\n");

  // Rebuilt without scores, the old ones are gone and the order is as before.
  writeFile(dir.file("list.txt"), "zebra\napple\n");
  ASSERT_EQ(runProgram("kkbuild", {dir.file("list.txt"), dir.file("fruit.kkd")}).exitCode, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.file("fruit.scores")));
  r = cli("search", {"-d", dir.file("fruit.kkd"), "--rank", "--show-score", "*"});
  EXPECT_EQ(r.out, "apple\t-\nzebra\t-\n");
}

}  // namespace
}  // namespace kea::test
