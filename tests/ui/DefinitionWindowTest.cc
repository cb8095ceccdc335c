// Lookups from the real main window on the offscreen platform: the
// definition window they open, its history and navigation, Next and
// Previous Result, and the External Lookup prompt when nothing is found.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QTreeWidget>

#include "AppWindowTest.h"
#include "lookup/RecordingLauncher.h"
#include "settings/Persist.h"
#include "ui/DefinitionViewFrame.h"
#include "ui/ExternalLookupDialog.h"
#include "ui/LookupController.h"
#include "ui/ResultsPane.h"
#include "ui/ResultsView.h"

namespace kea::ui {
namespace {

using W = DefinitionBrowser;

class DefinitionWindowTest : public AppWindowTest {
 protected:
  void SetUp() override {
    AppWindowTest::SetUp();
    // No definitions dictionary beyond the test's own, and no start windows.
    Persist persist(store, SettingsMode::Write);
    persist.writeString("ViewDefinitionDictionary", "");
    persist.writeFlag("QuickReference", false);
    persist.writeFlag("StartupTips", false);
  }
  void start(const std::vector<std::string>& lines) {
    AppWindowTest::start({test::buildTestDictionary(dir, lines)});
    auto recorder = std::make_unique<testing::RecordingLauncher>();
    launcher = recorder.get();
    frame().lookups().setLauncher(std::move(recorder));
  }
  void selectResult(int row) {
    ResultsView* list = view().pane(0)->view();
    list->setFocus();
    list->selectionModel()->setCurrentIndex(list->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
  }
  std::vector<DefinitionViewFrame*> windows() { return frame().lookups().windows(); }
  DefinitionViewFrame& window(std::size_t i = 0) { return *windows().at(i); }
  std::string text(std::size_t i = 0) { return window(i).text()->toPlainText().toStdString(); }
  // Selects a word of the text pane, as a double-click would.
  void selectWord(DefinitionViewFrame& w, const QString& word) {
    const int at = w.text()->toPlainText().indexOf(word);
    ASSERT_GE(at, 0) << word.toStdString();
    QTextCursor cursor = w.text()->textCursor();
    cursor.setPosition(at);
    cursor.setPosition(at + static_cast<int>(word.size()), QTextCursor::KeepAnchor);
    w.text()->setTextCursor(cursor);
  }
  // Runs `act` while a modal dialog opens; `inspect` sees the dialog and closes it.
  template <typename Act, typename Inspect>
  void whileModal(Act act, Inspect inspect) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      ASSERT_NE(modal, nullptr);
      seen = true;
      inspect(modal);
    });
    act();
    EXPECT_TRUE(seen);
  }

  testing::RecordingLauncher* launcher = nullptr;
};

const std::vector<std::string> kWords = {
    "electron|an elementary particle: the electron carries a negative charge; see also positron",
    "positron|the antiparticle of the electron; a positron has a positive charge",
    "proton|a particle of the nucleus",
    "cat",
};

TEST_F(DefinitionWindowTest, LookupFromThePatternBoxShowsTheDefinitionWithTheWordHighlighted) {
  start(kWords);
  type("electron");
  ASSERT_TRUE(frame().action(CommandId::Lookup)->isEnabled());
  frame().run(CommandId::Lookup);
  ASSERT_EQ(windows().size(), 1u);
  DefinitionViewFrame& w = window();
  EXPECT_EQ(w.windowTitle(), "electron - Definition [1]");
  EXPECT_TRUE(w.isVisible());
  EXPECT_NE(text().find("elementary particle"), std::string::npos) << text();
  EXPECT_EQ(w.statusText(), "Definition 1 of 1");
  // One branch (the dictionary) with one leaf (the record), the leaf selected.
  ASSERT_EQ(w.tree()->topLevelItemCount(), 1);
  EXPECT_EQ(w.tree()->topLevelItem(0)->text(0), "Test dictionary");
  ASSERT_EQ(w.tree()->topLevelItem(0)->childCount(), 1);
  EXPECT_EQ(w.tree()->currentItem(), w.tree()->topLevelItem(0)->child(0));

  // "electron" is in the highlight font's red, other words are not.
  const auto colourAt = [&](int position) {
    QTextCursor cursor(w.text()->document());
    cursor.setPosition(position + 1);
    return cursor.charFormat().foreground().color().rgb();
  };
  const QRgb red = qRgb(255, 0, 0);
  const int electron = w.text()->toPlainText().indexOf("electron");
  ASSERT_GT(electron, 0);
  EXPECT_EQ(colourAt(electron), red);
  EXPECT_EQ(colourAt(electron + 7), red);
  EXPECT_NE(colourAt(electron + 8), red);
  const int particle = w.text()->toPlainText().indexOf("particle");
  EXPECT_NE(colourAt(particle), red);
  // The caret waits at the first highlight.
  EXPECT_EQ(w.text()->textCursor().position(), electron);

  // In another word's text that word is highlighted, not electron.
  selectWord(w, "positron");
  w.logic().execute(W::kLookup);
  EXPECT_EQ(w.windowTitle(), "positron - Definition [1]");
  const int other = w.text()->toPlainText().indexOf("electron");
  ASSERT_GT(other, 0);
  EXPECT_NE(colourAt(other), red);
  EXPECT_EQ(colourAt(w.text()->toPlainText().indexOf("positron")), red);
}

TEST_F(DefinitionWindowTest, BackForwardAndTheHistoryMenu) {
  start(kWords);
  type("electron");
  frame().run(CommandId::Lookup);
  DefinitionViewFrame& w = window();
  EXPECT_FALSE(w.action(W::kBack)->isEnabled());

  selectWord(w, "positron");
  w.updateCommands();
  ASSERT_TRUE(w.action(W::kLookup)->isEnabled());
  w.action(W::kLookup)->trigger();
  EXPECT_EQ(w.windowTitle(), "positron - Definition [1]");
  selectWord(w, "electron");
  w.action(W::kLookup)->trigger();
  EXPECT_EQ(w.windowTitle(), "electron - Definition [1]");
  EXPECT_EQ(windows().size(), 1u);
  EXPECT_TRUE(w.action(W::kBack)->isEnabled());

  // Backspace in the text goes back, the tool bar's Back again; Alt+Right
  // and Alt+Left go forward and back as in a browser.
  QTest::keyClick(w.text(), Qt::Key_Backspace);
  EXPECT_EQ(w.windowTitle(), "positron - Definition [1]");
  w.action(W::kBack)->trigger();
  EXPECT_EQ(w.windowTitle(), "electron - Definition [1]");
  EXPECT_FALSE(w.action(W::kBack)->isEnabled());
  EXPECT_TRUE(w.action(W::kForward)->isEnabled());
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  QTest::keyClick(w.text(), Qt::Key_Right, Qt::AltModifier);
  EXPECT_EQ(w.windowTitle(), "positron - Definition [1]");
  QTest::keyClick(w.text(), Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(w.windowTitle(), "electron - Definition [1]");

  // The drop-down lists the history with the current entry ticked.
  emit w.historyMenu()->aboutToShow();
  const QList<QAction*> items = w.historyMenu()->actions();
  ASSERT_EQ(items.size(), 3);
  EXPECT_EQ(items[0]->text(), "&1 electron");
  EXPECT_TRUE(items[0]->isChecked());
  EXPECT_FALSE(items[1]->isChecked());
  items[2]->trigger();
  EXPECT_EQ(w.windowTitle(), "electron - Definition [1]");
  EXPECT_EQ(w.logic().historyPosition(), 3u);
  EXPECT_FALSE(w.action(W::kForward)->isEnabled());
}

// The walk itself is the core's; here, that the commands and a click on
// the tree reach it.
TEST_F(DefinitionWindowTest, NextAndPreviousDefinitionAndTheTreeShowTheirItem) {
  start(kWords);
  type("electron");
  frame().run(CommandId::Lookup);
  DefinitionViewFrame& w = window();
  w.action(W::kNextDefinition)->trigger();  // from the last leaf to the first branch
  EXPECT_EQ(w.tree()->currentItem(), w.tree()->topLevelItem(0));
  EXPECT_EQ(w.statusText(), "Description of Test dictionary");
  EXPECT_EQ(text().find("elementary"), std::string::npos);
  w.action(W::kPreviousDefinition)->trigger();
  EXPECT_EQ(w.statusText(), "Definition 1 of 1");
  w.tree()->setCurrentItem(w.tree()->topLevelItem(0));
  EXPECT_EQ(w.statusText(), "Description of Test dictionary");
}

TEST_F(DefinitionWindowTest, LookupInNewWindowAndNextPreviousResult) {
  start(kWords);
  search("*tron");  // electron, positron
  ASSERT_EQ(view().controller().group(0).list.count(), 2);
  selectResult(0);
  frame().run(CommandId::Lookup);
  ASSERT_EQ(windows().size(), 1u);
  DefinitionViewFrame& first = window(0);
  EXPECT_EQ(first.windowTitle(), "electron - Definition [1]");
  first.updateCommands();
  EXPECT_FALSE(first.action(W::kPreviousResult)->isEnabled());
  ASSERT_TRUE(first.action(W::kNextResult)->isEnabled());
  first.action(W::kNextResult)->trigger();
  EXPECT_EQ(first.windowTitle(), "positron - Definition [1]");
  EXPECT_EQ(view().resultsSelection(0).count(), 1);
  EXPECT_FALSE(first.action(W::kNextResult)->isEnabled());
  first.action(W::kPreviousResult)->trigger();
  EXPECT_EQ(first.windowTitle(), "electron - Definition [1]");

  // Shift+double-click (or the command) opens a second window, numbered 2.
  selectWord(first, "positron");
  first.logic().onTextDoubleClick(true);
  ASSERT_EQ(windows().size(), 2u);
  EXPECT_EQ(window(1).windowTitle(), "positron - Definition [2]");
  EXPECT_EQ(first.windowTitle(), "electron - Definition [1]");
  // The second opens clear of the first, not on top of it.
  EXPECT_NE(window(1).pos(), first.pos());
  EXPECT_EQ(window(1).pos(), first.pos() + QPoint(kCascadeStep, kCascadeStep));
  // Closing window 1 frees its number for the next new window.
  first.close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(windows().size(), 1u);
  frame().run(CommandId::LookupNewWindow);
  ASSERT_EQ(windows().size(), 2u);
  EXPECT_EQ(window(1).windowTitle(), "electron - Definition [1]");
}

TEST_F(DefinitionWindowTest, AFullTextHitShowsItsRecordWithTheQueryWordsHighlighted) {
  start(kWords);
  view().fullTextSearchAction()->trigger();
  search("charge");  // electron and positron
  ASSERT_EQ(view().controller().group(0).list.count(), 2);
  selectResult(1);
  frame().run(CommandId::Lookup);
  ASSERT_EQ(windows().size(), 1u);
  DefinitionViewFrame& w = window();
  EXPECT_EQ(w.statusText(), "Definition 1 of 1");
  const QString shown = w.text()->toPlainText();
  const int charge = shown.indexOf("charge");
  ASSERT_GE(charge, 0) << shown.toStdString();
  QTextCursor cursor(w.text()->document());
  cursor.setPosition(charge + 1);
  EXPECT_EQ(cursor.charFormat().foreground().color().rgb(), qRgb(255, 0, 0));
  cursor.setPosition(shown.indexOf("has") + 1);
  EXPECT_NE(cursor.charFormat().foreground().color().rgb(), qRgb(255, 0, 0));
}

TEST_F(DefinitionWindowTest, AWordWithoutDefinitionsOffersAnExternalLookup) {
  start(kWords);
  type("cat");
  QString caption, message;
  whileModal([&] { frame().run(CommandId::Lookup); },
             [&](QWidget* modal) {
               auto* prompt = qobject_cast<ExternalLookupDialog*>(modal);
               ASSERT_NE(prompt, nullptr);
               caption = prompt->windowTitle();
               message = prompt->message();
               EXPECT_TRUE(prompt->okButton()->isEnabled());
               prompt->okButton()->click();
             });
  EXPECT_TRUE(windows().empty());
  EXPECT_EQ(caption, "External Lookup - cat");
  EXPECT_TRUE(message.startsWith("No definitions for \"cat\"")) << message.toStdString();
  // OK looked the word up with the default method, Google on first use.
  EXPECT_EQ(launcher->addresses, (std::vector<std::string>{"https://www.google.com/search?q=%22cat%22"}));

  // A launcher that fails ends in the failure message.
  launcher->succeeds = false;
  QString failure;
  whileModal([&] { frame().lookups().externalLookUp("cat", lookup_commands::kDefaultMethod); },
             [&](QWidget* modal) {
               auto* box = qobject_cast<QMessageBox*>(modal);
               ASSERT_NE(box, nullptr);
               failure = box->windowTitle() + "|" + box->text();
               box->accept();
             });
  EXPECT_TRUE(failure.startsWith("Dictionary Lookup Failure|Lookup in the selected external dictionary application "
                                 "failed."));
}

// A size kept from a short prompt must not clip a longer message.
TEST_F(DefinitionWindowTest, TheExternalLookupPromptIsNeverTooSmallForItsMessage) {
  {
    Persist persist(store, SettingsMode::Write);
    persist.writePosition("ExternalLookupPosition", WindowPosition{40, 40, 200, 40, 0});
  }
  start(kWords);
  type("cat");
  bool fits = false;
  whileModal([&] { frame().run(CommandId::Lookup); },
             [&](QWidget* modal) {
               auto* prompt = qobject_cast<ExternalLookupDialog*>(modal);
               ASSERT_NE(prompt, nullptr);
               const int needed = prompt->layout()->totalHeightForWidth(prompt->width());
               fits = prompt->height() >= needed && prompt->width() >= prompt->layout()->totalMinimumSize().width();
               EXPECT_TRUE(fits) << prompt->width() << "x" << prompt->height() << ", needs " << needed;
               prompt->reject();
             });
  EXPECT_TRUE(fits);
}

TEST_F(DefinitionWindowTest, TheExternalLookupSubmenuListsTheEnabledMethods) {
  start(kWords);
  type("proton");
  QMenu* submenu = frame().externalLookupMenu();
  ASSERT_NE(submenu, nullptr);
  emit submenu->aboutToShow();
  QStringList texts;
  for (const QAction* a : submenu->actions()) texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
  EXPECT_EQ(texts.join('|').toStdString(), "&Google|&OneLook|&Wikipedia|-|&Setup...");
  EXPECT_TRUE(submenu->actions()[0]->isChecked());
  // The default method shows the key that looks up with it.
  EXPECT_EQ(submenu->actions()[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Return));
  EXPECT_TRUE(submenu->actions()[1]->shortcut().isEmpty());
  submenu->actions()[2]->trigger();
  EXPECT_EQ(launcher->addresses, (std::vector<std::string>{"https://en.wikipedia.org/wiki/proton"}));
}

}  // namespace
}  // namespace kea::ui
