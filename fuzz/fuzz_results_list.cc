// Drives a results list with an arbitrary sequence of additions, order
// changes, selections and clears, and checks after every step that the list
// still describes only rows it has, and that the blocks of rows it reports
// added account for every row a window would show.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "search/ResultsList.h"

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

void check(kea::ResultsList& list, Window& window) {
  const int n = list.count();
  for (const auto& block : list.takeInsertions()) {
    if (block.count <= 0 || block.first < 0 || block.first > window.shown) std::abort();
    window.shown += block.count;
  }
  if (window.shown != n) std::abort();
  if (list.selectedCount() < 0 || list.selectedCount() > n) std::abort();
  int total = 0, previousEnd = -1;
  for (const auto& s : list.selections()) {
    if (s.length <= 0 || s.start <= previousEnd || s.start + s.length > n) std::abort();
    previousEnd = s.start + s.length;
    total += s.length;
  }
  if (total != list.selectedCount()) std::abort();
  // One empty entry copies as empty text; several always carry line ends.
  const std::string copied = list.copyText();
  if ((total == 0 && !copied.empty()) || (total > 1 && copied.size() < 2u * total)) std::abort();
  for (int i = 0; i < n; ++i) {
    if (list.entryAt(i) == nullptr) std::abort();
  }
  if (list.entryAt(n) != nullptr) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in{data, size};
  kea::ResultsList list(200);
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
      case 3: list.applySelection(row, b % 50 - 5, a % 3, (b & 1) != 0); break;
      case 4:
        if (a % 16 == 0) list.clear(); else list.selectAll();
        break;
    }
    check(list, window);
  }
  return 0;
}
