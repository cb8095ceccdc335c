// kea-cli as a user runs it: help, the properties of good, missing and
// invalid dictionaries, exit statuses, and UTF-8 at the terminal.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea::test {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(KeaCli, HelpListsTheCommands) {
  const ProgramRun run = runProgram("kea-cli", {"--help"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(contains(run.out, "Usage: kea-cli COMMAND")) << run.out;
  EXPECT_TRUE(contains(run.out, "  info ")) << run.out;

  const ProgramRun info = runProgram("kea-cli", {"info", "--help"});
  EXPECT_EQ(info.exitCode, 0);
  EXPECT_EQ(info.out.substr(0, info.out.find('\n')), "Usage: kea-cli info FILE...");
  EXPECT_EQ(runProgram("kea-cli", {"help", "info"}).out, info.out);
}

TEST(KeaCli, WrongCommandLinesExitWithStatus2AndAReason) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"frobnicate"}, {"info"}, {"info", "--bogus", "x.kkd"}}) {
    const ProgramRun run = runProgram("kea-cli", args);
    EXPECT_EQ(run.exitCode, 2) << (args.empty() ? "" : args[0]);
    EXPECT_FALSE(run.err.empty());
  }
}

TEST(KeaCli, InfoShowsThePropertiesAndSummary) {
  TempDir dir;
  TestDictionaryOptions options;
  options.description = "Caf\xE9 words";  // Windows-1252 é
  const std::string path =
      buildTestDictionary(dir, {"electron|a particle", "obelisk", "sardine;pilchard|a fish", "cat"}, options);
  const ProgramRun run = runProgram("kea-cli", {"info", path});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string full = std::filesystem::absolute(path).lexically_normal().string();
  // The description arrives in UTF-8.
  EXPECT_TRUE(contains(run.out, "Location: " + full + "\nDate: ")) << run.out;
  EXPECT_TRUE(contains(run.out,
                       "\nDescription: Caf\xC3\xA9 words\nEntries: 5\nDefinitions: 3\nShortest: 3\nLongest: 8\n"
                       "Summary:\n  " +
                           path + "\n  Headwords: 5\n  Definitions: 3\n  Description: Caf\xC3\xA9 words\n"))
      << run.out;
}

TEST(KeaCli, MissingAndInvalidFilesShowTheirStatusAndFail) {
  TempDir dir;
  const std::string good = buildTestDictionary(dir, {"cat"});
  writeFile(dir.file("bad.kkd"), "    not a dictionary");
  const ProgramRun run = runProgram("kea-cli", {"info", good, dir.file("missing.kkd"), dir.file("bad.kkd")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(contains(run.out, "Description: -- DICTIONARY FILE NOT FOUND --\nSummary:\n  " + dir.file("missing.kkd") +
                                    "\n  Description: -- DICTIONARY FILE NOT FOUND --\n"))
      << run.out;
  EXPECT_TRUE(contains(run.out, "Description: -- INVALID DICTIONARY FILE --\nSummary:\n  " + dir.file("bad.kkd") +
                                    "\n  Description: -- INVALID DICTIONARY FILE --\n"))
      << run.out;
  // The good one is still shown in full, and each failure has its line on stderr.
  EXPECT_TRUE(contains(run.out, "Entries: 1\n")) << run.out;
  EXPECT_TRUE(contains(run.err, "missing.kkd: -- DICTIONARY FILE NOT FOUND --")) << run.err;
  EXPECT_TRUE(contains(run.err, "bad.kkd: -- INVALID DICTIONARY FILE --")) << run.err;
}

TEST(KeaCli, FileNamesAreUtf8AtTheTerminal) {
  TempDir dir;
  const std::string utf8 = dir.path().string() + "/caf\xC3\xA9.kkd";
  std::filesystem::rename(buildTestDictionary(dir, {"cat"}), utf8);
  const ProgramRun run = runProgram("kea-cli", {"info", utf8});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(contains(run.out, "Location: " + utf8 + "\n")) << run.out;

  // A name Windows-1252 cannot hold is refused with the reason.
  const ProgramRun chinese = runProgram("kea-cli", {"info", dir.path().string() + "/\xE4\xB8\xAD.kkd"});
  EXPECT_EQ(chinese.exitCode, 2);
  EXPECT_TRUE(contains(chinese.err, "U+4E2D")) << chinese.err;
}

}  // namespace
}  // namespace kea::test
