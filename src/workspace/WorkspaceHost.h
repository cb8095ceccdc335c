// What the workspace needs of the world around it, as two small interfaces:
// the main window (WorkspaceHost: message boxes and the caption) and the
// main view that shows one results group per open dictionary
// (WorkspaceView). The desktop program implements them over its frame and
// search view, the tests with fakes.
#pragma once

#include <string_view>

#include "search/SearchHost.h"

namespace kea {

class WorkspaceHost {
 public:
  using Buttons = SearchHost::Buttons;
  using Icon = SearchHost::Icon;
  using Answer = SearchHost::Answer;

  virtual ~WorkspaceHost() = default;

  // Texts are Windows-1252.
  virtual Answer messageBox(std::string_view text, std::string_view caption, Buttons buttons, Icon icon) = 0;
  virtual void setCaption(std::string_view text) = 0;
};

// The view is told of each change after the workspace has installed the new
// dictionary list and active index, so it can read both from the workspace
// while it rebuilds; it keeps each group's results across these changes.
class WorkspaceView {
 public:
  virtual ~WorkspaceView() = default;

  // A dictionary was opened: it is the last group.
  virtual void dictionaryAdded() = 0;
  // The group of dictionary `index` is gone; the groups after it moved up.
  virtual void dictionaryClosed(int index) = 0;
  // The groups `first` and `first + 1` (= `second`) changed places.
  virtual void dictionariesSwapped(int first, int second) = 0;
  // An open dictionary became the active one without any other change (it
  // was opened again): its list takes the focus.
  virtual void activeChanged(int index) = 0;
  // The pattern is checked again against the dictionaries now open.
  virtual void revalidate() = 0;
  // Whether a search is running; the list is not changed then.
  virtual bool isSearching() const = 0;
};

}  // namespace kea
