// The pool of a compiled pattern: the byte strings that anagram components
// refer to by index (compiled sub-patterns and 256-byte choice sets).
// Identical strings are stored once, so repeated sub-patterns and choice
// lists share an entry and are counted instead.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kea {

class Pattern {
 public:
  static constexpr int kCapacity = 256;

  // The index of an equal stored string, or of the newly stored one; -1
  // when the pool is full.
  int add(std::span<const std::uint8_t> bytes);

  int count() const { return static_cast<int>(entries_.size()); }
  const std::vector<std::uint8_t>& entry(int index) const { return entries_[static_cast<std::size_t>(index)]; }
  const std::vector<std::vector<std::uint8_t>>& entries() const { return entries_; }
  void clear() { entries_.clear(); }

 private:
  std::vector<std::vector<std::uint8_t>> entries_;
};

}  // namespace kea
