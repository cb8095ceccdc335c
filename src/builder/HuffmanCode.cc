#include "builder/HuffmanCode.h"

#include <algorithm>
#include <vector>

#include "dictionary/KkdFormat.h"

namespace kea {
namespace {

struct Node {
  std::uint64_t weight;
  int child[2];  // -1 for a leaf
  int symbol;
};

}  // namespace

HuffmanCode buildHuffmanCode(const std::array<std::uint64_t, 256>& frequency) {
  std::vector<Node> nodes;
  nodes.reserve(511);
  for (int s = 0; s < 256; ++s) {
    std::uint64_t weight = frequency[s];
    if (s == kkd::kEndSymbol && weight == 0) weight = 1;
    if (weight > 0) nodes.push_back(Node{weight, {-1, -1}, s});
  }
  // Leaves in increasing weight (then symbol) order; merged nodes are made
  // in non-decreasing weight order, so two queues give the two lightest
  // nodes at every step without re-sorting.
  std::stable_sort(nodes.begin(), nodes.end(),
                   [](const Node& a, const Node& b) { return a.weight < b.weight; });
  const int leaves = static_cast<int>(nodes.size());

  HuffmanCode result;
  if (leaves == 1) {
    result.length[nodes[0].symbol] = 1;
    result.code[nodes[0].symbol] = 0;
    return result;
  }

  int nextLeaf = 0;
  int nextMerged = leaves;
  const auto takeLightest = [&]() {
    const bool leafLeft = nextLeaf < leaves;
    const bool mergedLeft = nextMerged < static_cast<int>(nodes.size());
    // On equal weights the leaf goes first, as in one list sorted stably.
    if (leafLeft && (!mergedLeft || nodes[nextLeaf].weight <= nodes[nextMerged].weight)) {
      return nextLeaf++;
    }
    return nextMerged++;
  };
  while ((leaves - nextLeaf) + (static_cast<int>(nodes.size()) - nextMerged) > 1) {
    const int first = takeLightest();
    const int second = takeLightest();
    nodes.push_back(Node{nodes[first].weight + nodes[second].weight, {first, second}, -1});
  }

  // Walk from the root; depth can reach 255, so codes are tracked only
  // while they fit and the fallback is chosen when any leaf is too deep.
  struct Step {
    int node;
    int depth;
    std::uint32_t code;
  };
  std::vector<Step> stack{{static_cast<int>(nodes.size()) - 1, 0, 0}};
  bool tooLong = false;
  while (!stack.empty()) {
    const Step step = stack.back();
    stack.pop_back();
    const Node& node = nodes[step.node];
    if (node.child[0] < 0) {
      if (step.depth > kkd::kMaxCodeLength) {
        tooLong = true;
        continue;
      }
      result.length[node.symbol] = static_cast<std::uint8_t>(step.depth);
      result.code[node.symbol] = step.code;
      continue;
    }
    for (int branch = 0; branch < 2; ++branch) {
      const std::uint32_t code =
          step.depth < kkd::kMaxCodeLength ? (step.code << 1) | static_cast<std::uint32_t>(branch) : 0;
      stack.push_back(Step{node.child[branch], step.depth + 1, code});
    }
  }

  if (tooLong) {
    HuffmanCode storing;
    storing.storing = true;
    for (int s = 0; s < 256; ++s) {
      storing.length[s] = 8;
      storing.code[s] = static_cast<std::uint32_t>(s);
    }
    return storing;
  }
  return result;
}

std::uint32_t reverseBits(std::uint32_t code, int length) {
  std::uint32_t reversed = 0;
  for (int i = 0; i < length; ++i) {
    reversed = (reversed << 1) | (code & 1);
    code >>= 1;
  }
  return reversed;
}

}  // namespace kea
