#include "platform/Cp1252.h"

#include <array>
#include <cstdio>

namespace kea::platform {
namespace {

// Code points of bytes 0x80-0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at `pos`; returns false when it is malformed
// (overlong forms, surrogates and values above U+10FFFF included).
bool decodeUtf8(std::string_view text, std::size_t& pos, char32_t& cp) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  int extra;
  char32_t minimum;
  if (lead < 0x80) {
    cp = lead;
    ++pos;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1, cp = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, cp = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, cp = lead & 0x07, minimum = 0x10000;
  } else {
    return false;
  }
  if (pos + extra >= text.size()) return false;
  for (int i = 1; i <= extra; ++i) {
    const unsigned char b = byte(pos + i);
    if ((b & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  pos += extra + 1;
  return true;
}

}  // namespace

std::string CodecError::message() const {
  char buffer[96];
  if (malformed) {
    std::snprintf(buffer, sizeof buffer, "invalid UTF-8 at byte %zu", offset);
    return buffer;
  }
  std::string text = "the character \"";
  appendUtf8(text, codePoint);
  std::snprintf(buffer, sizeof buffer, "\" (U+%04X) at byte %zu has no Windows-1252 form",
                static_cast<unsigned>(codePoint), offset);
  return text + buffer;
}

char32_t cp1252ToCodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
  return byte;
}

std::optional<unsigned char> codePointToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == cp) return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

std::optional<std::string> utf8ToCp1252(std::string_view utf8, CodecError* error) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::size_t start = pos;
    char32_t cp = 0;
    if (!decodeUtf8(utf8, pos, cp)) {
      if (error) *error = CodecError{start, 0, true};
      return std::nullopt;
    }
    const auto byte = codePointToCp1252(cp);
    if (!byte) {
      if (error) *error = CodecError{start, cp, false};
      return std::nullopt;
    }
    out.push_back(static_cast<char>(*byte));
  }
  return out;
}

std::string cp1252ToUtf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size() + cp1252.size() / 8);
  for (const char c : cp1252) appendUtf8(out, cp1252ToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

bool isCharUpper(unsigned char byte) {
  if (byte >= 'A' && byte <= 'Z') return true;
  // S, OE and Z with caron, Y with diaeresis, and the Latin-1 capitals
  // except the multiplication sign.
  if (byte == 0x8A || byte == 0x8C || byte == 0x8E || byte == 0x9F) return true;
  return byte >= 0xC0 && byte <= 0xDE && byte != 0xD7;
}

}  // namespace kea::platform
