// What the user reads and presses for each command: every command of the
// table has its record, no label carries its key after a tab, the keys are
// the platform's where it has them, and the main window's actions and
// context menus show the records' texts with the active dictionary named.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <set>

#include "AppWindowTest.h"
#include "ui/CommandTexts.h"

namespace kea::ui {
namespace {

using enum CommandId;

TEST(CommandTexts, EveryCommandHasOneRecordWithItsTips) {
  // The commands that never had a status tip.
  const std::set<CommandId> withoutStatusTip = {AlwaysOnTop, StartupTips, WordSearch, FullTextSearch};
  for (const Command& command : commandTable()) {
    const CommandText* text = commandText(command.id);
    ASSERT_NE(text, nullptr) << static_cast<int>(command.id);
    EXPECT_EQ(text->id, command.id);
    const QString label = commandLabel(command.id);
    EXPECT_EQ(label.isEmpty(), command.id == FirstRecentFile) << static_cast<int>(command.id);
    EXPECT_FALSE(label.contains(QLatin1Char('\t'))) << label.toStdString();
    EXPECT_EQ(text->statusTip == nullptr, withoutStatusTip.count(command.id) == 1) << static_cast<int>(command.id);
  }
  for (int i = 0; i < kRecentFileCommands; ++i)
    EXPECT_EQ(commandText(recentFileCommand(i)), commandText(FirstRecentFile));
  EXPECT_EQ(commandText(recentFileCommand(kRecentFileCommands)), nullptr);

  EXPECT_STREQ(commandText(Lookup)->statusTip, "Look up the selected word");
  EXPECT_STREQ(commandText(Lookup)->toolTip, "Lookup");
  EXPECT_STREQ(commandText(ExternalLookup)->toolTip, "External Lookup");
  EXPECT_EQ(commandText(Open)->toolTip, nullptr);
}

TEST(CommandTexts, LabelsNameTheActiveDictionaryAndContextMenusHaveTheirOwn) {
  EXPECT_EQ(commandLabel(Close, "/d/Tom & Jerry.kkd"), "&Close /d/Tom && Jerry.kkd");
  EXPECT_EQ(commandLabel(SaveResults, "x"), "Save Results from x &As...");
  EXPECT_EQ(commandLabel(Open, "x"), "&Open...");
  EXPECT_EQ(commandContextLabel(Print), "&Print...");
  EXPECT_TRUE(commandContextLabel(Open).isEmpty());
  for (const auto kind : {ResultsList::MenuKind::Entries, ResultsList::MenuKind::List}) {
    for (const ContextCommand& entry : contextMenu(kind)) {
      EXPECT_FALSE(commandContextLabel(entry.id).isEmpty()) << static_cast<int>(entry.id);
      EXPECT_FALSE(commandContextLabel(entry.id).contains(QLatin1Char('*')));
    }
  }
}

TEST(CommandTexts, KeysAreThePlatformsWhereItHasThem) {
  const auto first = [](CommandId id) {
    const QList<QKeySequence> keys = commandShortcuts(id);
    return keys.isEmpty() ? QKeySequence() : keys.first();
  };
  EXPECT_EQ(first(Open), QKeySequence(QKeySequence::Open));
  EXPECT_EQ(first(SaveResults), QKeySequence(QKeySequence::Save));
  EXPECT_EQ(first(Copy), QKeySequence(QKeySequence::Copy));
  EXPECT_EQ(first(Exit), QKeySequence(QKeySequence::Quit));
  EXPECT_EQ(first(Lookup), QKeySequence(Qt::CTRL | Qt::Key_Return));
  EXPECT_EQ(first(LookupNewWindow), QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Return));
  EXPECT_EQ(first(WordSearch), QKeySequence(Qt::CTRL | Qt::Key_W));
  EXPECT_EQ(first(FullTextSearch), QKeySequence(Qt::CTRL | Qt::Key_F));
  EXPECT_EQ(first(PhraseAnagram), QKeySequence(Qt::CTRL | Qt::Key_R));
  EXPECT_TRUE(commandShortcuts(PageSetup).isEmpty());
  EXPECT_TRUE(commandShortcuts(recentFileCommand(2)).isEmpty());
  // The keys the commands had before they were the platform's.
  EXPECT_EQ(first(Open), QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(first(SelectAll), QKeySequence(Qt::CTRL | Qt::Key_A));
}

class CommandTextsWindowTest : public AppWindowTest {};

TEST_F(CommandTextsWindowTest, TheWindowsActionsShowTheRecords) {
  test::TestDictionaryOptions options;
  options.fileName = "R&D.kkd";
  start({test::buildTestDictionary(dir, {"cat"}, options)});
  QAction* open = frame().action(Open);
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(open->text(), "&Open...");
  EXPECT_EQ(open->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(open->statusTip(), "Open a dictionary for searching");
  EXPECT_EQ(frame().action(Lookup)->toolTip(), "Lookup");
  EXPECT_EQ(frame().action(LookupNewWindow)->shortcut(), QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Return));
  EXPECT_EQ(frame().action(Exit)->shortcut(), QKeySequence(QKeySequence::Quit));
  EXPECT_EQ(frame().action(PhraseAnagram)->statusTip(),
            "Find phrases of entries whose letters are exactly those in the pattern box");
  // The File menu names the active dictionary, its "&" kept as itself.
  EXPECT_EQ(frame().action(Close)->text(), "&Close R&&D");
  EXPECT_EQ(frame().externalLookupMenu()->title(), "&External Lookup");

  // A caption's context menu: the dictionary's commands by their own texts.
  QStringList texts;
  QTimer::singleShot(0, [&] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      for (const QAction* a : menu->actions()) texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
      menu->close();
    }
  });
  emit view().captionContextMenu(0, frame().mapToGlobal(QPoint(20, 60)));
  EXPECT_EQ(texts.join('|').toStdString(), "P&roperties|&Close|Save Results &As...|-|&Demote|Pro&mote");
}

TEST_F(CommandTextsWindowTest, EveryMenuCommandHasItsHandler) {
  start({});
  for (const Command& command : commandTable()) {
    if (command.menu == Menu::SearchMode) continue;  // the view's own actions
    if (command.id == FirstRecentFile) {
      for (int i = 0; i < kRecentFileCommands; ++i) EXPECT_TRUE(frame().handles(recentFileCommand(i))) << i;
      continue;
    }
    EXPECT_TRUE(frame().handles(command.id)) << static_cast<int>(command.id);
  }
  EXPECT_FALSE(frame().handles(recentFileCommand(kRecentFileCommands)));
}

}  // namespace
}  // namespace kea::ui
