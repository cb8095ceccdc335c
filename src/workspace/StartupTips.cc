#include "workspace/StartupTips.h"

#include <algorithm>
#include <array>

#include "platform/File.h"
#include "platform/ProgramFolder.h"
#include "settings/TextForms.h"

namespace kea {

namespace {

// No tips file comes near this; what lies beyond it is not read.
constexpr std::uint64_t kMaxFileBytes = 1024 * 1024;

}  // namespace

std::optional<std::string> StartupTips::findFile(std::string_view programFolder) {
  return platform::findDataFile(programFolder, kFileName);
}

bool StartupTips::readFile(std::string_view path) {
  tips_.clear();
  // Only a regular file: opening a pipe of that name would wait for a writer.
  platform::ReadOnlyFile file;
  if (!platform::fileStamp(path) || file.open(path) != platform::OpenError::None) return false;

  std::string line;
  bool lineCut = false;
  const auto endLine = [&] {
    if (!lineCut && !line.empty() && line.back() == '\r') line.pop_back();
    tips_.push_back(std::move(line));
    line.clear();
    lineCut = false;
  };
  std::array<char, 65536> buffer;
  std::uint64_t offset = 0;
  while (offset < kMaxFileBytes && tips_.size() < kMaxLines) {
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), kMaxFileBytes - offset));
    const std::size_t got = file.readAt(offset, buffer.data(), wanted);
    if (got == 0) break;
    offset += got;
    for (std::size_t i = 0; i < got && tips_.size() < kMaxLines; ++i) {
      const char c = buffer[i];
      if (c == '\n') {
        endLine();
      } else if (line.size() < kMaxLineBytes) {
        line += c;
      } else {
        lineCut = true;
      }
    }
  }
  // A last line without its line feed is a line all the same.
  if (!line.empty() && tips_.size() < kMaxLines) endLine();
  return true;
}

void StartupTips::loadNextIndex(Persist& persist) {
  int stored = 0;
  if (persist.readInt(nextIndexName(), stored)) nextIndex_ = static_cast<std::uint32_t>(stored);
}

void StartupTips::saveNextIndex(Persist& persist) const {
  persist.writeInt(nextIndexName(), static_cast<int>(nextIndex_));
}

void StartupTips::restartPastTheEnd() {
  if (nextIndex_ >= tips_.size()) nextIndex_ = 0;
}

void StartupTips::showNext() {
  topic_ = 0;
  if (nextIndex_ >= tips_.size()) return;
  const std::string& line = tips_[nextIndex_];
  if (const std::size_t blank = line.find(' '); blank != std::string::npos) {
    text_ = line.substr(blank + 1);
    topic_ = parseSettingNumber(std::string_view(line).substr(0, blank));
  }
  nextIndex_ = static_cast<std::uint32_t>((nextIndex_ + 1ULL) % tips_.size());
}

}  // namespace kea
