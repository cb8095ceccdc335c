// The rows of one results list the user selected. The window's item view is
// the only keeper of them: its selection rules (clicks, Shift and Ctrl,
// arrows, Ctrl+A) are the toolkit's, and copying, lookups, printing and the
// context menu read what it selected through this interface. The results
// list itself keeps no selection, so the two can never disagree.
//
// Rows are numbered as the window shows the list, which between two turns
// of the event loop is the list itself (the window's model is brought up to
// date before the loop runs again).
#pragma once

#include <utility>
#include <vector>

namespace kea {

class ResultsSelection {
 public:
  // Rows first … first + count - 1.
  struct Range {
    int first = 0;
    int count = 0;
    bool operator==(const Range&) const = default;
  };

  virtual ~ResultsSelection() = default;

  // The selected rows in increasing order, as ranges that neither overlap
  // nor touch; none is empty and none starts below row 0.
  std::vector<Range> ranges() const { return normalised(selectedRanges()); }
  // How many rows are selected.
  int count() const;
  // The one selected row, or -1 unless exactly one row is selected.
  int onlyRow() const;
  // Calls visit(row) for every selected row, in increasing order.
  template <class Visit>
  void forEachRow(Visit&& visit) const {
    for (const Range& r : ranges()) {
      for (int i = 0; i < r.count; ++i) visit(r.first + i);
    }
  }

  // `ranges` in increasing order, merged where they overlap or touch, with
  // empty ranges and rows below 0 left out. Rows past the largest int are
  // cut off rather than wrapped.
  static std::vector<Range> normalised(std::vector<Range> ranges);

 protected:
  // The selected rows as the keeper holds them: in any order, and possibly
  // overlapping (a toolkit's selection need not be tidy).
  virtual std::vector<Range> selectedRanges() const = 0;
};

// A selection with nothing in it: the selection of a list no window shows.
const ResultsSelection& noSelection();

}  // namespace kea
