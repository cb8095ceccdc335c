// Per-length, per-position letter statistics of a dictionary's entries and
// the position tables written from them: for each length L, each position
// p < L and each letter a, log2(c·d/T) rounded, where c counts the entries
// with letter a at p, T all entries counted at p and d the letters seen there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Alphabet.h"

namespace kea {

class PositionCounts {
 public:
  // Counters for the lengths 1 … longest; throws std::bad_alloc when they
  // cannot be had.
  explicit PositionCounts(int longest);

  // Counts one key (canonical characters); keys longer than `longest` are ignored.
  void count(std::string_view key);

  // The K = last·(last+1)/2 tables of alphabet.letterCount bytes, in the
  // order lengths 1 … last, positions 0 … L-1 (last ≤ longest).
  std::string tables(const Alphabet& alphabet, int last) const;

  static int tableCount(int last) { return last * (last + 1) / 2; }

 private:
  std::size_t base(int length, int position) const {
    return (static_cast<std::size_t>(length) * (length - 1) / 2 + position) * 256;
  }

  int longest_;
  std::vector<std::uint32_t> counts_;  // per (length, position): 256 counters by canonical byte
};

// The byte for a letter seen c times where T letters of d kinds were seen.
std::uint8_t positionByte(std::uint64_t c, std::uint64_t d, std::uint64_t total);

}  // namespace kea
