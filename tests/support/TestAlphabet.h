// The English alphabet of the shipped dictionaries with every letter a-z
// occurring, so that 'a' … 'z' have the alphabet indices 0 … 25 (A = 26)
// and œ, ß, æ, þ follow as letters that occur in no entry.
#pragma once

#include <string_view>

#include "dictionary/Alphabet.h"
#include "dictionary/WordBuffer.h"

namespace kea::test {

const Alphabet& englishTestAlphabet();

// A word filled from raw text with the test alphabet; `length` is its
// number of letters.
struct TestWord {
  explicit TestWord(std::string_view text, const Alphabet& alphabet = englishTestAlphabet());
  WordBuffer buffer;
  int length;
};

}  // namespace kea::test
