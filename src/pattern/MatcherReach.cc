// Matching over sets of places. A pattern that binds no letter variable,
// holds no anagram part and meets no significant punctuation describes a
// plain set of letter strings: whether it matches a stretch of the word
// depends on that stretch's letters alone, and backtracking through its
// wildcards and sub-patterns can only ever find, or fail to find, such a
// reading. So instead of trying one split after another, the matcher
// carries the set of all places a reading may have reached: a run keeps
// the places where its letters stand and moves them on by its length, a
// wildcard reaches every later place, a sub-pattern maps each place to the
// places where it may end. One pass over the program then answers, for
// every stretch that starts at the given places, whether the pattern
// matches it.
#include <algorithm>
#include <type_traits>

#include "pattern/Matcher.h"

namespace kea {

void Matcher::buildLetterMasks() {
  if (letterMasksReady_) return;
  for (int i = 0; i < maskedLetterCount_; ++i) letterMasks_[maskedLetters_[static_cast<std::size_t>(i)]] = {};
  maskedLetterCount_ = 0;
  const std::uint8_t* key = word_->key;
  for (int i = 0; i < wordLength_; ++i) {
    PositionSet& mask = letterMasks_[key[i]];
    if (mask.empty()) maskedLetters_[static_cast<std::size_t>(maskedLetterCount_++)] = key[i];
    mask.set(i);
  }
  letterMasksReady_ = true;
}

const std::array<PositionSet, 256>& Matcher::letterPlaces() {
  buildLetterMasks();
  return letterMasks_;
}

std::span<const std::uint8_t> Matcher::heldLetters() const {
  return {maskedLetters_.data(), static_cast<std::size_t>(maskedLetterCount_)};
}

PositionSet Matcher::reachBlock(int entry, PositionSet from, int end) {
  return reachPattern(entry, kProgramBody, from, end);
}

// The places where the run whose opcode stands at pc (n letters) may
// start, wholly before `end`.
PositionSet Matcher::runStarts(Inst run, int end) {
  PositionSet starts = PositionSet::range(0, end - run.runLength());
  for (RunItem item = run.firstItem(); !item.atEnd() && !starts.empty(); item = item.next()) {
    if (item.isLetter()) {
      starts &= letterMasks_[item.letter()].earlier(item.position());
    } else {
      // A choice list (letter variables never reach here).
      const int count = item.listSize();
      PositionSet listed;
      for (int i = 0; i < count; ++i) listed |= letterMasks_[item.listAt(i)];
      if (item.negated()) listed = PositionSet::below(wordLength_).andNot(listed);
      starts &= listed.earlier(item.position());
    }
  }
  return starts;
}

// The places where the segment from pc may end, from any of the places in
// `from`, within the stretch that ends at `end`: over letter places
// (PositionSet) or over the indices of the significant-character plane
// (PlaneSet), where punctuation is read as well. A nested segment (after a
// wildcard or a variable-length sub-pattern) is read on in the same loop:
// its OP_END ends the reading of the segment around it as well.
template <typename Places>
Places Matcher::reachFrom(int program, int pc, Places from, int end) {
  constexpr bool overPlane = std::is_same_v<Places, PlaneSet>;
  const Code c = code(program);
  Places at = from;
  while (!at.empty()) {
    const Inst here(c, pc);
    switch (here.opcode()) {
      case OP_RUN:
      case OP_MIXED_RUN:
        if constexpr (overPlane) {
          at = (at & planeRunStarts(here, end)).later(here.runLength());
        } else {
          at = (at & runStarts(here, end)).later(here.runLength());
        }
        pc = here.runEnd();
        break;
      case OP_SKIP:
      case OP_SKIP_REST:
        at = Places::range(at.lowest(), end);
        pc = here.nested();
        break;
      case OP_EXACT:
      case OP_PUNCT:
        // Only a plane holds punctuation.
        if constexpr (overPlane) {
          at &= rawMask(here.character());
          if (here.is(OP_PUNCT)) at = at.later(1);
          pc = here.next(here.opcode());
          break;
        } else {
          return {};
        }
      case OP_PATTERN:
      case OP_PATTERN_VARIABLE:
      case OP_PATTERN_LAST:
        // Sub-patterns are read over letter places only.
        if constexpr (overPlane) {
          return {};
        } else {
          at = reachPattern(program, here.body(), at, end);
          pc = patternEndOf(program, pc);
          break;
        }
      case OP_END:
        return at;
      default:
        // Not a regular program; never reached.
        return {};
    }
  }
  return at;
}

PositionSet Matcher::reachPattern(int program, int body, PositionSet from, int end) {
  buildLetterMasks();
  return reachFrom(program, body, from, end);
}

// The plane masks of the word being read (once per word, see readPlane).
void Matcher::buildPlaneMasks() {
  for (int i = 0; i < planeMaskedCount_; ++i) planeLetters_[planeMasked_[static_cast<std::size_t>(i)]] = {};
  planeMaskedCount_ = 0;
  planeIsLetter_ = {};
  const std::uint8_t* counts = word_->punctuationCounts;
  int letter = 0;
  for (int i = 0; i <= significantLength_ && i < PlaneSet::kSize; ++i) {
    if (letter < wordLength_ && letter + counts[letter] == i) {
      const std::uint8_t x = word_->key[letter];
      PlaneSet& mask = planeLetters_[x];
      if (mask.empty()) planeMasked_[static_cast<std::size_t>(planeMaskedCount_++)] = x;
      mask.set(i);
      planeIsLetter_.set(i);
      ++letter;
    }
  }
}

// The indices holding this raw character (0 stands at the plane's end and
// beyond, as the matcher reads it).
PlaneSet Matcher::rawMask(std::uint8_t raw) {
  if (rawStamps_[raw] == planeStamp_) return rawMasks_[raw];
  PlaneSet mask;
  if (raw == 0) {
    mask = PlaneSet::range(significantLength_, PlaneSet::kSize - 1);
  } else {
    for (int i = 0; i < significantLength_ && i < PlaneSet::kSize; ++i) {
      if (word_->significant[i] == raw) mask.set(i);
    }
  }
  rawMasks_[raw] = mask;
  rawStamps_[raw] = planeStamp_;
  return mask;
}

// As runStarts, over plane indices: a run's letters stand at consecutive
// indices, with no punctuation before or among them.
PlaneSet Matcher::planeRunStarts(Inst run, int end) {
  const int n = run.runLength();
  PlaneSet starts = PlaneSet::range(0, end - n);
  for (int j = 0; j < n && !starts.empty(); ++j) starts &= planeIsLetter_.earlier(j);
  for (RunItem item = run.firstItem(); !item.atEnd() && !starts.empty(); item = item.next()) {
    if (item.isLetter()) {
      starts &= planeLetters_[item.letter()].earlier(item.position());
    } else {
      const int count = item.listSize();
      PlaneSet listed;
      for (int i = 0; i < count; ++i) listed |= planeLetters_[item.listAt(i)];
      if (item.negated()) listed = planeIsLetter_.andNot(listed);
      starts &= listed.earlier(item.position());
    }
  }
  return starts;
}

PlaneSet Matcher::reachPlane(int pc, PlaneSet from, int end) { return reachFrom(0, pc, from, end); }

}  // namespace kea
