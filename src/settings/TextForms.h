// The text forms in which colours, fonts and window positions are stored as
// settings. Reading is forgiving by design: the text is split at commas, a
// missing or unreadable number counts as 0, and nothing in the text can make
// a field hold more than it is meant to.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kea {

// A colour held as red + 256 × green + 65536 × blue, each part 0…255.
struct Colour {
  std::uint32_t value = 0;

  // Parts outside 0…255 are clamped so that one part never spills into the next.
  static Colour fromRgb(int red, int green, int blue);
  int red() const { return value & 0xFF; }
  int green() const { return (value >> 8) & 0xFF; }
  int blue() const { return (value >> 16) & 0xFF; }
  bool operator==(const Colour&) const = default;
};

// A text colour and a logical font description as the platform defines it:
// a negative height is a character height, a positive one a cell height and
// 0 the platform's default size; weight 400 is normal and 700 bold; a
// non-zero italic, underline or strike-out byte switches that style on.
struct FontSetting {
  static constexpr std::size_t kMaxFaceName = 32;

  Colour colour;
  std::int32_t height = 0;
  std::int32_t width = 0;
  std::int32_t escapement = 0;
  std::int32_t orientation = 0;
  std::int32_t weight = 0;
  std::uint8_t italic = 0;
  std::uint8_t underline = 0;
  std::uint8_t strikeOut = 0;
  std::uint8_t charSet = 0;
  std::uint8_t outPrecision = 0;
  std::uint8_t clipPrecision = 0;
  std::uint8_t quality = 0;
  std::uint8_t pitchAndFamily = 0;
  std::string faceName;  // at most kMaxFaceName characters

  bool operator==(const FontSetting&) const = default;
};

// A window's place: left, top, width, height and its state (0 = normal).
struct WindowPosition {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t state = 0;

  bool operator==(const WindowPosition&) const = default;
};

// "r,g,b,height,width,escapement,orientation,weight,italic,underline,
// strikeOut,charSet,outPrecision,clipPrecision,quality,pitchAndFamily,face"
FontSetting parseFont(std::string_view text);
std::string formatFont(const FontSetting& font);

// "r,g,b"
Colour parseColour(std::string_view text);
std::string formatColour(Colour colour);

// "left,top,width,height,state"
WindowPosition parsePosition(std::string_view text);
std::string formatPosition(const WindowPosition& position);

// One number field as the forms read it: leading blanks, an optional sign and
// digits; whatever follows is ignored, no digits give 0 and a value beyond
// the 32-bit range is held at its limit.
std::int32_t parseSettingNumber(std::string_view field);

}  // namespace kea
