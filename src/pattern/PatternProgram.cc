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
      : program_(program), alphabet_(alphabet) {}

  std::string out;

  // A whole program: the outermost pattern, then OP_PROGRAM_END.
  void program() {
    std::size_t pos = pattern(0, 0);
    if (pos < program_.size() && program_[pos] == OP_PROGRAM_END) {
      line(0, "PROGRAM_END");
      ++pos;
    }
    if (pos != program_.size()) line(0, "?? trailing bytes");
  }

  // A pattern header and body; returns the position after its OP_END.
  std::size_t pattern(std::size_t pos, int indent) {
    if (pos + 3 > program_.size()) return bad(indent);
    const std::uint8_t op = program_[pos];
    const char* name = op == OP_PATTERN            ? "PATTERN"
                       : op == OP_PATTERN_VARIABLE ? "PATTERN_VARIABLE"
                       : op == OP_PATTERN_LAST     ? "PATTERN_LAST"
                                                   : nullptr;
    if (name == nullptr) return bad(indent);
    line(indent, cat(name, " ", num(program_[pos + 1]), " ", num(program_[pos + 2])));
    pos += 3;
    while (pos < program_.size()) {
      const std::uint8_t body = program_[pos];
      if (body == OP_END) {
        line(indent, "END");
        return pos + 1;
      }
      pos = body == OP_ANAGRAM ? anagram(pos, indent + 1) : segment(pos, indent + 1);
    }
    return bad(indent);
  }

 private:
  std::span<const std::uint8_t> program_;
  const Alphabet* alphabet_;

  std::size_t bad(int indent) {
    line(indent, "?? malformed");
    return program_.size();
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

  bool at(std::size_t pos) const { return pos < program_.size(); }
  bool operandAt(std::size_t pos) const { return at(pos) && program_[pos] < kFirstOpcode; }

  // Template opcodes up to and including the segment's OP_END.
  std::size_t segment(std::size_t pos, int indent) {
    while (at(pos)) {
      const std::uint8_t op = program_[pos];
      switch (op) {
        case OP_END:
          line(indent, "END");
          return pos + 1;
        case OP_RUN: {
          if (!at(pos + 1)) return bad(indent);
          std::string text = cat("RUN ", num(program_[pos + 1]));
          pos += 2;
          while (operandAt(pos) && at(pos + 1)) {
            text += cat(" ", num(program_[pos]), ":", letter(program_[pos + 1]));
            pos += 2;
          }
          line(indent, text);
          break;
        }
        case OP_MIXED_RUN: {
          if (!at(pos + 1)) return bad(indent);
          std::string text = cat("MIXED_RUN ", num(program_[pos + 1]));
          pos += 2;
          while (operandAt(pos)) {
            const std::uint8_t mark = program_[pos];
            const int position = mark & ~kItemKindMask;
            const std::uint8_t kind = mark & kItemKindMask;
            if (kind == 0) {
              if (!at(pos + 1)) return bad(indent);
              text += cat(" ", num(position), ":", letter(program_[pos + 1]));
              pos += 2;
            } else if (kind == kItemVariable) {
              if (!at(pos + 1)) return bad(indent);
              text += cat(" ", num(position), ":v", num(program_[pos + 1]));
              pos += 2;
            } else {
              if (!at(pos + 1)) return bad(indent);
              const int count = program_[pos + 1];
              text += cat(" ", num(position), ":[", kind == kItemNegatedChoice ? "^" : "");
              pos += 2;
              for (int i = 0; i < count && at(pos); ++i) text += letter(program_[pos++]);
              text += "]";
            }
          }
          line(indent, text);
          break;
        }
        case OP_SKIP:
        case OP_SKIP_REST:
          if (!at(pos + 1)) return bad(indent);
          line(indent, cat(op == OP_SKIP ? "SKIP " : "SKIP_REST ", num(program_[pos + 1])));
          pos = segment(pos + 2, indent + 1);
          break;
        case OP_EXACT:
        case OP_PUNCT:
          if (!at(pos + 1)) return bad(indent);
          line(indent, cat(op == OP_EXACT ? "EXACT " : "PUNCT ",
                           op == OP_PUNCT && program_[pos + 1] == 0 ? std::string("end") : raw(program_[pos + 1])));
          pos += 2;
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

  // An anagram part: header and components, up to (not including) the
  // pattern's OP_END.
  std::size_t anagram(std::size_t pos, int indent) {
    if (!at(pos + 5)) return bad(indent);
    const auto length = static_cast<std::uint32_t>(readProgramInt32(&program_[pos + 2]));
    line(indent, cat("ANAGRAM ", num(program_[pos + 1]), " ", std::to_string(length)));
    pos += 6;
    while (at(pos)) {
      const std::uint8_t op = program_[pos];
      switch (op) {
        case OP_PATTERN_VARIABLE:
        case OP_PATTERN_LAST:
        case OP_CHOICE_SET:
          if (!at(pos + 2)) return bad(indent);
          line(indent + 1, cat(op == OP_PATTERN_VARIABLE ? "PATTERN_VARIABLE "
                                   : op == OP_PATTERN_LAST   ? "PATTERN_LAST "
                                                             : "CHOICE_SET ",
                               num(program_[pos + 1]), " @", num(program_[pos + 2])));
          pos += 3;
          break;
        case OP_VARIABLES: {
          if (!at(pos + 10)) return bad(indent);
          std::string text = "VARIABLES";
          for (int v = 0; v < 10; ++v) {
            if (program_[pos + 1 + v] != 0) text += cat(" ", num(v), "x", num(program_[pos + 1 + v]));
          }
          line(indent + 1, text);
          pos += 11;
          break;
        }
        case OP_LETTERS_DISTINCT: {
          if (!at(pos + 1)) return bad(indent);
          const int count = program_[pos + 1];
          std::string text = cat("LETTERS_DISTINCT ", num(count), " ");
          pos += 2;
          for (int i = 0; i < count && at(pos); ++i) text += letter(program_[pos++]);
          line(indent + 1, text);
          break;
        }
        case OP_LETTERS_COUNTED: {
          std::string text = "LETTERS_COUNTED";
          pos += 1;
          while (operandAt(pos) && at(pos + 1)) {
            text += cat(" ", num(program_[pos]), letter(program_[pos + 1]));
            pos += 2;
          }
          line(indent + 1, text);
          break;
        }
        default:
          return pos;  // the pattern's OP_END
      }
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
