// The sweeps of a compiled pattern's anagram parts (see BlockPlacement.h):
// their plans, and the one sweep whose tables they share.
#include "pattern/BlockPlacement.h"

#include "pattern/PlacementSweep.h"

namespace kea {

BlockPlacement::BlockPlacement(std::vector<Plan> plans)
    : plans_(std::move(plans)), sweep_(std::make_unique<placement::PlacementSweep>(plans_)) {}

BlockPlacement::~BlockPlacement() = default;

std::unique_ptr<BlockPlacement> BlockPlacement::forProgram(const CompiledPattern& pattern) {
  std::vector<Plan> plans = placement::readPlans(pattern);
  if (plans.empty()) return nullptr;
  return std::make_unique<BlockPlacement>(std::move(plans));
}

const BlockPlacement::Plan* BlockPlacement::find(int program, int pc) const {
  for (const Plan& plan : plans_) {
    if (plan.program == program && plan.pc == pc) return &plan;
  }
  return nullptr;
}

BlockPlacement::Outcome BlockPlacement::decide(PlacementHost& host, int program, int pc, int start, int length) {
  const Plan* plan = find(program, pc);
  // A block run over a window may hold an anagram part of its own; its
  // tables are in use, so that one is searched.
  if (plan == nullptr || length > PositionSet::kSize - 1 || busy_) return Outcome::Unknown;
  busy_ = true;
  const Outcome outcome = sweep_->decide(host, *plan, start, length);
  busy_ = false;
  return outcome;
}

}  // namespace kea
