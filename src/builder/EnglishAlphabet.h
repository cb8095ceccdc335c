// The alphabet of the shipped English dictionaries, as a builder alphabet
// table (for each byte value its canonical character, 0 outside).
#pragma once

#include <array>
#include <cstdint>

namespace kea {

// a–z are their own canonical characters; A–Z and the accented letters take
// the canonical character of their base letter; œ, æ, þ and ß are letters of
// their own (upper-case forms fold onto them). Digits, space, hyphen,
// apostrophe and all other punctuation are outside the alphabet.
std::array<std::uint8_t, 256> englishAlphabetTable();

}  // namespace kea
