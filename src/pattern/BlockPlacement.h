// Whether an anagram part with sub-pattern blocks matches a stretch, decided
// by a sweep over the stretch's places instead of by trying every window of
// every block in turn (which costs a power of the stretch's length with one
// factor per variable-length block).
//
// It serves the anagram parts whose result is only yes or no: blocks that
// mention no letter variable (so which windows are found first cannot
// matter), and letter variables among the other components only where
// nothing after the part reads the bindings. The sweep reads the stretch
// from left to right; at each place a letter is either left free (for the
// components after the blocks) or starts a window of a block not yet
// placed. A state of the sweep holds how many occurrences of each block are
// placed, how many letters were left free (a count that stops mattering
// above a bound fixed by the pattern), and how many of each letter that the
// other components could take were left free (up to as many as they could
// take); each state keeps the set of places the sweep can have reached with
// it, so that one step moves all of them at once (places it gains after a
// step are moved on by a later one). At the end of the stretch
// the other components run on the letters left free, as they would after
// a search.
//
// The rule that places the blocks in their component order, each trying
// windows before being left out, only matters through the running deficit:
// with r = (letters free) - (letters the other components need) - (fixed
// lengths of the blocks not yet placed), a block left out needs r <= 0 at
// its turn, and the last variable-length block takes exactly r extra
// letters. Both are conditions on how many letters the blocks up to that
// one leave unclaimed. For a block after which every block has a fixed
// length the final state tells; for an earlier one ("early" below) the
// state counts the letters not claimed by it or the blocks before it, for
// as long as that count stays small enough to allow leaving it out; a
// count that grows beyond that is dropped, and the block must then be
// placed in full.
//
// Tables are sized when the pattern is compiled; a sweep that would need
// more states than they hold, or more letters than a state records,
// reports that it cannot tell, and the caller searches instead.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "pattern/BlockPlacementPlan.h"
#include "pattern/PositionSet.h"
#include "pattern/VariableBindings.h"

namespace kea {

class CompiledPattern;
namespace placement {
class PlacementSweep;
}

// What a sweep asks of the matcher that runs it (Matcher implements
// it): the places of the word's letters, its sub-pattern blocks read over
// sets of places or run over one window, its letter-variable bindings, and
// the components after the blocks run on the letters a sweep left free.
class PlacementHost {
 public:
  // Per alphabet index, the places of the word holding that letter, and
  // the letters the word holds.
  virtual const std::array<PositionSet, 256>& letterPlaces() = 0;
  virtual std::span<const std::uint8_t> heldLetters() const = 0;
  // Where a regular block (pool program `entry`) may end from the places in
  // `from`, within a stretch that ends at `end`.
  virtual PositionSet reachBlock(int entry, PositionSet from, int end) = 0;
  // Whether the block matches the window of `length` letters at q with
  // `extra` letters beyond its fixed length; a match keeps the bindings it makes.
  virtual bool runBlock(int entry, int q, int extra, int length) = 0;
  virtual VariableBindings& bindings() = 0;
  // Whether the anagram components from pc of `program` succeed on the
  // stretch of `length` letters at `start` with, free, counts[i] of
  // letters[i] and no other letter, at the deficit r, under the bindings.
  virtual bool componentsFit(int program, int pc, int start, int length, std::span<const std::uint8_t> letters,
                             const std::uint8_t* counts, int r) = 0;

 protected:
  ~PlacementHost() = default;
};

class BlockPlacement {
 public:
  using Plan = placement::Plan;

  // The sweeps for the anagram parts of a compiled program that it can
  // decide, or nullptr when there are none.
  static std::unique_ptr<BlockPlacement> forProgram(const CompiledPattern& pattern);

  explicit BlockPlacement(std::vector<Plan> plans);
  ~BlockPlacement();
  BlockPlacement(const BlockPlacement&) = delete;
  BlockPlacement& operator=(const BlockPlacement&) = delete;

  enum class Outcome { No, Yes, Unknown };

  // Whether the anagram part whose components start at pc of `program`
  // matches the stretch of `length` letters from `start`; Unknown when this
  // part is not one it serves or its tables overflow.
  Outcome decide(PlacementHost& host, int program, int pc, int start, int length);

  // The part's plan, or nullptr when it is not one the sweep serves.
  const Plan* find(int program, int pc) const;

 private:
  std::vector<Plan> plans_;
  // The tables and steps of a sweep (PlacementSweep.h), kept out of this
  // header, which every user of the matcher reads.
  std::unique_ptr<placement::PlacementSweep> sweep_;
  bool busy_ = false;
};

}  // namespace kea
