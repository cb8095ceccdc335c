// Merging word lists: the entries of text word lists (one entry per line,
// in the builder's headword syntax, so "Smith+ (surname)+" keeps its
// annotation, and "word;50" its commonness score) and the headwords of
// ".kkd" dictionaries (with the scores kept beside them) become one sorted
// list in which every entry appears once. Entries are equal when their
// texts and annotations are the same byte for byte, or, when folding, when
// their letters are the same regardless of case, accents and everything
// that is not a letter ("Ice-cream", "icecream" and "ICE CREAM"); the first
// spelling met is the one kept. Entries without any letter are only ever
// equal byte for byte.
//
// The result is written as text (UTF-8, one builder line per entry, so it
// can be built or merged again) or built into a dictionary; either way
// under a temporary name, so a failure leaves the target as it was.
#pragma once

#include <array>
#include <memory>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "builder/DictionaryBuilder.h"
#include "builder/DictionaryMaintainer.h"
#include "dictionary/EntryScores.h"

namespace kea {

class WordListMerge {
 public:
  // One entry, Windows-1252 text, with its commonness score (-1 for none).
  struct Entry {
    std::string text;
    std::string annotation;
    int score = -1;
  };

  explicit WordListMerge(bool fold = false) : fold_(fold) {}

  // Adds the entries of a text word list given as its bytes (UTF-8, or
  // Windows-1252 when `utf8` is false); `name` names it in messages. Every
  // headword of a line is an entry; a definition after "|" is no part of a
  // word list and is left out (counted in leftOutDefinitions). False when a
  // line cannot be converted; nothing of the list is added then, and
  // `error` says which lines (UTF-8).
  bool addText(std::string_view bytes, std::string_view name, std::string* error, bool utf8 = true);

  // Adds the headwords of a dictionary (a library path). False, with the
  // reason in `error` (UTF-8), when it is not a usable dictionary or one of
  // its word lists is damaged; nothing of it is added then.
  bool addDictionary(const std::string& path, std::string* error);

  // How many entries were added, duplicates included.
  std::size_t addedCount() const { return entries_.size(); }
  std::size_t leftOutDefinitions() const { return leftOutDefinitions_; }
  // The alphabet of the first dictionary added, if any.
  const std::optional<std::array<std::uint8_t, 256>>& firstAlphabet() const { return firstAlphabet_; }

  // The merged entries: sorted letters-only, case- and accent-blind (then
  // byte for byte), each once, with the highest score any of its copies had.
  std::vector<Entry> merged() const;

  // The merged entries as builder lines, each ended by a line feed
  // (Windows-1252); a scored entry as a scored line ("word;50").
  static std::string builderText(const std::vector<Entry>& entries);
  // The word pairs of the first dictionary added that has them.
  const std::shared_ptr<const PairScores>& pairs() const { return pairs_; }

 private:
  bool fold_;
  std::vector<Entry> entries_;
  std::size_t leftOutDefinitions_ = 0;
  std::optional<std::array<std::uint8_t, 256>> firstAlphabet_;
  std::shared_ptr<const PairScores> pairs_;
};

// Whether a target name asks for a dictionary: it ends in ".kkd", in any
// letter case.
bool isDictionaryTarget(std::string_view target);

}  // namespace kea
