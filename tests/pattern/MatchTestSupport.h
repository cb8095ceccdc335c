// Helpers for the matching tests: run a pattern or a whole line against a
// word the way the search step does (only the lengths the line can match
// are offered).
#pragma once

#include <string>
#include <string_view>

#include "pattern/MatchEngine.h"
#include "pattern/MatchEngineSet.h"
#include "support/TestAlphabet.h"

namespace kea::test {

struct LineOptions {
  bool ignoreUnusedPunctuation = true;
  bool variablesExclusive = true;
  std::string at = "[aeiou]";
  std::string hash = "[^aeiou]";
};

// Does the macro-expanded line match the word? The line must be valid.
bool lineMatches(std::string_view line, std::string_view word, const LineOptions& options = {},
                 std::string* balance = nullptr);

// Does a single pattern match the word (compiled with the given options)?
bool patternMatches(std::string_view pattern, std::string_view word, bool ignoreUnusedPunctuation = true,
                    bool variablesExclusive = true, std::string* balance = nullptr);

}  // namespace kea::test
