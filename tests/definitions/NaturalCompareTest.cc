#include "definitions/NaturalCompare.h"

#include <gtest/gtest.h>

#include <string>

namespace kea {
namespace {

int sign(int v) { return (v > 0) - (v < 0); }

TEST(NaturalCompare, OrdersAndCountsMatchedSteps) {
  const struct {
    std::string a, b;
    int order;  // -1, 0, +1
    int count;  // -1: not checked
  } cases[] = {
      {"item 2", "item 10", -1, 4},  {"item 10", "item 2", 1, 4},  // numbers by value
      {"item 02", "item 2", 0, 5},   {"Bank", "bank", 0, 4},       // leading zeros; case
      {"\xC9" "clair", "eclair", 0, 6}, {"tail-end", "tail end", 0, 7},  // accents; non-word characters
      {"tail", "tail end", -1, 4},   {"bank", "bank 2", -1, 4},    // a exhausted first
      {"", "", 0, 0},  {"...", "", 0, 0},  {"", "a", -1, 0},  {"abc", "abd", -1, 2},  {"x9", "x10", -1, 1},
      {"x99999999999999999999999", "x100000000000000000000000", -1, 1},  // beyond 64 bits
      // A letter against a digit 1-9 reads as 0; against 0 it compares as a character.
      {"a", "1", -1, -1},  {"5", "a", 1, -1},  {"0", "a", -1, -1},
  };
  for (const auto& c : cases) {
    int count = -1;
    EXPECT_EQ(sign(compareNatural(c.a, c.b, count)), c.order) << c.a << " vs " << c.b;
    if (c.count >= 0) {
      EXPECT_EQ(count, c.count) << c.a << " vs " << c.b;
    }
  }
}

}  // namespace
}  // namespace kea
