#include "app/DesktopApp.h"

#include "ui/MainView.h"
#include "ui/MainWindow.h"
#include "ui/QtText.h"
#include "workspace/PathUtilities.h"

namespace kea::app {

DesktopApp::DesktopApp(SettingsStore& store) : frame_(std::make_unique<ui::MainWindow>(store)) {}

DesktopApp::~DesktopApp() = default;

void DesktopApp::start(const QStringList& files) {
  ui::MainWindow& frame = *frame_;
  frame.loadSettings();
  Workspace& workspace = frame.workspace();
  if (files.isEmpty()) {
    workspace.restore();
  } else {
    // Each argument is one path (the shell has split them); each goes to
    // the recent files and is opened, and the last run's list is not.
    std::vector<std::string> paths;
    for (const QString& file : files) {
      const auto text = ui::fromQString(file);
      if (!text) continue;
      if (auto path = fullPath(*text)) paths.push_back(std::move(*path));
    }
    workspace.openDropped(paths);
  }
  frame.show();
  frame.layOutPanes();
  frame.view().setFocus(SearchHost::Control::PatternBox);
  frame.updateCommands();
  frame.showStartWindows();
  // Typing goes to the pattern box, whatever opened beside the window.
  frame.activateWindow();
}

}  // namespace kea::app
