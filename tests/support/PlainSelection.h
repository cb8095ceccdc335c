// Results selections that tests hold in memory instead of a window's
// item view: a set of rows, or ranges exactly as given (unsorted,
// overlapping, empty or negative ones included) to exercise the tidying
// every reader relies on.
#pragma once

#include <initializer_list>
#include <ostream>
#include <set>
#include <utility>
#include <vector>

#include "search/ResultsSelection.h"

namespace kea {

// Failed comparisons of ranges print them as rows, not bytes.
inline void PrintTo(const ResultsSelection::Range& r, std::ostream* out) {
  *out << "{" << r.first << ", " << r.count << "}";
}

}  // namespace kea

namespace kea::test {

class RowSetSelection : public ResultsSelection {
 public:
  RowSetSelection() = default;
  RowSetSelection(std::initializer_list<int> selected) : rows(selected) {}

  // Rows first … first + count - 1 join the selection.
  void selectRange(int first, int count) {
    for (int i = 0; i < count; ++i) rows.insert(first + i);
  }

  std::set<int> rows;

 protected:
  // One range per row, last row first: the readers must sort and merge.
  std::vector<Range> selectedRanges() const override {
    std::vector<Range> out;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) out.push_back({*it, 1});
    return out;
  }
};

class RangeListSelection : public ResultsSelection {
 public:
  RangeListSelection() = default;
  explicit RangeListSelection(std::vector<Range> given) : raw(std::move(given)) {}

  std::vector<Range> raw;

 protected:
  std::vector<Range> selectedRanges() const override { return raw; }
};

}  // namespace kea::test
