#include "ui/ResultsPane.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "ui/QtText.h"
#include "ui/ResultsModel.h"
#include "ui/ResultsView.h"

namespace kea::ui {

ResultsPane::ResultsPane(int number, SearchController::OutputGroup& group, QWidget* parent)
    : QWidget(parent),
      number_(number),
      group_(group),
      caption_(new QLabel(this)),
      view_(new ResultsView(this)),
      model_(new ResultsModel(group.list, this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(caption_);
  layout->addWidget(view_, 1);
  view_->setResultsModel(model_);
  caption_->setBuddy(view_);
  caption_->setTextFormat(Qt::PlainText);
  caption_->installEventFilter(this);
  updateCaption();
}

ResultsPane::~ResultsPane() {
  // The view lets go of the model before the model lets go of the list.
  view_->setModel(nullptr);
}

void ResultsPane::updateCaption() { caption_->setText(toQString(group_.label.text())); }

bool ResultsPane::eventFilter(QObject* watched, QEvent* event) {
  if (watched != caption_) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton) view_->setFocus(Qt::MouseFocusReason);
      return true;
    }
    case QEvent::MouseButtonDblClick:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) emit captionDoubleClicked();
      return true;
    case QEvent::ContextMenu:
      emit captionContextMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
      return true;
    default:
      return QWidget::eventFilter(watched, event);
  }
}

}  // namespace kea::ui
