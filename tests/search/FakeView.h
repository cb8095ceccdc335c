// A window and a workspace for the search controller, in memory: the tests
// type into the pattern and length boxes, script what happens while events
// are processed (Stop, Escape, typing), and read back everything the
// controller showed.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/KKDictionaryList.h"
#include "search/KEAViewHost.h"
#include "search/KEAViewWindows.h"
#include "settings/KEAViewProfileWindows.h"

namespace kea::test {

class FakeHost : public KEAViewHost {
 public:
  std::string pattern;
  std::vector<std::string> history;
  int shortest = 1;
  int longest = 100;
  std::string buttonLabel;
  std::map<Control, bool> enabled;
  std::string status;
  std::vector<std::string> statusLog;
  Control focused = Control::PatternBox;
  // Called at each processEvents, with the number of the call (from 1).
  std::function<void(int)> onEvents;
  int eventCalls = 0;
  bool quitAsked = false;
  struct Message {
    std::string text, caption;
  };
  std::vector<Message> messages;
  int repaints = 0;
  std::vector<int> labelChanges;

  std::string patternText() override { return pattern; }
  int historyCount() override { return static_cast<int>(history.size()); }
  std::string historyItem(int index) override { return history.at(static_cast<std::size_t>(index)); }
  void insertHistory(std::string_view text) override { history.insert(history.begin(), std::string(text)); }
  int lengthBox(LengthBox box) override { return box == LengthBox::Shortest ? shortest : longest; }
  void setLengthBox(LengthBox box, int value) override { (box == LengthBox::Shortest ? shortest : longest) = value; }
  void setSearchButtonLabel(std::string_view label) override { buttonLabel = label; }
  void enableControl(Control control, bool on) override { enabled[control] = on; }
  void setStatus(std::string_view text) override {
    status = text;
    statusLog.push_back(status);
  }
  Control focus() override { return focused; }
  void setFocus(Control control) override { focused = control; }
  bool processEvents() override {
    ++eventCalls;
    if (onEvents) onEvents(eventCalls);
    return quitAsked;
  }
  Answer messageBox(std::string_view text, std::string_view caption, Buttons, Icon) override {
    messages.push_back({std::string(text), std::string(caption)});
    return Answer::Ok;
  }
  void repaintProgress(int, int) override { ++repaints; }
  void labelChanged(int group) override { labelChanges.push_back(group); }
};

class FakeWorkspace : public SearchWorkspace {
 public:
  KKDictionaryList::Handle list;
  KEAViewProfileWindows profile{""};
  int active = 0;

  const KKDictionaryList* dictionaries() const override { return list.get(); }
  const KEAViewProfileWindows& options() const override { return profile; }
  int activeDictionary() const override { return active; }
};

}  // namespace kea::test
