// Fills a WordBuffer from an entry's raw Windows-1252 text, the way the word
// cursor fills it from a dictionary's word list: the WordKey (alphabet
// indices of the characters that have one, ended by 255) and the raw text
// (ended by 0, then the annotation, if any, ended by another 0).
#pragma once

#include <string_view>

#include "dictionary/Alphabet.h"
#include "dictionary/WordBuffer.h"

namespace kea {

// Returns the word's length in letters, or -1 when the entry does not fit
// the buffer (more than 127 letters, or entry and annotation longer than the
// raw area); the buffer then holds an empty word.
int fillWordBuffer(WordBuffer& word, std::string_view entry, const Alphabet& alphabet,
                   std::string_view annotation = {});

}  // namespace kea
