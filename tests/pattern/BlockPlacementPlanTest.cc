// The plans of the sweep that places anagram blocks, read off compiled
// patterns: which anagram parts it serves, and what it records of their
// blocks (early blocks, the one that takes the slack, needs, the letters a
// window must hold) and of the caps on what a state counts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pattern/BlockPlacement.h"
#include "pattern/BlockPlacementPlan.h"
#include "pattern/MatchEngine.h"
#include "support/TestAlphabet.h"

namespace kea {
namespace {

using placement::Plan;

std::vector<Plan> plansOf(const std::string& pattern) {
  MatchEngine engine;
  EXPECT_EQ(engine.compile(test::englishTestAlphabet(), pattern), PatternStatus::Valid) << pattern;
  return placement::readPlans(engine.compiled());
}

// Alphabet indices of the test alphabet: a is 0, b is 1.
constexpr std::uint8_t kA = 0;
constexpr std::uint8_t kB = 1;

TEST(BlockPlacementPlan, EarlyBlockAndTheBlockThatTakesTheSlack) {
  const std::vector<Plan> plans = plansOf(";(a*)(*b)c");
  ASSERT_EQ(plans.size(), 1u);
  const Plan& plan = plans[0];
  EXPECT_EQ(plan.program, 0);
  EXPECT_EQ(plan.anagramLength, 3);
  EXPECT_EQ(plan.restLength, 1);  // the c
  ASSERT_EQ(plan.blocks.size(), 2u);
  // (a*) has letters of its own and a variable-length block after it.
  EXPECT_TRUE(plan.blocks[0].early);
  EXPECT_EQ(plan.blocks[0].earlySlot, 0u);
  EXPECT_EQ(plan.blocks[0].need, 2);  // the c and (*b)'s b
  EXPECT_EQ(plan.blocks[0].required, (std::vector<std::uint8_t>{kA, 1}));
  EXPECT_EQ(plan.early, (std::vector<std::size_t>{0}));
  // (*b) is last: it takes the slack, so at most its need is left free.
  EXPECT_TRUE(plan.blocks[1].lastRule);
  EXPECT_FALSE(plan.blocks[1].early);
  EXPECT_EQ(plan.last, 1u);
  EXPECT_EQ(plan.blocks[1].need, 1);
  EXPECT_EQ(plan.blocks[1].required, (std::vector<std::uint8_t>{kB, 1}));
  EXPECT_EQ(plan.freeLimit, 1);
  EXPECT_EQ(plan.freeCap, 1 + 1 + 101 + 1);  // need, fixed, extra, and one past
  EXPECT_EQ(plan.nearCap, 3);
  EXPECT_TRUE(plan.lettersOnly);
  EXPECT_FALSE(plan.searchFirst);
  EXPECT_GT(plan.states, 0);
}

TEST(BlockPlacementPlan, RepeatedBlocksAndPartsWithoutALastBlock) {
  std::vector<Plan> plans = plansOf(";(ab)(ab)(*)");
  ASSERT_EQ(plans.size(), 1u);
  ASSERT_EQ(plans[0].blocks.size(), 2u);
  EXPECT_EQ(plans[0].blocks[0].count, 2);
  EXPECT_EQ(plans[0].blocks[0].fixed, 2);
  EXPECT_EQ(plans[0].blocks[0].required, (std::vector<std::uint8_t>{kA, 1, kB, 1}));
  EXPECT_TRUE(plans[0].blocks[0].early);
  // A last block without letters of its own bounds nothing.
  EXPECT_EQ(plans[0].last, 1u);
  EXPECT_GT(plans[0].freeLimit, 100);

  plans = plansOf(";(*a)(*a)b");
  ASSERT_EQ(plans.size(), 1u);
  ASSERT_EQ(plans[0].blocks.size(), 1u);
  EXPECT_EQ(plans[0].blocks[0].count, 2);
  EXPECT_EQ(plans[0].last, placement::kNoBlock);
  EXPECT_TRUE(plans[0].early.empty());  // no variable-length block after it
  EXPECT_EQ(plans[0].freeCap, 2);       // the b, and one past
}

TEST(BlockPlacementPlan, BlocksRunWindowByWindowAndOtherComponents) {
  const std::vector<Plan> plans = plansOf(";[b](a*)1a.(*0.)0");
  ASSERT_EQ(plans.size(), 1u);
  EXPECT_TRUE(plans[0].searchFirst);   // the block with variables is not regular
  EXPECT_FALSE(plans[0].lettersOnly);  // a choice list and letter variables
  ASSERT_EQ(plans[0].blocks.size(), 2u);
  EXPECT_TRUE(plans[0].blocks[1].variables);
  EXPECT_FALSE(plans[0].blocks[1].regular);
  EXPECT_NE(plans[0].takes[kB], 0);
}

TEST(BlockPlacementPlan, PartsTheSweepDoesNotServe) {
  // No blocks at all.
  EXPECT_TRUE(plansOf("abc").empty());
  EXPECT_TRUE(plansOf(";abc").empty());
  // Two blocks that bind letter variables bind them in their order.
  EXPECT_TRUE(plansOf(";(1*1)(2*2)").empty());
  // Variables bound inside a sub-pattern are read after it.
  EXPECT_TRUE(plansOf("(;1(*))1").empty());
  // More blocks than a state records.
  std::string many = ";";
  for (char c = 'a'; c < 'a' + static_cast<char>(placement::kMaxBlocks) + 1; ++c) many += std::string("(") + c + "*)";
  EXPECT_TRUE(plansOf(many).empty());
  many.erase(many.size() - 4);  // kMaxBlocks blocks fit
  EXPECT_EQ(plansOf(many).size(), 1u);
}

TEST(BlockPlacementPlan, FindReturnsThePartsPlanOnly) {
  MatchEngine engine;
  ASSERT_EQ(engine.compile(test::englishTestAlphabet(), ";(a*)(*b)c"), PatternStatus::Valid);
  const auto placement = BlockPlacement::forProgram(engine.compiled());
  ASSERT_NE(placement, nullptr);
  const std::vector<Plan> plans = placement::readPlans(engine.compiled());
  ASSERT_EQ(plans.size(), 1u);
  const Plan* found = placement->find(0, plans[0].pc);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->blocks.size(), 2u);
  EXPECT_EQ(placement->find(0, plans[0].pc + 1), nullptr);
  EXPECT_EQ(placement->find(1, plans[0].pc), nullptr);

  ASSERT_EQ(engine.compile(test::englishTestAlphabet(), ";(1*1)(2*2)"), PatternStatus::Valid);
  EXPECT_EQ(BlockPlacement::forProgram(engine.compiled()), nullptr);
}

}  // namespace
}  // namespace kea
