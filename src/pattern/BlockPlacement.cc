// The sweep that places anagram blocks (see BlockPlacement.h): the plans
// built when a pattern is compiled, the states and their order, the steps
// of the sweep, and the checks of a finished sweep against the
// running-deficit rule and the other components.
#include "pattern/BlockPlacement.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>

#include "pattern/CompiledPattern.h"

namespace kea {

namespace {

void addTakes(std::array<std::uint8_t, 256>& takes, int x, int n) {
  takes[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(std::min(255, takes[static_cast<std::size_t>(x)] + n));
}

// The value of each letter variable (kUnbound for none).
void boundValues(const VariableBindings& bindings, std::uint8_t* values) {
  for (int v = 0; v < 10; ++v) {
    values[v] = bindings.live ? bindings.value[static_cast<std::size_t>(v)] : VariableBindings::kUnbound;
  }
}

// The highest place of a set that is not empty.
int highestOf(const PositionSet& set) {
  for (int i = static_cast<int>(std::size(set.w)) - 1; i >= 0; --i) {
    if (set.w[i] != 0) return 64 * i + 63 - std::countl_zero(set.w[i]);
  }
  return -1;
}

}  // namespace

// The letters of the runs of the template from pc (a segment of `program`)
// and of the sub-patterns in it, which every match holds; added to `out` as
// (alphabet index, count) pairs. What follows an element it does not read
// is left out, and so is what lies deeper than a few sub-patterns.
void BlockPlacement::readRequired(const CompiledPattern& pattern, int program, int pc, int depth,
                                  std::vector<std::uint8_t>& out) {
  const Code code = pattern.code(program);
  const auto add = [&out](std::uint8_t x) {
    for (std::size_t i = 0; i < out.size(); i += 2) {
      if (out[i] != x) continue;
      if (out[i + 1] < 255) ++out[i + 1];
      return;
    }
    out.push_back(x);
    out.push_back(1);
  };
  while (pc >= 0 && pc < code.size() && depth < 8) {
    const Inst here(code, pc);
    if (here.isRun()) {
      for (RunItem item = here.firstItem(); !item.atEnd(); item = item.next()) {
        if (item.isLetter()) add(item.letter());
      }
      pc = here.runEnd();
    } else if (here.isSkip()) {
      pc = here.nested();
    } else if (here.is(OP_EXACT) || here.is(OP_PUNCT)) {
      pc = here.next();
    } else if (here.isPatternHeader()) {
      readRequired(pattern, program, here.body(), depth + 1, out);
      const int end = pattern.patternEnd(program, pc);
      if (end <= pc) return;
      pc = end;
    } else {
      return;  // the segment's OP_END, or an element not read
    }
  }
}

bool BlockPlacement::lettersSuffice(PlacementHost& host, const Plan& plan, const Key& key,
                                    const PositionSet& stretch) const {
  std::array<int, 256> demand{};
  const std::array<PositionSet, 256>& masks = host.letterPlaces();
  for (std::size_t e = 0; e < plan.early.size(); ++e) {
    if (key.unclaimed[e] != kDropped) continue;
    const Block& block = plan.blocks[static_cast<std::size_t>(plan.early[e])];
    for (std::size_t i = 0; i + 1 < block.required.size(); i += 2) {
      const std::uint8_t x = block.required[i];
      demand[x] += block.count * block.required[i + 1];
      if (demand[x] > (masks[x] & stretch).count()) return false;
    }
  }
  return true;
}

// The sub-pattern blocks at the start of an anagram part's components, with
// what the plan needs of each; false when the sweep cannot serve them.
bool BlockPlacement::readBlocks(const CompiledPattern& pattern, std::size_t program, std::size_t a, Plan& plan,
                                int& fixedTotal) {
  const PatternShape& shape = pattern.shapes()[program];
  Inst component = pattern.inst(static_cast<int>(program), plan.pc);
  bool fits = true;
  int variableBlocks = 0;
  for (; isBlockOpcode(component.opcode()); component = component.nextInst()) {
    Block block;
    block.entry = 1 + component.poolIndex();
    block.count = component.occurrences();
    const Inst header = pattern.inst(block.entry, 0);
    block.fixed = header.fixedLength();
    block.extra = header.extraLength();
    block.lastRule = component.is(OP_PATTERN_LAST) && block.count == 1;
    block.regular = pattern.regular(block.entry, 0);
    readRequired(pattern, block.entry, header.body(), 0, block.required);
    // Blocks that mention letter variables bind them in their component
    // order; with one such block, and only in the outermost anagram
    // part (nothing after it reads the bindings), that order is the
    // sweep's too.
    const PatternShape& blockShape = pattern.shapes()[static_cast<std::size_t>(block.entry)];
    block.variables = blockShape.variables.empty() || blockShape.variables[0] != 0;
    if (block.variables) {
      if (variableBlocks++ > 0 || block.count != 1 || program != 0 || shape.anagramOwners[a] != 0) fits = false;
    }
    fixedTotal += block.count * block.fixed;
    plan.blocks.push_back(block);
  }
  plan.restPc = component.pc();
  return fits;
}

// What the components after the blocks take of each letter; false when one
// of them rules the sweep out.
bool BlockPlacement::readRest(const CompiledPattern& pattern, std::size_t program, std::size_t a, Plan& plan) {
  const PatternShape& shape = pattern.shapes()[program];
  bool fits = true;
  for (Inst component = pattern.inst(static_cast<int>(program), plan.restPc); isComponent(component);
       component = component.nextInst()) {
    if (component.is(OP_CHOICE_SET)) {
      const std::vector<std::uint8_t>& set = pattern.pool().entry(component.poolIndex());
      for (std::size_t x = 0; x < set.size() && x < 256; ++x) {
        if (set[x] != 0) addTakes(plan.takes, static_cast<int>(x), component.occurrences());
      }
      plan.lettersOnly = false;
    } else if (component.is(OP_VARIABLES)) {
      // Only where nothing after the part reads what they are bound to:
      // the anagram part of the outermost pattern.
      if (program != 0 || shape.anagramOwners[a] != 0) fits = false;
      int occurrences = 0;
      for (int v = 0; v < kVariableCount; ++v) occurrences += component.variableCount(v);
      for (int x = 0; x < 256; ++x) addTakes(plan.takes, x, occurrences);
      plan.lettersOnly = false;
    } else if (component.is(OP_LETTERS_DISTINCT)) {
      for (int i = 0; i < component.distinctCount(); ++i) addTakes(plan.takes, component.distinctLetter(i), 1);
    } else if (component.is(OP_LETTERS_COUNTED)) {
      for (CountedLetter pair = component.firstCounted(); !pair.atEnd(); pair = pair.next()) {
        addTakes(plan.takes, pair.letter(), pair.count());
      }
    } else {
      break;  // blocks stand before these components, never among them
    }
  }
  return fits;
}

// The blocks' needs, the early blocks, the caps on free letters and the
// bound on the states a sweep can reach; false when the part does not fit.
bool BlockPlacement::layOut(Plan& plan, int fixedTotal) {
  bool fits = true;
  const int blocks = static_cast<int>(plan.blocks.size());
  if (blocks == 0 || blocks > kMaxBlocks) fits = false;
  plan.restLength = plan.anagramLength - fixedTotal;
  if (plan.restLength < 0) fits = false;
  int after = 0;
  bool variableAfter = false;
  for (int i = blocks - 1; i >= 0 && fits; --i) {
    Block& block = plan.blocks[static_cast<std::size_t>(i)];
    block.need = plan.restLength + after;
    block.early = block.fixed > 0 && !block.lastRule && variableAfter;
    after += block.count * block.fixed;
    variableAfter = variableAfter || block.extra > 0;
  }
  for (int i = 0; i < blocks && fits; ++i) {
    Block& block = plan.blocks[static_cast<std::size_t>(i)];
    if (!block.early) continue;
    block.earlySlot = static_cast<int>(plan.early.size());
    plan.early.push_back(i);
  }
  // Counts of free letters matter up to what the other components take
  // (any deficit above 0 acts alike), up to the need of each block with
  // letters of its own that the final state judges by the letters left
  // free after it, and for the last block, up to where its slack leaves
  // its range.
  int judged = plan.restLength;
  for (const Block& block : plan.blocks) {
    if (!block.early && block.fixed > 0) judged = std::max(judged, block.need);
  }
  plan.freeCap = judged + 1;
  // A last block that takes the slack and has letters of its own is
  // either placed, leaving exactly `need` letters free after it, or
  // left out with too little slack at its turn, which its full size
  // must absorb (slack + fixed + extra <= 0): either way at most `need`
  // letters end up free.
  plan.freeLimit = 1 << 20;
  plan.nearCap = plan.freeCap;
  for (int i = 0; i < blocks; ++i) {
    const Block& block = plan.blocks[static_cast<std::size_t>(i)];
    if (!block.lastRule) continue;
    plan.last = i;
    plan.freeCap = std::max(plan.freeCap, block.need + block.fixed + block.extra + 1);
    plan.nearCap = std::max(plan.nearCap, block.need + block.fixed + 1);
    if (block.fixed > 0) plan.freeLimit = block.need;
  }
  if (plan.freeCap >= kDropped) fits = false;
  // The states a sweep can reach, at most: a product of the ranges of
  // what a state holds (capped; tables never exceed kMaxStates).
  const auto times = [&plan](std::int64_t n) { plan.states = std::min<std::int64_t>(plan.states * n, 1 << 24); };
  plan.states = std::min(plan.freeCap, plan.freeLimit) + 1;
  for (const Block& block : plan.blocks) {
    times(block.count + 1);
    if (block.early) times(block.need + 2);
    if (block.variables) times(27);
  }
  for (int x = 0; x < 256; ++x) {
    if (plan.takes[static_cast<std::size_t>(x)] != 0) times(plan.takes[static_cast<std::size_t>(x)] + 1);
  }
  for (const Block& block : plan.blocks) plan.searchFirst = plan.searchFirst || !block.regular;
  return fits;
}

std::unique_ptr<BlockPlacement> BlockPlacement::forProgram(const CompiledPattern& pattern) {
  std::vector<Plan> plans;
  int maxBlocks = 0;
  for (std::size_t program = 0; program < pattern.shapes().size(); ++program) {
    const PatternShape& shape = pattern.shapes()[program];
    for (std::size_t a = 0; a < shape.anagrams.size(); ++a) {
      const Inst anagram = pattern.inst(static_cast<int>(program), static_cast<int>(shape.anagrams[a]));
      Plan plan;
      plan.program = static_cast<int>(program);
      plan.pc = anagram.components();
      plan.anagramLength = anagram.anagramLength();
      int fixedTotal = 0;
      // Every step runs, whether or not an earlier one ruled the part out.
      bool fits = readBlocks(pattern, program, a, plan, fixedTotal);
      fits = readRest(pattern, program, a, plan) && fits;
      fits = layOut(plan, fixedTotal) && fits;
      if (!fits) continue;
      maxBlocks = std::max(maxBlocks, static_cast<int>(plan.blocks.size()));
      plans.push_back(std::move(plan));
    }
  }
  if (plans.empty()) return nullptr;
  auto placement = std::make_unique<BlockPlacement>();
  std::int64_t states = 256;
  for (const Plan& plan : plans) states = std::max(states, plan.states);
  const auto capacity = static_cast<std::size_t>(std::bit_ceil(static_cast<std::uint64_t>(std::min<std::int64_t>(states, kMaxStates))));
  placement->plans_ = std::move(plans);
  placement->capacity_ = static_cast<int>(capacity);
  placement->states_.resize(capacity);
  placement->slots_.resize(2 * capacity);
  placement->slotStamps_.resize(2 * capacity);
  placement->heap_.resize(capacity);
  placement->okFree_.resize(kMaxViable);
  bool variables = false;
  for (const Plan& plan : placement->plans_) {
    for (const Block& block : plan.blocks) variables = variables || block.variables;
  }
  if (variables) {
    placement->outcomes_.resize(static_cast<std::size_t>(kOutcomes) * PositionSet::kSize);
    placement->outcomeCounts_.resize(PositionSet::kSize);
    placement->outcomeStamps_.resize(PositionSet::kSize);
  }
  placement->ends_.resize(static_cast<std::size_t>(maxBlocks) * PositionSet::kSize);
  placement->endsStamps_.resize(static_cast<std::size_t>(maxBlocks) * PositionSet::kSize);
  return placement;
}

const BlockPlacement::Plan* BlockPlacement::find(int program, int pc) const {
  for (const Plan& plan : plans_) {
    if (plan.program == program && plan.pc == pc) return &plan;
  }
  return nullptr;
}

// Every step of the sweep raises the rank (a count it holds grows, or a
// count of unclaimed letters is dropped, which counts as one more than its
// bound), except leaving free a letter that changes nothing the state
// records; states are taken in order of rank, so a state is complete when
// it is taken.
int BlockPlacement::rankOf(const Plan& plan, const Key& key) const {
  int rank = key.free;
  for (std::size_t i = 0; i < plan.blocks.size(); ++i) rank += key.placed[i];
  for (int i = 0; i < slotCount_; ++i) rank += key.letters[i];
  for (std::size_t e = 0; e < plan.early.size(); ++e) {
    rank += key.unclaimed[e] == kDropped ? plan.blocks[static_cast<std::size_t>(plan.early[e])].need + 1
                                         : key.unclaimed[e];
  }
  return rank;
}

int BlockPlacement::stateFor(const Key& key, int rank) {
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
      if (used_ == capacity_) return -1;
      const int index = used_++;
      State& state = states_[static_cast<std::size_t>(index)];
      state.key = key;
      state.at = {};
      state.done = {};
      state.rank = rank;
      state.queued = false;
      slots_[slot] = static_cast<std::uint16_t>(index);
      slotStamps_[slot] = stamp_;
      return index;
    }
    const int index = slots_[slot];
    if (std::memcmp(&states_[static_cast<std::size_t>(index)].key, &key, sizeof key) == 0) return index;
  }
}

void BlockPlacement::push(int state) {
  int i = heapSize_++;
  const int rank = states_[static_cast<std::size_t>(state)].rank;
  while (i > 0) {
    const int parent = (i - 1) / 2;
    if (states_[static_cast<std::size_t>(heap_[static_cast<std::size_t>(parent)])].rank <= rank) break;
    heap_[static_cast<std::size_t>(i)] = heap_[static_cast<std::size_t>(parent)];
    i = parent;
  }
  heap_[static_cast<std::size_t>(i)] = state;
}

int BlockPlacement::pop() {
  if (heapSize_ == 0) return -1;
  const int top = heap_[0];
  const int last = heap_[static_cast<std::size_t>(--heapSize_)];
  const int rank = states_[static_cast<std::size_t>(last)].rank;
  int i = 0;
  for (;;) {
    int child = 2 * i + 1;
    if (child >= heapSize_) break;
    if (child + 1 < heapSize_ && states_[static_cast<std::size_t>(heap_[static_cast<std::size_t>(child + 1)])].rank <
                                     states_[static_cast<std::size_t>(heap_[static_cast<std::size_t>(child)])].rank) {
      ++child;
    }
    if (states_[static_cast<std::size_t>(heap_[static_cast<std::size_t>(child)])].rank >= rank) break;
    heap_[static_cast<std::size_t>(i)] = heap_[static_cast<std::size_t>(child)];
    i = child;
  }
  if (heapSize_ > 0) heap_[static_cast<std::size_t>(i)] = last;
  return top;
}

bool BlockPlacement::addTo(const Key& key, const PositionSet& from) {
  if (from.empty() || hopelessKey(*current_, key) || !viable(*current_, key)) return true;
  // Places from which the rest of the stretch holds more letters than
  // the key can still leave free or place in windows lead nowhere.
  const int room = roomLeft(*current_, key);
  const PositionSet places = room < end_ ? from.andNot(PositionSet::below(end_ - room)) : from;
  if (places.empty()) return true;
  const int index = stateFor(key, rankOf(*current_, key));
  if (index < 0) {
    overflow_ = true;
    return false;
  }
  State& state = states_[static_cast<std::size_t>(index)];
  const bool fresh = !places.andNot(state.at).empty();
  state.at |= places;
  if (fresh && !state.queued) {
    state.queued = true;
    if (probing_) {
      heap_[static_cast<std::size_t>(stackSize_++)] = index;  // the probe's stack
    } else {
      push(index);
    }
  }
  return true;
}

// Whether no sweep from this key can end in a state that finalFits
// accepts. Counts of free letters and of placed occurrences only grow, so
// once the last block that takes the slack is placed, the letters free
// after its turn only grow too, and they must end exactly at its need.
bool BlockPlacement::hopelessKey(const Plan& plan, const Key& key) const {
  if (plan.last < 0 || key.placed[plan.last] == 0) return false;
  if (key.free >= freeCap_) return true;
  int after = key.free;
  for (std::size_t j = static_cast<std::size_t>(plan.last) + 1; j < plan.blocks.size(); ++j) {
    after += key.placed[j] * plan.blocks[j].fixed;
  }
  return after > plan.blocks[static_cast<std::size_t>(plan.last)].need;
}

// The most letters that a sweep from this key can still take in: free
// letters, as many as a fitting final state allows, and the longest
// windows of the occurrences not placed yet. Once the last block that
// takes the slack is placed, the letters free after its turn must end at
// its need; and the table of buildViable bounds the letters left free.
int BlockPlacement::roomLeft(const Plan& plan, const Key& key) const {
  constexpr int kUnbounded = 1 << 20;
  int free = kUnbounded;
  if (plan.freeLimit < kUnbounded) free = plan.freeLimit - key.free;
  if (plan.last >= 0 && key.placed[plan.last] != 0) {
    int after = key.free;
    for (std::size_t j = static_cast<std::size_t>(plan.last) + 1; j < plan.blocks.size(); ++j) {
      after += key.placed[j] * plan.blocks[j].fixed;
    }
    free = std::min(free, plan.blocks[static_cast<std::size_t>(plan.last)].need - after);
  }
  if (viableUsed_) {
    std::size_t v = 0;
    for (std::size_t b = 0; b < plan.blocks.size(); ++b) v += static_cast<std::size_t>(key.placed[b] * radix_[b]);
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
bool BlockPlacement::readStretch(PlacementHost& host, const Plan& plan, int start, int length) {
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
      while (first < end && endsFrom(host, plan, static_cast<int>(b), first, end).empty()) ++first;
      span_[b] = std::min(span_[b], highestOf(ends) - first);
      continue;
    }
    if (block.lastRule && block.fixed > 0 && block.extra > block.need) return false;
    if (block.early) {
      if (!mayLeaveOut(plan, static_cast<int>(b), length)) return false;
      mustKeep_ |= 1u << block.earlySlot;
    }
  }
  return true;
}

// Whether an early block can have an occurrence left out at all: the
// blocks up to it, with it one occurrence short, must be able to claim all
// but `need` letters of the stretch.
bool BlockPlacement::mayLeaveOut(const Plan& plan, int early, int length) const {
  int claim = 0;
  for (int j = 0; j <= early && claim < length; ++j) {
    const Block& block = plan.blocks[static_cast<std::size_t>(j)];
    const int windows = j == early ? block.count - 1 : block.count;
    claim += windows * span_[static_cast<std::size_t>(j)];
  }
  return length - claim <= plan.blocks[static_cast<std::size_t>(early)].need;
}

// Whether a sweep that ended with this state describes a placement that
// the running-deficit rule accepts, with the letters left free satisfying
// the other components.
bool BlockPlacement::finalFits(PlacementHost& host, const Plan& plan, const Key& key, int start, int length) const {
  int r = 0;
  return placementFits(plan, key, r) && restFits(host, plan, key, start, length, r);
}

// finalFits without the other components: whether the blocks' placement
// follows the running-deficit rule, and the deficit r it leaves.
bool BlockPlacement::placementFits(const Plan& plan, const Key& key, int& r) const {
  const bool saturated = key.free >= freeCap_;
  const int freeAtEnd = key.free;
  // An early block with an occurrence left out needs its count kept: it
  // was not dropped, so the letters it and the blocks before it leave
  // unclaimed are few enough.
  for (std::size_t e = 0; e < plan.early.size(); ++e) {
    const Block& block = plan.blocks[static_cast<std::size_t>(plan.early[e])];
    if (key.unclaimed[e] == kDropped && key.placed[plan.early[e]] < block.count) return false;
  }
  const int blocks = static_cast<int>(plan.blocks.size());
  // Letters free after block i's turn, for a block after which every block
  // has a fixed length.
  const auto freeAfter = [&](int i) {
    int n = freeAtEnd;
    for (int j = i + 1; j < blocks; ++j) n += key.placed[j] * plan.blocks[static_cast<std::size_t>(j)].fixed;
    return n;
  };
  int penalty = 0;
  for (int i = 0; i < blocks; ++i) {
    const Block& block = plan.blocks[static_cast<std::size_t>(i)];
    if (block.early) continue;
    if (block.lastRule) {
      const int after = freeAfter(i);
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
    if (saturated || freeAfter(i) - block.need + penalty > 0) return false;
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
void BlockPlacement::buildViable(const Plan& plan, int length) {
  viableReady_ = true;
  viableUsed_ = false;
  const int blocks = static_cast<int>(plan.blocks.size());
  std::int64_t vectors = 1;
  for (int b = 0; b < blocks; ++b) {
    radix_[static_cast<std::size_t>(b)] = static_cast<int>(vectors);
    vectors *= plan.blocks[static_cast<std::size_t>(b)].count + 1;
    if (vectors * (freeCap_ + 1) > kMaxViable) return;
  }
  std::fill_n(okFree_.begin(), vectors, std::int16_t{-1});
  Key key{};
  for (int v = 0; v < vectors; ++v) {
    int low = 0;
    int high = 0;
    bool placeable = true;
    for (int b = 0; b < blocks; ++b) {
      const Block& block = plan.blocks[static_cast<std::size_t>(b)];
      const int n = v / radix_[static_cast<std::size_t>(b)] % (block.count + 1);
      key.placed[b] = static_cast<std::uint8_t>(n);
      placeable = placeable && n <= placeable_[static_cast<std::size_t>(b)];
      low += n * block.fixed;
      high += n * span_[static_cast<std::size_t>(b)];
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
        okFree_[static_cast<std::size_t>(v)] = static_cast<std::int16_t>(f);
        break;
      }
    }
  }
  for (int v = static_cast<int>(vectors) - 1; v >= 0; --v) {
    for (int b = 0; b < blocks; ++b) {
      const Block& block = plan.blocks[static_cast<std::size_t>(b)];
      if (v / radix_[static_cast<std::size_t>(b)] % (block.count + 1) == block.count) continue;
      const std::size_t next = static_cast<std::size_t>(v + radix_[static_cast<std::size_t>(b)]);
      okFree_[static_cast<std::size_t>(v)] = std::max(okFree_[static_cast<std::size_t>(v)], okFree_[next]);
    }
  }
  viableUsed_ = true;
}

// Whether some final state that places at least what the key places, and
// leaves at least as many letters free, can fit (see buildViable); an
// early block whose count is dropped must be placed in full.
bool BlockPlacement::viable(const Plan& plan, const Key& key) const {
  if (!viableUsed_) return true;
  std::size_t v = 0;
  for (std::size_t b = 0; b < plan.blocks.size(); ++b) v += static_cast<std::size_t>(key.placed[b] * radix_[b]);
  if (okFree_[v] < key.free) return false;
  for (std::size_t e = 0; e < plan.early.size(); ++e) {
    const std::size_t b = static_cast<std::size_t>(plan.early[e]);
    if (key.unclaimed[e] == kDropped && placeable_[b] < plan.blocks[b].count) return false;
  }
  return true;
}

// The components after the blocks, on the letters the state left free.
bool BlockPlacement::restFits(PlacementHost& host, const Plan& plan, const Key& key, int start, int length,
                              int r) const {
  if (plan.lettersOnly) {
    int missing = 0;
    for (int x = 0; x < 256; ++x) missing += plan.takes[static_cast<std::size_t>(x)];
    for (int i = 0; i < slotCount_; ++i) missing -= key.letters[i];
    return missing == 0 || r + missing <= 0;
  }
  // The bindings a success would leave are not wanted (nothing reads them).
  VariableBindings& bindings = host.bindings();
  VariableValues guard(bindings);
  bindings.live = true;
  std::memcpy(bindings.value.data(), key.bound, sizeof key.bound);
  const std::span<const std::uint8_t> letters(slotLetter_.data(), static_cast<std::size_t>(slotCount_));
  return host.componentsFit(plan.program, plan.restPc, start, length, letters, key.letters, r);
}

// Moves one state's places on: a free letter, or a window of a block.
// Returns true when the state is a final one that fits.
bool BlockPlacement::step(PlacementHost& host, const Plan& plan, int index, int start, int length) {
  State& state = states_[static_cast<std::size_t>(index)];
  const Key key = state.key;
  // The places not moved on from under this key yet.
  const PositionSet doneBefore = state.done;
  PositionSet pending = state.at.andNot(doneBefore);
  state.done |= pending;
  const int end = start + length;
  const PositionSet letters = PositionSet::range(start, end - 1);
  const std::array<PositionSet, 256>& masks = host.letterPlaces();
  const int earlyCount = static_cast<int>(plan.early.size());

  const std::optional<PositionSet> kept = dropHopeless(plan, key, pending, end, length);
  if (!kept) return false;
  pending = *kept;
  // Letters the other components could still take more of.
  PositionSet wanted;
  for (int i = 0; i < slotCount_; ++i) {
    if (key.letters[i] < slotCap_[static_cast<std::size_t>(i)]) wanted |= masks[slotLetter_[static_cast<std::size_t>(i)]];
  }
  bool counting = false;
  for (int e = 0; e < earlyCount; ++e) counting = counting || key.unclaimed[e] != kDropped;
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
  const int blocks = static_cast<int>(plan.blocks.size());
  for (int i = 0; i < blocks; ++i) {
    const int b = probing_ ? probeOrder_[static_cast<std::size_t>(i)] : i;
    if (key.placed[b] < plan.blocks[static_cast<std::size_t>(b)].count &&
        !placeWindows(host, plan, key, at, b, start, length)) {
      return false;
    }
  }
  return false;
}

// The places of `pending` from which an early block can no longer be left
// out go on under the state that has its count dropped; the rest, or
// nothing when the table overflows.
std::optional<PositionSet> BlockPlacement::dropHopeless(const Plan& plan, const Key& key, PositionSet pending,
                                                        int end, int length) {
  for (std::size_t e = 0; e < plan.early.size(); ++e) {
    if (key.unclaimed[e] == kDropped) continue;
    const int last = plan.early[e];
    int capacity = 0;
    for (int j = 0; j <= last && capacity < length; ++j) {
      const Block& block = plan.blocks[static_cast<std::size_t>(j)];
      const int windows = block.count - key.placed[j] - (j == last ? 1 : 0);
      capacity += std::max(0, windows) * span_[static_cast<std::size_t>(j)];
    }
    const int room = plan.blocks[static_cast<std::size_t>(last)].need - key.unclaimed[e];
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
bool BlockPlacement::leaveFree(const Plan& plan, const Key& key, PositionSet rest,
                               const std::array<PositionSet, 256>& masks) {
  if (rest.empty() || key.free >= plan.freeLimit) return true;
  Key base = key;
  base.free = static_cast<std::uint16_t>(std::min<int>(key.free + 1, freeCap_));
  bool alive = true;
  for (std::size_t e = 0; e < plan.early.size(); ++e) alive = grow(plan, base, static_cast<int>(e), 1) && alive;
  for (int i = 0; i < slotCount_ && alive; ++i) {
    if (key.letters[i] >= slotCap_[static_cast<std::size_t>(i)]) continue;
    const PositionSet& mask = masks[slotLetter_[static_cast<std::size_t>(i)]];
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
bool BlockPlacement::grow(const Plan& plan, Key& key, int e, int n) const {
  if (key.unclaimed[e] == kDropped) return true;
  const int count = key.unclaimed[e] + n;
  if (count <= plan.blocks[static_cast<std::size_t>(plan.early[static_cast<std::size_t>(e)])].need) {
    key.unclaimed[e] = static_cast<std::uint16_t>(count);
    return true;
  }
  key.unclaimed[e] = kDropped;
  return ((mustKeep_ >> e) & 1) == 0;
}

// Windows of block b from the places `at`. Early blocks before b whose
// unclaimed letters are still counted count the window's letters, so the
// window's length matters up to the longest that keeps one of them.
bool BlockPlacement::placeWindows(PlacementHost& host, const Plan& plan, const Key& key, const PositionSet& at, int b,
                                  int start, int length) {
  const Block& block = plan.blocks[static_cast<std::size_t>(b)];
  const int end = start + length;
  const int earlyCount = static_cast<int>(plan.early.size());
  Key next = key;
  ++next.placed[b];
  // A block placed in full can no longer have an occurrence left out.
  if (block.early && next.placed[b] == block.count) next.unclaimed[block.earlySlot] = kDropped;
  int longestKept = -1;
  for (int e = 0; e < earlyCount; ++e) {
    if (plan.early[static_cast<std::size_t>(e)] >= b || key.unclaimed[e] == kDropped) continue;
    const Block& early = plan.blocks[static_cast<std::size_t>(plan.early[static_cast<std::size_t>(e)])];
    longestKept = std::max(longestKept, early.need - key.unclaimed[e]);
  }
  if (block.variables) {
    // Each window leaves the bindings of its block's first success. Without
    // counts that need the window's length, the ends are gathered per
    // bindings first, for one state each.
    std::array<WindowOutcome, kOutcomes>& gathered = gathered_;
    int kinds = 0;
    for (int q = at.lowest(); q >= 0; q = at.next(q + 1)) {
      const int outcomes = outcomesFrom(host, plan, b, q, end, key.bound);
      if (outcomes < 0) {
        overflow_ = true;
        return false;
      }
      for (int o = 0; o < outcomes; ++o) {
        const WindowOutcome& outcome = outcomes_[static_cast<std::size_t>(q) * kOutcomes + static_cast<std::size_t>(o)];
        if (longestKept < 0) {
          int g = 0;
          while (g < kinds && std::memcmp(gathered[static_cast<std::size_t>(g)].bound, outcome.bound, 10) != 0) ++g;
          if (g == kinds) {
            if (kinds == kOutcomes) {
              overflow_ = true;
              return false;
            }
            std::memcpy(gathered[static_cast<std::size_t>(g)].bound, outcome.bound, 10);
            gathered[static_cast<std::size_t>(g)].ends = {};
            ++kinds;
          }
          gathered[static_cast<std::size_t>(g)].ends |= outcome.ends;
          continue;
        }
        for (int to = outcome.ends.lowest(); to >= 0; to = outcome.ends.next(to + 1)) {
          Key sized = next;
          std::memcpy(sized.bound, outcome.bound, sizeof sized.bound);
          bool alive = true;
          for (int e = 0; e < earlyCount; ++e) {
            if (plan.early[static_cast<std::size_t>(e)] < b) alive = grow(plan, sized, e, to - q) && alive;
          }
          if (alive && !addTo(sized, PositionSet::single(to))) return false;
        }
      }
    }
    for (int g = 0; g < kinds; ++g) {
      Key sized = next;
      std::memcpy(sized.bound, gathered[static_cast<std::size_t>(g)].bound, sizeof sized.bound);
      if (!addTo(sized, gathered[static_cast<std::size_t>(g)].ends)) return false;
    }
    return true;
  }
  if (longestKept < 0) {
    if (block.regular) return addTo(next, host.reachBlock(block.entry, at, end));
    PositionSet ends;
    for (int q = at.lowest(); q >= 0; q = at.next(q + 1)) ends |= endsFrom(host, plan, b, q, end);
    return addTo(next, ends);
  }
  longestKept = std::min(longestKept, length);
  // Ends grouped by window length (one state per length), and the longer
  // windows, which drop every count they touch.
  std::array<PositionSet, PositionSet::kSize>& byLength = byLength_;
  PositionSet lengths;
  PositionSet far;
  for (int q = at.lowest(); q >= 0; q = at.next(q + 1)) {
    const PositionSet ends = endsFrom(host, plan, b, q, end);
    const PositionSet near = ends & PositionSet::range(q, q + longestKept);
    for (int to = near.lowest(); to >= 0; to = near.next(to + 1)) {
      const auto w = static_cast<std::size_t>(to - q) % byLength.size();
      if (!lengths.test(static_cast<int>(w))) byLength[w] = {};
      lengths.set(static_cast<int>(w));
      byLength[w].set(to);
    }
    far |= ends & PositionSet::range(q + longestKept + 1, end);
  }
  for (int w = lengths.lowest(); w >= 0; w = lengths.next(w + 1)) {
    Key sized = next;
    bool alive = true;
    for (int e = 0; e < earlyCount; ++e) {
      if (plan.early[static_cast<std::size_t>(e)] < b) alive = grow(plan, sized, e, w) && alive;
    }
    if (alive && !addTo(sized, byLength[static_cast<std::size_t>(w)])) return false;
  }
  Key dropped = next;
  for (int e = 0; e < earlyCount; ++e) {
    if (plan.early[static_cast<std::size_t>(e)] >= b || dropped.unclaimed[e] == kDropped) continue;
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
int BlockPlacement::outcomesFrom(PlacementHost& host, const Plan& plan, int b, int q, int end,
                                 const std::uint8_t* bound) {
  const std::size_t at = static_cast<std::size_t>(q);
  if (outcomeStamps_[at] == endsStamp_) return outcomeCounts_[at];
  const Block& block = plan.blocks[static_cast<std::size_t>(b)];
  WindowOutcome* groups = &outcomes_[at * kOutcomes];
  int count = 0;
  VariableBindings& bindings = host.bindings();
  VariableValues outer(bindings);
  const int longest = std::min(block.extra, end - q - block.fixed);
  for (int u = 0; u <= longest; ++u) {
    bindings.live = true;
    std::memcpy(bindings.value.data(), bound, 10);
    if (!host.runBlock(block.entry, q, u, block.fixed + u)) continue;
    int g = 0;
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
  return count;
}

// The places where a window of block b that starts at q may end, computed
// once per decision: over sets of places for a regular block, else by
// running the block over each window.
PositionSet BlockPlacement::endsFrom(PlacementHost& host, const Plan& plan, int b, int q, int end) {
  const std::size_t slot = static_cast<std::size_t>(b) * PositionSet::kSize + static_cast<std::size_t>(q);
  if (endsStamps_[slot] == endsStamp_) return ends_[slot];
  const Block& block = plan.blocks[static_cast<std::size_t>(b)];
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

BlockPlacement::Outcome BlockPlacement::decide(PlacementHost& host, int program, int pc, int start, int length) {
  const Plan* plan = find(program, pc);
  // A block run over a window may hold an anagram part of its own; its
  // tables are in use, so that one is searched.
  if (plan == nullptr || length > PositionSet::kSize - 1 || busy_) return Outcome::Unknown;
  busy_ = true;
  const Outcome outcome = decideFor(host, plan, start, length);
  busy_ = false;
  return outcome;
}

BlockPlacement::Outcome BlockPlacement::decideFor(PlacementHost& host, const Plan* plan, int start, int length) {
  current_ = plan;
  end_ = start + length;
  viableReady_ = false;
  viableUsed_ = false;
  const std::array<PositionSet, 256>& masks = host.letterPlaces();
  const int end = start + length;
  const PositionSet stretch = PositionSet::range(start, end - 1);
  // The letters of the stretch that the other components could take.
  slotCount_ = 0;
  for (const std::uint8_t x : host.heldLetters()) {
    if (plan->takes[x] == 0 || (masks[x] & stretch).empty()) continue;
    if (slotCount_ == kMaxLetters) return Outcome::Unknown;
    slotLetter_[static_cast<std::size_t>(slotCount_)] = x;
    slotCap_[static_cast<std::size_t>(slotCount_)] = plan->takes[x];
    ++slotCount_;
  }
  // When the last block's range reaches past the stretch, no count of free
  // letters leaves it: counts from just past its fixed length on act alike.
  freeCap_ = plan->freeCap;
  capInRange_ = false;
  for (const Block& block : plan->blocks) {
    if (!block.lastRule || block.need + block.fixed + block.extra < length) continue;
    freeCap_ = plan->nearCap;
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
  for (const Block& block : plan->blocks) {
    if (!block.lastRule || block.fixed == 0 || block.extra <= block.need) continue;
    Key all{};
    for (int i = 0; i < slotCount_; ++i) {
      const int count = (masks[slotLetter_[static_cast<std::size_t>(i)]] & stretch).count();
      all.letters[i] = static_cast<std::uint8_t>(std::min<int>(count, slotCap_[static_cast<std::size_t>(i)]));
    }
    boundValues(host.bindings(), all.bound);
    if (!restFits(host, *plan, all, start, length, 0)) return Outcome::No;
  }
  if (!readStretch(host, *plan, start, length)) return Outcome::No;
  // The probe takes the newest states first: the windows of the blocks
  // with the longest spans are added first, to be followed last.
  const int blocks = static_cast<int>(plan->blocks.size());
  for (int b = 0; b < blocks; ++b) {
    int i = b;
    for (; i > 0 && span_[static_cast<std::size_t>(probeOrder_[static_cast<std::size_t>(i - 1)])] <
                        span_[static_cast<std::size_t>(b)];
         --i) {
      probeOrder_[static_cast<std::size_t>(i)] = probeOrder_[static_cast<std::size_t>(i - 1)];
    }
    probeOrder_[static_cast<std::size_t>(i)] = b;
  }
  // First the sweep in which every block is placed in full: it needs no
  // counts of unclaimed letters, and most stretches that match are found
  // by it. Then, if some early block could be left out at all, the sweep
  // that allows it.
  Key key{};
  for (std::size_t e = 0; e < plan->early.size(); ++e) key.unclaimed[e] = kDropped;
  boundValues(host.bindings(), key.bound);
  if (mustKeep_ == 0 && lettersSuffice(host, *plan, key, stretch)) {
    const Outcome placedInFull = sweep(host, *plan, key, start, length);
    if (placedInFull != Outcome::No) return placedInFull;
  }
  bool someLeftOut = false;
  for (std::size_t e = 0; e < plan->early.size(); ++e) {
    if (!mayLeaveOut(*plan, plan->early[e], length)) continue;
    key.unclaimed[e] = 0;
    someLeftOut = true;
  }
  return someLeftOut && lettersSuffice(host, *plan, key, stretch) ? sweep(host, *plan, key, start, length)
                                                                   : Outcome::No;
}

BlockPlacement::Outcome BlockPlacement::sweep(PlacementHost& host, const Plan& plan, const Key& first, int start,
                                              int length) {
  if (++stamp_ == 0) {
    std::fill(slotStamps_.begin(), slotStamps_.end(), 0);
    stamp_ = 1;
  }
  used_ = 0;
  heapSize_ = 0;
  stackSize_ = 0;
  overflow_ = false;
  // First a short probe that follows the newest states (depth first),
  // which most often reaches a final state that fits at once when there is
  // one; then the states in order of rank, each taken when complete. A
  // state keeps the places it has moved on from, so that the places it
  // gains after the probe took it are moved on from later.
  probing_ = true;
  // Over a long stretch a sweep costs more than the table: it is built
  // first, which settles at once a stretch where no placement can fit.
  if (!viableReady_ && length >= kLongStretch) buildViable(plan, length);
  int budget = kProbeSteps;
  if (!addTo(first, PositionSet::single(start))) return Outcome::Unknown;
  for (; stackSize_ > 0 && budget > 0; --budget) {
    const int index = heap_[static_cast<std::size_t>(--stackSize_)];
    states_[static_cast<std::size_t>(index)].queued = false;
    if (step(host, plan, index, start, length)) return Outcome::Yes;
    if (overflow_) return Outcome::Unknown;
  }
  probing_ = false;
  if (stackSize_ > 0 && !viableReady_) buildViable(plan, length);
  // The states the probe left are ordered in place: pushing entry i
  // moves only entries before it.
  const int left = stackSize_;
  stackSize_ = 0;
  for (int i = 0; i < left; ++i) push(heap_[static_cast<std::size_t>(i)]);
  for (int index = pop(); index >= 0; index = pop()) {
    states_[static_cast<std::size_t>(index)].queued = false;
    if (!viable(plan, states_[static_cast<std::size_t>(index)].key)) continue;
    if (step(host, plan, index, start, length)) return Outcome::Yes;
    if (overflow_) return Outcome::Unknown;
  }
  return Outcome::No;
}

}  // namespace kea
