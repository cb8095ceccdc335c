// What the search controller needs of the world around it, as two small
// interfaces: its window (SearchHost) and the shared state it searches
// with (SearchWorkspace). The desktop program implements them over its
// widgets and workspace, kea-cli over the terminal, the tests with fakes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "search/ResultsSelection.h"
#include "text/StringTable.h"

namespace kea {

class DictionaryList;
class UserOptions;

class SearchHost {
 public:
  // The controls the controller enables, disables and focuses.
  enum class Control {
    None,  // no control of the view has the focus
    PatternBox,
    SearchButton,
    ShortestBox,
    LongestBox,
    SearchModeButton,
    EnumerationBox,
    ResultsArea,
    OptionsWindow,  // ignored when the options window is not open
  };
  enum class LengthBox { Shortest, Longest };
  enum class Buttons { Ok, RetryCancel, YesNo };
  enum class Icon { None, Exclamation, Question };
  enum class Answer { Ok, Retry, Cancel, Yes, No };

  virtual ~SearchHost() = default;

  // The pattern box: its text and its history (newest first). Texts are
  // Windows-1252.
  virtual std::string patternText() = 0;
  virtual int historyCount() = 0;
  virtual std::string historyItem(int index) = 0;
  virtual void insertHistory(std::string_view text) = 0;
  // The selected part of the pattern box's text; empty when nothing is.
  virtual std::string patternSelection() { return {}; }
  // The enumeration box beside the pattern box ("(3,4)"), Windows-1252;
  // empty when the user gave none or the host has no such box.
  virtual std::string enumerationText() { return {}; }

  // The two length boxes.
  virtual int lengthBox(LengthBox box) = 0;
  virtual void setLengthBox(LengthBox box, int value) = 0;

  virtual void setSearchButtonLabel(std::string_view label) = 0;
  virtual void enableControl(Control control, bool enabled) = 0;
  // The controller's state changed (ready, searching, paused...), once it
  // is settled: whatever depends on it, such as which commands apply, is
  // derived again from it.
  virtual void searchStateChanged() {}
  virtual void setStatus(std::string_view text) = 0;
  // A string of the string table; a translated program may answer otherwise.
  virtual std::string loadString(int id) { return std::string(kea::loadString(id)); }

  virtual Control focus() = 0;
  virtual void setFocus(Control control) = 0;

  virtual Answer messageBox(std::string_view text, std::string_view caption, Buttons buttons, Icon icon) = 0;

  // The progress bar's model changed: its range, or how much is filled.
  virtual void progressChanged() {}
  // The caption of results list `group` changed (its count).
  virtual void labelChanged(int group) { (void)group; }
  // The rows selected in results list `group`; none where no window shows it.
  virtual const ResultsSelection& resultsSelection(int group) {
    (void)group;
    return noSelection();
  }
};

// A host whose boxes, button, status line and focus live in memory, for a
// program without a window (kea-cli) and for tests; message boxes are left
// to the class that derives from it.
class MemoryViewHost : public SearchHost {
 public:
  std::string pattern;
  std::string enumeration;
  std::vector<std::string> history;  // newest first
  int shortest = 1;
  int longest = 100;
  std::string buttonLabel;
  std::string status;
  Control focused = Control::PatternBox;

  std::string patternText() override { return pattern; }
  std::string enumerationText() override { return enumeration; }
  int historyCount() override { return static_cast<int>(history.size()); }
  std::string historyItem(int index) override { return history.at(static_cast<std::size_t>(index)); }
  void insertHistory(std::string_view text) override { history.insert(history.begin(), std::string(text)); }
  int lengthBox(LengthBox box) override { return box == LengthBox::Shortest ? shortest : longest; }
  void setLengthBox(LengthBox box, int value) override { (box == LengthBox::Shortest ? shortest : longest) = value; }
  void setSearchButtonLabel(std::string_view label) override { buttonLabel = label; }
  void enableControl(Control, bool) override {}
  void setStatus(std::string_view text) override { status = text; }
  Control focus() override { return focused; }
  void setFocus(Control control) override { focused = control; }
};

// The dictionaries, options and active dictionary the controller searches
// with; owned elsewhere and shared with the rest of the program.
class SearchWorkspace {
 public:
  virtual ~SearchWorkspace() = default;
  // The open dictionaries in search order; null or empty when none is open.
  virtual const DictionaryList* dictionaries() const = 0;
  virtual const UserOptions& options() const = 0;
  // The index of the active dictionary (its list has the focus).
  virtual int activeDictionary() const = 0;
};

}  // namespace kea
