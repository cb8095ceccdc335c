// Read-only files read at any offset, their stamps, Windows-1252 paths on a
// UTF-8 disk, and names compared without regard to case.
#include "platform/File.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "platform/TextCase.h"
#include "support/SpecialFiles.h"
#include "support/TempDir.h"

namespace kea::platform {
namespace {

TEST(File, ReadsAtOffsetsAndStopsAtTheEnd) {
  test::TempDir dir;
  test::writeFile(dir.file("f"), "0123456789");
  ReadOnlyFile file;
  ASSERT_EQ(file.open(dir.file("f")), OpenError::None);
  char buffer[16] = {};
  EXPECT_EQ(file.readAt(3, buffer, 4), 4u);
  EXPECT_EQ(std::string(buffer, 4), "3456");
  EXPECT_EQ(file.readAt(8, buffer, 16), 2u);
  EXPECT_EQ(file.readAt(10, buffer, 16), 0u);
  EXPECT_EQ(file.readAt(0xFFFFFFFFFFFFull, buffer, 16), 0u);
  EXPECT_EQ(file.readAt(0xFFFFFFFFFFFFFFFFull, buffer, 16), 0u);
  ASSERT_TRUE(file.stamp().has_value());
  EXPECT_EQ(file.stamp()->size, 10u);
  file.close();
  EXPECT_EQ(file.readAt(0, buffer, 4), 0u);
  // Missing files and folders do not open.
  EXPECT_EQ(file.open(dir.file("missing")), OpenError::NotFound);
  EXPECT_EQ(file.open(dir.path().string()), OpenError::NotRegular);
  EXPECT_FALSE(file.isOpen());
  EXPECT_FALSE(fileStamp(dir.file("missing")).has_value());
  EXPECT_FALSE(fileStamp(dir.path().string()).has_value());
}

TEST(File, StampsTellNanosecondsApartAndPathsAreWindows1252WithUtf8NamesOnDisk) {
  test::TempDir dir;
  // "café" in Windows-1252; on disk the name is UTF-8.
  const std::string path = dir.path().string() + "/caf\xE9.kkd";
  EXPECT_EQ(nativePath(path), dir.path().string() + "/caf\xC3\xA9.kkd");
  test::writeFile(nativePath(path), "abc");
  ReadOnlyFile file;
  EXPECT_EQ(file.open(path), OpenError::None);
  const auto before = fileStamp(path);
  std::filesystem::last_write_time(nativePath(path), std::filesystem::last_write_time(nativePath(path)) +
                                                         std::chrono::nanoseconds(1));
  const auto after = fileStamp(path);
  ASSERT_TRUE(before && after);
  EXPECT_EQ(after->lastWriteTime - before->lastWriteTime, 1);
}

// Whatever a name stands for, opening it neither waits nor reads what is
// no regular file, and the message says what it was.
TEST(File, OnlyRegularFilesOpenAndTheRestSayWhatTheyAre) {
  test::TempDir dir;
  ASSERT_TRUE(test::makeNamedPipe(dir.file("pipe")));
  ASSERT_TRUE(test::makeSocket(dir.file("socket")));
  struct Case {
    std::string path;
    OpenError error;
    FileKind kind;
    std::string text;
  };
  const Case cases[] = {
      {dir.file("pipe"), OpenError::NotRegular, FileKind::NamedPipe, dir.file("pipe") + " is a named pipe, not a dictionary file"},
      {dir.file("socket"), OpenError::NotRegular, FileKind::Socket, dir.file("socket") + " is a socket, not a dictionary file"},
      {dir.path().string(), OpenError::NotRegular, FileKind::Folder, dir.path().string() + " is a folder, not a dictionary file"},
      {"/dev/zero", OpenError::NotRegular, FileKind::CharacterDevice, "/dev/zero is a device, not a dictionary file"},
      {dir.file("missing"), OpenError::NotFound, FileKind::Missing, dir.file("missing") + " was not found"},
  };
  for (const Case& c : cases) {
    ReadOnlyFile file;
    EXPECT_EQ(file.openNative(c.path), c.error) << c.path;
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(file.kindFound(), c.kind) << c.path;
    EXPECT_EQ(file.failureText(c.path, "a dictionary file"), c.text);
    EXPECT_EQ(fileKindOf(c.path), c.kind) << c.path;
  }
  // Another handle of an open file reads the file it was opened on, even
  // after its name went to another file.
  test::writeFile(dir.file("f"), "first");
  ReadOnlyFile first, same;
  ASSERT_EQ(first.openNative(dir.file("f")), OpenError::None);
  test::writeFile(dir.file("g"), "second");
  std::filesystem::rename(dir.file("g"), dir.file("f"));
  ASSERT_EQ(same.openSame(first), OpenError::None);
  char buffer[8] = {};
  EXPECT_EQ(same.readAt(0, buffer, sizeof buffer), 5u);
  EXPECT_EQ(std::string(buffer, 5), "first");
}

TEST(File, WholeFilesAreReadWithinALimitAndStreamsToTheirEnd) {
  test::TempDir dir;
  std::string out, error;
  test::writeFile(dir.file("words"), "apple\npear\n");
  EXPECT_TRUE(readWholeFile(dir.file("words"), 100, out, &error));
  EXPECT_EQ(out, "apple\npear\n");
  // A file larger than the limit, however little it holds, is not read.
  ASSERT_TRUE(test::makeSparseFile(dir.file("sparse"), 100ull << 30));
  EXPECT_FALSE(readWholeFile(dir.file("sparse"), 1 << 30, out, &error));
  EXPECT_EQ(error, dir.file("sparse") + " is too large: more than 1 GiB");
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(readWholeFile("/dev/zero", 1 << 30, out, &error));
  EXPECT_EQ(error, "/dev/zero is a device, not a text file");
  EXPECT_FALSE(readWholeFile(dir.path().string(), 100, out, &error, "a word list"));
  EXPECT_EQ(error, dir.path().string() + " is a folder, not a word list");
  // A stream that never ends is read up to the limit and no further.
  const int zero = ::open("/dev/zero", O_RDONLY | O_CLOEXEC);
  ASSERT_GE(zero, 0);
  EXPECT_FALSE(readWholeStream(zero, 1 << 20, out, &error, "standard input"));
  EXPECT_EQ(error, "standard input is too large: more than 1 MiB");
  ::close(zero);
  EXPECT_EQ(sizeText(512), "512 bytes");
}

TEST(FileIdentity, OneFileUnderAnyNameAndLetterCaseCounts) {
  test::TempDir dir;
  const std::string file = dir.file("words.kkd");
  test::writeFile(file, "x");
  test::writeFile(dir.file("Words.kkd"), "x");
  std::filesystem::create_symlink(file, dir.file("link.kkd"));
  EXPECT_TRUE(sameFile(file, file));
  EXPECT_TRUE(sameFile(file, dir.file("link.kkd")));
  EXPECT_TRUE(sameFile(file, dir.file("./words.kkd")));
  EXPECT_FALSE(sameFile(file, dir.file("Words.kkd")));
  // Names of no file are the same only when they are the same text.
  EXPECT_TRUE(sameFile(dir.file("gone.kkd"), dir.file("gone.kkd")));
  EXPECT_FALSE(sameFile(dir.file("gone.kkd"), dir.file("Gone.kkd")));
  EXPECT_FALSE(sameFile(file, dir.file("gone.kkd")));
}

TEST(TextCase, IgnoresCaseButNotAccents) {
  EXPECT_TRUE(equalsIgnoringCase("/Data/A.KKD", "/data/a.kkd"));
  EXPECT_TRUE(equalsIgnoringCase("\xC9t\xC9", "\xE9t\xE9"));       // ÉTÉ, été
  EXPECT_TRUE(equalsIgnoringCase("\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF"));
  EXPECT_FALSE(equalsIgnoringCase("\xE9", "e"));
  EXPECT_FALSE(equalsIgnoringCase("\xD7", "\xF7"));                  // × and ÷ are no pair
  EXPECT_FALSE(equalsIgnoringCase("\xDF", "\xFF"));                  // ß has no capital here
  EXPECT_FALSE(equalsIgnoringCase("a.kkd", "a.kkd "));
}

}  // namespace
}  // namespace kea::platform
