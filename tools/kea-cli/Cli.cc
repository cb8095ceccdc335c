#include "Cli.h"

#include <cstdio>
#include <cstdlib>

#include "platform/Cp1252.h"
#include "platform/ProgramFolder.h"
#include "settings/UserOptions.h"

namespace kea::cli {

std::optional<std::string> argumentText(std::string_view utf8, std::string_view what) {
  platform::CodecError error;
  if (auto text = platform::utf8ToCp1252(utf8, &error)) return text;
  // Text that is not UTF-8 is not echoed: the terminal could not show it.
  if (error.malformed) {
    std::fprintf(stderr, "kea-cli: the %.*s cannot be used: %s\n", static_cast<int>(what.size()), what.data(),
                 error.message().c_str());
  } else {
    std::fprintf(stderr, "kea-cli: %.*s '%.*s' cannot be used: %s\n", static_cast<int>(what.size()), what.data(),
                 static_cast<int>(utf8.size()), utf8.data(), error.message().c_str());
  }
  return std::nullopt;
}

std::string terminalText(std::string_view cp1252) { return platform::cp1252ToUtf8(cp1252); }

void printError(std::string_view subcommand, std::string_view message) {
  std::fflush(stdout);  // keep the error after the output it belongs to
  std::fprintf(stderr, "kea-cli %.*s: %.*s\n", static_cast<int>(subcommand.size()), subcommand.data(),
               static_cast<int>(message.size()), message.data());
}

int usageError(std::string_view subcommand, std::string_view message) {
  printError(subcommand, std::string(message) + " (run 'kea-cli " + std::string(subcommand) + " --help')");
  return kExitUsage;
}

std::optional<int> takeDictionary(std::string_view subcommand, tools::CommandLine& line,
                                  std::vector<std::string>& dictionaries) {
  std::string value;
  if (!line.takeValue(value)) return usageError(subcommand, "'" + line.text() + "' needs a dictionary file");
  const auto path = argumentText(value, "file name");
  if (!path) return kExitUsage;
  if (path->empty()) return usageError(subcommand, "an empty dictionary file name");
  if (dictionaries.size() == kMaxDictionaries) return usageError(subcommand, "at most nine dictionaries can be used");
  dictionaries.push_back(*path);
  return std::nullopt;
}

std::optional<int> takeMode(std::string_view subcommand, tools::CommandLine& line, int& mode) {
  std::string value;
  if (!line.takeValue(value)) return usageError(subcommand, "'--mode' needs suppress, independent or active");
  if (value == "suppress") {
    mode = UserOptions::kSuppressDuplicates;
  } else if (value == "independent") {
    mode = UserOptions::kSearchIndependently;
  } else if (value == "active") {
    mode = UserOptions::kActiveDictionaryOnly;
  } else {
    return usageError(subcommand, "unknown mode '" + value + "'; use suppress, independent or active");
  }
  return std::nullopt;
}

bool isHelp(std::string_view arg) { return arg == "--help" || arg == "-h"; }

bool parseNumber(const std::string& text, int& value) {
  if (text.empty() || text.size() > 9) return false;
  std::size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  for (std::size_t k = i; k < text.size(); ++k) {
    if (text[k] < '0' || text[k] > '9') return false;
  }
  value = std::atoi(text.c_str());
  return true;
}

std::string unusableDictionaryText(const DictionaryList& list, int i) {
  const DictionaryList::Dictionary* d = list.dictionary(i);
  if (d == nullptr) return std::string();
  if (!d->problem().empty()) return terminalText(list.path(i) + " " + d->problem());
  return terminalText(list.path(i) + ": " + d->statusText());
}

DictionaryList::Handle openDictionaries(std::string_view subcommand, std::vector<std::string> paths) {
  if (paths.empty()) {
    const auto shipped = platform::findDataFile("Dictionaries/English.kkd");
    if (!shipped) {
      printError(subcommand, "the shipped dictionary Dictionaries/English.kkd was not found beside the program "
                             "or in ../share/kea; name one with -d FILE");
      return nullptr;
    }
    paths.push_back(*shipped);
  }
  DictionaryList::Handle list = DictionaryList::make(paths);
  for (int i = 0; i < list->count(); ++i) {
    if (!list->isUsable(i)) {
      printError(subcommand, unusableDictionaryText(*list, i));
      return nullptr;
    }
  }
  return list;
}

}  // namespace kea::cli
