#include "builder/DictionarySave.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "builder/BlockSummaryWriter.h"
#include "platform/Cp1252.h"
#include "platform/File.h"

namespace kea {
namespace {

void appendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    // A NUL would end the line; nothing can stand for it.
    if (c == '\0') continue;
    if (c == '\\' || c == '+' || c == ':' || c == ';' || c == '|') out += '\\';
    out += c;
  }
}

std::size_t nameStart(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}

}  // namespace

std::string resultsBuilderLine(std::string_view word, std::string_view annotation) {
  std::string line;
  appendEscaped(line, word);
  if (!annotation.empty()) {
    line += '+';
    appendEscaped(line, annotation);
    line += '+';
  }
  return line;
}

std::string dictionaryBackupPath(std::string_view target) {
  const std::size_t start = nameStart(target);
  std::string backup(target.substr(0, start));
  backup += texts::kBackupPrefix;
  backup += target.substr(start);
  return backup;
}

bool saveDictionary(DictionaryMaintainer& lines, const std::array<std::uint8_t, 256>& alphabet,
                    const std::string& target, const std::string& description, int shortest, int longest,
                    const BuildEnvironment& environment, const CompanionData* companions) {
  TemporaryTarget temporary(platform::nativePath(target));
  std::string error;
  if (!temporary.create(&error)) {
    lines.logMessage(platform::utf8ToCp1252(error).value_or(error) + "\n");
    lines.logFormat(texts::kCouldNotUpdateLog, target.c_str());
    return false;
  }
  // The temporary name is the target's own plus ASCII, so it converts back.
  const std::string buildPath = platform::utf8ToCp1252(temporary.path()).value_or(target);
  if (!buildDictionary(lines, alphabet, buildPath, description, shortest, longest,
                       environment)) {
    return false;
  }

  if (!putInPlace(lines, temporary, target)) return false;
  std::string companionError;
  const CompanionData none;
  if (!writeDictionaryCompanions(target, companions != nullptr ? *companions : none, &companionError)) {
    lines.logMessage("The commonness scores were not saved beside \"" + target + "\": " +
                     platform::utf8ToCp1252(companionError).value_or(companionError) + "\n");
  }
  // Without its block summaries the dictionary works; scans are slower.
  if (std::string why; !writeBlockSummaries(target, &why)) lines.logMessage("No block summaries were written: " + why + "\n");
  return true;
}

bool putInPlace(DictionaryMaintainer& lines, TemporaryTarget& temporary, const std::string& target) {
  const std::string backup = dictionaryBackupPath(target);
  const std::string nativeTarget = platform::nativePath(target);
  const std::string nativeBackup = platform::nativePath(backup);
  std::string error;
  const bool replacing = platform::fileStamp(target).has_value();
  if (replacing) {
    std::remove(nativeBackup.c_str());
    // Without its backup the old dictionary would be lost: it stays as it is.
    if (std::rename(nativeTarget.c_str(), nativeBackup.c_str()) != 0) {
      error = std::strerror(errno);
      lines.logFormat(texts::kCouldNotKeepBackupLog, backup.c_str(), error.c_str());
      lines.logFormat(texts::kCouldNotUpdateLog, target.c_str());
      return false;
    }
  }
  if (temporary.commit(&error)) return true;
  lines.logMessage(platform::utf8ToCp1252(error).value_or(error) + "\n");
  lines.logFormat(texts::kCouldNotUpdateLog, target.c_str());
  // The old dictionary goes back to its own name; when even that fails, the
  // log says where it is.
  if (replacing && std::rename(nativeBackup.c_str(), nativeTarget.c_str()) != 0) {
    lines.logFormat(texts::kPreviousKeptAsLog, backup.c_str());
  }
  return false;
}

}  // namespace kea
