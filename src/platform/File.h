// Read-only file access for the dictionary reader and the word cursor, the
// file facts (size and last-write time) that tell a rebuilt file apart, and
// the one safe way to read a file named by a user.
//
// A name can stand for a named pipe, a socket, a device or a folder as well
// as a file. Opening a pipe for reading waits for a writer, a device may
// never end or may act on being opened, so every file read by name is
// examined first and opened only when it is a regular file, and then
// without waiting; anything else is refused with a message that says what
// the name stands for.
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

// Whether two paths name one file: the same text, or the same file on the
// same device (through links, "..", another spelling). Linux file names
// tell letter case apart, so "words.kkd" and "Words.kkd" are two files.
bool sameFile(std::string_view a, std::string_view b);

// The stamp of a regular file, or nothing when it does not exist or cannot
// be examined.
std::optional<FileStamp> fileStamp(std::string_view path);

// What a name in the file system stands for.
enum class FileKind {
  Missing,          // nothing, or nothing that can be examined
  Regular,
  Folder,
  NamedPipe,
  Socket,
  CharacterDevice,  // /dev/null, /dev/zero, a terminal
  BlockDevice,      // a disk
  Other,
};

// What the name stands for, following symbolic links (the operating
// system's name).
FileKind fileKindOf(const std::string& nativeName);
// The kind from a stat() mode.
FileKind fileKindOfMode(unsigned mode);
// "a folder", "a named pipe", "a socket", "a device", "a disk device", ...
std::string_view fileKindText(FileKind kind);

// Why a file could not be opened.
enum class OpenError {
  None,
  NotFound,      // nothing of that name
  NotRegular,    // a folder, pipe, socket or device (see ReadOnlyFile::kindFound)
  Unreadable,    // permission denied, or another error of the system
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

  // Opens an existing regular file (a library path); closes whatever was
  // open before. Nothing else is opened, and nothing waits.
  OpenError open(std::string_view path);
  // The same for the operating system's name of the file.
  OpenError openNative(const std::string& nativeName);
  // Another handle of the file `other` holds (the same file even when its
  // name now stands for another, or for none).
  OpenError openSame(const ReadOnlyFile& other);
  void close();
  bool isOpen() const { return fd_ >= 0; }
  // The descriptor, for reading the file to its end; -1 when not open.
  int descriptor() const { return fd_; }

  // The stamp of the open file itself (not of whatever the path names now).
  std::optional<FileStamp> stamp() const;

  // Reads up to `count` bytes at `offset`; returns how many were read, which
  // is less than `count` only at the end of the file or on a read error.
  std::size_t readAt(std::uint64_t offset, void* into, std::size_t count) const;

  // After a failed open: what the name stood for, and the system's error.
  FileKind kindFound() const { return kindFound_; }
  int systemError() const { return systemError_; }
  // Why the last open failed, as a sentence about `shownName`:
  // "NAME is a named pipe, not EXPECTED", "NAME was not found",
  // "NAME cannot be read: Permission denied".
  std::string failureText(std::string_view shownName, std::string_view expected) const;
  // The same without the name: "is a named pipe, not EXPECTED".
  std::string failureReason(std::string_view expected) const;

 private:
  OpenError fail(OpenError error, FileKind kind, int systemError);

  int fd_ = -1;
  FileKind kindFound_ = FileKind::Missing;
  int systemError_ = 0;
};

// Reads a whole regular file (the operating system's name) into `out`,
// refusing anything but a regular file and any file of more than `limit`
// bytes, so that a name for /dev/zero or a sparse file of a hundred
// gigabytes is answered at once. False, with a sentence about the file in
// `error` ("words is a named pipe, not a text file"), when it cannot be read.
bool readWholeFile(const std::string& nativeName, std::uint64_t limit, std::string& out, std::string* error,
                   std::string_view expected = "a text file");

// Reads an open descriptor (standard input, say) to its end, refusing more
// than `limit` bytes; `shownName` names it in the message.
bool readWholeStream(int fd, std::uint64_t limit, std::string& out, std::string* error,
                     std::string_view shownName);

// "1 GiB", "64 MiB", "512 bytes": a limit for a message.
std::string sizeText(std::uint64_t bytes);

}  // namespace kea::platform
