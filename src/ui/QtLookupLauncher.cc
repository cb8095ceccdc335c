#include "ui/QtLookupLauncher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

#include "platform/Cp1252.h"
#include "ui/QtText.h"

namespace kea::ui {

bool QtLookupLauncher::openAddress(std::string_view address) {
  // The lookup has escaped the word already: the address is taken as the
  // encoded address it is, so nothing is escaped twice. Only what the user
  // typed into the template may be outside ASCII; it goes as UTF-8.
  const std::string utf8 = platform::cp1252ToUtf8(address);
  const QUrl url = QUrl::fromEncoded(QByteArray(utf8.data(), static_cast<qsizetype>(utf8.size())), QUrl::TolerantMode);
  if (!url.isValid() || url.isEmpty()) return false;
  return QDesktopServices::openUrl(url);
}

bool QtLookupLauncher::startProgram(std::string_view program, std::string_view argument) {
  if (program.empty()) return false;
  return QProcess::startDetached(toQString(program), {toQString(argument)});
}

}  // namespace kea::ui
