// The options object: every user option that the pattern compiler, the
// search controller, the results lists, the definition window and the
// printout read. It starts with the defaults, is loaded once at start-up and
// is written back only when the user saves the options as defaults.
#pragma once

#include <string>
#include <string_view>

#include "settings/SettingsStore.h"
#include "settings/TextForms.h"

namespace kea {

class UserOptions {
 public:
  // The fonts' default texts, also used when a stored font is missing.
  static constexpr std::string_view kDefaultFontPattern = "0,0,0,-16,0,0,0,400,0,0,0,0,0,0,0,49,Courier New";
  static constexpr std::string_view kDefaultFontOutput = "0,0,0,-16,0,0,0,400,0,0,0,0,0,0,0,49,Courier New";
  static constexpr std::string_view kDefaultFontOutputAnnotation =
      "0,0,0,-16,0,0,0,400,255,0,0,0,0,0,0,49,Courier New";
  static constexpr std::string_view kDefaultFontPrinting = "0,0,0,-13,0,0,0,400,0,0,0,0,0,0,0,49,Courier New";
  static constexpr std::string_view kDefaultDefinitionDefaultFont =
      "0,0,0,-16,0,0,0,400,0,0,0,0,3,2,1,18,Times New Roman";
  static constexpr std::string_view kDefaultDefinitionHighlightFont =
      "255,0,0,-16,0,0,0,400,255,0,0,0,3,2,1,18,Times New Roman";
  // The definitions dictionary shipped in the "Definitions" folder.
  static constexpr std::string_view kDefinitionsFolder = "Definitions";
  static constexpr std::string_view kDefaultDefinitionFile = "WordNet.kkd";

  // ViewMultipleDictionaries
  static constexpr int kSuppressDuplicates = 0;
  static constexpr int kSearchIndependently = 1;
  static constexpr int kActiveDictionaryOnly = 2;
  // ViewDoubleClick
  static constexpr int kDoubleClickLookup = 0;
  static constexpr int kDoubleClickExternalLookup = 1;

  // `programFolder` is the folder that holds the program's data folders; the
  // default definitions dictionary lies in its "Definitions" folder.
  explicit UserOptions(std::string_view programFolder);

  // Puts every option back to its default.
  void setDefaults();
  // Reads every option; a value that is missing, of the wrong type or out of
  // its range leaves the default in place.
  void load(SettingsStore& store);
  // Writes every option, fonts and colours in their text forms.
  void save(SettingsStore& store) const;
  // Writes the most-common-first option alone: the main window's toggle
  // keeps it at once, as the user set it.
  void saveCommonFirst(SettingsStore& store) const;
  // Writes the Meaning box's visibility alone, as soon as the user shows or
  // hides it.
  void saveMeaningBox(SettingsStore& store) const;

  // The options window never lets both sorting and length grouping be off:
  // clearing one switches the other on.
  void setViewSorting(bool on);
  void setViewLengthGrouping(bool on);

  // The shipped definitions dictionary, found beside the program or in its
  // ../share/kea like the other data files.
  static std::string defaultDefinitionDictionary(std::string_view programFolder);

  // Pattern
  std::string expansionAt;             // ExpansionAt
  std::string expansionHash;           // ExpansionHash
  bool variablesExclusive = true;      // VariablesExclusive
  bool ignoreUnusedPunctuation = true; // IgnoreUnusedPunctuation
  // Appearance
  FontSetting fontPattern;                // FontPattern
  FontSetting fontOutput;                 // FontOutput
  FontSetting fontOutputAnnotation;       // FontOutputAnnotation
  FontSetting fontPrinting;               // FontPrinting
  Colour definitionBackgroundColor;       // DefinitionBackgroundColor
  FontSetting definitionDefaultFont;      // DefinitionDefaultFont
  FontSetting definitionHighlightFont;    // DefinitionHighlightFont
  static constexpr int kMaxScore = 100;

  // Dictionaries, sorting and results
  int viewMultipleDictionaries = kSuppressDuplicates;  // ViewMultipleDictionaries, 0…2
  bool viewSorting = false;                            // ViewSorting
  bool viewSortingAscending = true;                    // ViewSortingAscending
  bool viewLengthGrouping = true;                      // ViewLengthGrouping
  int viewLengthGroupingSense = 0;                     // ViewLengthGroupingSense, -1 descending, 0 smart, 1 ascending
  bool viewShowAnnotations = true;                     // ViewShowAnnotations
  bool viewShowBalances = true;                        // ViewShowBalances
  int viewDoubleClick = kDoubleClickLookup;            // ViewDoubleClick, 0…1
  bool outputLower = true;                             // OutputLower
  bool outputUpper = true;                             // OutputUpper
  bool outputPunctuation = true;                       // OutputPunctuation
  bool outputWhitespace = true;                        // OutputWhitespace
  // Beyond the original options: most common entries first, and entries
  // whose commonness score is below a threshold left out (entries without a
  // score are always listed).
  bool viewCommonFirst = false;                        // ViewSortingCommonFirst
  bool viewMeaningBox = false;                         // ViewMeaningBox: the Meaning box is shown
  int outputMinimumScore = 0;                          // OutputMinimumScore, 0…100
  std::string viewDefinitionDictionary;                // ViewDefinitionDictionary

 private:
  std::string programFolder_;
};

}  // namespace kea
