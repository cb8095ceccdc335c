#include "support/BlockSummaryWords.h"

#include <cstdint>
#include <set>

namespace kea::test {

std::vector<std::string> unevenLetterLines(int count) {
  // Letters in rough English proportions; the rare ones appear once.
  static const std::string kLetters =
      "eeeeeeeeeeeettttttttaaaaaaaaoooooooiiiiiiinnnnnnnsssssshhhhhhrrrrrrdddd"
      "llllcccuuummmwwffggyyppbbvkjxqz";
  std::uint32_t state = 12345;
  const auto next = [&state](std::uint32_t bound) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % bound;
  };
  std::set<std::string> seen;
  std::vector<std::string> lines;
  while (static_cast<int>(lines.size()) < count) {
    std::string word;
    const std::uint32_t letters = 3 + next(9);
    for (std::uint32_t i = 0; i < letters; ++i) word += kLetters[next(static_cast<std::uint32_t>(kLetters.size()))];
    switch (next(12)) {
      case 0: word[0] = static_cast<char>(word[0] - 'a' + 'A'); break;         // a name
      case 1: word.insert(word.size() / 2, 1, '-'); break;                     // punctuation
      case 2: word.insert(word.size() / 2, 1, ' '); break;                     // a phrase
      case 3: word[word.size() - 1] = '\xE9'; break;                           // an accent
      default: break;
    }
    if (!seen.insert(word).second) continue;
    switch (next(6)) {
      case 0: lines.push_back(word + "|about " + word); break;
      case 1: lines.push_back(word + "+(note)+"); break;
      default: lines.push_back(word); break;
    }
  }
  return lines;
}

}  // namespace kea::test
