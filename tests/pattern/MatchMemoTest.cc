// The memo's wildcard thresholds are places (letter, punctuation offset):
// every place a word can have is kept whole, the start of a word is told
// apart from no threshold at all, and a new word forgets them.
#include <gtest/gtest.h>

#include <optional>

#include "pattern/MatchEngine.h"
#include "pattern/MatchMemo.h"
#include "support/TestAlphabet.h"

namespace kea {
namespace {

TEST(MatchMemoThresholds, KeepWholePlacesPerWordAndKey) {
  MatchEngine engine;
  ASSERT_EQ(engine.compile(test::englishTestAlphabet(), "*a*b*"), PatternStatus::Valid);
  MatchMemo memo(1024, engine.compiled());
  memo.newWord();
  const VariableBindings unbound;
  const MatchMemo::Key first = memo.key(MatchMemo::threshold(0, 4, 12), 0, MatchMemo::Scope::Segment, 6, unbound);
  const MatchMemo::Key second = memo.key(MatchMemo::threshold(0, 4, 13), 0, MatchMemo::Scope::Segment, 6, unbound);
  EXPECT_EQ(memo.thresholdOf(first), std::nullopt);

  // The start of the word is a threshold like any other.
  memo.setThreshold(first, Place{0, 0});
  EXPECT_EQ(memo.thresholdOf(first), (Place{0, 0}));
  EXPECT_EQ(memo.thresholdOf(second), std::nullopt);

  // The last letter of the longest word after the most punctuation a word
  // can carry: neither part may spill into the other.
  memo.setThreshold(first, Place{100, 744});
  memo.setThreshold(second, Place{99, 1});
  EXPECT_EQ(memo.thresholdOf(first), (Place{100, 744}));
  EXPECT_EQ(memo.thresholdOf(second), (Place{99, 1}));

  memo.newWord();
  EXPECT_EQ(memo.thresholdOf(first), std::nullopt);
  EXPECT_EQ(memo.thresholdOf(second), std::nullopt);
}

}  // namespace
}  // namespace kea
