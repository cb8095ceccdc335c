#include "printing/PrintoutFeeder.h"

namespace kea {

void ResultsPrintoutFeeder::restart(bool selectedOnly) {
  selectedOnly_ = selectedOnly;
  ranges_.clear();
  if (selectedOnly) ranges_ = selection_.ranges();
  range_ = 0;
  offset_ = 0;
  counter_ = 0;
}

void ResultsPrintoutFeeder::seek(int index) {
  if (index < 0) index = 0;
  if (!selectedOnly_) {
    counter_ = index;
    return;
  }
  // A printout seeks once per page; skipping whole ranges keeps that cheap.
  range_ = 0;
  offset_ = 0;
  while (range_ < ranges_.size() && index >= ranges_[range_].count) {
    index -= ranges_[range_].count;
    ++range_;
  }
  if (range_ < ranges_.size()) offset_ = index;
}

std::string_view ResultsPrintoutFeeder::next() {
  if (selectedOnly_) {
    if (range_ >= ranges_.size()) return {};
    const int row = ranges_[range_].first + offset_;
    if (++offset_ >= ranges_[range_].count) ++range_, offset_ = 0;
    return list_.textAt(row);
  }
  if (counter_ >= list_.count()) return {};
  return list_.textAt(counter_++);
}

}  // namespace kea
