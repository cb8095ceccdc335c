// The Lookup Methods dialog over a configuration in memory: the boxes
// follow the three-state rule as the user clicks them and edits names,
// Test lookup uses the default method, Browse... takes only a program, and
// Save as defaults (or Yes when closing with changes) writes the settings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "lookup/RecordingLauncher.h"
#include "settings/SettingsStore.h"
#include "support/TempDir.h"
#include "ui/LookupMethodsDialog.h"

namespace kea::ui {
namespace {

class LookupMethodsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { configuration.load(); }
  Qt::CheckState box(const LookupMethodsDialog& dialog, LookupStyle style, int number) {
    return dialog.row(style, number)->box->checkState();
  }

  MemorySettingsStore store;  // a first run: the built-in methods
  testing::RecordingLauncher launcher;
  LookupConfiguration configuration{store, launcher};
};

TEST_F(LookupMethodsDialogTest, BoxesFollowClicksAndNames) {
  LookupMethodsDialog dialog(configuration, store);
  EXPECT_EQ(dialog.windowTitle(), "Lookup Methods");
  ASSERT_EQ(dialog.rows().size(), 12u);
  EXPECT_EQ(box(dialog, LookupStyle::WebSearch, 0), Qt::Checked);  // Google, the default
  EXPECT_EQ(box(dialog, LookupStyle::WebSearch, 1), Qt::PartiallyChecked);
  EXPECT_EQ(box(dialog, LookupStyle::Dde, 0), Qt::Unchecked);
  EXPECT_TRUE(dialog.row(LookupStyle::Dde, 0)->box->isEnabled());
  EXPECT_FALSE(dialog.row(LookupStyle::WebSearch, 3)->box->isEnabled());  // no name
  EXPECT_EQ(dialog.row(LookupStyle::WebSearch, 2)->first->text(), "https://en.wikipedia.org/wiki/{entry}");

  // A grey box clicked becomes ticked: the new default, the old one grey.
  dialog.row(LookupStyle::WebSearch, 1)->box->click();
  EXPECT_EQ(configuration.defaultLabel(), "&OneLook");
  EXPECT_EQ(box(dialog, LookupStyle::WebSearch, 1), Qt::Checked);
  EXPECT_EQ(box(dialog, LookupStyle::WebSearch, 0), Qt::PartiallyChecked);
  // Clicked again it is clear, and nothing is the default.
  dialog.row(LookupStyle::WebSearch, 1)->box->click();
  EXPECT_EQ(box(dialog, LookupStyle::WebSearch, 1), Qt::Unchecked);
  EXPECT_EQ(configuration.defaultLabel(), "");

  // Emptying a name disables the method; a new name enables it.
  QLineEdit* name = dialog.row(LookupStyle::WebSearch, 0)->name;
  name->selectAll();
  QTest::keyClick(name, Qt::Key_Backspace);
  EXPECT_EQ(box(dialog, LookupStyle::WebSearch, 0), Qt::Unchecked);
  EXPECT_FALSE(dialog.row(LookupStyle::WebSearch, 0)->box->isEnabled());
  EXPECT_EQ(configuration.entry(LookupStyle::WebSearch, 0).enabled, 0);
  QLineEdit* fourth = dialog.row(LookupStyle::WebSearch, 3)->name;
  QTest::keyClicks(fourth, "Mine");
  EXPECT_EQ(box(dialog, LookupStyle::WebSearch, 3), Qt::PartiallyChecked);
  QTest::keyClicks(dialog.row(LookupStyle::WebSearch, 3)->first, "https://example.org/{entry}");
  EXPECT_EQ(configuration.entry(LookupStyle::WebSearch, 3).first, "https://example.org/{entry}");

  // Test lookup settles the default (Wikipedia, the first enabled method)
  // and looks the test word up with it.
  dialog.testWord()->clear();
  QTest::keyClicks(dialog.testWord(), "tail end");
  QSignalSpy failed(&dialog, &LookupMethodsDialog::lookupFailed);
  dialog.testButton()->click();
  EXPECT_EQ(launcher.addresses, (std::vector<std::string>{"https://en.wikipedia.org/wiki/tail%20end"}));
  EXPECT_EQ(box(dialog, LookupStyle::WebSearch, 2), Qt::Checked);
  EXPECT_EQ(failed.count(), 0);
  launcher.succeeds = false;
  dialog.testButton()->click();
  EXPECT_EQ(failed.count(), 1);

  // Nothing reached the settings until Save as defaults.
  std::string stored;
  EXPECT_FALSE(store.open(SettingsMode::Read) && store.readString("LookupWebSearchLabel4", stored));
  store.close();
  for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
    if (button->text() == "&Save as defaults") button->click();
  }
  ASSERT_TRUE(store.open(SettingsMode::Read));
  EXPECT_TRUE(store.readString("LookupWebSearchLabel4", stored));
  EXPECT_EQ(stored, "Mine");
  store.close();
}

// Methods set up and not saved are not lost without a word: closing asks.
TEST_F(LookupMethodsDialogTest, ClosingWithUnsavedChangesAsksWhetherToKeepThem) {
  const auto closeAnswering = [](LookupMethodsDialog& dialog, QMessageBox::StandardButton answer) {
    QString asked;
    QTimer::singleShot(0, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        asked = box->text();
        box->button(answer)->click();
      }
    });
    dialog.reject();
    return asked;
  };
  const auto stored = [this](const char* name) {
    std::string value;
    const bool found = store.open(SettingsMode::Read) && store.readString(name, value);
    store.close();
    return found ? value : std::string("(none)");
  };
  {
    LookupMethodsDialog dialog(configuration, store);
    QTest::keyClicks(dialog.row(LookupStyle::WebSearch, 3)->name, "Mine");
    EXPECT_EQ(closeAnswering(dialog, QMessageBox::No).toStdString(),
              "The lookup methods have changed.\n\nKeep them for the next time KEA starts?");
  }
  EXPECT_EQ(stored("LookupWebSearchLabel4"), "(none)");
  EXPECT_EQ(configuration.entry(LookupStyle::WebSearch, 3).label, "Mine");  // still for this run
  {
    LookupMethodsDialog dialog(configuration, store);
    dialog.row(LookupStyle::WebSearch, 3)->name->end(false);
    QTest::keyClicks(dialog.row(LookupStyle::WebSearch, 3)->name, "s");
    closeAnswering(dialog, QMessageBox::Yes);
  }
  EXPECT_EQ(stored("LookupWebSearchLabel4"), "Mines");
  {
    // Nothing changed: nothing asked.
    LookupMethodsDialog dialog(configuration, store);
    EXPECT_EQ(closeAnswering(dialog, QMessageBox::Yes), QString());
  }
}

TEST_F(LookupMethodsDialogTest, BrowseTakesOnlyAProgramAndTheEncodingIsAChoice) {
  test::TempDir dir;
  const QString text = QString::fromStdString((dir.path() / "notes.txt").string());
  const QString program = QString::fromStdString((dir.path() / "look up").string());
  for (const QString& path : {text, program}) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
  }
  QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);

  LookupMethodsDialog dialog(configuration, store);
  const LookupMethodsDialog::Row* row = dialog.row(LookupStyle::Program, 1);
  ASSERT_NE(row, nullptr);
  dialog.programChosen(1, text);
  EXPECT_EQ(configuration.entry(LookupStyle::Program, 1).first, "");
  EXPECT_TRUE(row->first->text().isEmpty());
  dialog.programChosen(1, program);
  EXPECT_EQ(configuration.entry(LookupStyle::Program, 1).first, program.toStdString());
  EXPECT_EQ(row->first->text(), program);

  EXPECT_EQ(row->encoding->currentText(), "No Encoding");
  emit row->encoding->activated(1);
  EXPECT_EQ(configuration.entry(LookupStyle::Program, 1).second, "1");
  // The message and program methods with controls are two; the rest keep their values.
  EXPECT_EQ(dialog.row(LookupStyle::Program, 2), nullptr);
  EXPECT_EQ(dialog.row(LookupStyle::Message, 2), nullptr);
}

}  // namespace
}  // namespace kea::ui
