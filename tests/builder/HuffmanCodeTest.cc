// The builder's Huffman codes: the deepest tree that fits in 32 bits, the
// fallback to 8-bit codes beyond it.
#include "builder/HuffmanCode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace kea {
namespace {

using Frequencies = std::array<std::uint64_t, 256>;

// No code is a prefix of another, and the code is complete (Kraft sum 1).
void expectCompletePrefixCode(const HuffmanCode& code) {
  double kraft = 0;
  for (int a = 0; a < 256; ++a) {
    if (code.length[a] == 0) continue;
    kraft += std::ldexp(1.0, -code.length[a]);
    for (int b = 0; b < 256; ++b) {
      if (a == b || code.length[b] == 0 || code.length[b] < code.length[a]) continue;
      EXPECT_NE(code.code[b] >> (code.length[b] - code.length[a]), code.code[a])
          << "code of " << a << " is a prefix of the code of " << b;
    }
  }
  EXPECT_DOUBLE_EQ(kraft, 1.0);
}

// Weights 1, 1, 2, 3, 5, … for symbols 1 to `symbols` and the next one for
// symbol 0: every merge takes the previous tree and the next leaf, a chain
// whose two deepest leaves sit `symbols` bits down.
Frequencies fibonacci(int symbols) {
  Frequencies f{};
  std::uint64_t a = 1, b = 1;
  for (int s = 1; s <= symbols; ++s) {
    f[s] = a;
    b = std::exchange(a, b) + b;
  }
  f[0] = b;
  return f;
}

TEST(HuffmanCode, TheDeepestTreeThatFitsAndOneDeeperThatFallsBackToEightBits) {
  const HuffmanCode code = buildHuffmanCode(fibonacci(32));
  ASSERT_FALSE(code.storing);
  for (int s = 0; s <= 32; ++s) EXPECT_EQ(code.length[s], s == 0 ? 1 : s == 1 ? 32 : 34 - s) << s;
  // The lighter child of every merge is branch 0, so the heaviest symbol,
  // merged last as the second child, is the single bit 1.
  EXPECT_EQ(code.code[0], 1u);
  expectCompletePrefixCode(code);

  const HuffmanCode storing = buildHuffmanCode(fibonacci(33));
  ASSERT_TRUE(storing.storing);
  for (int v = 0; v < 256; ++v) {
    EXPECT_EQ(storing.length[v], 8);
    EXPECT_EQ(storing.code[v], static_cast<std::uint32_t>(v));
  }
}

}  // namespace
}  // namespace kea
