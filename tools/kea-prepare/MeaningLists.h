// The meaning lists of the shipped English dictionary, from WordNet 3.0:
// one document per WordNet lemma, naming the entries that are its forms
// (the lemma and its inflections, by WordNet's morphology) and the words
// that describe it, each weighted by how close it stands to the lemma:
//
//   the words of each sense's definition         1
//   its synonyms (the synset's other lemmas)     1
//   its hypernyms' lemmas / their definitions    0.7 / 0.35
//   the hypernyms' own hypernyms' lemmas         0.3
//   similar, also-see, attribute, verb group,
//   entailment and cause lemmas / definitions    0.6 / 0.3
//   derivations, pertainyms and participles      0.6 / 0.3
//   part, member, substance and domain lemmas    0.3
//   its examples                                 0.3
//   hyponyms' lemmas                             0.2
//
// and each sense weighed by its frequency rank r (the index files' order)
// as 1 / (1 + r / 2). Lines as "kkbuild --meaning" reads them (see
// meaning/MeaningDocuments.h), Windows-1252.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "WordNetData.h"
#include "WordNetMorphology.h"

namespace kea::prepare {

class MeaningLists {
 public:
  // Reads WordNet's data and index files and exception lists from `folder`.
  bool load(const std::string& folder, std::string& error);
  // Adds one synset (a data file line already parsed); load() does this.
  void addSynset(const WordNetSynset& synset);
  // Adds one index file line: a lemma's senses in frequency order.
  void addIndexLine(std::string_view line);
  // Uses these morphology rules for inflected headwords.
  void setMorphology(WordNetMorphology morphology) { morphology_ = std::move(morphology); }

  // Writes the document of every lemma that some of `headwords` (Windows-
  // 1252, as stored in the dictionary) are forms of; returns how many.
  std::size_t write(std::ostream& out, const std::vector<std::string>& headwords) const;

 private:
  struct Synset {
    std::vector<std::string> lemmas;  // keys
    std::string definition;           // Windows-1252
    std::string examples;
    std::vector<WordNetPointer> pointers;
  };
  static std::uint64_t synsetKey(char type, long offset);
  const Synset* find(char type, long offset) const;
  void describe(const std::string& lemma, std::unordered_map<std::string, double>& words) const;

  std::unordered_map<std::uint64_t, Synset> synsets_;
  // Lemma key -> its synsets in frequency order.
  std::unordered_map<std::string, std::vector<std::uint64_t>> senses_;
  WordNetMorphology morphology_;
};

}  // namespace kea::prepare
