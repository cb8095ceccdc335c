// The sweep's state store: one state per key, a full table that says so,
// a fresh start without stale states, and the order states are taken in
// (newest first while probing, then lowest rank first).
#include <gtest/gtest.h>

#include <vector>

#include "pattern/PlacementStates.h"

namespace kea::placement {
namespace {

Key keyWithFree(int free) {
  Key key{};
  key.free = static_cast<std::uint16_t>(free);
  return key;
}

TEST(PlacementStates, OneStatePerKeyUntilTheTableIsFull) {
  StateStore store;
  store.reserve(4);
  store.clear();
  const std::size_t first = store.find(keyWithFree(1), 5);
  ASSERT_NE(first, StateStore::kNone);
  EXPECT_EQ(store.find(keyWithFree(1), 9), first);
  EXPECT_EQ(store[first].rank, 5);  // the rank it was made with
  Key other = keyWithFree(1);
  other.placed[3] = 1;
  const std::size_t second = store.find(other, 6);
  EXPECT_NE(second, first);
  EXPECT_NE(store.find(keyWithFree(2), 7), StateStore::kNone);
  EXPECT_NE(store.find(keyWithFree(3), 8), StateStore::kNone);
  EXPECT_EQ(store.find(keyWithFree(4), 9), StateStore::kNone);
  EXPECT_EQ(store.find(other, 6), second);  // known keys are still found
}

TEST(PlacementStates, ClearForgetsTheLastSweep) {
  StateStore store;
  store.reserve(2);
  store.clear();
  std::size_t index = store.find(keyWithFree(1), 3);
  store[index].at.set(4);
  store.queue(index);
  store.find(keyWithFree(2), 3);
  store.clear();
  EXPECT_TRUE(store.empty());
  EXPECT_EQ(store.next(), StateStore::kNone);
  index = store.find(keyWithFree(2), 1);
  ASSERT_NE(index, StateStore::kNone);
  EXPECT_TRUE(store[index].at.empty());
  EXPECT_EQ(store[index].rank, 1);
  EXPECT_FALSE(store[index].queued);
  EXPECT_NE(store.find(keyWithFree(1), 1), StateStore::kNone);  // room for both again
}

TEST(PlacementStates, ProbeTakesNewestFirstThenRankOrder) {
  StateStore store;
  store.reserve(8);
  store.clear();
  EXPECT_TRUE(store.probing());
  const int ranks[] = {4, 1, 3};
  std::vector<std::size_t> made;
  for (int i = 0; i < 3; ++i) made.push_back(store.find(keyWithFree(i), ranks[i]));
  for (const std::size_t index : made) store.queue(index);
  EXPECT_TRUE(store[made[0]].queued);
  EXPECT_EQ(store.next(), made[2]);
  EXPECT_FALSE(store[made[2]].queued);
  store.queue(made[2]);

  store.endProbe();
  EXPECT_FALSE(store.probing());
  EXPECT_FALSE(store.empty());
  const std::size_t late = store.find(keyWithFree(9), 2);
  store.queue(late);
  std::vector<int> taken;
  for (std::size_t index = store.next(); index != StateStore::kNone; index = store.next()) {
    taken.push_back(store[index].rank);
  }
  EXPECT_EQ(taken, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_TRUE(store.empty());
}

}  // namespace
}  // namespace kea::placement
