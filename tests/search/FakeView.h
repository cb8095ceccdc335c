// A window and a workspace for the search controller in memory, and a fixture
// that opens small dictionaries, types, drives the search step by step as an
// event loop would (with a script for what the user does between two steps)
// and reads results.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/DictionaryList.h"
#include "search/SearchController.h"
#include "search/SearchHost.h"
#include "settings/UserOptions.h"
#include "support/PlainSelection.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea::test {

class FakeHost : public MemoryViewHost {
 public:
  std::map<Control, bool> enabled;
  struct Message {
    std::string text, caption;
  };
  std::vector<Message> messages;
  // The rows the user selected in each results list.
  std::map<int, RowSetSelection> selected;

  void enableControl(Control control, bool on) override { enabled[control] = on; }
  const ResultsSelection& resultsSelection(int group) override {
    const auto it = selected.find(group);
    return it == selected.end() ? noSelection() : it->second;
  }
  std::function<void()> onStateChanged;
  void searchStateChanged() override {
    if (onStateChanged) onStateChanged();
  }
  Answer messageBox(std::string_view text, std::string_view caption, Buttons, Icon) override {
    messages.push_back({std::string(text), std::string(caption)});
    return Answer::Ok;
  }
};

class FakeWorkspace : public SearchWorkspace {
 public:
  DictionaryList::Handle list;
  UserOptions profile{""};
  int active = 0;

  const DictionaryList* dictionaries() const override { return list.get(); }
  const UserOptions& options() const override { return profile; }
  int activeDictionary() const override { return active; }
};

class ViewTest : public ::testing::Test {
 protected:
  // One dictionary d<i>.kkd per element, built from its lines.
  void openDictionaries(const std::vector<std::vector<std::string>>& dictionaries) {
    std::string names;
    paths.clear();
    for (std::size_t i = 0; i < dictionaries.size(); ++i) {
      TestDictionaryOptions options;
      options.fileName = "d" + std::to_string(i) + ".kkd";
      paths.push_back(buildTestDictionary(dir, dictionaries[i], options));
      names += paths.back() + ";";
    }
    workspace.list = DictionaryList::make(names);
    view.dictionariesChanged();
  }
  void type(const std::string& pattern) {
    host.pattern = pattern;
    view.patternChanged();
  }
  std::vector<std::string> results(int group, bool sorted = false) const {
    std::vector<std::string> out;
    const ResultsList& list = view.group(group).list;
    for (int i = 0; i < list.count(); ++i) out.emplace_back(list.textAt(i));
    if (sorted) std::sort(out.begin(), out.end());
    return out;
  }
  // Runs the search one unit at a time while it goes on, giving the script
  // a turn before each unit, as the event loop gets one between two steps.
  void drive() {
    while (view.state() == SearchState::Searching) {
      ++turns;
      if (onTurn) onTurn(turns);
      if (view.state() != SearchState::Searching || view.step(1) == SearchController::Step::Finished) break;
    }
  }
  // The Search button, then the search until it stops.
  void click() {
    view.searchClicked();
    drive();
  }
  // Types the pattern and runs the search to its end.
  std::vector<std::string> search(const std::string& pattern, int group = 0) {
    type(pattern);
    EXPECT_EQ(view.state(), SearchState::Ready) << pattern << ": " << host.status;
    click();
    EXPECT_EQ(view.state(), SearchState::Ready) << pattern;
    return results(group);
  }

  TempDir dir;
  std::vector<std::string> paths;
  FakeHost host;
  FakeWorkspace workspace;
  std::function<void(int)> onTurn;  // what happens between two steps, with the turn's number from 1
  int turns = 0;
  std::uint64_t now = 0;  // the controller's clock, in milliseconds
  SearchController view{workspace, host, [this] { return now; }};
};

}  // namespace kea::test
