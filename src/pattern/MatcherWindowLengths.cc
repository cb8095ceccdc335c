// Variable-length sub-patterns read for every window length in one pass.
// Where punctuation is significant, a sub-pattern hands on the punctuation
// offset of its first success, so it cannot be read over sets of places: a
// template tries it over one window length after another, and each try
// searches the sub-pattern again from its start. For a sub-pattern of
// fixed elements (runs and punctuation) around at most one wildcard before
// its last, that search has a simple shape:
//  - the fixed elements before the first wildcard are read once;
//  - the first wildcard tries its places in order, and the fixed elements
//    after it bring each to a place where the last wildcard takes over;
//    those hand-over places, in order, are the same for every window, a
//    window of slack u keeping those whose wildcard took at most u letters
//    (a try over fewer letters is tried first, whatever the window);
//  - the last wildcard, with the fixed elements after it, depends only on
//    the hand-over place and the window's end, and the first hand-over
//    place serves it best (see readWindows).
// So the first hand-over place is found once, and each window's first
// success is the last wildcard's from there: the same place, and the same
// offset, that the search finds.
#include <algorithm>

#include "pattern/Matcher.h"

namespace kea {

// Fixed elements from pc at `at`, read as runSegment reads them; where
// they stop: at the wildcard or OP_END after them, or on a mismatch.
Matcher::FixedRead Matcher::runFixed(Code c, int pc, Place at) {
  const std::uint8_t* key = word_->key;
  for (;;) {
    const Inst here(c, pc);
    switch (here.opcode()) {
      case OP_RUN: {
        const int n = here.runLength();
        if (punctuationSensitive_ && !runAligned(at.letter, n, at.offset)) return {};
        RunItem item = here.plainItems();
        for (; !item.atEnd(); item = item.nextPlain()) {
          if (key[at.letter + item.plainPosition()] != item.letter()) return {};
        }
        pc = item.pc();
        at.letter += n;
        break;
      }
      case OP_MIXED_RUN: {
        const int n = here.runLength();
        if (punctuationSensitive_ && !runAligned(at.letter, n, at.offset)) return {};
        pc = runMixedRun(here, at.letter);
        if (pc < 0) return {};
        at.letter += n;
        break;
      }
      case OP_EXACT:
        if (significantAt(at.letter + at.offset) != here.character()) return {};
        pc = here.next(OP_EXACT);
        break;
      case OP_PUNCT:
        if (significantAt(at.letter + at.offset) != here.character()) return {};
        ++at.offset;
        pc = here.next(OP_PUNCT);
        break;
      default:
        return {pc, at};
    }
  }
}

bool Matcher::readWindows(int program, int header, Place from, int longest, std::int16_t* offsets) {
  if (longest >= kkd::kMaxLengthSlots) return false;
  const Code c = code(program);
  for (int u = 0; u <= longest; ++u) offsets[u] = -1;
  FixedRead read = runFixed(c, Inst(c, header).body(), from);
  if (read.next < 0) return true;
  // The first place where the last wildcard takes over, and the letters
  // the first wildcard took to reach it.
  int taken = 0;
  if (Inst(c, read.next).is(OP_SKIP)) {
    const int next = Inst(c, read.next).nested();
    const Place first = read.at;
    int lowest = first.offset;
    bool found = false;
    for (int t = 0; t <= longest && !found; ++t) {
      const int highest = punctuationBefore(first.letter + t);
      for (int offset = lowest; offset <= highest; ++offset) {
        const FixedRead after = runFixed(c, next, {first.letter + t, offset});
        if (after.next < 0) continue;
        read = after;
        taken = t;
        found = true;
        break;
      }
      lowest = std::max(lowest, highest);
    }
    if (!found) return true;
  }
  // Later hand-over places come with no lower offset, and the last wildcard
  // aims at the same letter from each (the window's end less the fixed
  // letters after it): whatever it finds from a later place it finds from
  // the first one, at an offset no higher. So the first place decides.
  const int tail = Inst(c, read.next).nested();
  for (int u = taken; u <= longest; ++u) {
    const int target = read.at.letter + (u - taken);
    const int highest = punctuationBefore(target);
    for (int offset = read.at.offset; offset <= highest; ++offset) {
      const FixedRead end = runFixed(c, tail, {target, offset});
      if (end.next >= 0) {
        offsets[u] = static_cast<std::int16_t>(end.at.offset);
        break;
      }
    }
  }
  return true;
}

}  // namespace kea
