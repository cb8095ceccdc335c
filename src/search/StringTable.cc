#include "search/StringTable.h"

#include <cstdio>

#include "pattern/PatternStatus.h"

namespace kea {

namespace {

struct StringEntry {
  int id;
  std::string_view text;
};

constexpr StringEntry kStrings[] = {
    {strings::kPatternBoxTip,
     "Enter the word pattern you are searching for here (see the KEA Quick Reference for examples)"},
    {strings::kSearchButtonTip, "Click on this button to start, stop and resume searching"},
    {strings::kLongestArrowsTip, "Click on the arrows to change the longest length of word matched"},
    {strings::kShortestArrowsTip, "Click on the arrows to change the shortest length of word matched"},
    {strings::kLongestBoxTip, "Update this number to change the longest length of word that will be matched"},
    {strings::kShortestBoxTip, "Update this number to change the shortest length of word that will be matched"},
    {strings::kProgressBarTip, "This progress bar also shows the range of lengths that will be shown"},
    {strings::kSearching, "Searching - click on Stop to pause"},
    {strings::kSearchingPaused, "Searching paused - click on Resume to continue"},
    {strings::kNoDictionary, "Use Open... on the File menu to select a dictionary"},
    {strings::kSearchModeButtonTip,
     "Click on the down arrow to switch between Word Search and Full Text Search mode"},
    {strings::kNoDefinitionsFound,
     "No definitions for \"\" could be found in the KEA dictionaries.\n\nWould you like to try an external search?"},
    {strings::kSettingsStopPattern, "Shortest/Longest settings stop the pattern being matched"},
    {strings::kIncompatibleLengths, "Patterns match incompatible lengths"},
    {strings::kNoWordsOfLength, "No words of the required length(s) in the dictionaries"},
};

}  // namespace

std::string_view loadString(int id) {
  for (const StringEntry& entry : kStrings) {
    if (entry.id == id) return entry.text;
  }
  // The pattern compiler keeps its own messages and the balance prefix.
  if (const char* text = patternString(id)) return text;
  return {};
}

std::string withWordInserted(std::string_view text, std::string_view word) {
  std::string out(text);
  if (const std::size_t at = out.find("\"\""); at != std::string::npos) out.insert(at + 1, word);
  return out;
}

std::string resultsFoundText(long long count) {
  char text[64];
  std::snprintf(text, sizeof text, "%lld result%s found", count, count == 1 ? "" : "s");
  return text;
}

std::string unusableCharacterText(char32_t codePoint) {
  char text[128];
  std::snprintf(text, sizeof text, "The pattern holds a character (U+%04X) that no KEA dictionary can hold",
                static_cast<unsigned>(codePoint));
  return text;
}

}  // namespace kea
