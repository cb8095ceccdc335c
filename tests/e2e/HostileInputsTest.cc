// Every program that reads a file by name, given a name that stands for no
// file it can read: a named pipe that nothing will ever write to, a socket,
// a folder, /dev/zero and a private device node like it, a sparse file of
// 100 GB, a file it may not read. Each ends within two seconds with a
// message that names the file and says what it is, and a failure status;
// nothing is written. Then a dictionary rewritten, cut, replaced or deleted
// while kea-cli searches it.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <future>
#include <string>
#include <vector>

#include "support/RunProgram.h"
#include "support/SpecialFiles.h"
#include "support/TempDir.h"

namespace kea::test {
namespace {

const std::string kEnglish = std::string(KEA_SHIPPED_DATA_DIR) + "/Dictionaries/English.kkd";

// What a program is told a hostile name is.
struct Hostile {
  std::string name;
  std::string path;
  std::string asDictionary;  // what a reader of dictionaries says of it
  std::string asText;        // what a reader of text says of it
};

// A program's command line around one file name, and what it reads the file as.
struct Reader {
  std::string program;
  std::function<std::vector<std::string>(const std::string& file)> arguments;
  bool readsDictionaries;
  const char* extension;  // the name a hostile file gets for it
};

class HostileInputs : public ::testing::Test {
 protected:
  void SetUp() override {
    // The programs run as an ordinary user, so that a file without read
    // permission is one for them too.
    ::chmod(dir.path().c_str(), 0777);
    writeFile(dir.file("words.txt"), "apple\npear\n");
    std::filesystem::create_directory(dir.file("wordnet"));
    for (const char* part : {"noun", "verb", "adj", "adv"}) writeFile(dir.file("wordnet/data." + std::string(part)), "");
  }

  // The hostile files, each under both extensions where a program decides
  // by the name what a file is.
  std::vector<Hostile> hostiles(const std::string& extension) {
    const auto at = [&](const std::string& name) { return dir.file(name + extension); };
    std::vector<Hostile> all;
    if (makeNamedPipe(at("pipe"))) all.push_back({"pipe", at("pipe"), " is a named pipe, not a ", " is a named pipe, not a"});
    if (makeSocket(at("socket"))) all.push_back({"socket", at("socket"), " is a socket, not a", " is a socket, not a"});
    std::filesystem::create_directory(at("folder"));
    all.push_back({"folder", at("folder"), " is a folder, not a", " is a folder, not a"});
    if (extension != ".kkd") all.push_back({"/dev/zero", "/dev/zero", "", " is a device, not a"});
    if (makeCharacterDevice(at("zero"), 1, 5)) all.push_back({"zero node", at("zero"), " is a device, not a", " is a device, not a"});
    if (makeSparseFile(at("sparse"), 100ull << 30)) {
      all.push_back({"sparse", at("sparse"), " is not a dictionary file", " is too large: more than 1 GiB"});
    }
    writeFile(at("secret"), "apple\n");
    ::chmod(at("secret").c_str(), 0);
    if (runningAsRoot() || ::access(at("secret").c_str(), R_OK) != 0) {
      all.push_back({"unreadable", at("secret"), " cannot be read: Permission denied", " cannot be read: Permission denied"});
    }
    return all;
  }

  TempDir dir;
};

TEST_F(HostileInputs, EveryProgramRefusesWhatIsNoFileItCanReadAtOnce) {
  const std::string out = dir.file("out");
  const std::vector<Reader> readers = {
      {"kea-cli", [](const std::string& f) { return std::vector<std::string>{"search", "-d", f, "cat"}; }, true, ".kkd"},
      {"kea-cli", [](const std::string& f) { return std::vector<std::string>{"define", "-d", f, "cat"}; }, true, ".kkd"},
      {"kea-cli", [](const std::string& f) { return std::vector<std::string>{"anagram", "-d", f, "tac"}; }, true, ".kkd"},
      {"kea-cli", [](const std::string& f) { return std::vector<std::string>{"info", f}; }, true, ".kkd"},
      {"kkmerge", [&](const std::string& f) { return std::vector<std::string>{f, out + ".txt"}; }, true, ".kkd"},
      {"kkbuild", [&](const std::string& f) { return std::vector<std::string>{f, out + ".kkd"}; }, false, ""},
      {"kkmerge", [&](const std::string& f) { return std::vector<std::string>{f, out + ".kkd"}; }, false, ".txt"},
      {"kea-prepare",
       [&](const std::string& f) {
         return std::vector<std::string>{"--american", f, "--british", dir.file("words.txt"), "--wordnet-dir",
                                         dir.file("wordnet"), "--english", out + ".txt"};
       },
       false, ".list"},
  };
  // The hostile files of each extension, made once.
  std::map<std::string, std::vector<Hostile>> byExtension;
  for (const Reader& r : readers) {
    if (!byExtension.contains(r.extension)) byExtension[r.extension] = hostiles(r.extension);
  }
  ProgramOptions options;
  options.timeoutMs = 2000;
  options.asOrdinaryUser = true;
  struct Run {
    std::string what;
    std::string path;
    std::string says;
    std::future<ProgramRun> result;
  };
  std::vector<Run> runs;
  for (const Reader& r : readers) {
    for (const Hostile& h : byExtension[r.extension]) {
      const std::string says = r.readsDictionaries ? h.asDictionary : h.asText;
      if (says.empty()) continue;
      const std::vector<std::string> arguments = r.arguments(h.path);
      runs.push_back({r.program + " " + arguments[0] + ", " + h.name, h.path, says,
                      std::async(std::launch::async, [=] { return runProgram(r.program, arguments, options); })});
      // A few at a time: the machine is shared.
      if (runs.size() % 4 == 0) runs[runs.size() - 4].result.wait();
    }
  }
  ASSERT_GT(runs.size(), 40u);
  for (Run& run : runs) {
    SCOPED_TRACE(run.what);
    const ProgramRun r = run.result.get();
    EXPECT_FALSE(r.timedOut);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_LT(r.exitCode, 128) << "ended by a signal";
    EXPECT_NE(r.err.find(run.path + run.says), std::string::npos) << r.err;
  }
  // Nothing was written by any of them.
  for (const char* extension : {".txt", ".kkd"}) EXPECT_FALSE(std::filesystem::exists(out + extension)) << extension;
}

TEST_F(HostileInputs, StandardInputThatNeverEndsIsRefusedAtOnce) {
  // /dev/zero as standard input: its first NUL byte ends the reading.
  ProgramOptions options;
  options.timeoutMs = 2000;
  for (const std::string program : {"kkbuild", "kkmerge"}) {
    const ProgramRun r = runProgram("/bin/sh", {"-c", std::string(KEA_BIN_DIR) + "/" + program + " - " +
                                                         dir.file("out.kkd") + " < /dev/zero"}, options);
    EXPECT_FALSE(r.timedOut) << program;
    EXPECT_EQ(r.exitCode, 2) << program;
    EXPECT_EQ(r.err, program + ": standard input holds a NUL byte (byte 1), so it is no text\n");
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.kkd")));
}

// The shipped dictionary cut short at many places, from 100 KB to its last
// byte: every command says it is damaged and fails; none answers from the
// part that is left as if it were all.
TEST_F(HostileInputs, TheShippedDictionaryCutShortIsDamagedForEveryCommand) {
  if (!std::filesystem::exists(kEnglish)) GTEST_SKIP() << "the shipped dictionaries are not built";
  const std::string copy = dir.file("English.kkd");
  std::filesystem::copy_file(kEnglish, copy);
  const std::uint64_t size = std::filesystem::file_size(copy);
  // From the end backwards, so that each cut only shortens the copy.
  std::vector<std::uint64_t> cuts = {size - 1, size - 2, size - 3, size - 16, size - 1000};
  for (std::uint64_t at = size - 4096; at > 100000; at = at * 3 / 4) cuts.push_back(at);
  cuts.push_back(100000);
  for (const std::uint64_t cut : cuts) {
    SCOPED_TRACE(cut);
    std::filesystem::resize_file(copy, cut);
    std::vector<ProgramCall> calls = {{"kea-cli", {"info", copy}, {}}, {"kea-cli", {"search", "-d", copy, "*"}, {}}};
    // Every command at a few cuts; the others are the same open.
    if (cut == cuts.front() || cut == cuts.back() || cut == cuts[cuts.size() / 2]) {
      calls.push_back({"kea-cli", {"define", "-d", copy, "electron"}, {}});
      calls.push_back({"kea-cli", {"anagram", "-d", copy, "tac"}, {}});
      calls.push_back({"kea-cli", {"search", "--full-text", "-d", copy, "electron"}, {}});
    }
    const std::vector<ProgramRun> runs = runPrograms(calls);
    for (std::size_t i = 0; i < runs.size(); ++i) {
      SCOPED_TRACE(calls[i].arguments[0]);
      EXPECT_EQ(runs[i].exitCode, i == 0 ? 1 : 2);  // info says 1 for a file it cannot use
      EXPECT_NE(runs[i].err.find(copy + " is damaged: "), std::string::npos) << runs[i].err;
      EXPECT_EQ(runs[i].out.find("Entries:"), std::string::npos);
      EXPECT_TRUE(i == 0 || runs[i].out.empty()) << runs[i].out;
    }
  }
}

// kea-cli searches a copy of the shipped dictionary slowly; meanwhile the
// copy is rewritten in place, cut short, replaced by another dictionary
// (renamed into place, as kkbuild installs one) or deleted. The answer is
// the whole answer of the file the search began with, or the change is
// reported with a failure status: never a part of it passed off as all.
TEST_F(HostileInputs, ADictionaryChangedDuringASearchGivesTheWholeAnswerOrSaysSo) {
  if (!std::filesystem::exists(kEnglish)) GTEST_SKIP() << "the shipped dictionaries are not built";
  const std::string pattern = "*1*2*3*1*2*3*";
  const std::string copy = dir.file("English.kkd");
  std::filesystem::copy_file(kEnglish, copy);
  const ProgramRun reference = runProgram("kea-cli", {"search", "-d", copy, pattern});
  ASSERT_EQ(reference.exitCode, 0) << reference.err;
  const std::string other = dir.file("other.kkd");
  ASSERT_EQ(runProgram("kkbuild", {"-q", dir.file("words.txt"), other}).exitCode, 0);

  enum class Change { Rewritten, Cut, Replaced, Deleted };
  const std::vector<Change> changes = {Change::Rewritten, Change::Cut, Change::Replaced, Change::Deleted};
  std::vector<ProgramCall> calls;
  for (const Change change : changes) {
    const std::string path = dir.file("English" + std::to_string(static_cast<int>(change)) + ".kkd");
    std::filesystem::copy_file(kEnglish, path);
    // Its time lies in the past, so that a write gives it a new one.
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) - std::chrono::hours(1));
    ProgramCall call{"kea-cli", {"search", "-d", path, pattern}, {}};
    call.options.timeoutMs = 20000;
    call.options.actAfterMs = 200;
    call.options.act = [=] {
      switch (change) {
        case Change::Rewritten: {
          std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
          file.seekp(static_cast<std::streamoff>(std::filesystem::file_size(path) / 3));
          file.put('\x5A');
          break;
        }
        case Change::Cut:
          std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
          break;
        case Change::Replaced:
          std::filesystem::copy_file(other, path + ".new");
          std::filesystem::rename(path + ".new", path);
          break;
        case Change::Deleted:
          std::filesystem::remove(path);
          break;
      }
    };
    calls.push_back(call);
  }
  const std::vector<ProgramRun> runs = runPrograms(calls);
  int reported = 0;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    SCOPED_TRACE(i);
    const ProgramRun& r = runs[i];
    EXPECT_FALSE(r.timedOut);
    if (r.exitCode == 0) {
      EXPECT_EQ(r.out, reference.out);
      EXPECT_EQ(r.err, reference.err);
    } else {
      EXPECT_EQ(r.exitCode, 2) << r.err;
      // Changed while it was read, or (on a slow machine) already before
      // the search began, when it is refused as no longer valid.
      const bool during = r.err.find(" changed on disk during the search: ") != std::string::npos &&
                          r.err.find(", but not all there may be; search again") != std::string::npos;
      const bool before = r.err.find(" is no longer a valid KEA&Kindred Dictionary File") != std::string::npos;
      EXPECT_TRUE(during || before) << r.err;
      ++reported;
    }
    if (changes[i] == Change::Replaced || changes[i] == Change::Deleted) {
      // The open file is read whole: a rename or an unlink does not change it.
      EXPECT_EQ(r.exitCode, 0) << r.err;
    }
  }
  // The search takes far longer than the fifth of a second before the
  // change, so the changes in place are met while it reads.
  EXPECT_EQ(reported, 2);
}

}  // namespace
}  // namespace kea::test
