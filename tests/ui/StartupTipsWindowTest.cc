// The tip of the day window: successive openings take turns through the
// stored next index, "&More on this topic" follows the tip's topic and is
// off without one, rich text keeps its styles, and the show box reports.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>

#include "settings/Persist.h"
#include "support/TempDir.h"
#include "ui/QtSettingsStore.h"
#include "ui/StartupTipsWindow.h"

namespace kea::ui {
namespace {

class StartupTipsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { QFile::remove(QtSettingsStore::fileName()); }
  void tips(const std::string& lines) { test::writeFile(dir.file("Tips.txt"), lines); }
  std::string folder() const { return dir.path().string() + "/"; }
  std::unique_ptr<StartupTipsWindow> open() {
    auto window = std::make_unique<StartupTipsWindow>(settings, folder());
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return window;
  }
  int storedNextIndex() {
    Persist persist(settings, SettingsMode::Read);
    int index = -1;
    persist.readInt("KEAStartupTipsNextIndex", index);
    return index;
  }

  test::TempDir dir;
  QtSettingsStore settings;
};

// The file reading and the turn taking are the core's; here, that the window
// shows the tip, stores its turn, and wires its buttons and show box.
TEST_F(StartupTipsWindowTest, OpeningsTakeTurnsAndTheButtonsFollowTheTip) {
  tips("120 A line made of a topic, a blank and a sentence.\n0 No topic here.\n");
  auto window = open();
  EXPECT_EQ(window->windowTitle(), "KEA Tip of the Day");
  QSignalSpy topics(window.get(), &StartupTipsWindow::topicRequested);
  EXPECT_EQ(window->tipText(), "A line made of a topic, a blank and a sentence.");
  ASSERT_TRUE(window->moreButton()->isEnabled());
  QTest::mouseClick(window->moreButton(), Qt::LeftButton);
  ASSERT_EQ(topics.count(), 1);
  EXPECT_EQ(topics.at(0).at(0).toInt(), 120);

  QTest::mouseClick(window->nextButton(), Qt::LeftButton);
  EXPECT_EQ(window->tipText(), "No topic here.");
  EXPECT_FALSE(window->moreButton()->isEnabled());
  // Closed with the main window while open, it still keeps its turn.
  window.reset();
  EXPECT_EQ(storedNextIndex(), 0);
  EXPECT_EQ(open()->tipText(), "A line made of a topic, a blank and a sentence.");
  EXPECT_EQ(storedNextIndex(), 1);
}

TEST_F(StartupTipsWindowTest, RichTextKeepsItsStylesAndTheShowBoxReportsChanges) {
  tips("7 {\\rtf1 Press {\\b Return} to search.}\n");
  auto window = open();
  EXPECT_EQ(window->tipText(), "Press Return to search.");
  QTextCursor cursor(window->findChild<QTextBrowser*>()->document());
  cursor.setPosition(8);  // inside "Return"
  EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
  cursor.setPosition(3);
  EXPECT_NE(cursor.charFormat().fontWeight(), QFont::Bold);

  EXPECT_TRUE(window->showOnStartup());
  QSignalSpy changed(window.get(), &StartupTipsWindow::showOnStartupChanged);
  QTest::mouseClick(window->showBox(), Qt::LeftButton);
  EXPECT_FALSE(window->showOnStartup());
  ASSERT_EQ(changed.count(), 1);
  EXPECT_FALSE(changed.at(0).at(0).toBool());
  window->setShowOnStartup(true);
  EXPECT_TRUE(window->showBox()->isChecked());
}

}  // namespace
}  // namespace kea::ui
