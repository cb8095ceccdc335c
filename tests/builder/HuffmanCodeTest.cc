#include "builder/HuffmanCode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

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

TEST(HuffmanCode, FibonacciWeightsGiveTheDeepestTreeThatFits) {
  // Weights 1, 1, 2, 3, 5, … make every merge take the previous tree and
  // the next leaf: a chain whose two deepest leaves sit one level below
  // the number of symbols above them.
  Frequencies f{};
  std::uint64_t a = 1, b = 1;
  const int symbols = 32;  // with symbol 0 on top, the deepest leaves sit at 32 bits
  for (int s = 1; s <= symbols; ++s) {
    f[s] = a;
    const std::uint64_t next = a + b;
    a = b;
    b = next;
  }
  f[0] = b;  // the heaviest symbol
  const HuffmanCode code = buildHuffmanCode(f);
  ASSERT_FALSE(code.storing);
  EXPECT_EQ(code.length[1], 32);
  EXPECT_EQ(code.length[2], 32);
  EXPECT_EQ(code.length[3], 31);
  EXPECT_EQ(code.length[32], 2);
  EXPECT_EQ(code.length[0], 1);
  // The lighter child of every merge is branch 0, so the heaviest symbol,
  // merged last as the second child, is the single bit 1.
  EXPECT_EQ(code.code[0], 1u);
  expectCompletePrefixCode(code);
}

TEST(HuffmanCode, OneMoreFibonacciWeightFallsBackToEightBitCodes) {
  Frequencies f{};
  std::uint64_t a = 1, b = 1;
  for (int s = 1; s <= 33; ++s) {  // the deepest leaves would need 33 bits
    f[s] = a;
    const std::uint64_t next = a + b;
    a = b;
    b = next;
  }
  f[0] = b;
  const HuffmanCode code = buildHuffmanCode(f);
  ASSERT_TRUE(code.storing);
  for (int v = 0; v < 256; ++v) {
    EXPECT_EQ(code.length[v], 8);
    EXPECT_EQ(code.code[v], static_cast<std::uint32_t>(v));
  }
}

TEST(HuffmanCode, SymbolZeroAlwaysGetsACode) {
  // No input at all: symbol 0 alone, with a one-bit code.
  const HuffmanCode empty = buildHuffmanCode(Frequencies{});
  EXPECT_EQ(empty.length[0], 1);
  for (int v = 1; v < 256; ++v) EXPECT_EQ(empty.length[v], 0);

  // Symbol 0 with no count of its own still joins the tree.
  Frequencies f{};
  f['a'] = 10;
  const HuffmanCode code = buildHuffmanCode(f);
  EXPECT_EQ(code.length[0], 1);
  EXPECT_EQ(code.length['a'], 1);
  EXPECT_NE(code.code[0], code.code['a']);
}

TEST(HuffmanCode, LoneSymbolGetsOneBit) {
  Frequencies f{};
  f[0] = 7;
  const HuffmanCode code = buildHuffmanCode(f);
  EXPECT_EQ(code.length[0], 1);
  EXPECT_EQ(code.code[0], 0u);
}

TEST(HuffmanCode, LengthsFollowWeightsOnARealisticSpread) {
  Frequencies f{};
  const char* text = "the quick brown fox jumps over the lazy dog and then some more letters eeeeee";
  for (const char* p = text; *p; ++p) ++f[static_cast<std::uint8_t>(*p)];
  f[0] = 12;
  const HuffmanCode code = buildHuffmanCode(f);
  expectCompletePrefixCode(code);
  EXPECT_LE(code.length['e'], code.length['z']);
  EXPECT_LE(code.length[' '], code.length['q']);
  for (int v = 0; v < 256; ++v) EXPECT_EQ(code.length[v] != 0, f[v] != 0) << v;
  // The total cost is optimal: equal to the sum of the merged weights.
  std::uint64_t cost = 0;
  for (int v = 0; v < 256; ++v) cost += f[v] * code.length[v];
  std::vector<std::uint64_t> heap;
  for (int v = 0; v < 256; ++v) if (f[v]) heap.push_back(f[v]);
  std::uint64_t optimal = 0;
  while (heap.size() > 1) {
    std::sort(heap.begin(), heap.end(), std::greater<>());
    const std::uint64_t merged = heap[heap.size() - 1] + heap[heap.size() - 2];
    heap.resize(heap.size() - 2);
    heap.push_back(merged);
    optimal += merged;
  }
  EXPECT_EQ(cost, optimal);
}

TEST(ReverseBits, ReversesWithinTheLength) {
  EXPECT_EQ(reverseBits(0b1101, 4), 0b1011u);
  EXPECT_EQ(reverseBits(0b1, 1), 0b1u);
  EXPECT_EQ(reverseBits(0b10, 3), 0b010u);
  EXPECT_EQ(reverseBits(0x80000000u, 32), 1u);
  EXPECT_EQ(reverseBits(0, 0), 0u);
}

}  // namespace
}  // namespace kea
