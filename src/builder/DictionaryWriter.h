// The byte layouts the builder writes: the version-1 header, definition
// records with their masked fields, and runs of pointer values.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "builder/BuilderInput.h"
#include "builder/HuffmanCode.h"
#include "dictionary/Alphabet.h"
#include "dictionary/KkdFormat.h"

namespace kea {

struct KkdHeader {
  int lengthSlots = 1;  // N
  std::uint32_t definitionsStart = 0;
  std::uint32_t searchableStart = 0;
  std::uint32_t definitionsEnd = 0;
  std::array<std::uint32_t, kkd::kMaxLengthSlots> directTable{};
  std::array<std::uint32_t, kkd::kMaxLengthSlots> groupTable{};
  std::array<std::uint32_t, kkd::kMaxLengthSlots> groupEntries{};
  std::array<std::uint32_t, kkd::kMaxLengthSlots> wordListOffset{};
  std::array<std::uint32_t, kkd::kMaxLengthSlots> wordCount{};
  std::string description;  // cut to 999 characters when written
  // The builder's alphabet table: the canonical character of each byte.
  std::array<std::uint8_t, 256> canonical{};
  Alphabet alphabet;
  HuffmanCode code;
  int positionTableCount = 0;  // K
  std::string positionTables;  // K tables of alphabet.letterCount bytes
};

// The whole header. Until `complete`, four spaces stand in for the magic so
// that no reader accepts a file whose writing did not finish.
std::string encodeHeader(const KkdHeader& header, bool complete);

// Appends `text` masked with the scramble byte, then the unmasked scramble
// byte that ends the field.
void appendMaskedField(std::string& out, std::string_view text);

// Replaces `out` with the definition record of a parsed line: its headword
// pairs when `withPairs` (at most 255; fields that give neither a headword
// nor a tail give none), then its definition text.
void encodeDefinitionRecord(const ParsedLine& line, bool withPairs, std::string& out);

// Appends pointer values as 32-bit little-endian integers; the last one
// gets the final-value bit when `markLast`.
void appendPointerValues(std::string& out, std::span<const std::uint32_t> values, bool markLast);

}  // namespace kea
