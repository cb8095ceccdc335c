#include "pattern/LengthPlan.h"

#include "pattern/MatchEngineSet.h"
#include "pattern/WordCursor.h"

namespace kea {

LengthPlan planLengths(MatchEngineSet& set, bool fullText, LengthOrder order, int shortest, int longest) {
  LengthPlan plan;
  if (fullText) {
    plan.code = LengthPlan::kNoLength;
    return plan;
  }
  set.setLengthLimits(1, kkd::kMaxWordLength);
  if (order.grouping) {
    plan.step = order.sense != 0 ? (order.sense < 0 ? -1 : 1) : set.preferredOrder();
  }
  const auto [anyFirst, anyLast] = set.lengthRange();
  if (anyFirst > anyLast) plan.code = set.isSinglePattern() ? LengthPlan::kNoLength : LengthPlan::kIncompatibleLengths;

  set.setLengthLimits(shortest, longest);
  const auto [first, last] = set.lengthRange();
  plan.shortest = first;
  plan.longest = last;
  if (first > last && plan.code == LengthPlan::kPlanned) plan.code = LengthPlan::kOutsideSettings;
  return plan;
}

bool startLength(WordCursor& engine, MatchEngineSet& set, const LengthPlan& plan, int& length) {
  for (; plan.holds(length); length += plan.step) {
    if (engine.setLength(length)) {
      set.setLength(length);
      return true;
    }
  }
  return false;
}

}  // namespace kea
