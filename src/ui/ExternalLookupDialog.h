// The External Lookup prompt: asks whether to try an external search for a
// word, or says why it cannot be done yet. Its caption, message and OK rule
// are ExternalLookupPrompt'; Setup... opens the Lookup Methods dialog,
// after which the prompt reads them again.
#pragma once

#include <QDialog>

#include "lookup/ExternalLookupPrompt.h"
#include "settings/SettingsStore.h"

class QLabel;
class QPushButton;

namespace kea::ui {

class ExternalLookupDialog : public QDialog {
  Q_OBJECT

 public:
  ExternalLookupDialog(const ExternalLookupPrompt& model, SettingsStore& store, QWidget* parent = nullptr);

  // Message and OK from the model as it is now.
  void refresh();
  QString message() const;
  QPushButton* okButton() const { return ok_; }
  QPushButton* setupButton() const { return setup_; }

 signals:
  void setupWanted();
  void helpWanted();

 private:
  const ExternalLookupPrompt& model_;
  QLabel* message_;
  QPushButton* ok_;
  QPushButton* setup_;
};

}  // namespace kea::ui
