// The selection iterator only walks forwards, so seeking among the
// selected entries starts it again and skips; a printout seeks once per
// page, which keeps that cheap enough.
#include "printing/PrintoutFeeder.h"

namespace kea {

void ResultsPrintoutFeeder::restart(bool selectedOnly) {
  iterator_.reset();
  if (selectedOnly) iterator_ = std::make_unique<ResultsList::SelectionIterator>(list_);
  counter_ = 0;
}

void ResultsPrintoutFeeder::seek(int index) {
  if (index < 0) index = 0;
  if (!iterator_) {
    counter_ = index;
    return;
  }
  iterator_->reset();
  for (int skipped = 0; skipped < index; ++skipped) {
    if (iterator_->next() < 0) break;
  }
}

std::string_view ResultsPrintoutFeeder::next() {
  if (iterator_) {
    const int row = iterator_->next();
    return row < 0 ? std::string_view{} : list_.textAt(row);
  }
  if (counter_ >= list_.count()) return {};
  return list_.textAt(counter_++);
}

}  // namespace kea
