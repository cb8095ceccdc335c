#include "search/ResultsCommonness.h"

#include <algorithm>

namespace kea {

namespace {

// Below this score an entry starts to fade; about a median entry of a large
// dictionary, so the everyday words stand out.
constexpr int kFadeFrom = 50;
constexpr double kMostFaded = 0.6;

const char* band(int score) {
  if (score >= 75) return "very common";
  if (score >= 60) return "common";
  if (score >= 45) return "less common";
  if (score >= 30) return "rare";
  return "very rare";
}

}  // namespace

std::string commonnessTip(int score) {
  if (score < 0 || score > 100) return {};
  return "Commonness " + std::to_string(score) + " of 100: " + band(score);
}

std::string meaningTip(int score, const std::vector<std::string>& matchedWords) {
  std::string tip = commonnessTip(score);
  if (!tip.empty()) tip += '\n';
  if (matchedWords.empty()) return tip + "Meaning: none of its words; listed by commonness";
  tip += "Meaning: matched ";
  for (std::size_t i = 0; i < matchedWords.size(); ++i) {
    if (i > 0) tip += i + 1 == matchedWords.size() ? " and " : ", ";
    tip += '"' + matchedWords[i] + '"';
  }
  return tip;
}

double rarityShade(int score) {
  if (score < 0 || score >= kFadeFrom) return 0.0;
  return kMostFaded * static_cast<double>(kFadeFrom - std::max(score, 0)) / kFadeFrom;
}

}  // namespace kea
