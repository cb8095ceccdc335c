// The quick reference: its links answer the mouse and the keyboard with the
// row's feature or example, an "&" in an example is a character and no
// shortcut, the links stay readable on a dark theme, and the first place is
// beside the main window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include "settings/Persist.h"
#include "ui/LinkButton.h"
#include "ui/QtFonts.h"
#include "ui/QtSettingsStore.h"
#include "ui/QuickReferenceWindow.h"

namespace kea::ui {
namespace {

class QuickReferenceWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QFile::remove(QtSettingsStore::fileName());
    window = std::make_unique<QuickReferenceWindow>(settings);
  }
  void showWindow() {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }

  QtSettingsStore settings;
  std::unique_ptr<QuickReferenceWindow> window;
};

TEST_F(QuickReferenceWindowTest, ClickingAnExampleTriesItAndAFeatureAsksForItsHelp) {
  showWindow();
  EXPECT_EQ(window->windowTitle(), "KEA Quick Reference");
  QSignalSpy examples(window.get(), &QuickReferenceWindow::exampleClicked);
  QSignalSpy features(window.get(), &QuickReferenceWindow::featureClicked);

  QTest::mouseClick(window->exampleLink(1), Qt::LeftButton);
  ASSERT_EQ(examples.count(), 1);
  EXPECT_EQ(examples.at(0).at(0).toString(), ";lobikes");
  QTest::mouseClick(window->featureLink(9), Qt::LeftButton);
  ASSERT_EQ(features.count(), 1);
  EXPECT_EQ(features.at(0).at(0).toInt(), 9);
  EXPECT_EQ(window->featureLink(9)->linkText(), "Sub-patterns");

  EXPECT_EQ(window->exampleLink(10), nullptr);
  const auto labels = window->findChildren<QLabel*>();  // the column of what each example finds
  EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](QLabel* l) { return l->text() == "fly-by-night"; }));

  // From the keyboard: Tab reaches the links, Return, Enter and Space click.
  // The "&" of this example is shown as it is and makes no shortcut.
  EXPECT_EQ(window->exampleLink(7)->linkText(), ";..oting & ! *ing");
  EXPECT_TRUE(window->exampleLink(7)->shortcut().isEmpty());
  EXPECT_EQ(window->exampleLink(7)->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
  window->exampleLink(7)->setFocus();
  QTest::keyClick(window->exampleLink(7), Qt::Key_Return);
  QTest::keyClick(window->exampleLink(7), Qt::Key_Space);
  QTest::keyClick(window->exampleLink(7), Qt::Key_Enter, Qt::KeypadModifier);
  ASSERT_EQ(examples.count(), 4);
  EXPECT_EQ(examples.at(3).at(0).toString(), ";..oting & ! *ing");
  QTest::keyClick(window->featureLink(4), Qt::Key_Return);
  EXPECT_EQ(features.at(1).at(0).toInt(), 4);
}

TEST_F(QuickReferenceWindowTest, LinksStayReadableOnADarkTheme) {
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(0x23, 0x26, 0x29));
  dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
  dark.setColor(QPalette::Link, QColor(0, 0, 0xFF));  // a dark theme that kept the default link colour
  dark.setColor(QPalette::Highlight, QColor(0x3D, 0xAE, 0xE9));
  window->setPalette(dark);
  const QColor link = window->featureLink(0)->linkColour();
  EXPECT_GE(contrastRatio(link, dark.color(QPalette::Window)), kMinimumContrast);
  EXPECT_EQ(link, QColor(0x3D, 0xAE, 0xE9));
  // A theme whose link colour reads is left alone.
  QPalette light;
  light.setColor(QPalette::Window, Qt::white);
  light.setColor(QPalette::Link, QColor(0, 0, 0xEE));
  window->setPalette(light);
  EXPECT_EQ(window->featureLink(0)->linkColour(), QColor(0, 0, 0xEE));
}

TEST_F(QuickReferenceWindowTest, TheFirstPlaceIsBesideTheMainWindowAndAStoredOneWins) {
  QWidget main;
  main.setGeometry(10, 10, 250, 300);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  ASSERT_FALSE(window->placeWasStored());
  window->placeBeside(&main);
  showWindow();
  EXPECT_GT(window->frameGeometry().left(), main.frameGeometry().right());
  EXPECT_EQ(window->pos().y(), main.frameGeometry().top());
  window->close();  // keeps its place

  QuickReferenceWindow again(settings);
  EXPECT_TRUE(again.placeWasStored());
  const QPoint stored = again.pos();
  main.move(200, 20);
  again.placeBeside(&main);
  EXPECT_EQ(again.pos(), stored);
}

}  // namespace
}  // namespace kea::ui
