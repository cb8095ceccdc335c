#include "pattern/PatternStatus.h"

namespace kea {

namespace {

struct StringEntry {
  int id;
  const char* text;
};

constexpr StringEntry kStrings[] = {
    {kBalancePrefixString, " "},
    {kPatternStatusStringBase + 0, "Pattern is valid - press the return key to start searching"},
    {kPatternStatusStringBase + 1, "Press F1 for help"},
    {kPatternStatusStringBase + 2, "Choice lists can only include letters, optionally preceded by ^"},
    {kPatternStatusStringBase + 3, "Too many patterns or choice lists"},
    {kPatternStatusStringBase + 4, "Pattern is too long to match anything"},
    {kPatternStatusStringBase + 5, "Choice list started - use ] to complete it"},
    {kPatternStatusStringBase + 6, "Only one ; is allowed in a pattern"},
    {kPatternStatusStringBase + 7, "Subpattern started - use ) to complete it"},
    {kPatternStatusStringBase + 8, "A ) can only appear at the end of a subpattern"},
    {kPatternStatusStringBase + 9, "A ] can only appear at the end of a choice list"},
    {kPatternStatusStringBase + 11, "Only letters and match-alls allowed in anagrams"},
    {kPatternStatusStringBase + 12, "A ^ can only appear within a choice list"},
    {kPatternStatusStringBase + 13, "Follow \\ by the character you want to match exactly"},
    {kPatternStatusStringBase + 14, "Choice lists must contain at least one letter"},
    {kPatternStatusStringBase + 15, "Pattern is nested too deeply - use fewer parentheses"},
};

}  // namespace

const char* patternString(int id) {
  for (const StringEntry& entry : kStrings) {
    if (entry.id == id) return entry.text;
  }
  return nullptr;
}

const char* patternStatusMessage(PatternStatus status) {
  const char* text = patternString(kPatternStatusStringBase + static_cast<int>(status));
  return text != nullptr ? text : "";
}

}  // namespace kea
