// kea-prepare as the build runs it: its help, its one-line errors, and the
// builder input it writes from the system's SCOWL lists and WordNet.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace kea::test {
namespace {

ProgramRun prepare(const std::vector<std::string>& arguments) { return runProgram("kea-prepare", arguments); }

// One line on standard error that names the program, and nothing else.
void expectOneLineError(const ProgramRun& result, const std::string& part) {
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err.rfind("kea-prepare: ", 0), 0u) << result.err;
  EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
  EXPECT_NE(result.err.find(part), std::string::npos) << result.err;
}

TEST(KeaPrepare, HelpNamesTheOptionsAndPackages) {
  const ProgramRun result = prepare({"--help"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  for (const char* part : {"Usage: kea-prepare", "--english FILE", "--wordnet FILE", "--american FILE",
                           "--british FILE", "--wordnet-dir DIR", "wamerican-huge", "wbritish-huge", "wordnet-base"}) {
    EXPECT_NE(result.out.find(part), std::string::npos) << part;
  }
}

TEST(KeaPrepare, ArgumentErrorsAreOneLine) {
  const struct {
    std::vector<std::string> arguments;
    const char* message;
  } cases[] = {
      {{}, "nothing to write"},
      {{"--frobnicate"}, "unknown argument \"--frobnicate\""},
      {{"--english"}, "--english needs a value"},
      {{"--english", "-", "--wordnet", "-"}, "only one output"},
      {{"--english", "same.txt", "--wordnet", "same.txt"}, "name the same file"},
  };
  for (const auto& c : cases) expectOneLineError(prepare(c.arguments), c.message);
}

TEST(KeaPrepare, MissingSourceIsNamedAndNothingIsWritten) {
  TempDir folder;
  const std::string output = folder.file("English.txt");
  expectOneLineError(prepare({"--english", output, "--wordnet-dir", folder.file("nowhere")}),
                     folder.file("nowhere") + "/data.noun");
  expectOneLineError(prepare({"--english", output, "--british", folder.file("british")}), folder.file("british"));
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(KeaPrepare, UnwritableOutputFailsWithoutLeavingAPartialFile) {
  TempDir folder;
  expectOneLineError(prepare({"--wordnet", folder.file("missing/WordNet.txt")}), "cannot create");
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

}  // namespace
}  // namespace kea::test
