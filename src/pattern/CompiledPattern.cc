// Building a compiled pattern: what is read off the compiler's program
// once, for the matcher. The shapes say, per pattern header, where the
// pattern ends and which of the matcher's readings it allows.
#include "pattern/CompiledPattern.h"

#include <utility>

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
  // Wildcards that try their places in turn, variable-length sub-patterns
  // that are not the last of their template, and anagram blocks: the
  // places where matching can backtrack.
  int backtrackingSites = 0;

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
        ++backtrackingSites;
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
          if (op == OP_SKIP) ++backtrackingSites;
          // The rest of the template is a nested segment.
          pos = segment(here.nested(), regular);
          break;
        case OP_PATTERN:
        case OP_PATTERN_VARIABLE:
        case OP_PATTERN_LAST: {
          if (op != OP_PATTERN) ++variableSubpatterns;
          if (op == OP_PATTERN_VARIABLE) ++backtrackingSites;
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


// Position after the fixed elements (runs, punctuation) from pc, or -1 when
// another element stands among them that is not a wildcard or an OP_END.
int skipFixed(Code code, int pc) {
  for (;;) {
    const std::uint8_t op = code.opcodeAt(pc);
    if (op == OP_EXACT || op == OP_PUNCT) {
      pc = Inst(code, pc).next();
    } else if (isRunOpcode(op)) {
      RunItem item = Inst(code, pc).firstItem();
      for (; !item.atEnd(); item = item.next()) {
        if (item.isVariable()) return -1;
      }
      pc = item.pc();
    } else {
      return op == OP_SKIP || op == OP_SKIP_REST || op == OP_END ? pc : -1;
    }
  }
}

// A variable-length sub-pattern of fixed elements around at most one
// wildcard before its last (see MatcherWindows.cc).
bool windowedShape(Code code, int header) {
  if (code.opcodeAt(header) != OP_PATTERN_VARIABLE) return false;
  int pc = skipFixed(code, Inst(code, header).body());
  int ends = 3;  // the last wildcard's nested segment, the body's, the pattern's
  if (pc >= 0 && code.opcodeAt(pc) == OP_SKIP) {
    pc = skipFixed(code, Inst(code, pc).nested());
    ++ends;
  }
  if (pc < 0 || code.opcodeAt(pc) != OP_SKIP_REST) return false;
  pc = skipFixed(code, Inst(code, pc).nested());
  for (int i = 0; i < ends; ++i) {
    if (pc < 0 || code.opcodeAt(pc) != OP_END) return false;
    pc = Inst(code, pc).next();
  }
  return true;
}

}  // namespace

CompiledPattern::CompiledPattern(const Alphabet& alphabet, CompilerOutput output, PatternStatus status,
                                 bool variablesExclusive)
    : alphabet_(alphabet), out_(std::move(output)), status_(status), variablesExclusive_(variablesExclusive) {
  if (!valid()) {
    out_.program.clear();
    out_.pool.clear();
    return;
  }
  if (out_.matcher == MatcherKind::General) {
    analyseShapes();
  } else {
    buildFastChecks();
  }
}

// The fast checks serve a pattern whose body is one element: a run, or an
// anagram part of letters alone.
void CompiledPattern::buildFastChecks() {
  const Inst body = inst(0, kProgramBody);
  switch (out_.matcher) {
    case MatcherKind::PlainRun:
      for (RunItem item = body.plainItems(); !item.atEnd(); item = item.nextPlain()) {
        runPairs_.push_back(static_cast<std::uint8_t>(item.plainPosition()));
        runPairs_.push_back(item.letter());
      }
      break;
    case MatcherKind::DistinctLetters: {
      const Inst letters = inst(0, body.components());
      for (int i = 0; i < letters.distinctCount(); ++i) {
        const std::uint8_t x = letters.distinctLetter(i);
        distinctLetters_[x >> 6] |= std::uint64_t{1} << (x & 63);
      }
      break;
    }
    case MatcherKind::CountedLetters:
      for (CountedLetter pair = inst(0, body.components()).firstCounted(); !pair.atEnd(); pair = pair.next()) {
        countedLetters_[pair.letter()] = static_cast<std::uint8_t>(pair.count());
      }
      break;
    case MatcherKind::General:
      break;
  }
}

void CompiledPattern::analyseShapes() {
  const int programs = programCount();
  shapes_.assign(static_cast<std::size_t>(programs), PatternShape{});
  bool backtracks = false;
  // Pool entries first, in order: anagram components name earlier entries.
  for (int step = 1; step <= programs; ++step) {
    const int program = step % programs;
    const Code bytes = code(program);
    const auto size = static_cast<std::size_t>(bytes.size());
    PatternShape& shape = shapes_[static_cast<std::size_t>(program)];
    shape.regular.assign(size, 0);
    shape.variables.assign(size, 0);
    shape.anagram.assign(size, 0);
    shape.windowed.assign(size, 0);
    shape.end.assign(size, 0);
    // A choice set in the pool is not a program.
    if (!isPatternHeader(bytes.opcodeAt(0))) continue;
    bool regular = false;
    ShapeWalker walker(bytes, shape, shapes_, !out_.punctuationSensitive);
    walker.pattern(0, regular);
    for (std::size_t header = 0; header < size; ++header) {
      if (shape.end[header] != 0 && windowedShape(bytes, static_cast<int>(header))) shape.windowed[header] = 1;
    }
    backtracks = backtracks || walker.backtrackingSites > 0;
    // Plain wildcards backtrack cheaply with the memo's help; variable-length
    // sub-patterns multiply the tries, and are better read over sets.
    if (program == 0) readWholeOverSets_ = regular && walker.variableSubpatterns > 0;
  }
  choosePlaneReading(backtracks);
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
void CompiledPattern::choosePlaneReading(bool backtracks) {
  const PatternShape& top = shapes_[0];
  readPlaneOverSets_ = false;
  if (out_.punctuationSensitive && backtracks && !top.variables.empty() && top.variables[0] == 0 &&
      top.anagram[0] == 0) {
    readPlaneOverSets_ = true;
    // Runs, wildcards, punctuation and OP_ENDs up to OP_PROGRAM_END.
    const Code c = code(0);
    for (int pc = kProgramBody; pc < c.size() - 1 && readPlaneOverSets_;) {
      const Inst here(c, pc);
      if (here.isPatternHeader()) readPlaneOverSets_ = false;
      pc = here.next();
    }
  }
}

bool CompiledPattern::regular(int program, int header) const {
  if (static_cast<std::size_t>(program) >= shapes_.size()) return false;
  const std::vector<std::uint8_t>& flags = shapes_[static_cast<std::size_t>(program)].regular;
  return static_cast<std::size_t>(header) < flags.size() && flags[static_cast<std::size_t>(header)] != 0;
}

bool CompiledPattern::windowed(int program, int header) const {
  if (static_cast<std::size_t>(program) >= shapes_.size()) return false;
  const std::vector<std::uint8_t>& flags = shapes_[static_cast<std::size_t>(program)].windowed;
  return static_cast<std::size_t>(header) < flags.size() && flags[static_cast<std::size_t>(header)] != 0;
}

}  // namespace kea
