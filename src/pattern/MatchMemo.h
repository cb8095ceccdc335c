// Memory of failed matching attempts within one word, so that patterns with
// many wildcards or variable-length sub-patterns take polynomial rather
// than exponential time (a line such as "*a*a*a*a*a*a*a*a*a*a*b" would
// otherwise try every way of spreading a long word over its wildcards).
//
// Soundness: an attempt's outcome is a function of where it starts (program,
// program position, letter position, punctuation offset, slack, and for
// anagram placements the claimed letters and the running deficit) and of
// the letter-variable bindings it starts with; the word is fixed for the
// whole match. A failed attempt leaves no trace (its bindings are undone),
// so a remembered failure can stand in for running the attempt again. When
// the program uses no letter variables at all the bindings are left out of
// the key; otherwise the full binding table is part of it. Only failures
// are remembered, so the first success found, and with it every binding a
// match leaves, is exactly the one plain backtracking finds.
//
// The table has a fixed size chosen at compile time and is reset for each
// word by bumping a generation stamp, so matching allocates nothing. When
// it is full, further failures are simply not remembered.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "pattern/VariableBindings.h"

namespace kea {

class MatchEngine;

class MatchMemo {
 public:
  struct Key {
    std::uint64_t site = 0;    // kind, program, position, place and slack
    std::uint64_t claimed[2] = {0, 0};
  };

  // The memo for a compiled program, or nullptr when the program cannot
  // backtrack enough to need one.
  static std::unique_ptr<MatchMemo> forProgram(const MatchEngine& engine);

  MatchMemo(std::size_t capacity, bool usesVariables);

  static Key key(int program, int pc, int p, int k, int slack) {
    Key key;
    key.site = pack(0, program, pc, p, k, slack);
    return key;
  }
  static Key placementKey(int program, int pc, int occurrence, int deficit, int stretchStart,
                          int stretchLength, const std::uint8_t* claimed);

  void newWord();
  bool failed(const Key& key, const VariableBindings& bindings) const;
  void recordFailure(const Key& key, const VariableBindings& bindings);

  // Whether a wildcard may give up at the first place where the rest of
  // its template failed in the next wildcard's own tries, without trying
  // later places. That holds, for a pattern without significant
  // punctuation, when the fixed elements between the two wildcards left the
  // bindings as they were: from any later place those elements either fail
  // or bring the next wildcard to a later place under the same bindings,
  // and its tries from there are a subset of the tries that all failed. A
  // fixed-length sub-pattern among the elements could bind a variable at a
  // later place that it left unbound here, so it rules the shortcut out
  // when the program uses variables.
  bool skipMayStopEarly(int program, int pc) const {
    const auto& flags = monotone_[static_cast<std::size_t>(program)];
    if (static_cast<std::size_t>(pc) >= flags.size()) return false;
    const std::uint8_t f = flags[static_cast<std::size_t>(pc)];
    return (f & kNextIsWildcard) != 0 && ((f & kHoldsSubpattern) == 0 || !usesVariables_);
  }
  bool usesVariables() const { return usesVariables_; }

  static constexpr std::uint8_t kNextIsWildcard = 1;
  static constexpr std::uint8_t kHoldsSubpattern = 2;

  // Statistics for tests and benchmarks.
  std::size_t capacity() const { return entries_.size(); }
  std::size_t recorded() const { return used_; }

 private:
  struct Entry {
    Key key;
    std::uint32_t stamp = 0;
    std::uint8_t bindings[10] = {};
    bool live = false;
  };

  static std::uint64_t pack(int kind, int program, int pc, int a, int b, int c) {
    return (static_cast<std::uint64_t>(kind) << 62) |
           (static_cast<std::uint64_t>(program & 0x1FF) << 53) |
           (static_cast<std::uint64_t>(pc & 0x7FFFFF) << 30) |
           (static_cast<std::uint64_t>(a & 0x3FF) << 20) |
           (static_cast<std::uint64_t>(b & 0x3FF) << 10) | static_cast<std::uint64_t>(c & 0x3FF);
  }
  std::size_t slotOf(const Key& key) const;
  bool sameBindings(const Entry& entry, const VariableBindings& bindings) const;

  std::vector<Entry> entries_;
  std::uint32_t stamp_ = 1;
  std::size_t used_ = 0;
  bool usesVariables_;
  std::vector<std::vector<std::uint8_t>> monotone_;

  friend class MatchMemoBuilder;
};

}  // namespace kea
