// kea-prepare as the build runs it: its help, and one-line errors that
// leave nothing written behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace kea::test {
namespace {

TEST(KeaPrepare, HelpNamesTheOptionsAndPackages) {
  const ProgramRun result = runProgram("kea-prepare", {"--help"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  for (const char* part : {"Usage: kea-prepare", "--english FILE", "--wordnet FILE", "--american FILE",
                           "--british FILE", "--wordnet-dir DIR", "wamerican-huge", "wbritish-huge", "wordnet-base"}) {
    EXPECT_NE(result.out.find(part), std::string::npos) << part;
  }
}

TEST(KeaPrepare, ErrorsAreOneLineAndWriteNothing) {
  TempDir folder;
  const std::string output = folder.file("English.txt");
  const struct {
    std::vector<std::string> arguments;
    std::string message;
  } cases[] = {
      {{}, "nothing to write"},
      {{"--frobnicate"}, "unknown argument \"--frobnicate\""},
      {{"--english"}, "--english needs a value"},
      {{"--english", "-", "--wordnet", "-"}, "only one output"},
      {{"--english", "same.txt", "--wordnet", "same.txt"}, "name the same file"},
      {{"--english", output, "--wordnet-dir", folder.file("nowhere")}, folder.file("nowhere") + "/data.noun"},
      {{"--english", output, "--british", folder.file("british")}, folder.file("british")},
      {{"--wordnet", folder.file("missing/WordNet.txt")}, "cannot create"},
  };
  for (const auto& c : cases) {
    const ProgramRun result = runProgram("kea-prepare", c.arguments);
    EXPECT_EQ(result.exitCode, 1) << c.message;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("kea-prepare: ", 0), 0u) << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

}  // namespace
}  // namespace kea::test
