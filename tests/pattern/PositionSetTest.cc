// Sets of places: ranges, moves across word boundaries, and the spreading
// of places through runs, for both widths the matcher uses.
#include <gtest/gtest.h>

#include <set>

#include "pattern/PositionSet.h"

namespace kea {
namespace {

template <typename Set>
class PositionSetTest : public ::testing::Test {
 protected:
  static std::set<int> members(const Set& s) {
    std::set<int> out;
    for (int i = s.lowest(); i >= 0; i = s.next(i + 1)) out.insert(i);
    return out;
  }
  static Set of(std::initializer_list<int> places) {
    Set s;
    for (const int p : places) s.set(p);
    return s;
  }
};
using Widths = ::testing::Types<PositionSet, PlaneSet>;
TYPED_TEST_SUITE(PositionSetTest, Widths);

TYPED_TEST(PositionSetTest, RangesAndBelowAtWordBoundaries) {
  using Set = TypeParam;
  for (const int n : {0, 1, 63, 64, 65, 127, 128, Set::kSize}) {
    const Set s = Set::below(n);
    EXPECT_EQ(s.count(), std::min(n, Set::kSize)) << n;
    EXPECT_EQ(s.test(n - 1), n >= 1 && n <= Set::kSize) << n;
    EXPECT_FALSE(s.test(n)) << n;
  }
  EXPECT_EQ(this->members(Set::range(62, 66)), (std::set<int>{62, 63, 64, 65, 66}));
  EXPECT_TRUE(Set::range(10, 9).empty());
  EXPECT_EQ(Set::range(-5, 2).count(), 3);
  EXPECT_EQ(Set::range(Set::kSize - 2, Set::kSize + 10).count(), 2);
}

TYPED_TEST(PositionSetTest, MovesCarryAcrossWordsAndNextFindsMembers) {
  using Set = TypeParam;
  const Set s = this->of({0, 1, 62, 63, 64, 100});
  EXPECT_EQ(this->members(s.later(1)), (std::set<int>{1, 2, 63, 64, 65, 101}));
  std::set<int> shifted;
  for (const int p : {64, 65, 126, 127, 128, 164}) {
    if (p < Set::kSize) shifted.insert(p);
  }
  EXPECT_EQ(this->members(s.later(64)), shifted);
  EXPECT_EQ(this->members(s.earlier(2)), (std::set<int>{60, 61, 62, 98}));
  EXPECT_EQ(this->members(s.earlier(64)), (std::set<int>{0, 36}));
  EXPECT_TRUE(s.later(Set::kSize).empty());
  EXPECT_TRUE(s.earlier(Set::kSize).empty());
  EXPECT_EQ(s.later(0), s);
  EXPECT_EQ(s.next(2), 62);
  EXPECT_EQ(s.next(64), 64);
  EXPECT_EQ(s.next(65), 100);
  EXPECT_EQ(s.next(101), -1);
  EXPECT_EQ(Set{}.lowest(), -1);
}

TYPED_TEST(PositionSetTest, SpreadRunsThroughPassablePlaces) {
  using Set = TypeParam;
  // Passable 10..20 and 60..70; places reached stop at the first place that
  // may not be left, which is itself reached. Two starts in one run, one
  // just before a run.
  const Set passable = Set::range(10, 20) | Set::range(60, 70);
  EXPECT_EQ(this->members(this->of({12, 15, 59, 61}).spread(passable)),
            this->members(Set::range(12, 21) | this->of({59}) | Set::range(61, 71)));
  EXPECT_EQ(this->of({5}).spread(Set{}), this->of({5}));  // nothing passable: unchanged
}

}  // namespace
}  // namespace kea
