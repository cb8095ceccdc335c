// One line of patterns compiled for one dictionary: the patterns joined by
// "&" and "|", negated by "!" and grouped by parentheses, as a token string
// with one slot per token. A slot holds the compiled pattern (operand) that
// stands just before its token, or nothing for a group open or close.
//
// There is no precedence between "&" and "|": a chain groups from the right,
// so "a & b | c" means a & (b | c). Patterns of one line do not share letter
// variables.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pattern/MatchEngine.h"

namespace kea {

// Token kinds (low three bits) and the negation flag.
inline constexpr std::uint8_t TOKEN_OR = 1;
inline constexpr std::uint8_t TOKEN_AND = 2;
inline constexpr std::uint8_t TOKEN_END = 3;
inline constexpr std::uint8_t TOKEN_OPEN = 4;
inline constexpr std::uint8_t TOKEN_CLOSE = 5;
inline constexpr std::uint8_t TOKEN_NOT = 8;
inline constexpr std::uint8_t kTokenKindMask = 7;

// Groups may nest at most this deep; one more is reported as unclosed.
inline constexpr int kMaxGroupDepth = 31;

// Replaces each "@" and "#" by its expansion (when that is not empty);
// "\" and the character after it are copied unchanged, so "\@" stays.
std::string expandMacros(std::string_view text, std::string_view atExpansion,
                         std::string_view hashExpansion);

class MatchEngineSet {
 public:
  enum class EvaluateMode {
    Constant,  // operands count as true where `satisfied` holds 1
    Length,    // can the line match words of this length (negation disregarded)
    Match,     // does this word match
  };

  // Parses a macro-expanded line into patterns and tokens and compiles each
  // pattern for a dictionary with this alphabet, with the Shortest and
  // Longest settings. Returns the line's status: unclosed groups (or more
  // than 31 nested) give SubpatternUnfinished, a group ")" without its "("
  // StrayClose, otherwise the first failing pattern's status.
  PatternStatus parseExpression(const Alphabet& alphabet, std::string_view text, int shortest,
                                int longest, bool ignoreUnusedPunctuation = true,
                                bool variablesExclusive = true);

  PatternStatus status() const { return status_; }
  const std::vector<std::uint8_t>& tokens() const { return tokens_; }
  // One slot per token; nullptr for a slot without a pattern.
  const std::vector<std::unique_ptr<MatchEngine>>& operands() const { return operands_; }
  // The line is one pattern (its first token ends it).
  bool isSinglePattern() const { return !tokens_.empty() && tokens_[0] == TOKEN_END; }
  int patternCount() const { return patternCount_; }

  // Evaluates the line strictly left to right. In Match mode every operand
  // must have had setWordLength for `length` (setLength does that); in
  // Constant mode `satisfied` has one entry per slot.
  bool evaluate(EvaluateMode mode, WordBuffer* word, int length,
                std::span<const std::uint8_t> satisfied = {});

  // Does the word (of the length last given to setLength) match the line.
  bool matches(WordBuffer& word, int length);

  // First and last length in 1 … 100 that the line can match, or (101, 0).
  std::pair<int, int> lengthRange();
  // setShortest / setLongest on every pattern.
  void setLengthLimits(int shortest, int longest);
  // setWordLength(n) on every pattern whose effective range holds n; false
  // only for a line of one slot whose pattern cannot have length n.
  bool setLength(int length);
  // +1 when the patterns' length kinds sum to 0 or more, else -1.
  int preferredOrder() const;
  // The anagram balance text of the word just matched (without the string
  // that precedes it in a result): only for a line of one pattern whose
  // match computed exactly one balance.
  std::string balance() const;

 private:
  void dropRepeats(const std::vector<std::string_view>& texts);
  void shareRepeats(const std::vector<std::string_view>& texts);
  bool operandMatches(std::size_t slot, MatchEngine& operand, WordBuffer& word, int length);

  std::vector<std::unique_ptr<MatchEngine>> operands_;
  std::vector<std::uint8_t> tokens_;
  // The slots that words and lengths are evaluated over (see dropRepeats).
  std::vector<std::uint32_t> evaluated_;
  // A pattern written again further on in the line is matched once per
  // word: per slot, the slot of its first writing (or its own), and that
  // slot's answer for the word of stamp `wordStamp_`.
  bool repeats_ = false;
  std::vector<std::uint32_t> firstWriting_;
  std::vector<std::uint32_t> answerStamps_;
  std::vector<std::uint8_t> answers_;
  std::uint32_t wordStamp_ = 0;
  int patternCount_ = 0;
  PatternStatus status_ = PatternStatus::Empty;
};

// An "&" or "|" of a pattern line with no pattern on one side: what is
// wrong with "a&" is not that it lacks letters. `position` is the
// operator's byte offset in the line.
struct EmptyOperand {
  enum class Side { None, After, Before, Between } side = Side::None;
  char op = 0;
  std::size_t position = 0;
};

// The first operator of `line` that has nothing to work on (spaces, "!"
// and group parentheses are nothing); Side::None when every operator has a
// pattern on both sides, or the line has no pattern at all.
EmptyOperand findEmptyOperand(std::string_view line);

}  // namespace kea
