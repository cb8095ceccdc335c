// kea-cli search: the word search of the main window, from a terminal. The
// same search controller runs it, through a host that stands for the
// window: the command line fills the pattern and length boxes and the
// options, Ctrl-C is the Stop button, and the results lists are printed
// when the search ends.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Cli.h"
#include "common/StandardOutput.h"
#include "dictionary/DictionaryList.h"
#include "meaning/MeaningTerms.h"
#include "pattern/Enumeration.h"
#include "pattern/PatternStatus.h"
#include "platform/ProgramFolder.h"
#include "platform/Termination.h"
#include "search/ResultsDictionary.h"
#include "search/ResultsFile.h"
#include "search/SearchController.h"
#include "settings/UserOptions.h"
#include "text/StringTable.h"

namespace kea::cli {

const char* const kSearchHelp =
    "Usage: kea-cli search [OPTIONS] [--] PATTERN\n"
    "\n"
    "Lists every entry of the dictionaries that PATTERN describes, one per line:\n"
    "the entry, then its annotation and, for an anagram, its balance (\" +s\": the\n"
    "letters the entry has over, \" -d\": the letters it lacks). With several\n"
    "dictionaries each one's results follow a caption line \"N NAME (COUNT)\".\n"
    "The number of results goes to standard error.\n"
    "\n"
    "Pattern language (quote the pattern for the shell):\n"
    "  . or ?      any one letter                     .l...r.n        electron\n"
    "  *           any number of letters, or none     m*ja            maharaja\n"
    "  ;LETTERS    an anagram of the letters          ;lobikes        obelisk\n"
    "  [ab] [^ab]  one letter of / not of the list    ;diners[ai]     sardine\n"
    "  TEMPLATE;ANAGRAM  both at once                 ......*;gdangboot  toboggan\n"
    "  0 ... 9     letter variables: the same digit is the same letter\n"
    "                                                 12341234        beriberi\n"
    "  - ' space   punctuation the entry must have    ...-..-.....    fly-by-night\n"
    "  (PATTERN)   a sub-pattern over part of the word  ;rebel(ada)   readable\n"
    "  @ #         a vowel, a consonant (see --at, --hash)  @#@#@#@#@#@  imaginative\n"
    "  & | !       and, or, not between patterns; ( ) groups them\n"
    "                                                 ;..oting & ! *ing  tonight\n"
    "  \\C          the character C itself\n"
    "Letters match whatever their case and accents. A pattern that starts with\n"
    "'-' goes after '--', which ends the options: kea-cli search -- -.lectron\n"
    "\n"
    "Enumeration:\n"
    "  --enum E               list only entries split into words as the clue's\n"
    "                         enumeration E gives: '--enum 4,3' (or '(4,3)') lists\n"
    "                         \"tail end\" but not \"tailend\" or \"tail-end\";\n"
    "                         '--enum 4-3' lists \"tail-end\"; use the pattern '*'\n"
    "                         for every entry of that shape. Apostrophes are\n"
    "                         ignored (with --match-punctuation, and a , or - in\n"
    "                         E, they must be matched too).\n"
    "\n"
    "Full-text search:\n"
    "  --full-text            list the definitions whose text (or headwords) hold\n"
    "                         words that the patterns describe, each under its\n"
    "                         first headword: 'electron & charge' finds the\n"
    "                         definitions holding both words, '!' leaves out those\n"
    "                         holding a word. Only dictionaries with definitions\n"
    "                         are searched; the length options limit each word.\n"
    "\n"
    "Dictionaries:\n"
    "  -d, --dictionary FILE  search FILE; repeat for up to nine, searched in\n"
    "                         order (default: the shipped English.kkd)\n"
    "  --mode MODE            with several dictionaries: 'suppress' (default) leaves\n"
    "                         out entries an earlier dictionary listed,\n"
    "                         'independent' lists them again, 'active' searches\n"
    "                         the active dictionary only\n"
    "  --active N             the active dictionary, counted from 1 (default 1)\n"
    "\n"
    "Lengths (in letters):\n"
    "  --shortest N           shortest entry listed, 1 to 100 (default 1)\n"
    "  --longest N            longest entry listed, 1 to 100 (default 100)\n"
    "\n"
    "Order (default: as found, grouped by length, smart direction):\n"
    "  --rank                 most common entries first, by the commonness scores\n"
    "                         kept beside the dictionary (NAME.scores), within\n"
    "                         the length groups (--no-group: one list); equal\n"
    "                         scores, and entries without one, alphabetically\n"
    "  --meaning TEXT         most likely first for a meaning, as a crossword clue\n"
    "                         gives it: --meaning \"negatively charged particle\"\n"
    "                         '.l......' puts electron first. Ranks by the\n"
    "                         dictionary's meaning index (NAME.meaning) and the\n"
    "                         commonness scores, in one list; with --show-score\n"
    "                         the rank follows each entry (higher is likelier)\n"
    "  --sort                 sort alphabetically (within lengths when grouped)\n"
    "  --no-sort              list in the order found (turns grouping on)\n"
    "  --descending           sort alphabetically, Z to A (implies --sort)\n"
    "  --ascending            sort alphabetically, A to Z (implies --sort)\n"
    "  --group DIRECTION      group by length: ascending, smart or descending;\n"
    "                         smart lists shortest first unless the pattern's\n"
    "                         lengths are a bounded range\n"
    "  --no-group             no length groups (turns sorting on)\n"
    "\n"
    "Which entries (all by default):\n"
    "  --no-lower             leave out entries of lower case letters only (tail)\n"
    "  --no-upper             leave out entries with upper case letters (Charlie)\n"
    "  --no-punctuation       leave out entries with punctuation (tail-end)\n"
    "  --no-phrases           leave out phrases (tail-end Charlie)\n"
    "  --lower, --upper, --punctuation, --phrases   include them again\n"
    "  --no-annotations       leave out the dictionary's annotations\n"
    "  --no-balances          leave out anagram balances\n"
    "  --min-score N          leave out entries whose commonness score is below\n"
    "                         N (0 rare ... 100 common); entries without a score\n"
    "                         are kept\n"
    "  --show-score           add each entry's score after a tab (\"-\" for none)\n"
    "\n"
    "Pattern options:\n"
    "  --at TEXT              what @ stands for (default \"[aeiou]\")\n"
    "  --hash TEXT            what # stands for (default \"[^aeiou]\")\n"
    "  --shared-variables     different letter variables may be the same letter\n"
    "  --exclusive-variables  they may not (default)\n"
    "  --match-punctuation    a pattern with punctuation must match all of an\n"
    "                         entry's punctuation\n"
    "  --ignore-unused-punctuation  punctuation the pattern lacks is ignored (default)\n"
    "\n"
    "Saving:\n"
    "  --save FILE            also save the results of the active dictionary to\n"
    "                         FILE: as UTF-8 text, one entry per line, or, when\n"
    "                         FILE ends in .kkd, as a dictionary with the\n"
    "                         alphabet of the one searched, described as\n"
    "                         \"NAME results with pattern PATTERN\". A file it\n"
    "                         replaces is kept as \"Backup of FILE\".\n"
    "\n"
    "Ctrl-C pauses the search; what was found so far is listed. The program\n"
    "ends within a second of Ctrl-C all the same (a listing into a pipe that is\n"
    "not read is cut short there).\n"
    "\n"
    "A dictionary that turns out damaged, or changes on disk, while it is\n"
    "searched is reported on standard error: the entries listed are then not\n"
    "all there may be, and nothing is saved.\n"
    "\n"
    "Exit status: 0 when something was found, 1 when nothing was, 2 for a wrong\n"
    "command line, an invalid pattern, an unusable, damaged or changed\n"
    "dictionary, output that could not be written or a failed --save, 130 when\n"
    "interrupted.\n";

namespace {

// Units of search work between two looks at Ctrl-C: a unit is at most a
// couple of thousand words, so even a slow pattern answers within
// milliseconds (256 units of one took most of a second); the look costs
// nothing measurable.
constexpr int kStepUnits = 1;

// The main window as a terminal shows it: boxes held in memory and
// messages on standard error.
class TerminalHost : public MemoryViewHost {
 public:
  Answer messageBox(std::string_view text, std::string_view caption, Buttons, Icon) override {
    std::string line(text);
    for (char& c : line) {
      if (c == '\n') c = ' ';
    }
    printError("search", terminalText(std::string(caption) + ": " + line));
    return Answer::Ok;
  }
};

class TerminalWorkspace : public SearchWorkspace {
 public:
  DictionaryList::Handle list;
  UserOptions profile{""};
  int active = 0;

  const DictionaryList* dictionaries() const override { return list.get(); }
  const UserOptions& options() const override { return profile; }
  int activeDictionary() const override { return active; }
};

struct SearchArguments {
  std::vector<std::string> dictionaries;  // library text
  std::string pattern;
  bool patternGiven = false;
  int shortest = 1;
  int longest = 100;
  int active = 1;
  bool fullText = false;
  std::optional<Enumeration> enumeration;
  std::string save;  // library text; empty: not saved
  bool showScore = false;
  std::string meaning;  // library text; empty: no ranking by meaning
};

// Whether an argument taken for an option could have been meant as a
// pattern: every option is "--" and a word, or "-" and one letter, so
// anything else (-electron, -.lectron, -1, --[ab]) reads as a pattern.
bool mayBePattern(const std::string& arg) {
  const auto letter = [](char c) { return c >= 'a' && c <= 'z'; };
  if (!arg.starts_with("--")) return arg.size() != 2 || !letter(arg[1]);
  for (std::size_t i = 2; i < arg.size(); ++i) {
    const char c = arg[i];
    const bool wordCharacter = letter(c) || (c == '-' && i > 2);
    if (!wordCharacter) return true;
  }
  return false;
}

// Reads the command line into the arguments and the options object.
// Returns kExitOk, or the exit status after printing why not.
int parseArguments(const std::vector<std::string>& args, SearchArguments& out, UserOptions& o) {
  const auto fail = [](const std::string& message) { return usageError("search", message); };
  // A direction sorts (nobody asks for Z to A and means "as found"), so it
  // cannot go with --no-sort.
  std::string direction;
  bool unsorted = false;
  bool rank = false;
  bool sortGiven = false;
  tools::CommandLine line(args);
  while (line.next()) {
    if (line.isOperand()) {
      const std::string& arg = line.text();
      if (out.patternGiven) return fail("more than one pattern given: '" + arg + "'");
      const auto text = argumentText(arg, "pattern");
      if (!text) return kExitUsage;
      out.pattern = *text;
      out.patternGiven = true;
      continue;
    }
    const std::string arg = line.text();
    std::string value;
    const auto takeValue = [&] { return line.takeValue(value); };
    const auto flagOption = [&](bool& target, bool setting) { return line.takeSwitch(target, setting); };

    if (arg == "-d" || arg == "--dictionary") {
      if (const auto status = takeDictionary("search", line, out.dictionaries)) return *status;
    } else if (arg == "--save") {
      if (!takeValue()) return fail("'--save' needs a file");
      const auto path = argumentText(value, "file name");
      if (!path) return kExitUsage;
      if (path->empty()) return fail("an empty file name to save to");
      out.save = *path;
    } else if (arg == "--meaning") {
      if (!takeValue()) return fail("'--meaning' needs a text, such as \"negatively charged particle\"");
      const auto text = argumentText(value, "meaning");
      if (!text) return kExitUsage;
      if (meaningTerms(*text).empty()) {
        return fail(text->find_first_not_of(" \t") == std::string::npos
                        ? std::string("the meaning is empty; say what the answer means, such as \"charged particle\"")
                        : "the meaning '" + value + "' has only common words such as \"the\" and \"of\"; add a "
                          "word that says what the answer means");
      }
      out.meaning = *text;
    } else if (arg == "--min-score") {
      int number = 0;
      if (!takeValue() || !parseNumber(value, number) || number < 0 || number > 100) {
        return fail("'--min-score' needs a score from 0 to 100");
      }
      o.outputMinimumScore = number;
    } else if (arg == "--shortest" || arg == "--longest" || arg == "--active") {
      int number = 0;
      if (!takeValue() || !parseNumber(value, number)) return fail("'" + arg + "' needs a number");
      (arg == "--shortest" ? out.shortest : arg == "--longest" ? out.longest : out.active) = number;
    } else if (arg == "--mode") {
      if (const auto status = takeMode("search", line, o.viewMultipleDictionaries)) return *status;
    } else if (arg == "--group") {
      if (!takeValue()) return fail("'--group' needs ascending, smart or descending");
      if (value == "ascending") {
        o.viewLengthGroupingSense = 1;
      } else if (value == "smart") {
        o.viewLengthGroupingSense = 0;
      } else if (value == "descending") {
        o.viewLengthGroupingSense = -1;
      } else {
        return fail("unknown length grouping '" + value + "'; use ascending, smart or descending");
      }
      o.setViewLengthGrouping(true);
    } else if (arg == "--enum") {
      if (!takeValue()) return fail("'--enum' needs an enumeration, such as 4,3");
      Enumeration enumeration = parseEnumeration(value);
      if (!enumeration.valid()) {
        return fail("a wrong enumeration: " + std::string(enumerationErrorText(enumeration.error)));
      }
      out.enumeration = std::move(enumeration);
    } else if (arg == "--at" || arg == "--hash") {
      if (!takeValue()) return fail("'" + arg + "' needs a text");
      const auto text = argumentText(value, "expansion");
      if (!text) return kExitUsage;
      (arg == "--at" ? o.expansionAt : o.expansionHash) = *text;
    } else if (line.hasAttachedValue()) {
      return fail("'" + arg + "' takes no value");
    } else if (arg == "--full-text") {
      out.fullText = true;
    } else if (arg == "--rank") {
      rank = true;
    } else if (arg == "--show-score") {
      out.showScore = true;
    } else if (arg == "--sort") {
      o.setViewSorting(true);
      sortGiven = true;
    } else if (arg == "--no-sort") {
      o.setViewSorting(false);
      unsorted = true;
    } else if (arg == "--no-group") {
      o.setViewLengthGrouping(false);
    } else if (arg == "--descending" || arg == "--ascending") {
      o.viewSortingAscending = arg == "--ascending";
      o.setViewSorting(true);
      direction = arg;
    } else if (!(
                   // Flags that switch one option.
                   (arg == "--lower" && flagOption(o.outputLower, true)) ||
                   (arg == "--no-lower" && flagOption(o.outputLower, false)) ||
                   (arg == "--upper" && flagOption(o.outputUpper, true)) ||
                   (arg == "--no-upper" && flagOption(o.outputUpper, false)) ||
                   (arg == "--punctuation" && flagOption(o.outputPunctuation, true)) ||
                   (arg == "--no-punctuation" && flagOption(o.outputPunctuation, false)) ||
                   (arg == "--phrases" && flagOption(o.outputWhitespace, true)) ||
                   (arg == "--no-phrases" && flagOption(o.outputWhitespace, false)) ||
                   (arg == "--annotations" && flagOption(o.viewShowAnnotations, true)) ||
                   (arg == "--no-annotations" && flagOption(o.viewShowAnnotations, false)) ||
                   (arg == "--balances" && flagOption(o.viewShowBalances, true)) ||
                   (arg == "--no-balances" && flagOption(o.viewShowBalances, false)) ||
                   (arg == "--exclusive-variables" && flagOption(o.variablesExclusive, true)) ||
                   (arg == "--shared-variables" && flagOption(o.variablesExclusive, false)) ||
                   (arg == "--ignore-unused-punctuation" && flagOption(o.ignoreUnusedPunctuation, true)) ||
                   (arg == "--match-punctuation" && flagOption(o.ignoreUnusedPunctuation, false)))) {
      if (mayBePattern(arg)) {
        return fail("unknown option '" + arg + "'; a pattern that starts with '-' goes after '--', which ends the "
                    "options: kea-cli search -- '" + arg + "'");
      }
      return fail("unknown option '" + arg + "'");
    }
  }
  if (!direction.empty() && unsorted) {
    return fail("'" + direction + "' sorts the entries alphabetically and cannot go with '--no-sort'");
  }
  if (rank && (!direction.empty() || unsorted || sortGiven)) {
    return fail("'--rank' orders the entries by commonness and cannot go with an alphabetical order or '--no-sort'");
  }
  if (!out.meaning.empty() && (rank || !direction.empty() || unsorted || sortGiven)) {
    return fail("'--meaning' orders the entries by meaning and cannot go with '--rank', an alphabetical order or "
                "'--no-sort'");
  }
  if (!out.meaning.empty() && out.fullText) return fail("'--meaning' ranks entries, not definitions: it cannot go with '--full-text'");
  if (rank) {
    // The scores order the entries instead of the alphabet.
    o.viewCommonFirst = true;
    o.viewSorting = false;
  }
  if (!out.patternGiven) return fail("no pattern given");
  // Definitions hold words, not entries split into words.
  if (out.fullText && out.enumeration) return fail("'--enum' cannot be used with '--full-text'");
  if (out.active < 1 || out.active > std::max<int>(1, static_cast<int>(out.dictionaries.size()))) {
    return fail("'--active' names no dictionary of the search");
  }
  return kExitOk;
}

// The caption of a results list as a line of text: the accelerator marker
// goes and a doubled ampersand is one again.
std::string plainCaption(const std::string& caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') out += caption[++i];
      continue;
    }
    out += caption[i];
  }
  return out;
}

void printResults(const SearchController& view, const UserOptions& o, int active, bool showScore,
                  bool meaningScore) {
  const bool captions = view.groupCount() > 1;
  const bool activeOnly = o.viewMultipleDictionaries == UserOptions::kActiveDictionaryOnly;
  for (int g = 0; g < view.groupCount(); ++g) {
    if (activeOnly && g != active) continue;
    const SearchController::OutputGroup& group = view.group(g);
    if (captions) {
      ResultsCaption label = group.label;
      label.setCount(group.list.count());
      std::printf("%s\n", terminalText(plainCaption(label.text())).c_str());
    }
    std::string line;
    // Nothing more goes to an output that failed.
    for (int i = 0; i < group.list.count() && !tools::standardOutputFailed(); ++i) {
      const ResultsList::Entry* entry = group.list.entryAt(i);
      line = terminalText(entry->text());
      if (showScore && meaningScore) {
        char number[32];
        std::snprintf(number, sizeof number, "\t%.2f", SearchController::meaningRankOf(entry->rank()));
        line += number;
      } else if (showScore) {
        line += '\t';
        line += entry->score() < 0 ? std::string("-") : std::to_string(entry->score());
      }
      line += '\n';
      std::fwrite(line.data(), 1, line.size(), stdout);
    }
  }
  std::fflush(stdout);
}

bool endsWithKkd(const std::string& path) {
  if (path.size() < 4) return false;
  std::string end = path.substr(path.size() - 4);
  for (char& c : end) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return end == ".kkd";
}

// Saves the active group's list as the window's "Save Results" saves it:
// text, or a dictionary for a ".kkd" file. False after saying why not.
bool saveResults(const SearchController& view, const DictionaryList& dictionaries, int active,
                 const std::string& path) {
  const int group = std::min(active, view.groupCount() - 1);
  if (group < 0) return false;
  const SearchController::OutputGroup& output = view.group(group);
  if (!endsWithKkd(path)) {
    std::string detail;
    if (saveResultsAsText(output.list, path, &detail)) return true;
    printError("search", terminalText(std::string(texts::kResultsNotSaved)) + ": " + terminalText(path) +
                             (detail.empty() ? "" : ": " + detail));
    return false;
  }
  int shortest = output.plan.shortest;
  int longest = output.plan.longest;
  if (output.plan.empty()) {
    shortest = 1;
    longest = 100;
  }
  ResultsLineSource lines(output.list);
  const std::string description = resultsDictionaryDescription(dictionaries.name(group), output.pattern);
  if (saveResultsDictionary(lines, dictionaries, group, path, description, shortest, longest)) return true;
  printError("search", terminalText(std::string(texts::kDictionarySaveFailedCaption)) + ": " + terminalText(path));
  std::string log = terminalText(lines.log());
  if (!log.empty() && log.back() != '\n') log += '\n';
  std::fputs(log.c_str(), stderr);
  return false;
}

}  // namespace

int runSearch(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (isHelp(arg)) {
      std::fputs(kSearchHelp, stdout);
      return kExitOk;
    }
  }
  // From here until the search ends, Ctrl-C pauses the search (at its first
  // check, when it comes before the search begins); while the results are
  // printed it ends the program as usual.
  std::optional<platform::InterruptRequests> interrupts(std::in_place);
  TerminalWorkspace workspace;
  SearchArguments arguments;
  if (const int status = parseArguments(args, arguments, workspace.profile); status != kExitOk) return status;

  workspace.list = openDictionaries("search", arguments.dictionaries);
  if (!workspace.list) return kExitUsage;
  workspace.active = arguments.active - 1;

  TerminalHost host;
  SearchController view(workspace, host);
  view.setListsSortedAtEnd(true);
  view.dictionariesChanged();
  if (arguments.fullText) view.setMode(true);
  view.setMeaning(arguments.meaning);
  // The boxes take what they are given the way the window's boxes do.
  host.shortest = arguments.shortest;
  view.lengthChanged(SearchHost::LengthBox::Shortest);
  host.longest = arguments.longest;
  if (std::clamp(arguments.longest, 1, 100) < host.shortest) {
    printError("search", "the shortest length is above the longest");
    return kExitUsage;
  }
  view.lengthChanged(SearchHost::LengthBox::Longest);
  host.pattern = arguments.enumeration ? withEnumeration(*arguments.enumeration, arguments.pattern)
                                       : arguments.pattern;
  view.patternChanged();
  if (view.state() != SearchState::Ready) {
    // The window's status for a pattern with nothing to match points at its
    // help key; the terminal has its own help.
    const std::string nothingToMatch =
        host.loadString(strings::kPatternValid + static_cast<int>(PatternStatus::Empty));
    if (arguments.pattern.find_first_not_of(' ') == std::string::npos) {
      printError("search", "the pattern is empty; 'kea-cli search --help' shows the pattern language");
    } else if (const EmptyOperand empty = findEmptyOperand(arguments.pattern);
               host.status == nothingToMatch && empty.side != EmptyOperand::Side::None) {
      const char* where = empty.side == EmptyOperand::Side::After    ? "nothing after it"
                          : empty.side == EmptyOperand::Side::Before ? "nothing before it"
                                                                     : "nothing between it and the next operator";
      printError("search", "the pattern '" + terminalText(arguments.pattern) + "' has an operator '" +
                               std::string(1, empty.op) + "' with " + where +
                               "; each side of '&' and '|' needs a pattern");
    } else if (host.status == nothingToMatch) {
      printError("search", "the pattern has nothing to match: '" + terminalText(arguments.pattern) +
                               "' has punctuation or operators but no letters, wildcards or anagram; "
                               "'kea-cli search --help' shows the pattern language");
    } else {
      printError("search", terminalText(host.status));
    }
    // A pattern that can match no length finds nothing; anything else is wrong.
    return host.status == loadString(strings::kNoWordsOfLength) ? kExitFailure : kExitUsage;
  }

  // Ctrl-C is the Stop button, pressed between two steps of the search.
  view.searchClicked();
  // A dictionary that went bad since it was opened stops the search before
  // it starts; the message has been printed.
  if (view.state() != SearchState::Searching) return kExitUsage;
  while (view.step(kStepUnits) == SearchController::Step::More) {
    if (platform::interruptRequested()) view.cancel();
  }
  interrupts.reset();
  view.finishListOrders();
  printResults(view, workspace.profile, workspace.active, arguments.showScore, view.ranksByMeaning());
  // A count of results that never arrived would read as success.
  if (tools::standardOutputFailed()) return kExitUsage;
  const int found = view.resultCount();
  if (view.state() == SearchState::Paused) {
    printError("search", "interrupted; " + resultsFoundText(found) + " so far");
    return kExitInterrupted;
  }
  std::fprintf(stderr, "%s\n", terminalText(host.status).c_str());
  if (view.incompleteGroup() >= 0) {
    if (!arguments.save.empty()) {
      printError("search", "the results are incomplete, so " + terminalText(arguments.save) + " was not written");
    }
    return kExitUsage;
  }
  if (!arguments.save.empty()) {
    platform::endOnTerminationSignals("kea-cli search: interrupted; " + terminalText(arguments.save) +
                                      " was left as it was");
    if (!saveResults(view, *workspace.list, workspace.active, arguments.save)) return kExitUsage;
  }
  return found > 0 ? kExitOk : kExitFailure;
}

}  // namespace kea::cli
