// Finding things in the plain text of a shown definition: the spans to
// highlight for a looked-up word or for a full-text query, and the word
// under the caret or the selection that a lookup from the text would use.
//
// Positions are display positions: every character counts except a
// carriage return, since the text pane counts a line break as one
// character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kea {

// [start, end) in display positions.
struct TextRange {
  int start = 0;
  int end = 0;
  bool empty() const { return end <= start; }
  bool operator==(const TextRange&) const = default;
};

// The words of a full-text query, as the full-text search compiled them for
// one dictionary. The window only offers words; what matches is the
// search's business.
class FullTextWordMatcher {
 public:
  // Alphabet characters kept of one word; the rest of a longer run is
  // still highlighted with it.
  static constexpr std::size_t kMaxWordLength = 101;

  virtual ~FullTextWordMatcher() = default;
  // Whether the byte belongs to the dictionary's alphabet (words are the
  // maximal runs of such bytes).
  virtual bool inAlphabet(std::uint8_t byte) const = 0;
  // Whether one of the query's matchers whose length range admits the
  // word's length matches it. `word` holds at most kMaxWordLength bytes.
  virtual bool matches(std::string_view word) const = 0;
};

// The spans of `text` that spell `word`: each starts at a letter that
// follows a non-letter and runs over exactly as many letters as the word
// has, ending where a run of letters ends, and compares equal to the word
// with case, accents and non-letters ignored. So "tail-end" is found for
// tailend, but "tails" is not found for tail.
std::vector<TextRange> wordHighlights(std::string_view text, std::string_view word);

// The words of `text` (runs of alphabet bytes) that the query matches.
std::vector<TextRange> fullTextHighlights(std::string_view text, const FullTextWordMatcher& matcher);

// The index in `text` of a display position, clamped to the text.
std::size_t indexOfDisplayPosition(std::string_view text, int position);

// A word for a lookup and the text that qualifies it: a sense number such
// as the 2 of "bank 2", which picks the heading "bank 2" among the records.
struct FoundWord {
  std::string word;
  std::string suffix;
  bool operator==(const FoundWord&) const = default;
};

// The word for a lookup from the text pane. With a selection: the selected
// text without the non-word characters at its ends, line breaks and tabs
// made blanks. Otherwise the word at the caret (word characters, joined
// across single hyphens and apostrophes), with a following blank and
// number as its suffix.
FoundWord findWord(std::string_view text, TextRange selection);

}  // namespace kea
