// Highlighting a full-text query's words.
#include "definitions/FullTextQueryMatcher.h"

#include <algorithm>

namespace kea {

namespace {

MatchEngineSet& compiled(MatchEngineSet& set, const Alphabet& alphabet, std::string_view line, int shortest,
                         int longest) {
  set.parseExpression(alphabet, line, shortest, longest);
  return set;
}

}  // namespace

FullTextQueryMatcher::FullTextQueryMatcher(const Alphabet& alphabet, std::string_view line, int shortest, int longest)
    : alphabet_(alphabet), terms_(compiled(set_, alphabet_, line, shortest, longest)) {}

bool FullTextQueryMatcher::matches(std::string_view word) const {
  if (set_.status() != PatternStatus::Valid) return false;
  const std::size_t kept = std::min<std::size_t>(word.size(), FullTextTerms::kMaxWordLength);
  int length = 0;
  for (std::size_t i = 0; i < kept; ++i) {
    const std::uint8_t index = alphabet_.alphabetIndexOf(static_cast<std::uint8_t>(word[i]));
    if (index == kkd::kNoIndex) continue;
    word_.key[length] = index;
    word_.raw[length] = word[i];
    ++length;
  }
  word_.key[length] = kkd::kNoIndex;
  word_.raw[length] = 0;
  word_.raw[length + 1] = 0;
  return length > 0 && terms_.anyMatches(word_, length);
}

}  // namespace kea
