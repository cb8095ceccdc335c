// Readable dump of a compiled pattern program. The dump walks the program
// the way the matcher does, so a layout mistake shows up as a dump that does
// not read as intended; tests compare dumps with golden tables.
#include "pattern/PatternProgram.h"

#include <cstdio>
#include <string_view>

#include "dictionary/Alphabet.h"

namespace kea {

namespace {

// Joins text pieces by appending; chains of operator+ on strings draw a
// false alarm from GCC 12's -Wrestrict at -O3.
void appendPart(std::string& out, std::string_view part) { out.append(part); }
void appendPart(std::string& out, char part) { out.push_back(part); }
template <typename... Parts>
std::string cat(const Parts&... parts) {
  std::string out;
  (appendPart(out, parts), ...);
  return out;
}

class Dumper {
 public:
  Dumper(std::span<const std::uint8_t> program, const Alphabet* alphabet)
      : code_(program.data(), program.size()), alphabet_(alphabet) {}

  std::string out;

  // A whole program: the outermost pattern, then OP_PROGRAM_END.
  void program() {
    int pos = pattern(0, 0);
    if (code_.contains(pos) && code_[pos] == OP_PROGRAM_END) {
      line(0, "PROGRAM_END");
      pos = Inst(code_, pos).next();
    }
    if (pos != code_.size()) line(0, "?? trailing bytes");
  }

  // A pattern header and body; returns the position after its OP_END.
  int pattern(int pos, int indent) {
    const Inst header(code_, pos);
    if (!code_.contains(pos) || !header.operandsFit(code_)) return bad(indent);
    const std::uint8_t op = header.opcode();
    const char* name = op == OP_PATTERN            ? "PATTERN"
                       : op == OP_PATTERN_VARIABLE ? "PATTERN_VARIABLE"
                       : op == OP_PATTERN_LAST     ? "PATTERN_LAST"
                                                   : nullptr;
    if (name == nullptr) return bad(indent);
    line(indent, cat(name, " ", num(header.fixedLength()), " ", num(header.extraLength())));
    pos = header.body();
    while (code_.contains(pos)) {
      const Inst part(code_, pos);
      if (part.is(OP_END)) {
        line(indent, "END");
        return part.next();
      }
      pos = part.is(OP_ANAGRAM) ? anagram(pos, indent + 1) : segment(pos, indent + 1);
    }
    return bad(indent);
  }

 private:
  Code code_;
  const Alphabet* alphabet_;

  int bad(int indent) {
    line(indent, "?? malformed");
    return code_.size();
  }

  static std::string num(int value) { return std::to_string(value); }

  std::string letter(std::uint8_t index) const {
    if (alphabet_ != nullptr && index < alphabet_->alphabetSize) {
      return raw(alphabet_->canonicalCharOf(index), false);
    }
    return cat("#", num(index));
  }

  static std::string raw(std::uint8_t c, bool quoted = true) {
    if (c >= 0x21 && c < 0x7F && c != '\'') {
      return quoted ? cat('\'', static_cast<char>(c), '\'') : std::string(1, static_cast<char>(c));
    }
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%02X", c);
    return buffer;
  }

  void line(int indent, const std::string& text) {
    out.append(static_cast<std::size_t>(indent) * 2, ' ');
    out += text;
    out += '\n';
  }

  // A run (its operands known to fit): one line; the position after its
  // items, or -1 for an item cut short.
  int run(Inst here, int indent) {
    std::string text = cat(here.mixed() ? "MIXED_RUN " : "RUN ", num(here.runLength()));
    RunItem item = here.firstItem();
    for (; item.present(code_); item = item.next()) {
      if (!item.complete(code_)) {
        // A plain run ends at a pair cut short; a mixed run is malformed.
        if (here.mixed()) return -1;
        break;
      }
      text += cat(" ", num(item.position()), ":");
      if (item.isLetter()) {
        text += letter(item.letter());
      } else if (item.isVariable()) {
        text += cat("v", num(item.variable()));
      } else {
        text += item.negated() ? "[^" : "[";
        for (int i = 0; i < item.listSize(); ++i) text += letter(item.listAt(i));
        text += "]";
      }
    }
    line(indent, text);
    return item.pc();
  }

  // Template opcodes up to and including the segment's OP_END.
  int segment(int pos, int indent) {
    while (code_.contains(pos)) {
      const Inst here(code_, pos);
      const std::uint8_t op = here.opcode();
      if (!here.operandsFit(code_)) return bad(indent);
      switch (op) {
        case OP_END:
          line(indent, "END");
          return here.next();
        case OP_RUN:
        case OP_MIXED_RUN:
          pos = run(here, indent);
          if (pos < 0) return bad(indent);
          break;
        case OP_SKIP:
        case OP_SKIP_REST:
          line(indent, cat(op == OP_SKIP ? "SKIP " : "SKIP_REST ", num(here.nestedFixedLength())));
          pos = segment(here.nested(), indent + 1);
          break;
        case OP_EXACT:
        case OP_PUNCT:
          line(indent, cat(op == OP_EXACT ? "EXACT " : "PUNCT ",
                           op == OP_PUNCT && here.character() == 0 ? std::string("end") : raw(here.character())));
          pos = here.next();
          break;
        case OP_PATTERN:
          pos = pattern(pos, indent);
          break;
        case OP_PATTERN_VARIABLE:
        case OP_PATTERN_LAST:
          // A sub-pattern that can vary in length is followed by the rest of
          // the template as a nested segment.
          pos = pattern(pos, indent);
          pos = segment(pos, indent + 1);
          break;
        default:
          return bad(indent);
      }
    }
    return bad(indent);
  }

  // One anagram component (its operands known to fit) as a line.
  std::string component(Inst here) const {
    const std::uint8_t op = here.opcode();
    switch (op) {
      case OP_PATTERN_VARIABLE:
      case OP_PATTERN_LAST:
      case OP_CHOICE_SET:
        return cat(op == OP_PATTERN_VARIABLE ? "PATTERN_VARIABLE "
                   : op == OP_PATTERN_LAST   ? "PATTERN_LAST "
                                             : "CHOICE_SET ",
                   num(here.occurrences()), " @", num(here.poolIndex()));
      case OP_VARIABLES: {
        std::string text = "VARIABLES";
        for (int v = 0; v < kVariableCount; ++v) {
          if (here.variableCount(v) != 0) text += cat(" ", num(v), "x", num(here.variableCount(v)));
        }
        return text;
      }
      case OP_LETTERS_DISTINCT: {
        std::string text = cat("LETTERS_DISTINCT ", num(here.distinctCount()), " ");
        for (int i = 0; i < here.distinctPresent(code_); ++i) text += letter(here.distinctLetter(i));
        return text;
      }
      default: {
        std::string text = "LETTERS_COUNTED";
        for (CountedLetter pair = here.firstCounted(); pair.present(code_); pair = pair.next()) {
          text += cat(" ", num(pair.count()), letter(pair.letter()));
        }
        return text;
      }
    }
  }

  // The position after a counted letters component's whole pairs.
  int countedEnd(Inst here) const {
    CountedLetter pair = here.firstCounted();
    while (pair.present(code_)) pair = pair.next();
    return pair.pc();
  }

  // An anagram part: header and components, up to (not including) the
  // pattern's OP_END.
  int anagram(int pos, int indent) {
    const Inst part(code_, pos);
    if (!part.operandsFit(code_)) return bad(indent);
    line(indent, cat("ANAGRAM ", num(part.letterCount()), " ",
                     std::to_string(static_cast<std::uint32_t>(part.anagramLength()))));
    pos = part.components();
    while (code_.contains(pos)) {
      const Inst here(code_, pos);
      if (!isComponent(here)) return pos;  // the pattern's OP_END
      if (!here.operandsFit(code_)) return bad(indent);
      line(indent + 1, component(here));
      pos = here.is(OP_LETTERS_COUNTED) ? countedEnd(here) : here.next();
    }
    return bad(indent);
  }
};

}  // namespace

std::string dumpProgram(std::span<const std::uint8_t> program,
                        const std::vector<std::vector<std::uint8_t>>& pool,
                        const Alphabet* alphabet) {
  Dumper dumper(program, alphabet);
  dumper.program();
  for (std::size_t i = 0; i < pool.size(); ++i) {
    const std::vector<std::uint8_t>& entry = pool[i];
    if (!entry.empty() && entry[0] >= kFirstOpcode) {
      dumper.out += cat("@", std::to_string(i), ":\n");
      Dumper inner(entry, alphabet);
      inner.pattern(0, 1);
      dumper.out += inner.out;
    } else {
      // A negated list holds most indices: show the ones it leaves out.
      std::size_t members = 0;
      for (const std::uint8_t member : entry) members += member != 0 ? 1 : 0;
      const bool negated = members > entry.size() / 2;
      std::string text = negated ? "^" : "";
      for (std::size_t x = 0; x < entry.size(); ++x) {
        if ((entry[x] != 0) == negated) continue;
        if (alphabet != nullptr && static_cast<int>(x) < alphabet->alphabetSize) {
          text += static_cast<char>(alphabet->canonicalCharOf(static_cast<std::uint8_t>(x)));
        } else if (alphabet == nullptr || !negated) {
          text += cat("#", std::to_string(x));
        }
      }
      dumper.out += cat("@", std::to_string(i), ": {", text, "}\n");
    }
  }
  return dumper.out;
}

}  // namespace kea
