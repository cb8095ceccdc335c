#include "builder/InputText.h"

#include <unistd.h>

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
  if (path != "-") return platform::readWholeFile(path, kMaxInputBytes, out, error, "a text file");
  // Standard input may never end (a device such as /dev/zero): a NUL byte,
  // which no line may hold (see prepareInputText), ends the reading at
  // once; anything else is read up to the limit.
  out.clear();
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      if (error) *error = "cannot read standard input: " + std::string(std::strerror(errno));
      return false;
    }
    if (n == 0) return true;
    if (const void* nul = std::memchr(buffer, '\0', static_cast<std::size_t>(n))) {
      const std::size_t at = out.size() + static_cast<std::size_t>(static_cast<const char*>(nul) - buffer) + 1;
      if (error) *error = "standard input holds a NUL byte (byte " + std::to_string(at) + "), so it is no text";
      out.clear();
      return false;
    }
    if (out.size() + static_cast<std::size_t>(n) > kMaxInputBytes) {
      if (error) *error = "standard input is too large: more than " + platform::sizeText(kMaxInputBytes);
      out.clear();
      return false;
    }
    out.append(buffer, static_cast<std::size_t>(n));
  }
}

bool isSameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

}  // namespace kea
