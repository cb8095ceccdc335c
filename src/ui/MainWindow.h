// The main window (the frame): the menus and their commands, the status bar
// with its size grip, the main view as its client, and the windows opened
// from it. It carries out the commands through the workspace and the view,
// enables them by the command table's rules, and shows the workspace's
// messages and caption.
//
// The window owns the workspace (dictionaries, options, recent files), so
// its life is the program's working life: created at start-up, it loads
// the settings; closed, it writes them.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "settings/MainViewState.h"
#include "settings/SettingsStore.h"
#include "workspace/CommandTable.h"
#include "workspace/Workspace.h"
#include "workspace/WorkspaceHost.h"

class QLabel;
class QUrl;
class QMenu;

namespace kea::ui {

class HelpWindow;
class LookupController;
class MainView;
class OptionsDialog;
class QuickReferenceWindow;
class ResultsPrinting;
class ResultsSaver;
class StartupTipsWindow;

class MainWindow : public QMainWindow, public WorkspaceHost, public WorkspaceView {
  Q_OBJECT

 public:
  explicit MainWindow(SettingsStore& store, QWidget* parent = nullptr);
  ~MainWindow() override;

  Workspace& workspace() { return workspace_; }
  MainView& view() { return *view_; }
  SettingsStore& store() { return store_; }
  MainViewState& values() { return values_; }
  // Saving and printing the results lists.
  ResultsSaver& resultsSaver() { return *saver_; }
  ResultsPrinting& resultsPrinting() { return *printing_; }
  QAction* action(CommandId id) const;
  // Whether run() has a handler for the command (the search-mode commands
  // are the view's own).
  bool handles(CommandId id) const { return handlers_.count(static_cast<int>(id)) == 1; }
  // Edit > External Lookup, filled from the lookup methods when it opens.
  QMenu* externalLookupMenu() const { return externalMenu_; }
  // The state the command rules look at, as it is now.
  CommandContext commandContext() const;
  // The status line's text.
  QString statusText() const;

  // ---- Start-up ----

  // The view's own settings: always on top, pane orientation, the length
  // boxes' range, the pattern history; the window's place on the screens.
  void loadSettings();
  // Lays the panes out again from the view's groups and the stored sizes.
  void layOutPanes();
  // The quick reference and startup tips, unless the user switched them off.
  void showStartWindows();
  // The help window at a topic; false (after saying so) when there is no help.
  bool showHelp(int topic);
  // The topic of what has the keyboard focus or the menu open now (F1).
  int contextHelpTopic() const;

  // The windows opened from the main window, while they are open.
  OptionsDialog* optionsWindow() const;
  QuickReferenceWindow* quickReferenceWindow() const;
  StartupTipsWindow* startupTipsWindow() const;
  HelpWindow* helpWindow() const;
  // What hands a page or mail address to the desktop (QDesktopServices by
  // default); false when nothing opened it.
  void setUrlOpener(std::function<bool(const QUrl&)> opener) { urlOpener_ = std::move(opener); }
  // The lookups and the definition windows.
  LookupController& lookups() { return *lookups_; }
  // Gives a window opened from the main window the main window's Always On
  // Top, so that it does not open behind it.
  void keepAbove(QWidget* window) const;
  // The program's windows opened from the main window that are open now.
  std::vector<QWidget*> openedWindows() const;

  // ---- WorkspaceHost ----
  Answer messageBox(std::string_view text, std::string_view caption, Buttons buttons, Icon icon) override;
  void setCaption(std::string_view text) override;

  // ---- WorkspaceView ----
  void dictionaryAdded() override;
  void dictionaryClosed(int index) override;
  void dictionariesSwapped(int first, int second) override;
  void activeChanged(int index) override;
  void revalidate() override;
  bool isSearching() const override;

 public slots:
  // Enables, disables and ticks every command by its rule: the one place
  // the states are derived, each time the controller, the view or the
  // workspace says something the rules look at changed. A menu opening
  // asks nothing.
  void updateCommands();
  void run(CommandId id);

 signals:
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // One handler per command, run by run().
  void installHandlers();
  void buildMenus();
  QAction* addCommand(QMenu* menu, CommandId id);
  void updateMenuTexts();
  void updateRecentFiles();
  void showListMenu(int group, ResultsList::MenuKind kind, const QPoint& globalPos);
  void paneFocused(int group);
  void paneDoubleClicked(int group, bool shift);
  void savePaneSizes();
  void focusActivePane();
  // Commands.
  void openDictionaries();
  void openOptions();
  void openQuickReference();
  void openStartupTips();
  void showProperties();
  void openShippedPage(std::string_view page);
  // Opens a page or mail address with the desktop's program; says so when
  // none opened it.
  void openAddress(const QUrl& address);
  void optionsChanged();
  void startCompanion(std::string_view program);
  void setTopMost(bool on);
  void setPaneOrientation(int orientation);
  // Whether the pattern box is the control an edit command acts on; its
  // selection is as the user left it.
  bool editingPattern();
  void selectAll();
  // Lookups.
  void installLookupKeys();
  static int lookupHelpTopic(const QWidget* window);
  void fillExternalLookupMenu();
  // Shut-down.
  void askRangeDefaults();
  void saveViewSettings();

  SettingsStore& store_;
  Workspace workspace_;
  MainViewState values_;
  MainView* view_;
  QLabel* status_;
  std::map<int, QAction*> actions_;
  std::map<int, std::function<void()>> handlers_;
  QMenu* externalMenu_ = nullptr;
  LookupController* lookups_ = nullptr;
  QAction* recentSeparator_ = nullptr;
  bool closing_ = false;
  QPointer<OptionsDialog> options_;
  QPointer<QuickReferenceWindow> quickReference_;
  QPointer<StartupTipsWindow> startupTips_;
  QPointer<HelpWindow> help_;
  std::unique_ptr<ResultsSaver> saver_;
  std::unique_ptr<ResultsPrinting> printing_;
  std::function<bool(const QUrl&)> urlOpener_;
};

}  // namespace kea::ui
