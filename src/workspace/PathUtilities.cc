#include "workspace/PathUtilities.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/Cp1252.h"
#include "platform/File.h"
#include "platform/ProgramFolder.h"

namespace kea {

namespace {

// user-dirs.dirs is a handful of lines; anything longer is not one.
constexpr std::streamsize kMaxUserDirsBytes = 64 * 1024;

std::string withSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

const char* environment(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : nullptr;
}

// A folder named in the operating system's own (UTF-8) form, as library
// text with its slash, when it exists and has a Windows-1252 name.
std::optional<std::string> existingFolder(const std::string& native) {
  if (native.empty() || native.front() != '/') return std::nullopt;
  std::error_code error;
  if (!std::filesystem::is_directory(native, error)) return std::nullopt;
  auto text = platform::utf8ToCp1252(native);
  if (!text) return std::nullopt;
  return withSlash(std::move(*text));
}

// The documents entry of user-dirs.dirs, a shell fragment of the form
// XDG_DOCUMENTS_DIR="$HOME/Documents" (or an absolute path).
std::optional<std::string> userDirsDocuments(const char* home) {
  std::string config;
  if (const char* configHome = environment("XDG_CONFIG_HOME")) {
    config = configHome;
  } else if (home) {
    config = std::string(home) + "/.config";
  } else {
    return std::nullopt;
  }
  std::ifstream in(config + "/user-dirs.dirs", std::ios::binary);
  if (!in) return std::nullopt;
  std::string text(static_cast<std::size_t>(kMaxUserDirsBytes), '\0');
  in.read(text.data(), kMaxUserDirsBytes);
  text.resize(static_cast<std::size_t>(in.gcount()));

  constexpr std::string_view key = "XDG_DOCUMENTS_DIR=\"";
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    start = end + 1;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (!line.starts_with(key)) continue;
    line.remove_prefix(key.size());
    const std::size_t quote = line.find('"');
    if (quote == std::string_view::npos) continue;
    std::string_view value = line.substr(0, quote);
    std::string folder;
    if (value.starts_with("$HOME")) {
      if (!home) continue;
      folder = std::string(home) + std::string(value.substr(5));
    } else {
      folder = std::string(value);
    }
    if (auto found = existingFolder(folder)) return found;
  }
  return std::nullopt;
}

}  // namespace

bool isRelative(std::string_view path) { return path.empty() || path.front() != '/'; }

std::string programFolder() { return withSlash(platform::programFolder().value_or(std::string())); }

std::string absolute(std::string_view paths) { return absolute(paths, programFolder()); }

std::string absolute(std::string_view paths, std::string_view folder) {
  std::string out;
  std::size_t start = 0;
  while (true) {
    std::size_t end = paths.find(';', start);
    if (end == std::string_view::npos) end = paths.size();
    const std::string_view part = paths.substr(start, end - start);
    if (!part.empty() && isRelative(part)) out += folder;
    out += part;
    if (end == paths.size()) break;
    out += ';';
    start = end + 1;
  }
  return out;
}

std::string documentsFolder() {
  const char* home = environment("HOME");
  if (const char* documents = environment("XDG_DOCUMENTS_DIR")) {
    if (auto found = existingFolder(documents)) return *found;
  }
  if (auto found = userDirsDocuments(home)) return *found;
  if (home) {
    if (auto found = existingFolder(std::string(home) + "/Documents")) return *found;
  }
  return programFolder();
}

std::string fileTitle(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::int64_t fileTime(std::string_view path) {
  if (const auto stamp = platform::fileStamp(path)) return stamp->lastWriteTime;
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::optional<std::string> fullPath(std::string_view path) {
  if (path.empty()) return std::nullopt;
  std::string full;
  if (isRelative(path)) {
    std::error_code error;
    const std::filesystem::path working = std::filesystem::current_path(error);
    if (error) return std::nullopt;
    auto folder = platform::utf8ToCp1252(working.string());
    if (!folder) return std::nullopt;
    full = withSlash(std::move(*folder));
  }
  full += path;
  return std::filesystem::path(full).lexically_normal().string();
}

std::optional<std::string> findFirstRunDictionary(std::string_view folder) {
  return platform::findDataFile(folder, kFirstRunDictionary);
}

}  // namespace kea
