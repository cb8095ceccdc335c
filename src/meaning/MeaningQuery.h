// A meaning asked of a dictionary's meaning index: every document's
// relevance is added up once, then read per entry while a search runs, and
// combined with the entry's commonness into its rank.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/MeaningIndex.h"
#include "meaning/MeaningTerms.h"

namespace kea {

// A meaning asked of an index: every document's relevance to it, added up
// once, then read per entry while a search runs.
class MeaningQuery {
 public:
  // `meaning` is library text (Windows-1252).
  MeaningQuery(std::shared_ptr<const MeaningIndex> index, std::string_view meaning);

  // Whether the dictionary has a meaning index to ask.
  bool hasIndex() const { return index_ != nullptr; }
  // Whether the meaning has any content word (else nothing can rank).
  bool hasTerms() const { return !terms_.empty(); }
  // How many of its words the index knows.
  std::size_t knownTerms() const { return known_; }

  // How well an entry fits the meaning: the BM25 relevance of its best
  // document, 0 when none of its documents holds a word of the meaning.
  double relevance(int length, std::uint32_t ordinal) const;

  // The ranking of an entry with its relevance and commonness score (or
  // kNoScore): relevance first, commonness as a prior, and an entry made of
  // the meaning's own words (the clue "charged particle" is not answered
  // by "particle") pushed down. Higher is better.
  double rank(std::string_view entryText, double relevance, int score);

  // The words of the meaning (as typed, folded) that the entry's best
  // document holds: why it ranked.
  std::vector<std::string> matchedWords(int length, std::uint32_t ordinal) const;

 private:
  struct Term {
    std::string stem;
    std::string word;  // the first word of the meaning with this stem
    int repeats = 0;
    std::int64_t number = -1;
  };
  std::uint32_t bestDocument(int length, std::uint32_t ordinal, double& best) const;

  std::shared_ptr<const MeaningIndex> index_;
  std::vector<Term> terms_;
  // Every document's relevance: zeroed memory from the system, of which a
  // query touches the pages of the documents its words reach.
  struct Free {
    void operator()(float* p) const { std::free(p); }
  };
  std::unique_ptr<float[], Free> relevance_;
  std::size_t known_ = 0;
  MeaningWords words_;
};

}  // namespace kea
