// The printout's device over a QPrinter: its resolution, sheet and font
// metrics lay the pages out, and a QPainter draws them, either on the
// printer itself (printing, PDF files) or on a preview scaled to the sheet.
// Either way the layout is the printer's, so the preview shows exactly the
// pages that print.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <functional>

#include "printing/PrintoutDevice.h"

class QPainter;
class QPrinter;

namespace kea::ui {

class QtPrintoutDevice : public PrintoutDevice {
 public:
  // Font sizes are chosen in Qt's device-independent pixels.
  static constexpr int kScreenPixelsPerInch = 96;

  // The printer is printed on full-page: its drawing origin is the corner
  // of the sheet.
  explicit QtPrintoutDevice(QPrinter& printer);

  // Where texts go; nothing is drawn without a painter.
  void setPainter(QPainter* painter) { painter_ = painter; }
  // What newPage() does; by default it asks the printer for a new sheet.
  void onNewPage(std::function<void()> callback) { newPage_ = std::move(callback); }

  int pixelsPerInchX() const override;
  int pixelsPerInchY() const override;
  int screenPixelsPerInchX() const override { return kScreenPixelsPerInch; }
  int screenPixelsPerInchY() const override { return kScreenPixelsPerInch; }
  int physicalOffsetX() const override { return 0; }
  int physicalOffsetY() const override { return 0; }
  int physicalWidth() const override;
  int physicalHeight() const override;

  void selectFont(const FontSetting& font) override;
  void setTextColour(Colour colour) override;
  void setTransparentBackground() override;
  std::optional<TextMetrics> textMetrics() const override;
  int textWidth(std::string_view text) const override;
  void drawText(int x, int y, std::string_view text) override;
  void newPage() override;

 private:
  QPrinter& printer_;
  QPainter* painter_ = nullptr;
  QFont font_;
  QFontMetrics metrics_;
  QColor colour_ = Qt::black;
  std::function<void()> newPage_;
};

}  // namespace kea::ui
