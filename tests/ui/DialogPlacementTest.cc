// Dialog places: a stored place on a screen is used, one off every screen
// is not, a window that cannot be resized keeps its size, and the place is
// written when the window is closed, hidden by the program or destroyed
// while open.
#include <gtest/gtest.h>

#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

#include "settings/Persist.h"
#include "ui/DialogPlacement.h"
#include "ui/QtSettingsStore.h"

namespace kea::ui {
namespace {

class DialogPlacementTest : public ::testing::Test {
 protected:
  void SetUp() override { QFile::remove(QtSettingsStore::fileName()); }
  void store(const char* name, const char* text) {
    Persist persist(settings, SettingsMode::Write);
    persist.writeString(name, text);
  }
  std::string stored(const char* name) {
    Persist persist(settings, SettingsMode::Read);
    std::string text;
    persist.readString(name, text);
    return text;
  }

  QtSettingsStore settings;
};

TEST_F(DialogPlacementTest, AStoredPlaceOnAScreenIsUsedAndOneOffEveryScreenIsNot) {
  ASSERT_FALSE(screenRects().empty());
  store("TestWindowPosition", "40,50,320,210,0");
  QDialog on;
  DialogPlacement placeOn(&on, "TestWindow", settings);
  EXPECT_TRUE(placeOn.restore());
  EXPECT_EQ(on.pos(), QPoint(40, 50));
  EXPECT_EQ(on.size(), QSize(320, 210));

  store("TestWindowPosition", "90000,50,320,210,0");
  QDialog off;
  off.resize(200, 100);
  DialogPlacement placeOff(&off, "TestWindow", settings);
  EXPECT_FALSE(placeOff.restore());
  EXPECT_EQ(off.size(), QSize(200, 100));
  EXPECT_FALSE(off.testAttribute(Qt::WA_Moved));

  // Nothing stored at all.
  QDialog fresh;
  EXPECT_FALSE(DialogPlacement(&fresh, "NeverStored", settings).restore());
}

TEST_F(DialogPlacementTest, AWindowThatCannotBeResizedKeepsItsOwnSize) {
  store("FixedPosition", "30,40,900,700,0");
  QDialog fixed;
  auto* layout = new QVBoxLayout(&fixed);
  layout->addWidget(new QLabel("fixed"));
  layout->setSizeConstraint(QLayout::SetFixedSize);
  DialogPlacement placement(&fixed, "Fixed", settings);
  EXPECT_FALSE(placement.resizable());
  EXPECT_TRUE(placement.restore());
  EXPECT_EQ(fixed.pos(), QPoint(30, 40));
  EXPECT_NE(fixed.size(), QSize(900, 700));
}

TEST_F(DialogPlacementTest, ThePlaceIsWrittenWhenTheWindowClosesOrGoesWhileOpen) {
  {
    QDialog dialog;
    new DialogPlacement(&dialog, "Closed", settings);
    dialog.move(60, 70);
    dialog.resize(300, 200);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.move(65, 75);
    EXPECT_EQ(stored("ClosedPosition"), "");  // nothing yet while open
    dialog.reject();  // a dialog's Close and Escape hide it
    EXPECT_EQ(stored("ClosedPosition"), "65,75,300,200,0");
  }
  {
    auto dialog = std::make_unique<QDialog>();
    new DialogPlacement(dialog.get(), "Destroyed", settings);
    dialog->move(80, 90);
    dialog->resize(310, 220);
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    dialog.reset();  // the main window closes with it open
    EXPECT_EQ(stored("DestroyedPosition"), "80,90,310,220,0");
  }
  // Read back, the place puts a new window exactly where the old one was.
  QDialog again;
  DialogPlacement placement(&again, "Destroyed", settings);
  ASSERT_TRUE(placement.restore());
  EXPECT_EQ(placement.position(), (WindowPosition{80, 90, 310, 220, 0}));
}

}  // namespace
}  // namespace kea::ui
