// Writing builder input lines from outside text: converting UTF-8 headwords
// and definitions to Windows-1252, escaping what the line syntax would read as
// structure, and keeping count of every entry that has to be dropped and why,
// so the preparation can say exactly what did not make it into a dictionary.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Cp1252.h"

namespace kea::prepare {

// Why an entry (a headword, or a whole synset line) was dropped.
enum class DropReason {
  kMalformedLine,   // a source line whose fields do not add up
  kInvalidUtf8,     // the text is not valid UTF-8
  kNotInCodePage,   // a character that Windows-1252 cannot hold
  kControlChar,     // a control character inside a headword
  kNoLetters,       // no character of the alphabet, so no length to file it under
  kTooLong,         // more letters than the longest searchable length
  kNoHeadword,      // a synset none of whose headwords could be kept
};
inline constexpr std::size_t kDropReasonCount = 7;

// A short phrase for reports, e.g. "not valid UTF-8".
const char* dropReasonText(DropReason reason);

// What one source file contributed. Word lists count words, WordNet files
// count synsets as lines and their lemmas as headwords.
struct SourceReport {
  std::string name;                 // the file, as given
  std::size_t linesRead = 0;        // words of a list, synsets of a WordNet file
  std::size_t linesWritten = 0;     // lines that reach the builder input
  std::size_t headwordsRead = 0;
  std::size_t headwordsWritten = 0;
  std::size_t namedBySynset = 0;    // list words that a synset line already holds
  std::size_t duplicates = 0;       // headwords already taken from this or an earlier source
  std::array<std::size_t, kDropReasonCount> dropped{};
  std::array<std::string, kDropReasonCount> firstDropped{};  // UTF-8, for the report

  // Counts a drop; the first item of each reason is kept with `detail`.
  void drop(DropReason reason, std::string_view item, std::string_view detail = {});
  std::size_t droppedTotal() const;
};

// Byte -> canonical character (0 outside the alphabet), as the builder takes it.
using AlphabetTable = std::array<std::uint8_t, 256>;

// Number of bytes of `cp1252` that the alphabet files under a letter, which
// is the length the builder gives the entry.
std::size_t letterCount(std::string_view cp1252, const AlphabetTable& alphabet);

// Converts a UTF-8 headword to Windows-1252 and checks that the builder can
// file it. Returns nothing, and counts the drop in `report`, otherwise.
std::optional<std::string> convertHeadword(std::string_view utf8, const AlphabetTable& alphabet,
                                           SourceReport& report);

// Converts UTF-8 definition text to Windows-1252 with every control
// character (a line break would end the builder line) turned into a space and
// surrounding white space removed. Returns nothing for text that cannot be
// converted (and fills `error`); the caller decides what to drop.
std::optional<std::string> convertDefinition(std::string_view utf8, platform::CodecError* error = nullptr);

// The drop reason for a failed conversion.
inline DropReason dropReasonOf(const platform::CodecError& error) {
  return error.malformed ? DropReason::kInvalidUtf8 : DropReason::kNotInCodePage;
}

// Appends `headword` with a backslash before every character that the line
// syntax would otherwise read as a separator, an annotation mark or an escape.
void appendEscapedHeadword(std::string& line, std::string_view headword);

// One builder line: the headwords as fields separated by ":", then "|" and
// the definition when there is one. ":" rather than ";" so that the
// definition always stays searchable, whichever of the fields the builder
// keeps.
std::string builderLine(const std::vector<std::string>& headwords, std::string_view definition);

}  // namespace kea::prepare
