// Dictionary files laid out by hand, byte by byte, for tests that need a
// file no builder would write: version 0, chosen codes, damaged tables,
// hand-made bit streams.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "support/KkdTestReader.h"

namespace kea::test {

// LSB-first bit packing as the word lists use it. Codes go in most
// significant bit first.
class BitWriter {
 public:
  void put(std::uint32_t code, int length);
  void putBit(bool bit) { put(bit ? 1u : 0u, 1); }
  // The bytes so far, the last one padded with zero bits; `even` pads to a
  // whole number of 16-bit units as the writer of real files does.
  std::string bytes(bool even = true) const;
  std::size_t bitCount() const { return bitCount_; }

 private:
  std::string bytes_;
  std::size_t bitCount_ = 0;
};

class KkdAssembler {
 public:
  // A file of the given version with N length slots and the test alphabet:
  // a-z are indices 0-25 (A = B = 26), A-Z fold onto them.
  KkdAssembler(int version, int lengthSlots);

  int version;
  std::string magic;  // four bytes; "KKD0" or "KKD1" from the version
  int lengthSlots;    // N as written (may be set out of range on purpose)
  std::uint32_t definitionsStart = 0, searchableStart = 0, definitionsEnd = 0;
  std::vector<std::uint32_t> directTable, groupTable, groupEntries, wordListOffset, wordCount;
  std::string description;
  std::int16_t letterCount = 26, alphabetSize = 26;
  std::array<KkdSymbol, 256> symbols;
  std::uint16_t positionTableCount = 0;
  std::string positionTables;
  // Everything after the position tables.
  std::string body;

  // Gives every symbol in `lengths` a canonical prefix code of that length
  // (symbols sorted by length, then value) and takes every other code away.
  void assignCodes(const std::map<std::uint8_t, int>& lengths);
  // Gives each of the symbols a code of `length` bits equal to its own
  // value (enough for 8-bit codes of any byte).
  void assignOwnValueCodes(std::string_view symbolBytes, int length = 8);

  // The bytes of one record: the text's codes, symbol 0, and a flag bit
  // when `flag` is 0 or 1 (-1: none).
  void putRecord(BitWriter& out, std::string_view text, int flag = -1) const;
  // A whole list: section 1 with flags (version 1) or without (version 0),
  // then in version 1 section 2. An entry of section 1 is "text" or
  // "text*" for a flagged one.
  std::string list(const std::vector<std::string>& section1, const std::vector<std::string>& section2 = {}) const;

  // Where the next byte appended to `body` lands in the file.
  std::uint32_t bodyOffset() const;
  // Appends a word list for `length` and points wordListOffset[length] at it,
  // and the empty lengths before it too, as the builder does;
  // wordCount[length] becomes the number of section-1 entries.
  void addList(int length, const std::vector<std::string>& section1, const std::vector<std::string>& section2 = {});

  // Appends a grouped pointer table of `entries` values (each the end of a
  // group: 0xFFFFFFFF) for `length`, as a builder puts it after the list.
  void addGroupTable(int length, std::uint32_t entries);

  std::uint32_t headerSize() const;
  std::string bytes() const;
};

}  // namespace kea::test
