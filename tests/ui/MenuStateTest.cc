// What the menus offer is what the user can do where they are: a menu
// opened from the keyboard judges the control the user was in, a list's
// context menu judges the list it was opened on, and External Lookup's
// Setup can always be reached.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include "AppWindowTest.h"
#include "ui/ResultsPane.h"
#include "ui/ResultsView.h"

namespace kea::ui {
namespace {

class MenuStateTest : public AppWindowTest {
 protected:
  // The open popup's items by command, with their enable states.
  static std::map<CommandId, bool> popupStates() {
    std::map<CommandId, bool> states;
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return states;
    for (QAction* a : menu->actions()) {
      if (!a->isSeparator()) states[static_cast<CommandId>(a->data().toInt())] = a->isEnabled();
    }
    return states;
  }
  static void closePopups() {
    while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  }
  bool enabled(CommandId id) { return frame().action(id)->isEnabled(); }
};

TEST_F(MenuStateTest, EditOpenedWithAltEJudgesThePatternBoxTheUserWasIn) {
  start({test::buildTestDictionary(dir, {"electron", "obelisk"})});
  type("electron");
  view().patternBox()->lineEdit()->selectAll();
  QTest::keyClick(&frame(), Qt::Key_E, Qt::AltModifier);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr) << "Alt+E opened no menu";
  EXPECT_NE(QApplication::focusWidget(), view().patternBox()->lineEdit());  // the menu has the keyboard
  for (CommandId id : {CommandId::Cut, CommandId::Copy, CommandId::Paste, CommandId::Lookup,
                       CommandId::LookupNewWindow, CommandId::ExternalLookup}) {
    EXPECT_TRUE(enabled(id)) << static_cast<int>(id);
  }
  // Cut from that menu cuts what was selected.
  frame().action(CommandId::Cut)->trigger();
  closePopups();
  EXPECT_EQ(view().patternBox()->currentText(), "");
  EXPECT_EQ(QApplication::clipboard()->text(), "electron");
}

TEST_F(MenuStateTest, ACaptionsContextMenuShowsTheStatesOfItsOwnList) {
  test::TestDictionaryOptions second;
  second.fileName = "two.kkd";
  start({test::buildTestDictionary(dir, {"cat"}), test::buildTestDictionary(dir, {"dog"}, second)});
  // The last list is active: Demote is not possible there.
  view().pane(1)->view()->setFocus();
  ASSERT_EQ(frame().workspace().activeDictionary(), 1);
  ASSERT_FALSE(enabled(CommandId::Demote));

  std::map<CommandId, bool> states;
  QTimer::singleShot(0, [&] {
    states = popupStates();
    closePopups();
  });
  emit view().captionContextMenu(0, frame().mapToGlobal(QPoint(20, 60)));
  ASSERT_FALSE(states.empty()) << "no context menu opened";
  EXPECT_TRUE(states[CommandId::Demote]);    // the first of two lists can go down
  EXPECT_FALSE(states[CommandId::Promote]);  // but not up
  EXPECT_TRUE(states[CommandId::Close]);
}

TEST_F(MenuStateTest, CommandsFollowTheControllersStateWithNoMenuOpened) {
  start({test::buildTestDictionary(dir, {"cat", "dog", "eel"})});
  type("*");
  ASSERT_TRUE(enabled(CommandId::Open));
  // Driven on the controller itself, past the view and the window: the
  // controller's announcement alone brings the commands along.
  view().controller().searchClicked();
  ASSERT_EQ(view().controller().state(), SearchState::Searching);
  for (CommandId id : {CommandId::Open, CommandId::Close, CommandId::Options, CommandId::WordSearch,
                       CommandId::FullTextSearch, CommandId::PhraseAnagram}) {
    EXPECT_FALSE(enabled(id)) << static_cast<int>(id);
  }
  EXPECT_TRUE(enabled(CommandId::Exit));
  view().controller().cancel();
  ASSERT_EQ(view().controller().state(), SearchState::Paused);
  for (CommandId id : {CommandId::Open, CommandId::Close, CommandId::Options, CommandId::WordSearch}) {
    EXPECT_TRUE(enabled(id)) << static_cast<int>(id);
  }
}

TEST_F(MenuStateTest, TheFileMenuNamesTheActiveDictionaryWithoutBeingOpened) {
  test::TestDictionaryOptions second;
  second.fileName = "two.kkd";
  start({test::buildTestDictionary(dir, {"cat"}), test::buildTestDictionary(dir, {"dog"}, second)});
  view().pane(0)->view()->setFocus();
  ASSERT_EQ(frame().workspace().activeDictionary(), 0);
  const QString first = frame().action(CommandId::Close)->text();
  view().pane(1)->view()->setFocus();
  ASSERT_EQ(frame().workspace().activeDictionary(), 1);
  EXPECT_EQ(frame().action(CommandId::Close)->text(), "&Close two");
  EXPECT_NE(first, frame().action(CommandId::Close)->text());
  frame().run(CommandId::Close);
  EXPECT_EQ(frame().action(CommandId::Close)->text(), first);
}

TEST_F(MenuStateTest, ExternalLookupSetupIsReachableWithNothingToLookUp) {
  start({test::buildTestDictionary(dir, {"cat"})});
  view().patternBox()->lineEdit()->setFocus();
  view().patternBox()->lineEdit()->clear();
  EXPECT_FALSE(enabled(CommandId::Lookup));
  QMenu* submenu = frame().externalLookupMenu();
  ASSERT_NE(submenu, nullptr);
  EXPECT_TRUE(submenu->menuAction()->isEnabled());
  emit submenu->aboutToShow();
  bool setupEnabled = false, methodEnabled = false, anyMethod = false;
  for (QAction* a : submenu->actions()) {
    if (a->isSeparator()) continue;
    if (a->data().toInt() == static_cast<int>(CommandId::ExternalLookupSetup)) {
      setupEnabled = a->isEnabled();
    } else {
      anyMethod = true;
      methodEnabled = methodEnabled || a->isEnabled();
    }
  }
  EXPECT_TRUE(setupEnabled);
  EXPECT_TRUE(anyMethod);
  EXPECT_FALSE(methodEnabled);  // nothing to look up yet
  EXPECT_TRUE(enabled(CommandId::ExternalLookupSetup));
}

}  // namespace
}  // namespace kea::ui
