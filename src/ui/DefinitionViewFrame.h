// The definition window: a top-level window with its tool bar, the tree of
// records on the left, the text of the selected record on the right and
// the status pane below. Everything it decides is DefinitionBrowser';
// the widgets here implement that logic's panes and hand it the user's
// clicks and keys. Lookups, external lookups and the main window's results
// go through the LookupController that opened the window.
#pragma once

#include <QMainWindow>
#include <QTextEdit>
#include <QTreeWidget>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "definitions/DefinitionBrowser.h"
#include "settings/SettingsStore.h"

class QLabel;
class QMenu;
class QSplitter;
class QToolButton;

namespace kea::ui {

class DialogPlacement;
class LookupController;

// The text pane: read-only rich text that reports double-clicks, the keys
// the window acts on and the wish for a context menu.
class DefinitionRichEdit : public QTextEdit {
  Q_OBJECT

 public:
  explicit DefinitionRichEdit(QWidget* parent = nullptr);

 signals:
  void doubleClicked(bool shift);
  void windowKey(DefinitionKey key);
  void menuWanted(const QPoint& globalPos);

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
};

class DefinitionViewFrame : public QMainWindow, private DefinitionFrameView, private DefinitionWorkspace {
  Q_OBJECT

 public:
  DefinitionViewFrame(int number, LookupController& lookups, SettingsStore& store, QWidget* parent = nullptr);
  ~DefinitionViewFrame() override;

  // Shows the records of a word (see DefinitionBrowser::showWord),
  // then shows, raises and activates the window.
  void showWord(std::vector<Definition> definitions, std::string_view word, std::string_view dictionaryToSelect = {},
                std::string_view wordSuffix = {}, const FullTextWordMatcher* fullTextQuery = nullptr);

  int number() const { return windows_->windowNumber(); }
  DefinitionBrowser& logic() { return *windows_; }
  QTreeWidget* tree() const { return tree_; }
  DefinitionRichEdit* text() const { return text_; }
  QString statusText() const;
  // The action of a command of the tool bar and menus, or null.
  QAction* action(int command) const;
  // Enables the commands by the window's rules.
  void updateCommands();
  // The history drop-down of Back and Forward, as it would open now.
  QMenu* historyMenu() const { return historyMenu_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  class TreePane;
  class TextPane;

  // DefinitionFrameView
  void setCaption(std::string_view caption) override;
  void setStatusText(std::string_view text) override;
  // DefinitionWorkspace
  std::optional<DictionaryTexts> dictionaryTexts(std::string_view path) override;
  std::vector<Definition> lookupDefinitions(std::string_view word) override;
  void lookUp(const LookupRequest& request, bool inNewWindow) override;
  void externalLookUp(std::string_view word, int command) override;
  bool canMoveResult(int delta) const override;
  void moveResult(int delta) override;
  void windowKey(DefinitionKey key) override;

  QAction* addCommand(int command, const QString& text, const QIcon& icon = {});
  void buildToolBar();
  void fillHistoryMenu();
  void fillExternalMenu(QMenu* menu);
  void showContextMenu(const QPoint& globalPos);
  void run(int command);
  void restorePlacement();
  void storeSplitter();

  LookupController& lookups_;
  SettingsStore& store_;
  QTreeWidget* tree_;
  DefinitionRichEdit* text_;
  QSplitter* splitter_;
  QLabel* status_;
  QMenu* historyMenu_ = nullptr;
  QMenu* externalMenu_ = nullptr;
  DialogPlacement* placement_ = nullptr;
  std::map<int, QAction*> actions_;
  std::unique_ptr<TreePane> treePane_;
  std::unique_ptr<TextPane> textPane_;
  std::unique_ptr<DefinitionBrowser> windows_;
};

}  // namespace kea::ui
