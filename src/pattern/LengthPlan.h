// The search step over one dictionary: which word lengths a pattern line is
// searched at, in which order, and moving the word cursor through them.
//
// A search visits, per dictionary, only the lengths the line can match
// within the Shortest and Longest settings, one length at a time, upwards
// or (with descending length grouping) downwards; a length for which the
// dictionary holds no words is skipped without reading the file.
#pragma once

#include "dictionary/KkdFormat.h"

namespace kea {

class WordCursor;
class MatchEngineSet;

struct LengthPlan {
  // Why a line cannot be searched, or kPlanned.
  enum Code : int {
    kPlanned = 0,
    // No length in 1 … 100 for a line of one pattern (or full-text mode,
    // where no lengths are planned). Not an error by itself.
    kNoLength = 1,
    // The patterns of the line have no length in common.
    kIncompatibleLengths = 2,
    // The line can match, but not within the Shortest and Longest settings.
    kOutsideSettings = 3,
  };

  int code = kPlanned;
  int shortest = kkd::kUnboundedLength;
  int longest = 0;
  // +1: from shortest upwards; -1: from longest downwards.
  int step = 1;

  bool empty() const { return shortest > longest; }
  bool holds(int length) const { return shortest <= length && length <= longest; }
  int firstLength() const { return step < 0 ? longest : shortest; }
  // Whether `a` comes before `b` in search order.
  bool before(int a, int b) const { return step < 0 ? a > b : a < b; }
};

// The options that decide the order of lengths (ViewLengthGrouping and
// ViewLengthGroupingSense: -1 descending, 0 smart, 1 ascending).
struct LengthOrder {
  bool grouping = true;
  int sense = 0;
};

// Plans the lengths of a compiled line. Leaves the line's length limits at
// the settings (`shortest`, `longest`), the values its matching needs.
LengthPlan planLengths(MatchEngineSet& set, bool fullText, LengthOrder order, int shortest, int longest);

// Starts the first length from `length` onwards (in plan order) for which
// the cursor finds words, and gives the line that length. `length` is left
// at the length started, or past the plan when none is left (then false).
bool startLength(WordCursor& engine, MatchEngineSet& set, const LengthPlan& plan, int& length);

}  // namespace kea
