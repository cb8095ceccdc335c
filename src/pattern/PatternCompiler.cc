// The pattern compiler: turns the text of one pattern into the byte program
// of a MatchEngine, against one dictionary's alphabet.
//
// The compiler is a recursive descent over the text with ")" appended, so
// that every pattern, the outermost included, ends at a ")". A pattern is a
// template and an optional anagram part after ";"; a template is a chain of
// segments, each wildcard or variable-length sub-pattern starting a nested
// segment for the rest of the template. Every emitted opcode is counted so
// that the simplest programs can be run by a fast check instead of the
// general matcher.
#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "pattern/MatchEngine.h"

namespace kea {

class PatternCompiler {
 public:
  PatternCompiler(CompilerOutput& out, const Alphabet& alphabet, std::string_view text)
      : out_(out), alphabet_(alphabet) {
    text_.assign(text.data(), text.size());
    text_ += ')';
    appendedClose_ = text_.size() - 1;
  }

  PatternStatus run(bool ignoreUnusedPunctuation);

 private:
  struct Lengths {
    int fixed = 0;
    int extra = 0;
  };

  // One element of the outermost template, for the removal of leading and
  // trailing spaces and the placing of the end-of-word check.
  struct Element {
    std::size_t start;
    std::size_t end;
    bool space;
  };

  struct Template {
    int fixed = 0;
    int extra = 0;
    // Program offset of the latest wildcard or variable-length sub-pattern.
    std::ptrdiff_t latestVariable = -1;
    // The open run: offset of its opcode, and the next position in it.
    std::ptrdiff_t runOpcode = -1;
    int runPosition = 0;
    bool topLevel = false;
  };

  CompilerOutput& out_;
  // The opcode counted last: with two opcodes in all, the pattern's one element.
  std::uint8_t lastOpcode_ = OP_PROGRAM_END;
  const Alphabet& alphabet_;
  std::string text_;
  std::size_t appendedClose_ = 0;
  std::size_t pos_ = 0;
  PatternStatus status_ = PatternStatus::Valid;
  int nesting_ = 0;
  std::vector<Element> elements_;
  // Inside an anagram part, whose letters a word may lack (they can be left
  // out against the template's extra length).
  int anagramDepth_ = 0;
  // How often each letter stands in the templates outside anagram parts:
  // every such letter takes a position of the word.
  std::array<int, 256> templateLetters_{};

  bool fail(PatternStatus status) {
    if (status_ == PatternStatus::Valid) status_ = status;
    return false;
  }

  std::uint8_t byteAt(std::size_t i) const { return static_cast<std::uint8_t>(text_[i]); }
  bool at(char c) const { return pos_ < text_.size() && text_[pos_] == c; }
  std::uint8_t indexOf(std::uint8_t c) const { return alphabet_.alphabetIndexOf(c); }
  bool isLetter(std::uint8_t c) const { return indexOf(c) != kkd::kNoIndex; }
  static bool isDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }

  void emitCounted(std::vector<std::uint8_t>& out, std::uint8_t opcode) {
    out.push_back(opcode);
    count(opcode);
  }
  void count(std::uint8_t opcode) {
    lastOpcode_ = opcode;
    ++out_.opcodeCount;
  }

  bool enter() {
    if (++nesting_ > kMaxNesting) return fail(PatternStatus::NestedTooDeeply);
    return true;
  }

  bool compilePattern(std::vector<std::uint8_t>& out, Lengths& result, Template* enclosing,
                      bool topLevel);
  bool compileSegment(std::vector<std::uint8_t>& out, Template& t);
  bool compileChoice(std::vector<std::uint8_t>& out, Template& t);
  bool compileWildcard(std::vector<std::uint8_t>& out, Template& t);
  bool compileEscape(std::vector<std::uint8_t>& out, Template& t);
  bool compileAnagram(std::vector<std::uint8_t>& out, bool templateHasExtra, int& length,
                      int& extra);
  // What the passes over an anagram part counted: occurrences per pool
  // entry (sub-patterns and choice lists), per variable and per letter.
  struct AnagramCounts {
    std::array<int, Pattern::kCapacity> subpatterns{};
    std::array<int, Pattern::kCapacity> choices{};
    std::array<int, 10> variables{};
    std::array<int, 256> letters{};
    bool anyVariable = false;
    bool anyLetter = false;
    bool wildcard = false;  // a "*" among the letters
  };
  // The third pass over an anagram part: letters, match-alls, variables
  // and "*" between `start` and `end`, passing over the `skipped` spans of
  // sub-patterns and choice lists. Adds to the counts and the lengths.
  bool readAnagramLetters(std::size_t start, std::size_t end,
                          const std::vector<std::pair<std::size_t, std::size_t>>& skipped, AnagramCounts& counts,
                          int& length, int& extra);
  // The components, in order: blocks (the last variable-length one marked
  // as taking the rest when `lastTakesRest`), choice lists, variables,
  // letters.
  void emitAnagram(std::vector<std::uint8_t>& out, const AnagramCounts& counts, bool lastTakesRest);
  bool parseAnagramChoice(std::size_t& i, std::array<std::uint8_t, 256>& set);

  void record(const Template& t, std::size_t start, std::size_t end, bool space = false) {
    if (t.topLevel) elements_.push_back({start, end, space});
  }
  void closeRun(std::vector<std::uint8_t>& out, Template& t);
  void openRun(std::vector<std::uint8_t>& out, Template& t, std::uint8_t opcode);
  void addLetter(std::vector<std::uint8_t>& out, Template& t, std::uint8_t index);
  void addMatchAll(std::vector<std::uint8_t>& out, Template& t);
  void openMixedItem(std::vector<std::uint8_t>& out, Template& t);
  void addCharacter(std::vector<std::uint8_t>& out, Template& t, std::uint8_t opcode,
                    std::uint8_t raw);
  void finishProgram(bool ignoreUnusedPunctuation);
  void chooseMatcher();
};

PatternStatus MatchEngine::compile(const Alphabet& alphabet, std::string_view text,
                                   bool ignoreUnusedPunctuation, bool variablesExclusive) {
  reset();
  CompilerOutput output;
  const PatternStatus status = PatternCompiler(output, alphabet, text).run(ignoreUnusedPunctuation);
  compiled_ = std::make_unique<Compiled>(CompiledPattern(alphabet, std::move(output), status, variablesExclusive));
  if (status == PatternStatus::Valid) prepareMatching(text, ignoreUnusedPunctuation);
  return status;
}

PatternStatus PatternCompiler::run(bool ignoreUnusedPunctuation) {
  Lengths lengths;
  if (!compilePattern(out_.program, lengths, nullptr, true)) return status_;
  if (pos_ != text_.size()) return PatternStatus::StrayClose;
  if (lengths.fixed + lengths.extra == 0) return PatternStatus::Empty;
  out_.fixedLength = lengths.fixed;
  out_.longestLength = std::min(lengths.fixed + lengths.extra, UNBOUNDED_LENGTH);
  out_.program.push_back(OP_PROGRAM_END);
  for (int x = 0; x < 256; ++x) {
    if (templateLetters_[static_cast<std::size_t>(x)] == 0) continue;
    out_.requiredLetters.push_back(static_cast<std::uint8_t>(x));
    out_.requiredLetters.push_back(
        static_cast<std::uint8_t>(std::min(templateLetters_[static_cast<std::size_t>(x)], 255)));
  }
  chooseMatcher();
  finishProgram(ignoreUnusedPunctuation);
  return PatternStatus::Valid;
}

void PatternCompiler::chooseMatcher() {
  out_.matcher = MatcherKind::General;
  if (out_.opcodeCount != 2) return;
  switch (lastOpcode_) {
    case OP_RUN:
      out_.matcher = MatcherKind::PlainRun;
      break;
    case OP_LETTERS_DISTINCT:
      out_.matcher = MatcherKind::DistinctLetters;
      break;
    case OP_LETTERS_COUNTED:
      out_.matcher = MatcherKind::CountedLetters;
      break;
    default:
      break;
  }
}

// Removes spaces at either end of the outermost template and, for a pattern
// with significant punctuation, adds the check that nothing significant
// follows the last letter.
void PatternCompiler::finishProgram(bool ignoreUnusedPunctuation) {
  std::vector<std::uint8_t>& program = out_.program;
  std::size_t first = 0;
  while (first < elements_.size() && elements_[first].space) ++first;
  std::size_t last = elements_.size();
  while (last > first && elements_[last - 1].space) --last;

  bool significant = false;
  bool sensitive = false;
  for (const std::uint8_t entry : out_.punctuation) {
    significant = significant || entry == kSignificantPunctuation;
    sensitive = sensitive || entry == kSignificantPunctuation || entry == kEscapedLetter;
  }
  out_.punctuationSensitive = sensitive;

  // Edits go from the end of the program backwards so that the offsets of
  // the earlier elements stay valid.
  for (std::size_t i = elements_.size(); i > last; --i) {
    const Element& e = elements_[i - 1];
    program.erase(program.begin() + static_cast<std::ptrdiff_t>(e.start),
                  program.begin() + static_cast<std::ptrdiff_t>(e.end));
  }
  if (significant && last > first) {
    const auto at = program.begin() + static_cast<std::ptrdiff_t>(elements_[last - 1].end);
    program.insert(at, {OP_PUNCT, 0});
  }
  for (std::size_t i = first; i > 0; --i) {
    const Element& e = elements_[i - 1];
    program.erase(program.begin() + static_cast<std::ptrdiff_t>(e.start),
                  program.begin() + static_cast<std::ptrdiff_t>(e.end));
  }
  if (significant && !ignoreUnusedPunctuation) {
    // Byte 0 ends the entry text; it is never a character of the word.
    for (std::size_t c = 1; c < 256; ++c) {
      if (out_.punctuation[c] == 0) out_.punctuation[c] = kSignificantPunctuation;
    }
  }
}

// The procedure for one pattern, from just after its "(" (or the start of
// the text) up to and including the ")" that closes it.
bool PatternCompiler::compilePattern(std::vector<std::uint8_t>& out, Lengths& result,
                                     Template* enclosing, bool topLevel) {
  if (!enter()) return false;
  const std::size_t header = out.size();
  emitCounted(out, OP_PATTERN);
  out.push_back(0);
  out.push_back(0);

  Template t;
  t.topLevel = topLevel;
  if (!at(';') && !at(')')) {
    if (!compileSegment(out, t)) return false;
  }

  bool hasAnagram = false;
  int anagramLength = 0;
  int anagramExtra = 0;
  if (at(';')) {
    ++pos_;
    hasAnagram = true;
    out.push_back(OP_ANAGRAM);
    out.push_back(static_cast<std::uint8_t>(std::clamp(alphabet_.letterCount, 0, 255)));
    const std::size_t lengthAt = out.size();
    out.insert(out.end(), 4, 0);
    ++anagramDepth_;
    if (!compileAnagram(out, t.extra > 0, anagramLength, anagramExtra)) return false;
    --anagramDepth_;
    const auto length = static_cast<std::uint32_t>(anagramLength);
    for (int i = 0; i < 4; ++i) out[lengthAt + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(length >> (8 * i));
  }
  // The template or the anagram part ended at the ")" that closes this pattern.
  ++pos_;

  int fixed = t.fixed;
  int extra = t.extra;
  if (hasAnagram) {
    if (t.fixed == 0 && t.extra == 0) {
      fixed = anagramLength;
      extra = anagramExtra;
    } else if (t.extra > 0 && anagramExtra < WILDCARD_EXTRA && t.fixed < anagramLength + anagramExtra) {
      extra = anagramLength + anagramExtra - t.fixed;
    }
  }
  if (fixed > kMaxPatternLength) return fail(PatternStatus::TooLong);

  if (extra > 0) {
    out[header] = OP_PATTERN_VARIABLE;
    count(OP_PATTERN_VARIABLE);
    if (enclosing != nullptr) enclosing->latestVariable = static_cast<std::ptrdiff_t>(header);
  }
  if (t.latestVariable >= 0) {
    std::uint8_t& op = out[static_cast<std::size_t>(t.latestVariable)];
    if (op == OP_SKIP) op = OP_SKIP_REST;
    if (op == OP_PATTERN_VARIABLE) op = OP_PATTERN_LAST;
  }
  out[header + 1] = static_cast<std::uint8_t>(fixed);
  out[header + 2] = static_cast<std::uint8_t>(std::min(extra, UNBOUNDED_LENGTH));
  out.push_back(OP_END);
  result.fixed = fixed;
  result.extra = extra;
  --nesting_;
  return true;
}

void PatternCompiler::openRun(std::vector<std::uint8_t>& out, Template& t, std::uint8_t opcode) {
  t.runOpcode = static_cast<std::ptrdiff_t>(out.size());
  t.runPosition = 0;
  emitCounted(out, opcode);
  out.push_back(0);
}

void PatternCompiler::closeRun(std::vector<std::uint8_t>& out, Template& t) {
  if (t.runOpcode < 0) return;
  const auto start = static_cast<std::size_t>(t.runOpcode);
  out[start + 1] = static_cast<std::uint8_t>(t.runPosition);
  record(t, start, out.size());
  t.runOpcode = -1;
}

void PatternCompiler::addLetter(std::vector<std::uint8_t>& out, Template& t, std::uint8_t index) {
  if (anagramDepth_ == 0) ++templateLetters_[index];
  addMatchAll(out, t);
  out.push_back(static_cast<std::uint8_t>(t.runPosition - 1));
  out.push_back(index);
}

void PatternCompiler::addMatchAll(std::vector<std::uint8_t>& out, Template& t) {
  if (t.runOpcode >= 0 && out[static_cast<std::size_t>(t.runOpcode)] == OP_MIXED_RUN &&
      t.runPosition >= kMixedRunPositions) {
    closeRun(out, t);
  }
  if (t.runOpcode < 0) openRun(out, t, OP_RUN);
  ++t.fixed;
  ++t.runPosition;
}

// Makes the open run a mixed run (or opens one) for a choice list or a
// letter variable at the run's next position.
void PatternCompiler::openMixedItem(std::vector<std::uint8_t>& out, Template& t) {
  if (t.runOpcode >= 0 && t.runPosition >= kMixedRunPositions) closeRun(out, t);
  if (t.runOpcode < 0) {
    openRun(out, t, OP_MIXED_RUN);
  } else if (out[static_cast<std::size_t>(t.runOpcode)] == OP_RUN) {
    out[static_cast<std::size_t>(t.runOpcode)] = OP_MIXED_RUN;
    count(OP_MIXED_RUN);
  }
}

void PatternCompiler::addCharacter(std::vector<std::uint8_t>& out, Template& t, std::uint8_t opcode,
                                   std::uint8_t raw) {
  closeRun(out, t);
  const std::size_t start = out.size();
  emitCounted(out, opcode);
  out.push_back(raw);
  record(t, start, out.size(), opcode == OP_PUNCT && raw == ' ');
  out_.punctuation[raw] = opcode == OP_EXACT ? kEscapedLetter : kSignificantPunctuation;
}

// Template elements up to ";" or the closing ")" (left unread). A wildcard
// or a variable-length sub-pattern compiles the rest of the template as a
// nested segment; every segment ends with its own OP_END.
bool PatternCompiler::compileSegment(std::vector<std::uint8_t>& out, Template& t) {
  if (!enter()) return false;
  for (;;) {
    if (pos_ >= text_.size()) return fail(PatternStatus::SubpatternUnfinished);
    const std::uint8_t c = byteAt(pos_);
    if (c == ';' || c == ')') break;
    if (c == ']') return fail(PatternStatus::StrayBracket);
    if (c == '^') return fail(PatternStatus::StrayCaret);
    if (c == '(') {
      closeRun(out, t);
      ++pos_;
      const std::size_t start = out.size();
      Lengths inner;
      if (!compilePattern(out, inner, &t, false)) return false;
      t.fixed += inner.fixed;
      t.extra += inner.extra;
      record(t, start, out.size());
      if (inner.extra > 0) {
        if (!compileSegment(out, t)) return false;
        break;
      }
      continue;
    }
    if (c == '*') {
      if (!compileWildcard(out, t)) return false;
      break;
    }
    // The fixed length only grows from here: say so now, not after
    // nesting further into a pattern that can never match.
    if (t.fixed > kMaxPatternLength) return fail(PatternStatus::TooLong);
    if (c == '[') {
      if (!compileChoice(out, t)) return false;
      continue;
    }
    if (isDigit(c)) {
      out_.templateVariables = true;
      openMixedItem(out, t);
      out.push_back(static_cast<std::uint8_t>(t.runPosition | kItemVariable));
      out.push_back(static_cast<std::uint8_t>(c - '0'));
      ++t.runPosition;
      ++t.fixed;
      ++pos_;
      continue;
    }
    if (c == '\\') {
      if (!compileEscape(out, t)) return false;
      continue;
    }
    ++pos_;
    if (c == '.' || c == '?') {
      addMatchAll(out, t);
    } else if (isLetter(c)) {
      addLetter(out, t, indexOf(c));
    } else {
      addCharacter(out, t, OP_PUNCT, c);
    }
  }
  closeRun(out, t);
  out.push_back(OP_END);
  --nesting_;
  return true;
}

// A wildcard and, as its nested segment, the rest of the template.
bool PatternCompiler::compileWildcard(std::vector<std::uint8_t>& out, Template& t) {
  closeRun(out, t);
  // In a template "**" is "*": wildcards in a row take one segment, not
  // one level of nesting (and of matching work) each. Inside an anagram
  // part the sub-pattern's program is its identity in the pool, so the
  // text is kept as written there.
  ++pos_;
  while (anagramDepth_ == 0 && at('*')) ++pos_;
  const std::size_t skip = out.size();
  emitCounted(out, OP_SKIP);
  out.push_back(0);
  record(t, skip, out.size());
  t.latestVariable = static_cast<std::ptrdiff_t>(skip);
  t.extra = WILDCARD_EXTRA;
  const int fixedBefore = t.fixed;
  if (!compileSegment(out, t)) return false;
  out[skip + 1] = static_cast<std::uint8_t>(std::min(t.fixed - fixedBefore, 255));
  return true;
}

// "\" and the character after it, taken literally.
bool PatternCompiler::compileEscape(std::vector<std::uint8_t>& out, Template& t) {
  if (pos_ + 1 == appendedClose_) return fail(PatternStatus::EscapeAtEnd);
  const std::uint8_t escaped = byteAt(pos_ + 1);
  pos_ += 2;
  if (isLetter(escaped)) {
    addCharacter(out, t, OP_EXACT, escaped);
    addLetter(out, t, indexOf(escaped));
  } else {
    addCharacter(out, t, OP_PUNCT, escaped);
  }
  return true;
}

// A choice list in a template: "[" letters "]" or "[^" letters "]".
bool PatternCompiler::compileChoice(std::vector<std::uint8_t>& out, Template& t) {
  ++pos_;
  const bool negated = at('^');
  if (negated) ++pos_;
  openMixedItem(out, t);
  out.push_back(static_cast<std::uint8_t>(t.runPosition | (negated ? kItemNegatedChoice : kItemChoice)));
  const std::size_t countAt = out.size();
  out.push_back(0);
  std::array<bool, 256> listed{};
  int count = 0;
  for (;;) {
    std::uint8_t c = byteAt(pos_);
    if (c == ']') {
      ++pos_;
      break;
    }
    if (c == '\\' && pos_ + 1 < text_.size()) c = byteAt(++pos_);
    if (!isLetter(c)) {
      return fail(pos_ == appendedClose_ ? PatternStatus::ChoiceUnfinished : PatternStatus::ChoiceNotLetters);
    }
    ++pos_;
    const std::uint8_t index = indexOf(c);
    // A repeated letter adds nothing; it is kept as written unless the
    // count would no longer fit its byte.
    if (listed[index] && count == 255) continue;
    listed[index] = true;
    out.push_back(index);
    ++count;
  }
  if (count == 0) return fail(PatternStatus::EmptyChoice);
  out[countAt] = static_cast<std::uint8_t>(count);
  ++t.runPosition;
  ++t.fixed;
  return true;
}

// A choice list in an anagram part, from its "[" (at i); leaves i after the "]".
bool PatternCompiler::parseAnagramChoice(std::size_t& i, std::array<std::uint8_t, 256>& set) {
  ++i;
  const bool negated = i < text_.size() && text_[i] == '^';
  if (negated) ++i;
  std::array<std::uint8_t, 256> listed{};
  int count = 0;
  for (;;) {
    std::uint8_t c = byteAt(i);
    if (c == ']') {
      ++i;
      break;
    }
    if (c == '\\' && i + 1 < text_.size()) c = byteAt(++i);
    if (!isLetter(c)) {
      return fail(i == appendedClose_ ? PatternStatus::ChoiceUnfinished : PatternStatus::ChoiceNotLetters);
    }
    listed[indexOf(c)] = 1;
    ++count;
    ++i;
  }
  if (count == 0) return fail(PatternStatus::EmptyChoice);
  for (std::size_t x = 0; x < 256; ++x) set[x] = negated ? (listed[x] ^ 1) : listed[x];
  return true;
}

// The anagram part, from just after ";" to the ")" that closes the pattern
// (left unread), in three passes: sub-patterns, choice lists, then letters,
// match-alls and variables. Components are emitted in that order.
bool PatternCompiler::compileAnagram(std::vector<std::uint8_t>& out, bool templateHasExtra,
                                     int& length, int& extra) {
  const std::size_t start = pos_;
  std::vector<std::pair<std::size_t, std::size_t>> skipped;  // text spans of sub-patterns
  AnagramCounts counts;
  Pattern& pool = out_.pool;
  length = 0;
  extra = 0;

  // Pass 1: sub-patterns, each compiled into a program of its own.
  std::size_t end = start;
  for (std::size_t i = start;;) {
    if (i >= text_.size()) return fail(PatternStatus::SubpatternUnfinished);
    const char c = text_[i];
    if (c == '\\') {
      // A "\" that escapes the closing parenthesis the compiler appended
      // is the pattern's last character, not an unfinished sub-pattern.
      if (i + 1 == appendedClose_) return fail(PatternStatus::EscapeAtEnd);
      i += 2;
      continue;
    }
    if (c == ';') return fail(PatternStatus::SecondSemicolon);
    if (c == ')') {
      end = i;
      break;
    }
    if (c != '(') {
      ++i;
      continue;
    }
    pos_ = i + 1;
    std::vector<std::uint8_t> inner;
    Lengths lengths;
    if (!compilePattern(inner, lengths, nullptr, false)) return false;
    const int index = pool.add(inner);
    if (index < 0) return fail(PatternStatus::TooManyPatterns);
    if (++counts.subpatterns[static_cast<std::size_t>(index)] > kMaxOccurrences) return fail(PatternStatus::TooManyPatterns);
    length += lengths.fixed;
    extra += lengths.extra;
    skipped.emplace_back(i, pos_);
    i = pos_;
  }

  const auto skip = [&skipped](std::size_t& i) {
    for (const auto& span : skipped) {
      if (span.first == i) {
        i = span.second;
        return true;
      }
    }
    return false;
  };

  // Pass 2: choice lists, each a 256-byte membership set in the pool.
  std::vector<std::pair<std::size_t, std::size_t>> subpatterns = skipped;
  for (std::size_t i = start; i < end;) {
    if (skip(i)) continue;
    const char c = text_[i];
    if (c == '\\') {
      i += 2;
      continue;
    }
    if (c == ']') return fail(PatternStatus::StrayBracket);
    if (c != '[') {
      ++i;
      continue;
    }
    const std::size_t open = i;
    std::array<std::uint8_t, 256> set{};
    if (!parseAnagramChoice(i, set)) return false;
    const int index = pool.add(set);
    if (index < 0) return fail(PatternStatus::TooManyPatterns);
    ++counts.choices[static_cast<std::size_t>(index)];
    ++length;
    skipped.emplace_back(open, i);
  }

  // Pass 3: letters, match-alls, variables and "*".
  if (!readAnagramLetters(start, end, skipped, counts, length, extra)) return false;

  emitAnagram(out, counts, !counts.wildcard && !templateHasExtra);
  pos_ = end;
  return true;
}

bool PatternCompiler::readAnagramLetters(std::size_t start, std::size_t end,
                                         const std::vector<std::pair<std::size_t, std::size_t>>& skipped,
                                         AnagramCounts& counts, int& length, int& extra) {
  for (std::size_t i = start; i < end;) {
    const auto span = std::ranges::find(skipped, i, &std::pair<std::size_t, std::size_t>::first);
    if (span != skipped.end()) {
      i = span->second;
      continue;
    }
    std::uint8_t c = byteAt(i);
    ++i;
    if (isDigit(c)) {
      ++counts.variables[c - '0'];
      counts.anyVariable = true;
      out_.anagramVariables = true;
      ++length;
    } else if (c == ' ') {
    } else if (c == '*') {
      counts.wildcard = true;
      extra = WILDCARD_EXTRA;
    } else if (c == '.' || c == '?') {
      ++length;
      // A match-all always needs the general matcher.
      ++out_.opcodeCount;
    } else {
      if (c == '\\') c = byteAt(i++);
      if (!isLetter(c)) return fail(PatternStatus::AnagramNotLetters);
      ++counts.letters[indexOf(c)];
      counts.anyLetter = true;
      ++length;
    }
  }
  return true;
}

void PatternCompiler::emitAnagram(std::vector<std::uint8_t>& out, const AnagramCounts& counts, bool lastTakesRest) {
  const Pattern& pool = out_.pool;
  std::ptrdiff_t lastVariable = -1;
  for (int index = 0; index < pool.count(); ++index) {
    const int n = counts.subpatterns[static_cast<std::size_t>(index)];
    if (n == 0) continue;
    if (pool.entry(index)[0] != OP_PATTERN) lastVariable = static_cast<std::ptrdiff_t>(out.size());
    emitCounted(out, OP_PATTERN_VARIABLE);
    out.push_back(static_cast<std::uint8_t>(n));
    out.push_back(static_cast<std::uint8_t>(index));
  }
  if (lastVariable >= 0 && lastTakesRest) {
    out[static_cast<std::size_t>(lastVariable)] = OP_PATTERN_LAST;
  }
  for (int index = 0; index < pool.count(); ++index) {
    const int n = counts.choices[static_cast<std::size_t>(index)];
    if (n == 0) continue;
    emitCounted(out, OP_CHOICE_SET);
    out.push_back(static_cast<std::uint8_t>(std::min(n, 255)));
    out.push_back(static_cast<std::uint8_t>(index));
  }
  if (counts.anyVariable) {
    emitCounted(out, OP_VARIABLES);
    for (const int n : counts.variables) out.push_back(static_cast<std::uint8_t>(std::min(n, 255)));
  }
  if (counts.anyLetter) {
    const bool distinct = std::ranges::all_of(counts.letters, [](int n) { return n <= 1; });
    if (distinct) {
      emitCounted(out, OP_LETTERS_DISTINCT);
      const std::size_t countAt = out.size();
      out.push_back(0);
      int n = 0;
      for (std::size_t x = 0; x < 256; ++x) {
        if (counts.letters[x] == 0) continue;
        out.push_back(static_cast<std::uint8_t>(x));
        ++n;
      }
      out[countAt] = static_cast<std::uint8_t>(n);
    } else {
      emitCounted(out, OP_LETTERS_COUNTED);
      for (std::size_t x = 0; x < 256; ++x) {
        if (counts.letters[x] == 0) continue;
        // Over-long counts fail the length check; keep the byte below the opcodes.
        out.push_back(static_cast<std::uint8_t>(std::min(counts.letters[x], kFirstOpcode - 1)));
        out.push_back(static_cast<std::uint8_t>(x));
      }
    }
  }
}

}  // namespace kea
