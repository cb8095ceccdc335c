#include "workspace/CommandTable.h"

#include <vector>

#include "text/StringTable.h"

namespace kea {

namespace {

constexpr Command kCommands[] = {
    {CommandId::Open, Menu::File, "&Open...\tCtrl+O"},
    {CommandId::Close, Menu::File, "&Close *"},
    {CommandId::SaveResults, Menu::File, "Save Results from * &As...\tCtrl+S"},
    {CommandId::Demote, Menu::File, "&Demote *"},
    {CommandId::Promote, Menu::File, "Pro&mote *"},
    {CommandId::Properties, Menu::File, "P&roperties from *"},
    {CommandId::Print, Menu::File, "&Print Results from *...\tCtrl+P"},
    {CommandId::PrintPreview, Menu::File, "Print Pre&view Results from *..."},
    {CommandId::PageSetup, Menu::File, "Page Set&up..."},
    {CommandId::FirstRecentFile, Menu::File, ""},
    {CommandId::Exit, Menu::File, "E&xit"},
    {CommandId::Cut, Menu::Edit, "Cu&t\tCtrl+X"},
    {CommandId::Copy, Menu::Edit, "&Copy\tCtrl+C"},
    {CommandId::Paste, Menu::Edit, "&Paste\tCtrl+V"},
    {CommandId::SelectAll, Menu::Edit, "&Select All\tCtrl+A"},
    {CommandId::Lookup, Menu::Edit, "&Lookup...\tCtrl+Enter"},
    {CommandId::LookupNewWindow, Menu::Edit, "Lookup in &New Window...\tShift+Ctrl+Enter"},
    {CommandId::ExternalLookup, Menu::Edit, "&External Lookup"},
    {CommandId::ExternalLookupSetup, Menu::Edit, "&Setup..."},
    {CommandId::Options, Menu::Tools, "&Options..."},
    {CommandId::DictionaryBuilder, Menu::Tools, "Dictionary &Builder..."},
    {CommandId::WordListMerge, Menu::Tools, "Word List &Merge..."},
    {CommandId::AlwaysOnTop, Menu::Window, "Always On &Top"},
    {CommandId::TileHorizontal, Menu::Window, "Tile &Horizontal"},
    {CommandId::TileVertical, Menu::Window, "Tile &Vertical"},
    {CommandId::QuickReference, Menu::Help, "&Quick Reference..."},
    {CommandId::StartupTips, Menu::Help, "&Startup Tips..."},
    {CommandId::HelpContents, Menu::Help, "&Contents"},
    {CommandId::EmailSupport, Menu::Help, "&Email Support"},
    {CommandId::OnlineHelp, Menu::Help, "Online &Help"},
    {CommandId::OnlineTutorial, Menu::Help, "Online &Tutorial"},
    {CommandId::About, Menu::Help, "&About KEA..."},
    {CommandId::WordSearch, Menu::SearchMode, "&Word Search\tCtrl+W"},
    {CommandId::FullTextSearch, Menu::SearchMode, "&Full Text Search\tCtrl+F"},
    {CommandId::PhraseAnagram, Menu::SearchMode, "&Phrase Anagram\tCtrl+R"},
};

constexpr ContextCommand kEntriesMenu[] = {
    {CommandId::Lookup, "&Lookup..."},
    {CommandId::LookupNewWindow, "Lookup in &New Window..."},
    {CommandId::ExternalLookup, "&External Lookup"},
    {CommandId::ExternalLookupSetup, "&Setup..."},
    {CommandId::Copy, ""},
    {CommandId::Copy, "&Copy"},
    {CommandId::SelectAll, "&Select All"},
    {CommandId::Print, ""},
    {CommandId::Print, "&Print..."},
    {CommandId::PrintPreview, "Print Pre&view..."},
};

constexpr ContextCommand kDictionaryMenu[] = {
    {CommandId::Properties, "P&roperties"},
    {CommandId::Close, "&Close"},
    {CommandId::SaveResults, "Save Results &As..."},
    {CommandId::Demote, ""},
    {CommandId::Demote, "&Demote"},
    {CommandId::Promote, "Pro&mote"},
};

}  // namespace

std::span<const Command> commandTable() { return kCommands; }

std::span<const ContextCommand> contextMenu(ResultsList::MenuKind kind) {
  if (kind == ResultsList::MenuKind::Entries) return kEntriesMenu;
  return kDictionaryMenu;
}

int recentFileItem(CommandId id) {
  const int item = static_cast<int>(id) - static_cast<int>(CommandId::FirstRecentFile);
  return item >= 0 && item < kRecentFileCommands ? item : -1;
}

const Command* findCommand(CommandId id) {
  if (recentFileItem(id) >= 0) id = CommandId::FirstRecentFile;
  for (const Command& command : kCommands) {
    if (command.id == id) return &command;
  }
  return nullptr;
}

bool commandEnabled(CommandId id, const CommandContext& c) {
  if (recentFileItem(id) >= 0) return !c.searching;
  const bool idle = !c.searching;
  const bool hasActive = c.active >= 0 && c.active < c.lists;
  const bool activeHasEntries = hasActive && c.activeEntries > 0;
  const bool patternSelection = c.patternFocused && c.patternHasSelection;
  const bool lookup = (c.patternFocused && !c.patternEmpty) || c.selectedResults == 1;
  switch (id) {
    case CommandId::Open:
      return idle && c.lists < 10;
    case CommandId::Close:
    case CommandId::Properties:
      return idle && hasActive;
    case CommandId::SaveResults:
      return idle && activeHasEntries;
    case CommandId::Demote:
      return idle && hasActive && c.active < c.lists - 1;
    case CommandId::Promote:
      return idle && hasActive && c.active > 0;
    // A printout walks the list that a running search is still filling.
    case CommandId::Print:
    case CommandId::PrintPreview:
      return idle && activeHasEntries && c.printerAvailable;
    // The pattern box is locked while a search runs.
    case CommandId::Cut:
      return idle && patternSelection;
    case CommandId::Paste:
      return idle && c.patternFocused;
    case CommandId::Copy:
      return patternSelection || c.selectedResults > 0;
    case CommandId::SelectAll:
      return activeHasEntries;
    case CommandId::Lookup:
    case CommandId::LookupNewWindow:
    case CommandId::ExternalLookup:
      return lookup;
    case CommandId::Options:
    case CommandId::WordSearch:
    case CommandId::FullTextSearch:
    case CommandId::PhraseAnagram:
      return idle;
    case CommandId::TileHorizontal:
    case CommandId::TileVertical:
      return idle && c.lists > 1;
    default:
      return findCommand(id) != nullptr;
  }
}

bool commandChecked(CommandId id, const CommandContext& c) {
  switch (id) {
    case CommandId::AlwaysOnTop:
      return c.topMost;
    case CommandId::TileHorizontal:
      return c.paneOrientation == 0;
    case CommandId::TileVertical:
      return c.paneOrientation == 1;
    case CommandId::WordSearch:
      return !c.fullTextMode && !c.phraseMode;
    case CommandId::FullTextSearch:
      return c.fullTextMode;
    case CommandId::PhraseAnagram:
      return c.phraseMode;
    default:
      return false;
  }
}

std::string_view commandHint(CommandId id) {
  if (id == CommandId::ExternalLookup) return texts::kExternalLookupHint;
  if (id == CommandId::PhraseAnagram) return texts::kPhraseAnagramHint;
  const int number = static_cast<int>(id);
  return number > 0 ? loadString(number) : std::string_view();
}

HintParts splitHint(std::string_view hint) {
  const std::size_t lineBreak = hint.find('\n');
  if (lineBreak == std::string_view::npos) return {hint, {}};
  return {hint.substr(0, lineBreak), hint.substr(lineBreak + 1)};
}

MenuTextParts splitMenuText(std::string_view text) {
  const std::size_t tab = text.find('\t');
  if (tab == std::string_view::npos) return {text, {}};
  return {text.substr(0, tab), text.substr(tab + 1)};
}

std::string escapeMnemonics(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '&') out += '&';
    out += c;
  }
  return out;
}

std::string menuTextFor(std::string_view text, std::string_view activeName) {
  std::string out;
  for (char c : text) {
    if (c == '*') {
      out += escapeMnemonics(activeName);
    } else {
      out += c;
    }
  }
  return out;
}

std::string shortenedPath(std::string_view path, std::size_t maxLength) {
  if (path.size() <= maxLength) return std::string(path);
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  // Nothing between the first folder and the file name to leave out.
  if (parts.size() <= 2) return std::string(path);

  const std::string head = (path.front() == '/' ? "/" : "") + std::string(parts.front()) + "/...";
  std::string tail = "/" + std::string(parts.back());
  if (head.size() + tail.size() > maxLength) return "..." + tail;
  for (std::size_t k = parts.size() - 2; k >= 1; --k) {
    const std::string longer = "/" + std::string(parts[k]) + tail;
    if (head.size() + longer.size() > maxLength) break;
    tail = longer;
  }
  return head + tail;
}

std::string recentFileMenuText(int item, std::string_view path) {
  return "&" + std::to_string((item + 1) % 10) + " " + escapeMnemonics(shortenedPath(path));
}

}  // namespace kea
