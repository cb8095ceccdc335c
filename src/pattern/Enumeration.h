// A clue's enumeration ("(3,4,6)", "4-5", "(2,3-4)"): the letter count of
// each word of the answer and what follows each word, a word break or a
// hyphen. It narrows a search by turning into pattern text that is joined
// to the user's pattern with "&", so the pattern language does all the
// matching and no search code needs to know about enumerations.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kea {

// What stands after a word of the answer.
enum class EnumerationBreak : unsigned char {
  End,     // the last word
  Space,   // ","
  Hyphen,  // "-"
};

struct EnumerationWord {
  int length = 0;
  EnumerationBreak after = EnumerationBreak::End;

  bool operator==(const EnumerationWord&) const = default;
};

// Why a text is not an enumeration; the messages are in the string table
// (text/StringTable.h, enumerationErrorText).
enum class EnumerationError : unsigned char {
  None,
  Empty,
  ZeroLength,
  WordTooLong,
  TotalTooLong,
  MissingSeparator,    // "3 4": two lengths with nothing between
  SeparatorsTogether,  // "3,,4", "3,-4"
  SeparatorAtEnd,      // ",3", "3-"
  Parentheses,         // "(3", "3)", "((3))", "3(4)"
  OtherCharacter,
};

// The longest word, and the most letters in all, that an enumeration may
// give: no searched entry is longer.
inline constexpr int kMaxEnumerationLetters = 100;

struct Enumeration {
  std::vector<EnumerationWord> words;  // empty when `error` is set
  EnumerationError error = EnumerationError::None;

  bool valid() const { return error == EnumerationError::None; }
  int totalLength() const;
};

// Reads lengths separated by "," (word break) or "-" (hyphen), optionally
// inside one pair of parentheses, with spaces allowed anywhere between the
// parts. The first fault found, left to right, is the one reported.
Enumeration parseEnumeration(std::string_view text);

// The pattern line that holds exactly for the entries split into words like
// the enumeration: its template, joined by "&" to negated patterns for the
// kinds of break it lacks. The enumeration must be valid.
std::string enumerationPattern(const Enumeration& enumeration);

// The pattern line that lists what `line` lists, restricted to entries of
// the enumeration's shape. The enumeration must be valid.
std::string withEnumeration(const Enumeration& enumeration, std::string_view line);

}  // namespace kea
