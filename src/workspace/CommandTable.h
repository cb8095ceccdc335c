// The main window's commands as data: each command's number, menu and
// place, and the one rule that says when it is enabled or ticked. What the
// user reads and presses for a command (its menu text, shortcut, status tip
// and tool tip) belongs to the desktop program, which translates it; the
// core keeps only the rules.
//
// A command's number is the key the help topics use for the menu it opens
// (workspace/HelpTopics), so the numbers stay as they are.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "search/ResultsList.h"

namespace kea {

// Command numbers. The few commands without a number (a submenu and the
// two search modes) have negative values, which no string carries.
enum class CommandId : int {
  // File
  Open = 7550,
  Close = 7580,
  SaveResults = 7480,
  Demote = 7600,
  Promote = 7590,
  Properties = 7540,
  Print = 7520,
  PrintPreview = 7530,
  PageSetup = 3780,
  FirstRecentFile = 4840,  // recent file i is FirstRecentFile + i, i = 0 … 9
  Exit = 24310,
  // Edit
  Cut = 7620,
  Copy = 7500,
  Paste = 7610,
  SelectAll = 7510,
  Lookup = 7490,
  LookupNewWindow = 12640,
  ExternalLookup = -1,  // a submenu, built when it opens
  ExternalLookupSetup = 5140,
  // Tools
  Options = 7560,
  DictionaryBuilder = 4980,
  WordListMerge = 5120,
  // Window
  AlwaysOnTop = 14870,
  TileHorizontal = 11860,
  TileVertical = 11870,
  // Help
  QuickReference = 4820,
  StartupTips = 13390,
  HelpContents = 3770,
  EmailSupport = 12110,
  OnlineHelp = 6740,
  OnlineTutorial = 5670,
  About = 1770,
  // The search-mode button's menu
  WordSearch = -2,
  FullTextSearch = -3,
  PhraseAnagram = -4,
};

enum class Menu { File, Edit, Tools, Window, Help, SearchMode };

// FirstRecentFile stands for the place in the File menu where the recent
// files go.
struct Command {
  CommandId id;
  Menu menu;
};

// Every command in menu order.
std::span<const Command> commandTable();
// The table's entry of a command (any recent file gives the recent files'
// entry), or null.
const Command* findCommand(CommandId id);

inline constexpr int kRecentFileCommands = 10;
inline CommandId recentFileCommand(int item) {
  return static_cast<CommandId>(static_cast<int>(CommandId::FirstRecentFile) + item);
}
// The recent-file item a command opens, or -1 when it is no recent file.
int recentFileItem(CommandId id);

// What the enabling rules look at. Only state Searching counts as searching:
// a paused search leaves the commands as they are when idle.
struct CommandContext {
  bool searching = false;
  int lists = 0;                  // results lists, one per open dictionary
  int active = -1;                // the active list, -1 when none
  int activeEntries = 0;          // entries of the active list
  int selectedResults = 0;        // selected entries of the active list
  bool patternFocused = false;    // the pattern box has the keyboard focus
  bool patternHasSelection = false;
  bool patternEmpty = true;
  bool printerAvailable = false;
  bool fullTextMode = false;
  bool phraseMode = false;
  bool topMost = false;
  int paneOrientation = 0;        // 0 one above the other, 1 side by side
};

bool commandEnabled(CommandId id, const CommandContext& context);
// Whether the command's menu item carries a tick.
bool commandChecked(CommandId id, const CommandContext& context);

// "&" doubled, so that a name shows as itself instead of marking a mnemonic.
std::string escapeMnemonics(std::string_view text);

// The context menus of a results list: the entry commands when entries are
// selected, the dictionary's commands otherwise (also the caption's menu).
struct ContextCommand {
  CommandId id;
  bool separatorBefore = false;
};
std::span<const ContextCommand> contextMenu(ResultsList::MenuKind kind);

// Paths longer than this are shortened for display in the menu.
inline constexpr std::size_t kRecentFileDisplayLength = 48;
// A path of at most `maxLength` characters as it is; a longer one keeps its
// first folder and as many of its last parts as fit, with "..." between
// them. The file name is never cut, even when it alone is longer.
std::string shortenedPath(std::string_view path, std::size_t maxLength = kRecentFileDisplayLength);
// "&<n> <path>": n is the item's number from 1, modulo 10 (so the tenth item
// has the mnemonic 0), and the path shortened for display.
std::string recentFileMenuText(int item, std::string_view path);

}  // namespace kea
