// The startup tips: one tip per line of the tips file, shown in turn across
// runs and wrapping after the last; lines without a blank, an index beyond
// the end, a missing file, and files too large or too odd to keep whole.
#include "workspace/StartupTips.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "settings/SettingsStore.h"
#include "support/SpecialFiles.h"
#include "support/TempDir.h"

namespace kea {
namespace {

class TipsTest : public ::testing::Test {
 protected:
  StartupTips tipsFrom(const std::string& bytes) {
    test::writeFile(dir.file("Tips.txt"), bytes);
    StartupTips tips;
    EXPECT_TRUE(tips.readFile(dir.file("Tips.txt")));
    return tips;
  }
  // One run of the program: the window opens, shows a tip and closes.
  std::string run(const std::string& path) {
    StartupTips tips;
    tips.readFile(path);
    {
      Persist persist(store, SettingsMode::Read);
      tips.loadNextIndex(persist);
    }
    tips.showNext();
    Persist persist(store, SettingsMode::Write);
    tips.saveNextIndex(persist);
    return tips.text();
  }

  test::TempDir dir;
  MemorySettingsStore store;
};

TEST_F(TipsTest, EachRunShowsTheNextTipAndTheFourthOfThreeWraps) {
  test::writeFile(dir.file("Tips.txt"), "1 first\n2 second\n3 third\n");
  const std::string path = dir.file("Tips.txt");
  EXPECT_EQ(run(path), "first");
  EXPECT_EQ(run(path), "second");
  EXPECT_EQ(run(path), "third");
  EXPECT_EQ(run(path), "first");
  ASSERT_NE(store.intValue("KEAStartupTipsNextIndex"), nullptr);
  EXPECT_EQ(*store.intValue("KEAStartupTipsNextIndex"), 1);
}

TEST_F(TipsTest, LinesAreReadAsTopicBlankText) {
  StartupTips tips = tipsFrom("120 Anagrams start with a semicolon.\r\n\r\nno-blank\n"
                              "7 {\\rtf1 \\b bold\\b0}\nx12 not a number\n9 \nlast without a line feed");
  ASSERT_EQ(tips.tips().size(), 7u);
  const struct {
    int topic;
    const char* text;
    bool rich;
    unsigned next;
  } shown[] = {
      {120, "Anagrams start with a semicolon.", false, 1},  // "\r" dropped
      {0, "Anagrams start with a semicolon.", false, 2},    // empty line: no blank, text kept
      {0, "Anagrams start with a semicolon.", false, 3},    // no blank
      {7, "{\\rtf1 \\b bold\\b0}", true, 4},
      {0, "not a number", false, 5},
      {9, "", false, 6},
      {0, "without a line feed", false, 0},  // the last line wraps to the first
      {120, "Anagrams start with a semicolon.", false, 1},
  };
  for (const auto& s : shown) {
    tips.showNext();
    EXPECT_EQ(tips.topic(), s.topic) << s.text;
    EXPECT_EQ(tips.text(), s.text);
    EXPECT_EQ(tips.isRichText(), s.rich) << s.text;
    EXPECT_EQ(tips.nextIndex(), s.next) << s.text;
  }
}

TEST_F(TipsTest, AStoredIndexBeyondTheEndShowsNothingAndStays) {
  StartupTips tips = tipsFrom("1 a\n2 b\n3 c\n4 d\n5 e\n");
  tips.setNextIndex(7);
  tips.showNext();
  EXPECT_EQ(tips.text(), "");
  EXPECT_EQ(tips.topic(), 0);
  EXPECT_EQ(tips.nextIndex(), 7u);
}

TEST_F(TipsTest, AnIndexPastTheEndOfAShorterFileStartsAgain) {
  // The window restarts an index stored for a longer tips file, so it
  // does not open empty at every start.
  StartupTips tips = tipsFrom("1 a\n2 b\n3 c\n");
  tips.setNextIndex(7);
  tips.restartPastTheEnd();
  tips.showNext();
  EXPECT_EQ(tips.text(), "a");
  tips.setNextIndex(2);
  tips.restartPastTheEnd();
  EXPECT_EQ(tips.nextIndex(), 2u);
}

TEST_F(TipsTest, WithoutAFileThereIsNothingToShow) {
  StartupTips tips{{"1 old"}};
  EXPECT_FALSE(tips.readFile(dir.file("missing.txt")));
  EXPECT_FALSE(tips.readFile(dir.path().string()));  // a folder
  // A named pipe nothing writes to, and /dev/zero: refused, not waited on or read.
  ASSERT_TRUE(test::makeNamedPipe(dir.file("pipe.txt")));
  EXPECT_FALSE(tips.readFile(dir.file("pipe.txt")));
  EXPECT_FALSE(tips.readFile("/dev/zero"));
  EXPECT_TRUE(tips.tips().empty());
  tips.showNext();
  EXPECT_EQ(tips.text(), "");
  EXPECT_EQ(tips.nextIndex(), 0u);
  EXPECT_TRUE(tipsFrom("").tips().empty());
}

TEST_F(TipsTest, AHugeFileIsKeptWithinBounds) {
  // An overlong first line is cut; the line after it is read as usual.
  std::string bytes = "1 " + std::string(StartupTips::kMaxLineBytes * 3, 'x') + "\r\n2 next\n";
  for (std::size_t i = 0; i < StartupTips::kMaxLines * 2; ++i) bytes += "3 more\n";
  StartupTips tips = tipsFrom(bytes);
  ASSERT_EQ(tips.tips().size(), StartupTips::kMaxLines);
  EXPECT_EQ(tips.tips()[0].size(), StartupTips::kMaxLineBytes);
  EXPECT_EQ(tips.tips()[1], "2 next");
  // Nothing but line feeds: still no more lines than the bound.
  EXPECT_EQ(tipsFrom(std::string(StartupTips::kMaxLines * 5, '\n')).tips().size(), StartupTips::kMaxLines);
}

TEST_F(TipsTest, TheFileIsFoundInTheProgramsSharedData) {
  std::filesystem::create_directories(dir.file("share/kea"));
  const std::string bin = dir.file("bin") + "/";
  EXPECT_FALSE(StartupTips::findFile(bin));
  test::writeFile(dir.file("share/kea/Tips.txt"), "1 shared\n");
  ASSERT_TRUE(StartupTips::findFile(bin));
  EXPECT_EQ(std::filesystem::path(*StartupTips::findFile(bin)), std::filesystem::path(dir.file("share/kea/Tips.txt")));
}

}  // namespace
}  // namespace kea
