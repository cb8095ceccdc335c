// The help window: without its folder or the page asked for it says so and
// stays closed; a page opens at its anchor with the contents listed in the
// index's order; links between pages stay in the window, web and mail
// addresses leave it; the search box narrows the contents.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <filesystem>

#include "support/TempDir.h"
#include "ui/HelpWindow.h"
#include "ui/QtSettingsStore.h"

namespace kea::ui {
namespace {

class RecordingHelp : public HelpWindow {
 public:
  using HelpWindow::HelpWindow;
  int missing = 0;
  std::vector<QUrl> opened;

 protected:
  void reportMissing() override { ++missing; }
  void openExternal(const QUrl& url) override { opened.push_back(url); }
};

class HelpWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QFile::remove(QtSettingsStore::fileName());
    std::filesystem::create_directories(dir.path() / "help");
    page("index.html", "<html><head><title>KEA &amp; you</title></head><body>"
                       "<a href='basics.html'>Basics</a> <a href=\"anagrams.html#semi\">Anagrams</a>"
                       " <a href='https://example.org/kea'>web</a> <a href='mailto:help@example.org'>mail</a>"
                       "</body></html>");
    std::string filler;
    for (int i = 0; i < 100; ++i) filler += "<p>More about anagrams.</p>";
    page("anagrams.html", "<html><head><title>Anagrams</title></head><body><p>Top</p>" + filler +
                          "<h2><a name='semi'>The semicolon</a></h2><p>Start with a semicolon.</p>"
                          "<a href='basics.html'>back to basics</a></body></html>");
    page("basics.html", "<html><head><title>Basics</title></head><body>Dots and stars.</body></html>");
    page("aardvark.html", "<html><body>No title here, but a semicolon.</body></html>");
    test::writeFile(dir.file("secret.html"), "<title>Outside</title>");
  }
  void page(const std::string& name, const std::string& html) { test::writeFile(dir.file("help/" + name), html); }
  QString folder() const { return QString::fromStdString(dir.file("help")); }
  QStringList contents(const HelpWindow& window) {
    QStringList titles;
    for (int i = 0; i < window.contents()->count(); ++i) {
      if (!window.contents()->item(i)->isHidden()) titles << window.contents()->item(i)->text();
    }
    return titles;
  }

  test::TempDir dir;
  QtSettingsStore settings;
};

TEST_F(HelpWindowTest, AMissingFolderOrPageIsReportedAndTheWindowStaysClosed) {
  RecordingHelp none(settings, QString::fromStdString(dir.file("nowhere")));
  EXPECT_FALSE(none.helpAvailable());
  EXPECT_FALSE(none.showContents());
  EXPECT_EQ(none.missing, 1);
  EXPECT_FALSE(none.isVisible());

  RecordingHelp help(settings, folder());
  EXPECT_TRUE(help.helpAvailable());
  EXPECT_FALSE(help.showPage("missing.html#x"));
  EXPECT_FALSE(help.showPage("../secret.html"));  // only pages of the help folder
  EXPECT_FALSE(help.showPage(""));
  EXPECT_EQ(help.missing, 3);
  EXPECT_FALSE(help.isVisible());
}

TEST_F(HelpWindowTest, TheMessageSaysTheHelpLibraryIsNotFound) {
  HelpWindow none(settings, QString::fromStdString(dir.file("nowhere")));
  QString text, caption;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QTimer::singleShot(0, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      text = box->text();
      caption = box->windowTitle();
      icon = box->icon();
      box->accept();
    }
  });
  EXPECT_FALSE(none.showPage("index.html"));
  EXPECT_EQ(text, "Help library not found");
  EXPECT_EQ(caption, "Can't open help");
  EXPECT_EQ(icon, QMessageBox::Warning);
}

TEST_F(HelpWindowTest, APageOpensAtItsAnchorWithTheContentsInTheIndexOrder) {
  RecordingHelp help(settings, folder());
  help.resize(600, 300);
  ASSERT_TRUE(help.showPage("anagrams.html#semi"));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
  EXPECT_EQ(help.currentPage().fileName(), "anagrams.html");
  EXPECT_EQ(help.currentPage().fragment(), "semi");
  // Scrolled down to the anchor, away from the top of the page.
  EXPECT_GT(help.browser()->verticalScrollBar()->value(), 0);
  EXPECT_EQ(contents(help), (QStringList{"KEA & you", "Basics", "Anagrams", "aardvark"}));
  ASSERT_NE(help.contents()->currentItem(), nullptr);
  EXPECT_EQ(help.contents()->currentItem()->text(), "Anagrams");

  // Choosing from the contents opens that page.
  help.contents()->setCurrentRow(1);
  EXPECT_EQ(help.currentPage().fileName(), "basics.html");
}

TEST_F(HelpWindowTest, LinksStayInsideAndAddressesGoOutside) {
  RecordingHelp help(settings, folder());
  ASSERT_TRUE(help.showContents());
  emit help.browser()->anchorClicked(QUrl("anagrams.html#semi"));
  EXPECT_EQ(help.currentPage().fileName(), "anagrams.html");
  emit help.browser()->anchorClicked(QUrl("basics.html"));
  EXPECT_EQ(help.currentPage().fileName(), "basics.html");
  help.browser()->backward();
  EXPECT_EQ(help.currentPage().fileName(), "anagrams.html");
  EXPECT_EQ(help.contents()->currentItem()->text(), "Anagrams");

  emit help.browser()->anchorClicked(QUrl("https://example.org/kea"));
  emit help.browser()->anchorClicked(QUrl("mailto:help@example.org"));
  ASSERT_EQ(help.opened.size(), 2u);
  EXPECT_EQ(help.opened[0], QUrl("https://example.org/kea"));
  EXPECT_EQ(help.opened[1].scheme(), "mailto");
  EXPECT_EQ(help.currentPage().fileName(), "anagrams.html");

  // A broken link is reported and leaves the page as it was.
  emit help.browser()->anchorClicked(QUrl("gone.html"));
  EXPECT_EQ(help.missing, 1);
  EXPECT_EQ(help.currentPage().fileName(), "anagrams.html");
}

TEST_F(HelpWindowTest, TheSearchBoxNarrowsTheContents) {
  RecordingHelp help(settings, folder());
  ASSERT_TRUE(help.showContents());
  QTest::keyClicks(help.searchBox(), "semicolon");
  EXPECT_EQ(contents(help), (QStringList{"Anagrams", "aardvark"}));
  QTest::keyClicks(help.searchBox(), " start");
  EXPECT_EQ(contents(help), (QStringList{"Anagrams"}));
  help.searchBox()->clear();
  EXPECT_EQ(contents(help).size(), 4);
}

}  // namespace
}  // namespace kea::ui
