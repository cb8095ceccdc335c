// Searching by meaning at the terminal, over the shipped dictionary and its
// meaning index: every kind of pattern keeps its matches and only their
// order changes, the likely answer comes first, and a meaning with nothing
// to search for is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace kea::test {
namespace {

ProgramRun search(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "search");
  return runProgram("kea-cli", arguments);
}

std::vector<std::string> sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST(KeaCliMeaning, EveryPatternKindKeepsItsMatchesAndPutsTheAnswerFirst) {
  struct Case {
    std::vector<std::string> pattern;  // options and pattern
    const char* meaning;
    const char* answer;
  };
  const Case cases[] = {
      {{".l......"}, "negatively charged particle", "electron"},     // a template
      {{";tronelec"}, "negatively charged particle", "electron"},    // an anagram
      {{"e* & *n"}, "negatively charged particle", "electron"},      // two patterns at once
      {{"s???????"}, "scatter about", "strewing"},                  // an inflected answer
      {{"--enum", "4,3", "*"}, "the last part of something", "tail end"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> ranked = {"--meaning", c.meaning};
    ranked.insert(ranked.end(), c.pattern.begin(), c.pattern.end());
    const ProgramRun withMeaning = search(ranked);
    const ProgramRun plain = search(c.pattern);
    ASSERT_EQ(withMeaning.exitCode, 0) << withMeaning.err;
    const std::vector<std::string> lines = outputLines(withMeaning.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_LE(std::find(lines.begin(), lines.end(), c.answer) - lines.begin(), 2) << c.meaning << ": " << withMeaning.out.substr(0, 300);
    // The same entries as without a meaning (which groups them by length
    // under captions when there are several lengths).
    std::vector<std::string> entries;
    for (const std::string& line : outputLines(plain.out)) {
      if (line.empty() || line.find(" letters (") != std::string::npos || line.find(" letter (") != std::string::npos) continue;
      entries.push_back(line);
    }
    EXPECT_EQ(sorted(lines), sorted(entries)) << c.meaning;
    EXPECT_NE(withMeaning.err.find("ranked by meaning"), std::string::npos) << withMeaning.err;
  }
}

TEST(KeaCliMeaning, EveryEntryIsRankedByTheStarPatternWithItsScoreShown) {
  const ProgramRun r = search({"--meaning", "negatively charged particle", "--show-score", "*"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::vector<std::string> lines = outputLines(r.out);
  ASSERT_GT(lines.size(), 400000u);
  double previous = 1e9;
  int electron = -1;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::size_t tab = lines[i].find('\t');
    ASSERT_NE(tab, std::string::npos) << lines[i];
    const double rank = std::stod(lines[i].substr(tab + 1));
    ASSERT_LE(rank, previous) << lines[i];
    previous = rank;
    if (lines[i].substr(0, tab) == "electron") electron = static_cast<int>(i);
  }
  EXPECT_GE(electron, 0);
  EXPECT_LT(electron, 10);
}

TEST(KeaCliMeaning, AMeaningWithNothingToSearchForOrAClashingOrderIsRefused) {
  struct Case {
    std::vector<std::string> arguments;
    const char* says;
  };
  const Case cases[] = {
      {{"--meaning", "", "a*"}, "the meaning is empty"},
      {{"--meaning", "  ", "a*"}, "the meaning is empty"},
      {{"--meaning", "of the", "a*"}, "only common words"},
      {{"--meaning", "charged particle", "--rank", "a*"}, "'--meaning' orders the entries"},
      {{"--meaning", "charged particle", "--sort", "a*"}, "'--meaning' orders the entries"},
      {{"--meaning", "charged particle", "--full-text", "ion"}, "cannot go with '--full-text'"},
      {{"a*", "--meaning"}, "'--meaning' needs a text"},
  };
  for (const Case& c : cases) {
    const ProgramRun r = search(c.arguments);
    EXPECT_EQ(r.exitCode, 2) << c.says;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
}

TEST(KkbuildMeaning, AnOwnMeaningListRanksAnOwnDictionaryAndABadLineBuildsNothing) {
  TempDir dir;
  const std::string cafe = "caf\xC3\xA9";  // UTF-8
  const std::string creme = "cr\xC3\xA8me br\xC3\xBBl\xC3\xA9" "e";
  writeFile(dir.file("words.txt"), cafe + "\n" + creme + "\nelectron\nproton\n");
  writeFile(dir.file("meaning.txt"), "# UTF-8, as the words\n" + cafe + "\tsmall:1 restaurant:1 coffee:1\n" + creme +
                                         "\tdessert:1 custard:1 caramel:0.5\n");
  ProgramRun built = runProgram("kkbuild", {"--meaning", dir.file("meaning.txt"), dir.file("words.txt"), dir.file("mine.kkd")});
  ASSERT_EQ(built.exitCode, 0) << built.err;
  EXPECT_NE(built.err.find("2 entries with a meaning"), std::string::npos) << built.err;
  const ProgramRun ranked = search({"-d", dir.file("mine.kkd"), "--meaning", "caramel custard", "*"});
  ASSERT_EQ(ranked.exitCode, 0) << ranked.err;
  EXPECT_EQ(outputLines(ranked.out).front(), creme);
  EXPECT_NE(ranked.err.find("4 results found, 1 ranked by meaning"), std::string::npos) << ranked.err;

  const std::string before = readFile(dir.file("mine.meaning"));
  writeFile(dir.file("bad.txt"), cafe + "\tsmall:1\ncoffee with no tab\n");
  built = runProgram("kkbuild", {"--meaning", dir.file("bad.txt"), dir.file("words.txt"), dir.file("mine.kkd")});
  EXPECT_EQ(built.exitCode, 1);
  EXPECT_NE(built.err.find("line 2 is not"), std::string::npos) << built.err;
  EXPECT_EQ(readFile(dir.file("mine.meaning")), before);
}

}  // namespace
}  // namespace kea::test
