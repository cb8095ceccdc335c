// Constants of the ".kkd" dictionary file format. Every value here is part
// of the persistent format: never change one. docs/kkd-format.md describes
// the layout byte by byte.
#pragma once

#include <cstdint>

namespace kea::kkd {

inline constexpr char kMagicV0[4] = {'K', 'K', 'D', '0'};
inline constexpr char kMagicV1[4] = {'K', 'K', 'D', '1'};
// Written in place of the magic until the file is complete, so that an
// interrupted build never leaves a file that a reader accepts.
inline constexpr char kMagicPlaceholder[4] = {' ', ' ', ' ', ' '};

// Per-length tables hold entries 0 … N-1; entry 0 is never used. Lengths
// searched run from 1 to 100, so N is at most 101.
inline constexpr int kMaxLengthSlots = 101;
inline constexpr int kMaxWordLength = 100;
// In longest-length fields: no upper limit; in shortest-length results: none.
inline constexpr int kUnboundedLength = 101;

// How an entry's definition is found from its place in a word list:
// section 1 of a version-1 list is numbered through the grouped pointer
// table, everything else through the direct table.
inline constexpr int kGroupedTableMode = 2;
inline constexpr int kDirectTableMode = 1;

inline constexpr int kDescriptionSizeV0 = 80;
inline constexpr int kDescriptionSizeV1 = 1000;
inline constexpr int kSymbolRecordSize = 8;
inline constexpr int kSymbolTableSize = 256 * kSymbolRecordSize;

// Version-1 header offsets; N is the number of length slots.
inline constexpr std::uint32_t kOffsetMagic = 0;
inline constexpr std::uint32_t kOffsetLengthSlots = 4;
inline constexpr std::uint32_t kOffsetDefinitionsStart = 6;
inline constexpr std::uint32_t kOffsetSearchableStart = 10;
inline constexpr std::uint32_t kOffsetDefinitionsEnd = 14;
inline constexpr std::uint32_t kOffsetTablesV1 = 18;  // directTable[N] starts here
// Size of the version-1 header up to (not including) the position tables.
inline constexpr std::uint32_t headerSizeV1(std::uint32_t n) {
  return kOffsetTablesV1 + 20 * n + kDescriptionSizeV1 + 2 + 2 + kSymbolTableSize + 2;
}
// Version-0 header: magic, N, wordListOffset[N], wordCount[N], an 80-byte
// description, A, B, the symbol table and K.
inline constexpr std::uint32_t kOffsetTablesV0 = 6;  // wordListOffset[N] starts here
inline constexpr std::uint32_t headerSizeV0(std::uint32_t n) {
  return kOffsetTablesV0 + 8 * n + kDescriptionSizeV0 + 2 + 2 + kSymbolTableSize + 2;
}

// Symbol 0 ends every record; symbol 10 separates an entry from its annotation.
inline constexpr std::uint8_t kEndSymbol = 0;
inline constexpr std::uint8_t kAnnotationSymbol = 10;
inline constexpr int kMaxCodeLength = 32;

// The code tree: 256 leaves and up to 512 internal nodes; node 256 is the root.
inline constexpr int kLeafCount = 256;
inline constexpr int kMaxInternalNodes = 512;
inline constexpr int kTreeNodes = kLeafCount + kMaxInternalNodes;
inline constexpr int kRootNode = 256;

// Alphabet limits: 0 <= A < 254, 0 < B < 254, A <= B.
inline constexpr int kAlphabetLimit = 254;
// An alphabet index that a byte does not have (held in memory as 255).
inline constexpr std::uint8_t kNoIndex = 255;
// Canonical character of an alphabet index that no byte maps to.
inline constexpr std::uint8_t kUnsetIndexChar = '!';

// Pointer-table values: bit 31 marks the final value of a group or list.
inline constexpr std::uint32_t kFinalBit = 0x80000000u;
inline constexpr std::uint32_t kOffsetMask = 0x7FFFFFFFu;
// Final value: the entry has no occurrence list.
inline constexpr std::uint32_t kNoOccurrenceList = 0x7FFFFFFFu;

// Definition records: every string and the body are XOR-ed with this byte,
// and one unmasked scramble byte ends each field.
inline constexpr std::uint8_t kScrambleByte = 0xB7;
inline constexpr int kMaxHeadwordPairs = 255;

// Position-table byte for a letter that never occurs at a position.
inline constexpr std::uint8_t kPositionAbsent = 128;

}  // namespace kea::kkd
