// The core's own texts in one place: the numbered string table that the
// status line and the messages load by number, and the few fixed texts
// (button labels, message captions) that have no number. What only the
// desktop program shows (the commands' texts, its controls' tool tips) is
// its own, in ui/, where it is translated.
//
// The pattern language's messages (13080 + status code) and the balance
// prefix (5800) are kept with the pattern compiler; this table serves them
// from there, so each text exists exactly once.
#pragma once

#include <string>
#include <string_view>

#include "dictionary/WordListFile.h"
#include "pattern/Enumeration.h"

namespace kea {

// String numbers.
namespace strings {
inline constexpr int kSearching = 4960;
inline constexpr int kSearchingPaused = 4970;
inline constexpr int kSingleSpace = 5800;
inline constexpr int kNoDictionary = 6670;
// The External Lookup prompt: 12890 + 1 when no method is enabled + 2 when
// an ordinary lookup found nothing.
inline constexpr int kTryExternalLookup = 12890;
inline constexpr int kNoLookupMethods = 12891;
inline constexpr int kNoDefinitionsFound = 12892;
inline constexpr int kNoDefinitionsNoLookupMethods = 12893;
inline constexpr int kLookupFailed = 6380;
inline constexpr int kSettingsStopPattern = 13000;
inline constexpr int kIncompatibleLengths = 13010;
inline constexpr int kPatternValid = 13080;  // also the base of the pattern status messages
inline constexpr int kNoWordsOfLength = 14030;
// The workspace's caption: names joined by the separator, then the suffix.
inline constexpr int kCaptionSeparator = 11850;
inline constexpr int kCaptionSuffix = 4460;
// Asked before a saved file replaces another.
inline constexpr int kAlreadyExists = 10740;
}  // namespace strings

// The text of string `id`, or an empty text when the table has none.
std::string_view loadString(int id);

// Texts without a number.
namespace texts {
inline constexpr std::string_view kWordSearchLabel = "Word &Search";
inline constexpr std::string_view kFullTextSearchLabel = "Full Text &Search";
inline constexpr std::string_view kPhraseSearchLabel = "Phrase &Search";
inline constexpr std::string_view kStopLabel = "&Stop";
inline constexpr std::string_view kResumeLabel = "Re&sume";
inline constexpr std::string_view kDictionaryInvalidatedCaption = "Dictionary Invalidated";
inline constexpr std::string_view kNoLongerValid = "\nis no longer a valid KEA&Kindred Dictionary File";
inline constexpr std::string_view kDictionaryChangedCaption = "Dictionary Changed";
inline constexpr std::string_view kDictionaryChanged =
    "The dictionary has been updated.\n\nPlease rerun the search and try again.";
inline constexpr std::string_view kMemoryLowCaption = "Application Memory Low";
inline constexpr std::string_view kMemoryLow =
    "An application function has been suspended because there is too little virtual memory. Try closing down "
    "all unnecessary programs and selecting the Retry button. If this message persists, exit the application "
    "by selecting the Cancel button and configure more virtual memory.";
// The open dictionary list and the window caption.
inline constexpr std::string_view kProgramName = "KEA";
inline constexpr std::string_view kDictionaryOpenFailedCaption = "Dictionary Open Failed";
inline constexpr std::string_view kTooManyDictionaries =
    "The number of allowed dictionaries has been reached.\nPlease close a dictionary before loading a new one";
inline constexpr std::string_view kNotValidDictionary = "\nis not a valid KEA&Kindred Dictionary File";
inline constexpr std::string_view kOpenDialogTitle = "Dictionary File Selection";
inline constexpr std::string_view kOpenDialogFilter = "Dictionary File (*.kkd)|*.kkd|All Files|*.*";
// A file name that Windows-1252 cannot hold, after the name itself.
inline constexpr std::string_view kFileNameNotUsable =
    "\ncannot be opened: KEA can only use file names made of Western European characters";
// Where "&Email Support" writes to.
inline constexpr std::string_view kSupportMail = "mailto:support@gridsmith.example?subject=KEA%202.11";
// The question asked at exit when the length boxes were changed.
inline constexpr std::string_view kRangeChangedCaption = "Range Settings Updated";
inline constexpr std::string_view kRangeChanged =
    "The Shortest and Longest settings have been changed.\nDo you want the new settings to be the default when "
    "KEA is started?";
// External lookups: the failure box, the prompt's caption (the word
// follows) and the submenu's fixed item.
inline constexpr std::string_view kLookupFailureCaption = "Dictionary Lookup Failure";
inline constexpr std::string_view kExternalLookupCaptionPrefix = "External Lookup - ";
inline constexpr std::string_view kLookupSetupItem = "&Setup...";
// Saving results as text.
inline constexpr std::string_view kSaveResultsTitle = "Save Results";
inline constexpr std::string_view kSaveResultsFilter = "Text Document (TXT)|*.txt|KEA&Kindred Dictionary (KKD)|*.kkd";
inline constexpr std::string_view kSaveAsCaption = "Save As";
inline constexpr std::string_view kTextFileSaveErrorCaption = "Text File Save Error";
inline constexpr std::string_view kResultsNotSaved = "Results couldn't be saved";
// Saving results as a dictionary. The two log lines are printf formats
// taking a path.
inline constexpr std::string_view kSaveDictionaryTitle = "Save KEA&Kindred Dictionary";
inline constexpr std::string_view kCreateExpurgatedTitle = "Create Expurgated Dictionary";
inline constexpr std::string_view kCreateExpurgatedFilter = "KEA&Kindred Dictionary (KKD)|*.kkd|All Files (*.*)|*.*";
inline constexpr std::string_view kResultsWithPattern = " results with pattern ";
inline constexpr std::string_view kDictionarySaveFailedCaption = "Dictionary Save Failed";
inline constexpr const char* kNotAValidDictionaryLog = "\"%s\" is not a valid dictionary\n";
}  // namespace texts

// A message with a word put between its first two adjacent double quotation
// marks (as in string 12892); the text unchanged when it has none.
std::string withWordInserted(std::string_view text, std::string_view word);

// "%d result%s found": "1 result found", otherwise "n results found".
std::string resultsFoundText(long long count);

// What a dictionary's file turned out to be, for the end of the "is not a
// valid" and "is no longer a valid" messages: "\n\nIt is a named pipe, not
// a dictionary file."; empty when there is nothing to add.
std::string dictionaryProblemDetail(std::string_view problem);

// The status after a search that could not read all of dictionary `name`:
// why, and that the results found are not all there may be.
std::string incompleteResultsText(std::string_view name, ListProblem problem, long long count);

// Searching by meaning.
namespace texts {
inline constexpr std::string_view kMeaningHasNoWords =
    "The meaning has only common words such as \"the\" and \"of\": add a word that says what the answer means";
}  // namespace texts

// The status after a search ranked by meaning: "12 results found, 3
// ranked by meaning", or that no dictionary searched has a meaning index.
std::string meaningResultsText(long long count, long long ranked, bool anyIndex);

// Why a text is not an enumeration; empty for EnumerationError::None.
std::string_view enumerationErrorText(EnumerationError error);

// The status line's message for a pattern holding a character that no
// dictionary text can hold (outside Windows-1252), named by its code point.
std::string unusableCharacterText(char32_t codePoint);

}  // namespace kea
