// The save-file dialog with a typed name taken as it was typed. Qt's own
// file dialog reads a typed name holding double quotes as a list of quoted
// names and keeps one of them: "/x/café "q" it's.kkd" became "/x/q". On
// Linux a double quote is a character of a file name like any other.
#pragma once

#include <QString>

class QFileDialog;
class QWidget;

namespace kea::ui {

// The file an accepted dialog chose: the typed name literally (in the
// dialog's folder unless it names its own) when it holds a double quote,
// otherwise the dialog's first selected file.
QString acceptedFile(const QFileDialog& dialog);

// As QFileDialog::getSaveFileName, through acceptedFile(); `selectedFilter`
// receives the filter chosen when it is given. Empty when cancelled.
QString saveFileName(QWidget* parent, const QString& caption, const QString& start, const QString& filter,
                     QString* selectedFilter = nullptr);

}  // namespace kea::ui
