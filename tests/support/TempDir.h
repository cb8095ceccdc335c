// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kea::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of a file in the folder.
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  // The names of what the folder holds, sorted: for checks that nothing
  // was left behind.
  std::vector<std::string> names() const;

 private:
  std::filesystem::path path_;
};

// Writes bytes to a file, replacing it.
void writeFile(const std::string& path, const std::string& bytes);
// Reads a whole file; empty when it cannot be read.
std::string readFile(const std::string& path);

}  // namespace kea::test
