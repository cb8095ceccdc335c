// kkbuild: the companion dictionary builder. Reads builder input lines from
// a file or standard input and writes a ".kkd" dictionary. The dictionary is
// built under a temporary name beside OUTPUT and moved over it only when it
// is complete.
#include <csignal>
#include <exception>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "builder/CompanionJobs.h"
#include "builder/InputText.h"
#include "common/CommandLine.h"
#include "common/StandardOutput.h"
#include "platform/Termination.h"
#ifdef KEA_COMPANION_WINDOWS
#include "ui/companions/CompanionWindow.h"
#endif

namespace {

constexpr int kExitBuildFailed = 1;
constexpr int kExitUsage = 2;  // also an input that cannot be read

constexpr const char* kUsage =
    "Usage: kkbuild [options] INPUT OUTPUT\n"
    "       kkbuild --help | --version\n"
#ifdef KEA_COMPANION_WINDOWS
    "       kkbuild             (opens the KEA&Kindred Dictionary Builder window)\n"
#endif
    ;

constexpr const char* kHelp =
    "Builds a KEA&Kindred Dictionary (.kkd) from builder input lines.\n"
    "\n"
    "INPUT is a text file, or - for standard input. Each line gives one or more\n"
    "headwords separated by ';' or ':', optionally followed by '|' and a\n"
    "definition:\n"
    "\n"
    "    apple;pomme|a round fruit       two headwords sharing one definition\n"
    "    Smith+(surname)+|a family name  headword Smith with the annotation (surname)\n"
    "    ;private|not for full-text search  a line starting with ';' keeps its\n"
    "                                    definition out of full-text search\n"
    "\n"
    "A backslash makes the next character of the headwords literal (\\; \\: \\| \\+ \\\\).\n"
    "\n"
    "Scored word lists: a line without a definition whose last field is a number\n"
    "from 0 to 100 gives its headwords that commonness score (100: the commonest\n"
    "words), as crossword constructors' lists do:\n"
    "\n"
    "    tail end;65                     the entry \"tail end\", scored 65\n"
    "\n"
    "The scores are written beside OUTPUT as NAME.scores, where KEA's \"Most\n"
    "common first\" order and \"kea-cli search --rank\" find them.\n"
    "\n"
    "OUTPUT is replaced only when the new dictionary has been written completely;\n"
    "a failed or interrupted build leaves it as it was. A file it replaces is kept\n"
    "beside it as \"Backup of \" followed by its name. A replaced file keeps its\n"
    "permissions; a symbolic link OUTPUT has its target replaced. A named pipe or\n"
    "device OUTPUT (/dev/stdout) receives the dictionary as a stream; a folder,\n"
    "socket or disk device is refused.\n"
    "\n"
    "Options:\n"
    "  -d, --description TEXT  description stored in the dictionary (at most 999\n"
    "                          characters)\n"
    "  -s, --shortest N        drop headwords with fewer than N letters (default 1)\n"
    "  -l, --longest N         drop headwords with more than N letters (default 100;\n"
    "                          lengths are kept within 1 to 100)\n"
    "  -a, --alphabet english|FILE\n"
    "                          the letters of the dictionary (default english: a-z\n"
    "                          with accented forms folded onto them, and the letters\n"
    "                          oe, ae, thorn and sharp s). FILE holds 256 bytes: byte\n"
    "                          v is the canonical character of the Windows-1252 byte\n"
    "                          v, or 0 when v is not a letter. A canonical character\n"
    "                          must be its own canonical character, byte 0 must be 0,\n"
    "                          and at most 253 canonical characters are allowed.\n"
    "      --scores FILE       scored lines (\"word;score\") for entries of INPUT, in the\n"
    "                          same encoding as INPUT; repeatable\n"
    "      --pairs FILE        word pairs that go together (\"first second;bonus\",\n"
    "                          bonus in tenths of a decimal logarithm), written\n"
    "                          beside OUTPUT as NAME.pairs for ranking phrase\n"
    "                          anagrams\n"
    "      --meaning FILE      meaning lists (\"FORMS<tab>WORD:WEIGHT ...\", see\n"
    "                          docs/meaning.md) in the same encoding as INPUT; the\n"
    "                          meaning index is written beside OUTPUT as\n"
    "                          NAME.meaning for \"kea-cli search --meaning\";\n"
    "                          repeatable\n"
    "      --cp1252            INPUT is Windows-1252 already (default: UTF-8, which is\n"
    "                          converted; a character Windows-1252 cannot hold is an\n"
    "                          error)\n"
    "  -q, --quiet             no progress messages\n"
    "  -h, --help              show this help\n"
    "      --version           show the program's name and version\n"
    "\n"
    "Progress goes to standard error. On failure the builder's log is shown there\n"
    "and the exit status is 1 (2 for a usage error or an input that cannot be\n"
    "read, such as a folder or a named pipe; 130 when interrupted).\n";

struct Options {
  std::string input;
  std::string output;
  std::string description;
  int shortest = 1;
  int longest = 100;
  std::string alphabet = "english";
  bool cp1252 = false;
  bool quiet = false;
  std::vector<std::string> scoreLists;
  std::vector<std::string> pairLists;
  std::vector<std::string> meaningLists;
};

int usageError(const std::string& message) {
  std::cerr << "kkbuild: " << message << "\n" << kUsage << "Try 'kkbuild --help' for more information.\n";
  return kExitUsage;
}

std::optional<int> parseCount(const std::string& text) {
  if (text.empty() || text.size() > 7) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
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
    std::string text;
    if (arg == "-h" || arg == "--help") {
      std::cout << kUsage << "\n" << kHelp;
      return 0;
    } else if (arg == "--version") {
      std::cout << "kkbuild " KEA_VERSION "\n";
      return 0;
    } else if (arg == "-d" || arg == "--description") {
      if (!line.takeValue(text)) return usageError("option " + arg + " needs a text");
      options.description = text;
    } else if (arg == "-s" || arg == "--shortest" || arg == "-l" || arg == "--longest") {
      if (!line.takeValue(text)) return usageError("option " + arg + " needs a number");
      const auto number = parseCount(text);
      if (!number) return usageError("option " + arg + " needs a whole number of letters, not '" + text + "'");
      (arg == "-s" || arg == "--shortest" ? options.shortest : options.longest) = *number;
    } else if (arg == "-a" || arg == "--alphabet") {
      if (!line.takeValue(options.alphabet)) return usageError("option " + arg + " needs 'english' or a file");
    } else if (arg == "--scores" || arg == "--pairs" || arg == "--meaning") {
      if (!line.takeValue(text)) return usageError("option " + arg + " needs a file");
      (arg == "--scores" ? options.scoreLists : arg == "--pairs" ? options.pairLists : options.meaningLists)
          .push_back(text);
    } else if (arg == "--cp1252") {
      if (!line.takeSwitch(options.cp1252)) return usageError("option --cp1252 takes no value");
    } else if (arg == "-q" || arg == "--quiet") {
      if (!line.takeSwitch(options.quiet)) return usageError("option " + arg + " takes no value");
    } else {
      return usageError("unknown option '" + arg + "'");
    }
  }
  if (positional.size() < 2) return usageError(positional.empty() ? "missing INPUT and OUTPUT" : "missing OUTPUT");
  if (positional.size() > 2) return usageError("too many arguments: '" + positional[2] + "'");
  options.input = positional[0];
  options.output = positional[1];
  if (options.output == "-") return usageError("OUTPUT must be a file; a dictionary cannot go to standard output");
  // A dictionary written over its own input would lose the input.
  if (kea::isSameFile(options.input, options.output)) {
    return usageError("OUTPUT is INPUT: the dictionary would replace its own input");
  }
  return std::nullopt;
}

int run(const Options& options) {
  kea::BuildJob job;
  job.inputs = {options.input};
  job.cp1252 = options.cp1252;
  job.alphabet = options.alphabet;
  job.description = options.description;
  job.shortest = options.shortest;
  job.longest = options.longest;
  job.target = options.output;
  job.scoreLists = options.scoreLists;
  job.pairLists = options.pairLists;
  job.meaningLists = options.meaningLists;

  kea::JobProgress progress;
  std::string lastText;
  if (!options.quiet) {
    progress.progress = [&lastText](const std::string& text, int) {
      if (text.empty() || text == lastText) return;
      lastText = text;
      std::cerr << "kkbuild: " << text << std::endl;
    };
  }
  // Input left out is said even when all is quiet.
  progress.notice = [](const std::string& text) { std::cerr << "kkbuild: " << text << std::endl; };

  const kea::JobResult result = kea::runBuildJob(job, progress);
  if (!result.ok) {
    // The builder's log, then the outcome, each line naming the program.
    std::cerr.flush();
    std::string report = result.report;
    if (result.unconvertible && !options.cp1252) report += " (use --cp1252 for input that is Windows-1252 already)";
    kea::tools::printMessageLines("kkbuild", report);
    return result.inputUnreadable ? kExitUsage : kExitBuildFailed;
  }
  if (!options.quiet) std::cerr << "kkbuild: " << result.report << "\n";
  return 0;
}

int runCommandLine(int argc, char** argv) {
  Options options;
  if (const auto status = parseArguments(argc, argv, options)) return *status;
  // Exceeding a file-size limit becomes a failed write, reported like a full disk.
  std::signal(SIGXFSZ, SIG_IGN);
  // Ctrl-C ends the program wherever it is, even waiting for standard input.
  kea::platform::endOnTerminationSignals("kkbuild: interrupted; " + options.output + " was left as it was");
  return run(options);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef KEA_COMPANION_WINDOWS
  if (argc == 1) {
    if (!kea::ui::hasDisplay()) return usageError("no display to open the window on: give INPUT and OUTPUT");
    return kea::ui::runBuilderWindow(argc, argv);
  }
#endif
  return kea::tools::finishStandardOutput("kkbuild", kea::tools::runGuarded("kkbuild", kExitUsage, [&] {
                                            return runCommandLine(argc, argv);
                                          }),
                                          kExitBuildFailed);
}
