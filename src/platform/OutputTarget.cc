#include "platform/OutputTarget.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>

#include "platform/File.h"
#include "platform/Termination.h"

namespace kea::platform {

namespace {

constexpr std::size_t kMaxNameBytes = NAME_MAX;
constexpr std::size_t kUniqueLength = 6;
constexpr std::string_view kTemporarySuffix = ".tmp";

std::string reasonText(int error) { return std::strerror(error); }

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string inFolder(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

// A name under /proc/PID/fd or /dev/fd stands for an open descriptor, not
// for a file that could be replaced.
bool isDescriptorName(const std::string& path) {
  if (path.rfind("/dev/fd/", 0) == 0) return true;
  return path.rfind("/proc/", 0) == 0 && path.find("/fd/") != std::string::npos;
}

// The number of this process's own descriptor that a descriptor name
// stands for (/dev/stdout leads to /proc/self/fd/1), or -1.
int ownDescriptor(const std::string& path) {
  std::string_view rest;
  for (const std::string_view prefix : {std::string_view("/dev/fd/"), std::string_view("/proc/self/fd/"),
                                        std::string_view("/proc/thread-self/fd/")}) {
    if (path.rfind(prefix, 0) == 0) rest = std::string_view(path).substr(prefix.size());
  }
  const std::string own = "/proc/" + std::to_string(::getpid()) + "/fd/";
  if (path.rfind(own, 0) == 0) rest = std::string_view(path).substr(own.size());
  if (rest.empty() || rest.size() > 9) return -1;
  int fd = 0;
  for (const char c : rest) {
    if (c < '0' || c > '9') return -1;
    fd = fd * 10 + (c - '0');
  }
  return fd;
}

// Follows symbolic links by their text, so that a dangling link leads to
// the file it would create. Stops at a descriptor name.
bool resolveLinks(const std::string& path, std::string& resolved, bool& descriptor, std::string* error) {
  resolved = path;
  descriptor = false;
  for (int hops = 0; hops < 40; ++hops) {
    if (isDescriptorName(resolved)) {
      descriptor = true;
      return true;
    }
    struct stat st;
    if (::lstat(resolved.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    std::string text(PATH_MAX, '\0');
    const ssize_t n = ::readlink(resolved.c_str(), text.data(), text.size());
    if (n < 0 || static_cast<std::size_t>(n) >= text.size()) {
      if (error) *error = "cannot follow the symbolic link " + resolved;
      return false;
    }
    text.resize(static_cast<std::size_t>(n));
    resolved = text[0] == '/' ? text : inFolder(folderOf(resolved), text);
  }
  if (error) *error = path + " leads through too many symbolic links";
  return false;
}

std::string uniqueText() {
  static std::mt19937_64 random(std::random_device{}());
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string text(kUniqueLength, '0');
  for (char& c : text) c = kDigits[random() % 36];
  return text;
}

bool isUniqueText(std::string_view text) {
  if (text.size() != kUniqueLength) return false;
  for (const char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'))) return false;
  }
  return true;
}

// Locks a temporary file as its program's own; false when another holds
// it or it was removed before the lock was taken.
bool lockAsOwn(int fd) {
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return false;
  struct stat st;
  return ::fstat(fd, &st) == 0 && st.st_nlink > 0;
}

void syncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// A file with no name in the system's temporary folder, for the bytes of a
// seekable content bound for a stream.
int createScratchFile() {
  const char* folder = std::getenv("TMPDIR");
  std::string base = folder != nullptr && *folder != '\0' ? folder : "/tmp";
  int fd = ::open(base.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0) return fd;
  std::string pattern = base + "/kea-XXXXXX";
  fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd >= 0) ::unlink(pattern.c_str());
  return fd;
}

}  // namespace

namespace {

// The first `bytes` bytes of `text`, fewer when that would cut a UTF-8
// character.
std::string_view wholeCharacters(std::string_view text, std::size_t bytes) {
  if (bytes >= text.size()) return text;
  while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) --bytes;
  return text.substr(0, bytes);
}

}  // namespace

std::string backupNameFor(std::string_view prefix, std::string_view name) {
  if (prefix.size() + name.size() <= kMaxNameBytes) return std::string(prefix) + std::string(name);
  const std::size_t dot = name.rfind('.');
  const std::string_view extension = dot == std::string_view::npos || name.size() - dot > 16 ? std::string_view()
                                                                                              : name.substr(dot);
  const std::string_view stem = name.substr(0, name.size() - extension.size());
  const std::size_t room = kMaxNameBytes - std::min(kMaxNameBytes, prefix.size() + extension.size());
  return std::string(prefix) + std::string(wholeCharacters(stem, room)) + std::string(extension);
}

std::string temporaryNameFor(std::string_view name, std::string_view unique) {
  const std::size_t room = kMaxNameBytes - 2 - unique.size() - kTemporarySuffix.size();
  const std::string_view kept = wholeCharacters(name, room);
  std::string result = ".";
  result += kept;
  result += '.';
  result += unique;
  result += kTemporarySuffix;
  return result;
}

int removeStaleTemporaries(const std::string& folder, std::string_view name) {
  const std::string model = temporaryNameFor(name, std::string(kUniqueLength, '0'));
  const std::string_view prefix = std::string_view(model).substr(0, model.size() - kUniqueLength - kTemporarySuffix.size());
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return 0;
  int removed = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view candidate = entry->d_name;
    if (candidate.size() != model.size() || !candidate.starts_with(prefix) || !candidate.ends_with(kTemporarySuffix)) {
      continue;
    }
    if (!isUniqueText(candidate.substr(prefix.size(), kUniqueLength))) continue;
    const int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) continue;
    struct stat st;
    // Its program would hold the lock for as long as it runs.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::unlinkat(::dirfd(dir), entry->d_name, 0) == 0) {
      ++removed;
    }
    ::close(fd);
  }
  ::closedir(dir);
  return removed;
}

bool writeAll(int fd, const void* bytes, std::size_t size) {
  const auto* p = static_cast<const char*>(bytes);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // A descriptor shared with others that set O_NONBLOCK: wait for room.
      pollfd room{fd, POLLOUT, 0};
      ::poll(&room, 1, -1);
      continue;
    }
    if (n < 0) return false;
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

OutputTarget::OutputTarget(std::string nativeName) : target_(std::move(nativeName)) {}

OutputTarget::~OutputTarget() { abandon(); }

std::string OutputTarget::backupPath() const {
  if (backupPrefix_.empty() || destination_.empty()) return std::string();
  return inFolder(folderOf(destination_), backupNameFor(backupPrefix_, nameOf(destination_)));
}

void OutputTarget::abandon() {
  if (!temporaryPath_.empty()) ::unlink(temporaryPath_.c_str());
  temporaryPath_.clear();
  TemporaryFiles::remove(registration_);
  registration_ = -1;
  if (fd_ >= 0) ::close(fd_);
  if (streamFd_ >= 0 && streamFd_ != fd_) ::close(streamFd_);
  fd_ = streamFd_ = -1;
  form_ = Form::Closed;
}

bool OutputTarget::open(std::string* error, bool seekable) {
  abandon();
  replacing_ = false;
  if (target_.empty()) {
    if (error) *error = "no file was named";
    return false;
  }
  bool descriptor = false;
  if (!resolveLinks(target_, destination_, descriptor, error)) return false;
  if (descriptor) return openStream(seekable, error);
  struct stat st;
  if (::stat(destination_.c_str(), &st) != 0) {
    if (errno != ENOENT) {
      if (error) *error = "cannot write " + target_ + ": " + reasonText(errno);
      return false;
    }
    return openFile(folderOf(destination_), nameOf(destination_), error);
  }
  switch (fileKindOfMode(st.st_mode)) {
    case FileKind::Regular:
      replacing_ = true;
      owner_ = st.st_uid;
      group_ = st.st_gid;
      mode_ = st.st_mode & 07777;
      return openFile(folderOf(destination_), nameOf(destination_), error);
    case FileKind::NamedPipe:
    case FileKind::CharacterDevice:
      return openStream(seekable, error);
    default:
      if (error) *error = target_ + " is " + std::string(fileKindText(fileKindOfMode(st.st_mode))) + ", not a file";
      return false;
  }
}

bool OutputTarget::openFile(const std::string& folder, const std::string& name, std::string* error) {
  folder_ = folder;
  name_ = name;
  removeStaleTemporaries(folder_, name_);
  // 0666 before the umask, as for any new file; a replaced file's mode
  // comes at commit().
  fd_ = ::open(folder_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  if (fd_ >= 0) {
    unnamed_ = true;
    form_ = Form::File;
    return true;
  }
  // File systems without O_TMPFILE say so in several ways; a missing or
  // unwritable folder answers the same to both ways of making the file.
  unnamed_ = false;
  if (!createNamedTemporary(error)) return false;
  form_ = Form::File;
  return true;
}

bool OutputTarget::createNamedTemporary(std::string* error) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string path = inFolder(folder_, temporaryNameFor(name_, uniqueText()));
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      if (error) *error = "cannot create a file in " + folder_ + ": " + reasonText(errno);
      return false;
    }
    if (!lockAsOwn(fd)) {
      // Another run's clean-up took it between its making and its lock.
      ::close(fd);
      continue;
    }
    fd_ = fd;
    temporaryPath_ = path;
    registration_ = TemporaryFiles::add(path);
    return true;
  }
  if (error) *error = "cannot find a free temporary name in " + folder_;
  return false;
}

bool OutputTarget::nameUnnamed(std::string* error) {
  // The lock guards the name from other runs' clean-up from its first moment.
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if (error) *error = "cannot lock the new file: " + reasonText(errno);
    return false;
  }
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string path = inFolder(folder_, temporaryNameFor(name_, uniqueText()));
    // Through /proc, which any user may; without /proc, the privileged way.
    int linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW);
    if (linked != 0 && errno == ENOENT) linked = ::linkat(fd_, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH);
    if (linked == 0) {
      temporaryPath_ = path;
      registration_ = TemporaryFiles::add(path);
      return true;
    }
    if (errno != EEXIST) {
      if (error) *error = "cannot give the new file a name in " + folder_ + ": " + reasonText(errno);
      return false;
    }
  }
  if (error) *error = "cannot find a free temporary name in " + folder_;
  return false;
}

bool OutputTarget::openStream(bool seekable, std::string* error) {
  // A descriptor of this process's own (standard output as /dev/stdout) is
  // written where it stands, as a redirection set it up; anything else is
  // opened without O_NONBLOCK's absence making a pipe wait for a reader.
  const int own = ownDescriptor(destination_);
  int fd = own >= 0 ? ::fcntl(own, F_DUPFD_CLOEXEC, 0)
                    : ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0 && errno == EISDIR) {
    if (error) *error = target_ + " is a folder, not a file";
    return false;
  }
  if (fd < 0) {
    if (error) {
      *error = errno == ENXIO ? target_ + " is a named pipe that nothing reads from, or a socket"
                              : "cannot write to " + target_ + ": " + reasonText(errno);
    }
    return false;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    if (error) *error = "cannot write to " + target_ + ": " + reasonText(errno);
    ::close(fd);
    return false;
  }
  const FileKind kind = fileKindOfMode(st.st_mode);
  // A descriptor name may stand for a file (standard output sent to one):
  // it is written as a stream too, from where the descriptor stands.
  if (kind != FileKind::NamedPipe && kind != FileKind::CharacterDevice && kind != FileKind::Socket &&
      !(kind == FileKind::Regular && isDescriptorName(destination_))) {
    if (error) *error = target_ + " is " + std::string(fileKindText(kind)) + ", not a file";
    ::close(fd);
    return false;
  }
  // Writes wait for a slow reader, as writes to a pipe do; a shared
  // descriptor keeps its flags, and writeAll waits when it must.
  if (own < 0) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  streamFd_ = fd;
  if (!seekable) {
    fd_ = fd;
    form_ = Form::Stream;
    return true;
  }
  fd_ = createScratchFile();
  if (fd_ < 0) {
    if (error) *error = "cannot make a scratch file for " + target_ + ": " + reasonText(errno);
    abandon();
    return false;
  }
  form_ = Form::ScratchForStream;
  return true;
}

OutputTarget::Commit OutputTarget::commit(std::string* error) {
  if (form_ == Form::Closed) {
    if (error) *error = "nothing was written";
    return Commit::Failed;
  }
  const Commit result = form_ == Form::File ? commitFile(error) : commitStream(error);
  abandon();
  return result;
}

OutputTarget::Commit OutputTarget::commitStream(std::string* error) {
  if (form_ == Form::ScratchForStream) {
    {
      TerminationSignalsHeld held;
      if (held.signalPending()) return Commit::Interrupted;
    }
    if (::lseek(fd_, 0, SEEK_SET) != 0) {
      if (error) *error = "cannot read back the content for " + target_ + ": " + reasonText(errno);
      return Commit::Failed;
    }
    char buffer[65536];
    for (;;) {
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        if (error) *error = "cannot read back the content for " + target_ + ": " + reasonText(errno);
        return Commit::Failed;
      }
      if (n == 0) break;
      if (!writeAll(streamFd_, buffer, static_cast<std::size_t>(n))) {
        if (error) *error = "cannot write to " + target_ + ": " + reasonText(errno);
        return Commit::Failed;
      }
    }
  }
  const int fd = streamFd_;
  streamFd_ = -1;
  if (fd == fd_) fd_ = -1;
  if (::close(fd) != 0 && errno != EINTR) {
    if (error) *error = "cannot write to " + target_ + ": " + reasonText(errno);
    return Commit::Failed;
  }
  return Commit::Done;
}

OutputTarget::Commit OutputTarget::commitFile(std::string* error) {
  // On the disk before it takes the name: a crash then leaves the old file
  // or the new one, never a name for a file with holes.
  if (::fsync(fd_) != 0 && errno != EINVAL) {
    if (error) *error = "cannot write " + destination_ + ": " + reasonText(errno);
    return Commit::Failed;
  }
  if (replacing_) {
    // The owner first: changing it clears the set-user-ID bits that the
    // mode then restores only where the owner stayed.
    const bool owned = ::fchown(fd_, owner_, group_) == 0;
    ::fchmod(fd_, owned ? mode_ : mode_ & 0777);
  }
  TerminationSignalsHeld held;
  if (held.signalPending()) return Commit::Interrupted;
  if (unnamed_ && !nameUnnamed(error)) return Commit::Failed;
  // The target may have become something else while the content was made.
  struct stat st;
  if (::lstat(destination_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    if (error) *error = destination_ + " is now " + std::string(fileKindText(fileKindOfMode(st.st_mode))) + ", not a file";
    return Commit::Failed;
  }
  const bool present = ::lstat(destination_.c_str(), &st) == 0;
  std::string movedAway;
  if (present && !backupPrefix_.empty()) {
    const std::string backup = backupPath();
    if (::unlink(backup.c_str()) != 0 && errno != ENOENT) {
      if (error) *error = reasonText(errno);
      return Commit::NoBackup;
    }
    // A second name for the old file keeps the target's name filled
    // throughout; where the file system has no such names the old file
    // moves to the backup name and comes back if the new one cannot follow.
    if (::link(destination_.c_str(), backup.c_str()) != 0) {
      if (errno != EPERM && errno != EOPNOTSUPP && errno != EXDEV && errno != EMLINK) {
        if (error) *error = reasonText(errno);
        return Commit::NoBackup;
      }
      if (::rename(destination_.c_str(), backup.c_str()) != 0) {
        if (error) *error = reasonText(errno);
        return Commit::NoBackup;
      }
      movedAway = backup;
    }
  }
  if (::rename(temporaryPath_.c_str(), destination_.c_str()) != 0) {
    const int reason = errno;
    if (!movedAway.empty() && ::rename(movedAway.c_str(), destination_.c_str()) != 0 && error) {
      *error = "cannot put the new file in place (" + reasonText(reason) + "); the previous one is " + movedAway;
      return Commit::Failed;
    }
    if (error) *error = "cannot put the new file in place: " + reasonText(reason);
    return Commit::Failed;
  }
  TemporaryFiles::remove(registration_);
  registration_ = -1;
  temporaryPath_.clear();
  syncFolder(folder_);
  return Commit::Done;
}

bool writeWholeFile(const std::string& nativeName, std::string_view bytes, std::string* error,
                    std::string_view backupPrefix) {
  OutputTarget target(nativeName);
  if (!backupPrefix.empty()) target.keepReplacedFileWithPrefix(std::string(backupPrefix));
  if (!target.open(error)) return false;
  if (!writeAll(target.descriptor(), bytes.data(), bytes.size())) {
    if (error) *error = "cannot write " + nativeName + ": " + reasonText(errno);
    return false;
  }
  switch (target.commit(error)) {
    case OutputTarget::Commit::Done:
      return true;
    case OutputTarget::Commit::Interrupted:
      if (error) *error = "interrupted; " + nativeName + " was left as it was";
      return false;
    case OutputTarget::Commit::NoBackup:
      if (error) *error = "cannot keep the backup " + target.backupPath() + " (" + *error + "), so " + nativeName + " was not replaced";
      return false;
    default:
      return false;
  }
}

}  // namespace kea::platform
