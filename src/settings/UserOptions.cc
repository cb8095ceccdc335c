#include "settings/UserOptions.h"

#include <filesystem>

#include "platform/ProgramFolder.h"
#include "settings/Persist.h"

namespace kea {

namespace {

// Reads an integer that must lie in [low, high]; anything else keeps `value`.
void readInRange(Persist& persist, std::string_view name, int low, int high, int& value) {
  int stored = 0;
  if (persist.readInt(name, stored) && stored >= low && stored <= high) value = stored;
}

}  // namespace

UserOptions::UserOptions(std::string_view programFolder) : programFolder_(programFolder) {
  setDefaults();
}

std::string UserOptions::defaultDefinitionDictionary(std::string_view programFolder) {
  // Where the data is installed: beside the program or in its
  // ../share/kea, as for every shipped file; the folder beside the
  // program when the file is in neither.
  const std::string relative = (std::filesystem::path(kDefinitionsFolder) / kDefaultDefinitionFile).string();
  if (auto found = platform::findDataFile(programFolder, relative)) return *found;
  return (std::filesystem::path(programFolder) / kDefinitionsFolder / kDefaultDefinitionFile).string();
}

void UserOptions::setDefaults() {
  expansionAt = "[aeiou]";
  expansionHash = "[^aeiou]";
  variablesExclusive = true;
  ignoreUnusedPunctuation = true;
  fontPattern = parseFont(kDefaultFontPattern);
  fontOutput = parseFont(kDefaultFontOutput);
  fontOutputAnnotation = parseFont(kDefaultFontOutputAnnotation);
  fontPrinting = parseFont(kDefaultFontPrinting);
  definitionBackgroundColor = Colour::fromRgb(255, 255, 255);
  definitionDefaultFont = parseFont(kDefaultDefinitionDefaultFont);
  definitionHighlightFont = parseFont(kDefaultDefinitionHighlightFont);
  viewMultipleDictionaries = kSuppressDuplicates;
  viewSorting = false;
  viewSortingAscending = true;
  viewLengthGrouping = true;
  viewLengthGroupingSense = 0;
  viewShowAnnotations = true;
  viewShowBalances = true;
  viewDoubleClick = kDoubleClickLookup;
  outputLower = outputUpper = outputPunctuation = outputWhitespace = true;
  viewCommonFirst = false;
  viewMeaningBox = false;
  outputMinimumScore = 0;
  viewDefinitionDictionary = defaultDefinitionDictionary(programFolder_);
}

void UserOptions::load(SettingsStore& store) {
  setDefaults();
  Persist persist(store, SettingsMode::Read);
  persist.readString("ExpansionAt", expansionAt);
  persist.readString("ExpansionHash", expansionHash);
  persist.readFlag("VariablesExclusive", variablesExclusive);
  persist.readFlag("IgnoreUnusedPunctuation", ignoreUnusedPunctuation);
  persist.readFont("FontPattern", kDefaultFontPattern, fontPattern);
  persist.readFont("FontOutput", kDefaultFontOutput, fontOutput);
  persist.readFont("FontOutputAnnotation", kDefaultFontOutputAnnotation, fontOutputAnnotation);
  persist.readFont("FontPrinting", kDefaultFontPrinting, fontPrinting);
  persist.readColour("DefinitionBackgroundColor", definitionBackgroundColor);
  persist.readFont("DefinitionDefaultFont", kDefaultDefinitionDefaultFont, definitionDefaultFont);
  persist.readFont("DefinitionHighlightFont", kDefaultDefinitionHighlightFont, definitionHighlightFont);
  readInRange(persist, "ViewMultipleDictionaries", 0, 2, viewMultipleDictionaries);
  persist.readFlag("ViewSorting", viewSorting);
  persist.readFlag("ViewSortingAscending", viewSortingAscending);
  persist.readFlag("ViewLengthGrouping", viewLengthGrouping);
  readInRange(persist, "ViewLengthGroupingSense", -1, 1, viewLengthGroupingSense);
  persist.readFlag("ViewShowAnnotations", viewShowAnnotations);
  persist.readFlag("ViewShowBalances", viewShowBalances);
  readInRange(persist, "ViewDoubleClick", 0, 1, viewDoubleClick);
  persist.readFlag("OutputLower", outputLower);
  persist.readFlag("OutputUpper", outputUpper);
  persist.readFlag("OutputPunctuation", outputPunctuation);
  persist.readFlag("OutputWhitespace", outputWhitespace);
  persist.readFlag("ViewSortingCommonFirst", viewCommonFirst);
  persist.readFlag("ViewMeaningBox", viewMeaningBox);
  readInRange(persist, "OutputMinimumScore", 0, kMaxScore, outputMinimumScore);
  persist.readString("ViewDefinitionDictionary", viewDefinitionDictionary);
}

void UserOptions::save(SettingsStore& store) const {
  Persist persist(store, SettingsMode::Write);
  persist.writeString("ExpansionAt", expansionAt);
  persist.writeString("ExpansionHash", expansionHash);
  persist.writeFlag("VariablesExclusive", variablesExclusive);
  persist.writeFlag("IgnoreUnusedPunctuation", ignoreUnusedPunctuation);
  persist.writeFont("FontPattern", fontPattern);
  persist.writeFont("FontOutput", fontOutput);
  persist.writeFont("FontOutputAnnotation", fontOutputAnnotation);
  persist.writeFont("FontPrinting", fontPrinting);
  persist.writeColour("DefinitionBackgroundColor", definitionBackgroundColor);
  persist.writeFont("DefinitionDefaultFont", definitionDefaultFont);
  persist.writeFont("DefinitionHighlightFont", definitionHighlightFont);
  persist.writeInt("ViewMultipleDictionaries", viewMultipleDictionaries);
  persist.writeFlag("ViewSorting", viewSorting);
  persist.writeFlag("ViewSortingAscending", viewSortingAscending);
  persist.writeFlag("ViewLengthGrouping", viewLengthGrouping);
  persist.writeInt("ViewLengthGroupingSense", viewLengthGroupingSense);
  persist.writeFlag("ViewShowAnnotations", viewShowAnnotations);
  persist.writeFlag("ViewShowBalances", viewShowBalances);
  persist.writeInt("ViewDoubleClick", viewDoubleClick);
  persist.writeFlag("OutputLower", outputLower);
  persist.writeFlag("OutputUpper", outputUpper);
  persist.writeFlag("OutputPunctuation", outputPunctuation);
  persist.writeFlag("OutputWhitespace", outputWhitespace);
  persist.writeFlag("ViewSortingCommonFirst", viewCommonFirst);
  persist.writeFlag("ViewMeaningBox", viewMeaningBox);
  persist.writeInt("OutputMinimumScore", outputMinimumScore);
  persist.writeString("ViewDefinitionDictionary", viewDefinitionDictionary);
}

void UserOptions::saveCommonFirst(SettingsStore& store) const {
  Persist persist(store, SettingsMode::Write);
  persist.writeFlag("ViewSortingCommonFirst", viewCommonFirst);
}

void UserOptions::saveMeaningBox(SettingsStore& store) const {
  Persist persist(store, SettingsMode::Write);
  persist.writeFlag("ViewMeaningBox", viewMeaningBox);
}

void UserOptions::setViewSorting(bool on) {
  viewSorting = on;
  if (!on) viewLengthGrouping = true;
}

void UserOptions::setViewLengthGrouping(bool on) {
  viewLengthGrouping = on;
  if (!on) viewSorting = true;
}

}  // namespace kea
