// Compiles arbitrary text as a pattern and as a pattern line, then matches
// it against a few words: nothing may crash, hang or read out of bounds.
// Input: one option byte, the pattern text up to the first newline, then
// words separated by newlines.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "builder/EnglishAlphabet.h"
#include "pattern/MatchEngineSet.h"
#include "support/WordBufferFill.h"

namespace {

const kea::Alphabet& english() {
  static const kea::Alphabet alphabet = [] {
    std::array<std::uint64_t, 256> frequency{};
    for (int c = 'a'; c <= 'z'; ++c) frequency[static_cast<std::size_t>(c)] = 1;
    return kea::Alphabet::fromCanonicalTable(kea::englishAlphabetTable(), frequency);
  }();
  return alphabet;
}

// Nearly every byte a letter of its own, so that alphabet indices reach
// the opcode range.
const kea::Alphabet& wide() {
  static const kea::Alphabet alphabet = [] {
    std::array<std::uint8_t, 256> table{};
    std::array<std::uint64_t, 256> frequency{};
    for (int b = 1; b < 256; ++b) {
      const bool syntax = std::string_view(".?*()[];\\^&|!@# -0123456789").find(static_cast<char>(b)) !=
                          std::string_view::npos;
      if (syntax) continue;
      table[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(b);
      frequency[static_cast<std::size_t>(b)] = 1;
    }
    kea::sanitiseAlphabetTable(table);
    return kea::Alphabet::fromCanonicalTable(table, frequency);
  }();
  return alphabet;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t options = data[0];
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::size_t end = input.find('\n');
  const std::string_view pattern = input.substr(0, end);
  std::vector<std::string_view> words;
  for (std::size_t at = end; at != std::string_view::npos && words.size() < 6;) {
    const std::size_t next = input.find('\n', at + 1);
    words.push_back(input.substr(at + 1, next == std::string_view::npos ? std::string_view::npos : next - at - 1));
    at = next;
  }
  const kea::Alphabet& alphabet = (options & 4) != 0 ? wide() : english();
  const bool ignoreUnused = (options & 1) == 0;
  const bool exclusive = (options & 2) == 0;

  kea::MatchEngine engine;
  if (engine.compile(alphabet, pattern, ignoreUnused, exclusive) == kea::PatternStatus::Valid) {
    (void)engine.dump();
  }
  kea::MatchEngineSet set;
  const std::string line = kea::expandMacros(pattern, "[aeiou]", "[^aeiou]");
  const bool valid = set.parseExpression(alphabet, line, 1, 100, ignoreUnused, exclusive) == kea::PatternStatus::Valid;
  const auto [first, last] = valid ? set.lengthRange() : std::make_pair(101, 0);
  (void)set.preferredOrder();

  kea::WordBuffer word{};
  for (const std::string_view text : words) {
    const int length = kea::fillWordBuffer(word, text.substr(0, 300), alphabet);
    if (length < 1) continue;
    if (engine.isValid()) {
      engine.setWordLength(length);
      if (engine.matches(word)) (void)engine.balanceText();
    }
    if (valid && length >= first && length <= last && set.setLength(length) && set.matches(word, length)) {
      (void)set.balance();
    }
  }
  if (valid) {
    std::vector<std::uint8_t> satisfied(set.tokens().size(), static_cast<std::uint8_t>(options >> 4 & 1));
    (void)set.evaluate(kea::MatchEngineSet::EvaluateMode::Constant, nullptr, 0, satisfied);
  }
  return 0;
}
