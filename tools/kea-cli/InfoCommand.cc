// kea-cli info: what the dictionary properties window shows, for each file
// named, followed by the dictionary's one-paragraph summary.
#include <array>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Cli.h"
#include "dictionary/BlockSummary.h"
#include "dictionary/DictionaryList.h"
#include "platform/File.h"

namespace kea::cli {

const char* const kInfoHelp =
    "Usage: kea-cli info FILE...\n"
    "\n"
    "Shows the properties of each dictionary file: its location, date,\n"
    "description, numbers of entries and definitions, shortest and longest\n"
    "entry length and the letters of its alphabet, then its summary as the\n"
    "program's dictionary list shows it.\n"
    "\n"
    "A file that is missing or not a valid dictionary shows\n"
    "\"-- DICTIONARY FILE NOT FOUND --\" or \"-- INVALID DICTIONARY FILE --\" as its\n"
    "description.\n"
    "\n"
    "Exit status: 0 when every file is a usable dictionary, 1 when some is not,\n"
    "2 for a wrong command line.\n";

namespace {

// The full path of a library path, for the terminal.
std::string fullPath(const std::string& path) {
  const std::string native = platform::nativePath(path);
  std::error_code error;
  const auto absolute = std::filesystem::absolute(native, error);
  return error ? native : absolute.lexically_normal().string();
}

void printIndented(const std::string& text) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::printf("  %s\n", terminalText(text.substr(start, end - start)).c_str());
    start = end + 1;
  }
}

// The distinct characters of the alphabet in byte order, whether or not
// any entry uses them.
std::string alphabetLetters(const Alphabet& alphabet) {
  std::array<bool, 256> present{};
  for (int i = 0; i < alphabet.alphabetSize && i < 256; ++i) present[alphabet.canonicalCharOf(static_cast<std::uint8_t>(i))] = true;
  std::string letters;
  for (int c = 1; c < 256; ++c) {
    if (present[static_cast<std::size_t>(c)]) letters += static_cast<char>(c);
  }
  return letters;
}

// Whether searches can skip with the summary beside the dictionary, and
// why not when they cannot.
std::string blockSummaryText(const DictionaryList::Dictionary& dictionary) {
  const LoadedBlockSummaries loaded = loadBlockSummaries(dictionary);
  std::string name = companionPath(dictionary.path(), blocks::kExtension);
  name = name.substr(name.rfind('/') + 1);
  switch (loaded.status) {
    case CompanionStatus::Loaded:
      return "yes, blocks of " + std::to_string(loaded.summaries->entriesPerBlock()) + " entries (" + name + ")";
    case CompanionStatus::Missing:
      return "none (searches read every entry)";
    case CompanionStatus::Stale:
      return name + " was made from another version of this file (copied without its date?) and is not used";
    case CompanionStatus::Damaged:
    case CompanionStatus::Unreadable:
      break;
  }
  return name + " is damaged or unreadable and is not used";
}

// Prints one file's block; returns whether the dictionary is usable.
bool printInfo(const std::string& path) {
  DictionaryList::Dictionary dictionary(path);
  dictionary.open(true);
  std::string summary;
  const bool usable = dictionary.describe(summary);

  std::printf("Location: %s\n", fullPath(path).c_str());
  if (dictionary.lastWriteTime() != 0) std::printf("Date: %s\n", terminalText(dictionary.dateText()).c_str());
  std::printf("Description: %s\n", terminalText(dictionary.description()).c_str());
  if (usable) {
    int entries = 0, definitions = 0, shortest = 0, longest = 0;
    dictionary.statistics(entries, definitions, shortest, longest);
    std::printf("Entries: %d\nDefinitions: %d\nShortest: %d\nLongest: %d\n", entries, definitions, shortest, longest);
    std::printf("Alphabet: %s\n", terminalText(alphabetLetters(dictionary.alphabet())).c_str());
    std::printf("Block summaries: %s\n", terminalText(blockSummaryText(dictionary)).c_str());
  }
  std::printf("Summary:\n");
  printIndented(summary);
  if (!usable) {
    printError("info", dictionary.problem().empty() ? terminalText(path) + ": " + dictionary.statusText()
                                                    : terminalText(path + " " + dictionary.problem()));
  }
  return usable;
}

}  // namespace

int runInfo(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (isHelp(arg)) {
      std::fputs(kInfoHelp, stdout);
      return kExitOk;
    }
  }
  tools::CommandLine line(args);
  while (line.next()) {
    if (!line.isOperand()) return usageError("info", "unknown option '" + line.text() + "'");
    const auto path = argumentText(line.text(), "file name");
    if (!path) return kExitUsage;
    files.push_back(*path);
  }
  if (files.empty()) return usageError("info", "no dictionary file named");
  // Dates are written in the user's own format. Only this command shows
  // any, and loading the locale costs a search a noticeable part of its
  // run, so the other commands keep the C library's default.
  std::setlocale(LC_ALL, "");
  bool allUsable = true;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (i > 0) std::printf("\n");
    allUsable &= printInfo(files[i]);
  }
  return allUsable ? kExitOk : kExitFailure;
}

}  // namespace kea::cli
