// Meaning lists: what a dictionary's entries mean, as builder input for its
// meaning index (MeaningIndex.h). One document per line:
//
//   FORMS<TAB>WORD:WEIGHT WORD:WEIGHT ...
//
// FORMS are the headwords the document describes, separated by "|" (a
// lemma and its inflections: "strew|strews|strewed|strewing"); each WORD
// is a word describing them (from a definition, a synonym, a related
// word), WEIGHT how much it counts (1 for a word of the definition itself,
// less for words further away). Words are taken apart and stemmed as a
// meaning is ("ice-cream:0.5" gives both "ice" and "cream" 0.5), and a
// stem given twice adds its weights. Empty lines and lines starting with
// "#" are skipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "dictionary/MeaningIndex.h"
#include "meaning/MeaningTerms.h"

namespace kea {

class MeaningDocuments {
 public:
  // Adds the documents of a meaning list (library text). False, with the
  // first bad line's number and text in `error`, when a line is not one;
  // the lines before it stay added.
  bool addLines(std::string_view text, std::string* error);

  bool empty() const { return documents_.empty(); }
  std::size_t size() const { return documents_.size(); }

  // The documents a headword is a form of, or null.
  const std::vector<std::uint32_t>* documentsOf(std::string_view headword) const;

  // The index content: every document's terms with their BM25 weights
  // (the documents' lengths and the terms' rarity weighed in), and the
  // given documents of each entry.
  MeaningIndex::Content content(std::vector<std::vector<std::vector<std::uint32_t>>> entries) const;

 private:
  bool addLine(std::string_view line);

  std::unordered_map<std::string, std::uint32_t> termNumbers_;
  std::vector<std::string> terms_;
  // Per document, (term, weight) with each term once.
  std::vector<std::vector<std::pair<std::uint32_t, float>>> documents_;
  std::unordered_map<std::string, std::vector<std::uint32_t>> forms_;
  MeaningWords words_;
  std::string scratch_;
};

}  // namespace kea
