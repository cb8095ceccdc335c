// Saving results as text: the file's lines, its safe replacement, and the
// save dialog's name rules.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <vector>

#include "search/ResultsFile.h"
#include "search/ResultsList.h"
#include "support/FileSizeLimit.h"
#include "support/SpecialFiles.h"
#include "support/TempDir.h"

namespace kea {
namespace {

TEST(ResultsFileNames, ExtensionAppendedOnlyWhenTheNameHasNone) {
  struct Case {
    const char* chosen;
    int filter;
    const char* saved;
  };
  const std::vector<Case> cases = {
      {"/home/u/words", 1, "/home/u/words.txt"},
      {"/home/u/words", 2, "/home/u/words.kkd"},
      {"/home/u/words.lst", 1, "/home/u/words.lst"},
      {"/home/u/words.txt", 2, "/home/u/words.txt"},
      {"/home/u.v2/words", 1, "/home/u.v2/words.txt"},  // a dot in a folder is no extension
      {"words", 0, "words.txt"},                        // unknown filters mean text
      {"words", 3, "words.txt"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(withResultsExtension(c.chosen, resultsFileFormForFilter(c.filter)), c.saved) << c.chosen;
  }
}

TEST(ResultsFileNames, RememberedNameLosesFolderAndExtensions) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"/home/u/words.v2.txt", "words"}, {"words.kkd", "words"}, {"/home/u.v2/words", "words"},
      {"words", "words"},                {"", ""},                {"/home/u/", ""},
  };
  for (const auto& [path, name] : cases) EXPECT_EQ(rememberedResultsName(path), name) << path;
}

TEST(ResultsFile, OneLinePerEntryWithAnnotationInUtf8) {
  ResultsList list;
  ASSERT_TRUE(list.add("apple", "", "", 0));
  ASSERT_TRUE(list.add("caf\xe9", " (drink)", "", 1));  // Windows-1252 e acute
  ASSERT_TRUE(list.add("pear", "", " +xy", 2));
  test::TempDir dir;
  const std::string path = dir.file("out.txt");
  ASSERT_TRUE(saveResultsAsText(list, path));
  EXPECT_EQ(test::readFile(path), "apple\ncaf\xc3\xa9 (drink)\npear +xy\n");
  EXPECT_EQ(dir.names(), std::vector<std::string>{"out.txt"});
}

TEST(ResultsFile, ReplacesAnExistingFileAndWritesAnEmptyList) {
  test::TempDir dir;
  const std::string path = dir.file("out.txt");
  test::writeFile(path, "old contents that are longer than the new\n");
  ResultsList list;
  ASSERT_TRUE(saveResultsAsText(list, path));
  EXPECT_EQ(test::readFile(path), "");
  // The replaced file is kept, as a replaced dictionary is.
  EXPECT_EQ(test::readFile(dir.file("Backup of out.txt")), "old contents that are longer than the new\n");
  ASSERT_TRUE(list.add("one", "", "", 0));
  ASSERT_TRUE(saveResultsAsText(list, path));
  EXPECT_EQ(test::readFile(path), "one\n");
  EXPECT_EQ(test::readFile(dir.file("Backup of out.txt")), "");
  EXPECT_EQ(dir.names(), (std::vector<std::string>{"Backup of out.txt", "out.txt"}));
}

TEST(ResultsFile, FailuresLeaveTheOldFileAndNoLeftovers) {
  test::TempDir dir;
  ResultsList list;
  for (int i = 0; i < 2000; ++i) ASSERT_TRUE(list.add("entry" + std::to_string(i), "", "", i));

  std::string detail;
  EXPECT_FALSE(saveResultsAsText(list, dir.file("missing/out.txt"), &detail));
  EXPECT_FALSE(detail.empty());

  const std::string path = dir.file("out.txt");
  test::writeFile(path, "kept\n");
  const int saved = test::runWithFileSizeLimit(4096, [&] { return saveResultsAsText(list, path) ? 1 : 0; });
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(test::readFile(path), "kept\n");
  EXPECT_EQ(dir.names(), std::vector<std::string>{"out.txt"});
}

// The window's Save Results writes as every program does: through a link to
// its file, keeping a private file private, into a pipe only when it is
// read, never over a folder.
TEST(ResultsFile, TheWindowsSaveKeepsLinksAndModesAndRefusesWhatIsNoFile) {
  test::TempDir dir;
  ResultsList list;
  ASSERT_TRUE(list.add("apple", "", "", 0));
  test::writeFile(dir.file("real.txt"), "old\n");
  ASSERT_EQ(::chmod(dir.file("real.txt").c_str(), 0600), 0);
  std::filesystem::create_symlink(dir.file("real.txt"), dir.file("link.txt"));
  ASSERT_TRUE(saveResultsAsText(list, dir.file("link.txt")));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.txt")));
  EXPECT_EQ(test::readFile(dir.file("real.txt")), "apple\n");
  EXPECT_EQ(test::fileMode(dir.file("real.txt")), 0600u);

  std::string detail;
  ASSERT_TRUE(test::makeNamedPipe(dir.file("pipe.txt")));
  EXPECT_FALSE(saveResultsAsText(list, dir.file("pipe.txt"), &detail));
  EXPECT_EQ(detail, dir.file("pipe.txt") + " is a named pipe that nothing reads from, or a socket");
  std::filesystem::create_directory(dir.file("folder.txt"));
  EXPECT_FALSE(saveResultsAsText(list, dir.file("folder.txt"), &detail));
  EXPECT_EQ(detail, dir.file("folder.txt") + " is a folder, not a file");
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder.txt")));
}

}  // namespace
}  // namespace kea
