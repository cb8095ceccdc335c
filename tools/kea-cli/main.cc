// kea-cli: KEA's searches and dictionary facts from a terminal. A thin
// dispatcher: each subcommand is one function over the library.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "Cli.h"
#include "common/StandardOutput.h"
#include "platform/Termination.h"

namespace kea::cli {

const std::vector<Command>& commands() {
  static const std::vector<Command> table = {
      {"search", "list the dictionary entries a pattern describes", kSearchHelp, runSearch},
      {"anagram", "list the phrases of entries made of given letters", kAnagramHelp, runAnagram},
      {"define", "show the definitions of a word", kDefineHelp, runDefine},
      {"info", "show the properties of dictionary files", kInfoHelp, runInfo},
  };
  return table;
}

namespace {

void printProgramHelp(std::FILE* out) {
  std::fputs(
      "Usage: kea-cli COMMAND [ARGUMENTS...]\n"
      "       kea-cli --help | --version\n"
      "\n"
      "Crossword and word-puzzle help from the terminal, over KEA's .kkd dictionaries.\n"
      "\n"
      "Commands:\n",
      out);
  for (const Command& c : commands()) std::fprintf(out, "  %-10s %s\n", c.name, c.summary);
  std::fputs(
      "\n"
      "Options:\n"
      "  -h, --help    show this help\n"
      "  --version     show the program's name and version\n"
      "\n"
      "Run 'kea-cli COMMAND --help' for the arguments of a command.\n"
      "Text is read and written as UTF-8; dictionaries hold Windows-1252 text.\n",
      out);
}

}  // namespace
}  // namespace kea::cli

namespace {

int run(int argc, char** argv) {
  using namespace kea::cli;
  if (argc < 2) {
    printProgramHelp(stderr);
    return kExitUsage;
  }
  const std::string name = argv[1];
  if (name == "--version") {
    std::puts("kea-cli " KEA_VERSION);
    return kExitOk;
  }
  if (isHelp(name) || name == "help") {
    if (name == "help" && argc > 2) {
      for (const Command& c : commands()) {
        if (argv[2] == std::string(c.name)) {
          std::fputs(c.help, stdout);
          return kExitOk;
        }
      }
    }
    printProgramHelp(stdout);
    return kExitOk;
  }
  for (const Command& c : commands()) {
    if (name == c.name) return c.run(std::vector<std::string>(argv + 2, argv + argc));
  }
  std::fprintf(stderr, "kea-cli: unknown command '%s' (run 'kea-cli --help' for the list)\n", name.c_str());
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  // Ctrl-C and SIGTERM end the program wherever it is (a search asks for
  // Ctrl-C as a request to stop instead, see search and anagram), taking
  // any half-saved file with them.
  kea::platform::endOnTerminationSignals("");
  // Exceeding a file-size limit becomes a failed write, reported like a full disk.
  std::signal(SIGXFSZ, SIG_IGN);
  const int status = kea::tools::runGuarded("kea-cli", kea::cli::kExitUsage, [&] { return run(argc, argv); });
  return kea::tools::finishStandardOutput("kea-cli", status, kea::cli::kExitUsage);
}
