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

QFont toQFont(const FontSetting& setting);
// The setting for a font and colour chosen by the user; what QFont cannot
// hold (width, escapement, character set, precisions, quality) is taken
// from `base`.
FontSetting fromQFont(const QFont& font, const QColor& colour, const FontSetting& base);

}  // namespace kea::ui
