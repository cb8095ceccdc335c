// Helpers for the matching tests: run a pattern or a whole line against a
// word the way the search step does (only the lengths the line can match
// are offered), and compare the engine with the reference matcher.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ReferenceMatcher.h"
#include "pattern/MatchEngine.h"
#include "pattern/MatchEngineSet.h"
#include "support/TestAlphabet.h"

namespace kea::test {

// Does the line, its macros expanded as by default, match the word? The
// line must be valid.
bool lineMatches(std::string_view line, std::string_view word, std::string* balance = nullptr);

// Does a single pattern match the word (compiled with the given options)?
bool patternMatches(std::string_view pattern, std::string_view word, bool ignoreUnusedPunctuation = true,
                    bool variablesExclusive = true, std::string* balance = nullptr);

struct Tally {
  int patterns = 0;
  int skipped = 0;  // patterns the engine refused
  int pairs = 0;
  int matches = 0;
};

// Which options are tried both ways (both on otherwise).
enum Vary { kNone = 0, kIgnore = 1, kExclusive = 2, kBoth = 3 };

// Compiles the pattern for the engine and the reference and compares their
// lengths, and their answer and balance on every word. The first
// disagreement fails the test and returns false.
bool compareWithReference(const std::string& pattern, const std::vector<std::string>& words, int vary,
                          Tally& tally);

}  // namespace kea::test
