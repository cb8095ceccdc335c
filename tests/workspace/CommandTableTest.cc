// The command table's rules: which commands are enabled with no dictionary,
// idle, searching and paused; the ticks of the Window and search-mode menus;
// the context menus; and the recent-file items with their mnemonics and
// shortened paths. The commands' texts are the desktop program's (tests/ui).
#include "workspace/CommandTable.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <utility>
#include <vector>

namespace kea {
namespace {

using enum CommandId;

TEST(CommandTable, EnabledWithNoDictionaryIdleSearchingAndPaused) {
  CommandContext none;  // idle, nothing open
  CommandContext idle;
  idle.lists = 3;
  idle.active = 1;
  idle.activeEntries = 5;
  idle.selectedResults = 1;
  idle.printerAvailable = true;
  CommandContext searching = idle;
  searching.searching = true;
  // Paused on the first list, which has nothing yet; the user is typing.
  CommandContext paused;
  paused.lists = 3;
  paused.active = 0;
  paused.patternFocused = true;
  paused.patternHasSelection = true;
  paused.patternEmpty = false;

  const struct {
    CommandId id;
    std::array<bool, 4> enabled;  // none, idle, searching, paused
  } rows[] = {
      {Open, {1, 1, 0, 1}},
      {Close, {0, 1, 0, 1}},
      {SaveResults, {0, 1, 0, 0}},
      {Demote, {0, 1, 0, 1}},
      {Promote, {0, 1, 0, 0}},
      {Properties, {0, 1, 0, 1}},
      {Print, {0, 1, 0, 0}},
      {PrintPreview, {0, 1, 0, 0}},
      {PageSetup, {1, 1, 1, 1}},
      {recentFileCommand(3), {1, 1, 0, 1}},
      {Exit, {1, 1, 1, 1}},
      {Cut, {0, 0, 0, 1}},
      {Copy, {0, 1, 1, 1}},
      {Paste, {0, 0, 0, 1}},
      {SelectAll, {0, 1, 1, 0}},
      {Lookup, {0, 1, 1, 1}},
      {LookupNewWindow, {0, 1, 1, 1}},
      {ExternalLookup, {0, 1, 1, 1}},
      {ExternalLookupSetup, {1, 1, 1, 1}},
      {Options, {1, 1, 0, 1}},
      {DictionaryBuilder, {1, 1, 1, 1}},
      {WordListMerge, {1, 1, 1, 1}},
      {AlwaysOnTop, {1, 1, 1, 1}},
      {TileHorizontal, {0, 1, 0, 1}},
      {TileVertical, {0, 1, 0, 1}},
      {About, {1, 1, 1, 1}},
      {WordSearch, {1, 1, 0, 1}},
      {FullTextSearch, {1, 1, 0, 1}},
      {PhraseAnagram, {1, 1, 0, 1}},
  };
  const CommandContext* contexts[] = {&none, &idle, &searching, &paused};
  const char* names[] = {"none", "idle", "searching", "paused"};
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(commandEnabled(row.id, *contexts[i]), row.enabled[i])
          << "command " << static_cast<int>(row.id) << ", " << names[i];
    }
  }
}

TEST(CommandTable, EnablingAtTheEdges) {
  CommandContext c;
  c.lists = 10;
  c.active = 9;
  EXPECT_FALSE(commandEnabled(Open, c));  // the tenth list is the last one offered
  c.lists = 1;
  c.active = 0;
  EXPECT_FALSE(commandEnabled(TileHorizontal, c));
  EXPECT_FALSE(commandEnabled(Promote, c));
  EXPECT_FALSE(commandEnabled(Demote, c));
  c.selectedResults = 2;  // a lookup needs exactly one entry
  EXPECT_FALSE(commandEnabled(Lookup, c));
  EXPECT_TRUE(commandEnabled(Copy, c));
  c.selectedResults = 0;
  c.patternFocused = true;  // focused but empty and nothing selected
  EXPECT_FALSE(commandEnabled(Lookup, c));
  EXPECT_FALSE(commandEnabled(Copy, c));
  EXPECT_FALSE(commandEnabled(Cut, c));
}

TEST(CommandTable, TicksFollowTheChoices) {
  CommandContext c;
  c.topMost = true;
  c.paneOrientation = 1;
  c.fullTextMode = true;
  EXPECT_TRUE(commandChecked(AlwaysOnTop, c));
  EXPECT_FALSE(commandChecked(TileHorizontal, c));
  EXPECT_TRUE(commandChecked(TileVertical, c));
  EXPECT_FALSE(commandChecked(WordSearch, c));
  EXPECT_TRUE(commandChecked(FullTextSearch, c));
  EXPECT_FALSE(commandChecked(PhraseAnagram, c));
  c.fullTextMode = false;
  c.phraseMode = true;
  EXPECT_FALSE(commandChecked(WordSearch, c));
  EXPECT_TRUE(commandChecked(PhraseAnagram, c));
  c = CommandContext();
  EXPECT_FALSE(commandChecked(AlwaysOnTop, c));
  EXPECT_TRUE(commandChecked(TileHorizontal, c));
  EXPECT_TRUE(commandChecked(WordSearch, c));
}

TEST(CommandTable, EveryCommandHasAUniqueNumberAndTheRecentFilesShareAnEntry) {
  std::set<CommandId> seen;
  for (const Command& command : commandTable()) {
    EXPECT_TRUE(seen.insert(command.id).second) << static_cast<int>(command.id);
    EXPECT_EQ(findCommand(command.id), &command);
  }
  for (int i = 0; i < kRecentFileCommands; ++i) {
    EXPECT_EQ(findCommand(recentFileCommand(i)), findCommand(FirstRecentFile));
    EXPECT_EQ(recentFileItem(recentFileCommand(i)), i);
  }
  EXPECT_EQ(recentFileItem(Open), -1);
  EXPECT_EQ(recentFileItem(recentFileCommand(kRecentFileCommands)), -1);
  EXPECT_EQ(findCommand(recentFileCommand(kRecentFileCommands)), nullptr);
}

TEST(CommandTable, ContextMenusOfferTheEntryOrTheDictionaryCommands) {
  const auto ids = [](ResultsList::MenuKind kind) {
    std::vector<std::pair<CommandId, bool>> out;
    for (const ContextCommand& entry : contextMenu(kind)) out.emplace_back(entry.id, entry.separatorBefore);
    return out;
  };
  const std::vector<std::pair<CommandId, bool>> entries = {
      {Lookup, false}, {LookupNewWindow, false}, {ExternalLookup, false}, {ExternalLookupSetup, false},
      {Copy, true},    {SelectAll, false},       {Print, true},           {PrintPreview, false}};
  EXPECT_EQ(ids(ResultsList::MenuKind::Entries), entries);
  const std::vector<std::pair<CommandId, bool>> dictionary = {
      {Properties, false}, {Close, false}, {SaveResults, false}, {Demote, true}, {Promote, false}};
  EXPECT_EQ(ids(ResultsList::MenuKind::List), dictionary);
}

TEST(CommandTable, NamesKeepTheirAmpersands) {
  EXPECT_EQ(escapeMnemonics("/d/Tom & Jerry.kkd"), "/d/Tom && Jerry.kkd");
  EXPECT_EQ(escapeMnemonics("&&"), "&&&&");
  EXPECT_EQ(escapeMnemonics(""), "");
}

TEST(CommandTable, RecentFileItems) {
  EXPECT_EQ(recentFileMenuText(0, "/a.kkd"), "&1 /a.kkd");
  EXPECT_EQ(recentFileMenuText(8, "/a.kkd"), "&9 /a.kkd");
  EXPECT_EQ(recentFileMenuText(9, "/a.kkd"), "&0 /a.kkd");
  EXPECT_EQ(recentFileMenuText(1, "/R&D/words.kkd"), "&2 /R&&D/words.kkd");

  const struct {
    const char* path;
    std::size_t max;
    const char* shown;
  } cases[] = {
      {"/home/user/words/dictionaries/English.kkd", 41, "/home/user/words/dictionaries/English.kkd"},
      {"/home/user/words/dictionaries/English.kkd", 40, "/home/.../words/dictionaries/English.kkd"},
      {"/home/user/words/dictionaries/English.kkd", 30, "/home/.../English.kkd"},
      {"/home/user/a-file-name-longer-than-the-limit.kkd", 20, ".../a-file-name-longer-than-the-limit.kkd"},
      {"words/big/list/d.kkd", 16, "words/.../d.kkd"},
      {"/a-long-folder-name/file.kkd", 10, "/a-long-folder-name/file.kkd"},
  };
  for (const auto& c : cases) EXPECT_EQ(shortenedPath(c.path, c.max), c.shown) << c.path << " in " << c.max;
}

}  // namespace
}  // namespace kea
