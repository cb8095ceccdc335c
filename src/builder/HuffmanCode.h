// The word-list compression code: a Huffman code over the 256 byte values,
// or, when some code would need more than 32 bits, the plain 8-bit code of
// every byte ("storing").
#pragma once

#include <array>
#include <cstdint>

namespace kea {

struct HuffmanCode {
  // Bits of each byte's code, 0 when the byte has none.
  std::array<std::uint8_t, 256> length{};
  // The code, in the low `length` bits; its most significant bit is the
  // first branch taken from the root of the tree.
  std::array<std::uint32_t, 256> code{};
  // True when the 8-bit fallback was used.
  bool storing = false;
};

// Builds the code from byte frequencies by merging the two lightest nodes
// until one tree remains; the lighter of each merged pair is branch 0. Symbol
// 0 ends every record, so it always gets a code even when its frequency is 0,
// and a lone symbol gets a one-bit code rather than an empty one.
HuffmanCode buildHuffmanCode(const std::array<std::uint64_t, 256>& frequency);

// The code with its `length` bits in the opposite order, for a bit writer
// that emits the least significant bit first.
std::uint32_t reverseBits(std::uint32_t code, int length);

}  // namespace kea
