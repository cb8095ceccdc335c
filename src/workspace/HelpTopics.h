// Help topics: the numbers by which the program opens its help pages (F1 in
// a window or a menu, "&More on this topic" of a startup tip, a click on a
// quick reference feature) and the page each number stands for.
//
// The numbers are stored in Tips.txt and may be stored by users in their own
// tips files, so a number once given keeps its meaning: never renumber a
// topic, only add new ones. The pages live in the help folder (data/help/ in
// the sources, share/kea/help/ when built or installed).
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace kea {

// The help pages, chapter by chapter.
inline constexpr int kHelpContents = 100;
inline constexpr int kHelpGettingStarted = 110;
inline constexpr int kHelpMainWindow = 111;
inline constexpr int kHelpStatusLine = 112;
inline constexpr int kHelpStopResume = 113;
inline constexpr int kHelpPatternHistory = 114;

inline constexpr int kHelpPatternSummary = 200;
inline constexpr int kHelpTemplates = 210;
inline constexpr int kHelpAnagrams = 220;
inline constexpr int kHelpBalances = 221;
inline constexpr int kHelpWildcards = 230;
inline constexpr int kHelpChoiceLists = 240;
inline constexpr int kHelpTemplatesWithAnagrams = 250;
inline constexpr int kHelpLetterVariables = 260;
inline constexpr int kHelpPunctuation = 270;
inline constexpr int kHelpLogicalOperations = 280;
inline constexpr int kHelpMacros = 290;
inline constexpr int kHelpSubPatterns = 300;
inline constexpr int kHelpEscapes = 310;

inline constexpr int kHelpLengths = 400;
inline constexpr int kHelpResults = 420;
inline constexpr int kHelpSorting = 421;
inline constexpr int kHelpFilters = 422;
inline constexpr int kHelpAnnotations = 423;
inline constexpr int kHelpSelecting = 424;
inline constexpr int kHelpDictionaries = 440;
inline constexpr int kHelpSearchOrder = 441;
inline constexpr int kHelpMultipleDictionaryModes = 442;
inline constexpr int kHelpPanes = 443;

inline constexpr int kHelpOptions = 500;
inline constexpr int kHelpOptionsPattern = 510;
inline constexpr int kHelpOptionsResult = 520;
inline constexpr int kHelpOptionsSorting = 530;
inline constexpr int kHelpOptionsDictionary = 540;
inline constexpr int kHelpOptionsAppearance = 550;

inline constexpr int kHelpDefinitions = 600;
inline constexpr int kHelpDefinitionHistory = 611;
inline constexpr int kHelpFullText = 620;
inline constexpr int kHelpMeaning = 630;

inline constexpr int kHelpExternalLookup = 700;

inline constexpr int kHelpSaving = 800;
inline constexpr int kHelpPrinting = 850;

inline constexpr int kHelpBuilding = 900;
inline constexpr int kHelpBuilderInput = 910;
inline constexpr int kHelpWordListMerge = 950;

inline constexpr int kHelpQuickReference = 1000;
inline constexpr int kHelpStartupTips = 1010;
inline constexpr int kHelpShortcuts = 1020;
inline constexpr int kHelpCommands = 1030;
inline constexpr int kHelpMessages = 1040;
inline constexpr int kHelpFiles = 1050;

// F1 on a control of the main window.
inline constexpr int kHelpPatternBox = 120;
inline constexpr int kHelpSearchButton = 121;
inline constexpr int kHelpSearchModeButton = 122;
inline constexpr int kHelpLengthBoxes = 401;
inline constexpr int kHelpProgressBar = 410;
inline constexpr int kHelpResultsList = 425;
inline constexpr int kHelpListCaption = 444;

// F1 (or the "&Help" button) in a window or dialog.
inline constexpr int kHelpOptionsWindow = 501;
inline constexpr int kHelpDictionaryProperties = 445;
inline constexpr int kHelpQuickReferenceWindow = 1001;
inline constexpr int kHelpStartupTipsWindow = 1011;
inline constexpr int kHelpAboutBox = 1036;
inline constexpr int kHelpDefinitionWindow = 610;
inline constexpr int kHelpLookupMethods = 710;
inline constexpr int kHelpExternalLookupPrompt = 720;
inline constexpr int kHelpSaveResultsDialog = 801;
inline constexpr int kHelpSaveDictionaryDialog = 810;
inline constexpr int kHelpPrintPreview = 860;
inline constexpr int kHelpPageSetup = 870;

// The help contexts of the popup menus (see helpContextOfMenu).
inline constexpr int kHelpFileMenu = 1031;
inline constexpr int kHelpEditMenu = 1032;
inline constexpr int kHelpToolsMenu = 1033;
inline constexpr int kHelpWindowMenu = 1034;
inline constexpr int kHelpHelpMenu = 1035;
inline constexpr int kHelpSearchModeMenu = 1037;
inline constexpr int kHelpEntryMenu = 1038;
inline constexpr int kHelpDictionaryMenu = 1039;
inline constexpr int kHelpExternalLookupMenu = 730;
inline constexpr int kHelpDefinitionTextMenu = 612;

// One topic and its page: a file name of the help folder, with "#" and an
// anchor of that page when the topic is a part of it.
struct HelpTopic {
  int topic;
  std::string_view page;
};

// Every topic, in increasing order of number.
std::span<const HelpTopic> helpTopics();

// The page of a topic ("anagrams.html#balances"), or an empty text for a
// number that is no topic.
std::string_view helpPage(int topic);

// The topics of the quick reference window's rows, in its order: Templates,
// Anagrams, Wildcards, Choice lists, Templates with anagrams, Letter
// variables, Punctuation matching, Logical operations, Macros, Sub-patterns.
inline constexpr std::array<int, 10> kQuickReferenceTopics = {
    kHelpTemplates,       kHelpAnagrams,    kHelpWildcards,         kHelpChoiceLists, kHelpTemplatesWithAnagrams,
    kHelpLetterVariables, kHelpPunctuation, kHelpLogicalOperations, kHelpMacros,      kHelpSubPatterns,
};

// The first command numbers of the popup menus whose help context is looked
// up when they open (the search-mode menu and the definition window's text
// pane menu are known by these numbers; the others by their first item's).
inline constexpr int kFirstCommandOfFileMenu = 7550;            // "&Open..."
inline constexpr int kFirstCommandOfEditMenu = 7620;            // "Cu&t"
inline constexpr int kFirstCommandOfToolsMenu = 7560;           // "&Options..."
inline constexpr int kFirstCommandOfWindowMenu = 14870;         // "Always On &Top"
inline constexpr int kFirstCommandOfHelpMenu = 4820;            // "&Quick Reference..."
inline constexpr int kFirstCommandOfSearchModeMenu = 12700;     // "&Word Search"
inline constexpr int kFirstCommandOfEntryMenu = 7490;           // "&Lookup..."
inline constexpr int kFirstCommandOfDictionaryMenu = 7540;      // "P&roperties"
inline constexpr int kFirstCommandOfExternalLookupMenu = 5140;  // "&Setup..."
inline constexpr int kFirstCommandOfDefinitionTextMenu = 12930;

// One popup menu and its help context.
struct HelpMenuContext {
  std::string_view menu;  // what the menu is, for readers of the table
  int firstCommand;
  int topic;
};

// The eleven popup menus. The results list's dictionary menu and the list
// caption's menu are one and the same menu, so they share a first command
// and a topic.
std::span<const HelpMenuContext> helpMenuContexts();

// The help topic of the popup menu whose first command is `firstCommand`,
// or 0 when the menu has none.
int helpContextOfMenu(int firstCommand);

}  // namespace kea
