#include "ui/QtPrintoutDevice.h"

#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "ui/QtFonts.h"
#include "ui/QtText.h"

namespace kea::ui {

QtPrintoutDevice::QtPrintoutDevice(QPrinter& printer) : printer_(printer), metrics_(QFont(), &printer) {
  printer_.setFullPage(true);
}

int QtPrintoutDevice::pixelsPerInchX() const { return printer_.logicalDpiX(); }
int QtPrintoutDevice::pixelsPerInchY() const { return printer_.logicalDpiY(); }
int QtPrintoutDevice::physicalWidth() const {
  return static_cast<int>(std::lround(printer_.paperRect(QPrinter::DevicePixel).width()));
}
int QtPrintoutDevice::physicalHeight() const {
  return static_cast<int>(std::lround(printer_.paperRect(QPrinter::DevicePixel).height()));
}

void QtPrintoutDevice::selectFont(const FontSetting& font) {
  font_ = toQFont(font);
  // The height is already the printer's, in its pixels, and may be well
  // beyond anything a screen font would be.
  if (font.height < 0) {
    font_.setPixelSize(std::clamp(-font.height, 1, 1 << 20));
  } else if (font.height > 0) {
    font_.setPixelSize(std::clamp(static_cast<int>(std::lround(font.height * 0.8)), 1, 1 << 20));
  }
  metrics_ = QFontMetrics(font_, &printer_);
  if (painter_ != nullptr) painter_->setFont(font_);
}

void QtPrintoutDevice::setTextColour(Colour colour) {
  colour_ = toQColor(colour);
  if (painter_ != nullptr) painter_->setPen(colour_);
}

void QtPrintoutDevice::setTransparentBackground() {
  if (painter_ != nullptr) painter_->setBackgroundMode(Qt::TransparentMode);
}

std::optional<PrintoutDevice::TextMetrics> QtPrintoutDevice::textMetrics() const {
  return TextMetrics{metrics_.height(), std::max(0, metrics_.leading()), metrics_.averageCharWidth()};
}

int QtPrintoutDevice::textWidth(std::string_view text) const { return metrics_.horizontalAdvance(toQString(text)); }

// Texts are placed by the top of their line, as the layout counts lines.
void QtPrintoutDevice::drawText(int x, int y, std::string_view text) {
  if (painter_ == nullptr) return;
  painter_->drawText(QPointF(x, y + metrics_.ascent()), toQString(text));
}

void QtPrintoutDevice::newPage() {
  if (newPage_) {
    newPage_();
  } else {
    printer_.newPage();
  }
}

}  // namespace kea::ui
