// What a printout needs of the printer (or of a preview page standing in for
// it): resolution, page geometry, font metrics, text extents and drawing.
// The layout is computed through this interface alone, so a fake device can
// test it and the desktop program supplies one over its printer.
#pragma once

#include <optional>
#include <string_view>

#include "settings/TextForms.h"

namespace kea {

class PrintoutDevice {
 public:
  struct TextMetrics {
    int height = 0;
    int externalLeading = 0;
    int averageCharWidth = 0;
  };

  virtual ~PrintoutDevice() = default;

  // Pixels per inch of the printer, and of the screen the font sizes were
  // chosen on.
  virtual int pixelsPerInchX() const = 0;
  virtual int pixelsPerInchY() const = 0;
  virtual int screenPixelsPerInchX() const = 0;
  virtual int screenPixelsPerInchY() const = 0;
  // The unprintable edge at the top left, and the whole sheet, in device units.
  virtual int physicalOffsetX() const = 0;
  virtual int physicalOffsetY() const = 0;
  virtual int physicalWidth() const = 0;
  virtual int physicalHeight() const = 0;

  virtual void selectFont(const FontSetting& font) = 0;
  virtual void setTextColour(Colour colour) = 0;
  virtual void setTransparentBackground() = 0;
  // Of the selected font; nothing when the device cannot tell.
  virtual std::optional<TextMetrics> textMetrics() const = 0;
  // Texts are the list's own Windows-1252 bytes.
  virtual int textWidth(std::string_view text) const = 0;
  virtual void drawText(int x, int y, std::string_view text) = 0;
  // Ends the current sheet and starts the next one.
  virtual void newPage() = 0;
};

}  // namespace kea
