// The words of a full-text query as the definition window highlights them:
// the query's line compiled for one dictionary, each of its patterns a
// term, and a shown word highlighted when any term matches it. The same
// terms decide what the full-text search finds, so the window marks the
// words that made a record a hit.
#pragma once

#include <cstdint>
#include <string_view>

#include "definitions/DefinitionText.h"
#include "dictionary/Alphabet.h"
#include "fulltext/FullTextTerms.h"
#include "dictionary/WordBuffer.h"
#include "pattern/MatchEngineSet.h"

namespace kea {

class FullTextQueryMatcher : public FullTextWordMatcher {
 public:
  // Compiles the (macro-expanded) line for a dictionary with this alphabet,
  // with the Shortest and Longest settings the search used.
  FullTextQueryMatcher(const Alphabet& alphabet, std::string_view line, int shortest = 1, int longest = 100);
  FullTextQueryMatcher(const FullTextQueryMatcher&) = delete;
  FullTextQueryMatcher& operator=(const FullTextQueryMatcher&) = delete;

  // A line that did not compile matches nothing.
  PatternStatus status() const { return set_.status(); }

  bool inAlphabet(std::uint8_t byte) const override { return alphabet_.alphabetIndexOf(byte) != kkd::kNoIndex; }
  bool matches(std::string_view word) const override;

 private:
  Alphabet alphabet_;
  MatchEngineSet set_;
  // Matching changes the engines' scratch state, not what they match.
  mutable FullTextTerms terms_;
  mutable WordBuffer word_;
};

}  // namespace kea
