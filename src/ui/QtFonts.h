// Stored font and colour settings as Qt draws them. A font setting keeps
// its platform-neutral text form (colour, logical height, weight, styles,
// pitch and family, face name); here it becomes a QFont and a QColor and
// back. A negative height is the character height in logical pixels, which
// Qt scales for high-resolution screens; the family bits choose the generic
// face (monospace, serif, sans serif) that fontconfig falls back on when
// the named face is not installed.
#pragma once

#include <QColor>
#include <QFont>

#include "settings/TextForms.h"

namespace kea::ui {

QColor toQColor(Colour colour);
Colour fromQColor(const QColor& colour);

// How far apart two colours are to the eye: 1 (the same) to 21 (black and
// white), by the web's rule for relative luminance.
double contrastRatio(const QColor& a, const QColor& b);
// Text that reads against its background at least this well.
inline constexpr double kMinimumContrast = 3.0;
// `chosen` when it reads on `background` (a setting's black text on a dark
// theme does not), else `fallback`.
QColor readableOn(const QColor& chosen, const QColor& background, const QColor& fallback);

QFont toQFont(const FontSetting& setting);
// The setting for a font and colour chosen by the user; what QFont cannot
// hold (width, escapement, character set, precisions, quality) is taken
// from `base`.
FontSetting fromQFont(const QFont& font, const QColor& colour, const FontSetting& base);

}  // namespace kea::ui
