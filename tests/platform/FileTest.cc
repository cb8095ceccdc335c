// Read-only files read at any offset, their stamps, Windows-1252 paths on a
// UTF-8 disk, and names compared without regard to case.
#include "platform/File.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/TextCase.h"
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
  EXPECT_EQ(file.open(dir.path().string()), OpenError::NotFound);
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
