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

#include "pattern/MatchEngine.h"

namespace kea {

namespace {

// Walks a program to find, for every pattern header, where the pattern
// ends and whether it is regular.
class ShapeWalker {
 public:
  // `shapes` holds the shapes of the pool entries walked so far: an anagram
  // component names an entry that precedes the program naming it.
  ShapeWalker(Code code, PatternShape& shape, const std::vector<PatternShape>& shapes, bool anyRegular)
      : code_(code), shape_(shape), shapes_(shapes), anyRegular_(anyRegular) {}

  int variableSubpatterns = 0;

  // From a header: the position after the pattern's OP_END, and whether
  // the pattern is regular.
  int pattern(int header, bool& regular) {
    int pos = Inst(code_, header).body();
    regular = anyRegular_;
    const bool outerVariables = variables_;
    const bool outerAnagram = anagram_;
    variables_ = false;
    anagram_ = false;
    for (;;) {
      const std::uint8_t op = code_.opcodeAt(pos);
      if (op == OP_END) {
        pos = Inst(code_, pos).next();
        break;
      }
      if (op == OP_PROGRAM_END) break;
      if (op == OP_ANAGRAM) {
        regular = false;
        anagram_ = true;
        shape_.anagrams.push_back(static_cast<std::uint32_t>(pos));
        shape_.anagramOwners.push_back(static_cast<std::uint32_t>(header));
        pos = anagram(Inst(code_, pos).components());
        continue;
      }
      pos = segment(pos, regular);
    }
    if (variables_) regular = false;
    const auto at = static_cast<std::size_t>(header);
    if (at < shape_.regular.size()) {
      shape_.regular[at] = regular ? 1 : 0;
      shape_.variables[at] = variables_ ? 1 : 0;
      shape_.anagram[at] = anagram_ ? 1 : 0;
      shape_.end[at] = static_cast<std::uint32_t>(pos);
    }
    variables_ = variables_ || outerVariables;
    anagram_ = anagram_ || outerAnagram;
    return pos;
  }

 private:
  Code code_;
  PatternShape& shape_;
  const std::vector<PatternShape>& shapes_;
  bool anyRegular_;
  bool variables_ = false;
  bool anagram_ = false;

  bool entryMentionsVariables(int index) const {
    const auto program = static_cast<std::size_t>(1 + index);
    return program < shapes_.size() && !shapes_[program].variables.empty() && shapes_[program].variables[0] != 0;
  }

  // The components from pos; the position of the pattern's OP_END after them.
  int anagram(int pos) {
    for (;;) {
      const std::uint8_t op = code_.opcodeAt(pos);
      const Inst component(code_, pos);
      if (isBlockOpcode(op)) {
        variables_ = variables_ || entryMentionsVariables(component.poolIndex());
      } else if (op == OP_VARIABLES) {
        variables_ = true;
      } else if (op != OP_CHOICE_SET && !isLettersOpcode(op)) {
        return pos;
      }
      pos = component.next();
    }
  }

  // A segment up to and including its OP_END.
  int segment(int pos, bool& regular) {
    for (;;) {
      const std::uint8_t op = code_.opcodeAt(pos);
      const Inst here(code_, pos);
      switch (op) {
        case OP_END:
          return here.next();
        case OP_RUN:
          pos = here.runEnd();
          break;
        case OP_MIXED_RUN: {
          RunItem item = here.firstItem();
          for (; !item.atEnd(); item = item.next()) variables_ = variables_ || item.isVariable();
          pos = item.pc();
          break;
        }
        case OP_EXACT:
        case OP_PUNCT:
          regular = false;
          pos = here.next();
          break;
        case OP_SKIP:
        case OP_SKIP_REST:
          // The rest of the template is a nested segment.
          pos = segment(here.nested(), regular);
          break;
        case OP_PATTERN:
        case OP_PATTERN_VARIABLE:
        case OP_PATTERN_LAST: {
          if (op != OP_PATTERN) ++variableSubpatterns;
          bool inner = false;
          pos = pattern(pos, inner);
          regular = regular && inner;
          if (op != OP_PATTERN) pos = segment(pos, regular);
          break;
        }
        default:
          regular = false;
          return code_.size();
      }
    }
  }
};

}  // namespace

void MatchEngine::analyseRegular() {
  const int programs = 1 + pool_.count();
  shapes_.assign(static_cast<std::size_t>(programs), PatternShape{});
  // Pool entries first, in order: anagram components name earlier entries.
  for (int step = 1; step <= programs; ++step) {
    const int program = step % programs;
    const std::vector<std::uint8_t>& bytes = program == 0 ? program_ : pool_.entry(program - 1);
    PatternShape& shape = shapes_[static_cast<std::size_t>(program)];
    shape.regular.assign(bytes.size(), 0);
    shape.variables.assign(bytes.size(), 0);
    shape.anagram.assign(bytes.size(), 0);
    shape.windowed.assign(bytes.size(), 0);
    shape.end.assign(bytes.size(), 0);
    // A choice set in the pool is not a program.
    if (!isPatternHeader(Code(bytes).opcodeAt(0))) continue;
    bool regular = false;
    ShapeWalker walker(Code(bytes), shape, shapes_, !punctuationSensitive_);
    walker.pattern(0, regular);
    for (std::size_t header = 0; header < bytes.size(); ++header) {
      if (shape.end[header] != 0 && windowedShape(Code(bytes), static_cast<int>(header))) shape.windowed[header] = 1;
    }
    // Plain wildcards backtrack cheaply with the memo's help; variable-length
    // sub-patterns multiply the tries, and are better read over sets.
    if (program == 0) readWholeOverSets_ = regular && walker.variableSubpatterns > 0;
  }
  // With significant punctuation: the outermost template over plane
  // indices, when it has wildcards to try and no sub-pattern. A wildcard
  // that takes the rest of its template's letters may stop at a
  // punctuation offset below the punctuation before the letters it took:
  // a place that is no plane index. In the outermost template nothing can
  // match from there (a run needs its letter at the place, and a chain of
  // punctuation to the end of the word would have to pass over a letter),
  // but a sub-pattern that ends there hands it on as its first success,
  // and the template goes on from it.
  const PatternShape& top = shapes_[0];
  readPlaneOverSets_ = false;
  if (punctuationSensitive_ && memo_ && !top.variables.empty() && top.variables[0] == 0 && top.anagram[0] == 0) {
    readPlaneOverSets_ = true;
    // Runs, wildcards, punctuation and OP_ENDs up to OP_PROGRAM_END.
    const Code c(program_);
    for (int pc = kProgramBody; pc < c.size() - 1 && readPlaneOverSets_;) {
      const Inst here(c, pc);
      if (here.isPatternHeader()) readPlaneOverSets_ = false;
      pc = here.next();
    }
  }
}

bool MatchEngine::regular(int program, int header) const {
  if (static_cast<std::size_t>(program) >= shapes_.size()) return false;
  const std::vector<std::uint8_t>& flags = shapes_[static_cast<std::size_t>(program)].regular;
  return static_cast<std::size_t>(header) < flags.size() && flags[static_cast<std::size_t>(header)] != 0;
}

bool MatchEngine::windowed(int program, int header) const {
  if (static_cast<std::size_t>(program) >= shapes_.size()) return false;
  const std::vector<std::uint8_t>& flags = shapes_[static_cast<std::size_t>(program)].windowed;
  return static_cast<std::size_t>(header) < flags.size() && flags[static_cast<std::size_t>(header)] != 0;
}

int MatchEngine::patternEndOf(int program, int header) const {
  return static_cast<int>(shapes_[static_cast<std::size_t>(program)].end[static_cast<std::size_t>(header)]);
}

void MatchEngine::buildLetterMasks() {
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

// The places where the run whose opcode stands at pc (n letters) may
// start, wholly before `end`.
PositionSet MatchEngine::runStarts(Inst run, int end) {
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
// `from`, within the stretch that ends at `end`. A nested segment (after a
// wildcard or a variable-length sub-pattern) is read on in the same loop:
// its OP_END ends the reading of the segment around it as well.
PositionSet MatchEngine::reachSegment(int program, int pc, PositionSet from, int end) {
  const Code c = code(program);
  PositionSet at = from;
  while (!at.empty()) {
    const Inst here(c, pc);
    switch (here.opcode()) {
      case OP_RUN:
      case OP_MIXED_RUN:
        at = (at & runStarts(here, end)).later(here.runLength());
        pc = here.runEnd();
        break;
      case OP_SKIP:
      case OP_SKIP_REST:
        at = PositionSet::range(at.lowest(), end);
        pc = here.nested();
        break;
      case OP_PATTERN:
      case OP_PATTERN_VARIABLE:
      case OP_PATTERN_LAST:
        at = reachPattern(program, here.body(), at, end);
        pc = patternEndOf(program, pc);
        break;
      case OP_END:
        return at;
      default:
        // Not a regular program; never reached.
        return {};
    }
  }
  return at;
}

PositionSet MatchEngine::reachPattern(int program, int body, PositionSet from, int end) {
  buildLetterMasks();
  return reachSegment(program, body, from, end);
}

void MatchEngine::buildPlaneMasks() {
  if (planeMasksReady_) return;
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
  planeMasksReady_ = true;
}

// The indices holding this raw character (0 stands at the plane's end and
// beyond, as the matcher reads it).
PlaneSet MatchEngine::rawMask(std::uint8_t raw) {
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
PlaneSet MatchEngine::planeRunStarts(Inst run, int end) {
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

PlaneSet MatchEngine::reachPlane(int pc, PlaneSet from, int end) {
  const Code c = code(0);
  PlaneSet at = from;
  while (!at.empty()) {
    const Inst here(c, pc);
    switch (here.opcode()) {
      case OP_RUN:
      case OP_MIXED_RUN:
        at = (at & planeRunStarts(here, end)).later(here.runLength());
        pc = here.runEnd();
        break;
      case OP_EXACT:
        at &= rawMask(here.character());
        pc = here.next();
        break;
      case OP_PUNCT:
        at = (at & rawMask(here.character())).later(1);
        pc = here.next();
        break;
      case OP_SKIP:
      case OP_SKIP_REST:
        at = PlaneSet::range(at.lowest(), end);
        pc = here.nested();
        break;
      case OP_END:
        return at;
      default:
        return {};
    }
  }
  return at;
}

}  // namespace kea
