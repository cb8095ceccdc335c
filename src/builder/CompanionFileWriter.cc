#include "builder/CompanionFileWriter.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/File.h"
#include "platform/OutputTarget.h"

namespace kea {

bool writeCompanionFile(const std::string& path, std::string_view magic, const DictionaryFingerprint& dictionary,
                        std::string_view payload, std::string* error) {
  // Written as every file KEA names is written: complete, or not at all.
  platform::OutputTarget target(platform::nativePath(path));
  if (!target.open(error)) return false;
  const std::string bytes = frameCompanion(magic, dictionary, payload);
  if (!platform::writeAll(target.descriptor(), bytes.data(), bytes.size())) {
    if (error) *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  return target.commit(error) == platform::OutputTarget::Commit::Done;
}

bool removeCompanionFile(const std::string& path) {
  return ::unlink(platform::nativePath(path).c_str()) == 0 || errno == ENOENT;
}

}  // namespace kea
