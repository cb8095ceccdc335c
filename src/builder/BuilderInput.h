// The meaning of one builder input line: its headword fields (each with a
// headword, an optional annotation and an optional tail, ended by ":" or
// ";"), and the definition text after the first unescaped "|". A backslash
// makes the next character of the headword part literal.
//
//   apple;pomme|a round fruit         two headwords, one definition
//   Smith+(surname)+|a family name    headword Smith, annotation (surname)
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kea {

// Fields longer than this (as written, escapes included) are skipped.
inline constexpr std::size_t kMaxHeadwordField = 2038;

// One parsed line. Parsing reuses the object's storage, so one ParsedLine
// per builder pass parses every line without allocating.
class ParsedLine {
 public:
  struct Field {
    // The three parts, escapes resolved, as ranges of text().
    std::uint32_t headwordStart, headwordSize;
    std::uint32_t annotationStart, annotationSize;
    std::uint32_t tailStart, tailSize;
    // The field as written, escapes included.
    std::uint32_t rawSize;
    // ':' or ';', or '|', '\n' or 0 (end of line) for the last field.
    char terminator;
  };

  void parse(std::string_view line);

  std::size_t fieldCount() const { return fields_.size(); }
  const Field& field(std::size_t i) const { return fields_[i]; }

  // The headword text before the first "+", leading spaces removed.
  std::string_view headword(std::size_t i) const;
  std::string_view annotation(std::size_t i) const { return part(fields_[i].annotationStart, fields_[i].annotationSize); }
  std::string_view tail(std::size_t i) const { return part(fields_[i].tailStart, fields_[i].tailSize); }

  // The text stored for the field's entry: the headword, then, when the
  // annotation is not empty, a line feed and the annotation.
  void entryText(std::size_t i, std::string& out) const;

  bool hasDefinition() const { return hasDefinition_; }
  // Everything after the first unescaped "|", unchanged.
  std::string_view definition() const { return definition_; }

 private:
  std::string_view part(std::uint32_t start, std::uint32_t size) const {
    return std::string_view(text_).substr(start, size);
  }

  std::string text_;
  std::vector<Field> fields_;
  bool hasDefinition_ = false;
  std::string_view definition_;
};

// The line's first field as written: the text up to the first ":", ";",
// "|", "\" or line feed. Progress reports show it.
std::string_view firstField(std::string_view line);

// Appends the key of `headword`: the canonical character of each byte whose
// alphabet entry is not 0, in order.
void appendKey(const std::array<std::uint8_t, 256>& alphabet, std::string_view headword,
               std::string& key);

// Number of characters of the key of `headword`.
int keyLength(const std::array<std::uint8_t, 256>& alphabet, std::string_view headword);

}  // namespace kea
