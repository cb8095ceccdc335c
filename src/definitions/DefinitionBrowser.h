// The definition window's logic, without a widget: the records of one word
// arranged as a tree with one branch per dictionary, the record or the
// dictionary description that the selected item shows, the highlighting of
// the looked-up word (or of a full-text query's words), the window's
// browsing history and the commands of its menus, tool bar and keys.
//
// The window drives the panes through the interfaces of DefinitionViews.h
// and is driven by them through the on... calls; everything it decides can
// be checked against fakes of those interfaces.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "definitions/CharacterFormat.h"
#include "definitions/DefinitionText.h"
#include "definitions/DefinitionViews.h"
#include "dictionary/Definition.h"
#include "settings/UserOptions.h"

namespace kea {

class DefinitionBrowser {
 public:
  // Command numbers of the menus and the tool bar.
  enum Command : int {
    kCopy = 7500,
    kSelectAll = 7510,
    kLookup = 7490,
    kLookupInNewWindow = 12640,
    kExternalLookup = 12710,
    kBack = 12650,
    kForward = 12660,
    kHistoryItem0 = 12670,  // … 12679
    kNextResult = 12730,
    kPreviousResult = 12740,
    kNextDefinition = 13890,
    kPreviousDefinition = 13900,
    kExternalLookupMethod0 = 13120,  // … 13135, the External Lookup submenu's methods
  };
  static constexpr int kHistoryMenuSize = 10;
  static constexpr int kExternalLookupMethods = 16;
  // A word for a lookup longer than this is no word.
  static constexpr std::size_t kMaxLookupLength = 128;

  struct MenuItem {
    int command = 0;
    std::string text;
    bool checked = false;
    bool operator==(const MenuItem&) const = default;
  };

  // `windowNumber` is the frame's number (1, 2, …), shown in the caption.
  DefinitionBrowser(int windowNumber, const UserOptions& options, DefinitionWorkspace& workspace,
                        DefinitionFrameView& frame, DefinitionTreeView& tree, DefinitionTextView& text);
  DefinitionBrowser(const DefinitionBrowser&) = delete;
  DefinitionBrowser& operator=(const DefinitionBrowser&) = delete;

  // Shows the records of a new word and adds the word to the history.
  // `dictionaryToSelect` (a dictionary path) and `wordSuffix` are given when
  // the lookup started in a definition window, empty otherwise. With a
  // full-text query its words are highlighted instead of the word.
  void showWord(std::vector<Definition> definitions, std::string_view word, std::string_view dictionaryToSelect = {},
                std::string_view wordSuffix = {}, const FullTextWordMatcher* fullTextQuery = nullptr);

  // The command table. execute() does nothing for a command that is
  // disabled or not the window's, and says whether it acted.
  bool isEnabled(int command) const;
  bool execute(int command);

  // Notices from the panes.
  void onTreeSelectionChanged();
  void onTextDoubleClick(bool shiftHeld);
  // True when the window handled the key.
  bool onTextKey(DefinitionKey key);

  // The word a lookup from the text pane would use, empty when there is none
  // or when it is longer than kMaxLookupLength; and with its suffix.
  std::string wordToLookUp() const;
  FoundWord lookupWord() const;

  // The history menu: the 1-based history entry of its first item, and its
  // items (at most kHistoryMenuSize).
  int firstHistoryItem() const;
  std::vector<MenuItem> historyMenu() const;
  // The context menu's texts for kLookup and kLookupInNewWindow, naming the
  // word when there is one; empty for other commands.
  std::string lookupMenuText(int command) const;

  const std::vector<std::string>& history() const { return history_; }
  // 1-based; 0 before the first word.
  std::size_t historyPosition() const { return historyPosition_; }
  // The records in display order.
  const std::vector<Definition>& definitions() const { return definitions_; }
  // The record shown (or whose branch is shown); -1 before the first display.
  int currentDefinition() const { return currentDefinition_; }
  int windowNumber() const { return windowNumber_; }

  // " - Definition [n]", after the word in the caption.
  static std::string captionSuffix(int windowNumber);
  // The settings value that keeps the frame's placement: "Definition1Position".
  static std::string placementKey(int windowNumber);
  // Whether the splitter may move from `from` to `to` (x of the text pane's
  // left edge): the pane being made smaller keeps at least 8 gaps of width.
  static bool splitterMoveAllowed(int from, int to, int clientWidth, int gap);

  // The first history entry of the history menu for a position and size.
  static int firstHistoryItem(std::size_t position, std::size_t size);
  // Picks each record's heading for the word and sorts the records by
  // dictionary, then by heading.
  static void arrangeRecords(std::vector<Definition>& records, std::string_view word);
  // Drops each record whose heading and text an earlier dictionary's record
  // already has; the order of the rest is kept.
  static void dropRepeatedRecords(std::vector<Definition>& records);
  // A leaf's text: the heading, then the start of the record's text (its
  // part of speech and gloss), so that the senses of a word can be told
  // apart in the tree.
  static std::string leafLabel(const Definition& record);
  static constexpr std::size_t kLeafGlossLength = 48;

 private:
  struct Item {
    TreeItem handle = kNoTreeItem;
    int record = 0;
    bool isBranch = false;
  };

  void buildTree(std::string_view lookedUp, std::string_view dictionaryToSelect, std::string_view wordSuffix);
  void selectItem(std::size_t index);
  void showItem(std::size_t index);
  void showRecord(int i);
  void showBranch(int i);
  void showNothing();
  void resetPane();
  void putText(const StyledText& text);
  void highlight(const std::vector<TextRange>& spans);
  void goToHistory(std::size_t position);
  void stepDefinition(int direction);
  int itemOfHandle(TreeItem handle) const;
  CharacterFormat format(const FontSetting& font) const;

  int windowNumber_;
  // The word every record shown highlights; empty after a full-text search.
  std::string highlighted_;
  const UserOptions& options_;
  DefinitionWorkspace& workspace_;
  DefinitionFrameView& frame_;
  DefinitionTreeView& tree_;
  DefinitionTextView& text_;

  std::vector<std::string> history_;
  std::size_t historyPosition_ = 0;
  std::vector<Definition> definitions_;
  int currentDefinition_ = -1;
  // The tree's items in display order: each branch, then its leaves.
  std::vector<Item> items_;
  // Set while the tree is rebuilt or selected from here: its notices are
  // ignored, as the window shows the item itself.
  bool treeRebuilding_ = false;
  // Set while a text is put into the pane: a nested display does nothing.
  bool loading_ = false;
};

}  // namespace kea
