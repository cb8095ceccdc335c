#include "builder/OutputFile.h"

#include "platform/File.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace kea {
namespace {

// A file descriptor behind a 1 MB buffer: the builder makes many small
// writes (two bytes at a time for word lists).
class PosixOutputFile : public OutputFile {
 public:
  explicit PosixOutputFile(int fd) : fd_(fd) { buffer_.reserve(kBufferSize); }
  ~PosixOutputFile() override {
    if (fd_ >= 0) ::close(fd_);
  }

  bool write(const void* data, std::size_t size) override {
    if (failed_) return false;
    const auto* bytes = static_cast<const char*>(data);
    position_ += size;
    if (buffer_.size() + size > kBufferSize) {
      if (!flush()) return false;
      if (size >= kBufferSize) return writeAll(bytes, size);
    }
    buffer_.insert(buffer_.end(), bytes, bytes + size);
    return true;
  }

  bool seek(std::uint64_t offset) override {
    if (failed_ || !flush()) return false;
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) return fail();
    position_ = offset;
    return true;
  }

  std::uint64_t position() const override { return position_; }

  bool close() override {
    if (fd_ < 0) return !failed_;
    flush();
    if (!failed_ && ::fsync(fd_) != 0 && errno != EINVAL) fail();
    if (::close(fd_) != 0) fail();
    fd_ = -1;
    return !failed_;
  }

  bool failed() const override { return failed_; }

 private:
  static constexpr std::size_t kBufferSize = 1 << 20;

  bool fail() {
    failed_ = true;
    return false;
  }

  bool flush() {
    if (buffer_.empty()) return !failed_;
    const bool ok = writeAll(buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok;
  }

  bool writeAll(const char* bytes, std::size_t size) {
    while (size > 0) {
      const ssize_t n = ::write(fd_, bytes, size);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return fail();
      bytes += n;
      size -= static_cast<std::size_t>(n);
    }
    return true;
  }

  int fd_;
  std::vector<char> buffer_;
  std::uint64_t position_ = 0;
  bool failed_ = false;
};

}  // namespace

std::unique_ptr<OutputFile> createOutputFile(const std::string& path) {
  // Library paths are Windows-1252 text; the file system wants UTF-8.
  const int fd = ::open(platform::nativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  return std::make_unique<PosixOutputFile>(fd);
}

std::unique_ptr<OutputFile> outputFileOnDescriptor(int fd) {
  const int copy = fd < 0 ? -1 : ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (copy < 0) return nullptr;
  return std::make_unique<PosixOutputFile>(copy);
}

bool MemoryOutputFile::write(const void* data, std::size_t size) {
  if (failed_) return false;
  std::size_t fits = size;
  if (position_ >= capacity_) {
    fits = 0;
  } else if (capacity_ - position_ < size) {
    fits = static_cast<std::size_t>(capacity_ - position_);
  }
  if (bytes_.size() < position_ + fits) bytes_.resize(position_ + fits);
  if (fits > 0) std::memcpy(bytes_.data() + position_, data, fits);
  position_ += fits;
  if (fits < size) failed_ = true;
  return !failed_;
}

bool MemoryOutputFile::seek(std::uint64_t offset) {
  if (failed_) return false;
  position_ = offset;
  return true;
}

}  // namespace kea
