// Gathers the sources of the shipped English dictionaries and writes their
// builder input: one line per WordNet synset (its lemmas as headword fields,
// its gloss as the definition, so synonyms share one definition) and one line
// per list word that no synset names.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <unordered_set>
#include <vector>

#include "BuilderLine.h"
#include "Commonness.h"

namespace kea::prepare {

class DictionaryPreparer {
 public:
  explicit DictionaryPreparer(const AlphabetTable& alphabet);

  // Reads one WordNet data file. Every WordNet file must be added before the
  // first word list, so that the lists know which words a synset names.
  void addWordNet(std::istream& in, SourceReport& report);

  // Reads one word list: one word per line, UTF-8.
  void addWordList(std::istream& in, SourceReport& report);

  // WordNet alone: the synset lines.
  void writeWordNet(std::ostream& out) const;
  // Everything: the synset lines, then the words that no synset names.
  void writeEnglish(std::ostream& out) const;

  // Every headword's commonness as scored builder lines ("headword;score").
  // Returns the number of lines.
  std::size_t writeScores(std::ostream& out, const Commonness& commonness) const;
  // The word pairs that go together ("first second;bonus"). Returns the
  // number of lines.
  std::size_t writePairs(std::ostream& out, const Commonness& commonness) const;

  // Every headword of --english (Windows-1252, as stored), sorted.
  std::vector<std::string> headwords() const;

  std::size_t synsetLineCount() const { return synsetLines_.size(); }
  std::size_t wordLineCount() const { return wordLines_.size(); }

 private:
  AlphabetTable alphabet_;
  std::vector<std::string> synsetLines_;          // builder lines, Windows-1252
  std::vector<std::string> wordLines_;            // builder lines, Windows-1252
  std::unordered_set<std::string> synsetWords_;   // every headword of a synset line
  std::unordered_set<std::string> listWords_;     // every word taken from a list
};

}  // namespace kea::prepare
