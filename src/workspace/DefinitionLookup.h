// Where a lookup finds its definitions: the open dictionaries first, then
// the definitions dictionary of the options (unless it is one of the open
// ones), numbered in that order so that each dictionary is one branch of
// the definition window. The definitions dictionary stays open between
// lookups and is opened again only when the options name another file.
//
// Also the rule of F4, F5 and F6, which switch between the main window and
// the definition windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "definitions/DefinitionViews.h"
#include "dictionary/Definition.h"
#include "dictionary/DictionaryList.h"
#include "settings/TextForms.h"
#include "workspace/WindowPlacement.h"

namespace kea {

class DefinitionLookup {
 public:
  // Every definition of `word` from the open list, then from the
  // definitions dictionary at `definitionsPath` (empty: none).
  std::vector<Definition> lookUp(const DictionaryList& open, std::string_view definitionsPath,
                                 std::string_view word);
  // The description and details of the dictionary at `path`, looked for
  // among the open dictionaries, then in the definitions dictionary.
  std::optional<DictionaryTexts> texts(const DictionaryList& open, std::string_view definitionsPath,
                                       std::string_view path);

 private:
  // The definitions dictionary as a list of its own, or null when it is
  // not wanted (no path, or one of the open dictionaries).
  const DictionaryList* definitions(const DictionaryList& open, std::string_view path);

  DictionaryList::Handle definitions_;
};

// The window that F4, F5 or F6 brings to the front. Windows are numbered
// 0 (the main window), 1 … count - 1 (the definition windows in the order
// they opened); `current` is the one with the key. F4 goes to the main
// window, F6 to the next window and F5 to the one before, both wrapping.
int windowAfterKey(DefinitionKey key, int current, int count);

// A definition window's place when none is stored: half the work area's
// width and height, centred in it.
WindowPosition firstDefinitionWindowPlacement(const ScreenRect& workArea);

}  // namespace kea
