#include "platform/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

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

FileKind fileKindOfMode(unsigned mode) {
  switch (mode & S_IFMT) {
    case S_IFREG:
      return FileKind::Regular;
    case S_IFDIR:
      return FileKind::Folder;
    case S_IFIFO:
      return FileKind::NamedPipe;
    case S_IFSOCK:
      return FileKind::Socket;
    case S_IFCHR:
      return FileKind::CharacterDevice;
    case S_IFBLK:
      return FileKind::BlockDevice;
    default:
      return FileKind::Other;
  }
}

FileKind fileKindOf(const std::string& nativeName) {
  struct stat st;
  if (::stat(nativeName.c_str(), &st) != 0) return FileKind::Missing;
  return fileKindOfMode(st.st_mode);
}

std::string_view fileKindText(FileKind kind) {
  switch (kind) {
    case FileKind::Missing:
      return "missing";
    case FileKind::Regular:
      return "a file";
    case FileKind::Folder:
      return "a folder";
    case FileKind::NamedPipe:
      return "a named pipe";
    case FileKind::Socket:
      return "a socket";
    case FileKind::CharacterDevice:
      return "a device";
    case FileKind::BlockDevice:
      return "a disk device";
    case FileKind::Other:
      break;
  }
  return "a special file";
}

std::string sizeText(std::uint64_t bytes) {
  constexpr std::uint64_t kMiB = 1024 * 1024;
  if (bytes >= 1024 * kMiB && bytes % (1024 * kMiB) == 0) return std::to_string(bytes / (1024 * kMiB)) + " GiB";
  if (bytes >= kMiB && bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
  return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

bool sameFile(std::string_view a, std::string_view b) {
  if (a == b) return true;
  struct stat first {}, second {};
  if (::stat(nativePath(a).c_str(), &first) != 0 || ::stat(nativePath(b).c_str(), &second) != 0) return false;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

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

OpenError ReadOnlyFile::fail(OpenError error, FileKind kind, int systemError) {
  kindFound_ = kind;
  systemError_ = systemError;
  return error;
}

OpenError ReadOnlyFile::open(std::string_view path) { return openNative(nativePath(path)); }

OpenError ReadOnlyFile::openNative(const std::string& nativeName) {
  close();
  // Looked at before it is opened: opening a device can do something (a
  // watchdog starts, a tape rewinds), and a pipe would wait for a writer.
  struct stat st;
  if (::stat(nativeName.c_str(), &st) != 0) {
    const int error = errno;
    return fail(error == ENOENT || error == ENOTDIR ? OpenError::NotFound : OpenError::Unreadable,
                FileKind::Missing, error);
  }
  if (!S_ISREG(st.st_mode)) return fail(OpenError::NotRegular, fileKindOfMode(st.st_mode), 0);
  // The name may stand for something else by the time it is opened: never
  // wait, never become a terminal's process, and look again at what opened.
  const int fd = ::open(nativeName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    const int error = errno;
    if (error == EMFILE || error == ENFILE) return fail(OpenError::TooManyFiles, FileKind::Regular, error);
    return fail(error == ENOENT ? OpenError::NotFound : OpenError::Unreadable, FileKind::Missing, error);
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int error = errno;
    ::close(fd);
    return fail(OpenError::NotRegular, fileKindOfMode(st.st_mode), error);
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  fd_ = fd;
  return fail(OpenError::None, FileKind::Regular, 0);
}

OpenError ReadOnlyFile::openSame(const ReadOnlyFile& other) {
  if (&other == this) return isOpen() ? OpenError::None : fail(OpenError::NotFound, FileKind::Missing, EBADF);
  close();
  if (other.fd_ < 0) return fail(OpenError::NotFound, FileKind::Missing, EBADF);
  const int fd = ::fcntl(other.fd_, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) {
    const int error = errno;
    return fail(error == EMFILE || error == ENFILE ? OpenError::TooManyFiles : OpenError::Unreadable,
                FileKind::Regular, error);
  }
  fd_ = fd;
  return fail(OpenError::None, FileKind::Regular, 0);
}

void ReadOnlyFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

std::string ReadOnlyFile::failureText(std::string_view shownName, std::string_view expected) const {
  return std::string(shownName) + " " + failureReason(expected);
}

std::string ReadOnlyFile::failureReason(std::string_view expected) const {
  if (kindFound_ != FileKind::Missing && kindFound_ != FileKind::Regular) {
    return "is " + std::string(fileKindText(kindFound_)) + ", not " + std::string(expected);
  }
  if (systemError_ == ENOENT || systemError_ == ENOTDIR) return "was not found";
  if (systemError_ == EMFILE || systemError_ == ENFILE) return "cannot be opened: too many files are open";
  if (systemError_ == 0) return "cannot be read";
  return "cannot be read: " + std::string(std::strerror(systemError_));
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

namespace {

// Appends what `fd` gives until its end or until more than `limit` bytes
// came; false with errno set on a read error.
bool readUpTo(int fd, std::uint64_t limit, std::string& out, bool& tooLarge) {
  tooLarge = false;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (out.size() + static_cast<std::size_t>(n) > limit) {
      tooLarge = true;
      return true;
    }
    out.append(buffer, static_cast<std::size_t>(n));
  }
}

}  // namespace

bool readWholeFile(const std::string& nativeName, std::uint64_t limit, std::string& out, std::string* error,
                   std::string_view expected) {
  out.clear();
  ReadOnlyFile file;
  if (file.openNative(nativeName) != OpenError::None) {
    if (error) *error = file.failureText(nativeName, expected);
    return false;
  }
  const auto stamp = file.stamp();
  // A sparse file can claim a hundred gigabytes and hold nothing but
  // zeros; its size says so before anything is read.
  if (stamp && stamp->size > limit) {
    if (error) *error = nativeName + " is too large: more than " + sizeText(limit);
    return false;
  }
  if (stamp) out.reserve(static_cast<std::size_t>(stamp->size));
  // A file that grows while it is read is held to the same limit.
  bool tooLarge = false;
  if (!readUpTo(file.descriptor(), limit, out, tooLarge)) {
    const int reason = errno;
    out.clear();
    if (error) *error = nativeName + " cannot be read: " + std::strerror(reason);
    return false;
  }
  if (tooLarge) {
    out.clear();
    if (error) *error = nativeName + " is too large: more than " + sizeText(limit);
    return false;
  }
  return true;
}

bool readWholeStream(int fd, std::uint64_t limit, std::string& out, std::string* error,
                     std::string_view shownName) {
  out.clear();
  bool tooLarge = false;
  if (!readUpTo(fd, limit, out, tooLarge)) {
    const int reason = errno;
    out.clear();
    if (error) *error = "cannot read " + std::string(shownName) + ": " + std::strerror(reason);
    return false;
  }
  if (tooLarge) {
    out.clear();
    if (error) *error = std::string(shownName) + " is too large: more than " + sizeText(limit);
    return false;
  }
  return true;
}

}  // namespace kea::platform
