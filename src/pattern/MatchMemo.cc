#include "pattern/MatchMemo.h"

#include <algorithm>
#include <bit>

#include "pattern/MatchEngine.h"

namespace kea {

// Walks the compiled programs once to find the places where matching can
// backtrack, whether letter variables occur, and which wildcards allow the
// "later places fail too" shortcut.
class MatchMemoBuilder {
 public:
  explicit MatchMemoBuilder(const MatchEngine& engine) : engine_(engine) {}

  int backtrackingSites = 0;
  bool usesVariables = false;
  std::vector<std::vector<std::uint8_t>> monotone;

  void run() {
    const int programs = 1 + engine_.pool().count();
    monotone.resize(static_cast<std::size_t>(programs));
    for (int program = 0; program < programs; ++program) {
      const std::vector<std::uint8_t>& bytes =
          program == 0 ? engine_.program() : engine_.pool().entry(program - 1);
      if (bytes.empty() || bytes[0] < OP_PATTERN) continue;  // a choice set
      code_ = bytes.data();
      size_ = bytes.size();
      flags_ = &monotone[static_cast<std::size_t>(program)];
      flags_->assign(size_, 0);
      pattern(0);
    }
  }

 private:
  const MatchEngine& engine_;
  const std::uint8_t* code_ = nullptr;
  std::size_t size_ = 0;
  std::vector<std::uint8_t>* flags_ = nullptr;

  std::uint8_t at(std::size_t pos) const { return pos < size_ ? code_[pos] : OP_PROGRAM_END; }

  std::size_t pattern(std::size_t pos) {
    pos += 3;
    for (;;) {
      const std::uint8_t op = at(pos);
      if (op == OP_END) return pos + 1;
      if (op == OP_PROGRAM_END) return size_;
      pos = op == OP_ANAGRAM ? anagram(pos + 6) : segment(pos);
    }
  }

  std::size_t anagram(std::size_t pos) {
    for (;;) {
      switch (at(pos)) {
        case OP_PATTERN_VARIABLE:
        case OP_PATTERN_LAST:
          ++backtrackingSites;
          pos += 3;
          break;
        case OP_CHOICE_SET:
          pos += 3;
          break;
        case OP_VARIABLES:
          usesVariables = true;
          pos += 11;
          break;
        case OP_LETTERS_DISTINCT:
          pos += 2 + at(pos + 1);
          break;
        case OP_LETTERS_COUNTED:
          for (++pos; at(pos) < kFirstOpcode; pos += 2) {
          }
          break;
        default:
          return pos;
      }
    }
  }

  // Skips a mixed run's items; returns whether one is a letter variable.
  bool mixedRun(std::size_t& pos) {
    bool variable = false;
    for (pos += 2; at(pos) < kFirstOpcode;) {
      const std::uint8_t kind = at(pos) & kItemKindMask;
      if (kind == kItemVariable) variable = true;
      pos += (kind == 0 || kind == kItemVariable) ? 2 : 2 + at(pos + 1);
    }
    if (variable) usesVariables = true;
    return variable;
  }

  std::size_t segment(std::size_t pos) {
    for (;;) {
      switch (at(pos)) {
        case OP_END:
          return pos + 1;
        case OP_RUN:
          for (pos += 2; at(pos) < kFirstOpcode; pos += 2) {
          }
          break;
        case OP_MIXED_RUN:
          mixedRun(pos);
          break;
        case OP_EXACT:
        case OP_PUNCT:
          pos += 2;
          break;
        case OP_SKIP:
          ++backtrackingSites;
          (*flags_)[pos] = fixedPart(pos + 2);
          pos = segment(pos + 2);
          break;
        case OP_SKIP_REST:
          pos = segment(pos + 2);
          break;
        case OP_PATTERN:
          pos = pattern(pos);
          break;
        case OP_PATTERN_VARIABLE:
        case OP_PATTERN_LAST:
          if (at(pos) == OP_PATTERN_VARIABLE) ++backtrackingSites;
          pos = pattern(pos);
          pos = segment(pos);
          break;
        default:
          return size_;
      }
    }
  }

  // Flags for the elements from pos up to the next wildcard or sub-pattern:
  // kNextIsWildcard when a wildcard (not a sub-pattern or the end of the
  // template) follows them, kHoldsSubpattern when a fixed-length
  // sub-pattern is among them.
  std::uint8_t fixedPart(std::size_t pos) {
    std::uint8_t flags = 0;
    for (;;) {
      switch (at(pos)) {
        case OP_RUN:
          for (pos += 2; at(pos) < kFirstOpcode; pos += 2) {
          }
          break;
        case OP_MIXED_RUN:
          mixedRun(pos);
          break;
        case OP_EXACT:
        case OP_PUNCT:
          pos += 2;
          break;
        case OP_PATTERN:
          flags |= MatchMemo::kHoldsSubpattern;
          pos = pattern(pos);
          break;
        case OP_SKIP:
        case OP_SKIP_REST:
          return flags | MatchMemo::kNextIsWildcard;
        default:
          return flags;
      }
    }
  }
};

std::unique_ptr<MatchMemo> MatchMemo::forProgram(const MatchEngine& engine) {
  MatchMemoBuilder builder(engine);
  builder.run();
  if (builder.backtrackingSites == 0) return nullptr;
  const std::size_t wanted = static_cast<std::size_t>(builder.backtrackingSites) * 1024;
  const std::size_t capacity = std::bit_ceil(std::clamp<std::size_t>(wanted, 1024, 32768));
  auto memo = std::make_unique<MatchMemo>(capacity, builder.usesVariables);
  memo->monotone_ = std::move(builder.monotone);
  return memo;
}

MatchMemo::MatchMemo(std::size_t capacity, bool usesVariables)
    : entries_(capacity), usesVariables_(usesVariables) {}

MatchMemo::Key MatchMemo::placementKey(int program, int pc, int occurrence, int deficit,
                                       int stretchStart, int stretchLength,
                                       const std::uint8_t* claimed) {
  Key key;
  key.site = pack(1, program, pc, occurrence, deficit + 512, stretchLength);
  for (int i = 0; i < stretchLength; ++i) {
    const int at = stretchStart + i;
    if (claimed[at] != 0) key.claimed[at >> 6] |= std::uint64_t{1} << (at & 63);
  }
  // Positions 101 and above never occur: their bits carry the stretch start.
  key.claimed[1] |= static_cast<std::uint64_t>(stretchStart) << 40;
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
  std::uint64_t h = key.site * 0x9E3779B97F4A7C15ull;
  h ^= (key.claimed[0] + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
  h ^= (key.claimed[1] + 0x85EBCA77C2B2AE63ull) * 0x165667B19E3779F9ull;
  h ^= h >> 29;
  return static_cast<std::size_t>(h) & (entries_.size() - 1);
}

bool MatchMemo::sameBindings(const Entry& entry, const VariableBindings& bindings) const {
  if (!usesVariables_) return true;
  // A table that is not live is all unbound.
  for (int v = 0; v < 10; ++v) {
    const std::uint8_t value = bindings.live ? bindings.value[static_cast<std::size_t>(v)] : VariableBindings::kUnbound;
    if (entry.bindings[v] != value) return false;
  }
  return true;
}

bool MatchMemo::failed(const Key& key, const VariableBindings& bindings) const {
  const std::size_t mask = entries_.size() - 1;
  for (std::size_t slot = slotOf(key);; slot = (slot + 1) & mask) {
    const Entry& entry = entries_[slot];
    if (entry.stamp != stamp_) return false;
    if (entry.key.site == key.site && entry.key.claimed[0] == key.claimed[0] &&
        entry.key.claimed[1] == key.claimed[1] && sameBindings(entry, bindings)) {
      return true;
    }
  }
}

void MatchMemo::recordFailure(const Key& key, const VariableBindings& bindings) {
  // Keep a quarter of the table empty so that probes stay short.
  if (used_ >= entries_.size() - entries_.size() / 4) return;
  const std::size_t mask = entries_.size() - 1;
  std::size_t slot = slotOf(key);
  while (entries_[slot].stamp == stamp_) slot = (slot + 1) & mask;
  Entry& entry = entries_[slot];
  entry.key = key;
  entry.stamp = stamp_;
  for (int v = 0; v < 10; ++v) {
    entry.bindings[v] = bindings.live ? bindings.value[static_cast<std::size_t>(v)] : VariableBindings::kUnbound;
  }
  ++used_;
}

}  // namespace kea
