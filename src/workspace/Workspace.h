// The workspace: what the main window's views share for the life of the
// program. It owns the open dictionary list (at most nine dictionaries, in
// search order, one of them active), the options, the recent files and the
// main window's placement, and it carries out every change of the list:
// opening, closing, promoting, demoting, and reopening the last run's list
// at start-up. Each change builds a whole new list from the list of paths
// and installs it only when the change succeeded, so a failed open leaves
// the list exactly as it was.
//
// The workspace owns no window: it shows messages and sets the caption
// through WorkspaceHost and tells the main view of each change through
// WorkspaceView, which then rebuilds its groups and checks the pattern
// again. Nothing changes while the view is searching.
//
// Typical use at start-up and exit:
//   Workspace workspace(store, host);   // options, recent files, placement
//   workspace.setView(&view);
//   workspace.restore();                   // the last run's dictionaries
//   ...
//   workspace.save();                      // placement, open list, recent files
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dictionary/DictionaryList.h"
#include "search/SearchHost.h"
#include "settings/Persist.h"
#include "settings/UserOptions.h"
#include "workspace/FileHistory.h"
#include "workspace/PathUtilities.h"
#include "workspace/WorkspaceHost.h"

namespace kea {

class Workspace : public SearchWorkspace {
 public:
  static constexpr int kMaxDictionaries = 9;
  // ViewWindowZ of a maximized main window.
  static constexpr int kMaximized = 1;

  // Loads the options, the recent files and the main window's placement.
  // `programFolder` (ending with "/") is where relative dictionary paths and
  // the first-run dictionary are looked for.
  Workspace(SettingsStore& store, WorkspaceHost& host, std::string programFolder = kea::programFolder());
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  // The main view, told of every change from now on; may be null.
  void setView(WorkspaceView* view) { view_ = view; }

  // SearchWorkspace. The list is never null; it is empty when nothing is open.
  const DictionaryList* dictionaries() const override { return list_.get(); }
  const UserOptions& options() const override { return profile_; }
  // -1 exactly when no dictionary is open.
  int activeDictionary() const override { return active_; }

  int count() const { return list_->count(); }
  // The name of the active dictionary, for "*" in menu texts; empty when none.
  std::string activeName() const { return list_->name(active_); }
  // The options window edits these and saves them with profile().save(store).
  UserOptions& profile() { return profile_; }
  FileHistory& history() { return history_; }
  const FileHistory& history() const { return history_; }
  // ViewWindowX … ViewWindowZ.
  const WindowPosition& placement() const { return placement_; }
  void setPlacement(const WindowPosition& placement) { placement_ = placement; }
  const std::string& folder() const { return programFolder_; }

  // ---- The list ----

  // Opens a dictionary file. One already open (letter case ignored) only
  // becomes active. A tenth dictionary and a file that is not a valid
  // dictionary are refused with a message, leaving the list as it was.
  // Returns whether the dictionary is open now.
  bool open(std::string_view path);
  void closeActive();
  // The active dictionary changes places with the one before (promote) or
  // after it (demote) and stays active.
  void promoteActive();
  void demoteActive();
  // Makes dictionary `index` active (its list took the focus); false and no
  // change when there is no such dictionary.
  bool setActive(int index);

  // ---- Commands ----

  // The Open command with the files the user chose: each is opened, and
  // those that opened go to the recent files.
  void openChosen(const std::vector<std::string>& paths);
  // Recent file `item` chosen from the menu: opened, and moved to the top of
  // the recent files whether or not it opened.
  void openRecent(int item);
  // Files dropped on the main view, or named on the command line: each is
  // handled as a recent file chosen.
  void openDropped(const std::vector<std::string>& paths);

  // ---- Start and exit ----

  // Opens the dictionaries open at the last exit (OpenDictionary0 …). A
  // relative path is taken from the program's folder and also goes to the
  // recent files; a path that no longer opens is reported and skipped. With
  // no list stored at all (the first run), the first-run dictionary is opened.
  void restore();
  // OpenDictionary0 … and an empty value after the last.
  void saveOpenList();
  // The placement, the open list and the recent files.
  void save();

  // The dictionaries' names joined by ", " and followed by " - KEA", or just
  // "KEA" when none is open; updateCaption() gives it to the host.
  std::string caption() const;
  void updateCaption();

  static std::string openDictionaryName(int i) { return "OpenDictionary" + std::to_string(i); }

 private:
  enum class OpenResult { Refused, MadeActive, Added };

  bool searching() const { return view_ && view_->isSearching(); }
  OpenResult openPath(std::string_view path);
  std::vector<std::string> paths() const;
  void install(const std::vector<std::string>& paths);
  void revalidate();
  void message(std::string_view text);
  void swapActiveWith(int other);
  void savePlacement(Persist& persist) const;

  SettingsStore& store_;
  WorkspaceHost& host_;
  WorkspaceView* view_ = nullptr;
  std::string programFolder_;
  UserOptions profile_;
  DictionaryList::Handle list_;
  int active_ = -1;
  FileHistory history_;
  WindowPosition placement_;
};

}  // namespace kea
