// How a results list shows an entry's commonness score: rare entries are
// drawn quieter, and the score is told in the entry's tool tip.
#pragma once

#include <string>
#include <vector>

namespace kea {

// The tool tip of an entry with `score` (0 … 100), or empty for none:
// "Commonness 62 of 100: common".
std::string commonnessTip(int score);

// The tool tip of an entry of a search ranked by meaning: its commonness
// tip, then which words of the meaning it matched ("Meaning: matched
// \"charged\", \"particle\""), or that it matched none.
std::string meaningTip(int score, const std::vector<std::string>& matchedWords);

// How far an entry's text is faded towards the background, 0 (not at all,
// as for every entry of 50 and over and every entry without a score) to
// 0.6 (score 0).
double rarityShade(int score);

}  // namespace kea
