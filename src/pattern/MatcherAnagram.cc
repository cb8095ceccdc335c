// Anagram parts: the letters of a stretch compared with the part's letters
// as a multiset, with a running deficit. Sub-pattern blocks claim windows
// of the stretch, choice lists and letter variables pick letters among
// those left, and the letters component takes what remains; each gives up
// as soon as a bound on the letters still needed shows that no choice can
// succeed. Blocks whose placement only decides yes or no are placed by a
// sweep over the stretch instead (BlockPlacement.h), after a short search
// when the sweep would have to run blocks window by window.
#include <algorithm>
#include <cstring>

#include "pattern/BlockPlacement.h"
#include "pattern/Matcher.h"
#include "pattern/MatchMemo.h"

namespace kea {

bool Matcher::runAnagram(int program, int pc, int p, int length, int deficit) {
  const AnagramFrame saved = anagram_;
  anagram_ = AnagramFrame{p, length, false};
  bool matched = false;
  if (!blocksHopeless(program, pc, length - deficit, deficit)) {
    // Blocks whose placement only decides yes or no are placed by a sweep
    // over the stretch. When the sweep must run blocks over every window
    // one by one, a short search comes first, which most often settles a
    // stretch that matches at once. The others are searched to the end.
    // Each part keeps its own count of tries.
    const int outerBudget = searchBudget_;
    const bool outerAborted = searchAborted_;
    const BlockPlacement::Plan* plan = placement_ ? placement_->find(program, pc) : nullptr;
    searchBudget_ = plan != nullptr && plan->searchFirst ? kSearchTries : -1;
    searchAborted_ = false;
    bool decided = false;
    if (plan == nullptr || plan->searchFirst) {
      matched = anagramComponent(program, pc, deficit);
      decided = !searchAborted_;
    }
    if (!decided) {
      const BlockPlacement::Outcome outcome = placement_->decide(*this, program, pc, p, length);
      searchBudget_ = -1;
      searchAborted_ = false;
      matched = outcome == BlockPlacement::Outcome::Unknown ? anagramComponent(program, pc, deficit)
                                                            : outcome == BlockPlacement::Outcome::Yes;
    }
    searchBudget_ = outerBudget;
    searchAborted_ = outerAborted;
  }
  anagram_ = saved;
  return matched;
}

// A bound over the sub-pattern blocks of an anagram part, before any is
// placed (anagramLength is the part's length L, r the deficit):
//  - when every block has a fixed length, no block takes letters beyond
//    its own, so placing blocks never lowers the deficit and only takes
//    letters away: if the stretch's letters cannot satisfy the letters
//    component now, no placement can make them;
//  - when the last variable-length block takes all remaining slack, the
//    deficit after it is never below 0 (it takes exactly r letters beyond
//    its own, or is left out and adds its size; left out for its full
//    size f + e it fails unless r <= -(f + e), which L < f + e rules out),
//    and choice and variable components only raise it: the letters
//    component then needs every one of its letters, so a letter missing
//    from the whole stretch dooms every placement.
bool Matcher::blocksHopeless(int program, int pc, int anagramLength, int r) {
  Inst component = inst(program, pc);
  if (!isBlockOpcode(component.opcode())) return false;
  bool allFixed = true;
  bool lastTakesSlack = false;
  for (; isBlockOpcode(component.opcode()); component = component.nextInst()) {
    const Inst block = inst(1 + component.poolIndex(), 0);
    if (block.extraLength() != 0) allFixed = false;
    if (component.is(OP_PATTERN_LAST) && component.occurrences() == 1 &&
        anagramLength < block.fixedLength() + block.extraLength()) {
      lastTakesSlack = true;
    }
  }
  if (!allFixed && !lastTakesSlack) return false;
  const int letters = lettersComponent(program, component.pc());
  if (letters < 0) return false;
  letterCounts_.fill(0);
  const std::uint8_t* key = word_->key;
  for (int i = 0; i < anagram_.length; ++i) ++letterCounts_[key[anagram_.p + i]];
  anagram_.program = program;
  anagram_.letters = letters;
  // With the slack taken, any missing letter fails: as if the deficit were 0.
  const bool hopeless = anagramHopeless(allFixed ? r : 0);
  anagram_.letters = -1;
  return hopeless;
}

// Runs the anagram components from pc with the running deficit r: r is the
// number of free letters when positive, and every component that is not
// found adds its size; the part fails as soon as r would exceed 0.
bool Matcher::anagramComponent(int program, int pc, int r) {
  const Inst component = inst(program, pc);
  const std::uint8_t op = component.opcode();
  if (isBlockOpcode(op)) return placeOccurrence(program, pc, 0, r);
  if (!anagram_.counted) {
    if (!spendTry()) return false;
    // The letters that no sub-pattern claimed, counted once on the way in.
    letterCounts_.fill(0);
    const std::uint8_t* key = word_->key;
    for (int i = 0; i < anagram_.length; ++i) {
      const int at = anagram_.p + i;
      if (claimed_[static_cast<std::size_t>(at)] == 0) ++letterCounts_[key[at]];
    }
    anagram_.counted = true;
    anagram_.program = program;
    anagram_.letters = lettersComponent(program, pc);
    const bool matched = anagramComponent(program, pc, r);
    anagram_.counted = false;
    return matched;
  }
  switch (op) {
    case OP_CHOICE_SET: {
      const std::uint8_t* set = pattern_.pool().entry(component.poolIndex()).data();
      const int highest = std::min(pattern_.alphabet().letterCount, 256) - 1;
      return pickChoices(program, pc, set, component.occurrences(), highest, r);
    }
    case OP_VARIABLES:
      return assignVariables(program, pc, r);
    case OP_LETTERS_DISTINCT: {
      const int n = component.distinctCount();
      for (int i = 0; i < n; ++i) {
        if (letterCounts_[component.distinctLetter(i)] == 0 && ++r > 0) return false;
      }
      return true;
    }
    case OP_LETTERS_COUNTED:
      for (CountedLetter pair = component.firstCounted(); !pair.atEnd(); pair = pair.next()) {
        const int need = pair.count();
        const int have = letterCounts_[pair.letter()];
        if (need > have) {
          r += need - have;
          if (r > 0) return false;
        }
      }
      return true;
    default:
      return true;
  }
}

// The anagram components from pc on the letters a block placement left
// free (BlockPlacement.h), under the bindings it set.
bool Matcher::componentsFit(int program, int pc, int start, int length, std::span<const std::uint8_t> letters,
                            const std::uint8_t* counts, int r) {
  letterCounts_.fill(0);
  for (std::size_t i = 0; i < letters.size(); ++i) letterCounts_[letters[i]] = counts[i];
  const AnagramFrame saved = anagram_;
  anagram_ = AnagramFrame{start, length, true, program, lettersComponent(program, pc)};
  const bool fits = anagramComponent(program, pc, r);
  anagram_ = saved;
  return fits;
}

bool Matcher::runBlock(int entry, int q, int extra, int length) {
  return runPattern(entry, kProgramBody, {q, punctuationBefore(q)}, extra, length).matched();
}

// Counts one try of a search that has a budget; false, and the search is
// cut short, once the budget is spent.
bool Matcher::spendTry() {
  if (searchBudget_ < 0) return true;
  if (searchBudget_ == 0) {
    searchAborted_ = true;
    return false;
  }
  --searchBudget_;
  return true;
}

// Position of the letters component among the components from pc, or -1.
int Matcher::lettersComponent(int program, int pc) const {
  for (Inst component = inst(program, pc);; component = component.nextInst()) {
    if (isLettersOpcode(component.opcode())) return component.pc();
    if (!isComponent(component)) return -1;
  }
}

// Whether the letters component must fail whatever the choice and variable
// components still do: they only take letters away and add to the deficit.
bool Matcher::anagramHopeless(int r) const {
  if (anagram_.letters < 0) return false;
  const Inst letters = inst(anagram_.program, anagram_.letters);
  int missing = 0;
  if (letters.is(OP_LETTERS_DISTINCT)) {
    for (int i = 0; i < letters.distinctCount(); ++i) missing += letterCounts_[letters.distinctLetter(i)] <= 0 ? 1 : 0;
  } else {
    for (CountedLetter pair = letters.firstCounted(); !pair.atEnd(); pair = pair.next()) {
      missing += std::max(0, pair.count() - letterCounts_[pair.letter()]);
    }
  }
  return missing > 0 && r + missing > 0;
}

// Picks the letters of a choice component, one pick at a time, in
// non-increasing alphabet index so that each multiset is tried once.
bool Matcher::pickChoices(int program, int pc, const std::uint8_t* set, int remaining,
                          int highest, int r) {
  if (remaining == 0) return anagramComponent(program, inst(program, pc).next(OP_CHOICE_SET), r);
  if (anagramHopeless(r)) return false;
  bool available = false;
  for (int x = highest; x >= 0; --x) {
    if (set[x] == 0 || letterCounts_[static_cast<std::size_t>(x)] <= 0) continue;
    available = true;
    --letterCounts_[static_cast<std::size_t>(x)];
    const bool matched = pickChoices(program, pc, set, remaining - 1, x, r);
    ++letterCounts_[static_cast<std::size_t>(x)];
    if (matched) return true;
  }
  if (available) return false;
  // No letter of the set is left: every remaining pick goes without.
  for (int i = 0; i < remaining; ++i) {
    if (r >= 0) return false;
    ++r;
  }
  return anagramComponent(program, inst(program, pc).next(OP_CHOICE_SET), r);
}

// Letter variables of an anagram part. Variables already bound (by the
// template or earlier) take their letters first; a shortfall adds to the
// deficit.
bool Matcher::assignVariables(int program, int pc, int r) {
  const std::uint8_t* counts = inst(program, pc).variableCounts();
  std::array<std::int16_t, 10> taken{};
  std::array<std::uint8_t, 10> letter{};
  bool matched = true;
  int v = 0;
  for (; v < 10; ++v) {
    const int n = counts[v];
    const std::uint8_t x = bindings_.lookup(v);
    if (n == 0 || x == VariableBindings::kUnbound) continue;
    std::int16_t& have = letterCounts_[x];
    letter[static_cast<std::size_t>(v)] = x;
    const int take = std::min(n, static_cast<int>(have));
    taken[static_cast<std::size_t>(v)] = static_cast<std::int16_t>(take);
    have = static_cast<std::int16_t>(have - take);
    if (n > take && (r += n - take) > 0) {
      matched = false;
      ++v;
      break;
    }
  }
  if (matched) matched = assignUnbound(program, pc, 0, r, 0);
  while (v > 0) {
    --v;
    letterCounts_[letter[static_cast<std::size_t>(v)]] =
        static_cast<std::int16_t>(letterCounts_[letter[static_cast<std::size_t>(v)]] + taken[static_cast<std::size_t>(v)]);
  }
  return matched;
}

// The unbound variables from v on, in order: each is tried against every
// letter still available (with exclusive variables, one that no other
// variable stands for), lowest alphabet index first. `fresh` marks the
// variables this search has given a letter or left unbound.
//
// Two fresh variables with as many occurrences are interchangeable: what
// they take from the letters, and so whether the rest succeeds, does not
// depend on which of them holds which letter. Of two such assignments the
// search meets the one whose earlier variable has the lower letter first
// (leaving a variable unbound comes after every letter), so a variable
// never needs a letter below that of the last fresh variable like it, and
// stays unbound when that one did; the first success is unchanged.
bool Matcher::assignUnbound(int program, int pc, int v, int r, std::uint16_t fresh) {
  const Inst variables = inst(program, pc);
  const std::uint8_t* counts = variables.variableCounts();
  while (v < 10 && (counts[v] == 0 || bindings_.lookup(v) != VariableBindings::kUnbound)) ++v;
  if (v == 10) return anagramComponent(program, variables.next(OP_VARIABLES), r);
  const int n = counts[v];
  const int letters = std::min(pattern_.alphabet().letterCount, 256);
  if (anagramHopeless(r) || variablesHopeless(counts, v, r)) return false;
  int lowest = 0;
  for (int w = v - 1; w >= 0; --w) {
    if ((fresh >> w & 1) == 0 || counts[w] != n) continue;
    const std::uint8_t held = bindings_.value[static_cast<std::size_t>(w)];
    lowest = held == VariableBindings::kUnbound ? letters : held;
    break;
  }
  const auto marked = static_cast<std::uint16_t>(fresh | 1u << v);
  for (int x = lowest; x < letters; ++x) {
    std::int16_t& have = letterCounts_[static_cast<std::size_t>(x)];
    if (have <= 0) continue;
    const auto candidate = static_cast<std::uint8_t>(x);
    if (bindings_.exclusive && bindings_.heldByOther(v, candidate)) continue;
    const int take = std::min(n, static_cast<int>(have));
    const int r2 = r + (n - take);
    if (n > take && r2 > 0) continue;
    VariableValues guard(bindings_);
    bindings_.value[static_cast<std::size_t>(v)] = candidate;
    have = static_cast<std::int16_t>(have - take);
    const bool matched = assignUnbound(program, pc, v + 1, r2, marked);
    letterCounts_[static_cast<std::size_t>(x)] =
        static_cast<std::int16_t>(letterCounts_[static_cast<std::size_t>(x)] + take);
    if (matched) {
      guard.keep();
      return true;
    }
  }
  // No letter serves: the variable stays unbound and its letters are missing.
  r += n;
  if (r > 0) return false;
  return assignUnbound(program, pc, v + 1, r, marked);
}

// With exclusive variables, each unbound variable from v on needs a letter
// of its own that no variable holds; those that cannot have one stay
// unbound and add their occurrences to the deficit. Whether even the
// cheapest such outcome exceeds what the deficit allows.
bool Matcher::variablesHopeless(const std::uint8_t* counts, int v, int r) const {
  if (!bindings_.exclusive) return false;
  int wanting[10];
  int unbound = 0;
  for (int w = v; w < 10; ++w) {
    if (counts[w] != 0 && bindings_.value[static_cast<std::size_t>(w)] == VariableBindings::kUnbound) {
      wanting[unbound++] = counts[w];
    }
  }
  int available = 0;
  const int letters = std::min(pattern_.alphabet().letterCount, 256);
  for (int x = 0; x < letters && available < unbound; ++x) {
    if (letterCounts_[static_cast<std::size_t>(x)] > 0 && !bindings_.heldByOther(-1, static_cast<std::uint8_t>(x))) {
      ++available;
    }
  }
  if (available >= unbound) return false;
  // The cheapest variables to leave unbound: the ones with fewest occurrences.
  int cost = 0;
  for (int left = unbound - available; left > 0; --left) {
    int cheapest = 0;
    for (int i = 1; i < unbound; ++i) {
      if (wanting[i] < wanting[cheapest]) cheapest = i;
    }
    cost += wanting[cheapest];
    wanting[cheapest] = 1 << 20;
  }
  return r + cost > 0;
}

// One occurrence of a sub-pattern component: a window of unclaimed letters
// that the sub-pattern matches, longest window first, rightmost first.
bool Matcher::placeOccurrence(int program, int pc, int occurrence, int r) {
  const Inst block = inst(program, pc);
  if (occurrence == block.occurrences()) return anagramComponent(program, block.next(), r);
  MatchMemo* memo = memo_.get();
  const bool remember = memo != nullptr && r > -512 && r < 512;
  const MatchMemo::Key key = remember ? memo->placementKey(program, pc, occurrence, r, anagram_.p, anagram_.length,
                                                          claimed_.data(), bindings_)
                                      : MatchMemo::Key{};
  if (remember && memo->failed(key)) return false;
  const bool matched = placeWindows(program, pc, occurrence, r);
  // A search cut short proves nothing.
  if (!matched && remember && !searchAborted_) memo->recordFailure(key);
  return matched;
}

bool Matcher::placeWindows(int program, int pc, int occurrence, int r) {
  const Inst block = inst(program, pc);
  const int entry = 1 + block.poolIndex();
  const Inst header = inst(entry, 0);
  const int fixed = header.fixedLength();
  const int extra = header.extraLength();
  const int n = anagram_.length;
  int longest = std::min(extra, n - fixed);
  int shortest = 0;
  if (block.is(OP_PATTERN_LAST) && block.occurrences() == 1) {
    if (r < 0 || r > extra) {
      const int missing = fixed + extra;
      if (missing > 0 && (r += missing) > 0) return false;
      return placeOccurrence(program, pc, occurrence + 1, r);
    }
    longest = shortest = r;
  }
  // Per letter of the stretch: how many unclaimed letters end there.
  std::array<std::uint8_t, kkd::kMaxLengthSlots + 1> freeRun;
  int longestRun = 0;
  for (int i = 0, run = 0; i < n && i < static_cast<int>(freeRun.size()); ++i) {
    run = claimed_[static_cast<std::size_t>(anagram_.p + i)] != 0 ? 0 : run + 1;
    freeRun[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(run);
    longestRun = std::max(longestRun, run);
  }
  // No window longer than the longest unclaimed run is free.
  for (int u = std::min(longest, longestRun - fixed); u >= shortest; --u) {
    const int window = fixed + u;
    for (int start = n - window; start >= 0; --start) {
      const int from = anagram_.p + start;
      // A claimed letter in the window rules out every start up to the one
      // whose window ends just before it.
      const int last = start + window - 1;
      if (window > 0 && freeRun[static_cast<std::size_t>(last)] < window) {
        start = last - freeRun[static_cast<std::size_t>(last)] - window + 1;
        continue;
      }
      if (!spendTry()) return false;
      VariableValues guard(bindings_);
      if (!runPattern(entry, header.body(), {from, punctuationBefore(from)}, u, window).matched()) continue;
      for (int i = 0; i < window; ++i) claimed_[static_cast<std::size_t>(from + i)] = 1;
      const bool matched = placeOccurrence(program, pc, occurrence + 1, r - u);
      for (int i = 0; i < window; ++i) claimed_[static_cast<std::size_t>(from + i)] = 0;
      if (matched) {
        guard.keep();
        return true;
      }
      if (searchAborted_) return false;
    }
  }
  // No window serves: the occurrence is left out.
  if (fixed > 0 && (r += fixed) > 0) return false;
  return placeOccurrence(program, pc, occurrence + 1, r);
}

// The balance of an anagram part that has just matched a stretch: letters
// of the stretch beyond the anagram's letters count +1, anagram letters the
// stretch lacks -1. Only an anagram of letters (and match-alls) has one.
void Matcher::recordBalance(int program, int anagramPc, int p, int length) {
  ++balanceGeneration_;
  balanceCounts_.fill(0);
  const Inst letters = inst(program, inst(program, anagramPc).components());
  if (!isLettersOpcode(letters.opcode())) return;
  for (int i = 0; i < length; ++i) ++balanceCounts_[word_->key[p + i]];
  if (letters.is(OP_LETTERS_DISTINCT)) {
    for (int i = 0; i < letters.distinctCount(); ++i) --balanceCounts_[letters.distinctLetter(i)];
  } else {
    for (CountedLetter pair = letters.firstCounted(); !pair.atEnd(); pair = pair.next()) {
      balanceCounts_[pair.letter()] -= pair.count();
    }
  }
}

}  // namespace kea
