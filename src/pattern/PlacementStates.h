// The states of a sweep that places anagram blocks (BlockPlacement.h): what
// a state records, the table that finds a state by what it records, and the
// order in which the sweep takes states. Sized once when the pattern is
// compiled; a sweep starts afresh without clearing the tables (entries of
// an earlier sweep carry an older stamp) and allocates nothing.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "pattern/BlockPlacementPlan.h"
#include "pattern/PositionSet.h"

namespace kea::placement {

struct Key {
  std::uint8_t placed[kMaxBlocks];
  // Per letter slot of the decision: letters left free, up to what the
  // other components could take.
  std::uint8_t letters[kMaxLetters];
  // Per early block: letters so far claimed neither by it nor by the
  // blocks before it, or kDropped.
  std::uint16_t unclaimed[kMaxEarly];
  std::uint16_t free;
  // The letter variables as the block that mentions them left them.
  std::uint8_t bound[10];
  std::uint8_t pad[4];
};
// Keys are hashed and compared as whole words, padding included.
static_assert(sizeof(Key) == 80);

struct State {
  Key key;
  PositionSet at;    // the places reached with the key
  PositionSet done;  // those moved on from
  int rank = 0;
  bool queued = false;
};

class StateStore {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // Room for `capacity` states (a power of two, at most 65536).
  void reserve(std::size_t capacity) {
    states_.resize(capacity);
    slots_.resize(2 * capacity);
    slotStamps_.resize(2 * capacity);
    order_.resize(capacity);
  }
  // A new sweep: no states, and the probe's order (newest first) until
  // endProbe.
  void clear() {
    if (++stamp_ == 0) {
      std::fill(slotStamps_.begin(), slotStamps_.end(), 0);
      stamp_ = 1;
    }
    used_ = 0;
    heapSize_ = 0;
    stackSize_ = 0;
    probing_ = true;
  }
  // The state with this key, made with this rank if there is none; kNone
  // when the table is full.
  std::size_t find(const Key& key, int rank);
  State& operator[](std::size_t index) { return states_[index]; }

  bool probing() const { return probing_; }
  // Whether no state is queued.
  bool empty() const { return (probing_ ? stackSize_ : heapSize_) == 0; }
  // Queues a state that is not queued: on the probe's stack, else by rank.
  void queue(std::size_t index) {
    states_[index].queued = true;
    if (probing_) {
      order_[stackSize_++] = static_cast<std::uint32_t>(index);
    } else {
      push(index);
    }
  }
  // The next state to move on, taken off the queue; kNone when none is left.
  std::size_t next() {
    const std::size_t index = probing_ ? (stackSize_ == 0 ? kNone : order_[--stackSize_]) : pop();
    if (index != kNone) states_[index].queued = false;
    return index;
  }
  // The states the probe left are ordered by rank from here on.
  void endProbe();

 private:
  void push(std::size_t index);
  std::size_t pop();

  std::vector<State> states_;
  std::vector<std::uint16_t> slots_;
  std::vector<std::uint32_t> slotStamps_;
  std::uint32_t stamp_ = 0;
  std::size_t used_ = 0;
  // The probe's stack, then the heap by rank, in the same entries.
  std::vector<std::uint32_t> order_;
  std::size_t heapSize_ = 0;
  std::size_t stackSize_ = 0;
  bool probing_ = false;
};

inline std::size_t StateStore::find(const Key& key, int rank) {
  std::uint64_t words[sizeof(Key) / 8];
  std::memcpy(words, &key, sizeof key);
  std::uint64_t h = 0x9E3779B97F4A7C15ull;
  for (const std::uint64_t w : words) {
    h ^= w;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
  }
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = static_cast<std::size_t>(h) & mask;; slot = (slot + 1) & mask) {
    if (slotStamps_[slot] != stamp_) {
      if (used_ == states_.size()) return kNone;
      const std::size_t index = used_++;
      State& state = states_[index];
      state.key = key;
      state.at = {};
      state.done = {};
      state.rank = rank;
      state.queued = false;
      slots_[slot] = static_cast<std::uint16_t>(index);
      slotStamps_[slot] = stamp_;
      return index;
    }
    const std::size_t index = slots_[slot];
    if (std::memcmp(&states_[index].key, &key, sizeof key) == 0) return index;
  }
}

inline void StateStore::push(std::size_t index) {
  std::size_t i = heapSize_++;
  const int rank = states_[index].rank;
  while (i > 0) {
    const std::size_t parent = (i - 1) / 2;
    if (states_[order_[parent]].rank <= rank) break;
    order_[i] = order_[parent];
    i = parent;
  }
  order_[i] = static_cast<std::uint32_t>(index);
}

inline std::size_t StateStore::pop() {
  if (heapSize_ == 0) return kNone;
  const std::size_t top = order_[0];
  const std::uint32_t last = order_[--heapSize_];
  const int rank = states_[last].rank;
  std::size_t i = 0;
  for (;;) {
    std::size_t child = 2 * i + 1;
    if (child >= heapSize_) break;
    if (child + 1 < heapSize_ && states_[order_[child + 1]].rank < states_[order_[child]].rank) ++child;
    if (states_[order_[child]].rank >= rank) break;
    order_[i] = order_[child];
    i = child;
  }
  if (heapSize_ > 0) order_[i] = last;
  return top;
}

// Pushing entry i moves only entries before it, so the stack is ordered in
// place.
inline void StateStore::endProbe() {
  probing_ = false;
  const std::size_t left = stackSize_;
  stackSize_ = 0;
  for (std::size_t i = 0; i < left; ++i) push(order_[i]);
}

}  // namespace kea::placement
