#include "workspace/Workspace.h"

#include <algorithm>
#include <utility>

#include "platform/File.h"
#include "text/StringTable.h"

namespace kea {

Workspace::Workspace(SettingsStore& store, WorkspaceHost& host, std::string programFolder)
    : store_(store),
      host_(host),
      programFolder_(std::move(programFolder)),
      profile_(programFolder_),
      list_(DictionaryList::make(std::vector<std::string>{})) {
  profile_.load(store_);
  Persist persist(store_, SettingsMode::Read);
  history_.load(persist);
  persist.readInt("ViewWindowX", placement_.left);
  persist.readInt("ViewWindowY", placement_.top);
  persist.readInt("ViewWindowW", placement_.width);
  persist.readInt("ViewWindowH", placement_.height);
  persist.readInt("ViewWindowZ", placement_.state);
}

// ---------------------------------------------------------------------------
// The list

std::vector<std::string> Workspace::paths() const {
  std::vector<std::string> out;
  for (int i = 0; i < list_->count(); ++i) out.push_back(list_->path(i));
  return out;
}

void Workspace::install(const std::vector<std::string>& paths) {
  // The new list is made before the old one lets go, so the dictionaries
  // both hold stay open instead of being read again.
  list_ = DictionaryList::make(paths);
}

void Workspace::revalidate() {
  if (view_) view_->revalidate();
}

void Workspace::message(std::string_view text) {
  host_.messageBox(text, texts::kDictionaryOpenFailedCaption, WorkspaceHost::Buttons::Ok,
                   WorkspaceHost::Icon::Exclamation);
}

Workspace::OpenResult Workspace::openPath(std::string_view path) {
  if (searching()) return OpenResult::Refused;
  for (int i = 0; i < list_->count(); ++i) {
    // The same file under any name, and only that: Linux tells "Words.kkd"
    // and "words.kkd" apart.
    if (platform::sameFile(list_->path(i), path)) {
      active_ = i;
      if (view_) view_->activeChanged(i);
      return OpenResult::MadeActive;
    }
  }
  if (list_->count() >= kMaxDictionaries) {
    message(texts::kTooManyDictionaries);
    return OpenResult::Refused;
  }
  std::vector<std::string> names = paths();
  names.emplace_back(path);
  DictionaryList::Handle candidate = path.empty() ? nullptr : DictionaryList::make(names);
  // Only the new file decides: one of the others that went bad on disk since
  // it was opened is reported by the search view, not blamed on this file.
  const int added = list_->count();
  if (!candidate || candidate->count() != added + 1 || !candidate->isUsable(added)) {
    // Why: a pipe or a folder of that name, damage, a missing file.
    const std::string detail = candidate && candidate->dictionary(added) != nullptr
                                   ? dictionaryProblemDetail(candidate->dictionary(added)->problem())
                                   : std::string();
    candidate.reset();
    message(std::string(path) + std::string(texts::kNotValidDictionary) + detail);
    return OpenResult::Refused;
  }
  list_ = std::move(candidate);
  if (active_ < 0) active_ = 0;
  if (view_) view_->dictionaryAdded();
  updateCaption();
  return OpenResult::Added;
}

bool Workspace::open(std::string_view path) {
  const OpenResult result = openPath(path);
  if (result == OpenResult::Added) revalidate();
  return result != OpenResult::Refused;
}

void Workspace::closeActive() {
  if (searching() || active_ < 0) return;
  const int closed = active_;
  std::vector<std::string> names = paths();
  names.erase(names.begin() + closed);
  install(names);
  if (active_ >= list_->count()) active_ = list_->count() - 1;
  if (view_) view_->dictionaryClosed(closed);
  updateCaption();
  revalidate();
}

void Workspace::swapActiveWith(int other) {
  if (searching() || active_ < 0 || other < 0 || other >= list_->count()) return;
  std::vector<std::string> names = paths();
  std::swap(names[static_cast<std::size_t>(active_)], names[static_cast<std::size_t>(other)]);
  install(names);
  const int first = std::min(active_, other);
  active_ = other;
  if (view_) view_->dictionariesSwapped(first, first + 1);
  updateCaption();
  revalidate();
}

void Workspace::promoteActive() { swapActiveWith(active_ - 1); }

void Workspace::demoteActive() {
  if (active_ >= 0) swapActiveWith(active_ + 1);
}

bool Workspace::setActive(int index) {
  if (index < 0 || index >= list_->count()) return false;
  active_ = index;
  return true;
}

// ---------------------------------------------------------------------------
// Commands

void Workspace::openChosen(const std::vector<std::string>& chosen) {
  if (searching()) return;
  for (const std::string& path : chosen) {
    if (openPath(path) != OpenResult::Refused) history_.add(path);
  }
  revalidate();
}

void Workspace::openRecent(int item) {
  if (searching()) return;
  const std::string path = history_.item(item);
  if (path.empty()) return;
  openPath(path);
  history_.add(path);
  revalidate();
}

void Workspace::openDropped(const std::vector<std::string>& dropped) {
  if (searching()) return;
  for (const std::string& path : dropped) {
    openPath(path);
    history_.add(path);
  }
  revalidate();
}

// ---------------------------------------------------------------------------
// Start and exit

void Workspace::restore() {
  if (searching()) return;
  std::vector<std::string> stored;
  bool anyStored = false;
  {
    Persist persist(store_, SettingsMode::Read);
    for (int i = 0; i < kMaxDictionaries; ++i) {
      std::string path;
      if (!persist.readString(openDictionaryName(i), path)) break;
      anyStored = true;
      if (path.empty()) break;
      stored.push_back(std::move(path));
    }
  }
  if (!anyStored) {
    // The first run: the dictionary shipped with the program. When it is not
    // there, the attempt still tells the user where it was looked for.
    openPath(findFirstRunDictionary(programFolder_).value_or(programFolder_ + std::string(kFirstRunDictionary)));
  }
  for (const std::string& path : stored) {
    if (isRelative(path)) {
      const std::string full = absolute(path, programFolder_);
      openPath(full);
      history_.add(full);
    } else {
      openPath(path);
    }
  }
  revalidate();
}

void Workspace::saveOpenList() {
  Persist persist(store_, SettingsMode::Write);
  const int n = list_->count();
  for (int i = 0; i < n; ++i) persist.writeString(openDictionaryName(i), list_->path(i));
  persist.writeString(openDictionaryName(n), "");
}

void Workspace::savePlacement(Persist& persist) const {
  persist.writeInt("ViewWindowX", placement_.left);
  persist.writeInt("ViewWindowY", placement_.top);
  persist.writeInt("ViewWindowW", placement_.width);
  persist.writeInt("ViewWindowH", placement_.height);
  persist.writeInt("ViewWindowZ", placement_.state);
}

void Workspace::save() {
  {
    Persist persist(store_, SettingsMode::Write);
    savePlacement(persist);
    history_.save(persist);
  }
  saveOpenList();
}

std::string Workspace::caption() const {
  if (list_->count() == 0) return std::string(texts::kProgramName);
  std::string text;
  for (int i = 0; i < list_->count(); ++i) {
    if (i > 0) text += loadString(strings::kCaptionSeparator);
    text += list_->name(i);
  }
  text += loadString(strings::kCaptionSuffix);
  return text;
}

void Workspace::updateCaption() { host_.setCaption(caption()); }

}  // namespace kea
