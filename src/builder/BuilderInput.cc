#include "builder/BuilderInput.h"

namespace kea {
namespace {

bool endsHeadwordField(char c) { return c == ':' || c == ';' || c == '|' || c == '\n'; }

}  // namespace

void ParsedLine::parse(std::string_view line) {
  text_.clear();
  fields_.clear();
  hasDefinition_ = false;
  definition_ = {};
  // A NUL byte ends a line: stored texts are NUL-terminated, and a masked
  // NUL would read as the end of a definition field.
  if (const auto nul = line.find('\0'); nul != std::string_view::npos) line = line.substr(0, nul);

  std::size_t pos = 0;
  for (;;) {
    const std::size_t start = pos;
    Field field{};
    // Resolve escapes and split at the first two unescaped "+" in one scan.
    int plusSeen = 0;
    field.headwordStart = static_cast<std::uint32_t>(text_.size());
    const auto closePart = [&]() {
      const auto size = static_cast<std::uint32_t>(text_.size());
      if (plusSeen == 0) {
        field.headwordSize = size - field.headwordStart;
        field.annotationStart = size;
      } else if (plusSeen == 1) {
        field.annotationSize = size - field.annotationStart;
        field.tailStart = size;
      }
    };
    while (pos < line.size() && !endsHeadwordField(line[pos])) {
      char c = line[pos++];
      if (c == '\\') {
        if (pos == line.size()) break;  // a lone backslash at the end stands for nothing
        text_.push_back(line[pos++]);
        continue;
      }
      if (c == '+' && plusSeen < 2) {
        closePart();
        ++plusSeen;
        continue;
      }
      text_.push_back(c);
    }
    const auto end = static_cast<std::uint32_t>(text_.size());
    if (plusSeen == 0) {
      field.headwordSize = end - field.headwordStart;
      field.annotationStart = field.tailStart = end;
    } else if (plusSeen == 1) {
      field.annotationSize = end - field.annotationStart;
      field.tailStart = end;
    } else {
      field.tailSize = end - field.tailStart;
    }
    field.rawSize = static_cast<std::uint32_t>(pos - start);
    field.terminator = pos < line.size() ? line[pos] : '\0';
    fields_.push_back(field);
    if (field.terminator == ':' || field.terminator == ';') {
      ++pos;
      continue;
    }
    if (field.terminator == '|') {
      hasDefinition_ = true;
      definition_ = line.substr(pos + 1);
    }
    break;
  }
}

std::string_view ParsedLine::headword(std::size_t i) const {
  std::string_view text = part(fields_[i].headwordStart, fields_[i].headwordSize);
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

void ParsedLine::entryText(std::size_t i, std::string& out) const {
  out.assign(headword(i));
  const std::string_view note = annotation(i);
  if (!note.empty()) {
    out.push_back('\n');
    out.append(note);
  }
}

std::string_view firstField(std::string_view line) {
  const std::size_t end = line.find_first_of(":;|\\\n");
  return end == std::string_view::npos ? line : line.substr(0, end);
}

void appendKey(const std::array<std::uint8_t, 256>& alphabet, std::string_view headword,
               std::string& key) {
  for (const char c : headword) {
    const std::uint8_t canonical = alphabet[static_cast<std::uint8_t>(c)];
    if (canonical != 0) key.push_back(static_cast<char>(canonical));
  }
}

int keyLength(const std::array<std::uint8_t, 256>& alphabet, std::string_view headword) {
  int n = 0;
  for (const char c : headword) n += alphabet[static_cast<std::uint8_t>(c)] != 0;
  return n;
}

}  // namespace kea
