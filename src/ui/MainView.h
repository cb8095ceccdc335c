// The main window's client: the pattern box with its history, the search
// mode button, the Search button, the Shortest and Longest boxes, the
// progress bar and one results pane per open dictionary. It is the search
// controller's window (SearchHost): it shows what the controller says and
// forwards what the user does, and it drives a running search from Qt's
// event loop in slices of a few milliseconds, so the window repaints and
// Stop answers at once.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

#include "search/SearchController.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QSplitter;
class QToolButton;

namespace kea {
class UserOptions;
}

namespace kea::ui {

class ProgressBarWidget;
class ResultsPane;

class MainView : public QWidget, public SearchHost {
  Q_OBJECT

 public:
  // A slice of search work between two turns of the event loop.
  static constexpr int kSliceMilliseconds = 8;

  MainView(SearchWorkspace& workspace, QWidget* parent = nullptr);
  ~MainView() override;

  SearchController& controller() { return controller_; }
  const SearchController& controller() const { return controller_; }

  // ---- Panes ----

  // The panes go before the controller's groups change, and come back
  // built from them afterwards.
  void removePanes();
  void buildPanes();
  int paneCount() const { return static_cast<int>(panes_.size()); }
  ResultsPane* pane(int i) const { return panes_.at(static_cast<std::size_t>(i)); }
  // 0: one above the other, 1: side by side.
  void setPaneOrientation(int orientation);
  int paneOrientation() const { return orientation_; }
  // Pane extents along the orientation, and the whole extent.
  std::vector<int> paneSizes() const;
  int paneArea() const;
  void setPaneSizes(const std::vector<int>& sizes);
  // The results fonts and colours from the options.
  void applyFonts(const UserOptions& options);

  // ---- For the window around it ----

  QComboBox* patternBox() const { return patternBox_; }
  QPushButton* searchButton() const { return searchButton_; }
  // The "Most common first" toggle beside the Search button.
  QToolButton* commonFirstButton() const { return commonFirstButton_; }
  // Shows the option's state without telling anyone.
  void showCommonFirst(bool on);
  // The "Meaning" toggle and the box it shows under the pattern box: with
  // text in it, a word search lists its matches most likely first.
  QToolButton* meaningButton() const { return meaningButton_; }
  QLineEdit* meaningBox() const { return meaningBox_; }
  // Shows or hides the Meaning box without telling anyone.
  void showMeaningBox(bool on);
  // The Meaning box's text changed: the controller takes it.
  void meaningEdited();
  // The order options changed: a finished search runs again in the new order.
  void orderChanged();
  QSpinBox* lengthSpin(LengthBox box) const;
  ProgressBarWidget* progressBar() const { return progressBar_; }
  QAction* wordSearchAction() const { return wordSearchAction_; }
  QAction* fullTextSearchAction() const { return fullTextSearchAction_; }
  QAction* phraseAnagramAction() const { return phraseAnagramAction_; }
  QLineEdit* enumerationBox() const { return enumerationBox_; }
  // The status line as the controller last set it.
  const QString& statusLine() const { return status_; }
  // The search runs (its steps are being driven).
  bool stepping() const { return stepTimer_.isActive(); }
  // The pattern box has selected text, or had it when a menu opened from
  // the keyboard took the focus.
  bool patternHasSelection() const;
  // Selects again what a keyboard-opened menu made the box drop.
  void restorePatternSelection();
  // The results list that has the keyboard focus, or -1.
  int focusedPane() const;
  // Copies into the clipboard: the pattern box's selection or the active
  // list's selected entries.
  void copy(int activeGroup);

  // ---- SearchHost ----
  std::string patternText() override;
  int historyCount() override;
  std::string historyItem(int index) override;
  void insertHistory(std::string_view text) override;
  std::string patternSelection() override;
  std::string enumerationText() override;
  int lengthBox(LengthBox box) override;
  void setLengthBox(LengthBox box, int value) override;
  void setSearchButtonLabel(std::string_view label) override;
  void enableControl(Control control, bool enabled) override;
  void searchStateChanged() override;
  void setStatus(std::string_view text) override;
  Control focus() override;
  void setFocus(Control control) override;
  Answer messageBox(std::string_view text, std::string_view caption, Buttons buttons, Icon icon) override;
  void progressChanged() override;
  void labelChanged(int group) override;
  const ResultsSelection& resultsSelection(int group) override;

 public slots:
  // The Search button, Return: start, stop or resume.
  void search();
  // Escape: pause a running search.
  void cancelSearch();
  // The window closes: a running search is abandoned.
  void closeView();

 signals:
  void statusChanged(const QString& text);
  // Something a command's availability depends on changed.
  void commandStateChanged();
  // The user switched "Most common first" on or off.
  void commonFirstToggled(bool on);
  // The user showed or hid the Meaning box.
  void meaningBoxToggled(bool on);
  // A list took the focus.
  void paneFocused(int group);
  void paneContextMenu(int group, ResultsList::MenuKind kind, const QPoint& globalPos);
  void paneDoubleClicked(int group, bool shift);
  void captionDoubleClicked(int group);
  void captionContextMenu(int group, const QPoint& globalPos);
  // The user let go of a pane border.
  void paneSizesChanged();
  // The options window is to be enabled or disabled with the other controls.
  void optionsWindowEnabled(bool enabled);
  // A search's steps ended: it finished, was paused, or the view closes.
  void searchStopped();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void followSearch();
  void runSlice();
  void syncModels();
  // Fades the lists that an earlier pattern filled.
  void showStaleness();
  void patternEdited(const QString& text);
  void showModeMenu();
  void updateModeActions();

  SearchWorkspace& workspace_;
  SearchController controller_;
  QComboBox* patternBox_;
  QToolButton* modeButton_;
  QPushButton* searchButton_;
  QToolButton* commonFirstButton_;
  QToolButton* meaningButton_;
  QLabel* meaningLabel_;
  QLineEdit* meaningBox_;
  QSpinBox* shortestBox_;
  QSpinBox* longestBox_;
  ProgressBarWidget* progressBar_;
  QSplitter* splitter_;
  QMenu* modeMenu_;
  QAction* wordSearchAction_;
  QAction* fullTextSearchAction_;
  QAction* phraseAnagramAction_;
  QLineEdit* enumerationBox_;
  QLabel* enumerationLabel_;
  std::vector<ResultsPane*> panes_;
  int orientation_ = 0;
  bool resultsEnabled_ = true;
  struct KeptSelection {
    int start = 0;
    int length = 0;
    QString text;
  };
  KeptSelection keptSelection_;
  // The widget that had the keyboard focus before a menu took it.
  QPointer<QWidget> lastFocus_;
  std::string pattern_;  // the pattern box's text as the controller reads it
  QString status_;
  QTimer stepTimer_;
};

}  // namespace kea::ui
