#include "ui/QtText.h"

#include <QStringList>


namespace kea::ui {

QString toQString(std::string_view cp1252) {
  const std::string utf8 = platform::cp1252ToUtf8(cp1252);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::optional<std::string> fromQString(const QString& text, platform::CodecError* error) {
  const QByteArray utf8 = text.toUtf8();
  return platform::utf8ToCp1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), error);
}

QString fileDialogFilter(std::string_view cp1252) {
  const QStringList parts = toQString(cp1252).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& written = parts[i + 1];
    QString patterns = written;
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    // "*.*" means every file on the platform the filters were written for.
    if (patterns == QLatin1String("*.*")) patterns = QStringLiteral("*");
    const QString& name = parts[i];
    // Qt reads the patterns from the parentheses that end the name, so a
    // name ending in other words in parentheses ("Text Document (TXT)")
    // gets the patterns after them.
    const bool named = name.endsWith(QLatin1Char('(') + written + QLatin1Char(')')) ||
                       name.endsWith(QLatin1Char('(') + patterns + QLatin1Char(')'));
    filters << (named ? name : name + QLatin1String(" (") + patterns + QLatin1Char(')'));
  }
  return filters.join(QLatin1String(";;"));
}

Hint hintText(std::string_view cp1252) {
  const std::size_t lineBreak = cp1252.find('\n');
  if (lineBreak == std::string_view::npos) return {toQString(cp1252), {}};
  return {toQString(cp1252.substr(0, lineBreak)), toQString(cp1252.substr(lineBreak + 1))};
}

}  // namespace kea::ui
