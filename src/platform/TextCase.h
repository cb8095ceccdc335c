// Windows-1252 case mapping, for comparisons that ignore letter case (the
// names of open dictionaries). Unlike the letter folding of the dictionary
// code, accents are kept: "é" equals "É" but not "e".
#pragma once

#include <string_view>

namespace kea::platform {

// The lower-case form of a Windows-1252 byte; other bytes are returned unchanged.
unsigned char toLowerCp1252(unsigned char byte);

// Whether two Windows-1252 texts are equal apart from letter case.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace kea::platform
