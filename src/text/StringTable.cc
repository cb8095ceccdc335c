#include "text/StringTable.h"

#include <cstdio>

#include "pattern/PatternStatus.h"

namespace kea {

namespace {

struct StringEntry {
  int id;
  std::string_view text;
};

constexpr StringEntry kStrings[] = {
    {strings::kSearching, "Searching - click on Stop to pause"},
    {strings::kSearchingPaused, "Searching paused - click on Resume to continue"},
    {strings::kNoDictionary, "Use Open... on the File menu to select a dictionary"},
    {strings::kTryExternalLookup, "Would you like to try an external search for \"\" now?"},
    {strings::kNoLookupMethods,
     "No external lookup methods are enabled.\n\nClick on the Setup... button and ensure one of the configured "
     "methods is checked if you would like to try an external search for \"\"."},
    {strings::kNoDefinitionsFound,
     "No definitions for \"\" could be found in the KEA dictionaries.\n\nWould you like to try an external search?"},
    {strings::kNoDefinitionsNoLookupMethods,
     "No definitions for \"\" could be found in the KEA dictionaries.\n\nClick on the Setup... button and ensure "
     "one of the configured methods is checked if you would like to try an external search."},
    {strings::kLookupFailed,
     "Lookup in the selected external dictionary application failed.\n\nApplications using DDE and Message "
     "interfaces need to be started before lookup is used."},
    {strings::kSettingsStopPattern, "Shortest/Longest settings stop the pattern being matched"},
    {strings::kIncompatibleLengths, "Patterns match incompatible lengths"},
    {strings::kNoWordsOfLength, "No words of the required length(s) in the dictionaries"},
    {strings::kCaptionSeparator, ", "},
    {strings::kCaptionSuffix, " - KEA"},
    {strings::kAlreadyExists, " already exists.\nDo you want to replace it?"},
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

std::string meaningResultsText(long long count, long long ranked, bool anyIndex) {
  std::string text = resultsFoundText(count);
  if (!anyIndex) return text + "; the dictionaries have no meaning index, so they are in the usual order";
  char tail[64];
  std::snprintf(tail, sizeof tail, ", %lld ranked by meaning", ranked);
  return text + tail;
}

std::string dictionaryProblemDetail(std::string_view problem) {
  if (problem.empty()) return std::string();
  return "\n\nIt " + std::string(problem) + ".";
}

std::string incompleteResultsText(std::string_view name, ListProblem problem, long long count) {
  std::string text(name);
  switch (problem) {
    case ListProblem::Changed:
      text += " changed on disk during the search";
      break;
    case ListProblem::Damaged:
      text += " is damaged";
      break;
    case ListProblem::Unreadable:
    case ListProblem::None:
      text += " could not be read";
      break;
  }
  text += ": " + resultsFoundText(count) + ", but not all there may be";
  if (problem == ListProblem::Changed) text += "; search again";
  return text;
}

std::string_view enumerationErrorText(EnumerationError error) {
  switch (error) {
    case EnumerationError::None:
      return {};
    case EnumerationError::Empty:
      return "The enumeration is empty: give the word lengths, as in (3,4) or (4-5)";
    case EnumerationError::ZeroLength:
      return "A word of an enumeration needs at least one letter";
    case EnumerationError::WordTooLong:
      return "A word of an enumeration can have at most 100 letters";
    case EnumerationError::TotalTooLong:
      return "An enumeration can have at most 100 letters in all";
    case EnumerationError::MissingSeparator:
      return "Separate the word lengths of an enumeration with , or -";
    case EnumerationError::SeparatorsTogether:
      return "Put a word length between two separators of an enumeration";
    case EnumerationError::SeparatorAtEnd:
      return "An enumeration cannot start or end with , or -";
    case EnumerationError::Parentheses:
      return "Parentheses can only enclose a whole enumeration, as one pair";
    case EnumerationError::OtherCharacter:
      return "An enumeration holds only word lengths, separated by , (new word) or - (hyphen)";
  }
  return {};
}

std::string unusableCharacterText(char32_t codePoint) {
  char text[128];
  std::snprintf(text, sizeof text, "The pattern holds a character (U+%04X) that no KEA dictionary can hold",
                static_cast<unsigned>(codePoint));
  return text;
}

}  // namespace kea
