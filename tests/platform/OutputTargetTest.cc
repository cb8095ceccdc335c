// Writing the files users name: what each kind of target becomes, what a
// failure leaves, temporary names that fit, and leftovers of killed runs.
#include "platform/OutputTarget.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <string>

#include "platform/Termination.h"
#include "support/FileSizeLimit.h"
#include "support/SpecialFiles.h"
#include "support/TempDir.h"

namespace kea::platform {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;
using Names = std::vector<std::string>;

// Writes `bytes` through a target and commits; the error, or "" on success.
std::string put(const std::string& target, const std::string& bytes, bool seekable = false) {
  OutputTarget output(target);
  std::string error;
  if (!output.open(&error, seekable)) return error;
  if (!writeAll(output.descriptor(), bytes.data(), bytes.size())) return "write failed";
  return output.commit(&error) == OutputTarget::Commit::Done ? "" : error;
}

TEST(OutputTarget, ANewOrReplacedFileAppearsOnlyWhenCompleteAndKeepsTheOldMode) {
  TempDir dir;
  const std::string target = dir.file("words.txt");
  {
    OutputTarget output(target);
    std::string error;
    ASSERT_TRUE(output.open(&error)) << error;
    ASSERT_TRUE(writeAll(output.descriptor(), "new", 3));
    // Nothing under any name yet: the file has none until it is complete.
    EXPECT_EQ(dir.names(), Names{});
    EXPECT_EQ(output.commit(&error), OutputTarget::Commit::Done) << error;
  }
  EXPECT_EQ(readFile(target), "new");
  ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
  EXPECT_EQ(put(target, "newer"), "");
  EXPECT_EQ(readFile(target), "newer");
  EXPECT_EQ(test::fileMode(target), 0600u);
  // Abandoned halfway: the old file stays, nothing is left over.
  {
    OutputTarget output(target);
    ASSERT_TRUE(output.open(nullptr));
    ASSERT_TRUE(writeAll(output.descriptor(), "half", 4));
  }
  EXPECT_EQ(readFile(target), "newer");
  EXPECT_EQ(dir.names(), Names{"words.txt"});
  if (test::runningAsRoot()) {
    // The owner goes to the new file too, where the system allows it.
    ASSERT_EQ(::chown(target.c_str(), 12345, 12346), 0);
    EXPECT_EQ(put(target, "owned"), "");
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 12345u);
    EXPECT_EQ(st.st_gid, 12346u);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
  }
}

TEST(OutputTarget, ASymbolicLinkHasItsTargetReplacedInTheTargetsFolder) {
  TempDir links, files;
  const std::string file = files.file("real.kkd");
  const std::string link = links.file("link.kkd");
  writeFile(file, "old");
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  std::filesystem::create_symlink(file, link);
  EXPECT_EQ(put(link, "new", true), "");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readFile(file), "new");
  EXPECT_EQ(test::fileMode(file), 0640u);
  EXPECT_EQ(links.names(), Names{"link.kkd"});
  EXPECT_EQ(files.names(), Names{"real.kkd"});
  // A backup of the replaced file goes beside it, not beside the link.
  {
    OutputTarget output(link);
    output.keepReplacedFileWithPrefix("Backup of ");
    ASSERT_TRUE(output.open(nullptr));
    ASSERT_TRUE(writeAll(output.descriptor(), "newest", 6));
    EXPECT_EQ(output.commit(nullptr), OutputTarget::Commit::Done);
  }
  EXPECT_EQ(readFile(files.file("Backup of real.kkd")), "new");
  EXPECT_EQ(readFile(file), "newest");
  // A link to nothing yet: the file it names is made.
  const std::string dangling = links.file("dangling.txt");
  std::filesystem::create_symlink(files.file("made.txt"), dangling);
  EXPECT_EQ(put(dangling, "made"), "");
  EXPECT_TRUE(std::filesystem::is_symlink(dangling));
  EXPECT_EQ(readFile(files.file("made.txt")), "made");
  // A loop of links leads nowhere.
  std::filesystem::create_symlink(links.file("b"), links.file("a"));
  std::filesystem::create_symlink(links.file("a"), links.file("b"));
  EXPECT_EQ(put(links.file("a"), "x"), links.file("a") + " leads through too many symbolic links");
}

TEST(OutputTarget, PipesAndDevicesAreWrittenAsStreamsAndTheRestRefused) {
  TempDir dir;
  // A pipe with a reader receives the bytes; one without is refused at once.
  const std::string pipe = dir.file("pipe");
  ASSERT_TRUE(test::makeNamedPipe(pipe));
  EXPECT_EQ(put(pipe, "nobody"), pipe + " is a named pipe that nothing reads from, or a socket");
  std::future<std::string> received = std::async(std::launch::async, [&] { return readFile(pipe); });
  // A seekable content reaches the pipe whole, at the end.
  const std::string content(200000, 'k');
  for (;;) {
    const std::string error = put(pipe, content, true);
    if (error.empty()) break;
    // The reader may not have opened its end yet.
    ASSERT_EQ(error, pipe + " is a named pipe that nothing reads from, or a socket");
  }
  EXPECT_EQ(received.get(), content);
  EXPECT_EQ(std::filesystem::status(pipe).type(), std::filesystem::file_type::fifo);

  // Folders and sockets are never replaced.
  std::filesystem::create_directory(dir.file("folder"));
  EXPECT_EQ(put(dir.file("folder"), "x"), dir.file("folder") + " is a folder, not a file");
  ASSERT_TRUE(test::makeSocket(dir.file("socket")));
  EXPECT_EQ(put(dir.file("socket"), "x"), dir.file("socket") + " is a socket, not a file");
  EXPECT_EQ(std::filesystem::status(dir.file("socket")).type(), std::filesystem::file_type::socket);

  // The kernel's /dev/full is a stream that fails every write.
  {
    OutputTarget full("/dev/full");
    std::string error;
    ASSERT_TRUE(full.open(&error, true)) << error;
    EXPECT_TRUE(full.isStream());
    ASSERT_TRUE(writeAll(full.descriptor(), "abc", 3));  // into the scratch file
    EXPECT_EQ(full.commit(&error), OutputTarget::Commit::Failed);
    EXPECT_EQ(error, "cannot write to /dev/full: No space left on device");
  }
  // /dev/stdout is standard output where it stands: sent to a file with
  // ">>", the content goes after what the file held (in a child, whose
  // standard output can be moved).
  const std::string log = dir.file("log");
  writeFile(log, "before\n");
  EXPECT_EQ(test::runWithFileSizeLimit(1 << 20, [&] {
              ::dup2(::open(log.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC), STDOUT_FILENO);
              return put("/dev/stdout", "text\n").empty() && put("/dev/stdout", "dictionary\n", true).empty() ? 0 : 1;
            }),
            0);
  EXPECT_EQ(readFile(log), "before\ntext\ndictionary\n");
  std::filesystem::remove(log);

  // Private device nodes, where the system allows them: the node stays a node.
  if (!test::makeCharacterDevice(dir.file("null"), 1, 3)) GTEST_SKIP() << "no device nodes here";
  EXPECT_EQ(put(dir.file("null"), "gone", true), "");
  EXPECT_EQ(std::filesystem::status(dir.file("null")).type(), std::filesystem::file_type::character);
  EXPECT_EQ(dir.names(), (Names{"folder", "null", "pipe", "socket"}));
}

TEST(OutputTarget, TemporaryNamesFitAnyTargetName) {
  EXPECT_EQ(temporaryNameFor("words.kkd", "abc123"), ".words.kkd.abc123.tmp");
  const std::string longest(255, 'w');
  EXPECT_EQ(temporaryNameFor(longest, "abc123").size(), 255u);
  // Shortened on a whole UTF-8 character: "é" is two bytes.
  std::string accents;
  for (int i = 0; i < 120; ++i) accents += "\xC3\xA9";
  const std::string name = temporaryNameFor(accents, "abc123");
  EXPECT_LE(name.size(), 255u);
  EXPECT_EQ((name.size() - 12) % 2, 0u) << name.size();

  // A backup's name fits too, and keeps its extension.
  EXPECT_EQ(backupNameFor("Backup of ", "words.kkd"), "Backup of words.kkd");
  const std::string backup = backupNameFor("Backup of ", std::string(250, 'b') + ".kkd");
  EXPECT_EQ(backup.size(), 255u);
  EXPECT_EQ(backup, "Backup of " + std::string(241, 'b') + ".kkd");

  // A target whose name takes all 255 bytes is written, and replaced.
  TempDir dir;
  const std::string target = dir.file(std::string(251, 'n') + ".kkd");
  EXPECT_EQ(put(target, "one"), "");
  EXPECT_EQ(put(target, "two", true), "");
  EXPECT_EQ(readFile(target), "two");
  EXPECT_EQ(dir.names().size(), 1u);
}

TEST(OutputTarget, LeftoversOfKilledRunsGoUnlessTheirRunStillHoldsThem) {
  TempDir dir;
  const std::string target = dir.file("out.kkd");
  writeFile(target, "old");
  // Two leftovers of the same target, one still held (locked) by its run,
  // and files that only look alike.
  writeFile(dir.file(".out.kkd.a1b2c3.tmp"), "killed run");
  writeFile(dir.file(".out.kkd.zzzzzz.tmp"), "running");
  writeFile(dir.file(".out.kkd.ABCDEF.tmp"), "not ours: capitals");
  writeFile(dir.file(".other.kkd.a1b2c3.tmp"), "another target's");
  const int held = ::open(dir.file(".out.kkd.zzzzzz.tmp").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  EXPECT_EQ(put(target, "new"), "");
  EXPECT_EQ(readFile(target), "new");
  EXPECT_EQ(dir.names(), (Names{".other.kkd.a1b2c3.tmp", ".out.kkd.ABCDEF.tmp", ".out.kkd.zzzzzz.tmp", "out.kkd"}));
  ::close(held);
  EXPECT_EQ(removeStaleTemporaries(dir.path().string(), "out.kkd"), 1);
}

TEST(OutputTarget, FailuresLeaveTheTargetAsItWasAndNothingBehind) {
  TempDir dir;
  const std::string target = dir.file("out.txt");
  writeFile(target, "old");
  // A full disk.
  EXPECT_EQ(test::runWithFileSizeLimit(1000, [&] { return put(target, std::string(5000, 'x')).empty() ? 1 : 0; }), 0);
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(dir.names(), Names{"out.txt"});
  // A folder that does not exist.
  EXPECT_EQ(put(dir.file("missing/out.txt"), "x"),
            "cannot create a file in " + dir.file("missing") + ": No such file or directory");
  // A termination signal that came before the file took its place: the
  // target is not replaced (in a child, which the signal then ends).
  const int code = test::runWithFileSizeLimit(1 << 20, [&] {
    endOnTerminationSignals("");
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigprocmask(SIG_BLOCK, &set, nullptr);
    OutputTarget output(target);
    if (!output.open(nullptr) || !writeAll(output.descriptor(), "late", 4)) return 1;
    ::kill(::getpid(), SIGTERM);
    return output.commit(nullptr) == OutputTarget::Commit::Interrupted ? 42 : 2;
  });
  EXPECT_EQ(code, 42);
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(dir.names(), Names{"out.txt"});
}

TEST(OutputTarget, AReadOnlyFolderIsReportedAndItsFileKept) {
  TempDir dir;
  std::filesystem::create_directory(dir.file("locked"));
  const std::string target = dir.file("locked/out.txt");
  writeFile(target, "old");
  ASSERT_EQ(::chmod(dir.file("locked").c_str(), 0555), 0);
  std::string error;
  if (test::runningAsRoot()) {
    // Root writes anywhere: the folder is tried by an ordinary user.
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    const int code = test::runWithFileSizeLimit(1 << 20, [&] {
      if (::setgid(65534) != 0 || ::setuid(65534) != 0) return 3;
      return put(target, "new") == "cannot create a file in " + dir.file("locked") + ": Permission denied" ? 0 : 1;
    });
    EXPECT_EQ(code, 0);
  } else {
    EXPECT_EQ(put(target, "new"), "cannot create a file in " + dir.file("locked") + ": Permission denied");
  }
  EXPECT_EQ(readFile(target), "old");
  ::chmod(dir.file("locked").c_str(), 0755);
}

}  // namespace
}  // namespace kea::platform
