// The forms a word takes on its way to a lookup target: escaped for a web
// address, or spelt out in hexadecimal for programs that cannot take the
// program's single-byte text on their command line. Each byte of the word
// counts as an unsigned value 0-255.
#pragma once

#include <string>
#include <string_view>

namespace kea {

// ASCII letters and digits stay; every other byte becomes "%" and two
// lower-case hexadecimal digits, so "tail end" gives "tail%20end".
std::string urlEscape(std::string_view word);

// Every byte as two upper-case hexadecimal digits: "ab" gives "6162".
std::string hexEncode(std::string_view word);

// The web address for `word`: every "{entry}" of `address` replaced by the
// escaped word.
std::string lookupAddress(std::string_view address, std::string_view word);

// The argument a program method passes: hexadecimal when `encoding` is "1",
// otherwise the word as it is.
std::string programArgument(std::string_view word, std::string_view encoding);

// The command number held by a message method as decimal text. Leading
// blanks and a sign are allowed and anything after the digits is ignored;
// text that is not a number gives 0, and a number beyond the range of int
// is held at the nearest end of it.
int messageCommandNumber(std::string_view text);

}  // namespace kea
