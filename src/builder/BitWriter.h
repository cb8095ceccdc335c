// Packs variable-length codes into the word-list bit stream: bits go in
// least significant first and leave as little-endian 16-bit units, so every
// list fills an even number of bytes.
#pragma once

#include <cstdint>
#include <string>

#include "builder/OutputFile.h"

namespace kea {

class BitWriter {
 public:
  explicit BitWriter(OutputFile& out) : out_(out) {}
  ~BitWriter() { drain(); }
  BitWriter(const BitWriter&) = delete;
  BitWriter& operator=(const BitWriter&) = delete;

  // Places the low `count` bits of `value` (count 0 … 32) above the bits
  // already held, least significant first.
  void writeBits(int count, std::uint32_t value) {
    if (count <= 0) return;
    const std::uint64_t mask = (std::uint64_t{1} << count) - 1;
    held_ |= (value & mask) << bits_;
    bits_ += count;
    while (bits_ >= 16) {
      pending_.push_back(static_cast<char>(held_ & 0xFF));
      pending_.push_back(static_cast<char>((held_ >> 8) & 0xFF));
      held_ >>= 16;
      bits_ -= 16;
    }
    if (pending_.size() >= kDrainSize) drain();
  }

  // Writes the partly filled unit, zero-padded, when it holds any bit, and
  // hands everything to the output.
  void flush() {
    if (bits_ > 0) {
      pending_.push_back(static_cast<char>(held_ & 0xFF));
      pending_.push_back(static_cast<char>((held_ >> 8) & 0xFF));
      held_ = 0;
      bits_ = 0;
    }
    drain();
  }

 private:
  static constexpr std::size_t kDrainSize = 1 << 16;

  void drain() {
    if (pending_.empty()) return;
    out_.write(pending_);
    pending_.clear();
  }

  OutputFile& out_;
  std::string pending_;
  std::uint64_t held_ = 0;
  int bits_ = 0;
};

}  // namespace kea
