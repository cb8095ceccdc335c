// kkbuild as a user runs it: arguments, input conversion, alphabets, and a
// target that survives every failed build.
#include <gtest/gtest.h>

#include "builder/AlphabetFile.h"
#include "dictionary/BlockSummary.h"
#include "support/KkdTestReader.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace kea::test {
namespace {

using Names = std::vector<std::string>;

Names section1Texts(const KkdFile& f, int length) {
  Names texts;
  for (const auto& entry : decodeWordList(f, length).section1) texts.push_back(entry.text);
  return texts;
}

TEST(Kkbuild, WrongArgumentsAreRejectedWithAOneLineReasonAndWriteNothing) {
  TempDir dir;
  writeFile(dir.file("in.txt"), "word\n");
  ProgramOptions options;
  options.workingFolder = dir.path();
  const struct {
    Names arguments;
    std::string reason;
  } cases[] = {
      {{"in.txt", "a.kkd", "b.kkd"}, "too many arguments: 'b.kkd'"},
      {{"--cp1252=yes", "in.txt", "a.kkd"}, "option --cp1252 takes no value"},
      {{"in.txt", "-"}, "OUTPUT must be a file; a dictionary cannot go to standard output"},
      {{"in.txt", "./in.txt"}, "OUTPUT is INPUT: the dictionary would replace its own input"},
  };
  for (const auto& c : cases) {
    const ProgramRun run = runProgram("kkbuild", c.arguments, options);
    EXPECT_EQ(run.exitCode, 2) << c.reason;
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')), "kkbuild: " + c.reason);
  }
  EXPECT_EQ(dir.names(), Names{"in.txt"});
}

TEST(Kkbuild, BuildsFromUtf8OrRawWindows1252WithAnAlphabet) {
  TempDir dir;
  writeFile(dir.file("in.txt"), "caf\xC3\xA9|a small restaurant\r\nhi\nsmorgasbord\nSmith+(surname)+\n");
  // A non-ASCII target name reaches the file system as the same UTF-8 name.
  const std::string out = dir.file("caf\xC3\xA9.kkd");
  const ProgramRun run = runProgram(
      "kkbuild", {"--description=Caf\xC3\xA9 words", "--shortest", "3", "-l", "10", dir.file("in.txt"), out});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "kkbuild: Built " + out + " from 4 lines\n");
  const KkdFile f = readKkd(out);
  EXPECT_EQ(f.description, "Caf\xE9 words");
  // hi is too short and smorgasbord too long; the carriage return is gone.
  EXPECT_EQ(section1Texts(f, 4), Names{"caf\xE9"});
  EXPECT_EQ(section1Texts(f, 5), Names{"Smith\n(surname)"});

  ProgramOptions options;
  options.input = "na\xEFve\n\x9C" "uvre\n";
  ASSERT_EQ(runProgram("kkbuild", {"--cp1252", "-q", "-", dir.file("raw.kkd")}, options).exitCode, 0);
  EXPECT_EQ(section1Texts(readKkd(dir.file("raw.kkd")), 5), (Names{"na\xEFve", "\x9Cuvre"}));
  // Digits as the only letters: a dictionary of numbers.
  std::array<std::uint8_t, 256> digits{};
  for (int v = '0'; v <= '9'; ++v) digits[v] = static_cast<std::uint8_t>(v);
  writeFile(dir.file("alphabet"), alphabetFileBytes(digits));
  options.input = "12-34\nabc\n7\n";
  ASSERT_EQ(runProgram("kkbuild", {"-q", "--cp1252", "-a", dir.file("alphabet"), "-", dir.file("n.kkd")}, options).exitCode, 0);
  EXPECT_EQ(section1Texts(readKkd(dir.file("n.kkd")), 4), Names{"12-34"});
}

// A headword too long to be an entry is left out, and kkbuild says how many
// were, quiet or not.
TEST(Kkbuild, HeadwordsLeftOutForTheirLengthAreCounted) {
  TempDir dir;
  writeFile(dir.file("in.txt"), "cat\n" + std::string(2100, 'a') + ";emu\n" + std::string(3000, 'b') + "\n");
  const ProgramRun run = runProgram("kkbuild", {"-q", dir.file("in.txt"), dir.file("out.kkd")});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "kkbuild: 2 headwords longer than 2038 characters left out\n");
  const ProgramRun listed = runProgram("kea-cli", {"search", "-d", dir.file("out.kkd"), "*"});
  EXPECT_EQ(listed.out, "cat\nemu\n");
  writeFile(dir.file("fine.txt"), "cat\n");
  EXPECT_EQ(runProgram("kkbuild", {"-q", dir.file("fine.txt"), dir.file("fine.kkd")}).err, "");
}

TEST(Kkbuild, FailedBuildLeavesTheTargetAsItWasAndNoTemporaryFile) {
  TempDir dir;
  std::string input;
  for (int i = 0; i < 3000; ++i)
    input += "entry" + std::string(1, static_cast<char>('a' + i % 26)) + std::to_string(i) + "|definition text number " +
             std::to_string(i) + "\n";
  writeFile(dir.file("in.txt"), input);
  writeFile(dir.file("bad.txt"), "fine\nbad \xC4\x81 here\n");
  writeFile(dir.file("out.kkd"), "previous dictionary");
  // The dictionary cannot grow past 20000 bytes, as on a full disk.
  ProgramOptions options;
  options.fileSizeLimit = 20000;
  const ProgramRun run = runProgram("kkbuild", {dir.file("in.txt"), dir.file("out.kkd")}, options);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("- out of disk space?\n"), std::string::npos) << run.err;
  EXPECT_TRUE(run.err.ends_with("kkbuild: Building " + dir.file("out.kkd") + " failed; it was left as it was\n"))
      << run.err;
  // Input that cannot be converted, or a target folder that does not exist.
  const ProgramRun bad = runProgram("kkbuild", {dir.file("bad.txt"), dir.file("out.kkd")});
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.err.find("line 2: the character \"\xC4\x81\" (U+0101) at byte 5 has no Windows-1252 form"),
            std::string::npos) << bad.err;
  const ProgramRun nowhere = runProgram("kkbuild", {dir.file("in.txt"), dir.file("nowhere/out.kkd")});
  EXPECT_EQ(nowhere.exitCode, 1);
  // Every line names the program; the file that could not be made comes first.
  EXPECT_EQ(nowhere.err.rfind("kkbuild: Couldn't open \"" + dir.file("nowhere/out.kkd") + "\"\nkkbuild: cannot create a file in " +
                                  dir.file("nowhere") + ": ",
                              0),
            0u)
      << nowhere.err;
  EXPECT_TRUE(nowhere.err.ends_with("kkbuild: Building " + dir.file("nowhere/out.kkd") + " failed; it was left as it was\n"))
      << nowhere.err;
  EXPECT_EQ(readFile(dir.file("out.kkd")), "previous dictionary");
  EXPECT_EQ(dir.names(), (Names{"bad.txt", "in.txt", "out.kkd"}));

  // Without the limit the same build replaces the target, keeps the file it
  // replaced as its backup, and writes the block summaries of the new file
  // beside it.
  ASSERT_EQ(runProgram("kkbuild", {"-q", dir.file("in.txt"), dir.file("out.kkd")}).exitCode, 0);
  EXPECT_EQ(readKkd(dir.file("out.kkd")).magic, "KKD1");
  EXPECT_EQ(readFile(dir.file("Backup of out.kkd")), "previous dictionary");
  EXPECT_EQ(dir.names(), (Names{"Backup of out.kkd", "bad.txt", "in.txt", "out.blocks", "out.kkd"}));
  EXPECT_EQ(loadBlockSummaries(*DictionaryList::make(dir.file("out.kkd"))->dictionary(0)).status,
            CompanionStatus::Loaded);
}

}  // namespace
}  // namespace kea::test
