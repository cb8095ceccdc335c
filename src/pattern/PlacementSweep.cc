// The sweep that places anagram blocks over one stretch (see
// PlacementSweep.h and BlockPlacement.h).
#include "pattern/PlacementSweep.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>
#include <span>

namespace kea::placement {

namespace {

// The value of each letter variable (kUnbound for none).
void boundValues(const VariableBindings& bindings, std::uint8_t* values) {
  for (std::size_t v = 0; v < 10; ++v) values[v] = bindings.live ? bindings.value[v] : VariableBindings::kUnbound;
}

// The highest place of a set that is not empty.
int highestOf(const PositionSet& set) {
  for (int i = static_cast<int>(std::size(set.w)) - 1; i >= 0; --i) {
    if (set.w[i] != 0) return 64 * i + 63 - std::countl_zero(set.w[i]);
  }
  return -1;
}

}  // namespace

bool PlacementSweep::lettersSuffice(PlacementHost& host, const Plan& plan, const Key& key,
                                    const PositionSet& stretch) const {
  std::array<int, 256> demand{};
  const std::array<PositionSet, 256>& masks = host.letterPlaces();
  for (std::size_t e = 0; e < plan.early.size(); ++e) {
    if (key.unclaimed[e] != kDropped) continue;
    const Block& block = plan.blocks[plan.early[e]];
    for (std::size_t i = 0; i + 1 < block.required.size(); i += 2) {
      const std::uint8_t x = block.required[i];
      demand[x] += block.count * block.required[i + 1];
      if (demand[x] > (masks[x] & stretch).count()) return false;
    }
  }
  return true;
}

PlacementSweep::PlacementSweep(const std::vector<Plan>& plans) {
  std::int64_t states = 256;
  std::size_t maxBlocks = 0;
  bool variables = false;
  for (const Plan& plan : plans) {
    states = std::max(states, plan.states);
    maxBlocks = std::max(maxBlocks, plan.blocks.size());
    for (const Block& block : plan.blocks) variables = variables || block.variables;
  }
  states_.reserve(std::bit_ceil(std::min(static_cast<std::size_t>(states), kMaxStates)));
  okFree_.resize(kMaxViable);
  if (variables) {
    outcomes_.resize(kOutcomes * PositionSet::kSize);
    outcomeCounts_.resize(PositionSet::kSize);
    outcomeStamps_.resize(PositionSet::kSize);
  }
  ends_.resize(maxBlocks * PositionSet::kSize);
  endsStamps_.resize(maxBlocks * PositionSet::kSize);
}

// Every step of the sweep raises the rank (a count it holds grows, or a
// count of unclaimed letters is dropped, which counts as one more than its
// bound), except leaving free a letter that changes nothing the state
// records; states are taken in order of rank, so a state is complete when
// it is taken.
int PlacementSweep::rankOf(const Plan& plan, const Key& key) const {
  int rank = key.free;
  for (std::size_t i = 0; i < plan.blocks.size(); ++i) rank += key.placed[i];
  for (std::size_t i = 0; i < slotCount_; ++i) rank += key.letters[i];
  for (std::size_t e = 0; e < plan.early.size(); ++e) {
    rank += key.unclaimed[e] == kDropped ? plan.blocks[plan.early[e]].need + 1 : key.unclaimed[e];
  }
  return rank;
}

bool PlacementSweep::addTo(const Key& key, const PositionSet& from) {
  if (from.empty() || hopelessKey(*current_, key) || !viable(*current_, key)) return true;
  // Places from which the rest of the stretch holds more letters than
  // the key can still leave free or place in windows lead nowhere.
  const int room = roomLeft(*current_, key);
  const PositionSet places = room < end_ ? from.andNot(PositionSet::below(end_ - room)) : from;
  if (places.empty()) return true;
  const std::size_t index = states_.find(key, rankOf(*current_, key));
  if (index == StateStore::kNone) {
    overflow_ = true;
    return false;
  }
  State& state = states_[index];
  const bool fresh = !places.andNot(state.at).empty();
  state.at |= places;
  if (fresh && !state.queued) states_.queue(index);
  return true;
}

// Letters free after block i's turn, for a block after which every block
// has a fixed length: those free at the end and the later blocks' windows.
int PlacementSweep::freeAfter(const Plan& plan, const Key& key, std::size_t i) {
  int n = key.free;
  for (std::size_t j = i + 1; j < plan.blocks.size(); ++j) n += key.placed[j] * plan.blocks[j].fixed;
  return n;
}

// The entry of buildViable's table for the key's placed counts.
std::size_t PlacementSweep::viableIndex(const Plan& plan, const Key& key) const {
  std::size_t v = 0;
  for (std::size_t b = 0; b < plan.blocks.size(); ++b) v += key.placed[b] * radix_[b];
  return v;
}

// Whether no sweep from this key can end in a state that finalFits
// accepts. Counts of free letters and of placed occurrences only grow, so
// once the last block that takes the slack is placed, the letters free
// after its turn only grow too, and they must end exactly at its need.
bool PlacementSweep::hopelessKey(const Plan& plan, const Key& key) const {
  if (plan.last == kNoBlock || key.placed[plan.last] == 0) return false;
  if (key.free >= freeCap_) return true;
  return freeAfter(plan, key, plan.last) > plan.blocks[plan.last].need;
}

// The most letters that a sweep from this key can still take in: free
// letters, as many as a fitting final state allows, and the longest
// windows of the occurrences not placed yet. Once the last block that
// takes the slack is placed, the letters free after its turn must end at
// its need; and the table of buildViable bounds the letters left free.
int PlacementSweep::roomLeft(const Plan& plan, const Key& key) const {
  constexpr int kUnbounded = 1 << 20;
  int free = kUnbounded;
  if (plan.freeLimit < kUnbounded) free = plan.freeLimit - key.free;
  if (plan.last != kNoBlock && key.placed[plan.last] != 0) {
    free = std::min(free, plan.blocks[plan.last].need - freeAfter(plan, key, plan.last));
  }
  if (viableUsed_) {
    const std::size_t v = viableIndex(plan, key);
    if (okFree_[v] < freeCap_) free = std::min(free, okFree_[v] - key.free);
  }
  if (free >= kUnbounded) return kUnbounded;
  int room = std::max(0, free);
  for (std::size_t b = 0; b < plan.blocks.size(); ++b) {
    room += (plan.blocks[b].count - key.placed[b]) * span_[b];
  }
  return room;
}

// The longest window of each block in the stretch (a regular block's
// windows start no earlier than its first start place and end no later
// than its last end place), and the blocks that no window matches: those
// are left out whatever happens. The last one, if it has letters of its
// own, dooms the part (left out, it adds more than any deficit can absorb):
// false; an early one must keep its count of unclaimed letters to the end.
bool PlacementSweep::readStretch(PlacementHost& host, const Plan& plan, int start, int length) {
  const int end = start + length;
  mustKeep_ = 0;
  for (std::size_t b = 0; b < plan.blocks.size(); ++b) {
    const Block& block = plan.blocks[b];
    span_[b] = std::min(length, block.fixed + block.extra);
    placeable_[b] = block.count;
    if (!block.regular) continue;
    const PositionSet ends = host.reachBlock(block.entry, PositionSet::range(start, end), end);
    placeable_[b] = ends.empty() ? 0 : block.count;
    if (!ends.empty()) {
      int first = start;
      while (first < end && endsFrom(host, plan, b, first, end).empty()) ++first;
      span_[b] = std::min(span_[b], highestOf(ends) - first);
      continue;
    }
    if (block.lastRule && block.fixed > 0 && block.extra > block.need) return false;
    if (block.early) {
      if (!mayLeaveOut(plan, b, length)) return false;
      mustKeep_ |= 1u << block.earlySlot;
    }
  }
  return true;
}

// Whether an early block can have an occurrence left out at all: the
// blocks up to it, with it one occurrence short, must be able to claim all
// but `need` letters of the stretch.
bool PlacementSweep::mayLeaveOut(const Plan& plan, std::size_t early, int length) const {
  int claim = 0;
  for (std::size_t j = 0; j <= early && claim < length; ++j) {
    const Block& block = plan.blocks[j];
    const int windows = j == early ? block.count - 1 : block.count;
    claim += windows * span_[j];
  }
  return length - claim <= plan.blocks[early].need;
}

// Whether a sweep that ended with this state describes a placement that
// the running-deficit rule accepts, with the letters left free satisfying
// the other components.
bool PlacementSweep::finalFits(PlacementHost& host, const Plan& plan, const Key& key, int start, int length) const {
  int r = 0;
  return placementFits(plan, key, r) && restFits(host, plan, key, start, length, r);
}

// finalFits without the other components: whether the blocks' placement
// follows the running-deficit rule, and the deficit r it leaves.
bool PlacementSweep::placementFits(const Plan& plan, const Key& key, int& r) const {
  const bool saturated = key.free >= freeCap_;
  const int freeAtEnd = key.free;
  // An early block with an occurrence left out needs its count kept: it
  // was not dropped, so the letters it and the blocks before it leave
  // unclaimed are few enough.
  for (std::size_t e = 0; e < plan.early.size(); ++e) {
    const Block& block = plan.blocks[plan.early[e]];
    if (key.unclaimed[e] == kDropped && key.placed[plan.early[e]] < block.count) return false;
  }
  int penalty = 0;
  for (std::size_t i = 0; i < plan.blocks.size(); ++i) {
    const Block& block = plan.blocks[i];
    if (block.early) continue;
    if (block.lastRule) {
      const int after = freeAfter(plan, key, i);
      if (key.placed[i] == 1) {
        // It took all the slack: nothing was left over after it.
        if (saturated || after != block.need) return false;
        continue;
      }
      // Saturated counts lie beyond the last block's range, or within it
      // when the range reaches past the stretch (see freeCap_).
      const int slack = after - block.need - block.fixed;
      const bool inRange = saturated ? capInRange_ : slack >= 0 && slack <= block.extra;
      if (inRange) {
        if (block.fixed > 0) return false;
      } else {
        if (block.fixed + block.extra > 0 && (saturated || slack + block.fixed + block.extra > 0)) return false;
        penalty += block.fixed + block.extra;
      }
      continue;
    }
    if (block.fixed == 0 || key.placed[i] == block.count) continue;
    if (saturated || freeAfter(plan, key, i) - block.need + penalty > 0) return false;
  }
  // Any deficit above 0 acts alike on the other components.
  r = saturated ? freeCap_ - plan.restLength + penalty : freeAtEnd - plan.restLength + penalty;
  return true;
}

// After a sweep has gone on for a while: per count of placed occurrences
// of each block, the most letters a final state could have left free
// with the placement fitting (or -1), over every state that places at
// least as much, given the blocks that no window matches and the
// stretch's length, which windows and free letters share.
void PlacementSweep::buildViable(const Plan& plan, int length) {
  viableReady_ = true;
  viableUsed_ = false;
  const auto counts = static_cast<std::size_t>(freeCap_ + 1);
  std::size_t vectors = 1;
  for (std::size_t b = 0; b < plan.blocks.size(); ++b) {
    radix_[b] = vectors;
    vectors *= static_cast<std::size_t>(plan.blocks[b].count + 1);
    if (vectors * counts > kMaxViable) return;
  }
  Key key{};
  for (std::size_t v = 0; v < vectors; ++v) {
    okFree_[v] = -1;
    int low = 0;
    int high = 0;
    bool placeable = true;
    for (std::size_t b = 0; b < plan.blocks.size(); ++b) {
      const int n = placedIn(plan, v, b);
      key.placed[b] = static_cast<std::uint8_t>(n);
      placeable = placeable && n <= placeable_[b];
      low += n * plan.blocks[b].fixed;
      high += n * span_[b];
    }
    if (!placeable) continue;
    for (int f = freeCap_; f >= 0; --f) {
      // Letters in windows: the stretch's less those free (at least
      // freeCap_ of them when the count is saturated).
      const int most = length - f;
      const int least = f == freeCap_ ? 0 : most;
      if (most < low || least > high) continue;
      key.free = static_cast<std::uint16_t>(f);
      int r = 0;
      if (placementFits(plan, key, r)) {
        okFree_[v] = static_cast<std::int16_t>(f);
        break;
      }
    }
  }
  // Each entry takes the best of the entries that place one more.
  for (std::size_t v = vectors; v-- > 0;) {
    for (std::size_t b = 0; b < plan.blocks.size(); ++b) {
      if (placedIn(plan, v, b) == plan.blocks[b].count) continue;
      okFree_[v] = std::max(okFree_[v], okFree_[v + radix_[b]]);
    }
  }
  viableUsed_ = true;
}

// Block b's count of placed occurrences in entry v of buildViable's table.
int PlacementSweep::placedIn(const Plan& plan, std::size_t v, std::size_t b) const {
  return static_cast<int>(v / radix_[b] % static_cast<std::size_t>(plan.blocks[b].count + 1));
}

// Whether some final state that places at least what the key places, and
// leaves at least as many letters free, can fit (see buildViable); an
// early block whose count is dropped must be placed in full.
bool PlacementSweep::viable(const Plan& plan, const Key& key) const {
  if (!viableUsed_) return true;
  if (okFree_[viableIndex(plan, key)] < key.free) return false;
  for (std::size_t e = 0; e < plan.early.size(); ++e) {
    const std::size_t b = plan.early[e];
    if (key.unclaimed[e] == kDropped && placeable_[b] < plan.blocks[b].count) return false;
  }
  return true;
}

// The components after the blocks, on the letters the state left free.
bool PlacementSweep::restFits(PlacementHost& host, const Plan& plan, const Key& key, int start, int length,
                              int r) const {
  if (plan.lettersOnly) {
    int missing = 0;
    for (const std::uint8_t takes : plan.takes) missing += takes;
    for (std::size_t i = 0; i < slotCount_; ++i) missing -= key.letters[i];
    return missing == 0 || r + missing <= 0;
  }
  // The bindings a success would leave are not wanted (nothing reads them).
  VariableBindings& bindings = host.bindings();
  VariableValues guard(bindings);
  bindings.live = true;
  std::memcpy(bindings.value.data(), key.bound, sizeof key.bound);
  const std::span<const std::uint8_t> letters(slotLetter_.data(), slotCount_);
  return host.componentsFit(plan.program, plan.restPc, start, length, letters, key.letters, r);
}

// Moves one state's places on: a free letter, or a window of a block.
// Returns true when the state is a final one that fits.
bool PlacementSweep::step(PlacementHost& host, const Plan& plan, std::size_t index, int start, int length) {
  State& state = states_[index];
  const Key key = state.key;
  // The places not moved on from under this key yet.
  const PositionSet doneBefore = state.done;
  PositionSet pending = state.at.andNot(doneBefore);
  state.done |= pending;
  const int end = start + length;
  const PositionSet letters = PositionSet::range(start, end - 1);
  const std::array<PositionSet, 256>& masks = host.letterPlaces();

  const std::optional<PositionSet> kept = dropHopeless(plan, key, pending, end, length);
  if (!kept) return false;
  pending = *kept;
  // Letters the other components could still take more of.
  PositionSet wanted;
  for (std::size_t i = 0; i < slotCount_; ++i) {
    if (key.letters[i] < slotCap_[i]) wanted |= masks[slotLetter_[i]];
  }
  bool counting = false;
  for (std::size_t e = 0; e < plan.early.size(); ++e) counting = counting || key.unclaimed[e] != kDropped;
  if (key.free >= freeCap_ && !counting) {
    // Leaving another letter free changes nothing the state records.
    const PositionSet spread = pending.spread(letters.andNot(wanted));
    pending = spread.andNot(doneBefore);
    state.at |= pending;
    state.done |= pending;
  }
  const PositionSet at = pending;
  if (at.test(end) && finalFits(host, plan, key, start, length)) return true;

  if (!leaveFree(plan, key, at & letters, masks)) return false;

  // A window of a block with occurrences still to place; the probe
  // follows the blocks with the shortest windows first.
  for (std::size_t i = 0; i < plan.blocks.size(); ++i) {
    const std::size_t b = states_.probing() ? probeOrder_[i] : i;
    if (key.placed[b] < plan.blocks[b].count &&
        !placeWindows(host, plan, key, at, b, start, length)) {
      return false;
    }
  }
  return false;
}

// The places of `pending` from which an early block can no longer be left
// out go on under the state that has its count dropped; the rest, or
// nothing when the table overflows.
std::optional<PositionSet> PlacementSweep::dropHopeless(const Plan& plan, const Key& key, PositionSet pending,
                                                        int end, int length) {
  for (std::size_t e = 0; e < plan.early.size(); ++e) {
    if (key.unclaimed[e] == kDropped) continue;
    const std::size_t last = plan.early[e];
    int capacity = 0;
    for (std::size_t j = 0; j <= last && capacity < length; ++j) {
      const Block& block = plan.blocks[j];
      const int windows = block.count - key.placed[j] - (j == last ? 1 : 0);
      capacity += std::max(0, windows) * span_[j];
    }
    const int room = plan.blocks[last].need - key.unclaimed[e];
    const PositionSet hopeless = pending & PositionSet::below(end - room - capacity);
    if (hopeless.empty()) continue;
    pending = pending.andNot(hopeless);
    if (((mustKeep_ >> e) & 1) != 0) continue;
    Key dropped = key;
    dropped.unclaimed[e] = kDropped;
    if (!addTo(dropped, hopeless)) return std::nullopt;
  }
  return pending;
}

// A letter left free at each of the places `rest`: it counts for the other
// components when they could take more of it. False when the table
// overflows.
bool PlacementSweep::leaveFree(const Plan& plan, const Key& key, PositionSet rest,
                               const std::array<PositionSet, 256>& masks) {
  if (rest.empty() || key.free >= plan.freeLimit) return true;
  Key base = key;
  base.free = static_cast<std::uint16_t>(std::min<int>(key.free + 1, freeCap_));
  bool alive = true;
  for (std::size_t e = 0; e < plan.early.size(); ++e) alive = grow(plan, base, e, 1) && alive;
  for (std::size_t i = 0; i < slotCount_ && alive; ++i) {
    if (key.letters[i] >= slotCap_[i]) continue;
    const PositionSet& mask = masks[slotLetter_[i]];
    const PositionSet part = rest & mask;
    if (part.empty()) continue;
    Key next = base;
    ++next.letters[i];
    if (!addTo(next, part.later(1))) return false;
    rest = rest.andNot(mask);
  }
  return !(alive && !rest.empty() && std::memcmp(&base, &key, sizeof key) != 0 && !addTo(base, rest.later(1)));
}

// Adds n letters to an early block's count of unclaimed letters, dropping
// the count once it exceeds what leaving the block out allows. False when
// the count of a block that must be left out is dropped.
bool PlacementSweep::grow(const Plan& plan, Key& key, std::size_t e, int n) const {
  if (key.unclaimed[e] == kDropped) return true;
  const int count = key.unclaimed[e] + n;
  if (count <= plan.blocks[plan.early[e]].need) {
    key.unclaimed[e] = static_cast<std::uint16_t>(count);
    return true;
  }
  key.unclaimed[e] = kDropped;
  return ((mustKeep_ >> e) & 1) == 0;
}

// grow for every early block before block b, by a window of n letters.
bool PlacementSweep::growBefore(const Plan& plan, Key& key, std::size_t b, int n) const {
  bool alive = true;
  for (std::size_t e = 0; e < plan.early.size(); ++e) {
    if (plan.early[e] < b) alive = grow(plan, key, e, n) && alive;
  }
  return alive;
}

// Windows of block b from the places `at`. Early blocks before b whose
// unclaimed letters are still counted count the window's letters, so the
// window's length matters up to the longest that keeps one of them.
bool PlacementSweep::placeWindows(PlacementHost& host, const Plan& plan, const Key& key, const PositionSet& at,
                                  std::size_t b, int start, int length) {
  const Block& block = plan.blocks[b];
  const int end = start + length;
  Key next = key;
  ++next.placed[b];
  // A block placed in full can no longer have an occurrence left out.
  if (block.early && next.placed[b] == block.count) next.unclaimed[block.earlySlot] = kDropped;
  int longestKept = -1;
  for (std::size_t e = 0; e < plan.early.size(); ++e) {
    if (plan.early[e] >= b || key.unclaimed[e] == kDropped) continue;
    longestKept = std::max(longestKept, plan.blocks[plan.early[e]].need - key.unclaimed[e]);
  }
  if (block.variables) return placeBoundWindows(host, plan, key, next, at, b, end, longestKept);
  if (longestKept < 0) {
    if (block.regular) return addTo(next, host.reachBlock(block.entry, at, end));
    PositionSet ends;
    for (int q = at.lowest(); q >= 0; q = at.next(q + 1)) ends |= endsFrom(host, plan, b, q, end);
    return addTo(next, ends);
  }
  return placeSizedWindows(host, plan, next, at, b, end, std::min(longestKept, length));
}

// placeWindows for the block that mentions letter variables: each window
// leaves the bindings of its block's first success. Without counts that
// need the window's length, the ends are gathered per bindings first, for
// one state each.
bool PlacementSweep::placeBoundWindows(PlacementHost& host, const Plan& plan, const Key& key, const Key& next,
                                       const PositionSet& at, std::size_t b, int end, int longestKept) {
  std::size_t kinds = 0;
  for (int q = at.lowest(); q >= 0; q = at.next(q + 1)) {
    const int outcomes = outcomesFrom(host, plan, b, q, end, key.bound);
    if (outcomes < 0) {
      overflow_ = true;
      return false;
    }
    const WindowOutcome* groups = &outcomes_[static_cast<std::size_t>(q) * kOutcomes];
    for (const WindowOutcome& outcome : std::span(groups, static_cast<std::size_t>(outcomes))) {
      if (longestKept < 0) {
        std::size_t g = 0;
        while (g < kinds && std::memcmp(gathered_[g].bound, outcome.bound, 10) != 0) ++g;
        if (g == kinds) {
          if (kinds == kOutcomes) {
            overflow_ = true;
            return false;
          }
          std::memcpy(gathered_[g].bound, outcome.bound, 10);
          gathered_[g].ends = {};
          ++kinds;
        }
        gathered_[g].ends |= outcome.ends;
        continue;
      }
      for (int to = outcome.ends.lowest(); to >= 0; to = outcome.ends.next(to + 1)) {
        Key sized = next;
        std::memcpy(sized.bound, outcome.bound, sizeof sized.bound);
        if (growBefore(plan, sized, b, to - q) && !addTo(sized, PositionSet::single(to))) return false;
      }
    }
  }
  for (std::size_t g = 0; g < kinds; ++g) {
    Key sized = next;
    std::memcpy(sized.bound, gathered_[g].bound, sizeof sized.bound);
    if (!addTo(sized, gathered_[g].ends)) return false;
  }
  return true;
}

// placeWindows while early blocks before b count unclaimed letters: ends
// grouped by window length up to longestKept (one state per length), and
// the longer windows, which drop every count they touch.
bool PlacementSweep::placeSizedWindows(PlacementHost& host, const Plan& plan, const Key& next, const PositionSet& at,
                                       std::size_t b, int end, int longestKept) {
  PositionSet lengths;
  PositionSet far;
  for (int q = at.lowest(); q >= 0; q = at.next(q + 1)) {
    const PositionSet ends = endsFrom(host, plan, b, q, end);
    const PositionSet near = ends & PositionSet::range(q, q + longestKept);
    for (int to = near.lowest(); to >= 0; to = near.next(to + 1)) {
      const auto w = static_cast<std::size_t>(to - q) % byLength_.size();
      if (!lengths.test(static_cast<int>(w))) byLength_[w] = {};
      lengths.set(static_cast<int>(w));
      byLength_[w].set(to);
    }
    far |= ends & PositionSet::range(q + longestKept + 1, end);
  }
  for (int w = lengths.lowest(); w >= 0; w = lengths.next(w + 1)) {
    Key sized = next;
    if (growBefore(plan, sized, b, w) && !addTo(sized, byLength_[static_cast<std::size_t>(w)])) return false;
  }
  Key dropped = next;
  for (std::size_t e = 0; e < plan.early.size(); ++e) {
    if (plan.early[e] >= b || dropped.unclaimed[e] == kDropped) continue;
    if (((mustKeep_ >> e) & 1) != 0) return true;
    dropped.unclaimed[e] = kDropped;
  }
  return addTo(dropped, far);
}

// For the block that mentions letter variables, from start place q with the
// bindings it finds: the windows it matches, grouped by the bindings its
// first success leaves. The bindings it finds are those at the part's start
// (no other block binds any), so one computation per place serves the
// decision. The number of groups, or -1 when they overflow.
int PlacementSweep::outcomesFrom(PlacementHost& host, const Plan& plan, std::size_t b, int q, int end,
                                 const std::uint8_t* bound) {
  const auto at = static_cast<std::size_t>(q);
  if (outcomeStamps_[at] == endsStamp_) return outcomeCounts_[at];
  const Block& block = plan.blocks[b];
  WindowOutcome* groups = &outcomes_[at * kOutcomes];
  std::size_t count = 0;
  VariableBindings& bindings = host.bindings();
  VariableValues outer(bindings);
  const int longest = std::min(block.extra, end - q - block.fixed);
  for (int u = 0; u <= longest; ++u) {
    bindings.live = true;
    std::memcpy(bindings.value.data(), bound, 10);
    if (!host.runBlock(block.entry, q, u, block.fixed + u)) continue;
    std::size_t g = 0;
    while (g < count && std::memcmp(groups[g].bound, bindings.value.data(), 10) != 0) ++g;
    if (g == count) {
      if (count == kOutcomes) return -1;
      std::memcpy(groups[g].bound, bindings.value.data(), 10);
      groups[g].ends = {};
      ++count;
    }
    groups[g].ends.set(q + block.fixed + u);
  }
  outcomeCounts_[at] = static_cast<std::uint8_t>(count);
  outcomeStamps_[at] = endsStamp_;
  return static_cast<int>(count);
}

// The places where a window of block b that starts at q may end, computed
// once per decision: over sets of places for a regular block, else by
// running the block over each window.
PositionSet PlacementSweep::endsFrom(PlacementHost& host, const Plan& plan, std::size_t b, int q, int end) {
  const std::size_t slot = b * PositionSet::kSize + static_cast<std::size_t>(q);
  if (endsStamps_[slot] == endsStamp_) return ends_[slot];
  const Block& block = plan.blocks[b];
  PositionSet ends;
  if (block.regular) {
    ends = host.reachBlock(block.entry, PositionSet::single(q), end);
  } else {
    const int longest = std::min(block.extra, end - q - block.fixed);
    for (int u = 0; u <= longest; ++u) {
      if (host.runBlock(block.entry, q, u, block.fixed + u)) ends.set(q + block.fixed + u);
    }
  }
  ends_[slot] = ends;
  endsStamps_[slot] = endsStamp_;
  return ends;
}

// The letters of the stretch that the other components could take, one
// slot each; false when there are more than a state records.
bool PlacementSweep::readSlots(PlacementHost& host, const Plan& plan, const PositionSet& stretch) {
  const std::array<PositionSet, 256>& masks = host.letterPlaces();
  slotCount_ = 0;
  for (const std::uint8_t x : host.heldLetters()) {
    if (plan.takes[x] == 0 || (masks[x] & stretch).empty()) continue;
    if (slotCount_ == kMaxLetters) return false;
    slotLetter_[slotCount_] = x;
    slotCap_[slotCount_] = plan.takes[x];
    ++slotCount_;
  }
  return true;
}

// The probe takes the newest states first: the windows of the blocks with
// the longest spans are added first, to be followed last.
void PlacementSweep::orderProbe(const Plan& plan) {
  for (std::size_t b = 0; b < plan.blocks.size(); ++b) {
    std::size_t i = b;
    for (; i > 0 && span_[probeOrder_[i - 1]] < span_[b]; --i) probeOrder_[i] = probeOrder_[i - 1];
    probeOrder_[i] = b;
  }
}

PlacementSweep::Outcome PlacementSweep::decide(PlacementHost& host, const Plan& plan, int start, int length) {
  current_ = &plan;
  end_ = start + length;
  viableReady_ = false;
  viableUsed_ = false;
  const std::array<PositionSet, 256>& masks = host.letterPlaces();
  const PositionSet stretch = PositionSet::range(start, end_ - 1);
  if (!readSlots(host, plan, stretch)) return Outcome::Unknown;
  // When the last block's range reaches past the stretch, no count of free
  // letters leaves it: counts from just past its fixed length on act alike.
  freeCap_ = plan.freeCap;
  capInRange_ = false;
  for (const Block& block : plan.blocks) {
    if (!block.lastRule || block.need + block.fixed + block.extra < length) continue;
    freeCap_ = plan.nearCap;
    capInRange_ = true;
  }
  if (++endsStamp_ == 0) {
    std::fill(endsStamps_.begin(), endsStamps_.end(), 0);
    std::fill(outcomeStamps_.begin(), outcomeStamps_.end(), 0);
    endsStamp_ = 1;
  }
  // A last block that takes the slack and cannot be left out leaves the
  // deficit at 0: the other components must then succeed on the letters
  // left free, which are at most all the stretch's letters; more letters
  // never make them fail.
  for (const Block& block : plan.blocks) {
    if (!block.lastRule || block.fixed == 0 || block.extra <= block.need) continue;
    Key all{};
    for (std::size_t i = 0; i < slotCount_; ++i) {
      const int count = (masks[slotLetter_[i]] & stretch).count();
      all.letters[i] = static_cast<std::uint8_t>(std::min<int>(count, slotCap_[i]));
    }
    boundValues(host.bindings(), all.bound);
    if (!restFits(host, plan, all, start, length, 0)) return Outcome::No;
  }
  if (!readStretch(host, plan, start, length)) return Outcome::No;
  orderProbe(plan);
  // First the sweep in which every block is placed in full: it needs no
  // counts of unclaimed letters, and most stretches that match are found
  // by it. Then, if some early block could be left out at all, the sweep
  // that allows it.
  Key key{};
  for (std::size_t e = 0; e < plan.early.size(); ++e) key.unclaimed[e] = kDropped;
  boundValues(host.bindings(), key.bound);
  if (mustKeep_ == 0 && lettersSuffice(host, plan, key, stretch)) {
    const Outcome placedInFull = sweep(host, plan, key, start, length);
    if (placedInFull != Outcome::No) return placedInFull;
  }
  bool someLeftOut = false;
  for (std::size_t e = 0; e < plan.early.size(); ++e) {
    if (!mayLeaveOut(plan, plan.early[e], length)) continue;
    key.unclaimed[e] = 0;
    someLeftOut = true;
  }
  return someLeftOut && lettersSuffice(host, plan, key, stretch) ? sweep(host, plan, key, start, length)
                                                                   : Outcome::No;
}

PlacementSweep::Outcome PlacementSweep::sweep(PlacementHost& host, const Plan& plan, const Key& first, int start,
                                              int length) {
  // First a short probe that follows the newest states (depth first),
  // which most often reaches a final state that fits at once when there is
  // one; then the states in order of rank, each taken when complete. A
  // state keeps the places it has moved on from, so that the places it
  // gains after the probe took it are moved on from later.
  states_.clear();
  overflow_ = false;
  // Over a long stretch a sweep costs more than the table: it is built
  // first, which settles at once a stretch where no placement can fit.
  if (!viableReady_ && length >= kLongStretch) buildViable(plan, length);
  if (!addTo(first, PositionSet::single(start))) return Outcome::Unknown;
  for (int budget = kProbeSteps; budget > 0; --budget) {
    const std::size_t index = states_.next();
    if (index == StateStore::kNone) break;
    if (step(host, plan, index, start, length)) return Outcome::Yes;
    if (overflow_) return Outcome::Unknown;
  }
  states_.endProbe();
  if (!states_.empty() && !viableReady_) buildViable(plan, length);
  for (std::size_t index = states_.next(); index != StateStore::kNone; index = states_.next()) {
    if (!viable(plan, states_[index].key)) continue;
    if (step(host, plan, index, start, length)) return Outcome::Yes;
    if (overflow_) return Outcome::Unknown;
  }
  return Outcome::No;
}

}  // namespace kea::placement
