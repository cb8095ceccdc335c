// The options window writes what it shows: ticks, choices and typed text go
// straight into the options object with optionsChanged() after each; sorting
// and length grouping are never both off; fonts and colours keep their text
// form; "&Save as defaults" puts every option in the settings file; a
// definitions dictionary that is no dictionary, and text the settings
// cannot hold, are refused with a message.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include "settings/Persist.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"
#include "ui/OptionsDialog.h"
#include "ui/QtFonts.h"
#include "ui/QtSettingsStore.h"
#include "ui/QtText.h"
#include "workspace/DialogTexts.h"

namespace kea::ui {
namespace {

using namespace kea::dialogs;

// The standard dialogs answer as the test says, and messages are kept.
class ScriptedOptions : public OptionsDialog {
 public:
  using OptionsDialog::OptionsDialog;

  std::optional<QString> file;
  std::optional<QFont> font;
  std::optional<QColor> colour;
  QString fontDialogTitle;
  std::vector<std::pair<QString, QString>> messages;

 protected:
  std::optional<QString> chooseDictionaryFile(const QString&) override { return file; }
  std::optional<QFont> chooseFont(const QFont&, const QString& title) override {
    fontDialogTitle = title;
    return font;
  }
  std::optional<QColor> chooseColour(const QColor&, const QString&) override { return colour; }
  void showMessage(const QString& text, const QString& caption) override { messages.emplace_back(text, caption); }
};

class OptionsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QFile::remove(QtSettingsStore::fileName());
    dialog = std::make_unique<ScriptedOptions>(profile, settings);
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    changes = std::make_unique<QSignalSpy>(dialog.get(), &OptionsDialog::optionsChanged);
  }
  template <class T>
  T* control(std::string_view label) {
    auto* widget = qobject_cast<T*>(dialog->control(label));
    EXPECT_NE(widget, nullptr) << label;
    return widget;
  }
  // Clicks a control the way the user does: on its tab, with the mouse.
  void click(int tab, std::string_view label) {
    dialog->tabs()->setCurrentIndex(tab);
    auto* button = control<QAbstractButton>(label);
    ASSERT_TRUE(button->isVisible()) << label;
    press(button);
  }
  // A check box or radio button answers on its mark and text, which may be
  // far narrower than the row it stands in.
  static void press(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(std::min(8, button->width() / 2), button->height() / 2));
  }
  void type(int tab, std::string_view label, const QString& text) {
    dialog->tabs()->setCurrentIndex(tab);
    auto* edit = control<QLineEdit>(label);
    edit->setFocus();
    edit->selectAll();
    for (const QChar c : text) {
      if (c.unicode() < 0x80) {
        QTest::keyClick(edit, static_cast<char>(c.unicode()));
      } else {
        // As a keyboard layout or input method sends it.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
      }
    }
  }

  UserOptions profile{"/opt/kea/"};
  QtSettingsStore settings;
  std::unique_ptr<ScriptedOptions> dialog;
  std::unique_ptr<QSignalSpy> changes;
};

TEST_F(OptionsDialogTest, EachControlWritesItsOptionAndSaveWritesThemAll) {
  click(kPatternTab, kVariablesExclusiveBox);
  type(kPatternTab, kExpansionAtLabel, "[aeiouy]");
  click(kResultTab, kOutputWhitespaceBox);
  click(kResultTab, kShowBalancesBox);
  dialog->tabs()->setCurrentIndex(kResultTab);
  auto* doubleClick = control<QComboBox>(kDoubleClickLabel);
  doubleClick->setFocus();
  QTest::keyClick(doubleClick, Qt::Key_Down);
  click(kDictionaryTab, "Search active dictionary only");
  dialog->tabs()->setCurrentIndex(kSortingTab);
  QList<QRadioButton*> senses = dialog->tabs()->widget(kSortingTab)->findChildren<QRadioButton*>();
  const auto descending = std::find_if(senses.begin(), senses.end(), [](auto* r) { return r->text() == "Descending"; });
  ASSERT_NE(descending, senses.end());
  press(*descending);

  EXPECT_FALSE(profile.variablesExclusive);
  EXPECT_EQ(profile.expansionAt, "[aeiouy]");
  EXPECT_FALSE(profile.outputWhitespace);
  EXPECT_FALSE(profile.viewShowBalances);
  EXPECT_EQ(profile.viewDoubleClick, UserOptions::kDoubleClickExternalLookup);
  EXPECT_EQ(profile.viewMultipleDictionaries, UserOptions::kActiveDictionaryOnly);
  EXPECT_EQ(profile.viewLengthGroupingSense, -1);
  // Untouched options stay as they were.
  EXPECT_TRUE(profile.ignoreUnusedPunctuation);
  EXPECT_TRUE(profile.outputLower);
  // One signal per change, and one per key typed into the box.
  EXPECT_EQ(changes->count(), 6 + 8);

  // Nothing is in the settings until the user saves.
  EXPECT_FALSE(QFile::exists(QtSettingsStore::fileName()));
  // Saving writes the options as they are (how each is stored is the
  // options object's business, tested with it).
  click(kPatternTab, kSaveAsDefaultsButton);
  UserOptions reloaded{"/opt/kea/"};
  reloaded.load(settings);
  EXPECT_EQ(reloaded.expansionAt, "[aeiouy]");
  EXPECT_EQ(reloaded.viewMultipleDictionaries, UserOptions::kActiveDictionaryOnly);
  EXPECT_EQ(reloaded.viewLengthGroupingSense, -1);
}

TEST_F(OptionsDialogTest, SortingAndGroupingAreNeverBothOff) {
  auto* sorting = control<QCheckBox>(kSortingBox);
  auto* grouping = control<QCheckBox>(kGroupingBox);
  ASSERT_FALSE(sorting->isChecked());
  ASSERT_TRUE(grouping->isChecked());

  // Clearing grouping ticks sorting, in the options and on the screen.
  click(kSortingTab, kGroupingBox);
  EXPECT_FALSE(profile.viewLengthGrouping);
  EXPECT_TRUE(profile.viewSorting);
  EXPECT_TRUE(sorting->isChecked());
  EXPECT_EQ(changes->count(), 1);

  // Clearing sorting ticks grouping again.
  click(kSortingTab, kSortingBox);
  EXPECT_FALSE(profile.viewSorting);
  EXPECT_TRUE(profile.viewLengthGrouping);
  EXPECT_TRUE(grouping->isChecked());
  EXPECT_EQ(changes->count(), 2);

  // With sorting off its order cannot be chosen; with grouping on, the
  // grouping order can.
  const auto buttons = dialog->tabs()->widget(kSortingTab)->findChildren<QAbstractButton*>();
  for (QAbstractButton* b : buttons) {
    if (b->text() == "Ascending" && qobject_cast<QCheckBox*>(b)) {
      EXPECT_FALSE(b->isEnabled());
    }
    if (qobject_cast<QRadioButton*>(b)) {
      EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
    }
  }
}

TEST_F(OptionsDialogTest, OptionsChangedElsewhereShowWhenTheWindowOpensAgain) {
  dialog->hide();
  profile.setViewLengthGrouping(false);
  profile.outputUpper = false;
  dialog->show();
  EXPECT_TRUE(control<QCheckBox>(kSortingBox)->isChecked());
  EXPECT_FALSE(control<QCheckBox>(kGroupingBox)->isChecked());
  EXPECT_FALSE(control<QCheckBox>(kOutputUpperBox)->isChecked());
  EXPECT_EQ(changes->count(), 0);  // showing them changes nothing
}

TEST_F(OptionsDialogTest, FontsAndColoursKeepTheirTextForm) {
  QFont chosen(QStringLiteral("DejaVu Sans"));
  chosen.setPointSize(15);
  chosen.setBold(true);
  dialog->font = chosen;
  click(kAppearanceTab, kResultsFontLabel);
  EXPECT_EQ(dialog->fontDialogTitle, "Results font");
  EXPECT_EQ(profile.fontOutput.faceName, "DejaVu Sans");
  EXPECT_EQ(profile.fontOutput.height, -20);  // 15 points are 20 pixels
  EXPECT_EQ(profile.fontOutput.weight, 700);
  EXPECT_EQ(profile.fontOutput.colour, Colour::fromRgb(0, 0, 0));  // the colour stays
  EXPECT_EQ(dialog->fontSample(kResultsFontLabel)->accessibleName(), "DejaVu Sans, 15 pt, bold");

  dialog->colour = QColor(0, 128, 0);
  QTest::mouseClick(dialog->fontColourButton(kResultsFontLabel), Qt::LeftButton);
  EXPECT_EQ(profile.fontOutput.colour, Colour::fromRgb(0, 128, 0));
  EXPECT_EQ(profile.fontOutput.height, -20);  // the font stays
  dialog->colour = QColor(255, 255, 224);
  click(kAppearanceTab, kBackgroundColorLabel);
  EXPECT_EQ(profile.definitionBackgroundColor, Colour::fromRgb(255, 255, 224));
  EXPECT_EQ(changes->count(), 3);

  // Cancelled dialogs change nothing.
  dialog->font.reset();
  dialog->colour.reset();
  const FontSetting before = profile.definitionHighlightFont;
  click(kAppearanceTab, kHighlightFontLabel);
  QTest::mouseClick(dialog->fontColourButton(kHighlightFontLabel), Qt::LeftButton);
  EXPECT_EQ(profile.definitionHighlightFont, before);
  EXPECT_EQ(changes->count(), 3);

  click(kAppearanceTab, kSaveAsDefaultsButton);
  Persist persist(settings, SettingsMode::Read);
  std::string text;
  ASSERT_TRUE(persist.readString("FontOutput", text));
  EXPECT_EQ(text, "0,128,0,-20,0,0,0,700,0,0,0,0,0,0,0,34,DejaVu Sans");
}

TEST_F(OptionsDialogTest, ADefinitionsDictionaryMustBeADictionary) {
  test::TempDir dir;
  const std::string good = test::buildTestDictionary(dir, {"pear|a fruit"});
  test::writeFile(dir.file("notes.kkd"), "shopping list");

  dialog->file = toQString(dir.file("notes.kkd"));
  click(kDictionaryTab, kChangeButton);
  ASSERT_EQ(dialog->messages.size(), 1u);
  EXPECT_EQ(dialog->messages[0].first.toStdString(), dir.file("notes.kkd") + "\nis not a valid KEA&Kindred Dictionary File\n\nIt is not a dictionary file.");
  EXPECT_EQ(dialog->messages[0].second, "Dictionary Open Failed");
  EXPECT_EQ(profile.viewDefinitionDictionary, "/opt/kea/Definitions/WordNet.kkd");

  dialog->file = toQString(good);
  click(kDictionaryTab, kChangeButton);
  EXPECT_EQ(profile.viewDefinitionDictionary, good);
  EXPECT_EQ(control<QLineEdit>(kDefinitionDictionaries)->text(), toQString(good));
  EXPECT_EQ(changes->count(), 1);

  // A file name the settings cannot hold.
  dialog->file = QString::fromUtf8("/tmp/\u65E5\u672C.kkd");
  click(kDictionaryTab, kChangeButton);
  ASSERT_EQ(dialog->messages.size(), 2u);
  EXPECT_TRUE(dialog->messages[1].first.contains("U+65E5"));
  EXPECT_EQ(profile.viewDefinitionDictionary, good);
}

TEST_F(OptionsDialogTest, TextTheSettingsCannotHoldIsRefusedWithAMessage) {
  type(kPatternTab, kExpansionHashLabel, QString::fromUtf8("[^\u03B1"));
  EXPECT_EQ(profile.expansionHash, "[^");  // the last text it could hold
  EXPECT_TRUE(dialog->expansionMessage().contains("U+03B1"));
  const int before = changes->count();
  QTest::keyClick(control<QLineEdit>(kExpansionHashLabel), Qt::Key_Backspace);
  EXPECT_EQ(dialog->expansionMessage(), "");
  EXPECT_EQ(profile.expansionHash, "[^");
  EXPECT_EQ(changes->count(), before);  // the same text as before: nothing changed
}

}  // namespace
}  // namespace kea::ui
