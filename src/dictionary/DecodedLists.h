// Decoded word lists kept in memory, for a program that searches the same
// dictionaries again and again (the desktop program): once a search has
// decoded the whole of section 1 of a length, later searches of that length
// read its words from memory instead of decoding the file.
//
// Off until a budget is set (kea-cli runs one search and never sets one).
// The lists kept stay within the budget, the least recently used going
// first, and all of them can be given up at once when memory runs short. A
// list belongs to the dictionary file as it was when it was decoded (its
// path and fingerprint), so a rebuilt dictionary never finds the old words.
// Everything runs on the user-interface thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/DictionaryList.h"

namespace kea {

// Section 1 of one length's list, as the decoder gave it.
class DecodedList {
 public:
  explicit DecodedList(int length) : length_(length) {}

  // Appends an entry: its key (length letters), text and annotation as the
  // decoder left them, and its definition number.
  void add(const std::uint8_t* key, std::string_view text, std::string_view annotation, int definitionIndex);

  int length() const { return length_; }
  std::size_t entries() const { return definitionIndex_.size(); }
  const std::uint8_t* key(std::size_t i) const { return keys_.data() + i * static_cast<std::size_t>(length_); }
  // blocks::letterBit of every letter of entry i.
  std::uint32_t letters(std::size_t i) const { return letters_[i]; }
  // The entry text, a 0, the annotation and a 0, as the word buffer holds them.
  std::string_view raw(std::size_t i) const {
    return std::string_view(texts_).substr(textStart_[i], textStart_[i + 1] - textStart_[i]);
  }
  int textLength(std::size_t i) const { return textLength_[i]; }
  int definitionIndex(std::size_t i) const { return definitionIndex_[i]; }
  // Memory the list takes, roughly.
  std::size_t bytes() const;

 private:
  int length_;
  std::vector<std::uint8_t> keys_;
  std::vector<std::uint32_t> letters_;
  std::vector<std::uint32_t> textStart_{0};
  std::vector<std::uint16_t> textLength_;
  std::vector<std::int32_t> definitionIndex_;
  std::string texts_;
};

class DecodedLists {
 public:
  // The most memory the kept lists may take; 0 (the default) keeps none
  // and lets go of those kept.
  static void setBudget(std::size_t bytes);
  static std::size_t budget();
  // Whether lists are kept at all.
  static bool enabled() { return budget() > 0; }

  // The list of `length` of the dictionary as it is open now, if kept.
  static std::shared_ptr<const DecodedList> find(const DictionaryList::Dictionary& dictionary, int length);
  // Keeps a whole list of the dictionary as it is open now, making room
  // within the budget; a list larger than the budget is not kept.
  static void keep(const DictionaryList::Dictionary& dictionary, std::shared_ptr<const DecodedList> list);
  // Gives up every list kept (readers still holding one keep it alive);
  // returns the bytes given up.
  static std::size_t dropAll();
  static std::size_t bytesKept();
};

}  // namespace kea
