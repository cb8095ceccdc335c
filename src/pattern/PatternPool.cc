#include "pattern/PatternPool.h"

#include <algorithm>

namespace kea {

int Pattern::add(std::span<const std::uint8_t> bytes) {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (std::ranges::equal(entries_[i], bytes)) return static_cast<int>(i);
  }
  if (count() >= kCapacity) return -1;
  entries_.emplace_back(bytes.begin(), bytes.end());
  return count() - 1;
}

}  // namespace kea
