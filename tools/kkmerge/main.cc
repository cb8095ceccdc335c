// kkmerge: the companion word-list merge. Merges word lists and the word
// lists of dictionaries into one sorted list without duplicates, written as
// text or built into a dictionary. With no arguments it opens its window.
#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "builder/CompanionJobs.h"
#include "builder/WordListMerge.h"
#include "common/CommandLine.h"
#include "common/StandardOutput.h"
#include "platform/Termination.h"
#ifdef KEA_COMPANION_WINDOWS
#include "ui/companions/CompanionWindow.h"
#endif

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;  // also an input that cannot be read

constexpr const char* kUsage =
    "Usage: kkmerge [options] INPUT... OUTPUT\n"
    "       kkmerge --help | --version\n"
#ifdef KEA_COMPANION_WINDOWS
    "       kkmerge             (opens the KEA&Kindred Word List Merge window)\n"
#endif
    ;

constexpr const char* kHelp =
    "Merges word lists into one sorted list in which every entry appears once.\n"
    "\n"
    "Each INPUT is a word list or a dictionary. A word list is a text file (or -\n"
    "for standard input) with one entry per line, written as kkbuild reads\n"
    "headwords: 'Smith+ (surname)+' is the entry Smith with its annotation, and a\n"
    "backslash makes the next character literal. Several headwords on one line\n"
    "separated by ';' or ':' are several entries; a definition after '|' is not\n"
    "part of a word list and is left out. A file whose name ends in .kkd is a\n"
    "dictionary, and its headwords are merged.\n"
    "\n"
    "Entries are the same when their texts and annotations are the same byte for\n"
    "byte; with --fold, when they have the same letters regardless of case,\n"
    "accents, spaces and punctuation (Ice-cream, icecream and ICE CREAM), and the\n"
    "first spelling met is kept. The list is sorted by its letters, case- and\n"
    "accent-blind.\n"
    "\n"
    "OUTPUT is a text file (UTF-8, one entry per line in the same form, so it can\n"
    "be merged again or built with kkbuild), - for standard output, or a name\n"
    "ending in .kkd for a dictionary. A file that OUTPUT replaces is kept beside\n"
    "it as \"Backup of \" followed by its name. OUTPUT is written under a\n"
    "temporary name and replaced only when complete, so a failed or interrupted\n"
    "merge leaves it as it was; a replaced file keeps its permissions, and a\n"
    "symbolic link has its target replaced. A named pipe or device OUTPUT\n"
    "receives the list as a stream; a folder, socket or disk device is refused.\n"
    "\n"
    "Options:\n"
    "  -f, --fold              merge entries with the same letters (see above)\n"
    "  -d, --description TEXT  description of a .kkd OUTPUT (default: \"Merged from\"\n"
    "                          and the inputs' names)\n"
    "  -a, --alphabet english|FILE\n"
    "                          the letters of a .kkd OUTPUT (default: the alphabet\n"
    "                          of the first dictionary among the inputs, else\n"
    "                          english; see kkbuild --help)\n"
    "      --cp1252            word lists are Windows-1252 already (default: UTF-8)\n"
    "  -q, --quiet             no progress messages\n"
    "  -h, --help              show this help\n"
    "      --version           show the program's name and version\n"
    "\n"
    "Progress and a summary go to standard error. On failure the reason is shown\n"
    "there and the exit status is 1 (2 for a usage error or an input that cannot\n"
    "be read, such as a folder or a named pipe; 130 when interrupted).\n";

struct Options {
  kea::MergeJob job;
  bool quiet = false;
};

int usageError(const std::string& message) {
  std::cerr << "kkmerge: " << message << "\n" << kUsage << "Try 'kkmerge --help' for more information.\n";
  return kExitUsage;
}

// Fills `options`; returns an exit status when the program should stop.
std::optional<int> parseArguments(int argc, char** argv, Options& options) {
  std::vector<std::string> positional;
  kea::tools::CommandLine line(argc, argv);
  while (line.next()) {
    if (line.isOperand()) {
      positional.push_back(line.text());
      continue;
    }
    const std::string& arg = line.text();
    if (arg == "-h" || arg == "--help") {
      std::cout << kUsage << "\n" << kHelp;
      return 0;
    } else if (arg == "--version") {
      std::cout << "kkmerge " KEA_VERSION "\n";
      return 0;
    } else if (arg == "-f" || arg == "--fold") {
      if (!line.takeSwitch(options.job.fold)) return usageError("option " + arg + " takes no value");
    } else if (arg == "-d" || arg == "--description") {
      if (!line.takeValue(options.job.description)) return usageError("option " + arg + " needs a text");
    } else if (arg == "-a" || arg == "--alphabet") {
      if (!line.takeValue(options.job.alphabet) || options.job.alphabet.empty()) {
        return usageError("option " + arg + " needs 'english' or a file");
      }
    } else if (arg == "--cp1252") {
      if (!line.takeSwitch(options.job.cp1252)) return usageError("option --cp1252 takes no value");
    } else if (arg == "-q" || arg == "--quiet") {
      if (!line.takeSwitch(options.quiet)) return usageError("option " + arg + " takes no value");
    } else {
      return usageError("unknown option '" + arg + "'");
    }
  }
  if (positional.size() < 2) return usageError(positional.empty() ? "missing INPUT and OUTPUT" : "missing OUTPUT");
  options.job.target = positional.back();
  positional.pop_back();
  options.job.inputs = positional;
  int fromStandardInput = 0;
  for (const std::string& input : options.job.inputs) fromStandardInput += input == "-";
  if (fromStandardInput > 1) return usageError("standard input (-) can be read only once");
  if (!kea::isDictionaryTarget(options.job.target) && (!options.job.description.empty() || !options.job.alphabet.empty())) {
    return usageError(std::string(options.job.description.empty() ? "--alphabet" : "--description") +
                      " is for a .kkd OUTPUT only");
  }
  return std::nullopt;
}

int runCommandLine(int argc, char** argv) {
  Options options;
  if (const auto status = parseArguments(argc, argv, options)) return *status;
  std::signal(SIGXFSZ, SIG_IGN);
  // Ctrl-C ends the program wherever it is, even waiting for standard input.
  kea::platform::endOnTerminationSignals("kkmerge: interrupted; " +
                                         (options.job.target == "-" ? std::string("nothing was written")
                                                                    : options.job.target + " was left as it was"));

  kea::JobProgress progress;
  std::string lastText;
  if (!options.quiet) {
    progress.progress = [&lastText](const std::string& text, int) {
      if (text.empty() || text == lastText) return;
      lastText = text;
      std::cerr << "kkmerge: " << text << std::endl;
    };
  }
  const kea::JobResult result = kea::runMergeJob(options.job, progress);
  if (!result.ok) {
    // The builder's log, then the outcome, each line naming the program.
    std::cerr.flush();
    kea::tools::printMessageLines("kkmerge", result.report);
    return result.inputUnreadable ? kExitUsage : kExitFailed;
  }
  if (options.job.target == "-") {
    std::cout << result.text;
    std::cout.flush();
    if (kea::tools::standardOutputFailed()) return kExitFailed;
  }
  if (!options.quiet) std::cerr << "kkmerge: " << result.report << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef KEA_COMPANION_WINDOWS
  if (argc == 1) {
    if (!kea::ui::hasDisplay()) return usageError("no display to open the window on: give INPUT... and OUTPUT");
    return kea::ui::runMergeWindow(argc, argv);
  }
#endif
  const int status = kea::tools::runGuarded("kkmerge", kExitUsage, [&] { return runCommandLine(argc, argv); });
  return kea::tools::finishStandardOutput("kkmerge", status, kExitFailed);
}
