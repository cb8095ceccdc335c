// Status codes of a pattern compile and the user-visible strings of the
// pattern language, kept in one table so that the search window, the tests
// and any later translation read the same text.
#pragma once

namespace kea {

// The outcome of compiling a pattern or a pattern line. The numbers are the
// ones the status line shows through string 13080 + code.
enum class PatternStatus : int {
  Valid = 0,
  Empty = 1,                 // nothing to match; also the state before any compile
  ChoiceNotLetters = 2,
  TooManyPatterns = 3,
  TooLong = 4,
  ChoiceUnfinished = 5,
  SecondSemicolon = 6,
  SubpatternUnfinished = 7,
  StrayClose = 8,
  StrayBracket = 9,
  AnagramNotLetters = 11,
  StrayCaret = 12,
  EscapeAtEnd = 13,
  EmptyChoice = 14,
  // Our own guard: nesting so deep that compiling or matching it would
  // risk the stack. Far beyond any pattern a person writes.
  NestedTooDeeply = 15,
};

inline constexpr int kPatternStatusStringBase = 13080;
// String put in front of a non-empty anagram balance when a result shows it.
inline constexpr int kBalancePrefixString = 5800;

// The text of a string number, or nullptr when the table has no such string.
const char* patternString(int id);

// The message of a status code (string 13080 + code); never nullptr.
const char* patternStatusMessage(PatternStatus status);

}  // namespace kea
