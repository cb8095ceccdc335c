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
#include <optional>

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

Attempt Matcher::runPattern(int program, int pc, Place at, int slack, int length) {
  // The outermost pattern runs once per word; everything else may be tried
  // again from the same place.
  MatchMemo* memo = program == 0 && pc == kProgramBody ? nullptr : memo_.get();
  if (memo != nullptr && !memo->patternBacktracks(program, pc)) memo = nullptr;
  MatchMemo::Key key;
  if (memo != nullptr) {
    key = memo->key(MatchMemo::place(program, pc, at, slack), program, MatchMemo::Scope::Pattern, pc, bindings_);
    if (memo->failed(key)) return Attempt::mismatch();
  }
  VariableValues guard(bindings_);
  const Code c = code(program);
  int offset = at.offset;
  for (;;) {
    const Inst part(c, pc);
    if (part.is(OP_END)) {
      guard.keep();
      return Attempt::success(part.next(OP_END), offset);
    }
    if (part.is(OP_ANAGRAM)) {
      if (runAnagram(program, part.components(), at.letter, length, length - part.anagramLength())) {
        recordBalance(program, pc, at.letter, length);
        guard.keep();
        return Attempt::success(Inst(c, endOfAnagram(program, part.components())).next(OP_END), offset);
      }
      break;
    }
    const Attempt segment = runSegment(program, pc, {at.letter, offset}, slack);
    if (!segment.matched()) break;
    pc = segment.next;
    offset = segment.offset;
  }
  if (memo != nullptr) memo->recordFailure(key);
  return Attempt::mismatch();
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


Attempt Matcher::runSegment(int program, int pc, Place at, int slack) {
  VariableValues guard(bindings_);
  const Code c = code(program);
  const std::uint8_t* key = word_->key;
  for (;;) {
    const Inst op(c, pc);
    switch (op.opcode()) {
      case OP_END:
        guard.keep();
        return Attempt::success(op.next(OP_END), at.offset);
      case OP_RUN: {
        const int n = op.runLength();
        if (punctuationSensitive_ && !runAligned(at.letter, n, at.offset)) return Attempt::mismatch();
        RunItem item = op.plainItems();
        for (; !item.atEnd(); item = item.nextPlain()) {
          if (key[at.letter + item.plainPosition()] != item.letter()) return Attempt::mismatch();
        }
        pc = item.pc();
        at.letter += n;
        break;
      }
      case OP_MIXED_RUN: {
        const int n = op.runLength();
        if (punctuationSensitive_ && !runAligned(at.letter, n, at.offset)) return Attempt::mismatch();
        newBinding_ = false;
        pc = runMixedRun(op, at.letter);
        if (pc < 0) return Attempt::mismatch();
        // A new binding may leave the rest of the template nowhere to go.
        if (newBinding_ && outline_ != nullptr && program == 0 &&
            !outline_->feasible(outline_->stepAfter(op.pc()), at.letter + n, key, wordLength_, bindings_)) {
          return Attempt::mismatch();
        }
        at.letter += n;
        break;
      }
      case OP_EXACT:
        if (significantAt(at.letter + at.offset) != op.character()) return Attempt::mismatch();
        pc = op.next(OP_EXACT);
        break;
      case OP_PUNCT:
        if (significantAt(at.letter + at.offset) != op.character()) return Attempt::mismatch();
        ++at.offset;
        pc = op.next(OP_PUNCT);
        break;
      case OP_PATTERN: {
        const int fixed = op.fixedLength();
        const Attempt window = runPattern(program, op.body(), at, 0, fixed);
        if (!window.matched()) return Attempt::mismatch();
        pc = window.next;
        at = {at.letter + fixed, window.offset};
        break;
      }
      case OP_SKIP:
      case OP_SKIP_REST:
      case OP_PATTERN_VARIABLE:
      case OP_PATTERN_LAST: {
        // The nested segment holds the rest of the template; only this
        // segment's OP_END follows it.
        const bool wildcard = op.is(OP_SKIP) || op.is(OP_SKIP_REST);
        const Attempt rest = wildcard ? runSkip(program, pc, at, slack) : runSubpattern(program, pc, at, slack);
        if (!rest.matched()) {
          // Tell the wildcard before this one why its try failed.
          return rest.inTries ? Attempt::failedInTries(guard.unchanged()) : Attempt::mismatch();
        }
        pc = rest.next;
        at.offset = rest.offset;
        break;
      }
      default:
        return Attempt::mismatch();
    }
  }
}

// A wildcard: absorbs letters (and the punctuation among them) and runs the
// rest of the template after them. The last wildcard of a template takes
// all the slack at once; any other tries the fewest letters first and, for
// each, the earliest punctuation offset first. Its failure is always one
// of its tries.
Attempt Matcher::runSkip(int program, int pc, Place at, int slack) {
  const Inst skip = inst(program, pc);
  const int next = skip.nested();
  if (skip.is(OP_SKIP_REST)) {
    const int target = at.letter + slack;
    const int highest = punctuationBefore(target);
    for (int offset = at.offset; offset <= highest; ++offset) {
      const Attempt rest = runSegment(program, next, {target, offset}, 0);
      if (rest.matched()) return rest;
    }
    return Attempt::failedInTries(false);
  }
  MatchMemo* memo = memo_.get();
  const MatchMemo::Key key = memo != nullptr ? memo->key(MatchMemo::threshold(program, pc, at.letter + slack), program,
                                                         MatchMemo::Scope::Segment, next, bindings_)
                                             : MatchMemo::Key{};
  const std::optional<Place> failedStart = memo != nullptr ? memo->thresholdOf(key) : std::nullopt;
  const bool mayStopEarly = !punctuationSensitive_ && memo != nullptr && memo->skipMayStopEarly(program, pc);
  int lowest = at.offset;
  bool givenUp = false;
  for (int t = 0; t <= slack && !givenUp; ++t) {
    const int highest = punctuationBefore(at.letter + t);
    for (int offset = lowest; offset <= highest; ++offset) {
      const Place to{at.letter + t, offset};
      // Tries from here on were all made, and failed, from an earlier start.
      if (failedStart && amongTries(*failedStart, to)) {
        givenUp = true;
        break;
      }
      const Attempt rest = runSegment(program, next, to, slack - t);
      if (rest.matched()) return rest;
      if (mayStopEarly && rest.coversLaterPlaces()) {
        givenUp = true;
        break;
      }
    }
    lowest = std::max(lowest, highest);
  }
  if (memo != nullptr && (!failedStart || amongTries(at, *failedStart))) memo->setThreshold(key, at);
  return Attempt::failedInTries(false);
}

// Whether the place `to` is among a wildcard's tries from `start`: the
// tries from a start are every place from it on, in order, so the tries
// from any such place are a suffix of them.
bool Matcher::amongTries(Place start, Place to) const {
  if (!punctuationSensitive_) return to.letter >= start.letter;
  const std::uint8_t* counts = word_->punctuationCounts;
  if (to.offset > counts[to.letter]) return false;
  if (to.letter == start.letter) return to.offset >= start.offset;
  return to.letter > start.letter && to.offset >= std::max(start.offset, static_cast<int>(counts[to.letter - 1]));
}

namespace {

// The first position in [from, last] whose bit in the set is clear, or -1.
int firstUntried(const std::uint64_t* failed, int from, int last) {
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

// The window lengths a variable-length sub-pattern tries, shortest first:
// each is the slack u its window takes beyond the sub-pattern's fixed
// length, so that the rest of the template starts at `base` + u. Every
// length up to the longest is a candidate, less those the sub-pattern is
// known not to match (read once for every window) and those from whose
// end the rest is known to fail.
class WindowLengths {
 public:
  WindowLengths(int base, int longest) : base_(base), longest_(longest) {}

  // The set of failed rests lives in the memo's fixed table, and tries
  // add to it in place.
  void skipFailedRests(const MatchMemo& memo, const MatchMemo::Key& restKey) {
    memo_ = &memo;
    restKey_ = &restKey;
    failed_ = memo.restFailures(restKey);
  }
  // The places where the sub-pattern's windows may end.
  void keepEnds(const PositionSet& ends) { ends_ = &ends; }
  // Per window length, the offset where the sub-pattern's first success
  // ends, or -1.
  void keepOffsets(const std::int16_t* offsets) { offsets_ = offsets; }

  // The first candidate from u on, or -1.
  int from(int u) {
    while (u <= longest_) {
      if (memo_ != nullptr) {
        if (failed_ == nullptr) failed_ = memo_->restFailures(*restKey_);
        const int next = firstUntried(failed_, base_ + u, base_ + longest_);
        if (next < 0) return -1;
        u = next - base_;
      }
      if (ends_ != nullptr) {
        const int next = ends_->next(base_ + u);
        if (next < 0 || next > base_ + longest_) return -1;
        if (next > base_ + u) {
          u = next - base_;
          continue;
        }
      }
      if (offsets_ == nullptr || offsets_[u] >= 0) return u;
      ++u;
    }
    return -1;
  }

 private:
  int base_;
  int longest_;
  const MatchMemo* memo_ = nullptr;
  const MatchMemo::Key* restKey_ = nullptr;
  const std::uint64_t* failed_ = nullptr;
  const PositionSet* ends_ = nullptr;
  const std::int16_t* offsets_ = nullptr;
};

}  // namespace

// A variable-length sub-pattern in a template, followed by the rest of the
// template as a nested segment. It fails "in its tries" when every rest
// from the first window's end to the stretch's end failed: from any later
// place, its windows would end among them.
Attempt Matcher::runSubpattern(int program, int pc, Place at, int slack) {
  const Inst header = inst(program, pc);
  const int fixed = header.fixedLength();
  const int inner = header.body();
  const int after = patternEndOf(program, pc);
  // A regular sub-pattern is read once for every window length: its
  // matching binds nothing, so only whether it matches each window counts.
  const bool regularInner = regular(program, pc);
  const PositionSet ends = regularInner
                               ? reachPattern(program, inner, PositionSet::single(at.letter), at.letter + fixed + slack)
                               : PositionSet{};
  if (header.is(OP_PATTERN_LAST)) return runLastSubpattern(program, pc, at, slack, regularInner, ends);
  MatchMemo* memo = memo_.get();
  // Without punctuation, and with an inner pattern that binds nothing, the
  // rest after the sub-pattern depends only on where it starts: one bit set
  // per rest remembers where it failed, so each try costs a bit test.
  const bool byPosition =
      memo != nullptr && !punctuationSensitive_ && memo->patternVariables(program, inner) == 0;
  const MatchMemo::Key restKey = byPosition ? restSetKey(program, pc, at.letter + fixed + slack) : MatchMemo::Key{};
  // Otherwise the sub-pattern with its rest is one attempt from this place:
  // the wildcards before it may reach the same place many times over.
  MatchMemo::Key wholeKey;
  if (memo != nullptr && !byPosition) {
    wholeKey = memo->subpatternKey(program, pc, inner, after, at, slack, bindings_);
    if (memo->failed(wholeKey)) return Attempt::mismatch();
  }
  const int longest = std::min(header.extraLength(), slack);
  const int restStart = at.letter + fixed;
  const bool mayStopEarly = byPosition && memo->restMayStopEarly(program, after);
  WindowLengths lengths(restStart, longest);
  if (byPosition) lengths.skipFailedRests(*memo, restKey);
  // The sub-pattern's first success for every window at once, when its shape allows.
  std::array<std::int16_t, kkd::kMaxLengthSlots> windowOffsets;
  const bool readOnce = !regularInner && longest >= 0 && windowed(program, pc) &&
                        readWindows(program, pc, at, longest, windowOffsets.data());
  if (regularInner) lengths.keepEnds(ends);
  if (readOnce) lengths.keepOffsets(windowOffsets.data());
  for (int u = lengths.from(0); u >= 0; u = lengths.from(u + 1)) {
    VariableValues guard(bindings_);
    const Attempt window = regularInner ? Attempt::success(after, at.offset)
                           : readOnce   ? Attempt::success(after, windowOffsets[static_cast<std::size_t>(u)])
                                        : runPattern(program, inner, at, u, fixed + u);
    if (!window.matched()) continue;
    const Place restAt{restStart + u, window.offset};
    const Attempt rest = byPosition ? runSegment(program, window.next, restAt, slack - u)
                                    : runRemembered(program, window.next, restAt, slack - u);
    if (rest.matched()) {
      guard.keep();
      return rest;
    }
    if (byPosition &&
        recordRestFailure(restKey, restAt.letter, restStart + longest, mayStopEarly && rest.coversLaterPlaces())) {
      break;
    }
  }
  if (byPosition && header.extraLength() >= slack &&
      firstUntried(memo->restFailures(restKey), restStart, restStart + slack) < 0) {
    return Attempt::failedInTries(false);
  }
  if (memo != nullptr && !byPosition) memo->recordFailure(wholeKey);
  return Attempt::mismatch();
}

// The rest of a template from a place, remembered when it fails.
Attempt Matcher::runRemembered(int program, int pc, Place at, int slack) {
  MatchMemo* memo = memo_.get();
  MatchMemo::Key key;
  if (memo != nullptr) {
    key = memo->key(MatchMemo::place(program, pc, at, slack), program, MatchMemo::Scope::Segment, pc, bindings_);
    if (memo->failed(key)) return Attempt::mismatch();
  }
  const Attempt rest = runSegment(program, pc, at, slack);
  if (!rest.matched() && memo != nullptr) memo->recordFailure(key);
  return rest;
}

// The last variable-length sub-pattern of a template: it takes all the
// slack that is left.
Attempt Matcher::runLastSubpattern(int program, int pc, Place at, int slack, bool regularInner,
                                   const PositionSet& ends) {
  const Inst header = inst(program, pc);
  const int fixed = header.fixedLength();
  if (header.extraLength() < slack) return Attempt::mismatch();
  const int end = at.letter + fixed + slack;
  const Attempt window = !regularInner       ? runPattern(program, header.body(), at, slack, fixed + slack)
                         : ends.test(end) ? Attempt::success(patternEndOf(program, pc), at.offset)
                                          : Attempt::mismatch();
  if (!window.matched()) return Attempt::mismatch();
  const Attempt rest = runSegment(program, window.next, {end, window.offset}, 0);
  return rest.matched() ? rest : Attempt::mismatch();
}

// The key of the set of places from which the rest after the sub-pattern
// at pc failed, for a stretch that ends at `end`.
MatchMemo::Key Matcher::restSetKey(int program, int pc, int end) const {
  const int rest = patternEndOf(program, pc);
  return memo_->key(MatchMemo::restSet(program, rest, end), program, MatchMemo::Scope::Segment, rest, bindings_);
}

// Remembers that the rest after a sub-pattern failed from `from`. As for
// wildcards, a rest whose failure covers every later place fails for every
// longer window too: then those are remembered as well, up to `last`, and
// the answer is true.
bool Matcher::recordRestFailure(const MatchMemo::Key& restKey, int from, int last, bool coversLater) {
  memo_->addRestFailure(restKey, from);
  if (!coversLater) return false;
  for (int later = from + 1; later <= last; ++later) memo_->addRestFailure(restKey, later);
  return true;
}

}  // namespace kea
