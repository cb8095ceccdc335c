#include "builder/AlphabetFile.h"

#include <cstdio>
#include <filesystem>

#include "builder/EnglishAlphabet.h"
#include "builder/InputText.h"
#include "platform/File.h"

namespace kea {
namespace {

std::string byteName(int b) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", b);
  return text;
}

}  // namespace

std::string alphabetTableProblem(const std::array<std::uint8_t, 256>& table) {
  if (table[0] != 0) return "byte 0x00 cannot be in an alphabet (entry 0 must be 0)";
  int canonicals = 0;
  for (int v = 1; v < 256; ++v) {
    const int c = table[v];
    if (c == 0) continue;
    if (c == v) {
      ++canonicals;
    } else if (table[c] != c) {
      return "byte " + byteName(v) + " maps to " + byteName(c) + ", which is not its own canonical character (" +
             byteName(c) + " maps to " + byteName(table[c]) + ")";
    }
  }
  if (canonicals == 0) return "no byte is a canonical character, so the alphabet holds no letters";
  if (canonicals > kMaxCanonicalCharacters) {
    return std::to_string(canonicals) + " canonical characters; a dictionary holds at most " +
           std::to_string(kMaxCanonicalCharacters);
  }
  return {};
}

std::optional<std::array<std::uint8_t, 256>> parseAlphabetFile(std::string_view bytes, std::string* error) {
  if (bytes.size() != 256) {
    if (error) *error = "an alphabet file holds exactly 256 bytes, not " + std::to_string(bytes.size());
    return std::nullopt;
  }
  std::array<std::uint8_t, 256> table;
  for (int v = 0; v < 256; ++v) table[v] = static_cast<std::uint8_t>(bytes[v]);
  std::string problem = alphabetTableProblem(table);
  if (!problem.empty()) {
    if (error) *error = std::move(problem);
    return std::nullopt;
  }
  return table;
}

std::string alphabetFileBytes(const std::array<std::uint8_t, 256>& table) {
  return std::string(reinterpret_cast<const char*>(table.data()), table.size());
}

std::optional<std::array<std::uint8_t, 256>> loadAlphabet(const std::string& setting, std::string* error) {
  if (setting == "english") return englishAlphabetTable();
  std::string bytes, reason;
  // Only the 256 bytes an alphabet holds are read: a larger file is no
  // alphabet, whatever it is.
  if (!platform::readWholeFile(setting, 256, bytes, &reason, "an alphabet file")) {
    std::error_code sizeError;
    const std::uintmax_t size = std::filesystem::file_size(setting, sizeError);
    if (!sizeError && size > 256 && platform::fileKindOf(setting) == platform::FileKind::Regular) {
      if (error) *error = setting + " is not a usable alphabet: an alphabet file holds exactly 256 bytes, not " +
                          std::to_string(size);
    } else if (error) {
      *error = "alphabet: " + reason;
    }
    return std::nullopt;
  }
  auto table = parseAlphabetFile(bytes, &reason);
  if (!table && error) *error = setting + " is not a usable alphabet: " + reason;
  return table;
}

}  // namespace kea
