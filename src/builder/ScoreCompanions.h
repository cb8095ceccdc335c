// Commonness scores and meanings as they come with builder input, and the
// companion files that hand them on beside a dictionary just written (see
// dictionary/EntryScores.h and meaning/MeaningIndex.h).
//
// A scored line is a builder line without a definition whose last field is
// a number from 0 to 100 after a ";": "tail end;65", or "apple;pomme;80"
// for two headwords. Crossword constructors keep their word lists so. The
// number field has no letters, so it never was an entry: the same line
// without scores builds the same dictionary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "builder/BuilderInput.h"
#include "dictionary/DictionaryList.h"
#include "dictionary/EntryScores.h"
#include "meaning/MeaningDocuments.h"

namespace kea {

class ScoredWords {
 public:
  // The score of a scored line, applied to each of its headwords; false
  // (and nothing taken) for a line that is not one.
  bool addLine(std::string_view line);
  // Every scored line of a text of lines; returns how many there were.
  std::size_t addLines(std::string_view text);
  // A headword (Windows-1252, as stored, without annotation) and its score;
  // a headword scored twice keeps the higher score.
  void add(std::string_view headword, int score);
  // The score of a headword, or kNoScore.
  int find(std::string_view headword) const;
  bool empty() const { return scores_.empty(); }
  std::size_t size() const { return scores_.size(); }

 private:
  ParsedLine parsed_;
  std::string scratch_;
  std::unordered_map<std::string, std::uint8_t> scores_;
};

// Whether `line` is a scored line; its score in `score`.
bool scoredLineScore(const ParsedLine& parsed, int& score);

// Calls visit(length, ordinal, headword) for every entry of an open
// dictionary, in the order a word search reads them (the place a
// companion's per-entry data belongs to).
void forEachEntry(const DictionaryList::Dictionary& dictionary,
                  const std::function<void(int, std::uint32_t, std::string_view)>& visit);

// Writes the scores companion of the dictionary at `dictionaryPath` (a
// library path): each entry gets its headword's score from `words`. With no
// scored entry the companion is removed instead, so none is left from an
// earlier dictionary of that name. `scored` counts the entries that got a
// score. False, with the reason in `error`, when the dictionary cannot be
// read or the companion cannot be written.
bool writeScoresCompanion(const std::string& dictionaryPath, const ScoredWords& words, std::size_t* scored,
                          std::string* error);

// Writes the meaning index of the dictionary at `dictionaryPath` from the
// meaning documents whose forms are its entries, or removes it when there
// are none. `described` counts the entries with a meaning.
bool writeMeaningCompanion(const std::string& dictionaryPath, const MeaningDocuments& meanings,
                           std::size_t* described, std::string* error);

// Word pairs that go together, as "first second;bonus" lines (bonus in
// tenths of a decimal logarithm, -128 ... 127).
using WordPairs = std::vector<std::pair<std::uint32_t, std::int8_t>>;
// Adds the pairs of a text of such lines; false with the first bad line's
// number and text in `error`.
bool addPairLines(std::string_view text, WordPairs& pairs, std::string* error);

// Writes the pairs companion of the dictionary at `dictionaryPath`, or
// removes it when `pairs` is empty.
bool writePairsCompanion(const std::string& dictionaryPath, const WordPairs& pairs, std::string* error);

// What a dictionary made from other entries hands on beside it: their
// scores, and the word pairs of the dictionary they came from.
struct CompanionData {
  ScoredWords scores;
  // New word pairs, or else those of the dictionary the entries came from.
  WordPairs wordPairs;
  std::shared_ptr<const PairScores> pairs;
  // What the entries mean, for the meaning index.
  MeaningDocuments meanings;
  // Set when they are written: how many entries got a score, and how many
  // a meaning.
  std::size_t scoredEntries = 0;
  std::size_t describedEntries = 0;
};

// After a dictionary is written at `dictionaryPath` (a library path): its
// scores and word pairs beside it. Any earlier companion of that name that
// the new dictionary has no data for is removed. False with the reason in
// `error` on failure.
bool writeDictionaryCompanions(const std::string& dictionaryPath, CompanionData& data, std::string* error);

}  // namespace kea
