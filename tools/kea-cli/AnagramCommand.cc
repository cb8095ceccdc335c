// kea-cli anagram: phrases of dictionary entries made of exactly the given
// letters, printed as they are found.
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Cli.h"
#include "common/StandardOutput.h"
#include "pattern/Enumeration.h"
#include "platform/Termination.h"
#include "search/PhraseAnagram.h"
#include "settings/UserOptions.h"
#include "text/StringTable.h"

namespace kea::cli {

const char* const kAnagramHelp =
    "Usage: kea-cli anagram [OPTIONS] [--] LETTERS...\n"
    "\n"
    "Lists every phrase of dictionary entries whose letters together are exactly\n"
    "LETTERS, one phrase per line: 'kea-cli anagram clinteastwood' lists\n"
    "\"action old west\". Several LETTERS arguments are taken together. Case,\n"
    "accents and everything but letters are ignored; '.' (or '?') stands for any\n"
    "one letter. Without an enumeration each set of entries is listed once, its\n"
    "entries in alphabetical order. The number of phrases goes to standard error.\n"
    "\n"
    "The most likely phrases come first: phrases the dictionary lists (\"tail\n"
    "end\"), then phrases of common words that go together, by the commonness\n"
    "scores and word pairs kept beside the dictionary (NAME.scores, NAME.pairs).\n"
    "\n"
    "The phrases:\n"
    "  --words MIN-MAX        how many entries a phrase joins, 1 to 6 (default\n"
    "                         1-3); '--words 2' is 2-2\n"
    "  --shortest N           the fewest letters of each entry (default 2)\n"
    "  --enum E               the clue's enumeration, such as '3,4,6', '(4-5)' or\n"
    "                         '2,3-4': the phrase's words have these lengths in\n"
    "                         this order, hyphenated where E has '-'. An entry\n"
    "                         that is a phrase itself fills as many words, with\n"
    "                         the same breaks: '--enum 4,3' also lists \"tail end\".\n"
    "                         Replaces --words and --shortest.\n"
    "  --containing WORD      only phrases that hold WORD (in the dictionaries or\n"
    "                         not; it counts as one of the entries): its letters\n"
    "                         are taken from LETTERS and the rest is anagrammed\n"
    "  --limit N              list only the first N phrases\n"
    "\n"
    "Order:\n"
    "  --alphabetical         list the phrases as they are found, without\n"
    "                         ranking them (quicker for many letters); ranked,\n"
    "                         at most the 500000 likeliest are listed unless\n"
    "                         --limit asks for more\n"
    "  --show-score           add each phrase's score after a tab (0 ... 100,\n"
    "                         \"-\" for none)\n"
    "\n"
    "Dictionaries:\n"
    "  -d, --dictionary FILE  use FILE; repeat for up to nine, searched in order,\n"
    "                         each phrase made of one dictionary's entries\n"
    "                         (default: the shipped English.kkd)\n"
    "  --mode MODE            with several dictionaries: 'suppress' (default)\n"
    "                         leaves out phrases an earlier dictionary listed,\n"
    "                         'independent' lists them again, 'active' uses the\n"
    "                         active dictionary only\n"
    "  --active N             the active dictionary, counted from 1 (default 1)\n"
    "\n"
    "Ctrl-C stops the search; what was found so far has been listed.\n"
    "\n"
    "Exit status: 0 when something was found, 1 when nothing was, 2 for a wrong\n"
    "command line, an unusable dictionary, one that turned out damaged or changed\n"
    "on disk while it was read, or output that could not be written, 130 when\n"
    "interrupted.\n";

namespace {

// Units of search work between two looks at Ctrl-C and two flushes of
// the output: a unit is one group of entries examined or one phrase.
constexpr long long kStepWork = 1 << 16;
// Ranked without --limit, the likeliest this many phrases are listed: the
// phrases held for ranking stay within tens of megabytes however many
// thirty letters make.
constexpr std::size_t kMostRanked = 500000;

struct AnagramArguments {
  std::vector<std::string> dictionaries;  // library text
  PhraseAnagramQuery query;
  bool lettersGiven = false;
  int multiple = UserOptions::kSuppressDuplicates;
  int active = 1;
  long long limit = -1;
  bool wordsGiven = false;
  bool shortestGiven = false;
  bool ranked = true;
  bool showScore = false;
};

bool parseWordRange(const std::string& text, int& low, int& high) {
  const std::size_t dash = text.find('-');
  if (dash == std::string::npos) {
    if (!parseNumber(text, low) || low < 0) return false;
    high = low;
    return true;
  }
  const std::string a = text.substr(0, dash), b = text.substr(dash + 1);
  return !a.empty() && !b.empty() && a[0] != '-' && b[0] != '-' && parseNumber(a, low) && parseNumber(b, high);
}

int parseArguments(const std::vector<std::string>& args, AnagramArguments& out) {
  const auto fail = [](const std::string& message) { return usageError("anagram", message); };
  tools::CommandLine line(args);
  while (line.next()) {
    if (line.isOperand()) {
      const auto text = argumentText(line.text(), "letters");
      if (!text) return kExitUsage;
      if (out.lettersGiven) out.query.letters += ' ';
      out.query.letters += *text;
      out.lettersGiven = true;
      continue;
    }
    const std::string arg = line.text();
    std::string value;
    const auto takeValue = [&] { return line.takeValue(value); };
    if (arg == "-d" || arg == "--dictionary") {
      if (const auto status = takeDictionary("anagram", line, out.dictionaries)) return *status;
    } else if (arg == "--words") {
      if (!takeValue() || !parseWordRange(value, out.query.minWords, out.query.maxWords))
        return fail("'--words' needs a number of entries or a range, such as 1-3");
      out.wordsGiven = true;
    } else if (arg == "--shortest" || arg == "--active" || arg == "--limit") {
      int number = 0;
      if (!takeValue() || !parseNumber(value, number)) return fail("'" + arg + "' needs a number");
      if (arg == "--shortest") {
        out.query.shortest = number;
        out.shortestGiven = true;
      } else if (arg == "--active") {
        out.active = number;
      } else {
        if (number < 1) return fail("'--limit' needs a number of phrases from 1 on");
        out.limit = number;
      }
    } else if (arg == "--enum") {
      if (!takeValue()) return fail("'--enum' needs an enumeration, such as 4,3");
      Enumeration enumeration = parseEnumeration(value);
      if (!enumeration.valid()) {
        return fail("a wrong enumeration: " + std::string(enumerationErrorText(enumeration.error)));
      }
      out.query.enumeration = std::move(enumeration);
    } else if (arg == "--containing") {
      if (!takeValue()) return fail("'--containing' needs a word");
      const auto text = argumentText(value, "word");
      if (!text) return kExitUsage;
      out.query.containing = *text;
    } else if (arg == "--mode") {
      if (const auto status = takeMode("anagram", line, out.multiple)) return *status;
    } else if (line.hasAttachedValue() && (arg == "--alphabetical" || arg == "--show-score")) {
      return fail("'" + arg + "' takes no value");
    } else if (arg == "--alphabetical") {
      out.ranked = false;
    } else if (arg == "--show-score") {
      out.showScore = true;
    } else {
      return fail("unknown option '" + arg + "'");
    }
  }
  if (!out.lettersGiven) return fail("no letters given");
  if (out.query.enumeration && (out.wordsGiven || out.shortestGiven)) {
    return fail("'--enum' gives the words' lengths and cannot go with '--words' or '--shortest'");
  }
  if (out.active < 1 || out.active > std::max<int>(1, static_cast<int>(out.dictionaries.size()))) {
    return fail("'--active' names no dictionary");
  }
  if (const PhraseQueryError error = checkPhraseQuery(out.query); error != PhraseQueryError::None) {
    std::string message(phraseQueryErrorText(error));
    if (error == PhraseQueryError::EnumerationLength) {
      const PhraseLetterCount count = countPhraseLetters(out.query.letters);
      message += " (" + std::to_string(out.query.enumeration->totalLength()) + " against " +
                 std::to_string(count.letters + count.wildcards) + ")";
    }
    return fail(message);
  }
  return kExitOk;
}

}  // namespace

int runAnagram(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (isHelp(arg)) {
      std::fputs(kAnagramHelp, stdout);
      return kExitOk;
    }
  }
  std::optional<platform::InterruptRequests> interrupts(std::in_place);
  AnagramArguments arguments;
  if (const int status = parseArguments(args, arguments); status != kExitOk) return status;
  const DictionaryList::Handle list = openDictionaries("anagram", arguments.dictionaries);
  if (!list) return kExitUsage;

  arguments.query.scored = arguments.ranked || arguments.showScore;
  PhraseAnagramSearch search(*list, arguments.query, arguments.multiple, arguments.active - 1);
  PhraseBatch batch;
  std::string line;
  long long printed = 0;
  bool interrupted = false;
  bool finished = false;
  const auto print = [&](std::string_view phrase, int score) {
    line = terminalText(phrase);
    if (arguments.showScore) {
      line += '\t';
      line += score < 0 ? std::string("-") : std::to_string(score);
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    ++printed;
  };
  // Ranked, every phrase is found before the first is printed.
  RankedPhrases ranked(arguments.limit > 0 ? static_cast<std::size_t>(arguments.limit) : kMostRanked);
  while (!finished) {
    batch.clear();
    finished = search.step(kStepWork, batch) == PhraseAnagramSearch::Step::Finished;
    for (int i = 0; i < batch.count() && printed != arguments.limit; ++i) {
      if (arguments.ranked) {
        ranked.add(batch.phrase(i), {batch.score(i), batch.rank(i)});
      } else {
        print(batch.phrase(i), batch.score(i));
      }
    }
    if (printed == arguments.limit) break;
    if (tools::standardOutputFailed()) break;
    if (platform::interruptRequested()) {
      interrupted = true;
      break;
    }
  }
  if (arguments.ranked) {
    ranked.sort();
    for (std::size_t i = 0; i < ranked.size() && printed != arguments.limit; ++i) print(ranked.phrase(i), ranked.score(i));
    if (arguments.limit < 0 && ranked.found() > ranked.size() && !interrupted) {
      std::fprintf(stderr, "the %zu likeliest of %zu phrases are listed; --limit N lists more, --alphabetical lists all\n",
                   ranked.size(), ranked.found());
    }
  }
  interrupts.reset();
  std::fflush(stdout);
  if (tools::standardOutputFailed()) return kExitUsage;
  if (interrupted) {
    printError("anagram", "interrupted; " + resultsFoundText(printed) + " so far");
    return kExitInterrupted;
  }
  if (search.problem() != ListProblem::None && printed != arguments.limit) {
    // Phrases from a dictionary that could not be read whole are not all.
    std::fprintf(stderr, "%s\n",
                 terminalText(incompleteResultsText(list->name(search.incompleteDictionary()), search.problem(), printed))
                     .c_str());
    return kExitUsage;
  }
  std::fprintf(stderr, "%s\n", terminalText(resultsFoundText(printed)).c_str());
  return printed > 0 ? kExitOk : kExitFailure;
}

}  // namespace kea::cli
