// kea-cli info as a user runs it: the shipped dictionaries' figures, the
// properties of good, missing and invalid dictionaries, exit statuses, and
// UTF-8 at the terminal.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea::test {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The number after "label: " on the first line that starts with it.
long long figure(const std::string& out, const std::string& label) {
  for (const std::string& line : outputLines(out)) {
    if (line.rfind(label + ": ", 0) == 0) return std::stoll(line.substr(label.size() + 2));
  }
  return -1;
}

TEST(KeaCli, InfoOnTheShippedDictionaries) {
  const std::string data = KEA_SHIPPED_DATA_DIR;
  const ProgramRun english = runProgram("kea-cli", {"info", data + "/Dictionaries/English.kkd"});
  ASSERT_EQ(english.exitCode, 0) << english.err;
  EXPECT_GE(figure(english.out, "Entries"), 400000) << english.out;
  EXPECT_GE(figure(english.out, "Definitions"), 100000) << english.out;
  EXPECT_EQ(figure(english.out, "Shortest"), 1);
  EXPECT_TRUE(contains(english.out, "SCOWL")) << english.out;
  const ProgramRun wordNet = runProgram("kea-cli", {"info", data + "/Definitions/WordNet.kkd"});
  EXPECT_GE(figure(wordNet.out, "Entries"), 140000) << wordNet.out;
  EXPECT_GE(figure(wordNet.out, "Definitions"), 100000) << wordNet.out;
  EXPECT_TRUE(contains(wordNet.out, "Description: WordNet 3.0 (Princeton University)")) << wordNet.out;
}

TEST(KeaCli, InfoShowsThePropertiesAndSummaryInUtf8) {
  TempDir dir;
  TestDictionaryOptions options;
  options.description = "Caf\xE9 words";  // Windows-1252 é
  const std::string path =
      buildTestDictionary(dir, {"electron|a particle", "obelisk", "sardine;pilchard|a fish", "cat"}, options);
  const std::string utf8 = dir.path().string() + "/caf\xC3\xA9.kkd";
  std::filesystem::rename(path, utf8);
  const ProgramRun run = runProgram("kea-cli", {"info", utf8});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(contains(run.out, "Location: " + utf8 + "\nDate: ")) << run.out;
  EXPECT_TRUE(contains(run.out,
                       "\nDescription: Caf\xC3\xA9 words\nEntries: 5\nDefinitions: 3\nShortest: 3\nLongest: 8\n"
                       "Summary:\n  " + utf8 + "\n  Headwords: 5\n  Definitions: 3\n  Description: Caf\xC3\xA9 words\n"))
      << run.out;
  // A name Windows-1252 cannot hold is refused with the reason.
  const ProgramRun chinese = runProgram("kea-cli", {"info", dir.path().string() + "/\xE4\xB8\xAD.kkd"});
  EXPECT_EQ(chinese.exitCode, 2);
  EXPECT_TRUE(contains(chinese.err, "U+4E2D")) << chinese.err;
}

TEST(KeaCli, MissingAndInvalidFilesShowTheirStatusAndFail) {
  TempDir dir;
  const std::string good = buildTestDictionary(dir, {"cat"});
  writeFile(dir.file("bad.kkd"), "    not a dictionary");
  const ProgramRun run = runProgram("kea-cli", {"info", good, dir.file("missing.kkd"), dir.file("bad.kkd")});
  EXPECT_EQ(run.exitCode, 1);
  for (const auto& [file, status] : {std::pair<std::string, std::string>{"missing.kkd", "-- DICTIONARY FILE NOT FOUND --"},
                                     {"bad.kkd", "-- INVALID DICTIONARY FILE --"}}) {
    EXPECT_TRUE(contains(run.out, "Description: " + status + "\nSummary:\n  " + dir.file(file) +
                                      "\n  Description: " + status + "\n"))
        << run.out;
    EXPECT_TRUE(contains(run.err, file + ": " + status)) << run.err;
  }
  EXPECT_TRUE(contains(run.out, "Entries: 1\n")) << run.out;  // the good one is still shown
}

TEST(KeaCli, HelpAndWrongCommandLines) {
  EXPECT_TRUE(contains(runProgram("kea-cli", {"--help"}).out, "Usage: kea-cli COMMAND"));
  EXPECT_EQ(outputLines(runProgram("kea-cli", {"help", "info"}).out).at(0), "Usage: kea-cli info FILE...");
  for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"frobnicate"}, {"info"}, {"info", "--bogus", "x"}}) {
    const ProgramRun run = runProgram("kea-cli", args);
    EXPECT_EQ(run.exitCode, 2) << (args.empty() ? "" : args[0]);
    EXPECT_FALSE(run.err.empty());
  }
}

}  // namespace
}  // namespace kea::test
