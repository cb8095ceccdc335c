// The sweep that places anagram blocks (BlockPlacement.h) over one
// stretch: its tables, sized from the plans when the pattern is compiled,
// and its steps over the states (PlacementStates.h), with the pruning of
// states that cannot lead to a fit and the checks of a finished sweep
// against the running-deficit rule and the other components.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "pattern/BlockPlacement.h"
#include "pattern/BlockPlacementPlan.h"
#include "pattern/PlacementStates.h"
#include "pattern/PositionSet.h"

namespace kea::placement {

class PlacementSweep {
 public:
  using Outcome = BlockPlacement::Outcome;

  // Tables for every plan of the pattern.
  explicit PlacementSweep(const std::vector<Plan>& plans);

  // Whether the part of `plan` matches the stretch of `length` letters
  // from `start` (at most PositionSet::kSize - 1).
  Outcome decide(PlacementHost& host, const Plan& plan, int start, int length);

 private:
  // Most states a sweep may hold: enough for the parts a user would type
  // many times over; the table of a compiled pattern is sized to what its
  // parts can reach, up to this (the table's slots hold 16-bit indices).
  static constexpr std::size_t kMaxStates = 65536;
  // How many states the probe before the sweep in order of rank takes.
  static constexpr int kProbeSteps = 64;

  // Whether the stretch holds the letters that the blocks the key must
  // place in full require between them.
  bool lettersSuffice(PlacementHost& host, const Plan& plan, const Key& key, const PositionSet& stretch) const;
  static int freeAfter(const Plan& plan, const Key& key, std::size_t i);
  std::size_t viableIndex(const Plan& plan, const Key& key) const;
  bool hopelessKey(const Plan& plan, const Key& key) const;
  int roomLeft(const Plan& plan, const Key& key) const;
  bool finalFits(PlacementHost& host, const Plan& plan, const Key& key, int start, int length) const;
  bool placementFits(const Plan& plan, const Key& key, int& r) const;
  void buildViable(const Plan& plan, int length);
  int placedIn(const Plan& plan, std::size_t v, std::size_t b) const;
  bool viable(const Plan& plan, const Key& key) const;
  bool restFits(PlacementHost& host, const Plan& plan, const Key& key, int start, int length, int r) const;
  bool step(PlacementHost& host, const Plan& plan, std::size_t index, int start, int length);
  std::optional<PositionSet> dropHopeless(const Plan& plan, const Key& key, PositionSet pending, int end, int length);
  bool leaveFree(const Plan& plan, const Key& key, PositionSet rest, const std::array<PositionSet, 256>& masks);
  bool addTo(const Key& key, const PositionSet& from);
  PositionSet endsFrom(PlacementHost& host, const Plan& plan, std::size_t b, int q, int end);
  bool placeWindows(PlacementHost& host, const Plan& plan, const Key& key, const PositionSet& at, std::size_t b,
                    int start, int length);
  bool placeBoundWindows(PlacementHost& host, const Plan& plan, const Key& key, const Key& next,
                         const PositionSet& at, std::size_t b, int end, int longestKept);
  bool placeSizedWindows(PlacementHost& host, const Plan& plan, const Key& next, const PositionSet& at,
                         std::size_t b, int end, int longestKept);
  int rankOf(const Plan& plan, const Key& key) const;
  bool readStretch(PlacementHost& host, const Plan& plan, int start, int length);
  bool mayLeaveOut(const Plan& plan, std::size_t early, int length) const;
  bool grow(const Plan& plan, Key& key, std::size_t e, int n) const;
  bool growBefore(const Plan& plan, Key& key, std::size_t b, int n) const;
  Outcome sweep(PlacementHost& host, const Plan& plan, const Key& first, int start, int length);
  bool readSlots(PlacementHost& host, const Plan& plan, const PositionSet& stretch);
  void orderProbe(const Plan& plan);

  const Plan* current_ = nullptr;
  StateStore states_;
  bool overflow_ = false;
  // The decision's cap on counts of free letters (the plan's freeCap or
  // nearCap), and whether counts at the cap lie within the last block's range.
  int freeCap_ = 0;
  bool capInRange_ = false;
  int end_ = 0;  // where the stretch decided ends
  // The letters of the stretch that the other components could take: their
  // alphabet indices and the most that matters of each, per slot.
  std::array<std::uint8_t, kMaxLetters> slotLetter_{};
  std::array<std::uint8_t, kMaxLetters> slotCap_{};
  std::size_t slotCount_ = 0;
  // For the block that mentions letter variables, per start place: where
  // its windows may end, grouped by the bindings each leaves.
  struct WindowOutcome {
    std::uint8_t bound[10];
    PositionSet ends;
  };
  static constexpr std::size_t kOutcomes = 32;
  std::vector<WindowOutcome> outcomes_;        // kOutcomes per start place
  std::vector<std::uint8_t> outcomeCounts_;
  std::vector<std::uint32_t> outcomeStamps_;
  int outcomesFrom(PlacementHost& host, const Plan& plan, std::size_t b, int q, int end, const std::uint8_t* bound);
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
  std::array<std::size_t, kMaxBlocks> probeOrder_{};
  // Per block, the most occurrences a placement can hold: none when no
  // window in the stretch matches a regular block.
  std::array<int, kMaxBlocks> placeable_{};
  // The table of buildViable, indexed by the placed counts in mixed radix.
  static constexpr std::size_t kMaxViable = 4096;
  static constexpr int kLongStretch = 24;
  std::vector<std::int16_t> okFree_;
  std::array<std::size_t, kMaxBlocks> radix_{};
  bool viableReady_ = false;
  bool viableUsed_ = false;
  // Early blocks, by slot, that no window matches: they must be left out.
  std::uint32_t mustKeep_ = 0;
};

}  // namespace kea::placement
