#include "Cli.h"

#include <cstdio>
#include <cstdlib>

#include "platform/Cp1252.h"
#include "platform/ProgramFolder.h"

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

namespace {
volatile std::sig_atomic_t interrupted = 0;
extern "C" void onInterrupt(int) { interrupted = 1; }
}  // namespace

InterruptGuard::InterruptGuard() {
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previous_);
}

InterruptGuard::~InterruptGuard() { sigaction(SIGINT, &previous_, nullptr); }

bool interruptRequested() { return interrupted != 0; }

KKDictionaryList::Handle openDictionaries(std::string_view subcommand, std::vector<std::string> paths) {
  if (paths.empty()) {
    const auto shipped = platform::findDataFile("Dictionaries/English.kkd");
    if (!shipped) {
      printError(subcommand, "the shipped dictionary Dictionaries/English.kkd was not found beside the program "
                             "or in ../share/kea; name one with -d FILE");
      return nullptr;
    }
    paths.push_back(*shipped);
  }
  std::string names;
  for (const std::string& path : paths) names += path + ";";
  KKDictionaryList::Handle list = KKDictionaryList::make(names);
  for (int i = 0; i < list->count(); ++i) {
    if (!list->isUsable(i)) {
      printError(subcommand, terminalText(list->path(i) + ": " + list->dictionary(i)->statusText()));
      return nullptr;
    }
  }
  return list;
}

}  // namespace kea::cli
