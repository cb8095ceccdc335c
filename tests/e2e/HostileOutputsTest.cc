// Every program that writes a file a user names (kkbuild, kkmerge as text
// and as a dictionary, kea-cli search --save as text and as a dictionary,
// kea-prepare), given outputs that are no plain new file: device nodes like
// /dev/null and /dev/full (private ones, in the test's folder), a named pipe
// with and without a reader, a symbolic link, a 0600 file, a name of 250
// bytes, a read-only folder, a full disk, a folder and a socket. Each does
// what it should, and the old content of every regular target survives
// every failure. Then every program's standard output on /dev/full and on
// a full disk.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "support/RunProgram.h"
#include "support/SpecialFiles.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea::test {
namespace {

namespace fs = std::filesystem;
const std::string kEnglish = std::string(KEA_SHIPPED_DATA_DIR) + "/Dictionaries/English.kkd";

// A program that writes one output file, named by its command line.
struct Writer {
  std::string name;
  std::string program;
  std::function<std::vector<std::string>(const std::string& target)> arguments;
  const char* extension;  // the name a target gets for it
};

// Reads a named pipe from before the program opens it to the end of what
// the program writes.
class PipeReader {
 public:
  explicit PipeReader(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
    thread_ = std::thread([this] {
      char buffer[65536];
      for (;;) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n > 0) {
          bytes_.append(buffer, static_cast<std::size_t>(n));
          continue;
        }
        // No writer yet, or the writer is done: only the program's end tells.
        if (n == 0 && done_.load()) {
          if (::read(fd_, buffer, sizeof buffer) <= 0) return;
        }
        pollfd p{fd_, POLLIN, 0};
        ::poll(&p, 1, 5);
      }
    });
  }
  // The bytes, once the program ended.
  std::string finish() {
    done_.store(true);
    thread_.join();
    ::close(fd_);
    return bytes_;
  }

 private:
  int fd_;
  std::string bytes_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

class HostileOutputs : public ::testing::Test {
 protected:
  void SetUp() override {
    ::chmod(dir.path().c_str(), 0777);
    writeFile(dir.file("words.txt"), "apple\npear\nquince\n");
    TestDictionaryOptions options;
    options.fileName = "fruit.kkd";
    dictionary = buildTestDictionary(dir, {"apple", "pear", "quince", "cat"}, options);
    fs::create_directory(dir.file("wordnet"));
    for (const char* part : {"noun", "verb", "adj", "adv"}) writeFile(dir.file("wordnet/data." + std::string(part)), "");
    writers = {
        {"kkbuild", "kkbuild", [&](const std::string& t) { return std::vector<std::string>{"-q", dir.file("words.txt"), t}; }, ".kkd"},
        {"kkmerge text", "kkmerge", [&](const std::string& t) { return std::vector<std::string>{"-q", dir.file("words.txt"), t}; }, ".txt"},
        {"kkmerge dictionary", "kkmerge", [&](const std::string& t) { return std::vector<std::string>{"-q", dir.file("words.txt"), t}; }, ".kkd"},
        {"kea-cli save text", "kea-cli", [&](const std::string& t) { return std::vector<std::string>{"search", "-d", dictionary, "--save", t, "*"}; }, ".txt"},
        {"kea-cli save dictionary", "kea-cli", [&](const std::string& t) { return std::vector<std::string>{"search", "-d", dictionary, "--save", t, "*"}; }, ".kkd"},
        {"kea-prepare", "kea-prepare",
         [&](const std::string& t) {
           return std::vector<std::string>{"--american", dir.file("words.txt"), "--british", dir.file("words.txt"),
                                           "--wordnet-dir", dir.file("wordnet"), "--english", t};
         },
         ".txt"},
    };
  }

  // Runs `body` for every writer, two writers at a time (each in folders of
  // its own).
  void forEachWriter(const std::function<void(const Writer&)>& body) {
    std::vector<std::future<void>> running;
    for (const Writer& w : writers) {
      if (running.size() == 2) {
        running.front().get();
        running.erase(running.begin());
      }
      running.push_back(std::async(std::launch::async, [&body, &w] {
        SCOPED_TRACE(w.name);
        body(w);
      }));
    }
    for (auto& r : running) r.get();
  }

  ProgramRun write(const Writer& w, const std::string& target, ProgramOptions options = {}) {
    options.timeoutMs = 5000;
    return runProgram(w.program, w.arguments(target), options);
  }

  // A folder of its own for each writer and case.
  std::string folder(const Writer& w, const std::string& name) {
    std::string path = dir.file(name + " " + w.name);
    fs::create_directories(path);
    ::chmod(path.c_str(), 0777);
    return path;
  }

  // What the writer writes into a new regular file.
  std::string plain(const Writer& w) {
    const std::string target = folder(w, "plain") + "/out" + w.extension;
    const ProgramRun r = write(w, target);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << w.name << ": " << r.err;
    return readFile(target);
  }

  TempDir dir;
  std::string dictionary;
  std::vector<Writer> writers;
};

std::vector<std::string> names(const std::string& folder) {
  std::vector<std::string> out;
  for (const auto& entry : fs::directory_iterator(folder)) out.push_back(entry.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

TEST_F(HostileOutputs, PipesAndDevicesAreStreamsAndFoldersAndSocketsAreRefused) {
  forEachWriter([&](const Writer& w) {
    const std::string expected = plain(w);
    ASSERT_FALSE(expected.empty());
    const std::string f = folder(w, "streams");
    // A pipe with a reader receives what a file would hold.
    const std::string pipe = f + "/pipe" + w.extension;
    ASSERT_TRUE(makeNamedPipe(pipe));
    PipeReader reader(pipe);
    ProgramRun r = write(w, pipe);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(reader.finish(), expected);
    // Without a reader, it is refused at once.
    const std::string lonely = f + "/lonely" + w.extension;
    ASSERT_TRUE(makeNamedPipe(lonely));
    r = write(w, lonely);
    EXPECT_FALSE(r.timedOut);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find(lonely + " is a named pipe that nothing reads from"), std::string::npos) << r.err;
    // A folder and a socket are never replaced.
    const std::string sub = f + "/folder" + w.extension;
    fs::create_directory(sub);
    r = write(w, sub);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find(sub + " is a folder, not a file"), std::string::npos) << r.err;
    const std::string socket = f + "/socket" + w.extension;
    if (makeSocket(socket)) {
      r = write(w, socket);
      EXPECT_NE(r.exitCode, 0);
      EXPECT_NE(r.err.find(socket + " is a socket, not a file"), std::string::npos) << r.err;
      EXPECT_EQ(fs::status(socket).type(), fs::file_type::socket);
    }
    EXPECT_EQ(fs::status(pipe).type(), fs::file_type::fifo);
    EXPECT_EQ(fs::status(lonely).type(), fs::file_type::fifo);
    EXPECT_TRUE(fs::is_directory(sub));
    // Devices: a private /dev/null takes the content, a private /dev/full
    // fails with the reason; both stay devices.
    const std::string null = f + "/null" + w.extension, full = f + "/full" + w.extension;
    if (!makeCharacterDevice(null, 1, 3) || !makeCharacterDevice(full, 1, 7)) return;
    r = write(w, null);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    r = write(w, full);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
    EXPECT_EQ(fs::status(null).type(), fs::file_type::character);
    EXPECT_EQ(fs::status(full).type(), fs::file_type::character);
  });
}

TEST_F(HostileOutputs, LinksModesAndLongNamesAreKept) {
  forEachWriter([&](const Writer& w) {
    const std::string expected = plain(w);
    // A symbolic link: its target is replaced in its own folder; the link stays.
    const std::string links = folder(w, "links"), files = folder(w, "files");
    const std::string real = files + "/real" + w.extension, link = links + "/link" + w.extension;
    writeFile(real, "old content");
    fs::create_symlink(real, link);
    ProgramRun r = write(w, link);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readFile(real), expected);
    // A dictionary's block summary goes beside the name it is opened by.
    std::vector<std::string> inLinks{"link" + std::string(w.extension)};
    if (std::string(w.extension) == ".kkd") inLinks.insert(inLinks.begin(), "link.blocks");
    EXPECT_EQ(names(links), inLinks);
    // A replaced file is kept beside the file it replaced, by every program
    // a user saves with (kea-prepare remakes the build's own data).
    const bool backup = std::string(w.name) != "kea-prepare";
    std::vector<std::string> inFiles{"real" + std::string(w.extension)};
    if (backup) inFiles.insert(inFiles.begin(), "Backup of real" + std::string(w.extension));
    EXPECT_EQ(names(files), inFiles);
    // A private file stays private.
    const std::string secret = files + "/secret" + w.extension;
    writeFile(secret, "old content");
    ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
    r = write(w, secret);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readFile(secret), expected);
    EXPECT_EQ(fileMode(secret), 0600u);
    // A name of 250 bytes, which a temporary name of the old kind made too long.
    const std::string longName = files + "/" + std::string(246, 'n') + w.extension;
    r = write(w, longName);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readFile(longName), expected);
    r = write(w, longName);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    if (backup) {
      EXPECT_EQ(readFile(files + "/Backup of " + std::string(241, 'n') + w.extension), expected);
    }
  });
}

TEST_F(HostileOutputs, FailuresLeaveTheOldContentAndNoTemporaryFile) {
  forEachWriter([&](const Writer& w) {
    // A full disk: no file may grow past 10 bytes (standard error neither:
    // only the exit status tells).
    std::string f = folder(w, "full");
    const std::string target = f + "/out" + w.extension;
    writeFile(target, "old content");
    // A temporary file a killed run left: the next run removes it.
    writeFile(f + "/.out" + w.extension + ".k1ll3d.tmp", "killed run");
    ProgramOptions small;
    small.fileSizeLimit = 10;
    small.outputPath = "/dev/null";  // what kea-cli lists is no file
    ProgramRun r = write(w, target, small);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_LT(r.exitCode, 128) << "ended by a signal";
    EXPECT_EQ(readFile(target), "old content");
    EXPECT_EQ(names(f), std::vector<std::string>{"out" + std::string(w.extension)});
    // A read-only folder, for a program of an ordinary user.
    f = folder(w, "locked");
    const std::string locked = f + "/out" + w.extension;
    writeFile(locked, "old content");
    ::chmod(locked.c_str(), 0666);
    ::chmod(f.c_str(), 0555);
    ProgramOptions user;
    user.asOrdinaryUser = true;
    r = write(w, locked, user);
    ::chmod(f.c_str(), 0777);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("cannot create a file in " + f + ": Permission denied"), std::string::npos) << r.err;
    EXPECT_EQ(readFile(locked), "old content");
    EXPECT_EQ(names(f), std::vector<std::string>{"out" + std::string(w.extension)});
  });
}

// Standard output that cannot be written: every program says so and fails,
// and no count of results that never arrived is reported.
TEST_F(HostileOutputs, AFullStandardOutputIsReportedByEveryProgram) {
  if (!fs::exists(kEnglish)) GTEST_SKIP() << "the shipped dictionaries are not built";
  const std::vector<std::pair<std::string, std::vector<std::string>>> runs = {
      {"kea-cli", {"search", "*"}},
      {"kea-cli", {"search", "--full-text", "electron"}},
      {"kea-cli", {"define", "electron"}},
      {"kea-cli", {"info", kEnglish}},
      {"kea-cli", {"anagram", "tac"}},
      {"kea-cli", {"--help"}},
      {"kkmerge", {dir.file("words.txt"), "-"}},
      {"kkbuild", {"--help"}},
      {"kea-prepare", {"--american", dir.file("words.txt"), "--british", dir.file("words.txt"), "--wordnet-dir",
                       dir.file("wordnet"), "--english", "-"}},
  };
  for (const auto& [program, arguments] : runs) {
    SCOPED_TRACE(program + " " + arguments[0]);
    ProgramOptions full;
    full.outputPath = "/dev/full";
    full.timeoutMs = 5000;
    const ProgramRun r = runProgram(program, arguments, full);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_LT(r.exitCode, 128);
    EXPECT_NE(r.err.find(program + ": cannot write to standard output"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("results found"), std::string::npos) << r.err;
  }
  // A disk that fills up halfway through the list.
  ProgramOptions disk;
  disk.outputPath = dir.file("listed.txt");
  writeFile(disk.outputPath, "");
  disk.fileSizeLimit = 100000;
  const ProgramRun r = runProgram("kea-cli", {"search", "*"}, disk);
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err, "kea-cli: cannot write to standard output: File too large\n");
  EXPECT_EQ(fs::file_size(disk.outputPath), 100000u);
}

}  // namespace
}  // namespace kea::test
