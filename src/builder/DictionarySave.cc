#include "builder/DictionarySave.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "builder/BlockSummaryWriter.h"
#include "platform/Cp1252.h"
#include "platform/File.h"
#include "platform/OutputTarget.h"

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
  return std::string(target.substr(0, start)) + platform::backupNameFor(texts::kBackupPrefix, target.substr(start));
}

namespace {

// The scores, word pairs and block summaries of a dictionary just put in
// place; without them it still works, and the log says what is missing.
void writeCompanions(DictionaryMaintainer& lines, const std::string& target, CompanionData* companions) {
  std::string error;
  CompanionData none;
  if (!writeDictionaryCompanions(target, companions != nullptr ? *companions : none, &error)) {
    lines.logMessage("The commonness scores were not saved beside \"" + target + "\": " +
                     platform::utf8ToCp1252(error).value_or(error) + "\n");
  }
  // Without its block summaries the dictionary works; scans are slower.
  if (std::string why; !writeBlockSummaries(target, &why)) lines.logMessage("No block summaries were written: " + why + "\n");
}

}  // namespace

bool saveDictionary(DictionaryMaintainer& lines, const std::array<std::uint8_t, 256>& alphabet,
                    const std::string& target, const std::string& description, int shortest, int longest,
                    const BuildEnvironment& environment, bool backup, CompanionData* companions) {
  platform::OutputTarget output(platform::nativePath(target));
  if (backup) output.keepReplacedFileWithPrefix(std::string(texts::kBackupPrefix));
  std::string error;
  const auto logError = [&] { lines.logMessage(platform::utf8ToCp1252(error).value_or(error) + "\n"); };
  if (!output.open(&error, true)) {
    // The file could not be made at all: the builder's own words for it,
    // then why.
    lines.logFormat(texts::kCouldNotOpenLog, target.c_str());
    logError();
    return false;
  }
  BuildEnvironment building = environment;
  // The environment's own createOutput (a test's) replaces the real file;
  // by default the builder writes where the target made room.
  if (!environment.createOutput) {
    building.createOutput = [&output](const std::string&) { return outputFileOnDescriptor(output.descriptor()); };
  }
  if (!buildDictionary(lines, alphabet, target, description, shortest, longest, building)) return false;

  switch (output.commit(&error)) {
    case platform::OutputTarget::Commit::Done:
      // What belongs beside a dictionary file; a stream has nothing beside it.
      if (!output.isStream()) writeCompanions(lines, target, companions);
      return true;
    case platform::OutputTarget::Commit::NoBackup: {
      const std::string backupName = platform::utf8ToCp1252(output.backupPath()).value_or(output.backupPath());
      const std::string reason = platform::utf8ToCp1252(error).value_or(error);
      lines.logFormat(texts::kCouldNotKeepBackupLog, backupName.c_str(), reason.c_str());
      break;
    }
    case platform::OutputTarget::Commit::Interrupted:
      lines.logMessage("Dictionary creation abandoned\n");
      break;
    case platform::OutputTarget::Commit::Failed:
      logError();
      break;
  }
  lines.logFormat(texts::kCouldNotUpdateLog, target.c_str());
  return false;
}

}  // namespace kea
