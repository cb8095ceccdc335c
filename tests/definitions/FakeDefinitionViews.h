// Fakes of the definition window's panes, frame and workspace: each keeps
// what it was told in plain fields that the tests inspect.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "definitions/DefinitionViews.h"

namespace kea::test {

class FakeTree : public DefinitionTreeView {
 public:
  struct Node {
    std::string text;
    TreeItem parent = kNoTreeItem;
    int data = 0;
    bool expanded = false;
  };

  TreeItem insert(std::string_view text, TreeItemKind, TreeItem parent, int data) override {
    nodes.push_back({std::string(text), parent, data, false});
    return handleAt(nodes.size() - 1);
  }
  void deleteAll() override {
    handleBase += static_cast<TreeItem>(nodes.size()) + 100;  // old handles never come back
    nodes.clear();
    selectedItem = kNoTreeItem;
    if (onChange) onChange();
  }
  void expand(TreeItem item) override { nodes.at(static_cast<std::size_t>(item - handleBase - 1)).expanded = true; }
  // A real tree reports a programmatic selection too.
  void select(TreeItem item) override {
    const bool changed = selectedItem != item;
    selectedItem = item;
    if (changed && onChange) onChange();
  }
  void ensureVisible(TreeItem) override {}
  TreeItem selected() const override { return selectedItem; }

  TreeItem handleAt(std::size_t index) const { return static_cast<TreeItem>(index + 1) + handleBase; }
  int selectedIndex() const { return selectedItem == kNoTreeItem ? -1 : static_cast<int>(selectedItem - handleBase - 1); }
  // The user clicks item `index`.
  void click(std::size_t index) {
    selectedItem = handleAt(index);
    if (onChange) onChange();
  }

  std::vector<Node> nodes;
  TreeItem selectedItem = kNoTreeItem;
  TreeItem handleBase = 1000;
  std::function<void()> onChange;
};

class FakeText : public DefinitionTextView {
 public:
  struct Applied {
    TextRange range;
    CharacterFormat format;
  };

  int pixelsPerInchY() const override { return dpi; }
  void setBackground(Colour) override {}
  void clear(const CharacterFormat&) override {
    content = {};
    applied.clear();
    sel = {};
  }
  void setContent(const StyledText& text) override {
    ++setContentCalls;
    if (duringLoad) duringLoad();
    content = text;
  }
  std::string plainText() const override { return content.plainText(); }
  TextRange selection() const override { return sel; }
  void setSelection(TextRange range) override { sel = range; }
  void applyFormat(const CharacterFormat& format) override { applied.push_back({sel, format}); }
  void scrollCaretIntoView() override { scrolledTo = sel.start; }
  void selectAll() override {}
  void copySelection() override {}
  void setFocus() override {}

  int dpi = 96;
  StyledText content;
  std::vector<Applied> applied;
  TextRange sel;
  int scrolledTo = -1, setContentCalls = 0;
  std::function<void()> duringLoad;
};

class FakeFrame : public DefinitionFrameView {
 public:
  void setCaption(std::string_view text) override { caption = text; }
  void setStatusText(std::string_view text) override { status = text; }
  std::string caption, status;
};

class FakeWorkspace : public DefinitionWorkspace {
 public:
  std::optional<DictionaryTexts> dictionaryTexts(std::string_view path) override {
    const auto it = dictionaries.find(std::string(path));
    if (it == dictionaries.end()) return std::nullopt;
    return it->second;
  }
  std::vector<Definition> lookupDefinitions(std::string_view word) override {
    retrieved.emplace_back(word);
    const auto it = definitionsOf.find(std::string(word));
    return it == definitionsOf.end() ? std::vector<Definition>{} : it->second;
  }
  void lookUp(const LookupRequest& request, bool inNewWindow) override {
    lookups.push_back(request);
    newWindow.push_back(inNewWindow);
  }
  void externalLookUp(std::string_view word, int) override { externalWords.emplace_back(word); }
  bool canMoveResult(int) const override { return false; }
  void moveResult(int) override {}
  void windowKey(DefinitionKey) override {}

  std::map<std::string, DictionaryTexts> dictionaries;
  std::map<std::string, std::vector<Definition>> definitionsOf;
  std::vector<std::string> retrieved, externalWords;
  std::vector<LookupRequest> lookups;
  std::vector<bool> newWindow;
};

}  // namespace kea::test
