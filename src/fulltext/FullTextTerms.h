// The terms of a full-text query: each pattern of a compiled line is one
// term, a word that a definition's text must (or, negated, must not)
// contain. The sequential search offers every word of a definition to the
// terms that are not yet satisfied and at the end asks whether the line
// holds; the definition window asks whether any term matches a shown word.
//
// Offering a word allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dictionary/WordBuffer.h"
#include "pattern/MatchEngineSet.h"

namespace kea {

class FullTextTerms {
 public:
  // A run of letters in a definition is one word, cut to this many letters.
  static constexpr int kMaxWordLength = 101;

  // The set is borrowed and must outlive the terms; its length limits are
  // read now.
  explicit FullTextTerms(MatchEngineSet& set);

  std::size_t size() const { return terms_.size(); }

  // Every term not yet satisfied.
  void reset();
  // Offers a word: `word.key` holds `length` alphabet indices ended by 255
  // and `word.raw` its characters ended by two 0 bytes. Each unsatisfied
  // term whose length range holds `length` is tested; a match satisfies
  // it. Returns true when every term is satisfied.
  bool offer(WordBuffer& word, int length);
  bool allSatisfied() const { return remaining_ == 0; }
  // Whether the line holds with the satisfied terms true and the rest false.
  bool holds();
  // Whether any term whose length range holds `length` matches the word.
  bool anyMatches(WordBuffer& word, int length) const;

 private:
  struct Term {
    std::size_t slot;
    MatchEngine* engine;
    int shortest;
    int longest;
  };

  MatchEngineSet& set_;
  std::vector<Term> terms_;
  // One byte per slot of the set, as its evaluator reads them.
  std::vector<std::uint8_t> satisfied_;
  std::size_t remaining_ = 0;
};

}  // namespace kea
