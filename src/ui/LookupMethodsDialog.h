// The "Lookup Methods" dialog: the test word and Test lookup, and one row
// per method that has controls (web search 4, DDE 4, message 2, program 2)
// with its three-state box, its name and its fields. The rules of the
// boxes and what each edit changes are LookupMethodsModel's; changes take
// effect at once, and "Save as defaults" writes them to the settings (as
// does Yes to the question asked when it closes with changes unsaved).
#pragma once

#include <QDialog>
#include <vector>

#include "lookup/LookupMethodsModel.h"
#include "settings/SettingsStore.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kea::ui {

class LookupMethodsDialog : public QDialog {
  Q_OBJECT

 public:
  struct Row {
    LookupStyle style;
    int number;
    QCheckBox* box = nullptr;
    QLineEdit* name = nullptr;
    QLineEdit* first = nullptr;
    QLineEdit* second = nullptr;     // DDE topic, message command
    QComboBox* encoding = nullptr;   // program methods
    QPushButton* browse = nullptr;   // program methods
  };

  LookupMethodsDialog(LookupConfiguration& configuration, SettingsStore& store, QWidget* parent = nullptr);

  const std::vector<Row>& rows() const { return rows_; }
  // The row of a method, or null when it has no controls.
  const Row* row(LookupStyle style, int number) const;
  QLineEdit* testWord() const { return testWord_; }
  QPushButton* testButton() const { return test_; }
  // Sets every box from the configuration.
  void refreshBoxes();
  // What Browse... does once a file is chosen.
  void programChosen(int number, const QString& path);

  // Closing with changes not yet saved asks whether to keep them.
  void done(int result) override;

 signals:
  // Test lookup failed: the failure message is due.
  void lookupFailed();

 private:
  Row& addRow(LookupStyle style, int number, QWidget* group);
  // The text as the configuration keeps it; nothing (and a message) when
  // it holds a character that cannot be kept.
  std::optional<std::string> stored(const QString& text);
  void browse(int number);

  LookupConfiguration& configuration_;
  LookupMethodsModel model_;
  std::vector<Row> rows_;
  QLineEdit* testWord_ = nullptr;
  QPushButton* test_ = nullptr;
  QLabel* message_ = nullptr;
};

}  // namespace kea::ui
