#include "builder/CompanionFileWriter.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "builder/OutputFile.h"
#include "builder/TemporaryTarget.h"
#include "platform/Cp1252.h"
#include "platform/File.h"

namespace kea {

bool writeCompanionFile(const std::string& path, std::string_view magic, const DictionaryFingerprint& dictionary,
                        std::string_view payload, std::string* error, CompanionHash hash) {
  TemporaryTarget target(platform::nativePath(path));
  if (!target.create(error)) return false;
  // The temporary name is the companion's own plus ASCII, so it converts back.
  std::unique_ptr<OutputFile> file = createOutputFile(platform::utf8ToCp1252(target.path()).value_or(path));
  if (!file) {
    if (error) *error = "cannot write " + target.path();
    return false;
  }
  const std::string bytes = frameCompanion(magic, dictionary, payload, hash);
  file->write(bytes);
  if (!file->close()) {
    if (error) *error = "cannot write " + path + " (disk full?)";
    return false;
  }
  return target.commit(error);
}

bool removeCompanionFile(const std::string& path) {
  return ::unlink(platform::nativePath(path).c_str()) == 0 || errno == ENOENT;
}

}  // namespace kea
