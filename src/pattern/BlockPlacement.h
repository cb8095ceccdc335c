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
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "pattern/PositionSet.h"
#include "pattern/VariableBindings.h"

namespace kea {

class CompiledPattern;

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
  static constexpr int kMaxBlocks = 16;
  static constexpr int kMaxLetters = 16;
  static constexpr int kMaxEarly = kMaxBlocks;
  // Most states a sweep may hold: enough for the parts a user would type
  // many times over; the table of a compiled pattern is sized to what its
  // parts can reach, up to this.
  static constexpr int kMaxStates = 65536;

  // The sweeps for the anagram parts of a compiled program that it can
  // decide, or nullptr when there are none.
  static std::unique_ptr<BlockPlacement> forProgram(const CompiledPattern& pattern);

  enum class Outcome { No, Yes, Unknown };

  // Whether the anagram part whose components start at pc of `program`
  // matches the stretch of `length` letters from `start`; Unknown when this
  // part is not one it serves or its tables overflow.
  Outcome decide(PlacementHost& host, int program, int pc, int start, int length);

  struct Block {
    int entry = 0;        // program number of the block's pattern
    int count = 0;
    int fixed = 0;
    int extra = 0;        // header extra, at most 101
    bool regular = false;   // read over sets of places
    bool variables = false;  // mentions letter variables (one such block at most)
    bool lastRule = false;  // takes all remaining slack
    bool early = false;     // fixed > 0 and a variable-length block follows
    int earlySlot = -1;
    int need = 0;           // letters needed after it: other components and later blocks' fixed lengths
    // (alphabet index, count) pairs: letters every window of the block holds.
    std::vector<std::uint8_t> required;
  };
  struct Plan {
    // Some block is run over each window one by one: a short search first.
    bool searchFirst = false;
    int program = 0;
    int pc = 0;
    int restPc = 0;       // the first component after the blocks
    int anagramLength = 0;
    std::vector<Block> blocks;
    std::vector<int> early;   // indices of early blocks
    // What the other components could take of each letter: the letters
    // component's counts, each choice list's picks for its letters, every
    // variable's occurrences for every letter.
    std::array<std::uint8_t, 256> takes{};
    bool lettersOnly = true;  // no choice lists or letter variables
    int restLength = 0;   // letters the components after the blocks take
    int freeCap = 0;      // counts of free letters at or above this all behave alike
    // The same when the last block's range reaches past the stretch: its
    // fixed length and what follows it, beside the other components' needs.
    int nearCap = 0;
    int last = -1;        // the block that takes the slack, if any
    int freeLimit = 0;    // no fitting sweep leaves more letters free than this
    std::int64_t states = 0;  // how many states a sweep can reach at most
  };
  // The part's plan, or nullptr when it is not one the sweep serves.
  const Plan* find(int program, int pc) const;

 private:
  // The steps of forProgram for one anagram part.
  static bool readBlocks(const CompiledPattern& pattern, std::size_t program, std::size_t a, Plan& plan, int& fixedTotal);
  static bool readRest(const CompiledPattern& pattern, std::size_t program, std::size_t a, Plan& plan);
  static bool layOut(Plan& plan, int fixedTotal);
  static void readRequired(const CompiledPattern& pattern, int program, int pc, int depth, std::vector<std::uint8_t>& out);

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
  static_assert(sizeof(Key) == 80);
  static constexpr std::uint16_t kDropped = 0xFFFF;
  struct State {
    Key key;
    PositionSet at;    // the places reached with the key
    PositionSet done;  // those moved on from
    int rank = 0;
    bool queued = false;
  };
  // How many states the probe before the sweep in order of rank takes.
  static constexpr int kProbeSteps = 64;

  // Whether the stretch holds the letters that the blocks the key must
  // place in full require between them.
  bool lettersSuffice(PlacementHost& host, const Plan& plan, const Key& key, const PositionSet& stretch) const;
  bool hopelessKey(const Plan& plan, const Key& key) const;
  int roomLeft(const Plan& plan, const Key& key) const;
  int stateFor(const Key& key, int rank);
  void push(int state);
  int pop();
  bool finalFits(PlacementHost& host, const Plan& plan, const Key& key, int start, int length) const;
  bool placementFits(const Plan& plan, const Key& key, int& r) const;
  void buildViable(const Plan& plan, int length);
  bool viable(const Plan& plan, const Key& key) const;
  bool restFits(PlacementHost& host, const Plan& plan, const Key& key, int start, int length, int r) const;
  bool step(PlacementHost& host, const Plan& plan, int state, int start, int length);
  std::optional<PositionSet> dropHopeless(const Plan& plan, const Key& key, PositionSet pending, int end, int length);
  bool leaveFree(const Plan& plan, const Key& key, PositionSet rest, const std::array<PositionSet, 256>& masks);
  bool addTo(const Key& key, const PositionSet& from);
  PositionSet endsFrom(PlacementHost& host, const Plan& plan, int b, int q, int end);
  bool placeWindows(PlacementHost& host, const Plan& plan, const Key& key, const PositionSet& at, int b, int start,
                    int length);
  int rankOf(const Plan& plan, const Key& key) const;
  bool readStretch(PlacementHost& host, const Plan& plan, int start, int length);
  bool mayLeaveOut(const Plan& plan, int early, int length) const;
  bool grow(const Plan& plan, Key& key, int e, int n) const;
  Outcome sweep(PlacementHost& host, const Plan& plan, const Key& first, int start, int length);
  Outcome decideFor(PlacementHost& host, const Plan* plan, int start, int length);

  std::vector<Plan> plans_;
  const Plan* current_ = nullptr;
  std::vector<State> states_;
  std::vector<std::uint16_t> slots_;
  std::vector<std::uint32_t> slotStamps_;
  std::vector<int> heap_;
  int heapSize_ = 0;
  int stackSize_ = 0;  // the probe keeps its stack in heap_
  bool probing_ = false;
  int used_ = 0;
  int capacity_ = 0;
  std::uint32_t stamp_ = 0;
  bool overflow_ = false;
  bool busy_ = false;
  // The decision's cap on counts of free letters (the plan's freeCap or
  // nearCap), and whether counts at the cap lie within the last block's range.
  int freeCap_ = 0;
  bool capInRange_ = false;
  int end_ = 0;  // where the stretch decided ends
  // The letters of the stretch that the other components could take: their
  // alphabet indices and the most that matters of each, per slot.
  std::array<std::uint8_t, kMaxLetters> slotLetter_{};
  std::array<std::uint8_t, kMaxLetters> slotCap_{};
  int slotCount_ = 0;
  // For the block that mentions letter variables, per start place: where
  // its windows may end, grouped by the bindings each leaves.
  struct WindowOutcome {
    std::uint8_t bound[10];
    PositionSet ends;
  };
  static constexpr int kOutcomes = 32;
  std::vector<WindowOutcome> outcomes_;        // kOutcomes per start place
  std::vector<std::uint8_t> outcomeCounts_;
  std::vector<std::uint32_t> outcomeStamps_;
  int outcomesFrom(PlacementHost& host, const Plan& plan, int b, int q, int end, const std::uint8_t* bound);
  // placeWindows' scratch (each entry is cleared when first used): the ends
  // per bindings left, and per window length.
  std::array<WindowOutcome, kOutcomes> gathered_{};
  std::array<PositionSet, PositionSet::kSize> byLength_{};
  // Per block and start place: where a window of the block may end.
  std::vector<PositionSet> ends_;
  std::vector<std::uint32_t> endsStamps_;
  std::uint32_t endsStamp_ = 0;
  // Per block, the longest window it can have in the stretch decided.
  std::array<int, kMaxBlocks> span_{};
  // The blocks in the order a probe adds their windows.
  std::array<int, kMaxBlocks> probeOrder_{};
  // Per block, the most occurrences a placement can hold: none when no
  // window in the stretch matches a regular block.
  std::array<int, kMaxBlocks> placeable_{};
  // The table of buildViable, indexed by the placed counts in mixed radix.
  static constexpr std::int64_t kMaxViable = 4096;
  static constexpr int kLongStretch = 24;
  std::vector<std::int16_t> okFree_;
  std::array<int, kMaxBlocks> radix_{};
  bool viableReady_ = false;
  bool viableUsed_ = false;
  // Early blocks, by slot, that no window matches: they must be left out.
  std::uint32_t mustKeep_ = 0;
};

}  // namespace kea
