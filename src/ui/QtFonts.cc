#include "ui/QtFonts.h"

#include <algorithm>
#include <cmath>

#include <QFontInfo>

#include "ui/QtText.h"

namespace kea::ui {

namespace {

// The pitch and family byte of a logical font description.
constexpr int kFixedPitch = 0x01;
constexpr int kVariablePitch = 0x02;
constexpr int kFamilyMask = 0xF0;
constexpr int kRoman = 0x10;
constexpr int kSwiss = 0x20;
constexpr int kModern = 0x30;
constexpr int kScript = 0x40;
constexpr int kDecorative = 0x50;
// A point is 1/72 inch and a logical pixel 1/96 inch.
constexpr double kPixelsPerPoint = 96.0 / 72.0;

}  // namespace

namespace {

double luminance(const QColor& c) {
  const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
  return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

}  // namespace

double contrastRatio(const QColor& a, const QColor& b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& chosen, const QColor& background, const QColor& fallback) {
  return contrastRatio(chosen, background) >= kMinimumContrast ? chosen : fallback;
}

QColor toQColor(Colour colour) { return QColor(colour.red(), colour.green(), colour.blue()); }

Colour fromQColor(const QColor& colour) { return Colour::fromRgb(colour.red(), colour.green(), colour.blue()); }

QFont toQFont(const FontSetting& setting) {
  QFont font;
  switch (setting.pitchAndFamily & kFamilyMask) {
    case kRoman:
      font.setStyleHint(QFont::Serif);
      break;
    case kSwiss:
      font.setStyleHint(QFont::SansSerif);
      break;
    case kModern:
      font.setStyleHint(QFont::Monospace);
      break;
    case kScript:
      font.setStyleHint(QFont::Cursive);
      break;
    case kDecorative:
      font.setStyleHint(QFont::Decorative);
      break;
    default:
      break;
  }
  if (setting.pitchAndFamily & kFixedPitch) font.setFixedPitch(true);
  if (!setting.faceName.empty()) font.setFamilies({toQString(setting.faceName)});
  // A cell height (positive) includes the leading that a character height
  // leaves out; a fifth of the cell is a fair share for it.
  if (setting.height < 0) {
    font.setPixelSize(std::clamp(-setting.height, 1, 1000));
  } else if (setting.height > 0) {
    font.setPixelSize(std::clamp(static_cast<int>(std::lround(setting.height * 0.8)), 1, 1000));
  }
  if (setting.weight > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp(setting.weight, 100, 900)));
  font.setItalic(setting.italic != 0);
  font.setUnderline(setting.underline != 0);
  font.setStrikeOut(setting.strikeOut != 0);
  return font;
}

FontSetting fromQFont(const QFont& font, const QColor& colour, const FontSetting& base) {
  FontSetting out = base;
  out.colour = fromQColor(colour);
  if (font.pixelSize() > 0) {
    out.height = -font.pixelSize();
  } else if (font.pointSizeF() > 0) {
    out.height = -static_cast<std::int32_t>(std::lround(font.pointSizeF() * kPixelsPerPoint));
  }
  out.weight = font.weight();
  out.italic = font.italic() ? 255 : 0;
  out.underline = font.underline() ? 1 : 0;
  out.strikeOut = font.strikeOut() ? 1 : 0;
  // The generic family follows the chosen face, so that the setting still
  // picks a fitting face on a machine without it.
  const bool fixed = QFontInfo(font).fixedPitch();
  int family = base.pitchAndFamily & kFamilyMask;
  if (fixed) {
    family = kModern;
  } else if (family == kModern) {
    family = kSwiss;
  }
  out.pitchAndFamily = static_cast<std::uint8_t>(family | (fixed ? kFixedPitch : kVariablePitch));
  // A family name the settings cannot hold keeps the face it had.
  if (const auto face = fromQString(font.family()); face && !face->empty()) {
    out.faceName = face->substr(0, FontSetting::kMaxFaceName);
  }
  return out;
}

}  // namespace kea::ui
