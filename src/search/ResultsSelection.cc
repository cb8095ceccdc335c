#include "search/ResultsSelection.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace kea {

namespace {

class EmptySelection final : public ResultsSelection {
 protected:
  std::vector<Range> selectedRanges() const override { return {}; }
};

}  // namespace

std::vector<ResultsSelection::Range> ResultsSelection::normalised(std::vector<Range> ranges) {
  // Ends are worked out in 64 bits: a keeper's first + count may not fit an int.
  struct Span {
    std::int64_t from, to;  // [from, to)
  };
  std::vector<Span> spans;
  spans.reserve(ranges.size());
  for (const Range& r : ranges) {
    const std::int64_t from = std::max<std::int64_t>(r.first, 0);
    const std::int64_t to = std::min<std::int64_t>(std::int64_t{r.first} + r.count, INT_MAX);
    if (from < to) spans.push_back({from, to});
  }
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.from < b.from; });
  std::vector<Range> out;
  out.reserve(spans.size());
  std::int64_t from = -1, to = -1;
  for (const Span& s : spans) {
    if (from >= 0 && s.from <= to) {
      to = std::max(to, s.to);
      continue;
    }
    if (from >= 0) out.push_back({static_cast<int>(from), static_cast<int>(to - from)});
    from = s.from, to = s.to;
  }
  if (from >= 0) out.push_back({static_cast<int>(from), static_cast<int>(to - from)});
  return out;
}

int ResultsSelection::count() const {
  // Disjoint ranges within [0, INT_MAX) cannot sum past INT_MAX.
  int total = 0;
  for (const Range& r : ranges()) total += r.count;
  return total;
}

int ResultsSelection::onlyRow() const {
  const std::vector<Range> selected = ranges();
  return selected.size() == 1 && selected.front().count == 1 ? selected.front().first : -1;
}

const ResultsSelection& noSelection() {
  static const EmptySelection empty;
  return empty;
}

}  // namespace kea
