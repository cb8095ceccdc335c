#include "ui/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

namespace kea::ui {

QString acceptedFile(const QFileDialog& dialog) {
  // Qt's own dialog names its name box; a dialog of the desktop's takes
  // the name literally itself and has none.
  if (const auto* typed = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      typed != nullptr && typed->text().contains(QLatin1Char('"'))) {
    const QString name = typed->text();
    return QFileInfo(name).isAbsolute() ? name : dialog.directory().absoluteFilePath(name);
  }
  return dialog.selectedFiles().value(0);
}

QString saveFileName(QWidget* parent, const QString& caption, const QString& start, const QString& filter,
                     QString* selectedFilter) {
  QFileDialog dialog(parent, caption, start, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  if (selectedFilter != nullptr && !selectedFilter->isEmpty()) dialog.selectNameFilter(*selectedFilter);
  if (dialog.exec() != QDialog::Accepted) return {};
  if (selectedFilter != nullptr) *selectedFilter = dialog.selectedNameFilter();
  return acceptedFile(dialog);
}

}  // namespace kea::ui
