// A character format as the definition text pane applies it: the neutral
// form of a font setting that a rich-text widget turns into its own format.
#pragma once

#include <cstdint>
#include <string>

#include "settings/TextForms.h"

namespace kea {

struct CharacterFormat {
  std::string faceName;
  // Character height in twentieths of a point; 0 leaves the pane's size.
  int sizeTwips = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  std::uint8_t charSet = 0;
  // Always a real colour, never "automatic".
  Colour colour;

  double pointSize() const { return sizeTwips / 20.0; }
  bool operator==(const CharacterFormat&) const = default;
};

// The screen's vertical resolution when the window system does not say.
inline constexpr int kDefaultPixelsPerInch = 96;

// The font's character height in logical units becomes a size in twips at
// the screen's vertical resolution, rounded half up; bold means weight 700.
CharacterFormat characterFormatFromFont(const FontSetting& font, int pixelsPerInchY);

}  // namespace kea
