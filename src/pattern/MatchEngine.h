// One pattern compiled for one dictionary, and the matcher that tests the
// dictionary's words against it. A pattern is compiled against the
// dictionary's alphabet (letters become alphabet indices, characters
// without one are punctuation), so the same text compiles per dictionary.
//
// Typical use:
//   MatchEngine engine;
//   if (engine.compile(alphabet, ".l...r.n") == PatternStatus::Valid) {
//     engine.setWordLength(8);
//     for (each word of length 8) if (engine.matches(word)) ...
//   }
//
// Matching allocates nothing and is not thread-safe: an engine holds the
// scratch tables of the word being matched (letter-variable bindings,
// anagram balance, letter counts), so one engine matches one word at a time.
//
// The engine owns two parts: the CompiledPattern (CompiledPattern.h), which
// the compiler (MatchEngineCompile.cc) produces and matching never changes,
// and the matcher's own state below it: the per-word scratch, the memo of
// failed attempts (MatchMemo.h), the block placement (BlockPlacement.h) and
// the template outline (TemplateOutline.h), built for the compiled pattern
// from its public interface.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Alphabet.h"
#include "dictionary/WordBuffer.h"
#include "pattern/BlockPlacement.h"
#include "pattern/CompiledPattern.h"
#include "pattern/MatchMemo.h"
#include "pattern/PatternPool.h"
#include "pattern/PatternProgram.h"
#include "pattern/PatternStatus.h"
#include "pattern/PositionSet.h"
#include "pattern/VariableBindings.h"

namespace kea {

class MatchMemo;
class TemplateOutline;

class MatchEngine final : private PlacementHost {
 public:
  MatchEngine();
  ~MatchEngine();
  MatchEngine(MatchEngine&&) noexcept;
  MatchEngine& operator=(MatchEngine&&) noexcept;
  MatchEngine(const MatchEngine&) = delete;
  MatchEngine& operator=(const MatchEngine&) = delete;

  // Compiles one pattern (one piece of a line) for a dictionary with this
  // alphabet. `ignoreUnusedPunctuation` is the "Ignore unused punctuation"
  // option: when false, a pattern that contains punctuation must match
  // every punctuation character of a word. `variablesExclusive` is the
  // "Exclusive letter variables" option.
  PatternStatus compile(const Alphabet& alphabet, std::string_view text,
                        bool ignoreUnusedPunctuation = true, bool variablesExclusive = true);

  bool isValid() const { return compiled_.valid(); }
  PatternStatus status() const { return compiled_.status(); }
  // The compiled pattern the engine matches with.
  const CompiledPattern& compiled() const { return compiled_; }

  // The Shortest and Longest settings, clamped into 1 … 100.
  void setShortest(int shortest);
  void setLongest(int longest);
  int shortestSetting() const { return shortestSetting_; }
  int longestSetting() const { return longestSetting_; }
  int effectiveShortest() const;
  int effectiveLongest() const;
  // 1 when the pattern has no upper length, -1 for a bounded range of
  // lengths, 0 for one length.
  int lengthKind() const;

  // Shortest word length of the pattern, and fixed + extra capped at 101
  // (101 = no upper limit).
  int fixedLength() const { return compiled_.fixedLength(); }
  int longestLength() const { return compiled_.longestLength(); }
  bool punctuationSensitive() const { return compiled_.punctuationSensitive(); }
  MatcherKind matcher() const { return compiled_.matcher(); }
  const std::vector<std::uint8_t>& program() const { return compiled_.program(); }
  const Pattern& pool() const { return compiled_.pool(); }
  // Per raw character: 255 significant punctuation, 254 escaped letter, 0 neither.
  const std::array<std::uint8_t, 256>& punctuationTable() const { return compiled_.punctuation(); }
  int opcodeCount() const { return compiled_.opcodeCount(); }
  // The compiled program and its pool in readable form.
  std::string dump() const;

  // Fixes the length of the words offered next (number of letters).
  void setWordLength(int length);
  int wordLength() const { return wordLength_; }
  int slack() const { return slack_; }

  // Whether the word matches. The word's key and raw text must be filled
  // and its length must be the one set by setWordLength; a word of any
  // other length, or outside the pattern's own range, does not match. For
  // punctuation-sensitive patterns the word's punctuation planes are
  // rebuilt from its raw text.
  bool matches(WordBuffer& word);

  // The anagram balance of the word last matched: per alphabet index, the
  // letters the word has beyond the anagram (positive) or lacks (negative).
  // `balanceGeneration` counts the balances computed for that word.
  int balanceGeneration() const { return balanceGeneration_; }
  // "-" and the lacking letters, then "+" and the letters over; empty when
  // the last match computed no balance, or more than one.
  std::string balanceText() const;

  // Letter-variable bindings left by the last successful match.
  const VariableBindings& variableBindings() const { return bindings_; }

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
  void reset();
  void prepareMatching(std::string_view text, bool ignoreUnusedPunctuation);
  bool fillPunctuationPlanes(WordBuffer& word);
  bool matchPlainRun(const WordBuffer& word) const;
  bool matchDistinctLetters(const WordBuffer& word) const;
  bool matchCountedLetters(const WordBuffer& word);
  // Whether the word holds every letter of the compiled required letters
  // often enough.
  bool holdsRequiredLetters(const WordBuffer& word) const;

  // The general matcher: one pattern (program position just after its
  // header) over the stretch of `length` letters at (p, k). Returns the
  // position after the pattern's OP_END and leaves k at the punctuation
  // offset after the stretch, or returns -1.
  int runPattern(int program, int pc, int p, int& k, int slack, int length);
  // The segment runner: template opcodes from pc to the segment's OP_END.
  int runSegment(int program, int pc, int p, int& k, int slack);
  int runSkip(int program, int pc, int p, int& k, int slack);
  int runSubpattern(int program, int pc, int p, int& k, int slack);
  int runLastSubpattern(int program, int pc, int p, int& k, int slack, bool regularInner, const PositionSet& ends);
  MatchMemo::Key restSetKey(int program, int pc, int end) const;
  bool recordRestFailure(const MatchMemo::Key& restKey, int from, int last, bool mayStopEarly);
  bool amongTries(int start, int q, int kq) const;
  static int firstUntried(const std::uint64_t* failed, int from, int last);
  // A mixed run's items at letter p; the position after them, or -1.
  int runMixedRun(Inst run, int p);

  // Anagram parts over a stretch.
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
  bool regular(int program, int header) const { return compiled_.regular(program, header); }
  int patternEndOf(int program, int header) const { return compiled_.patternEnd(program, header); }
  void buildLetterMasks();
  PositionSet reachPattern(int program, int body, PositionSet from, int end);
  PositionSet reachSegment(int program, int pc, PositionSet from, int end);
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
  // wildcard before its last (MatcherWindows.cc): the punctuation
  // offset its search hands on from (p, k), for every slack u up to
  // `longest` (-1: no success). False when the table is too small, and
  // the sub-pattern is searched as usual.
  bool windowed(int program, int header) const { return compiled_.windowed(program, header); }
  int runFixed(Code c, int pc, int& q, int& kq);
  bool readWindows(int program, int header, int p, int k, int longest, std::int16_t* offsets);

  // Program bytes by number: 0 is the main program, 1 + i pool entry i.
  Code code(int program) const { return compiled_.code(program); }
  Inst inst(int program, int pc) const { return compiled_.inst(program, pc); }
  int endOfAnagram(int program, int pc) const;
  std::uint8_t significantAt(int index) const;
  int punctuationBefore(int letter) const;
  bool runAligned(int p, int n, int k) const;

  // What the compiler wrote and what was read off it; never changed by matching.
  CompiledPattern compiled_;
  // The settings, and the word length set.
  int shortestSetting_ = 1;
  int longestSetting_ = 100;
  int wordLength_ = 0;
  int slack_ = 0;
  // The pattern with its template variables made match-alls, checked first
  // when that is a sound necessary condition (see prepareMatching).
  std::unique_ptr<MatchEngine> relaxed_;

  // Per-word scratch.
  // What a counted anagram still takes of each letter (the compiled counts
  // between words).
  std::array<std::uint8_t, 256> countedLeft_{};
  VariableBindings bindings_;
  int balanceGeneration_ = 0;
  std::array<std::int32_t, 256> balanceCounts_{};
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
  bool planeMasksReady_ = false;
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
  // Why the last segment run failed: in a wildcard's tries, and whether the
  // bindings were still as at the segment's start (see MatchMemo).
  bool wildcardFailed_ = false;
  bool wildcardFailedUnbound_ = false;
  // The last variable-length sub-pattern that failed found every rest after
  // it failing (so it fails from any later place as well).
  bool subpatternExhausted_ = false;
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

}  // namespace kea
