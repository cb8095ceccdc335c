// The widget of one results list: a QListView over a ResultsModel. Each row
// shows the entry's word in the results font and its annotation and balance
// right after it in the annotation font; a row cut off by the pane's width
// shows its whole text as a tool tip. Selection is Qt's own (click,
// Shift/Ctrl-click, arrows, Ctrl+Space, Ctrl+A) and Qt's selection model is
// the only keeper of it: copying, printing, lookups and the context menu read
// it through selection().
#pragma once

#include <QColor>
#include <QFont>
#include <QListView>
#include <QStyledItemDelegate>

#include "search/ResultsList.h"
#include "search/ResultsSelection.h"

namespace kea::ui {

class ResultsModel;

// The rows an item view's selection model holds, read afresh at every call;
// a view that was given no model has none selected.
class ItemViewSelection final : public ResultsSelection {
 public:
  explicit ItemViewSelection(const QAbstractItemView& view) : view_(view) {}

 protected:
  std::vector<Range> selectedRanges() const override;

 private:
  const QAbstractItemView& view_;
};

// Draws a row as word + rest in two fonts and colours.
class ResultsDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void setFonts(const QFont& word, const QColor& wordColour, const QFont& rest, const QColor& restColour);
  // Rows of a list that is out of date are drawn faded.
  void setStale(bool stale) { stale_ = stale; }
  bool stale() const { return stale_; }
  int rowHeight() const;
  // Pixels the whole text of a row needs.
  int textWidth(const QModelIndex& index) const;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;

 private:
  QFont wordFont_;
  QFont restFont_;
  QColor wordColour_;
  QColor restColour_;
  bool stale_ = false;
};

class ResultsView : public QListView {
  Q_OBJECT

 public:
  explicit ResultsView(QWidget* parent = nullptr);

  // The model must be a ResultsModel.
  void setResultsModel(ResultsModel* model);
  ResultsModel* resultsModel() const { return model_; }
  ResultsDelegate* resultsDelegate() const { return delegate_; }
  // The list shows what an earlier pattern found: its rows are drawn faded.
  void setStale(bool stale);
  bool stale() const { return delegate_->stale(); }
  void setFonts(const QFont& word, const QColor& wordColour, const QFont& rest, const QColor& restColour);
  // While a search fills the list it takes no clicks, keys or menus; it
  // still scrolls, and its rows stay readable.
  void setLocked(bool locked);
  bool locked() const { return locked_; }
  // The rows selected in the view.
  const ResultsSelection& selection() const { return selection_; }

 signals:
  // The list took the keyboard focus (its dictionary becomes the active one).
  void focused();
  // The context menu is wanted at `globalPos`; `kind` says which one.
  void contextMenuWanted(ResultsList::MenuKind kind, const QPoint& globalPos);
  // A row was double-clicked; `shift` whether Shift was held.
  void rowDoubleClicked(bool shift);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  ResultsModel* model_ = nullptr;
  ResultsDelegate* delegate_ = nullptr;
  ItemViewSelection selection_{*this};
  bool locked_ = false;
};

}  // namespace kea::ui
