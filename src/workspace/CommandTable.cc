#include "workspace/CommandTable.h"

#include <vector>


namespace kea {

namespace {

constexpr Command kCommands[] = {
    {CommandId::Open, Menu::File},
    {CommandId::Close, Menu::File},
    {CommandId::SaveResults, Menu::File},
    {CommandId::Demote, Menu::File},
    {CommandId::Promote, Menu::File},
    {CommandId::Properties, Menu::File},
    {CommandId::Print, Menu::File},
    {CommandId::PrintPreview, Menu::File},
    {CommandId::PageSetup, Menu::File},
    {CommandId::FirstRecentFile, Menu::File},
    {CommandId::Exit, Menu::File},
    {CommandId::Cut, Menu::Edit},
    {CommandId::Copy, Menu::Edit},
    {CommandId::Paste, Menu::Edit},
    {CommandId::SelectAll, Menu::Edit},
    {CommandId::Lookup, Menu::Edit},
    {CommandId::LookupNewWindow, Menu::Edit},
    {CommandId::ExternalLookup, Menu::Edit},
    {CommandId::ExternalLookupSetup, Menu::Edit},
    {CommandId::Options, Menu::Tools},
    {CommandId::DictionaryBuilder, Menu::Tools},
    {CommandId::WordListMerge, Menu::Tools},
    {CommandId::AlwaysOnTop, Menu::Window},
    {CommandId::TileHorizontal, Menu::Window},
    {CommandId::TileVertical, Menu::Window},
    {CommandId::QuickReference, Menu::Help},
    {CommandId::StartupTips, Menu::Help},
    {CommandId::HelpContents, Menu::Help},
    {CommandId::EmailSupport, Menu::Help},
    {CommandId::OnlineHelp, Menu::Help},
    {CommandId::OnlineTutorial, Menu::Help},
    {CommandId::About, Menu::Help},
    {CommandId::WordSearch, Menu::SearchMode},
    {CommandId::FullTextSearch, Menu::SearchMode},
    {CommandId::PhraseAnagram, Menu::SearchMode},
};

constexpr ContextCommand kEntriesMenu[] = {
    {CommandId::Lookup},
    {CommandId::LookupNewWindow},
    {CommandId::ExternalLookup},
    {CommandId::ExternalLookupSetup},
    {CommandId::Copy, true},
    {CommandId::SelectAll},
    {CommandId::Print, true},
    {CommandId::PrintPreview},
};

constexpr ContextCommand kDictionaryMenu[] = {
    {CommandId::Properties},
    {CommandId::Close},
    {CommandId::SaveResults},
    {CommandId::Demote, true},
    {CommandId::Promote},
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

std::string escapeMnemonics(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '&') out += '&';
    out += c;
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
