// Building a compiled pattern: what is read off the compiler's program
// once, for the matcher. The shapes say, per pattern header, where the
// pattern ends and which of the matcher's readings it allows, and per
// pattern, segment and anagram component what the memo of failed attempts
// needs to know; one walk over each program finds both.
#include "pattern/CompiledPattern.h"

#include <utility>

namespace kea {

namespace {

// Walks a program to find, for every pattern header, where the pattern
// ends and whether it is regular, and what the memo of failed attempts
// needs (see PatternShape).
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
  // Some template run or anagram part mentions a letter variable.
  bool usesVariables = false;
  // Where the fixed elements after a wildcard (OP_SKIP) and after a
  // variable-length sub-pattern start: their flags are read once every
  // pattern's end is known (see fixedFlags).
  std::vector<int> skips;
  std::vector<int> rests;

  struct Walk {
    int end;
    std::uint16_t mask;  // the letter variables mentioned
  };

  // From a header: the position after the pattern's OP_END and the
  // variables it mentions; whether the pattern is regular.
  Walk pattern(int header, bool& regular) {
    const int body = Inst(code_, header).body();
    int pos = body;
    std::uint16_t mask = 0;
    const int sitesBefore = backtrackingSites;
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
      Walk part{};
      if (op == OP_ANAGRAM) {
        regular = false;
        anagram_ = true;
        shape_.anagrams.push_back(static_cast<std::uint32_t>(pos));
        shape_.anagramOwners.push_back(static_cast<std::uint32_t>(header));
        part = anagram(Inst(code_, pos).components());
      } else {
        part = segment(pos, regular);
      }
      mask |= part.mask;
      pos = part.end;
    }
    if (variables_) regular = false;
    const auto at = static_cast<std::size_t>(header);
    if (at < shape_.regular.size()) {
      shape_.regular[at] = regular ? 1 : 0;
      shape_.variables[at] = variables_ ? 1 : 0;
      shape_.anagram[at] = anagram_ ? 1 : 0;
      shape_.end[at] = static_cast<std::uint32_t>(pos);
    }
    record(shape_.patternMask, body, mask);
    record(shape_.backtracks, body, static_cast<std::uint8_t>(backtrackingSites > sitesBefore ? 1 : 0));
    variables_ = variables_ || outerVariables;
    anagram_ = anagram_ || outerAnagram;
    return {pos, mask};
  }

 private:
  Code code_;
  PatternShape& shape_;
  const std::vector<PatternShape>& shapes_;
  bool anyRegular_;
  bool variables_ = false;
  bool anagram_ = false;
  // The components of the anagram part being walked, each with the
  // variables it mentions itself.
  std::vector<Walk> components_;

  template <typename T>
  static void record(std::vector<T>& table, int pos, T value) {
    if (static_cast<std::size_t>(pos) < table.size()) table[static_cast<std::size_t>(pos)] = value;
  }

  bool entryMentionsVariables(int index) const {
    const auto program = static_cast<std::size_t>(1 + index);
    return program < shapes_.size() && !shapes_[program].variables.empty() && shapes_[program].variables[0] != 0;
  }
  std::uint16_t entryMask(int index) const {
    const auto program = static_cast<std::size_t>(1 + index);
    if (program >= shapes_.size()) return 0;
    const std::vector<std::uint16_t>& masks = shapes_[program].patternMask;
    return masks.size() > kProgramBody ? masks[kProgramBody] : 0;
  }

  // The components from pos; the position of the pattern's OP_END after
  // them. Records at each component the variables that it and the
  // components after it mention.
  Walk anagram(int pos) {
    const std::size_t first = components_.size();
    for (;;) {
      const std::uint8_t op = code_.opcodeAt(pos);
      const Inst component(code_, pos);
      std::uint16_t mask = 0;
      if (isBlockOpcode(op)) {
        ++backtrackingSites;
        variables_ = variables_ || entryMentionsVariables(component.poolIndex());
        mask = entryMask(component.poolIndex());
      } else if (op == OP_VARIABLES) {
        variables_ = true;
        usesVariables = true;
        for (int v = 0; v < kVariableCount; ++v) {
          if (component.variableCount(v) != 0) mask |= static_cast<std::uint16_t>(1u << v);
        }
      } else if (op != OP_CHOICE_SET && !isLettersOpcode(op)) {
        break;
      }
      components_.push_back({pos, mask});
      pos = component.next();
    }
    std::uint16_t after = 0;
    for (std::size_t i = components_.size(); i > first; --i) {
      after |= components_[i - 1].mask;
      record(shape_.componentMask, components_[i - 1].end, after);
    }
    components_.resize(first);
    return {pos, after};
  }
  // A segment up to and including its OP_END; records its variables.
  Walk segment(int start, bool& regular) {
    int pos = start;
    std::uint16_t mask = 0;
    for (;;) {
      const std::uint8_t op = code_.opcodeAt(pos);
      const Inst here(code_, pos);
      if (op == OP_END) {
        pos = here.next();
        break;
      }
      if (op == OP_RUN) {
        pos = here.runEnd();
      } else if (op == OP_MIXED_RUN) {
        RunItem item = here.firstItem();
        for (; !item.atEnd(); item = item.next()) {
          if (!item.isVariable()) continue;
          variables_ = true;
          mask |= static_cast<std::uint16_t>(1u << (item.variable() % kVariableCount));
        }
        usesVariables = usesVariables || mask != 0;
        pos = item.pc();
      } else if (op == OP_EXACT || op == OP_PUNCT) {
        regular = false;
        pos = here.next();
      } else if (isSkipOpcode(op)) {
        if (op == OP_SKIP) {
          ++backtrackingSites;
          skips.push_back(pos);
        }
        // The rest of the template is a nested segment.
        const Walk nested = segment(here.nested(), regular);
        mask |= nested.mask;
        pos = nested.end;
      } else if (isPatternHeader(op)) {
        if (op != OP_PATTERN) ++variableSubpatterns;
        if (op == OP_PATTERN_VARIABLE) ++backtrackingSites;
        bool inner = false;
        const Walk walked = pattern(pos, inner);
        regular = regular && inner;
        mask |= walked.mask;
        pos = walked.end;
        if (op != OP_PATTERN) {
          rests.push_back(pos);
          const Walk nested = segment(pos, regular);
          mask |= nested.mask;
          pos = nested.end;
        }
      } else {
        regular = false;
        pos = code_.size();
        break;
      }
    }
    record(shape_.segmentMask, start, mask);
    return {pos, mask};
  }
};

// The flags of the fixed elements from pos up to the next variable
// element (PatternShape::skipFlags), over a walked program: whether that
// element's failure from one place covers every later place. A
// wildcard's does, and so does a variable-length sub-pattern's when every
// rest after it is known to fail (not the last one's, whose one window
// starts where it stands).
std::uint8_t fixedFlags(Code code, const PatternShape& shape, int pos) {
  std::uint8_t flags = 0;
  for (;;) {
    const Inst here(code, pos);
    switch (code.opcodeAt(pos)) {
      case OP_RUN:
      case OP_MIXED_RUN:
        pos = here.runEnd();
        break;
      case OP_EXACT:
      case OP_PUNCT:
        pos = here.next();
        break;
      case OP_PATTERN:
        flags |= PatternShape::kHoldsSubpattern;
        // Every sub-pattern here was walked; an end that is not after it
        // would be a program the walk gave up on.
        if (static_cast<int>(shape.end[static_cast<std::size_t>(pos)]) <= pos) return flags;
        pos = static_cast<int>(shape.end[static_cast<std::size_t>(pos)]);
        break;
      case OP_SKIP:
      case OP_SKIP_REST:
      case OP_PATTERN_VARIABLE:
        return flags | PatternShape::kNextCoversLater;
      default:
        return flags;
    }
  }
}

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
// wildcard before its last (see MatcherWindowLengths.cc).
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
    shape.skipFlags.assign(size, 0);
    shape.patternMask.assign(size + 1, 0);
    shape.segmentMask.assign(size + 1, 0);
    shape.componentMask.assign(size + 1, 0);
    shape.backtracks.assign(size + 1, 0);
    shape.restFlags.assign(size + 1, 0);
    // A choice set in the pool is not a program.
    if (!isPatternHeader(bytes.opcodeAt(0))) continue;
    bool regular = false;
    ShapeWalker walker(bytes, shape, shapes_, !out_.punctuationSensitive);
    walker.pattern(0, regular);
    for (std::size_t header = 0; header < size; ++header) {
      if (shape.end[header] != 0 && windowedShape(bytes, static_cast<int>(header))) shape.windowed[header] = 1;
    }
    for (const int skip : walker.skips) {
      shape.skipFlags[static_cast<std::size_t>(skip)] = fixedFlags(bytes, shape, Inst(bytes, skip).nested());
    }
    for (const int rest : walker.rests) {
      if (static_cast<std::size_t>(rest) < shape.restFlags.size()) {
        shape.restFlags[static_cast<std::size_t>(rest)] = fixedFlags(bytes, shape, rest);
      }
    }
    backtracks = backtracks || walker.backtrackingSites > 0;
    backtrackingSites_ += walker.backtrackingSites;
    mentionsVariables_ = mentionsVariables_ || walker.usesVariables;
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
