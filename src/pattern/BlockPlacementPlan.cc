// The plans of the sweep that places anagram blocks, read from a compiled
// pattern: the blocks at the start of a part's components, what the
// components after them take, and the bounds a sweep works within.
#include "pattern/BlockPlacementPlan.h"

#include <algorithm>

#include "pattern/CompiledPattern.h"

namespace kea::placement {

namespace {

void addTakes(std::array<std::uint8_t, 256>& takes, std::size_t x, int n) {
  takes[x] = static_cast<std::uint8_t>(std::min(255, takes[x] + n));
}

// The letters of the runs of the template from pc (a segment of `program`)
// and of the sub-patterns in it, which every match holds; added to `out` as
// (alphabet index, count) pairs. What follows an element it does not read
// is left out, and so is what lies deeper than a few sub-patterns.
void readRequired(const CompiledPattern& pattern, int program, int pc, int depth, std::vector<std::uint8_t>& out) {
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

// The sub-pattern blocks at the start of an anagram part's components, with
// what the plan needs of each; false when the sweep cannot serve them.
bool readBlocks(const CompiledPattern& pattern, std::size_t program, std::size_t a, Plan& plan, int& fixedTotal) {
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
bool readRest(const CompiledPattern& pattern, std::size_t program, std::size_t a, Plan& plan) {
  const PatternShape& shape = pattern.shapes()[program];
  bool fits = true;
  for (Inst component = pattern.inst(static_cast<int>(program), plan.restPc); isComponent(component);
       component = component.nextInst()) {
    if (component.is(OP_CHOICE_SET)) {
      const std::vector<std::uint8_t>& set = pattern.pool().entry(component.poolIndex());
      for (std::size_t x = 0; x < set.size() && x < 256; ++x) {
        if (set[x] != 0) addTakes(plan.takes, x, component.occurrences());
      }
      plan.lettersOnly = false;
    } else if (component.is(OP_VARIABLES)) {
      // Only where nothing after the part reads what they are bound to:
      // the anagram part of the outermost pattern.
      if (program != 0 || shape.anagramOwners[a] != 0) fits = false;
      int occurrences = 0;
      for (int v = 0; v < kVariableCount; ++v) occurrences += component.variableCount(v);
      for (std::size_t x = 0; x < 256; ++x) addTakes(plan.takes, x, occurrences);
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

// Each block's need and whether it is early, and the list of early blocks.
void markEarly(Plan& plan) {
  int after = 0;
  bool variableAfter = false;
  for (std::size_t i = plan.blocks.size(); i-- > 0;) {
    Block& block = plan.blocks[i];
    block.need = plan.restLength + after;
    block.early = block.fixed > 0 && !block.lastRule && variableAfter;
    after += block.count * block.fixed;
    variableAfter = variableAfter || block.extra > 0;
  }
  for (std::size_t i = 0; i < plan.blocks.size(); ++i) {
    Block& block = plan.blocks[i];
    if (!block.early) continue;
    block.earlySlot = plan.early.size();
    plan.early.push_back(i);
  }
}

// Counts of free letters matter up to what the other components take (any
// deficit above 0 acts alike), up to the need of each block with letters of
// its own that the final state judges by the letters left free after it,
// and for the last block, up to where its slack leaves its range.
void setCaps(Plan& plan) {
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
  for (std::size_t i = 0; i < plan.blocks.size(); ++i) {
    const Block& block = plan.blocks[i];
    if (!block.lastRule) continue;
    plan.last = i;
    plan.freeCap = std::max(plan.freeCap, block.need + block.fixed + block.extra + 1);
    plan.nearCap = std::max(plan.nearCap, block.need + block.fixed + 1);
    if (block.fixed > 0) plan.freeLimit = block.need;
  }
}

// The states a sweep can reach, at most: a product of the ranges of what a
// state holds (capped; tables never exceed the sweep's own limit).
void countStates(Plan& plan) {
  const auto times = [&plan](std::int64_t n) { plan.states = std::min<std::int64_t>(plan.states * n, 1 << 24); };
  plan.states = std::min(plan.freeCap, plan.freeLimit) + 1;
  for (const Block& block : plan.blocks) {
    times(block.count + 1);
    if (block.early) times(block.need + 2);
    if (block.variables) times(27);
  }
  for (const std::uint8_t takes : plan.takes) {
    if (takes != 0) times(takes + 1);
  }
}

// The blocks' needs, the early blocks, the caps on free letters and the
// bound on the states a sweep can reach; false when the part does not fit.
bool layOut(Plan& plan, int fixedTotal) {
  if (plan.blocks.empty() || plan.blocks.size() > kMaxBlocks) return false;
  plan.restLength = plan.anagramLength - fixedTotal;
  if (plan.restLength < 0) return false;
  markEarly(plan);
  setCaps(plan);
  if (plan.freeCap >= kDropped) return false;
  countStates(plan);
  for (const Block& block : plan.blocks) plan.searchFirst = plan.searchFirst || !block.regular;
  return true;
}

}  // namespace

std::vector<Plan> readPlans(const CompiledPattern& pattern) {
  std::vector<Plan> plans;
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
      if (fits) plans.push_back(std::move(plan));
    }
  }
  return plans;
}

}  // namespace kea::placement
