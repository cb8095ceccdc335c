// The word as the matcher sees it: 2000 bytes, filled by the word-list
// decoder and by the matcher, and reused for every word.
#pragma once

#include <cstdint>

namespace kea {

struct WordBuffer {
  static constexpr int kKeySize = 128;
  static constexpr int kPunctuationSize = 128;
  static constexpr int kSignificantSize = 744;
  static constexpr int kRawSize = 1000;

  // The WordKey: alphabet indices of the word's letters, ended by 255.
  std::uint8_t key[kKeySize];
  // For each letter position i, the number of significant punctuation
  // characters before letter i; entry [length] holds the total. Filled by
  // the matcher for punctuation-sensitive patterns only.
  std::uint8_t punctuationCounts[kPunctuationSize];
  // The significant raw characters (letters and significant punctuation),
  // ended by 0. Filled by the matcher for punctuation-sensitive patterns only.
  std::uint8_t significant[kSignificantSize];
  // The entry text as stored, ended by 0; the annotation, if any, follows
  // that 0 and is ended by another 0.
  char raw[kRawSize];
};

static_assert(sizeof(WordBuffer) == 2000, "the word buffer is 2000 bytes");

}  // namespace kea
