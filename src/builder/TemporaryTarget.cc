#include "builder/TemporaryTarget.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace kea {
namespace {

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

TemporaryTarget::~TemporaryTarget() {
  if (!path_.empty() && !committed_) ::unlink(path_.c_str());
}

bool TemporaryTarget::create(std::string* error) {
  const std::string folder = folderOf(target_);
  const std::string prefix = (folder == "/" ? "" : folder) + "/." + nameOf(target_) + ".";
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "%06llx.tmp", static_cast<unsigned long long>(random() & 0xFFFFFF));
    const std::string candidate = prefix + suffix;
    // 0666 before the umask, as for any new file, unlike mkstemp's 0600.
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      path_ = candidate;
      return true;
    }
    if (errno != EEXIST) {
      if (error) *error = "cannot create a file in " + folder + ": " + std::strerror(errno);
      return false;
    }
  }
  if (error) *error = "cannot find a free temporary name in " + folder;
  return false;
}

bool TemporaryTarget::commit(std::string* error) {
  if (path_.empty() || committed_) return committed_;
  if (::rename(path_.c_str(), target_.c_str()) != 0) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  committed_ = true;
  // Make the new name itself durable.
  const int folder = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return true;
}

}  // namespace kea
