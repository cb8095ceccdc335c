// Ctrl-C (SIGINT) and SIGTERM sent to each terminal program while it waits
// (for input that never comes, for a reader of its output) and while it
// works (building, merging, searching, preparing): each ends within a
// second, leaves no temporary file, and leaves its old output as it was.
// kea-cli search and anagram take Ctrl-C as their Stop and list what they
// found.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "support/RunProgram.h"
#include "support/SpecialFiles.h"
#include "support/TempDir.h"

namespace kea::test {
namespace {

const std::string kEnglish = std::string(KEA_SHIPPED_DATA_DIR) + "/Dictionaries/English.kkd";

struct Case {
  std::string name;
  std::string program;
  std::vector<std::string> arguments;
  ProgramOptions options;
  // The file whose old content must survive, and that content.
  std::string target;
  std::string old;
  // Ctrl-C is this program's Stop: it ends normally with 130 after listing.
  bool stops = false;
};

// Builder input of `lines` lines with definitions.
std::string builderInput(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    std::string word;
    for (int v = i * 7919 + 11; word.size() < 7 || v > 0; v /= 26) word += static_cast<char>('a' + v % 26);
    text += word + "|a definition of " + word + " in several words\n";
  }
  return text;
}

class Signals : public ::testing::Test {
 protected:
  // A folder of its own for each case, holding the old output.
  std::string folder(const std::string& name) {
    const std::string path = dir.file(name);
    std::filesystem::create_directory(path);
    return path;
  }

  std::vector<Case> cases() {
    std::vector<Case> all;
    const std::string big = dir.file("big.txt");
    writeFile(big, builderInput(200000));
    writeFile(dir.file("small.txt"), builderInput(20000));
    const auto add = [&](const std::string& name, const std::string& program, std::vector<std::string> arguments,
                         ProgramOptions options, const std::string& target, const std::string& old, bool stops = false) {
      writeFile(target, old);
      options.timeoutMs = 6000;
      all.push_back(Case{name, program, std::move(arguments), options, target, old, stops});
    };
    ProgramOptions waiting;
    waiting.inputNeverEnds = true;
    // Late enough for a program built with sanitizers to have started.
    waiting.signalAfterMs = 500;
    ProgramOptions working;
    working.signalAfterMs = 500;

    // Waiting for standard input that never comes.
    std::string f = folder("build-waits");
    add("kkbuild waiting for input", "kkbuild", {"-", f + "/out.kkd"}, waiting, f + "/out.kkd", "old dictionary");
    f = folder("merge-waits");
    add("kkmerge waiting for input", "kkmerge", {"-", f + "/out.txt"}, waiting, f + "/out.txt", "old list\n");
    // Working.
    f = folder("build-works");
    add("kkbuild building", "kkbuild", {"-q", big, f + "/out.kkd"}, working, f + "/out.kkd", "old dictionary");
    f = folder("merge-works");
    add("kkmerge merging", "kkmerge", {"-q", kEnglish, f + "/out.kkd"}, working, f + "/out.kkd", "old dictionary");
    // Waiting for a reader of a named pipe that never reads.
    f = folder("build-pipe");
    ProgramOptions late;
    late.signalAfterMs = 900;
    add("kkbuild writing into a full pipe", "kkbuild", {"-q", dir.file("small.txt"), f + "/pipe"}, late,
        f + "/old.kkd", "old dictionary");
    // kea-cli: searching (Ctrl-C stops the search and lists what was found),
    // writing into a pipe nobody reads, finding phrases.
    std::vector<std::string> slow{"search"};
    for (int i = 0; i < 9; ++i) {
      const std::string link = dir.file("English" + std::to_string(i) + ".kkd");
      if (!std::filesystem::exists(link)) std::filesystem::create_symlink(kEnglish, link);
      slow.insert(slow.end(), {"-d", link});
    }
    slow.insert(slow.end(), {"--mode", "independent", "*1*2*3*1*2*3*"});
    f = folder("search-works");
    add("kea-cli searching", "kea-cli", slow, working, f + "/untouched", "untouched", true);
    f = folder("search-writes");
    ProgramOptions blocked = working;
    blocked.outputNeverRead = true;
    add("kea-cli writing into a full pipe", "kea-cli", {"search", "*"}, blocked, f + "/untouched", "untouched");
    f = folder("anagram-works");
    add("kea-cli finding phrases", "kea-cli", {"anagram", "--words", "1-6", "clinteastwoodclinteastwood"}, working,
        f + "/untouched", "untouched", true);
    // kea-prepare reading the system's word lists and WordNet.
    if (std::filesystem::exists("/usr/share/dict/american-english-huge") &&
        std::filesystem::exists("/usr/share/wordnet/data.noun")) {
      f = folder("prepare-works");
      add("kea-prepare preparing", "kea-prepare", {"--english", f + "/english.txt"}, working, f + "/english.txt",
          "old lines\n");
    }
    return all;
  }

  TempDir dir;
};

TEST_F(Signals, CtrlCAndSigtermEndEveryProgramWithinASecondLeavingItsOutput) {
  if (!std::filesystem::exists(kEnglish)) GTEST_SKIP() << "the shipped dictionaries are not built";
  std::vector<Case> all = cases();
  // The pipe that nothing reads: opened for reading, never read.
  const std::string pipe = dir.file("build-pipe/pipe");
  ASSERT_TRUE(makeNamedPipe(pipe));
  const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  struct Run {
    const Case* c;
    int signal;
    std::future<ProgramRun> result;
  };
  std::vector<Run> runs;
  for (const int signal : {SIGINT, SIGTERM}) {
    for (const Case& c : all) {
      ProgramOptions options = c.options;
      options.signal = signal;
      runs.push_back({&c, signal, std::async(std::launch::async, [&c, options] {
                        return runProgram(c.program, c.arguments, options);
                      })});
      // Two at a time: the timing must not suffer from a crowded machine.
      if (runs.size() >= 2) runs[runs.size() - 2].result.wait();
    }
  }
  for (Run& run : runs) {
    SCOPED_TRACE(run.c->name + (run.signal == SIGINT ? ", SIGINT" : ", SIGTERM"));
    const ProgramRun r = run.result.get();
    EXPECT_FALSE(r.timedOut);
    ASSERT_GE(r.msAfterSignal, 0) << "it ended before the signal: " << r.err;
    EXPECT_LT(r.msAfterSignal, 1000);
    EXPECT_EQ(r.exitCode, 128 + run.signal) << r.err;
    if (run.c->stops && run.signal == SIGINT) {
      EXPECT_NE(r.err.find("interrupted; "), std::string::npos) << r.err;
      EXPECT_FALSE(r.out.empty());
    }
    if (run.c->program == "kkbuild" || run.c->program == "kkmerge") {
      EXPECT_TRUE(r.err.ends_with(" was left as it was\n")) << r.err;
    }
    EXPECT_EQ(readFile(run.c->target), run.c->old);
    // Nothing beside the old output (and the pipe): no temporary file.
    const std::filesystem::path folder = std::filesystem::path(run.c->target).parent_path();
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++entries;
    EXPECT_EQ(entries, run.c->name.find("pipe") != std::string::npos && run.c->program == "kkbuild" ? 2u : 1u);
  }
  EXPECT_EQ(std::filesystem::status(pipe).type(), std::filesystem::file_type::fifo);
  ::close(reader);
}

}  // namespace
}  // namespace kea::test
