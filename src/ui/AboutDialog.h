// The about box: the program's name, version and purpose, its icon, and
// the notices that the shipped word lists and definitions come with, which
// their licences require the program to show.
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace kea::ui {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);

  // "2.11": the version the build was made as.
  static QString versionText();

  QLabel* versionLabel() const { return version_; }
  QPlainTextEdit* notices() const { return notices_; }
  // Whether the program's icon was found and drawn.
  bool hasIcon() const { return hasIcon_; }

 private:
  QLabel* version_;
  QPlainTextEdit* notices_;
  bool hasIcon_ = false;
};

}  // namespace kea::ui
