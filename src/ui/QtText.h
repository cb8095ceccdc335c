// Text crossing between the core and Qt. Every text of the core is
// Windows-1252 and every QString is Unicode: the two meet only here, through
// the codec of the platform layer, so a byte 0x80-0x9F (the euro sign, the
// curly quotes) keeps its meaning and a character Windows-1252 cannot hold
// is reported instead of being changed quietly.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Cp1252.h"

namespace kea::ui {

QString toQString(std::string_view cp1252);

// Nothing when the text holds a character Windows-1252 cannot hold; `error`
// then says which and where.
std::optional<std::string> fromQString(const QString& text, platform::CodecError* error = nullptr);

// A file dialog filter of the core ("Name (*.kkd)|*.kkd|All Files|*.*") as
// Qt writes it ("Name (*.kkd);;All Files (*)").
QString fileDialogFilter(std::string_view cp1252);

// A hint of the core ("status text\ntool tip") split at its line break.
struct Hint {
  QString status;
  QString toolTip;
};
Hint hintText(std::string_view cp1252);

}  // namespace kea::ui
