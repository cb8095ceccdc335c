#include "workspace/HelpTopics.h"

#include <algorithm>

namespace kea {

namespace {

// Kept in increasing order of number: helpPage searches it by halving.
constexpr HelpTopic kTopics[] = {
    {kHelpContents, "index.html"},
    {kHelpGettingStarted, "getting-started.html"},
    {kHelpMainWindow, "getting-started.html#window"},
    {kHelpStatusLine, "getting-started.html#status-line"},
    {kHelpStopResume, "getting-started.html#stop-resume"},
    {kHelpPatternHistory, "getting-started.html#history"},
    {kHelpPatternBox, "getting-started.html#pattern-box"},
    {kHelpSearchButton, "getting-started.html#search-button"},
    {kHelpSearchModeButton, "getting-started.html#search-mode"},
    {kHelpPatternSummary, "patterns.html"},
    {kHelpTemplates, "templates.html"},
    {kHelpAnagrams, "anagrams.html"},
    {kHelpBalances, "anagrams.html#balances"},
    {kHelpWildcards, "wildcards.html"},
    {kHelpChoiceLists, "choice-lists.html"},
    {kHelpTemplatesWithAnagrams, "template-anagrams.html"},
    {kHelpLetterVariables, "letter-variables.html"},
    {kHelpPunctuation, "punctuation.html"},
    {kHelpLogicalOperations, "logic.html"},
    {kHelpMacros, "macros.html"},
    {kHelpSubPatterns, "subpatterns.html"},
    {kHelpEscapes, "escapes.html"},
    {kHelpLengths, "lengths.html"},
    {kHelpLengthBoxes, "lengths.html#boxes"},
    {kHelpProgressBar, "lengths.html#progress-bar"},
    {kHelpResults, "results.html"},
    {kHelpSorting, "results.html#sorting"},
    {kHelpFilters, "results.html#filters"},
    {kHelpAnnotations, "results.html#annotations"},
    {kHelpSelecting, "results.html#selecting"},
    {kHelpResultsList, "results.html#lists"},
    {kHelpDictionaries, "dictionaries.html"},
    {kHelpSearchOrder, "dictionaries.html#order"},
    {kHelpMultipleDictionaryModes, "dictionaries.html#modes"},
    {kHelpPanes, "dictionaries.html#panes"},
    {kHelpListCaption, "dictionaries.html#captions"},
    {kHelpDictionaryProperties, "dictionaries.html#properties"},
    {kHelpOptions, "options.html"},
    {kHelpOptionsWindow, "options.html#window"},
    {kHelpOptionsPattern, "options.html#pattern"},
    {kHelpOptionsResult, "options.html#result"},
    {kHelpOptionsSorting, "options.html#sorting"},
    {kHelpOptionsDictionary, "options.html#dictionary"},
    {kHelpOptionsAppearance, "options.html#appearance"},
    {kHelpDefinitions, "definitions.html"},
    {kHelpDefinitionWindow, "definitions.html#window"},
    {kHelpDefinitionHistory, "definitions.html#history"},
    {kHelpDefinitionTextMenu, "definitions.html#text-menu"},
    {kHelpFullText, "fulltext.html"},
    {kHelpMeaning, "meaning.html"},
    {kHelpExternalLookup, "external-lookup.html"},
    {kHelpLookupMethods, "external-lookup.html#setup"},
    {kHelpExternalLookupPrompt, "external-lookup.html#prompt"},
    {kHelpExternalLookupMenu, "external-lookup.html#menu"},
    {kHelpSaving, "saving.html"},
    {kHelpSaveResultsDialog, "saving.html#text"},
    {kHelpSaveDictionaryDialog, "saving.html#dictionary"},
    {kHelpPrinting, "printing.html"},
    {kHelpPrintPreview, "printing.html#preview"},
    {kHelpPageSetup, "printing.html#page-setup"},
    {kHelpBuilding, "kkbuild.html"},
    {kHelpBuilderInput, "kkbuild.html#input"},
    {kHelpWordListMerge, "kkmerge.html"},
    {kHelpQuickReference, "quick-reference.html"},
    {kHelpQuickReferenceWindow, "quick-reference.html#window"},
    {kHelpStartupTips, "startup-tips.html"},
    {kHelpStartupTipsWindow, "startup-tips.html#window"},
    {kHelpShortcuts, "shortcuts.html"},
    {kHelpCommands, "commands.html"},
    {kHelpFileMenu, "commands.html#file"},
    {kHelpEditMenu, "commands.html#edit"},
    {kHelpToolsMenu, "commands.html#tools"},
    {kHelpWindowMenu, "commands.html#window"},
    {kHelpHelpMenu, "commands.html#help"},
    {kHelpAboutBox, "commands.html#about"},
    {kHelpSearchModeMenu, "commands.html#search-mode"},
    {kHelpEntryMenu, "commands.html#entry-menu"},
    {kHelpDictionaryMenu, "commands.html#dictionary-menu"},
    {kHelpMessages, "messages.html"},
    {kHelpFiles, "files.html"},
};

constexpr bool increasing(std::span<const HelpTopic> topics) {
  for (std::size_t i = 1; i < topics.size(); ++i) {
    if (topics[i - 1].topic >= topics[i].topic) return false;
  }
  return true;
}
static_assert(increasing(kTopics), "help topics must be listed once each, in increasing order");

constexpr HelpMenuContext kMenuContexts[] = {
    {"File", kFirstCommandOfFileMenu, kHelpFileMenu},
    {"Edit", kFirstCommandOfEditMenu, kHelpEditMenu},
    {"Tools", kFirstCommandOfToolsMenu, kHelpToolsMenu},
    {"Window", kFirstCommandOfWindowMenu, kHelpWindowMenu},
    {"Help", kFirstCommandOfHelpMenu, kHelpHelpMenu},
    {"search mode", kFirstCommandOfSearchModeMenu, kHelpSearchModeMenu},
    {"results list, selected entries", kFirstCommandOfEntryMenu, kHelpEntryMenu},
    {"results list, its dictionary", kFirstCommandOfDictionaryMenu, kHelpDictionaryMenu},
    {"External Lookup", kFirstCommandOfExternalLookupMenu, kHelpExternalLookupMenu},
    {"results list caption", kFirstCommandOfDictionaryMenu, kHelpDictionaryMenu},
    {"definition text", kFirstCommandOfDefinitionTextMenu, kHelpDefinitionTextMenu},
};

}  // namespace

std::span<const HelpTopic> helpTopics() { return kTopics; }

std::string_view helpPage(int topic) {
  const auto it = std::lower_bound(std::begin(kTopics), std::end(kTopics), topic,
                                   [](const HelpTopic& entry, int number) { return entry.topic < number; });
  if (it == std::end(kTopics) || it->topic != topic) return {};
  return it->page;
}

std::span<const HelpMenuContext> helpMenuContexts() { return kMenuContexts; }

int helpContextOfMenu(int firstCommand) {
  for (const HelpMenuContext& context : kMenuContexts) {
    if (context.firstCommand == firstCommand) return context.topic;
  }
  return 0;
}

}  // namespace kea
