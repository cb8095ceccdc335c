// A slow reference matcher, written only for the tests, that the engine is
// checked against. It shares no code with the engine: it parses the
// pattern text into a tree, builds the word's punctuation plane itself and
// follows the matching rules directly, trying every split of every wildcard
// and every letter for every variable by plain recursion on copied state.
// It handles the valid patterns the tests generate (no "&" or "|" inside a
// pattern, no "!").
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Alphabet.h"

namespace kea::test {

struct ReferenceOptions {
  bool ignoreUnusedPunctuation = true;
  bool variablesExclusive = true;
};

class ReferencePattern {
 public:
  ReferencePattern(std::string_view text, const Alphabet& alphabet, ReferenceOptions options);
  ~ReferencePattern();

  int fixedLength() const;
  int longestLength() const;

  // Whether the word (raw entry text) matches; `balance` receives the
  // balance text when exactly one anagram balance was computed.
  bool matches(std::string_view word, std::string* balance = nullptr) const;

  struct Tree;

 private:
  std::unique_ptr<Tree> tree_;
};

// A logical line as a tree, rendered to text for the engine and evaluated
// directly for the reference.
struct LineNode {
  enum Kind { Leaf, And, Or } kind = Leaf;
  bool negated = false;
  std::string pattern;                  // Leaf
  std::unique_ptr<LineNode> left, right;  // And, Or
};

// Whether the word matches the line: its length must lie between the first
// and the last length the line can match (from every pattern's own range,
// negation disregarded), and then the tree's value holds, each pattern
// being true when the word has a length in its range and matches it.
bool referenceLineMatches(const LineNode& line, std::string_view word, const Alphabet& alphabet,
                          ReferenceOptions options);

}  // namespace kea::test
