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

double rarityShade(int score) {
  if (score < 0 || score >= kFadeFrom) return 0.0;
  return kMostFaded * static_cast<double>(kFadeFrom - std::max(score, 0)) / kFadeFrom;
}

}  // namespace kea
