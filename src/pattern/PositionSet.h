// A set of places in a word, one bit per letter position 0 … 127 (a place
// is the position before a letter, so a word of n letters has the places
// 0 … n). The matcher runs patterns without letter variables over whole
// sets of places at once: a run of letters, a wildcard or a sub-pattern
// turns the set of places where it may start into the set where it may end.
#pragma once

#include <bit>
#include <cstdint>

namespace kea {

struct PositionSet {
  std::uint64_t lo = 0;
  std::uint64_t hi = 0;

  static constexpr int kSize = 128;

  static PositionSet single(int at) {
    PositionSet s;
    s.set(at);
    return s;
  }
  // Places from..to, both included; empty when to < from.
  static PositionSet range(int from, int to) {
    if (from < 0) from = 0;
    if (to >= kSize) to = kSize - 1;
    if (to < from) return {};
    return below(to + 1).andNot(below(from));
  }
  // Places 0 … n-1.
  static PositionSet below(int n) {
    PositionSet s;
    if (n <= 0) return s;
    if (n >= kSize) return {~std::uint64_t{0}, ~std::uint64_t{0}};
    if (n >= 64) {
      s.lo = ~std::uint64_t{0};
      s.hi = n == 64 ? 0 : (~std::uint64_t{0} >> (128 - n));
    } else {
      s.lo = (std::uint64_t{1} << n) - 1;
    }
    return s;
  }

  bool empty() const { return (lo | hi) == 0; }
  bool test(int at) const {
    if (at < 0 || at >= kSize) return false;
    return ((at < 64 ? lo >> at : hi >> (at - 64)) & 1) != 0;
  }
  void set(int at) {
    if (at < 0 || at >= kSize) return;
    if (at < 64) {
      lo |= std::uint64_t{1} << at;
    } else {
      hi |= std::uint64_t{1} << (at - 64);
    }
  }
  // Lowest place in the set, or -1.
  int lowest() const {
    if (lo != 0) return std::countr_zero(lo);
    if (hi != 0) return 64 + std::countr_zero(hi);
    return -1;
  }
  // Lowest place at or after `from`, or -1.
  int next(int from) const {
    if (from < 0) from = 0;
    if (from >= kSize) return -1;
    return (*this & range(from, kSize - 1)).lowest();
  }
  int count() const { return std::popcount(lo) + std::popcount(hi); }

  PositionSet operator&(const PositionSet& o) const { return {lo & o.lo, hi & o.hi}; }
  PositionSet operator|(const PositionSet& o) const { return {lo | o.lo, hi | o.hi}; }
  PositionSet& operator|=(const PositionSet& o) {
    lo |= o.lo;
    hi |= o.hi;
    return *this;
  }
  PositionSet& operator&=(const PositionSet& o) {
    lo &= o.lo;
    hi &= o.hi;
    return *this;
  }
  PositionSet andNot(const PositionSet& o) const { return {lo & ~o.lo, hi & ~o.hi}; }
  bool operator==(const PositionSet& o) const { return lo == o.lo && hi == o.hi; }

  // Every place moved n later (places beyond 127 drop out).
  PositionSet later(int n) const {
    if (n <= 0) return *this;
    if (n >= kSize) return {};
    if (n >= 64) return {0, lo << (n - 64)};
    return {lo << n, (hi << n) | (lo >> (64 - n))};
  }
  // Every place moved n earlier (places before 0 drop out).
  PositionSet earlier(int n) const {
    if (n <= 0) return *this;
    if (n >= kSize) return {};
    if (n >= 64) return {hi >> (n - 64), 0};
    return {(lo >> n) | (hi << (64 - n)), hi >> n};
  }

  // The places reachable from the set by steps of one place, where a step
  // may leave place q only when q is in `passable`: each place of the set
  // extended through the run of passable places that starts at it.
  PositionSet spread(PositionSet passable) const {
    PositionSet reached = *this;
    for (int step = 1; step < kSize; step *= 2) {
      reached |= (reached & passable).later(step);
      passable &= passable.earlier(step);
      if (passable.empty()) break;
    }
    return reached;
  }
};

}  // namespace kea
