// Stored font, colour and position texts come from a file the user (or
// another program) can edit: any text must parse, and what the program
// writes back must read back the same.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/TextForms.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const kea::FontSetting font = kea::parseFont(text);
  if (font.faceName.size() > kea::FontSetting::kMaxFaceName) std::abort();
  if (font.colour.value > 0xFFFFFF) std::abort();
  if (kea::parseFont(kea::formatFont(font)) != font && font.faceName.find(',') == std::string::npos) std::abort();
  const kea::Colour colour = kea::parseColour(text);
  if (kea::parseColour(kea::formatColour(colour)) != colour) std::abort();
  const kea::WindowPosition position = kea::parsePosition(text);
  if (kea::parsePosition(kea::formatPosition(position)) != position) std::abort();
  return 0;
}
