#include "Cli.h"

#include <cstdio>

#include "platform/Cp1252.h"

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

}  // namespace kea::cli
