// The quick reference: one row per feature of the pattern language, with
// an example pattern and a word it finds. A feature is a link to its help,
// an example a link that tries the pattern in the main window; both are
// only forwarded from here.
//
// One instance at a time, modeless, kept as "KEAQuickReferencePosition".
#pragma once

#include <QDialog>
#include <vector>

#include "settings/SettingsStore.h"

class QCheckBox;

namespace kea::ui {

class DialogPlacement;
class LinkButton;

class QuickReferenceWindow : public QDialog {
  Q_OBJECT

 public:
  explicit QuickReferenceWindow(SettingsStore& store, QWidget* parent = nullptr);
  ~QuickReferenceWindow() override;

  // "&Show this window when KEA starts", which the main view keeps as
  // QuickReference. It starts ticked: the window is shown at start-up only
  // when it is on. Opened from the Help menu, the main window sets it from
  // the value it keeps.
  bool showOnStartup() const;
  void setShowOnStartup(bool on);

  // Places the window beside the main window, on its screen and clear of
  // it when there is room, unless a stored place was used already.
  void placeBeside(QWidget* mainWindow);
  bool placeWasStored() const { return restored_; }

  // The links of row `row`, for keyboard and tests.
  LinkButton* featureLink(int row) const;
  LinkButton* exampleLink(int row) const;
  QCheckBox* showBox() const { return showBox_; }

 signals:
  // The feature of row `row` (in the order of the table) was clicked.
  void featureClicked(int row);
  // An example pattern was clicked.
  void exampleClicked(const QString& example);
  void showOnStartupChanged(bool on);

 private:
  std::vector<LinkButton*> features_;
  std::vector<LinkButton*> examples_;
  QCheckBox* showBox_;
  DialogPlacement* placement_;
  bool restored_ = false;
};

}  // namespace kea::ui
