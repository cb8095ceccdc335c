// The pieces every kea-cli subcommand shares: the subcommand table entry,
// and the edges where terminal text (UTF-8) meets library text
// (Windows-1252).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/CommandLine.h"
#include "dictionary/DictionaryList.h"

namespace kea::cli {

// Exit statuses of every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the work could not be done for some input
inline constexpr int kExitUsage = 2;    // the command line was wrong
inline constexpr int kExitInterrupted = 130;  // Ctrl-C stopped the work

// The most dictionaries a command opens at once.
inline constexpr std::size_t kMaxDictionaries = 9;

struct Command {
  const char* name;
  const char* summary;  // one line for the program's help
  const char* help;     // the subcommand's --help text
  int (*run)(const std::vector<std::string>& args);
};

// The subcommands, in the order the program's help lists them.
const std::vector<Command>& commands();

// Subcommands (one file each).
int runInfo(const std::vector<std::string>& args);
extern const char* const kInfoHelp;
int runSearch(const std::vector<std::string>& args);
extern const char* const kSearchHelp;
int runDefine(const std::vector<std::string>& args);
extern const char* const kDefineHelp;
int runAnagram(const std::vector<std::string>& args);
extern const char* const kAnagramHelp;

// A terminal argument as library text, or nothing after printing why not
// (a character that Windows-1252 cannot hold, or malformed UTF-8).
std::optional<std::string> argumentText(std::string_view utf8, std::string_view what);

// Library text for the terminal.
std::string terminalText(std::string_view cp1252);

// "kea-cli SUBCOMMAND: message" on standard error.
void printError(std::string_view subcommand, std::string_view message);

// A usage error of a subcommand: the message and where help is, on
// standard error; returns kExitUsage.
int usageError(std::string_view subcommand, std::string_view message);

// The value of the current option, -d/--dictionary, added to
// `dictionaries`; an exit status after printing why it cannot be.
std::optional<int> takeDictionary(std::string_view subcommand, tools::CommandLine& line,
                                  std::vector<std::string>& dictionaries);

// The value of the current option, --mode, as the multiple-dictionary
// setting; an exit status after printing why it cannot be.
std::optional<int> takeMode(std::string_view subcommand, tools::CommandLine& line, int& mode);

// Whether an argument asks for help.
bool isHelp(std::string_view arg);

// A decimal number of at most nine digits, optionally negative.
bool parseNumber(const std::string& text, int& value);

// Why dictionary i of `list` cannot be used, for the terminal:
// "FILE is a named pipe, not a dictionary file", "FILE is damaged: ...".
std::string unusableDictionaryText(const DictionaryList& list, int i);

// Opens the dictionaries (library text paths; the shipped English.kkd when
// there are none). Null after printing why one cannot be used.
DictionaryList::Handle openDictionaries(std::string_view subcommand, std::vector<std::string> paths);

}  // namespace kea::cli
