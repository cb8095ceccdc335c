// Where the builder's bytes go. The builder writes through this small
// interface so that a test can watch the bytes in memory or make the
// "disk" fill up after a given number of bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kea {

class OutputFile {
 public:
  virtual ~OutputFile() = default;

  // Appends at the current position. False when not every byte was written;
  // the failure is sticky (see failed()).
  virtual bool write(const void* data, std::size_t size) = 0;
  bool write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }

  // Moves the write position; false when that cannot be done.
  virtual bool seek(std::uint64_t offset) = 0;

  // The current write position.
  virtual std::uint64_t position() const = 0;

  // Pushes everything written so far to its destination and releases it;
  // false when any write, the seek or the final flush failed.
  virtual bool close() = 0;

  // True once any write or seek has failed.
  virtual bool failed() const = 0;
};

// Creates (or truncates) a file for writing; nullptr when it cannot be
// created. Writes are buffered; a full disk shows up as a failed write, at
// the latest in close().
std::unique_ptr<OutputFile> createOutputFile(const std::string& path);

// Writes to a copy of an open descriptor (one an OutputTarget made), from
// its current position; nullptr when no copy can be made.
std::unique_ptr<OutputFile> outputFileOnDescriptor(int fd);

// Keeps the bytes in memory. With a capacity, a write that would go beyond
// it stores only the bytes that fit and fails, as a full disk would.
class MemoryOutputFile : public OutputFile {
 public:
  static constexpr std::uint64_t kUnlimited = ~std::uint64_t{0};

  explicit MemoryOutputFile(std::uint64_t capacity = kUnlimited) : capacity_(capacity) {}

  bool write(const void* data, std::size_t size) override;
  using OutputFile::write;
  bool seek(std::uint64_t offset) override;
  std::uint64_t position() const override { return position_; }
  bool close() override { return !failed_; }
  bool failed() const override { return failed_; }

  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
  std::uint64_t position_ = 0;
  std::uint64_t capacity_;
  bool failed_ = false;
};

}  // namespace kea
