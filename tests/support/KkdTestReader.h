// A slow, deliberately simple reader of version-1 dictionary files, used by
// the builder's tests to check what the builder wrote without depending on
// the real reader. Word lists are decoded one bit at a time by looking each
// growing bit string up in the symbol table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kea::test {

struct KkdSymbol {
  std::uint8_t canonical = 0;
  std::uint8_t length = 0;
  std::int16_t index = -1;
  std::uint32_t code = 0;
};

struct KkdFile {
  std::string bytes;
  std::string magic;
  int lengthSlots = 0;
  std::uint32_t definitionsStart = 0, searchableStart = 0, definitionsEnd = 0;
  std::vector<std::uint32_t> directTable, groupTable, groupEntries, wordListOffset, wordCount;
  std::string description;  // up to the first NUL
  int letterCount = 0, alphabetSize = 0;
  std::array<KkdSymbol, 256> symbols{};
  int positionTableCount = 0;
  std::uint32_t positionTablesStart = 0;
  std::uint32_t headerEnd = 0;  // just after the position tables
};

struct KkdWordEntry {
  std::string text;  // as stored: headword, then line feed and annotation
  bool flag = false;
};

struct KkdWordList {
  std::vector<KkdWordEntry> section1;
  std::vector<std::string> section2;
};

struct KkdDefinition {
  std::vector<std::pair<std::string, std::string>> pairs;
  std::string body;
};

// Parses the header of the bytes; throws std::runtime_error when it is cut short.
KkdFile parseKkd(std::string bytes);
KkdFile readKkd(const std::string& path);

// Decodes the word list of one length (both sections), or only the first
// `maxEntries` entries of section 1. A length without a list of its own
// (beyond the last slot, offset 0, or not ending before the next list
// starts) decodes as empty.
KkdWordList decodeWordList(const KkdFile& file, int length, std::size_t maxEntries = SIZE_MAX);

// `count` little-endian 32-bit values at `offset`.
std::vector<std::uint32_t> readValues(const KkdFile& file, std::uint32_t offset, std::size_t count);

// The groups of the grouped pointer table of one length, each ending with
// its value that carries bit 31 (kept in the values).
std::vector<std::vector<std::uint32_t>> readGroups(const KkdFile& file, int length);

// An occurrence list: values up to and including the one with bit 31.
std::vector<std::uint32_t> readOccurrenceList(const KkdFile& file, std::uint32_t offset);

// Every definition record of [from, to), in file order, with its offset.
std::vector<std::pair<std::uint32_t, KkdDefinition>> readDefinitions(const KkdFile& file, std::uint32_t from,
                                                                     std::uint32_t to);

}  // namespace kea::test
