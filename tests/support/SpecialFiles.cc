#include "support/SpecialFiles.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace kea::test {

bool makeNamedPipe(const std::string& path) { return ::mkfifo(path.c_str(), 0644) == 0; }

bool makeSocket(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return bound;
}

bool makeCharacterDevice(const std::string& path, unsigned major, unsigned minor) {
  if (::mknod(path.c_str(), S_IFCHR | 0666, makedev(major, minor)) != 0) return false;
  // A folder on a file system mounted without devices holds the node but
  // will not open it. Opening one of these three for reading does nothing.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    ::unlink(path.c_str());
    return false;
  }
  ::close(fd);
  return true;
}

bool makeSparseFile(const std::string& path, std::uint64_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool made = ::ftruncate(fd, static_cast<off_t>(size)) == 0;
  ::close(fd);
  return made;
}

bool runningAsRoot() { return ::geteuid() == 0; }

unsigned fileMode(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

}  // namespace kea::test
