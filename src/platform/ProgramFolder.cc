#include "platform/ProgramFolder.h"

#include <filesystem>
#include <system_error>

#include "platform/Cp1252.h"
#include "platform/File.h"

namespace kea::platform {

std::optional<std::string> programFolder() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || exe.empty()) return std::nullopt;
  return utf8ToCp1252(exe.parent_path().string());
}

std::optional<std::string> findDataFile(std::string_view relative) {
  const auto folder = programFolder();
  if (!folder) return std::nullopt;
  return findDataFile(*folder, relative);
}

std::optional<std::string> findDataFile(std::string_view folder, std::string_view relative) {
  if (folder.empty()) return std::nullopt;
  for (const char* base : {"", "../share/kea/"}) {
    const std::string candidate =
        (std::filesystem::path(folder) / base / std::string(relative)).lexically_normal().string();
    if (fileStamp(candidate)) return candidate;
  }
  return std::nullopt;
}

}  // namespace kea::platform
