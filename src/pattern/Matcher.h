// The general matcher: tests words against one compiled pattern.
//
// A Matcher reads its CompiledPattern (CompiledPattern.h) only through that
// class's public interface and never changes it; everything that changes
// while words are matched is its own:
//  - the per-word scratch: letter-variable bindings, the places of the
//    word's letters (over letters and over the plane of significant
//    characters), letter counts and claimed places of anagram parts, the
//    anagram balance;
//  - the memo of failed attempts (MatchMemo.h);
//  - the sweep that places anagram blocks (BlockPlacement.h), for which it
//    is the host;
//  - the template outline (TemplateOutline.h).
// The memo, the placement and the outline are built from the compiled
// pattern when the matcher is made, so matching a word allocates nothing.
//
// The matcher serves the patterns of MatcherKind::General; MatchEngine
// (MatchEngine.h) compiles the pattern, answers the fast checks itself and
// hands the rest of the words to it. A Matcher refers to its pattern for
// its whole life and is neither copied nor moved. It is not thread-safe:
// one matcher matches one word at a time.
//
// The work is spread over MatcherRun.cc (templates, wildcards and
// sub-patterns), MatcherAnagram.cc (anagram parts), MatcherReach.cc
// (patterns read over sets of places) and MatcherWindowLengths.cc (sub-patterns
// read for every window length at once); Matcher.cc holds the tables built
// for the pattern and the per-word planes, and the entry point is inline
// below.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "dictionary/WordBuffer.h"
#include "pattern/Attempt.h"
#include "pattern/BlockPlacement.h"
#include "pattern/CompiledPattern.h"
#include "pattern/MatchMemo.h"
#include "pattern/PositionSet.h"
#include "pattern/Program.h"
#include "pattern/VariableBindings.h"

namespace kea {

class TemplateOutline;

class Matcher final : private PlacementHost {
 public:
  explicit Matcher(const CompiledPattern& pattern);
  ~Matcher();
  Matcher(const Matcher&) = delete;
  Matcher& operator=(const Matcher&) = delete;

  // Fixes the length of the words offered next (number of letters); the
  // slack is what the pattern's wildcards and sub-patterns share.
  void setWordLength(int length, int slack) {
    wordLength_ = length;
    slack_ = slack;
  }

  // Forgets the bindings and the balance of the last word. Called for every
  // word offered, before the caller's own checks, so that a word those
  // checks turn down leaves none behind either.
  void startWord() {
    bindings_.reset();
    balanceGeneration_ = 0;
  }
  // Whether the word matches the pattern. The word's key and raw text must
  // be filled and its length must be the one set; startWord comes first.
  // For punctuation-sensitive patterns the word's punctuation planes are
  // rebuilt from its raw text.
  bool matches(WordBuffer& word);

  // Letter-variable bindings left by the last successful match.
  const VariableBindings& variableBindings() const { return bindings_; }
  // The anagram balance of the word last matched, and how many balances
  // were computed for it (see MatchEngine.h).
  int balanceGeneration() const { return balanceGeneration_; }
  std::string balanceText() const;

 private:
  // What the sweep that places anagram blocks asks of the matcher
  // (BlockPlacement.h).
  const std::array<PositionSet, 256>& letterPlaces() override;
  std::span<const std::uint8_t> heldLetters() const override;
  PositionSet reachBlock(int entry, PositionSet from, int end) override;
  bool runBlock(int entry, int q, int extra, int length) override;
  VariableBindings& bindings() override { return bindings_; }
  bool componentsFit(int program, int pc, int start, int length, std::span<const std::uint8_t> letters,
                     const std::uint8_t* counts, int r) override;
  bool fillPunctuationPlanes(WordBuffer& word);
  bool readPlane(const WordBuffer& word);

  // One pattern (program position just after its header) over the stretch
  // of `length` letters from `at`; on success the attempt ends after the
  // pattern's OP_END, at the punctuation offset after the stretch.
  Attempt runPattern(int program, int pc, Place at, int slack, int length);
  // The segment runner: template opcodes from pc to the segment's OP_END.
  Attempt runSegment(int program, int pc, Place at, int slack);
  Attempt runSkip(int program, int pc, Place at, int slack);
  Attempt runSubpattern(int program, int pc, Place at, int slack);
  Attempt runLastSubpattern(int program, int pc, Place at, int slack, bool regularInner, const PositionSet& ends);
  Attempt runRemembered(int program, int pc, Place at, int slack);
  MatchMemo::Key restSetKey(int program, int pc, int end) const;
  bool recordRestFailure(const MatchMemo::Key& restKey, int from, int last, bool coversLater);
  bool amongTries(Place start, Place to) const;
  // A mixed run's items at letter p; the position after them, or -1.
  int runMixedRun(Inst run, int p);

  // Anagram parts over a stretch (MatcherAnagram.cc).
  bool runAnagram(int program, int pc, int p, int length, int deficit);
  bool anagramComponent(int program, int pc, int deficit);
  bool placeOccurrence(int program, int pc, int occurrence, int deficit);
  bool placeWindows(int program, int pc, int occurrence, int deficit);
  bool pickChoices(int program, int pc, const std::uint8_t* set, int remaining, int highest,
                   int deficit);
  bool assignVariables(int program, int pc, int deficit);
  bool assignUnbound(int program, int pc, int variable, int deficit, std::uint16_t fresh);
  int lettersComponent(int program, int pc) const;
  bool anagramHopeless(int deficit) const;
  bool spendTry();
  bool blocksHopeless(int program, int pc, int anagramLength, int deficit);
  bool variablesHopeless(const std::uint8_t* counts, int variable, int deficit) const;
  void recordBalance(int program, int anagramPc, int p, int length);

  // Patterns that bind no letter variable and hold no anagram part, in a
  // program without significant punctuation, are run over sets of places
  // (MatcherReach.cc): from every place where such a pattern may start,
  // the places where it may end, in time linear in its length.
  bool regular(int program, int header) const { return pattern_.regular(program, header); }
  int patternEndOf(int program, int header) const { return pattern_.patternEnd(program, header); }
  void buildLetterMasks();
  PositionSet reachPattern(int program, int body, PositionSet from, int end);
  template <typename Places>
  Places reachFrom(int program, int pc, Places from, int end);
  PositionSet runStarts(Inst run, int end);
  // The same over the places of a word with significant punctuation, which
  // are the indices of its significant-character plane: for an outermost
  // template of runs, wildcards and punctuation only (see
  // CompiledPattern::readPlaneOverSets).
  void buildPlaneMasks();
  PlaneSet planeRunStarts(Inst run, int end);
  PlaneSet rawMask(std::uint8_t raw);
  PlaneSet reachPlane(int pc, PlaneSet from, int end);
  // A variable-length sub-pattern of fixed elements around at most one
  // wildcard before its last (MatcherWindowLengths.cc): the punctuation offset
  // its search hands on from `from`, for every slack u up to `longest`
  // (-1: no success). False when the table is too small, and the
  // sub-pattern is searched as usual.
  bool windowed(int program, int header) const { return pattern_.windowed(program, header); }
  // Where a reading of fixed elements stopped: the position of the
  // element after them (-1 on a mismatch) and the place reached.
  struct FixedRead {
    int next = -1;
    Place at;
  };
  FixedRead runFixed(Code c, int pc, Place at);
  bool readWindows(int program, int header, Place from, int longest, std::int16_t* offsets);

  // Program bytes by number: 0 is the main program, 1 + i pool entry i.
  Code code(int program) const { return pattern_.code(program); }
  Inst inst(int program, int pc) const { return pattern_.inst(program, pc); }
  int endOfAnagram(int program, int pc) const;
  std::uint8_t significantAt(int index) const;
  int punctuationBefore(int letter) const;
  bool runAligned(int p, int n, int k) const;

  const CompiledPattern& pattern_;
  // Asked at every run of letters: kept here, one load away.
  const bool punctuationSensitive_;
  int wordLength_ = 0;
  int slack_ = 0;

  // Per-word scratch.
  VariableBindings bindings_;
  int balanceGeneration_ = 0;
  // The balance of the last anagram part that matched (see recordBalance).
  std::array<std::int32_t, 256> balanceCounts_{};
  // An anagram part's letters not yet taken, and the places its blocks claimed.
  std::array<std::int16_t, 256> letterCounts_{};
  std::array<std::uint8_t, kkd::kMaxLengthSlots + 1> claimed_{};
  const WordBuffer* word_ = nullptr;
  // Per alphabet index, the places of the word holding that letter; built
  // on first use for each word.
  std::array<PositionSet, 256> letterMasks_{};
  std::array<std::uint8_t, 128> maskedLetters_{};
  int maskedLetterCount_ = 0;
  bool letterMasksReady_ = false;
  // Over plane indices: the letters, each letter of the alphabet, and raw
  // characters asked for.
  std::array<PlaneSet, 256> planeLetters_{};
  std::array<std::uint8_t, 256> planeMasked_{};
  int planeMaskedCount_ = 0;
  PlaneSet planeIsLetter_;
  std::array<PlaneSet, 256> rawMasks_{};
  std::array<std::uint32_t, 256> rawStamps_{};
  std::uint32_t planeStamp_ = 0;
  int significantLength_ = 0;
  // The stretch the innermost running anagram part works on.
  struct AnagramFrame {
    int p = 0;
    int length = 0;
    bool counted = false;
    int program = 0;
    int letters = -1;  // position of the letters component once counted
  };
  AnagramFrame anagram_;
  std::unique_ptr<MatchMemo> memo_;
  std::unique_ptr<BlockPlacement> placement_;
  // For a template binding variables between wildcards: whether its rest
  // can still be laid down after a new binding (see TemplateOutline.h).
  std::unique_ptr<TemplateOutline> outline_;
  bool newBinding_ = false;
  // Tries left to the search of an anagram part that a sweep can decide
  // (-1: no limit), and whether it ran out.
  static constexpr int kSearchTries = 64;
  int searchBudget_ = -1;
  bool searchAborted_ = false;
};

// Inline: it runs for every word the engine hands over.
inline bool Matcher::matches(WordBuffer& word) {
  if (punctuationSensitive_ && !fillPunctuationPlanes(word)) return false;
  word_ = &word;
  if (memo_) memo_->newWord();
  letterMasksReady_ = false;
  bool matched = false;
  if (pattern_.readWholeOverSets()) {
    // A regular pattern with variable-length sub-patterns is read once over
    // the sets of places instead of being backtracked.
    matched = reachPattern(0, kProgramBody, PositionSet::single(0), wordLength_).test(wordLength_);
  } else if (pattern_.readPlaneOverSets() && significantLength_ < PlaneSet::kSize - 2) {
    matched = readPlane(word);
  } else {
    matched = runPattern(0, kProgramBody, Place{}, slack_, wordLength_).matched();
  }
  word_ = nullptr;
  return matched;
}

}  // namespace kea
