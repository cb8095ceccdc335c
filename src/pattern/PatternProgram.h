// The byte program a pattern compiles to: opcodes 240-255, operands below
// 240 wherever a reader has to tell an operand from the next opcode. This
// header holds the opcode values, the limits of the language and a readable
// dump of a program for tests and debugging.
//
// Layout summary (operands after each opcode):
//   OP_PATTERN / _VARIABLE / _LAST  fixed, extra (<= 101), body ..., OP_END
//   OP_RUN          run length, pairs (position, alphabet index) up to the next opcode
//   OP_MIXED_RUN    run length, items up to the next opcode; the first byte of
//                   an item is a position (< 48) with its kind in bits 7 and 6
//   OP_SKIP / _REST fixed length of the nested segment that follows
//   OP_EXACT, OP_PUNCT  one raw character (any byte; OP_PUNCT 0 = end of word)
//   OP_ANAGRAM      letter count A, int32 length (little-endian), components
//   OP_CHOICE_SET   occurrences, pool index     (in an anagram part)
//   OP_PATTERN_VARIABLE / _LAST  occurrences, pool index (in an anagram part)
//   OP_VARIABLES    ten occurrence counts
//   OP_LETTERS_DISTINCT  n, n alphabet indices
//   OP_LETTERS_COUNTED   pairs (count, alphabet index) up to the next opcode
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dictionary/KkdFormat.h"

namespace kea {

struct Alphabet;

inline constexpr std::uint8_t OP_RUN = 240;
inline constexpr std::uint8_t OP_MIXED_RUN = 241;
inline constexpr std::uint8_t OP_SKIP = 242;
inline constexpr std::uint8_t OP_SKIP_REST = 243;
inline constexpr std::uint8_t OP_ANAGRAM = 244;
inline constexpr std::uint8_t OP_LETTERS_DISTINCT = 245;
inline constexpr std::uint8_t OP_LETTERS_COUNTED = 246;
inline constexpr std::uint8_t OP_CHOICE_SET = 247;
inline constexpr std::uint8_t OP_VARIABLES = 248;
inline constexpr std::uint8_t OP_PATTERN = 249;
inline constexpr std::uint8_t OP_PATTERN_VARIABLE = 250;
inline constexpr std::uint8_t OP_PATTERN_LAST = 251;
inline constexpr std::uint8_t OP_END = 252;
inline constexpr std::uint8_t OP_PROGRAM_END = 253;
inline constexpr std::uint8_t OP_EXACT = 254;
inline constexpr std::uint8_t OP_PUNCT = 255;

// The anagram length operand: four bytes, little-endian.
inline std::int32_t readProgramInt32(const std::uint8_t* bytes) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) |
                                   (static_cast<std::uint32_t>(bytes[1]) << 8) |
                                   (static_cast<std::uint32_t>(bytes[2]) << 16) |
                                   (static_cast<std::uint32_t>(bytes[3]) << 24));
}

// Every byte at or above this value is an opcode where an opcode may stand.
inline constexpr std::uint8_t kFirstOpcode = 240;

// Mixed-run item kinds, in bits 7 and 6 of the item's position byte.
inline constexpr std::uint8_t kItemVariable = 0x80;
inline constexpr std::uint8_t kItemChoice = 0x40;
inline constexpr std::uint8_t kItemNegatedChoice = 0xC0;
inline constexpr std::uint8_t kItemKindMask = 0xC0;

// A run's item at pc: its position in the run and its kind. A plain run's
// positions go up to 127, so only a mixed run's items carry a kind.
struct RunItem {
  int position;
  std::uint8_t kind;  // 0, kItemVariable, kItemChoice or kItemNegatedChoice
};
inline RunItem runItemAt(bool mixed, const std::uint8_t* c, int pc) {
  const std::uint8_t mark = c[pc];
  if (!mixed) return {mark, 0};
  return {mark & ~kItemKindMask, static_cast<std::uint8_t>(mark & kItemKindMask)};
}

// Bytes taken by that item.
inline int runItemSize(const RunItem& item, const std::uint8_t* c, int pc) {
  return item.kind == 0 || item.kind == kItemVariable ? 2 : 2 + c[pc + 1];
}

// Position after the items of the run whose opcode stands at pc.
inline int runEnd(const std::uint8_t* c, int pc) {
  const bool mixed = c[pc] == OP_MIXED_RUN;
  for (pc += 2; c[pc] < kFirstOpcode;) pc += runItemSize(runItemAt(mixed, c, pc), c, pc);
  return pc;
}

// A mixed run never spans more positions than this, so that the marked
// position byte of every item stays below the opcodes (a negated choice at
// position 48 would read as OP_RUN). A longer stretch simply continues in a
// new run: consecutive runs check the same positions as one long run.
inline constexpr int kMixedRunPositions = 48;

// The extra length of a wildcard: no upper limit.
inline constexpr int WILDCARD_EXTRA = 15000;
inline constexpr int UNBOUNDED_LENGTH = kkd::kUnboundedLength;
// Longest fixed length a pattern may have; a line holds at most this many letters.
inline constexpr int kMaxPatternLength = 128;
// Deepest nesting of sub-patterns and wildcard segments: the compiler and
// the matcher recurse once per level, so beyond this a pattern is refused
// as nested too deeply rather than risk the stack. Valid patterns of the
// language come nowhere near it ("*" runs count once, see the compiler).
inline constexpr int kMaxNesting = 1000;
// Most occurrences of one sub-pattern in an anagram part: the program
// stores the count in a byte, and more are refused as too many patterns.
inline constexpr int kMaxOccurrences = 255;

// Punctuation table values.
inline constexpr std::uint8_t kSignificantPunctuation = 255;
inline constexpr std::uint8_t kEscapedLetter = 254;

// Readable form of a program, one construct per line, nested constructs
// indented by two spaces, followed by the pool entries that anagram
// components refer to. Alphabet indices are shown as the alphabet's
// canonical characters when an alphabet is given, else as numbers; raw
// characters are shown as 'c', or as 0xNN when not printable.
std::string dumpProgram(std::span<const std::uint8_t> program,
                        const std::vector<std::vector<std::uint8_t>>& pool,
                        const Alphabet* alphabet = nullptr);

}  // namespace kea
