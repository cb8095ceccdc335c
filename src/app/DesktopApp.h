// The desktop program as a whole: the main window over the settings store,
// and the order in which the program starts. Start-up loads the settings,
// places the window, opens the dictionaries named on the command line (or
// else the last run's), shows the window and lays out its panes, and opens
// the quick reference and startup tips unless the user switched them off.
// Shut-down is the main window's close.
#pragma once

#include <QStringList>
#include <memory>

#include "settings/SettingsStore.h"

namespace kea::ui {
class MainWindow;
}

namespace kea::app {

class DesktopApp {
 public:
  explicit DesktopApp(SettingsStore& store);
  ~DesktopApp();

  // `files` are the command line's arguments after the options: each one
  // is a dictionary path.
  void start(const QStringList& files);

  ui::MainWindow& frame() { return *frame_; }

 private:
  std::unique_ptr<ui::MainWindow> frame_;
};

}  // namespace kea::app
