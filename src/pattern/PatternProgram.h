// The limits of the pattern language and a readable dump of a compiled
// program for tests and debugging. The program's layout and the named
// access to its instructions are in Program.h.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dictionary/KkdFormat.h"
#include "pattern/Program.h"

namespace kea {

struct Alphabet;

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
