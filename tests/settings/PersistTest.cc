// Reading and writing settings: text forms of fonts, colours and positions,
// a store that cannot open, missing keys, wrong types, overlong texts,
// out-of-range values, and saved options that load back unchanged.
#include "settings/Persist.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "settings/MainViewState.h"
#include "settings/TextForms.h"
#include "settings/UserOptions.h"
#include "support/TempDir.h"

namespace kea {
namespace {

TEST(TextForms, FontNumbersThatAreMissingOrUnreadableCountAsZero) {
  const struct {
    const char* text;
    int blue, height, weight, italic;
    const char* face;
  } cases[] = {
      {"0,0,255,-20,0,0,0,700,0,0,0,0,0,0,0,0,Arial", 255, -20, 700, 0, "Arial"},
      {"", 0, 0, 0, 0, ""},
      {"0,,12,-9", 12, -9, 0, 0, ""},
      {"x,0,0,abc,0,0,0,700", 0, 0, 700, 0, ""},
      {"0,0, 7 ,-16junk,0,0,0,400,1", 7, -16, 400, 1, ""},
      {"0,0,0,-16,0,0,0,400,999,0,0,0,0,0,0,0,Face", 0, -16, 400, 255, "Face"},
      {"0,0,0,99999999999,0,0,0,-99999999999", 0, 2147483647, -2147483647 - 1, 0, ""},
  };
  for (const auto& c : cases) {
    const FontSetting font = parseFont(c.text);
    EXPECT_EQ(font.colour.blue(), c.blue) << c.text;
    EXPECT_EQ(font.height, c.height) << c.text;
    EXPECT_EQ(font.weight, c.weight) << c.text;
    EXPECT_EQ(font.italic, c.italic) << c.text;
    EXPECT_EQ(font.faceName, c.face) << c.text;
  }
  const std::string numbers = "0,0,0,-16,0,0,0,400,0,0,0,0,0,0,0,49,";
  EXPECT_EQ(parseFont(numbers + "Times New Roman,extra").faceName, "Times New Roman");
  EXPECT_EQ(parseFont(numbers + std::string(40, 'F')).faceName, std::string(32, 'F'));
}

TEST(TextForms, ColourPartsAreClampedAndWrittenFormsReadBackUnchanged) {
  EXPECT_EQ(parseColour("1,2,3").value, 1u + 2u * 256u + 3u * 65536u);
  EXPECT_EQ(parseColour("300,-5,7").value, 255u + 7u * 65536u);  // a part out of range keeps to its own byte
  const std::string text = "255,0,0,-16,0,0,0,400,255,0,0,0,3,2,1,18,Times New Roman";
  EXPECT_EQ(formatFont(parseFont(text)), text);
  EXPECT_EQ(formatColour(Colour::fromRgb(1, 2, 3)), "1,2,3");
  const WindowPosition position{-10, 20, 640, 480, 2};
  EXPECT_EQ(formatPosition(position), "-10,20,640,480,2");
  EXPECT_EQ(parsePosition(formatPosition(position)), position);
  EXPECT_EQ(parsePosition("5,6"), (WindowPosition{5, 6, 0, 0, 0}));
}

TEST(Persist, StoreThatFailsToOpenOrIsOnlyReadWritesNothing) {
  MemorySettingsStore store;
  store.putInt("A", 5);
  store.setOpenFails(true);
  int value = 42;
  EXPECT_FALSE(Persist(store, SettingsMode::Write).readInt("A", value));
  EXPECT_EQ(value, 42);
  Persist(store, SettingsMode::Write).writeString("C", "text");
  EXPECT_FALSE(store.has("C"));

  MemorySettingsStore missing;
  Persist(missing, SettingsMode::Read).writeInt("A", 1);  // a reader never creates the key
  EXPECT_FALSE(missing.keyExists());
  Persist(missing, SettingsMode::Write).writeInt("A", 1);
  ASSERT_NE(missing.intValue("A"), nullptr);
  EXPECT_EQ(*missing.intValue("A"), 1);
  EXPECT_FALSE(missing.isOpen());  // closed with the accessor
}

TEST(Persist, WrongTypeOverlongTextAndMissingFontReadAsMissing) {
  MemorySettingsStore store;
  store.putString("Number", "12");
  store.putInt("Text", 12);
  store.putString("Huge", std::string(Persist::kMaxStringBytes, 'a'));
  store.putString("Largest", std::string(Persist::kMaxStringBytes - 1, 'a'));
  store.putString("Zero", std::string("ab\0cd", 5));
  store.putString("Font", "0,0,255,-20,0,0,0,700,0,0,0,0,0,0,0,0,Arial");
  Persist persist(store, SettingsMode::Read);
  int number = 7;
  EXPECT_FALSE(persist.readInt("Number", number));
  EXPECT_EQ(number, 7);
  std::string text = "default";
  EXPECT_FALSE(persist.readString("Text", text));
  EXPECT_FALSE(persist.readString("Huge", text));
  EXPECT_EQ(text, "default");
  EXPECT_TRUE(persist.readString("Largest", text));
  EXPECT_EQ(text.size(), Persist::kMaxStringBytes - 1);
  EXPECT_TRUE(persist.readString("Zero", text));
  EXPECT_EQ(text, "ab");

  FontSetting font;
  EXPECT_TRUE(persist.readFont("Font", "0,0,0,-9,0,0,0,400,0,0,0,0,0,0,0,0,Other", font));
  EXPECT_EQ(font.faceName, "Arial");
  EXPECT_FALSE(persist.readFont("Missing", "0,0,0,-9,0,0,0,400,0,0,0,0,0,0,0,0,Other", font));
  EXPECT_EQ(font.faceName, "Other");
  Colour colour = Colour::fromRgb(1, 2, 3);
  EXPECT_FALSE(persist.readColour("Missing", colour));
  EXPECT_EQ(colour, Colour::fromRgb(1, 2, 3));
}

TEST(UserOptions, TheDefaultDefinitionsDictionaryIsFoundWhereTheDataIsInstalled) {
  test::TempDir dir;
  const std::filesystem::path share = dir.path() / "share" / "kea" / "Definitions";
  std::filesystem::create_directories(share);
  std::filesystem::create_directories(dir.path() / "bin");
  const std::string bin = (dir.path() / "bin").string() + "/";
  // Neither beside the program nor in ../share/kea: the place beside it.
  EXPECT_EQ(UserOptions::defaultDefinitionDictionary(bin), bin + "Definitions/WordNet.kkd");
  std::ofstream((share / "WordNet.kkd").string()) << "x";
  EXPECT_EQ(std::filesystem::path(UserOptions::defaultDefinitionDictionary(bin)).lexically_normal(),
            std::filesystem::path(bin + "../share/kea/Definitions/WordNet.kkd").lexically_normal());
}

TEST(UserOptions, NoKeyGivesTheDefaultsAndOutOfRangeValuesKeepThem) {
  MemorySettingsStore store;
  UserOptions options("/opt/kea/bin");
  options.expansionAt = "changed";
  options.load(store);
  EXPECT_EQ(options.expansionAt, "[aeiou]");
  EXPECT_EQ(options.viewDefinitionDictionary, "/opt/kea/bin/Definitions/WordNet.kkd");

  store.putInt("ViewMultipleDictionaries", 7);
  store.putInt("ViewLengthGroupingSense", 2);
  store.putInt("ViewDoubleClick", -1);
  store.putString("ViewSorting", "1");  // wrong type
  store.putInt("OutputUpper", 0);
  store.putInt("ViewShowBalances", 5);  // any non-zero flag is on
  store.putString("FontOutput", "0,0,0,-30");
  options.viewShowBalances = false;
  options.load(store);
  EXPECT_EQ(options.viewMultipleDictionaries, 0);
  EXPECT_EQ(options.viewLengthGroupingSense, 0);
  EXPECT_EQ(options.viewDoubleClick, 0);
  EXPECT_FALSE(options.viewSorting);
  EXPECT_FALSE(options.outputUpper);
  EXPECT_TRUE(options.viewShowBalances);
  EXPECT_EQ(options.fontOutput.height, -30);
  store.putInt("ViewLengthGroupingSense", -1);
  options.load(store);
  EXPECT_EQ(options.viewLengthGroupingSense, -1);
  // Sorting and grouping are never both off.
  options.setViewLengthGrouping(false);
  options.setViewSorting(false);
  EXPECT_TRUE(options.viewLengthGrouping);
}

TEST(UserOptions, SavedOptionsLoadBackUnchanged) {
  MemorySettingsStore store;
  UserOptions saved("/p");
  saved.expansionAt = "[xyz]";
  saved.variablesExclusive = false;
  saved.fontPattern = parseFont("0,0,255,-20,0,0,0,700,0,0,0,0,0,0,0,0,Arial");
  saved.definitionBackgroundColor = Colour::fromRgb(10, 20, 30);
  saved.viewCommonFirst = true;
  saved.outputMinimumScore = 35;
  saved.viewMeaningBox = true;
  saved.save(store);
  EXPECT_EQ(store.valueCount(), 27u);  // every option of the table
  UserOptions loaded("/elsewhere");
  loaded.load(store);
  EXPECT_EQ(loaded.expansionAt, "[xyz]");
  EXPECT_FALSE(loaded.variablesExclusive);
  EXPECT_EQ(loaded.fontPattern, saved.fontPattern);
  EXPECT_EQ(loaded.definitionBackgroundColor, saved.definitionBackgroundColor);
  EXPECT_EQ(loaded.viewDefinitionDictionary, "/p/Definitions/WordNet.kkd");
  EXPECT_TRUE(loaded.viewCommonFirst);
  EXPECT_EQ(loaded.outputMinimumScore, 35);
  EXPECT_TRUE(loaded.viewMeaningBox);
  // A threshold outside the scores' range is not taken.
  store.putInt("OutputMinimumScore", 101);
  loaded.load(store);
  EXPECT_EQ(loaded.outputMinimumScore, 0);
}

TEST(MainViewState, RangeIsClampedAndTheHistoryStopsAtAGapAndAtAHundred) {
  MemorySettingsStore store;
  store.putInt("RangeShortest", -4);
  store.putInt("RangeLongest", 500);
  store.putString("Pattern0", "a*");
  store.putString("Pattern1", ";lobikes");
  store.putString("Pattern2", "");
  store.putString("Pattern3", "later");
  Persist persist(store, SettingsMode::Read);
  MainViewState values;
  values.load(persist, true);
  EXPECT_EQ(values.rangeShortest, 1);
  EXPECT_EQ(values.rangeLongest, 100);
  EXPECT_EQ(values.patternHistory, (std::vector<std::string>{"a*", ";lobikes"}));
  // By the locale when the units are unset or neither 4 nor 8.
  values.loadPrinting(persist, false);
  EXPECT_EQ(values.printingMarginUnits, MainViewState::kHundredthsOfMillimetre);
  EXPECT_EQ(values.printingTopMargin, 2540);

  MemorySettingsStore written;
  MainViewState many;
  for (int i = 0; i < 120; ++i) many.patternHistory.push_back("p" + std::to_string(i));
  many.patternHistory[5].clear();
  {
    Persist writer(written, SettingsMode::Write);
    many.savePatternHistory(writer);
  }
  EXPECT_TRUE(written.has("Pattern99"));
  EXPECT_FALSE(written.has("Pattern100"));
  EXPECT_FALSE(written.has("Pattern5"));
  EXPECT_EQ(*written.stringValue("Pattern6"), "p6");
}

}  // namespace
}  // namespace kea
