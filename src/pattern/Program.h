// The byte program a pattern compiles to, and named access to its
// instructions. Opcodes are 240-255; operands stay below 240 wherever a
// reader has to tell an operand from the next opcode.
//
// Layout (operands after each opcode):
//   OP_PATTERN / _VARIABLE / _LAST  fixed, extra (<= 101), body ..., OP_END
//   OP_RUN          run length, pairs (position, alphabet index) up to the next opcode
//   OP_MIXED_RUN    run length, items up to the next opcode; the first byte of
//                   an item is a position (< 48) with its kind in bits 7 and 6
//   OP_SKIP / _REST fixed length of the nested segment that follows
//   OP_EXACT, OP_PUNCT  one raw character (any byte; OP_PUNCT 0 = end of word)
//   OP_ANAGRAM      letter count A, int32 length (little-endian), components
//   OP_CHOICE_SET   occurrences, pool index     (in an anagram part)
//   OP_PATTERN_VARIABLE / _LAST  occurrences, pool index (in an anagram part)
//   OP_VARIABLES    ten occurrence counts
//   OP_LETTERS_DISTINCT  n, n alphabet indices
//   OP_LETTERS_COUNTED   pairs (count, alphabet index) up to the next opcode
//
// Every reader of a program goes through Inst (one instruction), RunItem
// (one item of a run) and CountedLetter (one pair of a counted letters
// component); only the compiler writes the layout. The accessors check the
// opcode and the bounds in debug builds and are plain loads in release
// builds.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kea {

inline constexpr std::uint8_t OP_RUN = 240;
inline constexpr std::uint8_t OP_MIXED_RUN = 241;
inline constexpr std::uint8_t OP_SKIP = 242;
inline constexpr std::uint8_t OP_SKIP_REST = 243;
inline constexpr std::uint8_t OP_ANAGRAM = 244;
inline constexpr std::uint8_t OP_LETTERS_DISTINCT = 245;
inline constexpr std::uint8_t OP_LETTERS_COUNTED = 246;
inline constexpr std::uint8_t OP_CHOICE_SET = 247;
inline constexpr std::uint8_t OP_VARIABLES = 248;
inline constexpr std::uint8_t OP_PATTERN = 249;
inline constexpr std::uint8_t OP_PATTERN_VARIABLE = 250;
inline constexpr std::uint8_t OP_PATTERN_LAST = 251;
inline constexpr std::uint8_t OP_END = 252;
inline constexpr std::uint8_t OP_PROGRAM_END = 253;
inline constexpr std::uint8_t OP_EXACT = 254;
inline constexpr std::uint8_t OP_PUNCT = 255;

// Every byte at or above this value is an opcode where an opcode may stand.
inline constexpr std::uint8_t kFirstOpcode = 240;

// Mixed-run item kinds, in bits 7 and 6 of the item's position byte.
inline constexpr std::uint8_t kItemVariable = 0x80;
inline constexpr std::uint8_t kItemChoice = 0x40;
inline constexpr std::uint8_t kItemNegatedChoice = 0xC0;
inline constexpr std::uint8_t kItemKindMask = 0xC0;

// Letter variables 0 … 9.
inline constexpr int kVariableCount = 10;

// The anagram length operand: four bytes, little-endian.
inline std::int32_t readProgramInt32(const std::uint8_t* bytes) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) |
                                   (static_cast<std::uint32_t>(bytes[1]) << 8) |
                                   (static_cast<std::uint32_t>(bytes[2]) << 16) |
                                   (static_cast<std::uint32_t>(bytes[3]) << 24));
}

inline constexpr bool isPatternHeader(std::uint8_t op) {
  return op == OP_PATTERN || op == OP_PATTERN_VARIABLE || op == OP_PATTERN_LAST;
}
inline constexpr bool isRunOpcode(std::uint8_t op) { return op == OP_RUN || op == OP_MIXED_RUN; }
inline constexpr bool isSkipOpcode(std::uint8_t op) { return op == OP_SKIP || op == OP_SKIP_REST; }
inline constexpr bool isLettersOpcode(std::uint8_t op) {
  return op == OP_LETTERS_DISTINCT || op == OP_LETTERS_COUNTED;
}
// A block of an anagram part: a sub-pattern component.
inline constexpr bool isBlockOpcode(std::uint8_t op) { return op == OP_PATTERN_VARIABLE || op == OP_PATTERN_LAST; }

// Where a decoded instruction reads its bytes: the start of the program,
// and in debug builds its size, for the bounds checks. In release builds
// it is a bare pointer: an Inst is then two pointers, the program's start
// and the instruction's, and passes in registers.
class ProgramBytes {
 public:
  ProgramBytes() = default;
#ifdef NDEBUG
  ProgramBytes(const std::uint8_t* data, int /*size*/) : data_(data) {}
#else
  ProgramBytes(const std::uint8_t* data, int size) : data_(data), size_(size) {}
#endif
  const std::uint8_t* data() const { return data_; }
  std::uint8_t operator[](int pos) const {
    assert(inBounds(pos));
    return data_[pos];
  }
  // Always true in release builds: for assertions only.
  bool inBounds([[maybe_unused]] int pos) const {
#ifdef NDEBUG
    return true;
#else
    return pos >= 0 && pos < size_;
#endif
  }

 private:
  const std::uint8_t* data_ = nullptr;
#ifndef NDEBUG
  int size_ = 0;
#endif
};

// The bytes of one program (the main program or a pool entry), with its
// size: what a reader that must stop at a program cut short checks against.
class Code {
 public:
  Code() = default;
  Code(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(static_cast<int>(size)) {}
  explicit Code(const std::vector<std::uint8_t>& bytes) : Code(bytes.data(), bytes.size()) {}

  const std::uint8_t* data() const { return bytes_; }
  int size() const { return size_; }
  bool contains(int pos) const { return pos >= 0 && pos < size_; }
  std::uint8_t operator[](int pos) const {
    assert(contains(pos));
    return bytes_[pos];
  }
  // The byte at pos, or OP_PROGRAM_END past the end: for readers that must
  // stop on a program cut short.
  std::uint8_t opcodeAt(int pos) const { return contains(pos) ? bytes_[pos] : OP_PROGRAM_END; }
  ProgramBytes bytes() const { return ProgramBytes(bytes_, size_); }

 private:
  const std::uint8_t* bytes_ = nullptr;
  int size_ = 0;
};

// A place in a program's bytes: what a run item, a counted letter and an
// instruction have in common. It reads the program's bytes from its place
// on, checked against the program's bounds in debug builds.
class ProgramCursor {
 public:
  int pc() const { return static_cast<int>(at_ - code_.data()); }
  // Where in memory this reads from.
  const std::uint8_t* address() const { return at_; }

 protected:
  ProgramCursor(ProgramBytes code, const std::uint8_t* at) : code_(code), at_(at) {}
  // The byte `offset` places after the one this reads from.
  std::uint8_t byte(int offset) const {
    assert(code_.inBounds(pc() + offset));
    return at_[offset];
  }

  ProgramBytes code_;
  const std::uint8_t* at_;
};

// One item of a run. A plain run's items are (position, letter) pairs with
// positions up to 127; a mixed run's first byte carries the kind as well.
class RunItem : public ProgramCursor {
 public:
  RunItem(ProgramBytes code, int pc, bool mixed) : ProgramCursor(code, code.data() + pc), mixed_(mixed) {}
  RunItem(ProgramBytes code, const std::uint8_t* at, bool mixed) : ProgramCursor(code, at), mixed_(mixed) {}

  // Past the last item: the next instruction's opcode stands here.
  bool atEnd() const { return byte(0) >= kFirstOpcode; }
  // The item's position in the run, and its kind: 0 (a letter),
  // kItemVariable, kItemChoice or kItemNegatedChoice.
  int position() const { return mixed_ ? byte(0) & ~kItemKindMask : byte(0); }
  std::uint8_t kind() const { return mixed_ ? static_cast<std::uint8_t>(byte(0) & kItemKindMask) : 0; }
  bool isLetter() const { return kind() == 0; }
  bool isVariable() const { return kind() == kItemVariable; }
  bool isChoice() const { return kind() == kItemChoice || kind() == kItemNegatedChoice; }
  bool negated() const { return kind() == kItemNegatedChoice; }
  // A letter item's alphabet index.
  std::uint8_t letter() const {
    assert(isLetter());
    return byte(1);
  }
  // A variable item's variable number.
  std::uint8_t variable() const {
    assert(isVariable());
    return byte(1);
  }
  // A choice item's list of alphabet indices.
  int listSize() const {
    assert(isChoice());
    return byte(1);
  }
  const std::uint8_t* list() const {
    assert(isChoice() && code_.inBounds(pc() + 1 + listSize()));
    return at_ + 2;
  }
  std::uint8_t listAt(int i) const {
    assert(i >= 0 && i < listSize());
    return byte(2 + i);
  }
  int size() const { return isChoice() ? 2 + byte(1) : 2; }
  RunItem next() const { return RunItem(code_, at_ + size(), mixed_); }
  // The next item after a letter or variable item.
  RunItem nextPair() const {
    assert(!isChoice());
    return RunItem(code_, at_ + 2, mixed_);
  }
  // The next item after a choice item.
  RunItem nextChoice() const {
    assert(isChoice());
    return RunItem(code_, at_ + 2 + listSize(), mixed_);
  }
  // For readers of a program that may be cut short: whether an item starts
  // here (the program goes on and no opcode stands here), and whether it
  // lies wholly within the program.
  bool present(const Code& program) const { return program.contains(pc()) && !atEnd(); }
  bool complete(const Code& program) const {
    return program.contains(pc() + 1) && (!isChoice() || program.contains(pc() + size() - 1));
  }

  // The same for an item known to be of a plain run, without the kind test.
  int plainPosition() const {
    assert(!mixed_);
    return byte(0);
  }
  RunItem nextPlain() const {
    assert(!mixed_);
    return RunItem(code_, at_ + 2, false);
  }

 private:
  bool mixed_;
};

// One (count, alphabet index) pair of a counted letters component.
class CountedLetter : public ProgramCursor {
 public:
  CountedLetter(ProgramBytes code, int pc) : ProgramCursor(code, code.data() + pc) {}
  CountedLetter(ProgramBytes code, const std::uint8_t* at) : ProgramCursor(code, at) {}
  bool atEnd() const { return byte(0) >= kFirstOpcode; }
  int count() const { return byte(0); }
  std::uint8_t letter() const { return byte(1); }
  CountedLetter next() const { return CountedLetter(code_, at_ + 2); }
  // For readers of a program that may be cut short: a whole pair stands here.
  bool present(const Code& program) const { return program.contains(pc()) && !atEnd() && program.contains(pc() + 1); }
};

// One instruction: the opcode at pc and its operands. Accessors are named
// after the instruction they belong to and check the opcode in debug
// builds. OP_PATTERN_VARIABLE and OP_PATTERN_LAST are a header in a
// template and a block component in an anagram part, with operands read by
// the accessors of each (both take three bytes).
class Inst : public ProgramCursor {
 public:
  Inst(Code code, int pc) : ProgramCursor(code.bytes(), code.data() + pc) {}
  Inst(ProgramBytes code, int pc) : ProgramCursor(code, code.data() + pc) {}
  Inst(ProgramBytes code, const std::uint8_t* at) : ProgramCursor(code, at) {}

  std::uint8_t opcode() const { return byte(0); }
  bool is(std::uint8_t op) const { return opcode() == op; }
  bool isPatternHeader() const { return kea::isPatternHeader(opcode()); }
  bool isRun() const { return isRunOpcode(opcode()); }
  bool isSkip() const { return isSkipOpcode(opcode()); }

  // A pattern header: the fixed and extra length, the body after it.
  int fixedLength() const {
    assert(isPatternHeader());
    return byte(1);
  }
  int extraLength() const {
    assert(isPatternHeader());
    return byte(2);
  }
  int body() const {
    assert(isPatternHeader());
    return pc() + kHeaderSize;
  }
  static constexpr int kHeaderSize = 3;

  // A run: how many letters it spans, its items, and the position after them.
  int runLength() const {
    assert(isRun());
    return byte(1);
  }
  bool mixed() const { return is(OP_MIXED_RUN); }
  RunItem firstItem() const {
    assert(isRun());
    return RunItem(code_, at_ + 2, mixed());
  }
  // The same for a run known to be plain or mixed, for the matching loops:
  // the item accessors then need not test which.
  RunItem plainItems() const {
    assert(is(OP_RUN));
    return RunItem(code_, at_ + 2, false);
  }
  RunItem mixedItems() const {
    assert(is(OP_MIXED_RUN));
    return RunItem(code_, at_ + 2, true);
  }
  int runEnd() const { return next(); }

  // A wildcard: the fixed length of the nested segment after it, which
  // holds the rest of the template.
  int nestedFixedLength() const {
    assert(isSkip());
    return byte(1);
  }
  int nested() const {
    assert(isSkip());
    return pc() + 2;
  }

  // OP_EXACT or OP_PUNCT: the raw character.
  std::uint8_t character() const {
    assert(is(OP_EXACT) || is(OP_PUNCT));
    return byte(1);
  }

  // An anagram part: its letter count A, its length, its first component.
  int letterCount() const {
    assert(is(OP_ANAGRAM));
    return byte(1);
  }
  int anagramLength() const {
    assert(is(OP_ANAGRAM) && code_.inBounds(pc() + 5));
    return readProgramInt32(at_ + 2);
  }
  int components() const {
    assert(is(OP_ANAGRAM));
    return pc() + 6;
  }

  // A choice set or a block in an anagram part: how many occurrences, and
  // the pool entry (choice list or sub-pattern program).
  int occurrences() const {
    assert(is(OP_CHOICE_SET) || isBlockOpcode(opcode()));
    return byte(1);
  }
  int poolIndex() const {
    assert(is(OP_CHOICE_SET) || isBlockOpcode(opcode()));
    return byte(2);
  }

  // OP_VARIABLES: occurrences of each letter variable.
  int variableCount(int v) const {
    assert(v >= 0 && v < kVariableCount);
    return variableCounts()[v];
  }
  const std::uint8_t* variableCounts() const {
    assert(is(OP_VARIABLES) && code_.inBounds(pc() + kVariableCount));
    return at_ + 1;
  }

  // OP_LETTERS_DISTINCT: n different alphabet indices.
  int distinctCount() const {
    assert(is(OP_LETTERS_DISTINCT));
    return byte(1);
  }
  std::uint8_t distinctLetter(int i) const {
    assert(i >= 0 && i < distinctCount());
    return byte(2 + i);
  }
  // How many of the listed letters lie within the program (all of them in
  // a program the compiler wrote).
  int distinctPresent(const Code& program) const {
    int n = 0;
    while (n < distinctCount() && program.contains(pc() + 2 + n)) ++n;
    return n;
  }

  // OP_LETTERS_COUNTED: its first (count, index) pair.
  CountedLetter firstCounted() const {
    assert(is(OP_LETTERS_COUNTED));
    return CountedLetter(code_, at_ + 1);
  }

  // Bytes of the operands that every instruction of this opcode has (the
  // list after a run, a distinct or a counted letters component not
  // counted); a reader of a program that may be cut short checks these lie
  // within it before reading them.
  int fixedOperandBytes() const {
    switch (opcode()) {
      case OP_PATTERN:
      case OP_PATTERN_VARIABLE:
      case OP_PATTERN_LAST:
      case OP_CHOICE_SET:
        return 2;
      case OP_ANAGRAM:
        return 5;
      case OP_VARIABLES:
        return kVariableCount;
      case OP_RUN:
      case OP_MIXED_RUN:
      case OP_SKIP:
      case OP_SKIP_REST:
      case OP_EXACT:
      case OP_PUNCT:
      case OP_LETTERS_DISTINCT:
        return 1;
      default:
        return 0;
    }
  }
  bool operandsFit(const Code& program) const { return program.contains(pc() + fixedOperandBytes()); }

  // The instruction that follows in the byte stream: for a header the
  // body's first, for a wildcard its nested segment's first, for an anagram
  // part its first component.
  int next() const { return pc() + length(opcode()); }
  // The same for an instruction known to have this opcode: with a constant
  // opcode it costs an addition.
  int next(std::uint8_t op) const { return pc() + length(op); }
  Inst nextInst() const { return Inst(code_, at_ + length(opcode())); }

  // Bytes from this instruction's opcode to the next instruction's.
  int length(std::uint8_t op) const {
    assert(op == opcode());
    switch (op) {
      case OP_PATTERN:
      case OP_PATTERN_VARIABLE:
      case OP_PATTERN_LAST:
      case OP_CHOICE_SET:
        return 3;
      case OP_RUN:
      case OP_MIXED_RUN: {
        RunItem item = firstItem();
        while (!item.atEnd()) item = item.next();
        return static_cast<int>(item.address() - at_);
      }
      case OP_SKIP:
      case OP_SKIP_REST:
      case OP_EXACT:
      case OP_PUNCT:
        return 2;
      case OP_ANAGRAM:
        return 6;
      case OP_VARIABLES:
        return 1 + kVariableCount;
      case OP_LETTERS_DISTINCT:
        return 2 + distinctCount();
      case OP_LETTERS_COUNTED: {
        CountedLetter pair = firstCounted();
        while (!pair.atEnd()) pair = pair.next();
        return static_cast<int>(pair.address() - at_);
      }
      default:
        return 1;
    }
  }
};

// A program opens with its outermost pattern's header; the body follows.
inline constexpr int kProgramBody = Inst::kHeaderSize;

// Whether the instruction at pc is an anagram component; false at the
// pattern's OP_END after the last one.
inline bool isComponent(Inst inst) {
  const std::uint8_t op = inst.opcode();
  return isBlockOpcode(op) || op == OP_CHOICE_SET || op == OP_VARIABLES || isLettersOpcode(op);
}

}  // namespace kea
