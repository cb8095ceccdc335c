// The general matcher's templates: runs a compiled program over a word, or
// over a stretch of it for sub-patterns. Templates are run by the segment
// runner; wildcards and variable-length sub-patterns try their lengths
// shortest first and the first success wins; anagram parts are in
// MatcherAnagram.cc. Every attempt is wrapped in a VariableValues guard so
// that a failed attempt leaves no bindings.
//
// Failed attempts are remembered in the matcher's MatchMemo (see there), so
// that chains of wildcards and sub-patterns cost polynomial, not
// exponential, time per word, and a template that binds letter variables
// between wildcards drops a binding as soon as the rest of the template
// has nowhere to go (TemplateOutline.h). Patterns that bind nothing are
// read over sets of places instead (MatcherReach.cc).
#include <algorithm>
#include <bit>
#include <cstring>

#include "pattern/Matcher.h"
#include "pattern/MatchMemo.h"
#include "pattern/TemplateOutline.h"

namespace kea {

std::uint8_t Matcher::significantAt(int index) const {
  if (index < 0 || index > significantLength_) return 0;
  return word_->significant[index];
}

int Matcher::punctuationBefore(int letter) const {
  return punctuationSensitive_ ? word_->punctuationCounts[letter] : 0;
}

// Whether a run of n letters from letter p may start at punctuation offset
// k: the place must be the letter itself, with no significant punctuation
// left before it or standing between the run's letters. Without this a
// wildcard after the run could pass over punctuation the run skipped, and
// "ab*-" would match "a-b-".
bool Matcher::runAligned(int p, int n, int k) const {
  const std::uint8_t* counts = word_->punctuationCounts;
  for (int i = 0; i < n; ++i) {
    if (counts[p + i] != k) return false;
  }
  return true;
}

// Position of the first byte after an anagram part's components.
int Matcher::endOfAnagram(int program, int pc) const {
  Inst component = inst(program, pc);
  while (isComponent(component)) component = component.nextInst();
  return component.pc();
}

int Matcher::runPattern(int program, int pc, int p, int& k, int slack, int length) {
  // The outermost pattern runs once per word; everything else may be tried
  // again from the same place.
  MatchMemo* memo = program == 0 && pc == kProgramBody ? nullptr : memo_.get();
  if (memo != nullptr && !memo->patternBacktracks(program, pc)) memo = nullptr;
  MatchMemo::Key key;
  if (memo != nullptr) {
    key = memo->key(MatchMemo::place(program, pc, p, k, slack), program, MatchMemo::Scope::Pattern, pc, bindings_);
    if (memo->failed(key)) return -1;
  }
  VariableValues guard(bindings_);
  const Code c = code(program);
  int kk = k;
  for (;;) {
    const Inst part(c, pc);
    if (part.is(OP_END)) {
      guard.keep();
      k = kk;
      return part.next(OP_END);
    }
    if (part.is(OP_ANAGRAM)) {
      if (runAnagram(program, part.components(), p, length, length - part.anagramLength())) {
        recordBalance(program, pc, p, length);
        guard.keep();
        k = kk;
        return Inst(c, endOfAnagram(program, part.components())).next(OP_END);
      }
      break;
    }
    pc = runSegment(program, pc, p, kk, slack);
    if (pc < 0) break;
  }
  if (memo != nullptr) memo->recordFailure(key);
  return -1;
}

int Matcher::runMixedRun(Inst run, int p) {
  const std::uint8_t* key = word_->key;
  RunItem item = run.mixedItems();
  while (!item.atEnd()) {
    const std::uint8_t x = key[p + item.position()];
    const std::uint8_t kind = item.kind();
    switch (kind) {
      case 0:
        if (x != item.letter()) return -1;
        item = item.nextPair();
        break;
      case kItemVariable: {
        const std::uint8_t variable = item.variable();
        item = item.nextPair();
        newBinding_ |= bindings_.lookup(variable) == VariableBindings::kUnbound;
        if (!bindings_.bindOrCheck(variable, x)) return -1;
        break;
      }
      default: {
        const bool listed =
            std::memchr(item.list(), x, static_cast<std::size_t>(item.listSize())) != nullptr;
        if (listed != (kind == kItemChoice)) return -1;
        item = item.nextChoice();
        break;
      }
    }
  }
  return item.pc();
}

int Matcher::runSegment(int program, int pc, int p, int& k, int slack) {
  VariableValues guard(bindings_);
  const Code c = code(program);
  const std::uint8_t* key = word_->key;
  int kk = k;
  // Any failure but the wildcard's own is a mismatch of this segment.
  const auto mismatch = [this] {
    wildcardFailed_ = false;
    return -1;
  };
  for (;;) {
    const Inst op(c, pc);
    switch (op.opcode()) {
      case OP_END:
        guard.keep();
        k = kk;
        return op.next(OP_END);
      case OP_RUN: {
        const int n = op.runLength();
        if (punctuationSensitive_ && !runAligned(p, n, kk)) return mismatch();
        RunItem item = op.plainItems();
        for (; !item.atEnd(); item = item.nextPlain()) {
          if (key[p + item.plainPosition()] != item.letter()) return mismatch();
        }
        pc = item.pc();
        p += n;
        break;
      }
      case OP_MIXED_RUN: {
        const int n = op.runLength();
        if (punctuationSensitive_ && !runAligned(p, n, kk)) return mismatch();
        newBinding_ = false;
        pc = runMixedRun(op, p);
        if (pc < 0) return mismatch();
        // A new binding may leave the rest of the template nowhere to go.
        if (newBinding_ && outline_ != nullptr && program == 0 &&
            !outline_->feasible(outline_->stepAfter(op.pc()), p + n, key, wordLength_, bindings_)) {
          return mismatch();
        }
        p += n;
        break;
      }
      case OP_EXACT:
        if (significantAt(p + kk) != op.character()) return mismatch();
        pc = op.next(OP_EXACT);
        break;
      case OP_PUNCT:
        if (significantAt(p + kk) != op.character()) return mismatch();
        ++kk;
        pc = op.next(OP_PUNCT);
        break;
      case OP_SKIP:
      case OP_SKIP_REST: {
        // The nested segment holds the rest of the template; only this
        // segment's OP_END follows it.
        const int r = runSkip(program, pc, p, kk, slack);
        if (r < 0) {
          // Tell the wildcard before this one why its try failed.
          wildcardFailed_ = true;
          wildcardFailedUnbound_ = guard.unchanged();
          return -1;
        }
        pc = r;
        break;
      }
      case OP_PATTERN: {
        const int fixed = op.fixedLength();
        pc = runPattern(program, op.body(), p, kk, 0, fixed);
        if (pc < 0) return mismatch();
        p += fixed;
        break;
      }
      case OP_PATTERN_VARIABLE:
      case OP_PATTERN_LAST:
        pc = runSubpattern(program, pc, p, kk, slack);
        if (pc < 0) {
          if (!subpatternExhausted_) return mismatch();
          wildcardFailed_ = true;
          wildcardFailedUnbound_ = guard.unchanged();
          return -1;
        }
        break;
      default:
        return mismatch();
    }
  }
}

// A wildcard: absorbs letters (and the punctuation among them) and runs the
// rest of the template after them. The last wildcard of a template takes
// all the slack at once; any other tries the fewest letters first and, for
// each, the earliest punctuation offset first.
int Matcher::runSkip(int program, int pc, int p, int& k, int slack) {
  const Inst skip = inst(program, pc);
  const int next = skip.nested();
  if (skip.is(OP_SKIP_REST)) {
    const int target = p + slack;
    const int highest = punctuationBefore(target);
    for (int kq = k; kq <= highest; ++kq) {
      int k2 = kq;
      const int r = runSegment(program, next, target, k2, 0);
      if (r >= 0) {
        k = k2;
        return r;
      }
    }
    return -1;
  }
  MatchMemo* memo = memo_.get();
  const MatchMemo::Key key = memo != nullptr ? memo->key(MatchMemo::threshold(program, pc, p + slack), program,
                                                         MatchMemo::Scope::Segment, next, bindings_)
                                             : MatchMemo::Key{};
  const int failedStart = memo != nullptr ? memo->thresholdOf(key) : -1;
  const bool mayStopEarly = !punctuationSensitive_ && memo != nullptr && memo->skipMayStopEarly(program, pc);
  int lowest = k;
  bool givenUp = false;
  for (int t = 0; t <= slack && !givenUp; ++t) {
    const int highest = punctuationBefore(p + t);
    for (int kq = lowest; kq <= highest; ++kq) {
      // Tries from here on were all made, and failed, from an earlier start.
      if (failedStart >= 0 && amongTries(failedStart, p + t, kq)) {
        givenUp = true;
        break;
      }
      int k2 = kq;
      const int r = runSegment(program, next, p + t, k2, slack - t);
      if (r >= 0) {
        k = k2;
        return r;
      }
      if (mayStopEarly && wildcardFailed_ && wildcardFailedUnbound_) {
        givenUp = true;
        break;
      }
    }
    lowest = std::max(lowest, highest);
  }
  if (memo != nullptr) {
    const int start = p * 1024 + k;
    if (failedStart < 0 || amongTries(start, failedStart >> 10, failedStart & 1023)) memo->setThreshold(key, start);
  }
  return -1;
}

// Whether the place (q, kq) is among a wildcard's tries from the start
// packed as letter position * 1024 + punctuation offset: the tries from a
// start are every place from it on, in order, so the tries from any such
// place are a suffix of them.
bool Matcher::amongTries(int start, int q, int kq) const {
  const int from = start >> 10;
  const int offset = start & 1023;
  if (!punctuationSensitive_) return q >= from;
  const std::uint8_t* counts = word_->punctuationCounts;
  if (kq > counts[q]) return false;
  if (q == from) return kq >= offset;
  return q > from && kq >= std::max(offset, static_cast<int>(counts[q - 1]));
}

// A variable-length sub-pattern in a template, followed by the rest of the
// template as a nested segment.
int Matcher::runSubpattern(int program, int pc, int p, int& k, int slack) {
  const Inst header = inst(program, pc);
  const int fixed = header.fixedLength();
  const int extra = header.extraLength();
  const int inner = header.body();
  subpatternExhausted_ = false;
  // A regular sub-pattern is read once for every window length: its
  // matching binds nothing, so only whether it matches each window counts.
  const bool regularInner = regular(program, pc);
  const PositionSet ends =
      regularInner ? reachPattern(program, inner, PositionSet::single(p), p + fixed + slack) : PositionSet{};
  if (header.is(OP_PATTERN_LAST)) return runLastSubpattern(program, pc, p, k, slack, regularInner, ends);
  MatchMemo* memo = memo_.get();
  // Without punctuation, and with an inner pattern that binds nothing, the
  // rest after the sub-pattern depends only on where it starts: one bit set
  // per rest remembers where it failed, so each try costs a bit test.
  const bool byPosition =
      memo != nullptr && !punctuationSensitive_ && memo->patternVariables(program, inner) == 0;
  const MatchMemo::Key restKey = byPosition ? restSetKey(program, pc, p + fixed + slack) : MatchMemo::Key{};
  // Otherwise the sub-pattern with its rest is one attempt from this place:
  // the wildcards before it may reach the same place many times over.
  MatchMemo::Key wholeKey;
  if (memo != nullptr && !byPosition) {
    wholeKey = memo->subpatternKey(program, pc, inner, patternEndOf(program, pc), p, k, slack, bindings_);
    if (memo->failed(wholeKey)) return -1;
  }
  const int longest = std::min(extra, slack);
  const bool mayStopEarly = byPosition && memo->restMayStopEarly(program, patternEndOf(program, pc));
  subpatternExhausted_ = false;
  // The set lives in the memo's fixed table; deeper tries add to it in place.
  const std::uint64_t* failedRests = byPosition ? memo->restFailures(restKey) : nullptr;
  // The sub-pattern's first success for every window at once, when its shape allows.
  std::array<std::int16_t, kkd::kMaxLengthSlots> windowOffsets;
  const bool readOnce = !regularInner && longest >= 0 && windowed(program, pc) &&
                        readWindows(program, pc, p, k, longest, windowOffsets.data());
  for (int u = 0; u <= longest; ++u) {
    if (byPosition) {
      // Jump over the starts whose rest is known to fail, a word at a time.
      if (failedRests == nullptr) failedRests = memo->restFailures(restKey);
      const int next = firstUntried(failedRests, p + fixed + u, p + fixed + longest);
      if (next < 0) break;
      u = next - p - fixed;
    }
    if (regularInner) {
      // Straight to the next window the sub-pattern matches.
      const int next = ends.next(p + fixed + u);
      if (next < 0 || next > p + fixed + longest) break;
      if (next > p + fixed + u) {
        u = next - p - fixed - 1;
        continue;
      }
    }
    const int from = p + fixed + u;
    VariableValues guard(bindings_);
    int k2 = k;
    int after = -1;
    if (regularInner) {
      after = patternEndOf(program, pc);
    } else if (readOnce) {
      if (windowOffsets[static_cast<std::size_t>(u)] < 0) continue;
      k2 = windowOffsets[static_cast<std::size_t>(u)];
      after = patternEndOf(program, pc);
    } else {
      after = runPattern(program, inner, p, k2, u, fixed + u);
    }
    if (after < 0) continue;
    if (byPosition) {
      const int r = runSegment(program, after, from, k2, slack - u);
      if (r < 0) {
        if (recordRestFailure(restKey, from, p + fixed + longest, mayStopEarly)) break;
        continue;
      }
      guard.keep();
      k = k2;
      return r;
    }
    MatchMemo::Key key;
    if (memo != nullptr) {
      key = memo->key(MatchMemo::place(program, after, p + fixed + u, k2, slack - u), program,
                      MatchMemo::Scope::Segment, after, bindings_);
      if (memo->failed(key)) continue;
    }
    const int r = runSegment(program, after, p + fixed + u, k2, slack - u);
    if (r < 0) {
      if (memo != nullptr) memo->recordFailure(key);
      continue;
    }
    guard.keep();
    k = k2;
    return r;
  }
  // Every rest from the first window's end to the stretch's end failed: from
  // any later place, this sub-pattern's windows would end among them.
  if (byPosition && extra >= slack) {
    subpatternExhausted_ = firstUntried(memo->restFailures(restKey), p + fixed, p + fixed + slack) < 0;
  }
  if (memo != nullptr && !byPosition) memo->recordFailure(wholeKey);
  return -1;
}

// The last variable-length sub-pattern of a template: it takes all the
// slack that is left.
int Matcher::runLastSubpattern(int program, int pc, int p, int& k, int slack, bool regularInner,
                               const PositionSet& ends) {
  const Inst header = inst(program, pc);
  const int fixed = header.fixedLength();
  if (header.extraLength() < slack) return -1;
  int k2 = k;
  const int after = regularInner ? (ends.test(p + fixed + slack) ? patternEndOf(program, pc) : -1)
                                 : runPattern(program, header.body(), p, k2, slack, fixed + slack);
  if (after < 0) return -1;
  const int r = runSegment(program, after, p + fixed + slack, k2, 0);
  if (r < 0) return -1;
  k = k2;
  return r;
}

// The key of the set of places from which the rest after the sub-pattern
// at pc failed, for a stretch that ends at `end`.
MatchMemo::Key Matcher::restSetKey(int program, int pc, int end) const {
  const int rest = patternEndOf(program, pc);
  return memo_->key(MatchMemo::restSet(program, rest, end), program, MatchMemo::Scope::Segment, rest, bindings_);
}

// Remembers that the rest after a sub-pattern failed from `from`. As for
// wildcards, a rest that failed in an element whose failure covers every
// later place fails for every longer window too: then those are remembered
// as well, up to `last`, and the answer is true.
bool Matcher::recordRestFailure(const MatchMemo::Key& restKey, int from, int last, bool mayStopEarly) {
  memo_->addRestFailure(restKey, from);
  if (!(mayStopEarly && wildcardFailed_ && wildcardFailedUnbound_)) return false;
  for (int later = from + 1; later <= last; ++later) memo_->addRestFailure(restKey, later);
  return true;
}

// The first position in [from, last] whose bit in the set is clear, or -1.
int Matcher::firstUntried(const std::uint64_t* failed, int from, int last) {
  if (failed == nullptr) return from <= last ? from : -1;
  for (int q = from; q <= last;) {
    const int word = q >> 6;
    if (word > 1) return q;
    std::uint64_t clear = ~failed[word] & (~std::uint64_t{0} << (q & 63));
    if (clear != 0) {
      const int found = word * 64 + std::countr_zero(clear);
      return found <= last ? found : -1;
    }
    q = (word + 1) * 64;
  }
  return -1;
}

}  // namespace kea
