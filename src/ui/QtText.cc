#include "ui/QtText.h"

namespace kea::ui {

QString toQString(std::string_view cp1252) {
  const std::string utf8 = platform::cp1252ToUtf8(cp1252);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::optional<std::string> fromQString(const QString& text, platform::CodecError* error) {
  const QByteArray utf8 = text.toUtf8();
  return platform::utf8ToCp1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), error);
}

MenuText menuText(std::string_view cp1252) {
  MenuText out;
  const std::size_t tab = cp1252.find('\t');
  out.text = toQString(cp1252.substr(0, tab));
  if (tab != std::string_view::npos) {
    // The core writes "Ctrl+Enter"; Qt's name of that key is "Return" or
    // "Enter" (keypad); the main keyboard's key is the one meant.
    QString keys = toQString(cp1252.substr(tab + 1));
    keys.replace(QLatin1String("Enter"), QLatin1String("Return"));
    out.shortcut = QKeySequence::fromString(keys, QKeySequence::PortableText);
  }
  return out;
}

Hint hintText(std::string_view cp1252) {
  Hint out;
  const std::size_t newline = cp1252.find('\n');
  out.status = toQString(cp1252.substr(0, newline));
  if (newline != std::string_view::npos) out.toolTip = toQString(cp1252.substr(newline + 1));
  return out;
}

}  // namespace kea::ui
