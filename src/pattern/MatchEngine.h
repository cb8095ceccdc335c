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
// Matching allocates nothing and is not thread-safe: the engine's matcher
// holds the scratch tables of the word being matched (letter-variable
// bindings, anagram balance, letter counts), so one engine matches one word
// at a time.
//
// The engine is a thin owner. It compiles the text (the compiler is in
// PatternCompiler.cc) into a CompiledPattern (CompiledPattern.h), which
// matching never changes, and builds for it a Matcher (Matcher.h), the
// general matcher with its per-word scratch, memo, block placement and
// template outline. It keeps the Shortest and Longest settings and the word
// length, answers the patterns that a fast check decides (a plain run, an
// anagram of letters) itself, turns away words that lack the pattern's
// required letters or fail its relaxed form (see prepareMatching), and
// hands every other word to the matcher.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dictionary/Alphabet.h"
#include "dictionary/WordBuffer.h"
#include "pattern/CompiledPattern.h"
#include "pattern/Matcher.h"
#include "pattern/PatternPool.h"
#include "pattern/PatternProgram.h"
#include "pattern/PatternStatus.h"
#include "pattern/VariableBindings.h"

namespace kea {

class MatchEngine final {
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

  bool isValid() const { return compiled().valid(); }
  PatternStatus status() const { return compiled().status(); }
  // The compiled pattern the engine matches with.
  const CompiledPattern& compiled() const { return compiled_ ? compiled_->pattern : noPattern(); }

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
  int fixedLength() const { return compiled().fixedLength(); }
  int longestLength() const { return compiled().longestLength(); }
  bool punctuationSensitive() const { return compiled().punctuationSensitive(); }
  MatcherKind matcher() const { return compiled().matcher(); }
  const std::vector<std::uint8_t>& program() const { return compiled().program(); }
  const Pattern& pool() const { return compiled().pool(); }
  // Per raw character: 255 significant punctuation, 254 escaped letter, 0 neither.
  const std::array<std::uint8_t, 256>& punctuationTable() const { return compiled().punctuation(); }
  int opcodeCount() const { return compiled().opcodeCount(); }
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
  int balanceGeneration() const { return compiled_ ? compiled_->matcher.balanceGeneration() : 0; }
  // "-" and the lacking letters, then "+" and the letters over; empty when
  // the last match computed no balance, or more than one.
  std::string balanceText() const;

  // Letter-variable bindings left by the last successful match.
  const VariableBindings& variableBindings() const {
    return compiled_ ? compiled_->matcher.variableBindings() : noBindings();
  }

 private:
  // The compiled pattern and the matcher built for it, kept together on the
  // heap: the matcher refers to the pattern, and a move of the engine moves
  // the pointer, never the pair.
  struct Compiled {
    explicit Compiled(CompiledPattern compiledPattern) : pattern(std::move(compiledPattern)), matcher(pattern) {}
    CompiledPattern pattern;
    Matcher matcher;
  };
  // What an engine without a pattern answers with.
  static const CompiledPattern& noPattern();
  static const VariableBindings& noBindings();

  void reset();
  void prepareMatching(std::string_view text, bool ignoreUnusedPunctuation);
  bool matchPlainRun(const WordBuffer& word) const;
  bool matchDistinctLetters(const WordBuffer& word) const;
  bool matchCountedLetters(const WordBuffer& word);
  // Whether the word holds every letter of the compiled required letters
  // often enough.
  bool holdsRequiredLetters(const WordBuffer& word) const;

  // Null before the first compile (and once moved from): no pattern.
  std::unique_ptr<Compiled> compiled_;
  // The settings, and the word length set.
  int shortestSetting_ = 1;
  int longestSetting_ = 100;
  int wordLength_ = 0;
  int slack_ = 0;
  // The pattern with its template variables made match-alls, checked first
  // when that is a sound necessary condition (see prepareMatching).
  std::unique_ptr<MatchEngine> relaxed_;
  // What a counted anagram still takes of each letter (the compiled counts
  // between words).
  std::array<std::uint8_t, 256> countedLeft_{};
};

}  // namespace kea
