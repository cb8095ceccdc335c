// The dictionary properties window: the fields of a usable dictionary with
// its counts grouped the user's way, and an unusable file with no counts.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "support/TempDir.h"
#include "support/TestDictionary.h"
#include "ui/DictionaryPropertiesDialog.h"
#include "ui/QtSettingsStore.h"
#include "ui/QtText.h"
#include "workspace/DialogTexts.h"

namespace kea::ui {
namespace {

using namespace kea::dialogs;

class DictionaryPropertiesDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { QFile::remove(QtSettingsStore::fileName()); }
  void TearDown() override { QLocale::setDefault(QLocale::c()); }

  test::TempDir dir;
  QtSettingsStore settings;
};

TEST_F(DictionaryPropertiesDialogTest, AUsableDictionaryShowsItsFieldsAndCounts) {
  std::vector<std::string> lines = test::generatedWords(1234, 4);
  lines.push_back("ox|a bovine animal");
  lines.push_back("extraordinarily|more than ordinarily");
  test::TestDictionaryOptions options;
  options.description = "Line one\nLine two";
  options.fileName = "big.kkd";
  const std::string path = test::buildTestDictionary(dir, lines, options);
  const auto list = DictionaryList::make(path);

  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  DictionaryPropertiesDialog dialog(*list, 0, settings);
  EXPECT_EQ(dialog.windowTitle(), toQString(list->name(0)) + " Properties");
  EXPECT_EQ(dialog.fieldText(kLocationLabel), toQString(path));
  EXPECT_FALSE(dialog.fieldText(kDateLabel).isEmpty());
  EXPECT_EQ(dialog.fieldText(kDescriptionLabel), "Line one\nLine two");
  EXPECT_EQ(dialog.fieldText(kEntriesLabel), "1,236");
  EXPECT_EQ(dialog.fieldText(kDefinitionsLabel), "2");
  EXPECT_EQ(dialog.fieldText(kShortestLabel), "2");
  EXPECT_EQ(dialog.fieldText(kLongestLabel), "15");
  // Selectable, not editable.
  EXPECT_TRUE(qobject_cast<QLineEdit*>(dialog.field(kLocationLabel))->isReadOnly());

  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  DictionaryPropertiesDialog german(*list, 0, settings);
  EXPECT_EQ(german.fieldText(kEntriesLabel), "1.236");

  QSignalSpy help(&dialog, &DictionaryPropertiesDialog::helpRequested);
  for (QPushButton* b : dialog.findChildren<QPushButton*>()) {
    if (b->text() == "&Help") QTest::mouseClick(b, Qt::LeftButton);
  }
  EXPECT_EQ(help.count(), 1);
}

}  // namespace
}  // namespace kea::ui
