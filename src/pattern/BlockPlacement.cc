#include "pattern/BlockPlacement.h"

#include <algorithm>
#include <cstring>

#include "pattern/MatchEngine.h"

namespace kea {

namespace {

std::int32_t readInt32(const std::uint8_t* bytes) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) |
                                   (static_cast<std::uint32_t>(bytes[1]) << 8) |
                                   (static_cast<std::uint32_t>(bytes[2]) << 16) |
                                   (static_cast<std::uint32_t>(bytes[3]) << 24));
}

}  // namespace

std::unique_ptr<BlockPlacement> BlockPlacement::forProgram(const MatchEngine& engine) {
  if (engine.punctuationSensitive()) return nullptr;
  std::vector<Plan> plans;
  int maxBlocks = 0;
  for (std::size_t program = 0; program < engine.shapes_.size(); ++program) {
    const std::uint8_t* c = engine.code(static_cast<int>(program));
    for (const std::uint32_t anagram : engine.shapes_[program].anagrams) {
      Plan plan;
      plan.program = static_cast<int>(program);
      plan.pc = static_cast<int>(anagram) + 6;
      plan.anagramLength = readInt32(c + anagram + 2);
      int pc = plan.pc;
      bool fits = true;
      int fixedTotal = 0;
      for (; c[pc] == OP_PATTERN_VARIABLE || c[pc] == OP_PATTERN_LAST; pc += 3) {
        Block block;
        block.entry = 1 + c[pc + 2];
        block.count = c[pc + 1];
        const std::vector<std::uint8_t>& inner = engine.pool().entry(c[pc + 2]);
        block.fixed = inner[1];
        block.extra = inner[2];
        block.lastRule = c[pc] == OP_PATTERN_LAST && block.count == 1;
        // The last block's window is as long as the slack at its turn, at
        // most the word's length: a regular block of variable length always
        // has room for it.
        if (block.lastRule && block.extra < UNBOUNDED_LENGTH) fits = false;
        if (!engine.regular(block.entry, 0)) fits = false;
        fixedTotal += block.count * block.fixed;
        plan.blocks.push_back(block);
      }
      if (c[pc] == OP_LETTERS_DISTINCT) {
        for (int i = 0; i < c[pc + 1]; ++i) plan.letters.emplace_back(1, c[pc + 2 + i]);
        pc += 2 + c[pc + 1];
      } else if (c[pc] == OP_LETTERS_COUNTED) {
        for (++pc; c[pc] < kFirstOpcode; pc += 2) plan.letters.emplace_back(c[pc], c[pc + 1]);
      }
      // Choice lists and letter variables are left to the search.
      if (c[pc] == OP_CHOICE_SET || c[pc] == OP_VARIABLES) fits = false;
      const int blocks = static_cast<int>(plan.blocks.size());
      if (blocks == 0 || blocks > kMaxBlocks || plan.letters.size() > static_cast<std::size_t>(kMaxLetters)) {
        fits = false;
      }
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
        if (static_cast<int>(plan.early.size()) == kMaxEarly) {
          fits = false;
          break;
        }
        block.earlySlot = static_cast<int>(plan.early.size());
        plan.early.push_back(i);
      }
      plan.freeCap = plan.restLength + fixedTotal + 1;
      for (const int i : plan.early) {
        plan.longestCounted = std::max(plan.longestCounted, plan.blocks[static_cast<std::size_t>(i)].need);
      }
      // A last block that takes the slack and has letters of its own is
      // either placed, leaving exactly `need` letters free after it, or
      // left out with too little slack at its turn: either way at most
      // need + fixed - 1 letters end up free.
      plan.freeLimit = 1 << 20;
      for (const Block& block : plan.blocks) {
        if (block.lastRule && block.fixed > 0) plan.freeLimit = block.need + block.fixed - 1;
      }
      if (!fits) continue;
      maxBlocks = std::max(maxBlocks, blocks);
      plans.push_back(std::move(plan));
    }
  }
  if (plans.empty()) return nullptr;
  auto placement = std::make_unique<BlockPlacement>();
  placement->plans_ = std::move(plans);
  placement->maxBlocks_ = maxBlocks;
  placement->states_.resize(kStates);
  placement->slots_.resize(2 * kStates);
  placement->slotStamps_.resize(2 * kStates);
  placement->heap_.resize(kStates);
  int lengths = 1;
  for (const Plan& plan : placement->plans_) lengths = std::max(lengths, std::min(plan.longestCounted, 128) + 1);
  placement->lengthsPerBlock_ = lengths;
  placement->starts_.resize(static_cast<std::size_t>(maxBlocks) * static_cast<std::size_t>(lengths));
  placement->startsStamps_.resize(static_cast<std::size_t>(maxBlocks));
  return placement;
}

const BlockPlacement::Plan* BlockPlacement::find(int program, int pc) const {
  for (const Plan& plan : plans_) {
    if (plan.program == program && plan.pc == pc) return &plan;
  }
  return nullptr;
}

int BlockPlacement::rankOf(const Plan& plan, const Key& key) {
  // The sweeps for different early blocks left out never meet: the one
  // that leaves none out, which most often fits, runs first.
  int rank = key.leftOut * 65536 + key.free;
  for (std::size_t i = 0; i < plan.blocks.size(); ++i) rank += key.placed[i];
  for (std::size_t i = 0; i < plan.letters.size(); ++i) rank += key.letters[i];
  for (std::size_t i = 0; i < plan.early.size(); ++i) rank += key.unclaimed[i];
  return rank;
}

int BlockPlacement::stateFor(const Key& key, int rank) {
  std::uint64_t words[6];
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
      if (used_ == kStates) return -1;
      const int index = used_++;
      State& state = states_[static_cast<std::size_t>(index)];
      state.key = key;
      state.at = {};
      state.rank = rank;
      state.done = false;
      slots_[slot] = static_cast<std::uint16_t>(index);
      slotStamps_[slot] = stamp_;
      push(index);
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

bool BlockPlacement::addTo(const Key& key, const PositionSet& places) {
  if (places.empty()) return true;
  const int index = stateFor(key, rankOf(*current_, key));
  if (index < 0) {
    overflow_ = true;
    return false;
  }
  State& state = states_[static_cast<std::size_t>(index)];
  state.at |= places;
  return true;
}

// Whether the early blocks of the bit set can each have an occurrence left
// out: the blocks up to such a block must claim all but `need` letters of
// the stretch, with the block itself one occurrence short.
bool BlockPlacement::mayLeaveOut(const Plan& plan, int leftOut, int length) {
  for (std::size_t e = 0; e < plan.early.size(); ++e) {
    if (((leftOut >> e) & 1) == 0) continue;
    const int last = plan.early[e];
    int claim = 0;
    for (int j = 0; j <= last && claim < length; ++j) {
      const Block& block = plan.blocks[static_cast<std::size_t>(j)];
      const int windows = j == last ? block.count - 1 : block.count;
      claim += windows * std::min(length, block.fixed + block.extra);
    }
    if (length - claim > plan.blocks[static_cast<std::size_t>(last)].need) return false;
  }
  return true;
}

// Whether a sweep that ended with this state describes a placement that
// the running-deficit rule accepts, with the letters left free satisfying
// the letters component.
bool BlockPlacement::finalFits(const Plan& plan, const Key& key, int length) const {
  const bool saturated = key.free >= plan.freeCap;
  const int freeAtEnd = key.free;
  for (std::size_t e = 0; e < plan.early.size(); ++e) {
    const Block& block = plan.blocks[static_cast<std::size_t>(plan.early[e])];
    const bool leftOut = ((key.leftOut >> e) & 1) != 0;
    const int placed = key.placed[plan.early[e]];
    if (leftOut ? placed >= block.count : placed < block.count) return false;
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
      const int slack = after - block.need - block.fixed;
      const bool inRange = saturated ? block.extra >= length : slack >= 0 && slack <= block.extra;
      if (inRange) {
        if (block.fixed > 0) return false;
      } else {
        if (block.fixed + block.extra > 0 && slack + block.fixed + block.extra > 0) return false;
        penalty += block.fixed + block.extra;
      }
      continue;
    }
    if (block.fixed == 0 || key.placed[i] == block.count) continue;
    if (saturated || freeAfter(i) - block.need + penalty > 0) return false;
  }
  int missing = 0;
  for (std::size_t x = 0; x < plan.letters.size(); ++x) missing += plan.letters[x].first - key.letters[x];
  if (missing == 0) return true;
  if (saturated) return false;
  return freeAtEnd - plan.restLength + penalty + missing <= 0;
}

// Moves one state's places on: a free letter, or a window of a block.
// Returns true when the state is a final one that fits.
bool BlockPlacement::step(MatchEngine& engine, const Plan& plan, int index, int start, int length) {
  State& state = states_[static_cast<std::size_t>(index)];
  state.done = true;
  const Key key = state.key;
  const int end = start + length;
  const PositionSet letters = PositionSet::range(start, end - 1);
  const std::array<PositionSet, 256>& masks = engine.letterMasks_;
  const int earlyCount = static_cast<int>(plan.early.size());

  // Letters still wanted by the letters component.
  PositionSet wanted;
  for (std::size_t x = 0; x < plan.letters.size(); ++x) {
    if (key.letters[x] < plan.letters[x].first) wanted |= masks[static_cast<std::size_t>(plan.letters[x].second)];
  }
  if (key.free >= plan.freeCap && key.leftOut == 0) {
    // Leaving another letter free changes nothing the state records.
    state.at = state.at.spread(letters.andNot(wanted));
  }
  const PositionSet at = state.at;
  if (at.test(end) && finalFits(plan, key, length)) return true;

  // A letter left free.
  PositionSet rest = at & letters;
  if (!rest.empty()) {
    Key base = key;
    base.free = static_cast<std::uint16_t>(std::min<int>(key.free + 1, plan.freeCap));
    bool alive = key.free < plan.freeLimit;
    for (int e = 0; e < earlyCount; ++e) {
      if (((key.leftOut >> e) & 1) == 0) continue;
      if (++base.unclaimed[e] > plan.blocks[static_cast<std::size_t>(plan.early[static_cast<std::size_t>(e)])].need) {
        alive = false;
      }
    }
    if (alive) {
      for (std::size_t x = 0; x < plan.letters.size(); ++x) {
        if (key.letters[x] >= plan.letters[x].first) continue;
        const PositionSet& mask = masks[static_cast<std::size_t>(plan.letters[x].second)];
        const PositionSet part = rest & mask;
        if (part.empty()) continue;
        Key next = base;
        ++next.letters[x];
        if (!addTo(next, part.later(1))) return false;
        rest = rest.andNot(mask);
      }
      if (!rest.empty() && std::memcmp(&base, &key, sizeof key) != 0 && !addTo(base, rest.later(1))) return false;
    }
  }

  // A window of a block with occurrences still to place.
  const int blocks = static_cast<int>(plan.blocks.size());
  for (int b = 0; b < blocks; ++b) {
    const Block& block = plan.blocks[static_cast<std::size_t>(b)];
    // An early block chosen to have an occurrence left out places one fewer.
    const bool short1 = block.early && ((key.leftOut >> block.earlySlot) & 1) != 0;
    if (key.placed[b] >= block.count - (short1 ? 1 : 0)) continue;
    Key next = key;
    ++next.placed[b];
    // Early blocks before this one that will have an occurrence left out
    // count the window's letters as unclaimed by them: the window's length
    // then matters, and may not exceed what they can still take.
    int limit = PositionSet::kSize;
    bool counted = false;
    for (int e = 0; e < earlyCount; ++e) {
      if (((key.leftOut >> e) & 1) == 0 || plan.early[static_cast<std::size_t>(e)] >= b) continue;
      counted = true;
      const Block& early = plan.blocks[static_cast<std::size_t>(plan.early[static_cast<std::size_t>(e)])];
      limit = std::min(limit, early.need - key.unclaimed[e]);
    }
    if (!counted) {
      if (!addTo(next, engine.reachPattern(block.entry, 3, at, end))) return false;
      continue;
    }
    limit = std::min({limit, length, plan.longestCounted, lengthsPerBlock_ - 1});
    const PositionSet* starts = startsByLength(engine, plan, b, start, length);
    for (int w = block.fixed; w <= limit; ++w) {
      const PositionSet ends = (at & starts[w]).later(w);
      if (ends.empty()) continue;
      Key sized = next;
      for (int e = 0; e < earlyCount; ++e) {
        if (((key.leftOut >> e) & 1) == 0 || plan.early[static_cast<std::size_t>(e)] >= b) continue;
        sized.unclaimed[e] = static_cast<std::uint16_t>(sized.unclaimed[e] + w);
      }
      if (!addTo(sized, ends)) return false;
    }
  }
  return false;
}

// For one block, per window length w up to the longest that an early
// block left out can let pass: the places where a window of that length
// matching the block may start. Computed once per decision.
const PositionSet* BlockPlacement::startsByLength(MatchEngine& engine, const Plan& plan, int b, int start,
                                                  int length) {
  PositionSet* starts = &starts_[static_cast<std::size_t>(b) * static_cast<std::size_t>(lengthsPerBlock_)];
  if (startsStamps_[static_cast<std::size_t>(b)] == stamp_) return starts;
  startsStamps_[static_cast<std::size_t>(b)] = stamp_;
  const int longest = std::min({plan.longestCounted, length, lengthsPerBlock_ - 1});
  for (int w = 0; w <= longest; ++w) starts[w] = {};
  const int entry = plan.blocks[static_cast<std::size_t>(b)].entry;
  for (int q = start; q <= start + length; ++q) {
    const PositionSet ends =
        engine.reachPattern(entry, 3, PositionSet::single(q), start + length) & PositionSet::range(q, q + longest);
    for (int to = ends.lowest(); to >= 0; to = ends.next(to + 1)) starts[to - q].set(q);
  }
  return starts;
}

BlockPlacement::Outcome BlockPlacement::decide(MatchEngine& engine, int program, int pc, int start, int length) {
  const Plan* plan = find(program, pc);
  if (plan == nullptr || length > PositionSet::kSize - 1) return Outcome::Unknown;
  current_ = plan;
  if (++stamp_ == 0) {
    std::fill(slotStamps_.begin(), slotStamps_.end(), 0);
    std::fill(startsStamps_.begin(), startsStamps_.end(), 0);
    stamp_ = 1;
  }
  used_ = 0;
  heapSize_ = 0;
  overflow_ = false;
  engine.buildLetterMasks();
  // One start per choice of the early blocks that will have an occurrence
  // left out.
  const int choices = 1 << plan->early.size();
  for (int leftOut = 0; leftOut < choices; ++leftOut) {
    if (!mayLeaveOut(*plan, leftOut, length)) continue;
    Key key{};
    key.leftOut = static_cast<std::uint8_t>(leftOut);
    if (!addTo(key, PositionSet::single(start))) return Outcome::Unknown;
  }
  for (int index = pop(); index >= 0; index = pop()) {
    if (step(engine, *plan, index, start, length)) return Outcome::Yes;
    if (overflow_) return Outcome::Unknown;
  }
  return Outcome::No;
}

}  // namespace kea
