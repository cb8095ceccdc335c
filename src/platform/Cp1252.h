// Windows-1252 <-> UTF-8 conversion, used wherever text crosses the edge of
// the program: terminal arguments and output, file names, builder input and
// the GUI toolkit's strings. Inside the library all text is single-byte
// Windows-1252.
//
// The five byte values that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) map to the C1 control code points of the same value, so every
// byte string converts to UTF-8 and back unchanged.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kea::platform {

// Why a UTF-8 text could not be converted.
struct CodecError {
  std::size_t offset = 0;     // byte offset in the UTF-8 input
  char32_t codePoint = 0;     // the character that has no Windows-1252 byte
  bool malformed = false;     // the input is not valid UTF-8 at `offset`

  // A one-line explanation, in UTF-8, suitable for an error message.
  std::string message() const;
};

// Converts UTF-8 to Windows-1252. Returns nothing (and fills `error` when
// given) for malformed UTF-8 or a character that Windows-1252 cannot hold;
// such a character is never silently replaced.
std::optional<std::string> utf8ToCp1252(std::string_view utf8, CodecError* error = nullptr);

// Converts Windows-1252 to UTF-8. Every byte has a code point, so this never fails.
std::string cp1252ToUtf8(std::string_view cp1252);

// The Unicode code point of a Windows-1252 byte.
char32_t cp1252ToCodePoint(unsigned char byte);

// The Windows-1252 byte of a code point, or nothing.
std::optional<unsigned char> codePointToCp1252(char32_t codePoint);

// Whether a Windows-1252 byte is an upper-case letter (the classification
// that the program's case filters and word-case checks use).
bool isCharUpper(unsigned char byte);

}  // namespace kea::platform
