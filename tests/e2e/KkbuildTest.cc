// kkbuild as a user runs it: arguments, input conversion, alphabets, and a
// target that survives every failed build.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>

#include "builder/AlphabetFile.h"
#include "builder/EnglishAlphabet.h"
#include "support/KkdTestReader.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace kea::test {
namespace {

std::vector<std::string> folderContents(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

std::vector<std::string> section1Texts(const KkdFile& f, int length) {
  std::vector<std::string> texts;
  for (const auto& entry : decodeWordList(f, length).section1) texts.push_back(entry.text);
  return texts;
}

TEST(Kkbuild, HelpDescribesUsageAndOptions) {
  const ProgramRun run = runProgram("kkbuild", {"--help"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(firstLine(run.out), "Usage: kkbuild [options] INPUT OUTPUT");
  for (const char* option : {"--description", "--shortest", "--longest", "--alphabet", "--cp1252"}) {
    EXPECT_NE(run.out.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(run.err, "");
}

struct ArgumentCase {
  std::vector<std::string> arguments;
  std::string reason;
};

void PrintTo(const ArgumentCase& c, std::ostream* os) {
  *os << "kkbuild";
  for (const std::string& a : c.arguments) *os << " " << a;
}

class KkbuildArguments : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(KkbuildArguments, AreRejectedWithAOneLineReason) {
  TempDir dir;
  writeFile(dir.file("in.txt"), "word\n");
  ProgramOptions options;
  options.workingFolder = dir.path();
  const ProgramRun run = runProgram("kkbuild", GetParam().arguments, options);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(firstLine(run.err), "kkbuild: " + GetParam().reason);
  EXPECT_EQ(folderContents(dir), std::vector<std::string>{"in.txt"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KkbuildArguments,
    ::testing::Values(ArgumentCase{{}, "missing INPUT and OUTPUT"}, ArgumentCase{{"in.txt"}, "missing OUTPUT"},
                      ArgumentCase{{"in.txt", "a.kkd", "b.kkd"}, "too many arguments: 'b.kkd'"},
                      ArgumentCase{{"--shortest", "two", "in.txt", "a.kkd"},
                                   "option --shortest needs a whole number of letters, not 'two'"},
                      ArgumentCase{{"-l", "-3", "in.txt", "a.kkd"}, "option -l needs a whole number of letters, not '-3'"},
                      ArgumentCase{{"in.txt", "a.kkd", "--longest"}, "option --longest needs a number"},
                      ArgumentCase{{"--frobnicate", "in.txt", "a.kkd"}, "unknown option '--frobnicate'"},
                      ArgumentCase{{"--cp1252=yes", "in.txt", "a.kkd"}, "option --cp1252 takes no value"},
                      ArgumentCase{{"in.txt", "-"},
                                   "OUTPUT must be a file; a dictionary cannot go to standard output"}));

TEST(Kkbuild, BuildsFromUtf8WithOptions) {
  TempDir dir;
  writeFile(dir.file("in.txt"), "caf\xC3\xA9|a small restaurant\r\nhi\nsmorgasbord\nSmith+(surname)+\n");
  // A non-ASCII target name reaches the file system as the same UTF-8 name.
  const std::string out = dir.file("caf\xC3\xA9.kkd");
  const ProgramRun run = runProgram(
      "kkbuild", {"--description=Caf\xC3\xA9 words", "--shortest", "3", "-l", "10", dir.file("in.txt"), out});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "kkbuild: built " + out + " from 4 lines\n");
  const KkdFile f = readKkd(out);
  EXPECT_EQ(f.magic, "KKD1");
  EXPECT_EQ(f.description, "Caf\xE9 words");
  // hi is too short and smorgasbord too long; the carriage return is gone.
  EXPECT_EQ(section1Texts(f, 4), std::vector<std::string>{"caf\xE9"});
  EXPECT_EQ(section1Texts(f, 5), std::vector<std::string>{"Smith\n(surname)"});
  EXPECT_EQ(f.wordCount[2], 0u);
  EXPECT_EQ(folderContents(dir), (std::vector<std::string>{"caf\xC3\xA9.kkd", "in.txt"}));
}

TEST(Kkbuild, ReadsRawWindows1252FromStandardInput) {
  TempDir dir;
  ProgramOptions options;
  options.input = "na\xEFve\n\x9C" "uvre\n";
  const ProgramRun run = runProgram("kkbuild", {"--cp1252", "-q", "-", dir.file("out.kkd")}, options);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const KkdFile f = readKkd(dir.file("out.kkd"));
  EXPECT_EQ(section1Texts(f, 5), (std::vector<std::string>{"na\xEFve", "\x9Cuvre"}));
}

TEST(Kkbuild, ReportsCharactersThatWindows1252CannotHold) {
  TempDir dir;
  writeFile(dir.file("in.txt"), "fine\nbad \xC4\x81 here\nalso fine\n\xFF\n");
  writeFile(dir.file("out.kkd"), "previous dictionary");
  const ProgramRun run = runProgram("kkbuild", {dir.file("in.txt"), dir.file("out.kkd")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("line 2: the character \"\xC4\x81\" (U+0101) at byte 5 has no Windows-1252 form"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("line 4: invalid UTF-8 at byte 1"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("kkbuild: 2 lines of " + dir.file("in.txt") + " cannot be converted"), std::string::npos)
      << run.err;
  EXPECT_EQ(readFile(dir.file("out.kkd")), "previous dictionary");
}

TEST(Kkbuild, FailedBuildLeavesTheTargetAsItWasAndNoTemporaryFile) {
  TempDir dir;
  std::string input;
  for (int i = 0; i < 3000; ++i) input += "entry" + std::string(1, static_cast<char>('a' + i % 26)) + std::to_string(i) + "|definition text number " + std::to_string(i) + "\n";
  writeFile(dir.file("in.txt"), input);
  writeFile(dir.file("out.kkd"), "previous dictionary");
  // The dictionary cannot grow past 20000 bytes, as on a full disk.
  ProgramOptions options;
  options.fileSizeLimit = 20000;
  const ProgramRun run = runProgram("kkbuild", {dir.file("in.txt"), dir.file("out.kkd")}, options);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("Frequency analysis completed OK\n"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("- out of disk space?\n"), std::string::npos) << run.err;
  EXPECT_TRUE(run.err.ends_with("kkbuild: building " + dir.file("out.kkd") + " failed; it was left as it was\n"))
      << run.err;
  EXPECT_EQ(readFile(dir.file("out.kkd")), "previous dictionary");
  EXPECT_EQ(folderContents(dir), (std::vector<std::string>{"in.txt", "out.kkd"}));

  // Without the limit the same build replaces the target.
  const ProgramRun ok = runProgram("kkbuild", {"-q", dir.file("in.txt"), dir.file("out.kkd")});
  ASSERT_EQ(ok.exitCode, 0) << ok.err;
  EXPECT_EQ(readKkd(dir.file("out.kkd")).magic, "KKD1");
  EXPECT_EQ(folderContents(dir), (std::vector<std::string>{"in.txt", "out.kkd"}));
}

TEST(Kkbuild, TargetInAMissingFolderIsReported) {
  TempDir dir;
  writeFile(dir.file("in.txt"), "word\n");
  const ProgramRun run = runProgram("kkbuild", {dir.file("in.txt"), dir.file("nowhere/out.kkd")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(firstLine(run.err).rfind("kkbuild: cannot build " + dir.file("nowhere/out.kkd") + ": cannot create a file in ", 0), 0u)
      << run.err;
}

TEST(Kkbuild, MissingInputIsReported) {
  TempDir dir;
  const ProgramRun run = runProgram("kkbuild", {dir.file("absent.txt"), dir.file("out.kkd")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "kkbuild: cannot read " + dir.file("absent.txt") + ": No such file or directory\n");
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.kkd")));
}

TEST(Kkbuild, AlphabetFilesAreCheckedAndUsed) {
  TempDir dir;
  writeFile(dir.file("in.txt"), "12-34\nabc\n7\n");
  struct Case {
    std::string bytes;
    std::string reason;
  };
  std::array<std::uint8_t, 256> mapsAway{};
  mapsAway['A'] = 'a';  // 'a' itself is not in the alphabet
  std::array<std::uint8_t, 256> tooMany{};
  for (int v = 1; v < 256; ++v) tooMany[v] = static_cast<std::uint8_t>(v);
  for (const Case& c : {Case{std::string(255, '\0'), "an alphabet file holds exactly 256 bytes, not 255"},
                        Case{alphabetFileBytes(mapsAway),
                             "byte 0x41 maps to 0x61, which is not its own canonical character (0x61 maps to 0x00)"},
                        Case{alphabetFileBytes(tooMany), "255 canonical characters; a dictionary holds at most 253"}}) {
    writeFile(dir.file("alphabet"), c.bytes);
    const ProgramRun run = runProgram("kkbuild", {"--alphabet", dir.file("alphabet"), dir.file("in.txt"), dir.file("out.kkd")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "kkbuild: " + dir.file("alphabet") + " is not a usable alphabet: " + c.reason + "\n");
  }

  // Digits as the only letters: a dictionary of numbers.
  std::array<std::uint8_t, 256> digits{};
  for (int v = '0'; v <= '9'; ++v) digits[v] = static_cast<std::uint8_t>(v);
  writeFile(dir.file("alphabet"), alphabetFileBytes(digits));
  const ProgramRun run = runProgram("kkbuild", {"-q", "-a", dir.file("alphabet"), dir.file("in.txt"), dir.file("out.kkd")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const KkdFile f = readKkd(dir.file("out.kkd"));
  EXPECT_EQ(f.lengthSlots, 5);
  EXPECT_EQ(section1Texts(f, 4), std::vector<std::string>{"12-34"});
  EXPECT_EQ(section1Texts(f, 1), std::vector<std::string>{"7"});
  EXPECT_EQ(f.alphabetSize, 10);
}

}  // namespace
}  // namespace kea::test
