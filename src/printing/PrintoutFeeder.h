// Where a printout gets the entries it prints: every entry of a results
// list, or only the selected ones, delivered one after another from any
// starting point. Reading past the end delivers empty texts.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "search/ResultsList.h"
#include "search/ResultsSelection.h"

namespace kea {

class PrintoutFeeder {
 public:
  virtual ~PrintoutFeeder() = default;
  virtual int totalCount() const = 0;
  virtual int selectedCount() const = 0;
  // Starts again at the first entry; with `selectedOnly` only the selected
  // entries are delivered.
  virtual void restart(bool selectedOnly) = 0;
  // The next entry delivered is number `index` among those being delivered.
  virtual void seek(int index) = 0;
  // The next entry's full text, then advances; empty past the end.
  virtual std::string_view next() = 0;
};

class ResultsPrintoutFeeder : public PrintoutFeeder {
 public:
  // The list and its selection must outlive the feeder and stay unchanged
  // while it delivers (the preview that holds a feeder is modal).
  explicit ResultsPrintoutFeeder(const ResultsList& list, const ResultsSelection& selection = noSelection())
      : list_(list), selection_(selection) {}

  int totalCount() const override { return list_.count(); }
  int selectedCount() const override { return selection_.count(); }
  void restart(bool selectedOnly) override;
  void seek(int index) override;
  std::string_view next() override;

 private:
  const ResultsList& list_;
  const ResultsSelection& selection_;
  bool selectedOnly_ = false;
  // Delivering the selected entries: the selection as read at the restart,
  // and the next entry's place in it.
  std::vector<ResultsSelection::Range> ranges_;
  std::size_t range_ = 0;
  int offset_ = 0;
  // Delivering every entry: the next entry's row.
  int counter_ = 0;
};

}  // namespace kea
