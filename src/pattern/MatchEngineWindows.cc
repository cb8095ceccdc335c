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

#include "pattern/MatchEngine.h"

namespace kea {

namespace {

// Position after the fixed elements (runs, punctuation) from pc, or -1 when
// another element stands among them that is not a wildcard or an OP_END.
int skipFixed(const std::vector<std::uint8_t>& bytes, int pc) {
  const auto at = [&](int pos) { return pos < static_cast<int>(bytes.size()) ? bytes[static_cast<std::size_t>(pos)] : OP_PROGRAM_END; };
  for (;;) {
    const std::uint8_t op = at(pc);
    if (op == OP_EXACT || op == OP_PUNCT) {
      pc += 2;
    } else if (op == OP_RUN || op == OP_MIXED_RUN) {
      for (pc += 2; at(pc) < kFirstOpcode;) {
        const std::uint8_t kind = at(pc) & kItemKindMask;
        if (op == OP_MIXED_RUN && kind == kItemVariable) return -1;
        pc += (op == OP_RUN || kind == 0) ? 2 : 2 + at(pc + 1);
      }
    } else {
      return op == OP_SKIP || op == OP_SKIP_REST || op == OP_END ? pc : -1;
    }
  }
}

}  // namespace

bool MatchEngine::windowedShape(const std::vector<std::uint8_t>& bytes, int header) {
  const auto at = [&](int pos) { return pos < static_cast<int>(bytes.size()) ? bytes[static_cast<std::size_t>(pos)] : OP_PROGRAM_END; };
  if (at(header) != OP_PATTERN_VARIABLE) return false;
  int pc = skipFixed(bytes, header + 3);
  int ends = 3;  // the last wildcard's nested segment, the body's, the pattern's
  if (pc >= 0 && at(pc) == OP_SKIP) {
    pc = skipFixed(bytes, pc + 2);
    ++ends;
  }
  if (pc < 0 || at(pc) != OP_SKIP_REST) return false;
  pc = skipFixed(bytes, pc + 2);
  for (int i = 0; i < ends; ++i, ++pc) {
    if (pc < 0 || at(pc) != OP_END) return false;
  }
  return true;
}

// Fixed elements from pc at (q, kq), read as runSegment reads them; the
// position of the wildcard or OP_END after them, or -1 on a mismatch.
int MatchEngine::runFixed(const std::uint8_t* c, int pc, int& q, int& kq) {
  const std::uint8_t* key = word_->key;
  for (;;) {
    switch (c[pc]) {
      case OP_RUN: {
        const int n = c[pc + 1];
        if (punctuationSensitive_ && !runAligned(q, n, kq)) return -1;
        for (pc += 2; c[pc] < kFirstOpcode; pc += 2) {
          if (key[q + c[pc]] != c[pc + 1]) return -1;
        }
        q += n;
        break;
      }
      case OP_MIXED_RUN: {
        const int n = c[pc + 1];
        if (punctuationSensitive_ && !runAligned(q, n, kq)) return -1;
        pc += 2;
        if (!runMixedRun(c, pc, q)) return -1;
        q += n;
        break;
      }
      case OP_EXACT:
        if (significantAt(q + kq) != c[pc + 1]) return -1;
        pc += 2;
        break;
      case OP_PUNCT:
        if (significantAt(q + kq) != c[pc + 1]) return -1;
        ++kq;
        pc += 2;
        break;
      default:
        return pc;
    }
  }
}

bool MatchEngine::readWindows(int program, int header, int p, int k, int longest, std::int16_t* offsets) {
  if (longest >= kkd::kMaxLengthSlots) return false;
  const std::uint8_t* c = code(program);
  for (int u = 0; u <= longest; ++u) offsets[u] = -1;
  int q = p;
  int kq = k;
  int pc = runFixed(c, header + 3, q, kq);
  if (pc < 0) return true;
  // The first place where the last wildcard takes over, and the letters
  // the first wildcard took to reach it.
  int taken = 0;
  if (c[pc] == OP_SKIP) {
    const int next = pc + 2;
    int lowest = kq;
    bool found = false;
    for (int t = 0; t <= longest && !found; ++t) {
      const int highest = punctuationBefore(q + t);
      for (int from = lowest; from <= highest; ++from) {
        int q2 = q + t;
        int k2 = from;
        const int r = runFixed(c, next, q2, k2);
        if (r < 0) continue;
        pc = r;
        q = q2;
        kq = k2;
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
  const int tail = pc + 2;
  for (int u = taken; u <= longest; ++u) {
    const int target = q + (u - taken);
    const int highest = punctuationBefore(target);
    for (int from = kq; from <= highest; ++from) {
      int q2 = target;
      int k2 = from;
      if (runFixed(c, tail, q2, k2) >= 0) {
        offsets[u] = static_cast<std::int16_t>(k2);
        break;
      }
    }
  }
  return true;
}

}  // namespace kea
