// One definition record as read from a dictionary file, carried from the
// retrieval to the definition window and to the terminal. A plain value:
// copied freely and kept in vectors.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kea {

struct Definition {
  // Path of the dictionary file the record was read from.
  std::string dictionaryPath;
  // Position of that dictionary in the list searched, from 0.
  std::int32_t dictionaryIndex = 0;
  // The record's headword pairs: heading k is firstParts[k] followed directly
  // by secondParts[k]. Both lists have the same length; records of the group
  // kept out of full-text search have none.
  std::vector<std::string> firstParts;
  std::vector<std::string> secondParts;
  // The entry's stored text (display form) by which the record was found.
  std::string headword;
  // Plain text, or rich text when it begins with "{\rtf1".
  std::string body;
  // File offset of the record; identifies it within its dictionary.
  std::uint32_t offset = 0;

  // Complete pairs only: a record cut short by the end of its file may
  // hold a first part without its second.
  std::size_t alternativeCount() const { return std::min(firstParts.size(), secondParts.size()); }
  bool hasAlternatives() const { return alternativeCount() != 0; }
  std::string alternative(std::size_t k) const { return firstParts[k] + secondParts[k]; }
  // Heading 0 when there are alternatives, else the headword.
  std::string heading() const { return hasAlternatives() ? alternative(0) : headword; }

  bool operator==(const Definition&) const = default;
};

}  // namespace kea
