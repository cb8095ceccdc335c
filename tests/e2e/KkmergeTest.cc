// kkmerge as a user runs it: its command line, word lists from files and
// standard input, the shipped dictionary as an input, a merged dictionary
// that kea-cli searches, and failures that leave the target be.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace kea::test {
namespace {

using Names = std::vector<std::string>;

const std::string kEnglish = std::string(KEA_SHIPPED_DATA_DIR) + "/Dictionaries/English.kkd";

TEST(Kkmerge, HelpVersionAndWrongArguments) {
  const ProgramRun help = runProgram("kkmerge", {"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.rfind("Usage: kkmerge [options] INPUT... OUTPUT\n", 0), 0u) << help.out;
  EXPECT_NE(help.out.find("--fold"), std::string::npos);
  EXPECT_EQ(runProgram("kkmerge", {"--version"}).out, "kkmerge " KEA_VERSION "\n");

  TempDir dir;
  writeFile(dir.file("a.txt"), "word\n");
  const struct {
    Names arguments;
    std::string reason;
  } cases[] = {
      {{"a.txt"}, "missing OUTPUT"},
      {{"--fold=yes", "a.txt", "b.txt"}, "option --fold takes no value"},
      {{"-", "-", "b.txt"}, "standard input (-) can be read only once"},
      {{"-d", "Words", "a.txt", "b.txt"}, "--description is for a .kkd OUTPUT only"},
      {{"--bogus", "a.txt", "b.txt"}, "unknown option '--bogus'"},
  };
  ProgramOptions options;
  options.workingFolder = dir.path();
  for (const auto& c : cases) {
    const ProgramRun run = runProgram("kkmerge", c.arguments, options);
    EXPECT_EQ(run.exitCode, 2) << c.reason;
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')), "kkmerge: " + c.reason);
  }
  EXPECT_EQ(readFile(dir.file("b.txt")), "");
}

// Without arguments both companions open a window, which needs a display:
// without one they say so (or, built without windows, what is missing)
// and stop at once.
TEST(Kkmerge, WithoutArgumentsOrADisplayBothCompanionsStopWithAUsageError) {
  ProgramOptions options;
  options.unsetEnvironment = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
  options.signalAfterMs = 20000;
  options.signal = 9;
  for (const std::string program : {"kkbuild", "kkmerge"}) {
    const ProgramRun run = runProgram(program, {}, options);
    EXPECT_EQ(run.exitCode, 2) << program;
    const std::string first = run.err.substr(0, run.err.find('\n'));
    EXPECT_TRUE(first == program + ": no display to open the window on: give INPUT" +
                             (program == "kkmerge" ? "... and OUTPUT" : " and OUTPUT") ||
                first == program + ": missing INPUT and OUTPUT")
        << run.err;
  }
}

TEST(Kkmerge, MergesListsAndDictionariesIntoTextOrASearchableDictionary) {
  TempDir dir;
  writeFile(dir.file("theme.txt"), "Ice-cream\r\nsorbet\ncr\xC3\xA8me br\xC3\xBBl\xC3\xA9" "e+ (dessert)+\n");
  ProgramOptions options;
  options.input = "ICE CREAM\nsorbet\ntrifle\n";
  ProgramRun run = runProgram("kkmerge", {"--fold", dir.file("theme.txt"), "-", "-"}, options);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "cr\xC3\xA8me br\xC3\xBBl\xC3\xA9" "e+ (dessert)+\nIce-cream\nsorbet\ntrifle\n");
  EXPECT_EQ(run.err, "kkmerge: Merged 4 entries from 2 inputs, 2 duplicates left out\n");

  // The shipped dictionary and the theme, into a dictionary kea-cli searches.
  const std::string merged = dir.file("merged.kkd");
  run = runProgram("kkmerge", {"-q", "-d", "Theme and English", dir.file("theme.txt"), kEnglish, merged});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const ProgramRun search = runProgram("kea-cli", {"search", "-d", merged, "icecream"});
  EXPECT_EQ(search.exitCode, 0) << search.err;
  EXPECT_NE(lineIndex(search.out, "Ice-cream"), -1) << search.out;
  const ProgramRun info = runProgram("kea-cli", {"info", merged});
  EXPECT_NE(info.out.find("Description: Theme and English\n"), std::string::npos) << info.out;
}

TEST(Kkmerge, ADamagedOrMissingInputFailsAndLeavesTheTarget) {
  TempDir dir;
  writeFile(dir.file("list.txt"), "word\n");
  writeFile(dir.file("broken.kkd"), "KKD1 but nothing more");
  writeFile(dir.file("out.txt"), "previous list\n");
  ProgramRun run = runProgram("kkmerge", {dir.file("list.txt"), dir.file("broken.kkd"), dir.file("out.txt")});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "kkmerge: " + dir.file("broken.kkd") + " is damaged: its header is not valid\n");
  run = runProgram("kkmerge", {dir.file("missing.txt"), dir.file("out.txt")});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "kkmerge: " + dir.file("missing.txt") + " was not found\n");
  EXPECT_EQ(readFile(dir.file("out.txt")), "previous list\n");
}

// Every line kkmerge says names it, the reason a target cannot be written
// included, for text and for dictionaries.
TEST(Kkmerge, EveryLineOfAFailureNamesTheProgram) {
  TempDir dir;
  writeFile(dir.file("list.txt"), "word\n");
  for (const std::string& target : {dir.file("nowhere/out.txt"), dir.file("nowhere/out.kkd")}) {
    const ProgramRun run = runProgram("kkmerge", {"-q", dir.file("list.txt"), target});
    EXPECT_EQ(run.exitCode, 1) << target;
    ASSERT_FALSE(run.err.empty()) << target;
    for (const std::string& line : outputLines(run.err)) EXPECT_EQ(line.rfind("kkmerge: ", 0), 0u) << line;
    EXPECT_NE(run.err.find("cannot create a file in " + dir.file("nowhere")), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace kea::test
