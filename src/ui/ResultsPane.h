// One pane of the results area: the caption of a dictionary's list
// ("&1 English (42)") above the list itself. A click on the caption gives
// the list the focus, a double click asks for the dictionary's properties
// and a right click for its context menu; Alt with the list's number moves
// the focus to the list.
#pragma once

#include <QLabel>
#include <QWidget>

#include "search/SearchController.h"

namespace kea::ui {

class ResultsModel;
class ResultsView;

class ResultsPane : public QWidget {
  Q_OBJECT

 public:
  // The group must outlive the pane.
  ResultsPane(int number, SearchController::OutputGroup& group, QWidget* parent = nullptr);
  ~ResultsPane() override;

  int number() const { return number_; }
  ResultsView* view() const { return view_; }
  ResultsModel* model() const { return model_; }
  QLabel* caption() const { return caption_; }
  // The caption shows the group's label as it is now.
  void updateCaption();

 signals:
  void captionDoubleClicked();
  void captionContextMenu(const QPoint& globalPos);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int number_;
  SearchController::OutputGroup& group_;
  QLabel* caption_;
  ResultsView* view_;
  ResultsModel* model_;
};

}  // namespace kea::ui
