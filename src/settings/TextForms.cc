#include "settings/TextForms.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>

namespace kea {

namespace {

// Splits off the text up to the next comma (or the end) and moves past it.
std::string_view nextField(std::string_view& text) {
  const std::size_t comma = text.find(',');
  const std::string_view field = text.substr(0, comma);
  text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
  return field;
}

int clampByte(std::int32_t v) { return std::clamp<std::int32_t>(v, 0, 255); }

// Reads `count` leading number fields; fields the text does not have are 0.
template <std::size_t N>
std::array<std::int32_t, N> readNumbers(std::string_view& text) {
  std::array<std::int32_t, N> numbers{};
  for (auto& n : numbers) n = parseSettingNumber(nextField(text));
  return numbers;
}

}  // namespace

std::int32_t parseSettingNumber(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    magnitude = std::min<std::int64_t>(magnitude * 10 + (field[i] - '0'), kLimit);
  }
  if (negative) return static_cast<std::int32_t>(-magnitude);
  return static_cast<std::int32_t>(std::min<std::int64_t>(magnitude, kLimit - 1));
}

Colour Colour::fromRgb(int red, int green, int blue) {
  return Colour{static_cast<std::uint32_t>(clampByte(red)) + 256u * static_cast<std::uint32_t>(clampByte(green)) +
                65536u * static_cast<std::uint32_t>(clampByte(blue))};
}

FontSetting parseFont(std::string_view text) {
  const auto n = readNumbers<16>(text);
  FontSetting font;
  font.colour = Colour::fromRgb(n[0], n[1], n[2]);
  font.height = n[3];
  font.width = n[4];
  font.escapement = n[5];
  font.orientation = n[6];
  font.weight = n[7];
  std::uint8_t* const bytes[] = {&font.italic,       &font.underline,     &font.strikeOut, &font.charSet,
                                 &font.outPrecision, &font.clipPrecision, &font.quality,   &font.pitchAndFamily};
  for (std::size_t k = 0; k < 8; ++k) *bytes[k] = static_cast<std::uint8_t>(clampByte(n[8 + k]));
  const std::string_view face = nextField(text);
  font.faceName.assign(face.substr(0, FontSetting::kMaxFaceName));
  return font;
}

std::string formatFont(const FontSetting& font) {
  char numbers[256];
  std::snprintf(numbers, sizeof numbers, "%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,", font.colour.red(),
                font.colour.green(), font.colour.blue(), font.height, font.width, font.escapement, font.orientation,
                font.weight, font.italic, font.underline, font.strikeOut, font.charSet, font.outPrecision,
                font.clipPrecision, font.quality, font.pitchAndFamily);
  std::string text(numbers);
  // The face name is the last field, so a longer name would only come back cut.
  text.append(std::string_view(font.faceName).substr(0, FontSetting::kMaxFaceName));
  return text;
}

Colour parseColour(std::string_view text) {
  const auto n = readNumbers<3>(text);
  return Colour::fromRgb(n[0], n[1], n[2]);
}

std::string formatColour(Colour colour) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%d,%d,%d", colour.red(), colour.green(), colour.blue());
  return buffer;
}

WindowPosition parsePosition(std::string_view text) {
  const auto n = readNumbers<5>(text);
  return WindowPosition{n[0], n[1], n[2], n[3], n[4]};
}

std::string formatPosition(const WindowPosition& position) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%d,%d,%d,%d,%d", position.left, position.top, position.width,
                position.height, position.state);
  return buffer;
}

}  // namespace kea
