// The dialog that saves a results list as a dictionary of its own: the
// target file (typed, or chosen with "Ch&ange..."), the description, and
// "&Save", which builds the file through the builder's save logic while a
// progress bar and the builder's status texts show how far it got. A
// failed save shows the build log in "Dictionary Save Failed" and leaves
// the dialog open for another try; a successful one closes it.
#pragma once

#include <QDialog>
#include <string>

#include "settings/SettingsStore.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace kea {
class DictionaryList;
class ResultsList;
}  // namespace kea

namespace kea::ui {

class DictionarySaveDialog : public QDialog {
  Q_OBJECT

 public:
  // `dictionaries` must outlive the dialog; `index` is the dictionary whose
  // alphabet the new one takes.
  DictionarySaveDialog(QWidget* parent, SettingsStore& store, const DictionaryList& dictionaries, int index,
                         const std::string& target, int shortest, int longest);

  QLineEdit* fileField() const { return file_; }
  QLineEdit* descriptionField() const { return description_; }
  QPushButton* saveButton() const { return save_; }
  // Runs the save with what the fields hold now; true when the dictionary
  // is in place (the dialog is then accepted).
  bool save();

 signals:
  void helpRequested();

 protected:
  // Builds into `target` (a library path); `status` receives the builder's
  // progress texts, `log` the build log when it fails.
  virtual bool build(const std::string& target, const std::string& description, std::string* log) = 0;
  // Shown while building.
  void showStatus(const std::string& text);
  void keepResponsive();
  void reject() override;

  const DictionaryList& dictionaries_;
  const int index_;
  const int shortest_;
  const int longest_;

 private:
  void changeFile();

  QLineEdit* file_;
  QLineEdit* description_;
  QLabel* status_;
  QProgressBar* progress_;
  QPushButton* save_;
  QPushButton* cancel_;
  bool building_ = false;
};

// The form the main window uses: the lines are the entries of one results
// list, the description starts as "<name> results with pattern <pattern>".
class ResultsDictionarySaveDialog : public DictionarySaveDialog {
  Q_OBJECT

 public:
  // The list must stay unchanged while the dialog is open.
  ResultsDictionarySaveDialog(QWidget* parent, SettingsStore& store, const ResultsList& list,
                            const DictionaryList& dictionaries, int index, const std::string& target,
                            const std::string& pattern, int shortest, int longest);

 protected:
  bool build(const std::string& target, const std::string& description, std::string* log) override;

 private:
  const ResultsList& list_;
};

}  // namespace kea::ui
