// Open arbitrary bytes as a dictionary, then decode every word list: the
// reader must either reject the file or decode it to a clean end, never
// read outside a buffer and never hang.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "dictionary/KKDictionaryList.h"
#include "dictionary/WordListDecoder.h"

namespace {

// One scratch file for the whole run, in memory-backed storage when there is some.
const std::string& scratchPath() {
  static const std::string path = [] {
    const char* folder = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(folder) + "/kea-fuzz-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) std::abort();
    close(fd);
    std::atexit([] { std::remove(scratchPath().c_str()); });
    return pattern;
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = scratchPath();
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, out) != size) std::abort();
  std::fclose(out);

  kea::KKDictionaryList::Dictionary dictionary(path);
  dictionary.open(true);
  std::string summary;
  dictionary.describe(summary);
  int entries, definitions, shortest, longest;
  dictionary.statistics(entries, definitions, shortest, longest);
  if (!dictionary.isOpen()) return 0;
  for (int length = 0; length <= kea::kkd::kMaxLengthSlots; ++length) {
    bool complete = false;
    const auto list = kea::decodeWordList(dictionary, length, &complete);
    // Every entry takes at least one bit of the file.
    if (list.size() > size * 8) std::abort();
    for (const auto& entry : list) {
      if (entry.text.size() + entry.annotation.size() + 2 > kea::WordBuffer::kRawSize) std::abort();
      for (const std::uint8_t k : entry.key) {
        if (k >= dictionary.alphabetSize()) std::abort();
      }
    }
  }
  return 0;
}
