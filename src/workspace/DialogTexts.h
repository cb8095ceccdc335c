// The words of the small windows around the main one: the options window,
// the dictionary properties, the quick reference, the about box and the help
// window. They are the program's own texts (labels keep their "&"
// mnemonics), kept here beside the string table so that the desktop layer
// only lays them out.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace kea::dialogs {

inline constexpr std::string_view kOkButton = "&OK";

// ---- Options window ----

inline constexpr std::string_view kOptionsWindowName = "KEAOptions";
inline constexpr std::string_view kOptionsCaption = "KEA Options";

struct OptionsTab {
  std::string_view title;
  std::string_view hint;
};
enum OptionsTabIndex { kPatternTab, kResultTab, kSortingTab, kDictionaryTab, kAppearanceTab, kOptionsTabCount };
inline constexpr std::array<OptionsTab, kOptionsTabCount> kOptionsTabs = {{
    {"Pattern", "How letter variables and macros in patterns are treated"},
    {"Result", "How results are displayed and filtered"},
    {"Sorting", "How results are sorted"},
    {"Dictionary", "How multiple dictionaries are handled"},
    {"Appearance", "What fonts are used in the display and for printing"},
}};

// Pattern
inline constexpr std::string_view kExpansionAtLabel = "&@ becomes:";
inline constexpr std::string_view kExpansionHashLabel = "&# becomes:";
inline constexpr std::string_view kVariablesExclusiveBox = "E&xclusive letter variables";
inline constexpr std::string_view kIgnoreUnusedPunctuationBox = "Ignore &unused punctuation";
// Result
inline constexpr std::string_view kShowAnnotationsBox = "Sho&w dictionary annotations";
inline constexpr std::string_view kShowBalancesBox = "Show anagra&m balances";
inline constexpr std::string_view kOutputLowerBox = "Show words containing only &lower case letters (e.g. tail)";
inline constexpr std::string_view kOutputUpperBox = "Show words containing some &upper case letters (e.g. Charlie)";
inline constexpr std::string_view kOutputPunctuationBox = "Show words containing punc&tuation (e.g. tail-end)";
inline constexpr std::string_view kOutputWhitespaceBox = "Show phr&ases (e.g. tail-end Charlie)";
inline constexpr std::string_view kDoubleClickLabel = "&Double-click action";
inline constexpr std::string_view kMinimumScoreLabel = "&Hide entries whose commonness score is below";
inline constexpr std::string_view kMinimumScoreNone = "none hidden";
// In the order of ViewDoubleClick's values.
inline constexpr std::array<std::string_view, 2> kDoubleClickChoices = {"Lookup", "External lookup"};
// Sorting
inline constexpr std::string_view kSortingBox = "S&ort alphabetically";
inline constexpr std::string_view kAscending = "Ascending";
inline constexpr std::string_view kGroupingBox = "Group &by length";
inline constexpr std::string_view kCommonFirstBox = "Most &common first (by the commonness scores kept beside a dictionary)";
struct GroupingSense {
  std::string_view label;
  int value;  // ViewLengthGroupingSense
};
inline constexpr std::array<GroupingSense, 3> kGroupingSenses = {{
    {"Ascending", 1},
    {"Smart", 0},
    {"Descending", -1},
}};
// Dictionary
struct MultipleDictionaries {
  std::string_view label;
  int value;  // ViewMultipleDictionaries
};
inline constexpr std::array<MultipleDictionaries, 3> kMultipleDictionaryChoices = {{
    {"Search all dictionaries independently", 1},
    {"Search all dictionaries and suppress duplicated results", 0},
    {"Search active dictionary only", 2},
}};
inline constexpr std::string_view kDefinitionDictionaries = "Definition dictionaries";
inline constexpr std::string_view kChangeButton = "Chan&ge...";
// Appearance
inline constexpr std::string_view kPatternFontLabel = "&Pattern font:";
inline constexpr std::string_view kResultsFontLabel = "&Results font:";
inline constexpr std::string_view kAnnotationFontLabel = "R&esults annotation font:";
inline constexpr std::string_view kPrintoutFontLabel = "Pri&ntout font:";
inline constexpr std::string_view kBackgroundColorLabel = "Bac&kground color:";
inline constexpr std::string_view kDefaultFontLabel = "De&fault font:";
inline constexpr std::string_view kHighlightFontLabel = "H&ighlight font:";
inline constexpr std::string_view kSaveAsDefaultsButton = "&Save as defaults";

// A definitions dictionary chosen with "Chan&ge..." that does not open is
// refused with the open list's message (texts::kNotValidDictionary).
//
// A text the user typed, or a file's name, holding a character that the
// settings (Windows-1252) cannot keep.
std::string unusableTextCharacter(char32_t codePoint);
std::string unusableFileNameCharacter(char32_t codePoint);

// ---- Dictionary properties ----

inline constexpr std::string_view kPropertiesWindowName = "DictionaryProperties";
// The dictionary's name, then this.
inline constexpr std::string_view kPropertiesCaptionSuffix = " Properties";
inline constexpr std::string_view kLocationLabel = "&Location:";
inline constexpr std::string_view kDateLabel = "&Date:";
inline constexpr std::string_view kDescriptionLabel = "De&scription:";
inline constexpr std::string_view kEntriesLabel = "&Entries:";
inline constexpr std::string_view kDefinitionsLabel = "De&finitions:";
inline constexpr std::string_view kShortestLabel = "&Shortest:";
inline constexpr std::string_view kLongestLabel = "&Longest:";

// ---- Quick reference ----

inline constexpr std::string_view kQuickReferenceWindowName = "KEAQuickReference";
inline constexpr std::string_view kQuickReferenceCaption = "KEA Quick Reference";
inline constexpr std::string_view kFeatureHeading = "Pattern feature (click for help):";
inline constexpr std::string_view kExampleHeading = "Example (click to try it):";
inline constexpr std::string_view kFindsHeading = "Finds:";

struct QuickReferenceRow {
  std::string_view feature;
  std::string_view example;  // a pattern line; it may hold "&", which is no mnemonic here
  std::string_view finds;
};
std::span<const QuickReferenceRow> quickReferenceRows();

// ---- Startup tips ----

inline constexpr std::string_view kTipHeading = "Did you know...?";

// ---- Help ----

inline constexpr std::string_view kHelpWindowName = "KEAHelp";
inline constexpr std::string_view kHelpCaption = "KEA Help";
inline constexpr std::string_view kHelpNotFound = "Help library not found";
inline constexpr std::string_view kHelpNotFoundCaption = "Can't open help";
// A page or mail address handed to the desktop that nothing opened (no web
// browser or mail program is installed or set as the default): what was to
// be opened, and what to do.
inline constexpr std::string_view kNothingOpenedCaption = "Nothing Opened";
std::string nothingOpened(std::string_view address);
// Where the help pages lie among the program's data, and the first page.
inline constexpr std::string_view kHelpFolder = "help";
inline constexpr std::string_view kHelpIndexPage = "index.html";


// ---- Saving results as a dictionary ----

inline constexpr std::string_view kDictionarySaveWindowName = "DictionaryOpen";
inline constexpr std::string_view kSaveFileLabel = "&File:";
inline constexpr std::string_view kSaveChangeButton = "Ch&ange...";
inline constexpr std::string_view kSaveDescriptionLabel = "D&escription:";
inline constexpr std::string_view kSaveButton = "&Save";
inline constexpr std::string_view kSaveCancelButton = "&Cancel";
inline constexpr std::string_view kSaveHelpButton = "&Help";

// ---- Print preview ----

inline constexpr std::string_view kPrintPreviewWindowName = "KEAPrintPreview";
inline constexpr std::string_view kPrintPreviewCaption = "Print Preview";
// printf formats: the page shown and the last page; the two pages shown.
inline constexpr const char* kPageOfFormat = "Page %d of %d";
inline constexpr const char* kPagesFormat = "Page %d - %d";
inline constexpr std::string_view kPreviousPageButton = "Previous Page";
inline constexpr std::string_view kNextPageButton = "Next Page";
inline constexpr std::string_view kPrintButton = "Print";
inline constexpr std::string_view kAllResultsButton = "All Results";
inline constexpr std::string_view kSelectedResultsButton = "Selected Results";
inline constexpr std::string_view kTwoPagesButton = "Two Pages";
inline constexpr std::string_view kOnePageButton = "One Page";
inline constexpr std::string_view kPreviewCloseButton = "Close";
// Hints: the status text, then the tool tip.
inline constexpr std::string_view kPreviousPageHint = "Display the page before the one shown\nShow Previous Page";
inline constexpr std::string_view kNextPageHint = "Display the page after the one shown\nShow Next Page";
inline constexpr std::string_view kPrintPageHint = "Print the page being displayed\nPrint Page";
inline constexpr std::string_view kAllResultsHint = "Print all results\nAll Results";
inline constexpr std::string_view kSelectedResultsHint = "Print selected results\nSelected Results";
inline constexpr std::string_view kTwoPagesHint = "Show one page or two side by side\nOne or Two Pages";
// "Page %d of %d" or, with two pages shown, "Page %d - %d".
std::string previewPageText(int from, int to, int last, bool twoPages);

// ---- About box ----

inline constexpr std::string_view kAboutCaption = "About KEA";
inline constexpr std::string_view kAboutSummary =
    "Finds the dictionary words that fit a crossword pattern, solves anagrams and looks up definitions.";
// The notices that the shipped word lists and definitions come with, as
// their licences require them to be shown: SCOWL and WordNet 3.0.
std::string_view dataNotices();

}  // namespace kea::dialogs
