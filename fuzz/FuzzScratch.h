// The one scratch file a fuzz target's process works in: in memory-backed
// storage when the system has some, removed when the process ends.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace kea::fuzz {

inline const std::string& scratchPath() {
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

// Replaces the scratch file's bytes with the input.
inline void writeScratch(const std::uint8_t* data, std::size_t size) {
  std::FILE* out = std::fopen(scratchPath().c_str(), "wb");
  if (!out) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, out) != size) std::abort();
  std::fclose(out);
}

}  // namespace kea::fuzz
