// What the definition window's logic needs of the program around it: the
// tree pane, the text pane, the frame (caption and status pane) and the
// workspace (dictionaries, lookups, the main window's results). The desktop
// program implements these with its widgets; the tests implement them with
// plain records of what was asked.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "definitions/CharacterFormat.h"
#include "definitions/DefinitionText.h"
#include "definitions/RichTextReader.h"
#include "dictionary/Definition.h"
#include "settings/TextForms.h"

namespace kea {

// A tree item as the tree pane names it; kNoTreeItem is none (and, as a
// parent, the top level).
using TreeItem = std::intptr_t;
inline constexpr TreeItem kNoTreeItem = 0;

// What a tree item stands for, which its icon shows: a dictionary (a
// branch) or one of its records (a leaf, drawn opened while selected).
enum class TreeItemKind { Dictionary, Record };

class DefinitionTreeView {
 public:
  virtual ~DefinitionTreeView() = default;
  // Adds an item after the last child of `parent` and returns its name
  // (never kNoTreeItem). `data` is the index of a record.
  virtual TreeItem insert(std::string_view text, TreeItemKind kind, TreeItem parent, int data) = 0;
  virtual void deleteAll() = 0;
  virtual void expand(TreeItem item) = 0;
  // Selects the item. The window shows the item itself afterwards, so a
  // selection notice sent from inside this call is ignored and need not
  // be suppressed.
  virtual void select(TreeItem item) = 0;
  virtual void ensureVisible(TreeItem item) = 0;
  // The selected item, or kNoTreeItem.
  virtual TreeItem selected() const = 0;
};

// The text pane. Its changes are drawn together once control returns to
// the event loop, so a display made of several changes never shows half done.
class DefinitionTextView {
 public:
  virtual ~DefinitionTextView() = default;
  // The screen's vertical resolution, for turning font heights into sizes.
  virtual int pixelsPerInchY() const = 0;
  virtual void setBackground(Colour colour) = 0;
  // Empties the pane; `format` becomes the format of the whole pane.
  virtual void clear(const CharacterFormat& format) = 0;
  // Sets the content: each run in the pane's format changed by the run's
  // style; "\n" breaks a line. Clears the pane's modified flag.
  virtual void setContent(const StyledText& text) = 0;
  // The text as shown, in Windows-1252; a line break is one "\n" (a "\r"
  // before it is allowed and is not counted in positions).
  virtual std::string plainText() const = 0;
  virtual TextRange selection() const = 0;
  // Selects a range; an empty range puts the caret at its start.
  virtual void setSelection(TextRange range) = 0;
  // Applies the format to the selected text.
  virtual void applyFormat(const CharacterFormat& format) = 0;
  virtual void scrollCaretIntoView() = 0;
  virtual void selectAll() = 0;
  // Puts the selected text on the clipboard.
  virtual void copySelection() = 0;
  virtual void setFocus() = 0;
};

class DefinitionFrameView {
 public:
  virtual ~DefinitionFrameView() = default;
  virtual void setCaption(std::string_view caption) = 0;
  virtual void setStatusText(std::string_view text) = 0;
};

// The texts a dictionary supplies about itself.
struct DictionaryTexts {
  std::string description;  // one line, the branch's text
  std::string details;      // shown in the text pane when its branch is selected
};

// A lookup that starts in a definition window: the record shown there names
// the dictionary to select, and the word finder's suffix picks a heading.
struct LookupRequest {
  std::string word;
  std::string dictionaryToSelect;
  std::string wordSuffix;
  bool operator==(const LookupRequest&) const = default;
};

// Keys of the text pane that the window acts on.
enum class DefinitionKey { Backspace, F4, F5, F6, Other };

class DefinitionWorkspace {
 public:
  virtual ~DefinitionWorkspace() = default;
  // The texts of the dictionary at `path`, looked for among the open
  // dictionaries first, then among the definition dictionaries; nothing
  // when it is in neither.
  virtual std::optional<DictionaryTexts> dictionaryTexts(std::string_view path) = 0;
  // Every definition of the word from the open dictionaries.
  virtual std::vector<Definition> lookupDefinitions(std::string_view word) = 0;
  // The workspace's lookup handler: shows the definitions in this window or
  // in a new one, or offers an external lookup when there are none.
  virtual void lookUp(const LookupRequest& request, bool inNewWindow) = 0;
  // External lookup of the word with a lookup command (the default method
  // or one of the External Lookup submenu's).
  virtual void externalLookUp(std::string_view word, int command) = 0;
  // Whether the main window can move its result selection by `delta` rows,
  // and the move itself (which shows the new result's definitions).
  virtual bool canMoveResult(int delta) const = 0;
  virtual void moveResult(int delta) = 0;
  // F4, F5 and F6 switch between the program's windows.
  virtual void windowKey(DefinitionKey key) = 0;
};

}  // namespace kea
