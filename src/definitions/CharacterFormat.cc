#include "definitions/CharacterFormat.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace kea {

CharacterFormat characterFormatFromFont(const FontSetting& font, int pixelsPerInchY) {
  CharacterFormat format;
  format.faceName = font.faceName;
  if (pixelsPerInchY <= 0) pixelsPerInchY = kDefaultPixelsPerInch;
  // A negative height is a character height; a positive one is a cell
  // height, which is the nearest size we can offer instead of a negative
  // size. Both are taken by magnitude; 0 keeps the pane's own size.
  const double height = std::abs(static_cast<double>(font.height));
  const double twips = std::floor(1440.0 * height / pixelsPerInchY + 0.5);
  format.sizeTwips = twips > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                              : static_cast<int>(twips);
  format.bold = font.weight == 700;
  format.italic = font.italic != 0;
  format.underline = font.underline != 0;
  format.strikeOut = font.strikeOut != 0;
  format.charSet = font.charSet;
  format.colour = font.colour;
  return format;
}

}  // namespace kea
