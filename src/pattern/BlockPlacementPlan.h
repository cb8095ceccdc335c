// What the sweep that places anagram blocks (BlockPlacement.h) knows of an
// anagram part before any word is read: its blocks, what the components
// after them take, the caps on the counts a state records and a bound on
// how many states a sweep can reach. Built once when the pattern is
// compiled and never changed while matching.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kea {

class CompiledPattern;

namespace placement {

inline constexpr std::size_t kMaxBlocks = 16;
inline constexpr std::size_t kMaxLetters = 16;
inline constexpr std::size_t kMaxEarly = kMaxBlocks;
// A state's count of unclaimed letters that was given up; counts of free
// letters stay below it.
inline constexpr std::uint16_t kDropped = 0xFFFF;
// No block: a part without one that takes the slack.
inline constexpr std::size_t kNoBlock = static_cast<std::size_t>(-1);

struct Block {
  int entry = 0;        // program number of the block's pattern
  int count = 0;
  int fixed = 0;
  int extra = 0;        // header extra, at most 101
  bool regular = false;   // read over sets of places
  bool variables = false;  // mentions letter variables (one such block at most)
  bool lastRule = false;  // takes all remaining slack
  bool early = false;     // fixed > 0 and a variable-length block follows
  std::size_t earlySlot = 0;  // its index in Plan::early, when early
  int need = 0;           // letters needed after it: other components and later blocks' fixed lengths
  // (alphabet index, count) pairs: letters every window of the block holds.
  std::vector<std::uint8_t> required;
};

struct Plan {
  // Some block is run over each window one by one: a short search first.
  bool searchFirst = false;
  int program = 0;
  int pc = 0;
  int restPc = 0;       // the first component after the blocks
  int anagramLength = 0;
  std::vector<Block> blocks;
  std::vector<std::size_t> early;   // indices of early blocks
  // What the other components could take of each letter: the letters
  // component's counts, each choice list's picks for its letters, every
  // variable's occurrences for every letter.
  std::array<std::uint8_t, 256> takes{};
  bool lettersOnly = true;  // no choice lists or letter variables
  int restLength = 0;   // letters the components after the blocks take
  int freeCap = 0;      // counts of free letters at or above this all behave alike
  // The same when the last block's range reaches past the stretch: its
  // fixed length and what follows it, beside the other components' needs.
  int nearCap = 0;
  std::size_t last = kNoBlock;  // the block that takes the slack, if any
  int freeLimit = 0;    // no fitting sweep leaves more letters free than this
  std::int64_t states = 0;  // how many states a sweep can reach at most
};

// The plans of the anagram parts of a compiled pattern that the sweep can
// decide, in the order of the programs and their parts.
std::vector<Plan> readPlans(const CompiledPattern& pattern);

}  // namespace placement
}  // namespace kea
