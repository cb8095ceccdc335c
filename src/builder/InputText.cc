#include "builder/InputText.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/Cp1252.h"
#include "platform/File.h"

namespace kea {

InputText prepareInputText(std::string_view bytes, bool utf8, std::size_t maxProblems) {
  InputText result;
  if (utf8 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  result.lines.reserve(bytes.size() + 1);
  const auto report = [&](std::size_t line, const std::string& what) {
    ++result.problemLines;
    if (result.problems.size() < maxProblems) result.problems.push_back("line " + std::to_string(line) + ": " + what);
  };
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    start = end + 1;
    ++result.lineCount;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (const std::size_t nul = line.find('\0'); nul != std::string_view::npos) {
      report(result.lineCount, "a NUL byte at byte " + std::to_string(nul + 1) + " cannot be part of a line");
      continue;
    }
    if (!utf8) {
      result.lines.append(line);
    } else {
      platform::CodecError error;
      const auto converted = platform::utf8ToCp1252(line, &error);
      if (!converted) {
        // Count bytes from 1, as editors count columns.
        ++error.offset;
        report(result.lineCount, error.message());
        continue;
      }
      result.lines.append(*converted);
    }
    result.lines.push_back('\n');
  }
  return result;
}

bool readInputFile(const std::string& path, std::string& out, std::string* error) {
  if (path == "-") return platform::readWholeStream(0, kMaxInputBytes, out, error, "standard input");
  return platform::readWholeFile(path, kMaxInputBytes, out, error, "a text file");
}

bool isSameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

}  // namespace kea
