// A pattern compiled for one dictionary. The compiler (PatternCompiler.cc)
// writes a CompilerOutput: the byte program and its pool, the lengths and
// the punctuation the pattern allows. A CompiledPattern is built from it
// once and never changes after: it keeps what the compiler wrote and reads
// off it, once, the facts the matcher needs: the tables of the fast checks
// and, per pattern header, the shape of the pattern (where it ends, whether
// it can be read over sets of places, ...). The matcher (Matcher.h) only
// reads it, through the interface below.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "dictionary/Alphabet.h"
#include "pattern/PatternPool.h"
#include "pattern/PatternProgram.h"
#include "pattern/PatternStatus.h"

namespace kea {

// The routine that runs a compiled program, chosen when it is compiled.
enum class MatcherKind {
  PlainRun,         // one run of letters and match-alls
  DistinctLetters,  // an anagram of letters that are all different
  CountedLetters,   // an anagram of letters with repeats
  General,          // everything else
};

// What the compiler writes. A compile that fails may leave any of it
// partly written; only the status tells whether it holds a program.
struct CompilerOutput {
  std::vector<std::uint8_t> program;
  Pattern pool;
  int fixedLength = 0;
  int longestLength = 0;
  // Per raw character: 255 significant punctuation, 254 escaped letter, 0 neither.
  std::array<std::uint8_t, 256> punctuation{};
  bool punctuationSensitive = false;
  int opcodeCount = 0;
  MatcherKind matcher = MatcherKind::General;
  // Letter variables in templates, and in anagram parts.
  bool templateVariables = false;
  bool anagramVariables = false;
  // (index, count) pairs: the letters of the templates outside anagram
  // parts, which every matching word holds.
  std::vector<std::uint8_t> requiredLetters;
};

// Per byte offset of a compiled program, for the offsets where a pattern
// header stands: whether the pattern is regular (matched over sets of
// places) and the offset after its OP_END.
struct PatternShape {
  std::vector<std::uint8_t> regular;
  std::vector<std::uint8_t> variables;  // the pattern mentions a letter variable
  std::vector<std::uint8_t> anagram;    // the pattern holds an anagram part, at any depth
  // A variable-length sub-pattern read for every window length in one pass
  // (see MatcherWindowLengths.cc).
  std::vector<std::uint8_t> windowed;
  std::vector<std::uint32_t> end;
  // Offsets of the program's OP_ANAGRAM, and of the header of the pattern
  // each belongs to.
  std::vector<std::uint32_t> anagrams;
  std::vector<std::uint32_t> anagramOwners;

  // What the memo of failed attempts (MatchMemo.h) reads. The letter
  // variables (bit v for variable v) that an attempt can observe: per
  // pattern body start, per segment start, and per anagram component (that
  // component and the ones after it). Whether a pattern, by its body
  // start, can backtrack. Per OP_SKIP (skipFlags), and per start of the
  // rest after a variable-length sub-pattern (restFlags), the flags of the
  // fixed elements that follow. All but skipFlags have one entry more than
  // the program has bytes, for the place after its last pattern.
  std::vector<std::uint16_t> patternMask;
  std::vector<std::uint16_t> segmentMask;
  std::vector<std::uint16_t> componentMask;
  std::vector<std::uint8_t> backtracks;
  std::vector<std::uint8_t> skipFlags;
  std::vector<std::uint8_t> restFlags;
  // The flags: the element after the fixed ones is a wildcard or a
  // variable-length sub-pattern, whose failure from one place covers every
  // later place; a fixed-length sub-pattern stands among them.
  static constexpr std::uint8_t kNextCoversLater = 1;
  static constexpr std::uint8_t kHoldsSubpattern = 2;
};

class CompiledPattern {
 public:
  // No pattern: invalid, status Empty.
  CompiledPattern() = default;
  // What a compile with this status wrote. A pattern that is not valid
  // keeps no program and no pool, and nothing is read off it.
  CompiledPattern(const Alphabet& alphabet, CompilerOutput output, PatternStatus status, bool variablesExclusive);

  bool valid() const { return status_ == PatternStatus::Valid; }
  PatternStatus status() const { return status_; }
  const Alphabet& alphabet() const { return alphabet_; }
  bool variablesExclusive() const { return variablesExclusive_; }

  // What the compiler wrote.
  const std::vector<std::uint8_t>& program() const { return out_.program; }
  const Pattern& pool() const { return out_.pool; }
  int fixedLength() const { return out_.fixedLength; }
  int longestLength() const { return out_.longestLength; }
  const std::array<std::uint8_t, 256>& punctuation() const { return out_.punctuation; }
  bool punctuationSensitive() const { return out_.punctuationSensitive; }
  int opcodeCount() const { return out_.opcodeCount; }
  MatcherKind matcher() const { return out_.matcher; }
  bool templateVariables() const { return out_.templateVariables; }
  bool anagramVariables() const { return out_.anagramVariables; }
  const std::vector<std::uint8_t>& requiredLetters() const { return out_.requiredLetters; }

  // Program bytes by number: 0 is the main program, 1 + i pool entry i.
  int programCount() const { return 1 + out_.pool.count(); }
  Code code(int program) const { return program == 0 ? Code(out_.program) : Code(out_.pool.entry(program - 1)); }
  Inst inst(int program, int pc) const { return Inst(code(program), pc); }

  // The fast checks' tables: (position, index) pairs of a plain run, the
  // set of a distinct-letters anagram, the counts of a counted one.
  const std::vector<std::uint8_t>& runPairs() const { return runPairs_; }
  const std::array<std::uint64_t, 4>& distinctLetters() const { return distinctLetters_; }
  const std::array<std::uint8_t, 256>& countedLetters() const { return countedLetters_; }

  // The shapes of the general matcher's patterns, per program (empty for
  // the fast checks' patterns).
  const std::vector<PatternShape>& shapes() const { return shapes_; }
  const PatternShape& shape(int program) const { return shapes_[static_cast<std::size_t>(program)]; }
  // Whether the pattern whose header stands at `header` is regular (see
  // MatcherReach.cc), or read for every window in one pass (see
  // MatcherWindowLengths.cc); where it ends.
  bool regular(int program, int header) const;
  bool windowed(int program, int header) const;
  int patternEnd(int program, int header) const {
    return static_cast<int>(shapes_[static_cast<std::size_t>(program)].end[static_cast<std::size_t>(header)]);
  }
  // Whether the whole word is read over sets of places, over letters or
  // over the plane of significant characters.
  bool readWholeOverSets() const { return readWholeOverSets_; }
  bool readPlaneOverSets() const { return readPlaneOverSets_; }
  // The places where matching can backtrack (wildcards that try their
  // places in turn, variable-length sub-patterns other than the last of
  // their template, anagram blocks), over all programs; and whether a
  // template run or an anagram part mentions a letter variable.
  int backtrackingSites() const { return backtrackingSites_; }
  bool mentionsVariables() const { return mentionsVariables_; }

 private:
  void buildFastChecks();
  void analyseShapes();
  void choosePlaneReading(bool backtracks);

  Alphabet alphabet_;
  CompilerOutput out_;
  PatternStatus status_ = PatternStatus::Empty;
  bool variablesExclusive_ = true;
  std::vector<std::uint8_t> runPairs_;
  std::array<std::uint64_t, 4> distinctLetters_{};
  std::array<std::uint8_t, 256> countedLetters_{};
  std::vector<PatternShape> shapes_;
  bool readWholeOverSets_ = false;
  bool readPlaneOverSets_ = false;
  int backtrackingSites_ = 0;
  bool mentionsVariables_ = false;
};

}  // namespace kea
