// Where a printout gets the entries it prints: every entry of a results
// list, or only the selected ones, delivered one after another from any
// starting point. Reading past the end delivers empty texts.
#pragma once

#include <memory>
#include <string_view>

#include "search/ResultsList.h"

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
  // The list must outlive the feeder and stay unchanged while it delivers.
  explicit ResultsPrintoutFeeder(const ResultsList& list) : list_(list) {}

  int totalCount() const override { return list_.count(); }
  int selectedCount() const override { return list_.selectedCount(); }
  void restart(bool selectedOnly) override;
  void seek(int index) override;
  std::string_view next() override;

 private:
  const ResultsList& list_;
  // Present only while the selected entries are delivered.
  std::unique_ptr<ResultsList::SelectionIterator> iterator_;
  int counter_ = 0;
};

}  // namespace kea
