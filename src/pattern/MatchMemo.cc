#include "pattern/MatchMemo.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "pattern/CompiledPattern.h"

namespace kea {

// Walks the compiled programs once to find the places where matching can
// backtrack, which letter variables each attempt can observe, and which
// wildcards allow the "later places fail too" shortcut.
class MatchMemoBuilder {
 public:
  explicit MatchMemoBuilder(const CompiledPattern& pattern) : pattern_(pattern) {}

  int backtrackingSites = 0;
  bool usesVariables = false;
  std::vector<MatchMemo::ProgramFacts> facts;

  void run() {
    const int programs = 1 + pattern_.pool().count();
    facts.resize(static_cast<std::size_t>(programs));
    for (int program = 0; program < programs; ++program) {
      const std::size_t size = bytes(program).size();
      MatchMemo::ProgramFacts& f = facts[static_cast<std::size_t>(program)];
      f.skipFlags.assign(size, 0);
      f.patternMask.assign(size + 1, 0);
      f.segmentMask.assign(size + 1, 0);
      f.componentMask.assign(size + 1, 0);
      f.backtracks.assign(size + 1, 0);
      f.restFlags.assign(size + 1, 0);
    }
    // Pool entries first: a program's anagram components use the facts of
    // the entries they name, which always precede it in the pool.
    for (int program = 1; program <= programs; ++program) {
      const int which = program % programs;
      if (isPatternHeader(at(which, 0))) pattern(which, 0);
    }
  }

 private:
  const CompiledPattern& pattern_;

  struct Walk {
    int end;
    std::uint16_t mask;
  };

  const std::vector<std::uint8_t>& bytes(int program) const {
    return program == 0 ? pattern_.program() : pattern_.pool().entry(program - 1);
  }
  Code code(int program) const { return Code(bytes(program)); }
  std::uint8_t at(int program, int pos) const { return code(program).opcodeAt(pos); }
  Inst inst(int program, int pos) const { return Inst(code(program), pos); }
  MatchMemo::ProgramFacts& of(int program) { return facts[static_cast<std::size_t>(program)]; }
  template <typename T>
  static void record(std::vector<T>& table, int pos, T value) {
    if (static_cast<std::size_t>(pos) < table.size()) table[static_cast<std::size_t>(pos)] = value;
  }

  // A pattern from its header; records the mask at its body start.
  Walk pattern(int program, int header) {
    const int body = inst(program, header).body();
    int pos = body;
    std::uint16_t mask = 0;
    const int sitesBefore = backtrackingSites;
    for (;;) {
      const std::uint8_t op = at(program, pos);
      if (op == OP_END) {
        pos = inst(program, pos).next();
        break;
      }
      if (op == OP_PROGRAM_END) break;
      const Walk w = op == OP_ANAGRAM ? components(program, inst(program, pos).components()) : segment(program, pos);
      mask |= w.mask;
      pos = w.end;
    }
    record(of(program).patternMask, body, mask);
    record(of(program).backtracks, body, static_cast<std::uint8_t>(backtrackingSites > sitesBefore ? 1 : 0));
    return {pos, mask};
  }

  // Anagram components from pos to the pattern's OP_END (not included);
  // records at each component the mask of it and those after it.
  Walk components(int program, int pos) {
    std::vector<int> starts;
    std::vector<std::uint16_t> own;
    for (;;) {
      const std::uint8_t op = at(program, pos);
      const Inst component = inst(program, pos);
      std::uint16_t mask = 0;
      if (isBlockOpcode(op)) {
        ++backtrackingSites;
        const int entry = 1 + component.poolIndex();
        const std::vector<std::uint16_t>& entryMasks = of(entry).patternMask;
        mask = entryMasks.size() > kProgramBody ? entryMasks[kProgramBody] : 0;
      } else if (op == OP_VARIABLES) {
        usesVariables = true;
        for (int v = 0; v < kVariableCount; ++v) {
          if (component.variableCount(v) != 0) mask |= static_cast<std::uint16_t>(1u << v);
        }
      } else if (op != OP_CHOICE_SET && !isLettersOpcode(op)) {
        std::uint16_t after = 0;
        for (std::size_t i = starts.size(); i > 0; --i) {
          after |= own[i - 1];
          of(program).componentMask[static_cast<std::size_t>(starts[i - 1])] = after;
        }
        return {pos, after};
      }
      starts.push_back(pos);
      own.push_back(mask);
      pos = component.next();
    }
  }

  // A mixed run from its opcode; leaves pos after its items.
  std::uint16_t mixedRun(int program, int& pos) {
    std::uint16_t mask = 0;
    RunItem item = inst(program, pos).firstItem();
    for (; !item.atEnd(); item = item.next()) {
      if (item.isVariable()) mask |= static_cast<std::uint16_t>(1u << (item.variable() % kVariableCount));
    }
    pos = item.pc();
    if (mask != 0) usesVariables = true;
    return mask;
  }

  // A segment from pos up to and including its OP_END; records its mask.
  Walk segment(int program, int start) {
    int pos = start;
    std::uint16_t mask = 0;
    for (;;) {
      const std::uint8_t op = at(program, pos);
      const Inst here = inst(program, pos);
      if (op == OP_END) {
        pos = here.next();
        break;
      }
      if (op == OP_RUN) {
        pos = here.runEnd();
      } else if (op == OP_MIXED_RUN) {
        mask |= mixedRun(program, pos);
      } else if (op == OP_EXACT || op == OP_PUNCT) {
        pos = here.next();
      } else if (isSkipOpcode(op)) {
        if (op == OP_SKIP) {
          ++backtrackingSites;
          record(of(program).skipFlags, pos, fixedPart(program, here.nested()));
        }
        const Walk nested = segment(program, here.nested());
        mask |= nested.mask;
        pos = nested.end;
      } else if (isPatternHeader(op)) {
        if (op == OP_PATTERN_VARIABLE) ++backtrackingSites;
        const Walk inner = pattern(program, pos);
        mask |= inner.mask;
        pos = inner.end;
        if (op != OP_PATTERN) {
          record(of(program).restFlags, pos, fixedPart(program, pos));
          const Walk nested = segment(program, pos);
          mask |= nested.mask;
          pos = nested.end;
        }
      } else {
        pos = code(program).size();
        break;
      }
    }
    record(of(program).segmentMask, start, mask);
    return {pos, mask};
  }

  // Flags for the fixed elements from pos up to the next variable element,
  // and whether that element's failure from one place covers every later
  // place: a wildcard's does, and so does a variable-length sub-pattern's
  // when every rest after it is known to fail (not the last one's, whose
  // one window starts where it stands).
  std::uint8_t fixedPart(int program, int pos) {
    std::uint8_t flags = 0;
    for (;;) {
      const Inst here = inst(program, pos);
      switch (at(program, pos)) {
        case OP_RUN:
          pos = here.runEnd();
          break;
        case OP_MIXED_RUN:
          mixedRun(program, pos);
          break;
        case OP_EXACT:
        case OP_PUNCT:
          pos = here.next();
          break;
        case OP_PATTERN:
          flags |= MatchMemo::kHoldsSubpattern;
          pos = pattern(program, pos).end;
          break;
        case OP_SKIP:
        case OP_SKIP_REST:
        case OP_PATTERN_VARIABLE:
          return flags | MatchMemo::kNextCoversLater;
        default:
          return flags;
      }
    }
  }
};

std::unique_ptr<MatchMemo> MatchMemo::forProgram(const CompiledPattern& pattern) {
  MatchMemoBuilder builder(pattern);
  builder.run();
  if (builder.backtrackingSites == 0) return nullptr;
  const std::size_t wanted = static_cast<std::size_t>(builder.backtrackingSites) * 1024;
  const std::size_t capacity = std::bit_ceil(std::clamp<std::size_t>(wanted, 1024, 32768));
  return std::make_unique<MatchMemo>(capacity, builder.usesVariables, pattern.variablesExclusive(),
                                     std::move(builder.facts));
}

MatchMemo::MatchMemo(std::size_t capacity, bool usesVariables, bool exclusive, std::vector<ProgramFacts> facts)
    : entries_(capacity), usesVariables_(usesVariables), exclusive_(exclusive), facts_(std::move(facts)) {}

bool MatchMemo::skipMayStopEarly(int program, int pc) const {
  const auto& flags = facts_[static_cast<std::size_t>(program)].skipFlags;
  if (static_cast<std::size_t>(pc) >= flags.size()) return false;
  const std::uint8_t f = flags[static_cast<std::size_t>(pc)];
  return (f & kNextCoversLater) != 0 && ((f & kHoldsSubpattern) == 0 || !usesVariables_);
}

bool MatchMemo::restMayStopEarly(int program, int pc) const {
  const auto& flags = facts_[static_cast<std::size_t>(program)].restFlags;
  if (static_cast<std::size_t>(pc) >= flags.size()) return false;
  const std::uint8_t f = flags[static_cast<std::size_t>(pc)];
  return (f & kNextCoversLater) != 0 && ((f & kHoldsSubpattern) == 0 || !usesVariables_);
}

std::uint16_t MatchMemo::maskOf(int program, Scope scope, int pc) const {
  const ProgramFacts& f = facts_[static_cast<std::size_t>(program)];
  const std::vector<std::uint16_t>& masks =
      scope == Scope::Pattern ? f.patternMask : scope == Scope::Segment ? f.segmentMask : f.componentMask;
  return static_cast<std::size_t>(pc) < masks.size() ? masks[static_cast<std::size_t>(pc)] : 0x3FF;
}

void MatchMemo::fillBindings(Key& key, std::uint16_t mask, const VariableBindings& bindings) const {
  std::memset(key.values, 255, sizeof key.values);
  std::memset(key.held, 255, sizeof key.held);
  if (mask == 0) return;
  bool mayBind = false;
  for (int v = 0; v < 10; ++v) {
    if ((mask & (1u << v)) == 0) continue;
    const std::uint8_t value = bindings.live ? bindings.value[static_cast<std::size_t>(v)] : VariableBindings::kUnbound;
    key.values[v] = value;
    mayBind = mayBind || value == VariableBindings::kUnbound;
  }
  if (!mayBind || !exclusive_ || !bindings.live) return;
  // A new binding must avoid every letter a bound variable holds.
  int n = 0;
  for (const std::uint8_t value : bindings.value) {
    if (value != VariableBindings::kUnbound) key.held[n++] = value;
  }
  std::sort(key.held, key.held + n);
}

MatchMemo::Key MatchMemo::key(std::uint64_t site, int program, Scope scope, int scopePc,
                              const VariableBindings& bindings) const {
  Key key;
  key.site = site;
  fillBindings(key, usesVariables_ ? maskOf(program, scope, scopePc) : 0, bindings);
  return key;
}

MatchMemo::Key MatchMemo::subpatternKey(int program, int pc, int body, int end, int p, int k, int slack,
                                        const VariableBindings& bindings) const {
  Key key;
  // Bit 22 of the position keeps these apart from the places of segments,
  // which may start at the same header.
  key.site = pack(0, program, pc | (1 << 22), p, k, slack);
  const std::uint16_t mask = usesVariables_ ? static_cast<std::uint16_t>(maskOf(program, Scope::Pattern, body) |
                                                                         maskOf(program, Scope::Segment, end))
                                            : 0;
  fillBindings(key, mask, bindings);
  return key;
}

MatchMemo::Key MatchMemo::placementKey(int program, int pc, int occurrence, int deficit, int stretchStart,
                                       int stretchLength, const std::uint8_t* claimed,
                                       const VariableBindings& bindings) const {
  Key key;
  key.site = pack(1, program, pc, occurrence, deficit + 512, stretchLength);
  for (int i = 0; i < stretchLength; ++i) {
    const int at = stretchStart + i;
    if (claimed[at] != 0) key.claimed[at >> 6] |= std::uint64_t{1} << (at & 63);
  }
  // Positions 101 and above never occur: their bits carry the stretch start.
  key.claimed[1] |= static_cast<std::uint64_t>(stretchStart) << 40;
  fillBindings(key, usesVariables_ ? maskOf(program, Scope::Components, pc) : 0, bindings);
  return key;
}

void MatchMemo::newWord() {
  if (++stamp_ == 0) {
    for (Entry& entry : entries_) entry.stamp = 0;
    stamp_ = 1;
  }
  used_ = 0;
}

std::size_t MatchMemo::slotOf(const Key& key) const {
  // Mix every word of the key so that neighbouring places spread out.
  const auto mix = [](std::uint64_t h, std::uint64_t v) {
    h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    h *= 0xBF58476D1CE4E5B9ull;
    return h ^ (h >> 31);
  };
  std::uint64_t v = 0;
  std::uint64_t h = mix(0x94D049BB133111EBull, key.site);
  h = mix(h, key.claimed[0]);
  h = mix(h, key.claimed[1]);
  std::memcpy(&v, key.values, 8);
  h = mix(h, v);
  std::memcpy(&v, key.held, 8);
  h = mix(h, v);
  return static_cast<std::size_t>(h) & (entries_.size() - 1);
}

const MatchMemo::Entry* MatchMemo::find(const Key& key) const {
  const std::size_t mask = entries_.size() - 1;
  for (std::size_t slot = slotOf(key);; slot = (slot + 1) & mask) {
    const Entry& entry = entries_[slot];
    if (entry.stamp != stamp_) return nullptr;
    if (entry.key.site == key.site && entry.key.claimed[0] == key.claimed[0] &&
        entry.key.claimed[1] == key.claimed[1] && std::memcmp(entry.key.values, key.values, 10) == 0 &&
        std::memcmp(entry.key.held, key.held, 10) == 0) {
      return &entry;
    }
  }
}

bool MatchMemo::failed(const Key& key) const { return find(key) != nullptr; }

void MatchMemo::recordFailure(const Key& key) {
  // The table keeps a quarter empty so that probes stay short; beyond
  // that failures are not remembered.
  findOrAdd(key);
}

MatchMemo::Entry* MatchMemo::findOrAdd(const Key& key) {
  if (Entry* entry = const_cast<Entry*>(find(key))) return entry;
  if (used_ >= entries_.size() - entries_.size() / 4) return nullptr;
  const std::size_t mask = entries_.size() - 1;
  std::size_t slot = slotOf(key);
  while (entries_[slot].stamp == stamp_) slot = (slot + 1) & mask;
  Entry& entry = entries_[slot];
  entry.key = key;
  entry.stamp = stamp_;
  entry.value = -1;
  entry.bits[0] = entry.bits[1] = 0;
  ++used_;
  return &entry;
}

int MatchMemo::thresholdOf(const Key& key) const {
  const Entry* entry = find(key);
  return entry != nullptr ? entry->value : -1;
}

void MatchMemo::setThreshold(const Key& key, int place) {
  if (Entry* entry = findOrAdd(key)) entry->value = place;
}

const std::uint64_t* MatchMemo::restFailures(const Key& key) const {
  const Entry* entry = find(key);
  return entry != nullptr ? entry->bits : nullptr;
}

void MatchMemo::addRestFailure(const Key& key, int position) {
  if (position < 0 || position >= 128) return;
  if (Entry* entry = findOrAdd(key)) entry->bits[position >> 6] |= std::uint64_t{1} << (position & 63);
}

bool MatchMemo::patternBacktracks(int program, int pc) const {
  const auto& flags = facts_[static_cast<std::size_t>(program)].backtracks;
  return static_cast<std::size_t>(pc) >= flags.size() || flags[static_cast<std::size_t>(pc)] != 0;
}

}  // namespace kea
