// Memory of failed matching attempts within one word, so that patterns with
// many wildcards or variable-length sub-patterns take polynomial rather
// than exponential time (a line such as "*a*a*a*a*a*a*a*a*a*a*b" would
// otherwise try every way of spreading a long word over its wildcards).
//
// Soundness: an attempt's outcome is a function of where it starts (program,
// program position, letter position, punctuation offset, slack, and for
// anagram placements the claimed letters and the running deficit) and of
// the letter-variable bindings it can observe; the word is fixed for the
// whole match. It observes the values of the variables it mentions and,
// when it may bind one of them under exclusive variables, the set of
// letters that all bound variables hold; nothing else. A failed attempt
// leaves no trace (its bindings are undone), so a remembered failure can
// stand in for running the attempt again. Only failures are remembered, so
// the first success found, and every binding a match leaves, is exactly
// the one plain backtracking finds.
//
// Three shapes of memory keep the lookups few:
//  - a wildcard's tries from a place are a suffix of its tries from any
//    earlier place, so one start per wildcard (and word end, and bindings
//    seen) stands for every later place from which its tries all failed;
//  - the rests after a variable-length sub-pattern, when nothing in the
//    sub-pattern binds a variable and the pattern has no significant
//    punctuation, depend only on where they start: a bit set of failed
//    starts lets a loop skip them a word at a time;
//  - everything else (patterns run over a stretch, anagram placements,
//    places under significant punctuation) is one entry per failed attempt.
// A loop may also stop at the first try whose failure provably covers all
// later tries (skipMayStopEarly, restMayStopEarly).
//
// The table has a fixed size chosen at compile time and is reset for each
// word by bumping a generation stamp, so matching allocates nothing. When
// it is full, further failures are simply not remembered.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "pattern/Attempt.h"
#include "pattern/VariableBindings.h"

namespace kea {

class CompiledPattern;
struct PatternShape;

class MatchMemo {
 public:
  struct Key {
    std::uint64_t site = 0;  // kind, program, position, place and slack
    std::uint64_t claimed[2] = {0, 0};
    std::uint8_t values[10] = {};  // the mentioned variables' letters (254 unbound, 255 not mentioned)
    std::uint8_t held[10] = {};    // letters held by bound variables, ascending, 255 after
  };

  // What an attempt's scope starts with, for the variables it mentions.
  enum class Scope { Pattern, Segment, Components };

  // The memo for a compiled program, or nullptr when the program cannot
  // backtrack enough to need one.
  static std::unique_ptr<MatchMemo> forProgram(const CompiledPattern& pattern);

  // The memo reads what it knows of each program, per byte offset, off the
  // compiled pattern's shapes (PatternShape): which variables an attempt
  // there can observe, whether a pattern can backtrack, and the flags of
  // the shortcuts below. The pattern must outlive the memo.
  MatchMemo(std::size_t capacity, const CompiledPattern& pattern);

  // Sites: a tried place of a wildcard or a sub-pattern's rest, or a
  // pattern run over a stretch (kind 0); a wildcard's earliest failing
  // place (kind 2); an anagram placement (kind 1).
  static std::uint64_t place(int program, int pc, Place at, int slack) {
    return pack(0, program, pc, at.letter, at.offset, slack);
  }
  static std::uint64_t threshold(int program, int pc, int end) { return pack(2, program, pc, end, 0, 0); }
  // The places from which the rest after a sub-pattern failed (kind 3).
  static std::uint64_t restSet(int program, int pc, int end) { return pack(3, program, pc, end, 0, 0); }

  Key key(std::uint64_t site, int program, Scope scope, int scopePc, const VariableBindings& bindings) const;
  // A variable-length sub-pattern (header at pc, body at `body`) together
  // with the rest of its template (from `end`, after the pattern), run from
  // a place: its outcome observes the variables of both.
  Key subpatternKey(int program, int pc, int body, int end, Place at, int slack,
                    const VariableBindings& bindings) const;
  Key placementKey(int program, int pc, int occurrence, int deficit, int stretchStart, int stretchLength,
                   const std::uint8_t* claimed, const VariableBindings& bindings) const;

  void newWord();
  bool failed(const Key& key) const;
  void recordFailure(const Key& key);
  // The remembered failing start of a wildcard's tries for a threshold
  // key, if any; and replacing it.
  std::optional<Place> thresholdOf(const Key& key) const;
  void setThreshold(const Key& key, Place start);
  // Letter positions below 128 from which a rest failed, as a bit set; or
  // nullptr when none is remembered.
  const std::uint64_t* restFailures(const Key& key) const;
  void addRestFailure(const Key& key, int position);

  // Whether running the pattern whose body starts at pc can backtrack, so
  // that remembering its failures saves more than the lookup costs.
  bool patternBacktracks(int program, int pc) const;

  // The variables the pattern whose body starts at pc mentions.
  std::uint16_t patternVariables(int program, int body) const { return maskOf(program, Scope::Pattern, body); }

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
  bool skipMayStopEarly(int program, int pc) const;
  // The same for the tries of a variable-length sub-pattern, whose rest starts at pc.
  bool restMayStopEarly(int program, int pc) const;
  bool usesVariables() const { return usesVariables_; }

  // Statistics for tests and benchmarks.
  std::size_t capacity() const { return entries_.size(); }

 private:
  struct Entry {
    Key key;
    std::uint32_t stamp = 0;
    // A threshold's place, in the room of one int (places are far below
    // 2^15): the table stays as small as it was.
    std::int16_t thresholdLetter = -1;
    std::int16_t thresholdOffset = 0;
    std::uint64_t bits[2] = {0, 0};
  };


  static std::uint64_t pack(int kind, int program, int pc, int a, int b, int c) {
    return (static_cast<std::uint64_t>(kind) << 62) |
           (static_cast<std::uint64_t>(program & 0x1FF) << 53) |
           (static_cast<std::uint64_t>(pc & 0x7FFFFF) << 30) |
           (static_cast<std::uint64_t>(a & 0x3FF) << 20) |
           (static_cast<std::uint64_t>(b & 0x3FF) << 10) | static_cast<std::uint64_t>(c & 0x3FF);
  }
  std::uint16_t maskOf(int program, Scope scope, int pc) const;
  bool coversLater(const std::vector<std::uint8_t>& flags, int pc) const;
  void fillBindings(Key& key, std::uint16_t mask, const VariableBindings& bindings) const;
  std::size_t slotOf(const Key& key) const;
  const Entry* find(const Key& key) const;
  Entry* findOrAdd(const Key& key);

  std::vector<Entry> entries_;
  std::uint32_t stamp_ = 1;
  std::size_t used_ = 0;
  bool usesVariables_;
  bool exclusive_;
  const std::vector<PatternShape>& shapes_;

};

}  // namespace kea
