#include "pattern/MatchMemo.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "pattern/CompiledPattern.h"

namespace kea {

std::unique_ptr<MatchMemo> MatchMemo::forProgram(const CompiledPattern& pattern) {
  if (pattern.backtrackingSites() == 0) return nullptr;
  const std::size_t wanted = static_cast<std::size_t>(pattern.backtrackingSites()) * 1024;
  const std::size_t capacity = std::bit_ceil(std::clamp<std::size_t>(wanted, 1024, 32768));
  return std::make_unique<MatchMemo>(capacity, pattern);
}

MatchMemo::MatchMemo(std::size_t capacity, const CompiledPattern& pattern)
    : entries_(capacity),
      usesVariables_(pattern.mentionsVariables()),
      exclusive_(pattern.variablesExclusive()),
      shapes_(pattern.shapes()) {}

bool MatchMemo::skipMayStopEarly(int program, int pc) const {
  return coversLater(shapes_[static_cast<std::size_t>(program)].skipFlags, pc);
}

bool MatchMemo::restMayStopEarly(int program, int pc) const {
  return coversLater(shapes_[static_cast<std::size_t>(program)].restFlags, pc);
}

bool MatchMemo::coversLater(const std::vector<std::uint8_t>& flags, int pc) const {
  if (static_cast<std::size_t>(pc) >= flags.size()) return false;
  const std::uint8_t f = flags[static_cast<std::size_t>(pc)];
  return (f & PatternShape::kNextCoversLater) != 0 && ((f & PatternShape::kHoldsSubpattern) == 0 || !usesVariables_);
}

std::uint16_t MatchMemo::maskOf(int program, Scope scope, int pc) const {
  const PatternShape& f = shapes_[static_cast<std::size_t>(program)];
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

MatchMemo::Key MatchMemo::subpatternKey(int program, int pc, int body, int end, Place at, int slack,
                                        const VariableBindings& bindings) const {
  Key key;
  // Bit 22 of the position keeps these apart from the places of segments,
  // which may start at the same header.
  key.site = pack(0, program, pc | (1 << 22), at.letter, at.offset, slack);
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
  entry.thresholdLetter = -1;
  entry.thresholdOffset = 0;
  entry.bits[0] = entry.bits[1] = 0;
  ++used_;
  return &entry;
}

std::optional<Place> MatchMemo::thresholdOf(const Key& key) const {
  const Entry* entry = find(key);
  if (entry == nullptr || entry->thresholdLetter < 0) return std::nullopt;
  return Place{entry->thresholdLetter, entry->thresholdOffset};
}

void MatchMemo::setThreshold(const Key& key, Place start) {
  if (Entry* entry = findOrAdd(key)) {
    entry->thresholdLetter = static_cast<std::int16_t>(start.letter);
    entry->thresholdOffset = static_cast<std::int16_t>(start.offset);
  }
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
  const auto& flags = shapes_[static_cast<std::size_t>(program)].backtracks;
  return static_cast<std::size_t>(pc) >= flags.size() || flags[static_cast<std::size_t>(pc)] != 0;
}

}  // namespace kea
