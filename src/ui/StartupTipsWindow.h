// The tip of the day: one tip at a time from "Tips.txt" beside the program,
// taken in turn across runs, with a button that opens the help on the tip's
// subject. The tips and the turn are kea::StartupTips; this window shows
// them and writes the next tip's number (KEAStartupTipsNextIndex) and its
// place (KEAStartupTipsPosition) when it closes.
//
// One instance at a time, modeless.
#pragma once

#include <QDialog>
#include <string>
#include <string_view>

#include "settings/SettingsStore.h"
#include "workspace/StartupTips.h"

class QCheckBox;
class QPushButton;
class QTextBrowser;

namespace kea::ui {

class DialogPlacement;

class StartupTipsWindow : public QDialog {
  Q_OBJECT

 public:
  // Reads the tips file found from `programFolder` and the stored next
  // tip, and shows that tip.
  explicit StartupTipsWindow(SettingsStore& store, std::string_view programFolder, QWidget* parent = nullptr);
  ~StartupTipsWindow() override;

  // "&Show this window when KEA starts", which the main view keeps as
  // StartupTips. It starts ticked: the window opens at start-up only when
  // it is on. Opened from the Help menu, the main window sets it from the
  // value it keeps.
  bool showOnStartup() const;
  // Whether the window took a place the user left it at.
  bool placeWasStored() const { return restored_; }
  void setShowOnStartup(bool on);

  const StartupTips& tips() const { return tips_; }
  // The tip as shown, without its styles.
  QString tipText() const;

  QPushButton* nextButton() const { return nextButton_; }
  QPushButton* moreButton() const { return moreButton_; }
  QCheckBox* showBox() const { return showBox_; }

 public slots:
  // "&Next Tip".
  void showNextTip();

 signals:
  // "&More on this topic": the help topic of the tip shown.
  void topicRequested(int topic);
  void helpRequested();
  void showOnStartupChanged(bool on);

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  void saveNextIndex();

  SettingsStore& store_;
  StartupTips tips_;
  QTextBrowser* text_;
  QPushButton* nextButton_;
  QPushButton* moreButton_;
  QCheckBox* showBox_;
  DialogPlacement* placement_;
  bool restored_ = false;
};

}  // namespace kea::ui
