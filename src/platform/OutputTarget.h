// Writing a file that a user named: the one way every program of KEA puts
// a dictionary, a word list or saved results in place.
//
// What the name stands for decides how it is written:
//   - nothing yet, or a regular file: the content is written to a new file
//     in the same folder, which takes the name only once it is complete
//     (an interrupted or failed write leaves the old file as it was). A
//     replaced file's permissions, and its owner where the system allows,
//     go to the new one.
//   - a symbolic link: the same, for the file it leads to, in that file's
//     folder; the link stays a link.
//   - a named pipe, a device such as /dev/null, or a descriptor name such
//     as /dev/stdout: the content is written into it as a stream. A pipe
//     that nothing reads from is refused rather than waited on.
//   - a folder, a socket or a disk device: refused with a message; nothing
//     is ever unlinked or renamed over it.
//
// The new file has no name while it is written (O_TMPFILE) where the file
// system allows, so a killed program leaves nothing behind. Elsewhere it is
// a hidden ".NAME.xxxxxx.tmp" beside the target, locked while its program
// runs; each run removes the unlocked ones of its own target, which a
// killed run left. The name fits however long the target's name is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace kea::platform {

class OutputTarget {
 public:
  // `nativeName`: the operating system's name of the target.
  explicit OutputTarget(std::string nativeName);
  // Whatever was not committed goes: the temporary file is removed and the
  // target is left as it was.
  ~OutputTarget();
  OutputTarget(const OutputTarget&) = delete;
  OutputTarget& operator=(const OutputTarget&) = delete;

  // A regular file that is replaced is kept in its folder under its own
  // name after `prefix` ("Backup of words.kkd" for "Backup of "), replacing
  // an earlier backup; the name is that of the file replaced, wherever
  // symbolic links led. Set before open().
  void keepReplacedFileWithPrefix(std::string prefix) { backupPrefix_ = std::move(prefix); }

  // Looks at the target and makes the place to write into. `seekable`: the
  // writer goes back to what it wrote (a dictionary's header comes last),
  // so a stream target gets a scratch file whose bytes it receives at
  // commit(). False, with a sentence in `error`, when the target cannot be
  // written at all.
  bool open(std::string* error, bool seekable = false);

  // Where to write, after a successful open(); the descriptor stays this
  // object's.
  int descriptor() const { return fd_; }
  // Whether the content goes into a stream rather than a file.
  bool isStream() const { return form_ == Form::Stream || form_ == Form::ScratchForStream; }
  // Whether a regular file is being replaced.
  bool replacesFile() const { return replacing_; }
  // The file that takes the content: the target, or where its symbolic
  // links lead (the operating system's name).
  const std::string& destination() const { return destination_; }
  const std::string& target() const { return target_; }
  // The backup's full name (empty when none is kept).
  std::string backupPath() const;

  enum class Commit {
    Done,
    Failed,        // the content could not be finished or put in place; `error` says why
    NoBackup,      // the replaced file could not be kept as its backup, so it was not replaced
    Interrupted,   // a termination signal came first: nothing was replaced
  };
  // Finishes the content and puts it in place; after anything but Done
  // the target is as it was and no temporary file is left.
  Commit commit(std::string* error);

 private:
  enum class Form { Closed, File, Stream, ScratchForStream };

  bool openFile(const std::string& folder, const std::string& name, std::string* error);
  bool openStream(bool seekable, std::string* error);
  bool createNamedTemporary(std::string* error);
  // Gives the file made with O_TMPFILE a temporary name.
  bool nameUnnamed(std::string* error);
  Commit commitFile(std::string* error);
  Commit commitStream(std::string* error);
  void abandon();

  std::string target_;
  std::string destination_;
  std::string folder_;
  std::string name_;
  std::string backupPrefix_;
  Form form_ = Form::Closed;
  int fd_ = -1;
  int streamFd_ = -1;
  bool unnamed_ = false;
  bool replacing_ = false;
  // The replaced file's owner and mode, for the new one.
  uid_t owner_ = 0;
  gid_t group_ = 0;
  unsigned mode_ = 0;
  std::string temporaryPath_;
  int registration_ = -1;
};

// The backup name of a file named `name`: `prefix` and the name, its stem
// shortened (on a whole UTF-8 character) where the whole would pass the 255
// bytes a name may have; the extension stays.
std::string backupNameFor(std::string_view prefix, std::string_view name);

// The hidden temporary name for a target named `name` with the six
// characters `unique`: ".NAME.unique.tmp", the name shortened as needed so
// that the whole stays within 255 bytes.
std::string temporaryNameFor(std::string_view name, std::string_view unique);

// Removes, from `folder`, the temporary files of target `name` that no live
// program holds; returns how many went.
int removeStaleTemporaries(const std::string& folder, std::string_view name);

// Writes `bytes` as the whole content of the target, by the rules above; a
// regular file it replaces is kept under `backupPrefix` and its name, when
// a prefix is given. False, with a sentence in `error`, when it was not
// written.
bool writeWholeFile(const std::string& nativeName, std::string_view bytes, std::string* error,
                    std::string_view backupPrefix = {});

// Writes all of `bytes` to a descriptor, going on after short writes and
// interrupted calls; false with errno set on failure.
bool writeAll(int fd, const void* bytes, std::size_t size);

}  // namespace kea::platform
