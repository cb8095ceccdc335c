// The words of the searchable definitions, each with the numbers of the
// definitions whose text contains it. The builder fills it while it reads
// the input once, then asks it, length by length, for the occurrence list
// of every headword key and for the index words that no headword has.
//
// Everything lives in a few flat arrays (a key arena, an open-addressing
// table of word ids, one array of postings) so that a dictionary with
// millions of word occurrences costs a few tens of megabytes and no
// allocation per word.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kea {

class OccurrenceListCache {
 public:
  using WordId = std::uint32_t;
  static constexpr WordId kNone = ~WordId{0};

  // Records that definition number `definition` contains the word `key`.
  // Definition numbers must be added in non-decreasing order; a word
  // repeated within one definition is recorded once.
  void add(std::string_view key, std::uint32_t definition);

  // Groups the postings by word. Call once, after the last add.
  void finish();

  std::size_t wordCount() const { return keyStart_.size(); }

  // The id of a recorded key, or kNone.
  WordId find(std::string_view key) const;

  std::string_view key(WordId word) const {
    return std::string_view(keys_).substr(keyStart_[word], keySize_[word]);
  }

  // After finish(): the definitions that contain the word, increasing.
  std::span<const std::uint32_t> definitions(WordId word) const {
    return std::span<const std::uint32_t>(definitions_).subspan(listStart_[word],
                                                                 listStart_[word + 1] - listStart_[word]);
  }

  // The words whose key has `length` characters, in increasing byte order of
  // their keys.
  std::vector<WordId> wordsOfLength(std::size_t length) const;

 private:
  static std::uint64_t hash(std::string_view key);
  std::size_t slotOf(std::string_view key) const;  // the slot holding key, or an empty one
  void grow();

  std::string keys_;
  std::vector<std::uint32_t> keyStart_;
  std::vector<std::uint32_t> keySize_;
  std::vector<std::uint32_t> lastDefinition_;
  std::vector<WordId> slots_;  // kNone marks an empty slot
  // Before finish(): one (word, definition) pair per posting.
  std::vector<WordId> postingWord_;
  std::vector<std::uint32_t> postingDefinition_;
  // After finish(): definitions_[listStart_[w] … listStart_[w+1]) belong to w.
  std::vector<std::uint32_t> listStart_;
  std::vector<std::uint32_t> definitions_;
};

}  // namespace kea
