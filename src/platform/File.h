// Read-only file access for the dictionary reader and the word cursor, and
// the file facts (size and last-write time) that tell a rebuilt file apart.
//
// Paths inside the library are Windows-1252 text like every other text; they
// become the operating system's UTF-8 file names only here, at the edge.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kea::platform {

// The operating system's name for a library path (Windows-1252 to UTF-8).
std::string nativePath(std::string_view path);

// What is known about a file without reading it.
struct FileStamp {
  // Last-write time in nanoseconds since the epoch; compared for equality only.
  std::int64_t lastWriteTime = 0;
  std::uint64_t size = 0;

  bool operator==(const FileStamp&) const = default;
};

// The stamp of a regular file, or nothing when it does not exist or cannot
// be examined.
std::optional<FileStamp> fileStamp(std::string_view path);

// Why a file could not be opened.
enum class OpenError {
  None,
  NotFound,      // missing, not a regular file, or not readable
  TooManyFiles,  // the process or the system is out of file handles
};

// A file opened for reading only. Reads name their offset, so several
// readers can share what they know about a file without sharing a position.
class ReadOnlyFile {
 public:
  ReadOnlyFile() = default;
  ~ReadOnlyFile() { close(); }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  ReadOnlyFile(ReadOnlyFile&& other) noexcept;
  ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;

  // Opens an existing regular file; closes whatever was open before.
  OpenError open(std::string_view path);
  void close();
  bool isOpen() const { return fd_ >= 0; }

  // The stamp of the open file itself (not of whatever the path names now).
  std::optional<FileStamp> stamp() const;

  // Reads up to `count` bytes at `offset`; returns how many were read, which
  // is less than `count` only at the end of the file or on a read error.
  std::size_t readAt(std::uint64_t offset, void* into, std::size_t count) const;

 private:
  int fd_ = -1;
};

}  // namespace kea::platform
