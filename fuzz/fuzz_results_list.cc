// Drives a results list with an arbitrary sequence of additions, order
// changes, selections and clears, and checks after every step that the list
// still describes only rows it has, that the blocks of rows it reports
// added account for every row a window would show, and that a selection
// kept in any untidy form reads as sorted, disjoint rows and copies only
// rows the list has.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "search/ResultsList.h"
#include "support/PlainSelection.h"

namespace {

struct Input {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;
  int byte() { return at < size ? data[at++] : -1; }
};

// A window's count of the rows it was told of.
struct Window : kea::ResultsList::Host {
  int shown = 0;
  void cleared() override { shown = 0; }
};

void check(kea::ResultsList& list, Window& window, const kea::test::RangeListSelection& selection) {
  const int n = list.count();
  for (const auto& block : list.takeInsertions()) {
    if (block.count <= 0 || block.first < 0 || block.first > window.shown) std::abort();
    window.shown += block.count;
  }
  if (window.shown != n) std::abort();
  // The rows the untidy ranges name, counted the slow way.
  std::set<long long> named;
  for (const auto& r : selection.raw) {
    for (long long i = r.first; i < static_cast<long long>(r.first) + r.count; ++i) {
      if (i >= 0) named.insert(i);
    }
  }
  int total = 0;
  long long previousEnd = -1;
  for (const auto& r : selection.ranges()) {
    if (r.count <= 0 || r.first <= previousEnd) std::abort();
    for (int i = r.first; i < r.first + r.count; ++i) {
      if (named.count(i) == 0) std::abort();
    }
    previousEnd = static_cast<long long>(r.first) + r.count;
    total += r.count;
  }
  if (total != static_cast<long long>(named.size()) || total != selection.count()) std::abort();
  // Only rows the list has are copied; one entry copies without a line end
  // (and may be empty), several always carry theirs.
  int inList = 0;
  for (long long row : named) inList += row < n ? 1 : 0;
  const std::string copied = list.copyText(selection);
  if ((inList == 0 && !copied.empty()) || (inList > 1 && copied.size() < 2u * inList)) std::abort();
  for (int i = 0; i < n; ++i) {
    if (list.entryAt(i) == nullptr) std::abort();
  }
  if (list.entryAt(n) != nullptr) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in{data, size};
  kea::ResultsList list(200);
  kea::test::RangeListSelection selection;
  Window window;
  list.setHost(&window);
  for (int op = in.byte(); op >= 0; op = in.byte()) {
    const int a = in.byte(), b = in.byte();
    const int row = a < 0 ? 0 : (a % 40) - 5;
    switch (op % 5) {
      case 0:
      case 1: {
        std::string word;
        for (int k = 0; k < (a < 0 ? 1 : a % 8); ++k) {
          const int c = in.byte();
          word += static_cast<char>(c < 0 ? 'a' : c);
        }
        list.add(word, b % 3 == 0 ? " note" : "", b % 5 == 0 ? "+x" : "", 0);
        list.contains(word);
        break;
      }
      case 2: list.setOrder(a % 8, (b & 1) != 0); break;
      case 3:
        if ((b & 1) == 0) selection.raw.clear();
        if (selection.raw.size() < 64) selection.raw.push_back({row, b % 50 - 5});
        break;
      case 4:
        if (a % 16 == 0) {
          list.clear();
        } else if (selection.raw.size() < 64) {
          selection.raw.push_back({0, list.count()});  // Ctrl+A
        }
        break;
    }
    check(list, window, selection);
  }
  return 0;
}
