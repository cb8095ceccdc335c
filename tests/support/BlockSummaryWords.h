// Builder lines for the block-summary tests: a few thousand entries whose
// letters are as uneven as a real language's (q, z, j and x rare), with
// definitions on some (so flag bits and definition numbers vary from block
// to block), annotations, capitals, accents and phrases.
#pragma once

#include <string>
#include <vector>

namespace kea::test {

std::vector<std::string> unevenLetterLines(int count);

}  // namespace kea::test
