#include "platform/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/Cp1252.h"

namespace kea::platform {

namespace {

std::int64_t nanoseconds(const struct timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

std::optional<FileStamp> stampOf(const struct stat& st) {
  if (!S_ISREG(st.st_mode)) return std::nullopt;
  return FileStamp{nanoseconds(st.st_mtim), static_cast<std::uint64_t>(st.st_size)};
}

}  // namespace

std::string nativePath(std::string_view path) { return cp1252ToUtf8(path); }

std::optional<FileStamp> fileStamp(std::string_view path) {
  struct stat st;
  if (::stat(nativePath(path).c_str(), &st) != 0) return std::nullopt;
  return stampOf(st);
}

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

OpenError ReadOnlyFile::open(std::string_view path) {
  close();
  const int fd = ::open(nativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return (errno == EMFILE || errno == ENFILE) ? OpenError::TooManyFiles : OpenError::NotFound;
  struct stat st;
  // A folder opens for reading on Linux but is no dictionary.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return OpenError::NotFound;
  }
  fd_ = fd;
  return OpenError::None;
}

void ReadOnlyFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

std::optional<FileStamp> ReadOnlyFile::stamp() const {
  struct stat st;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return std::nullopt;
  return stampOf(st);
}

std::size_t ReadOnlyFile::readAt(std::uint64_t offset, void* into, std::size_t count) const {
  if (fd_ < 0) return 0;
  auto* out = static_cast<char*>(into);
  std::size_t done = 0;
  while (done < count) {
    if (offset + done > static_cast<std::uint64_t>(LLONG_MAX)) break;
    const ssize_t n = ::pread(fd_, out + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

}  // namespace kea::platform
