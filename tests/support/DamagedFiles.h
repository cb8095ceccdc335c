// Helpers for tests that open thousands of damaged dictionary files: a
// scratch file in memory-backed storage, and the check that damaged bytes
// either open and decode to a clean end or are reported invalid.
#pragma once

#include <string>

namespace kea::test {

// One file, in /dev/shm when the system has it, removed at the end.
class ScratchFile {
 public:
  ScratchFile();
  ~ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Writes `bytes` to the scratch file, opens it as a dictionary and decodes
// every word list, both sections. Fails the calling test when the file
// neither opens nor reports "-- INVALID DICTIONARY FILE --", or when a
// decoded entry breaks the word buffer's limits. Returns whether it opened.
bool openAndDecodeAll(const ScratchFile& scratch, const std::string& bytes);

}  // namespace kea::test
