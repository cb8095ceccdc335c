// Little-endian encoding and decoding of the fixed-size integers of the
// dictionary format. Decoders take (pointer, limit) and fail on truncation.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace kea::coding {

inline void putFixed16(std::string& out, std::uint16_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>(value >> 8));
}

inline void putFixed32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

inline void encodeFixed32(unsigned char* dst, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) dst[i] = static_cast<unsigned char>((value >> (8 * i)) & 0xFF);
}

inline std::uint16_t decodeFixed16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t decodeFixed32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Reads a value at *p and advances; false (and nothing read) when fewer than
// the needed bytes remain before `limit`.
inline bool getFixed16(const unsigned char*& p, const unsigned char* limit, std::uint16_t& value) {
  if (limit - p < 2) return false;
  value = decodeFixed16(p);
  p += 2;
  return true;
}

inline bool getFixed32(const unsigned char*& p, const unsigned char* limit, std::uint32_t& value) {
  if (limit - p < 4) return false;
  value = decodeFixed32(p);
  p += 4;
  return true;
}

}  // namespace kea::coding
