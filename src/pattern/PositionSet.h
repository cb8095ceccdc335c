// A set of places in a word, one bit per place. A place is the position
// before a letter, so a word of n letters has the places 0 … n; in a word
// with significant punctuation a place is an index of the plane of its
// significant characters. The matcher runs patterns without letter
// variables over whole sets of places at once: a run of letters, a
// wildcard or a sub-pattern turns the set of places where it may start
// into the set where it may end.
#pragma once

#include <bit>
#include <cstdint>

namespace kea {

template <int Words>
struct BasicPositionSet {
  std::uint64_t w[Words] = {};

  static constexpr int kSize = 64 * Words;

  static BasicPositionSet single(int at) {
    BasicPositionSet s;
    s.set(at);
    return s;
  }
  // Places 0 … n-1.
  static BasicPositionSet below(int n) {
    BasicPositionSet s;
    for (int i = 0; i < Words; ++i) {
      const int bits = n - 64 * i;
      if (bits >= 64) {
        s.w[i] = ~std::uint64_t{0};
      } else if (bits > 0) {
        s.w[i] = (std::uint64_t{1} << bits) - 1;
      }
    }
    return s;
  }
  // Places from..to, both included; empty when to < from.
  static BasicPositionSet range(int from, int to) {
    if (from < 0) from = 0;
    if (to >= kSize) to = kSize - 1;
    if (to < from) return {};
    return below(to + 1).andNot(below(from));
  }

  bool empty() const {
    std::uint64_t any = 0;
    for (int i = 0; i < Words; ++i) any |= w[i];
    return any == 0;
  }
  bool test(int at) const { return at >= 0 && at < kSize && ((w[at >> 6] >> (at & 63)) & 1) != 0; }
  void set(int at) {
    if (at >= 0 && at < kSize) w[at >> 6] |= std::uint64_t{1} << (at & 63);
  }
  // Lowest place in the set, or -1.
  int lowest() const {
    for (int i = 0; i < Words; ++i) {
      if (w[i] != 0) return 64 * i + std::countr_zero(w[i]);
    }
    return -1;
  }
  // Lowest place at or after `from`, or -1.
  int next(int from) const {
    if (from < 0) from = 0;
    for (int i = from >> 6; i < Words; ++i) {
      const std::uint64_t bits = i == (from >> 6) ? w[i] & (~std::uint64_t{0} << (from & 63)) : w[i];
      if (bits != 0) return 64 * i + std::countr_zero(bits);
    }
    return -1;
  }
  int count() const {
    int n = 0;
    for (int i = 0; i < Words; ++i) n += std::popcount(w[i]);
    return n;
  }

  BasicPositionSet operator&(const BasicPositionSet& o) const {
    BasicPositionSet s;
    for (int i = 0; i < Words; ++i) s.w[i] = w[i] & o.w[i];
    return s;
  }
  BasicPositionSet operator|(const BasicPositionSet& o) const {
    BasicPositionSet s;
    for (int i = 0; i < Words; ++i) s.w[i] = w[i] | o.w[i];
    return s;
  }
  BasicPositionSet& operator|=(const BasicPositionSet& o) {
    for (int i = 0; i < Words; ++i) w[i] |= o.w[i];
    return *this;
  }
  BasicPositionSet& operator&=(const BasicPositionSet& o) {
    for (int i = 0; i < Words; ++i) w[i] &= o.w[i];
    return *this;
  }
  BasicPositionSet andNot(const BasicPositionSet& o) const {
    BasicPositionSet s;
    for (int i = 0; i < Words; ++i) s.w[i] = w[i] & ~o.w[i];
    return s;
  }
  bool operator==(const BasicPositionSet& o) const {
    for (int i = 0; i < Words; ++i) {
      if (w[i] != o.w[i]) return false;
    }
    return true;
  }

  // Every place moved n later (places beyond the last drop out).
  BasicPositionSet later(int n) const {
    if (n <= 0) return *this;
    BasicPositionSet s;
    const int words = n >> 6;
    const int bits = n & 63;
    for (int i = Words - 1; i >= words; --i) {
      std::uint64_t v = w[i - words] << bits;
      if (bits != 0 && i - words - 1 >= 0) v |= w[i - words - 1] >> (64 - bits);
      s.w[i] = v;
    }
    return s;
  }
  // Every place moved n earlier (places before 0 drop out).
  BasicPositionSet earlier(int n) const {
    if (n <= 0) return *this;
    BasicPositionSet s;
    const int words = n >> 6;
    const int bits = n & 63;
    for (int i = 0; i + words < Words; ++i) {
      std::uint64_t v = w[i + words] >> bits;
      if (bits != 0 && i + words + 1 < Words) v |= w[i + words + 1] << (64 - bits);
      s.w[i] = v;
    }
    return s;
  }

  // The places reachable from the set by steps of one place, where a step
  // may leave place q only when q is in `passable`: each place of the set
  // extended through the run of passable places that starts at it.
  BasicPositionSet spread(BasicPositionSet passable) const {
    BasicPositionSet reached = *this;
    for (int step = 1; step < kSize; step *= 2) {
      reached |= (reached & passable).later(step);
      passable &= passable.earlier(step);
      if (passable.empty()) break;
    }
    return reached;
  }
};

// Places of a word's letters (at most 100, so 128 bits).
using PositionSet = BasicPositionSet<2>;
// Indices of a word's significant-character plane (at most 744).
using PlaneSet = BasicPositionSet<12>;

}  // namespace kea
