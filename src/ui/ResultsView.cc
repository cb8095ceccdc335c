#include "ui/ResultsView.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include <QApplication>

#include "ui/QtFonts.h"
#include "ui/ResultsModel.h"

namespace kea::ui {

namespace {

// Space left and right of the text, as the style leaves it for item views.
constexpr int kTextMargin = 3;
// How far the rows of an out-of-date list fade towards the background.
constexpr double kStaleShade = 0.55;

}  // namespace

void ResultsDelegate::setFonts(const QFont& word, const QColor& wordColour, const QFont& rest,
                               const QColor& restColour) {
  wordFont_ = word;
  restFont_ = rest;
  wordColour_ = wordColour;
  restColour_ = restColour;
}

int ResultsDelegate::rowHeight() const {
  return std::max(QFontMetrics(wordFont_).height(), QFontMetrics(restFont_).height()) + 2;
}

int ResultsDelegate::textWidth(const QModelIndex& index) const {
  return 2 * kTextMargin + QFontMetrics(wordFont_).horizontalAdvance(index.data(ResultsModel::WordRole).toString()) +
         QFontMetrics(restFont_).horizontalAdvance(index.data(ResultsModel::RestRole).toString());
}

void ResultsDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  const QString word = index.data(ResultsModel::WordRole).toString();
  const QString rest = index.data(ResultsModel::RestRole).toString();
  // The style draws the background, selection and focus frame; the text is ours.
  opt.text.clear();
  const QWidget* widget = option.widget;
  QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

  const bool selected = option.state & QStyle::State_Selected;
  const QPalette::ColorGroup group = option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
  const QColor background = option.palette.color(group, QPalette::Base);
  const QColor text = option.palette.color(group, QPalette::Text);
  const QColor highlighted = option.palette.color(group, QPalette::HighlightedText);

  // A rare entry's word fades towards the background, so the common ones
  // stand out; selected rows keep the selection's own colours.
  // The rows of a list that an earlier pattern found fade as far as rare
  // words do, so that they are not read as the answer to the new one.
  const double rowShade = index.data(ResultsModel::ShadeRole).toDouble();
  const double shade = stale_ ? std::max(rowShade, kStaleShade) : rowShade;
  const auto faded = [&](const QColor& ink) {
    if (selected || shade <= 0) return ink;
    return QColor::fromRgbF(static_cast<float>(ink.redF() + (background.redF() - ink.redF()) * shade),
                            static_cast<float>(ink.greenF() + (background.greenF() - ink.greenF()) * shade),
                            static_cast<float>(ink.blueF() + (background.blueF() - ink.blueF()) * shade));
  };

  painter->save();
  painter->setClipRect(option.rect);
  QRect area = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
  painter->setFont(wordFont_);
  painter->setPen(selected ? highlighted : faded(readableOn(wordColour_, background, text)));
  const QFontMetrics wordMetrics(wordFont_);
  painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, word);
  if (!rest.isEmpty()) {
    area.setLeft(area.left() + wordMetrics.horizontalAdvance(word));
    painter->setFont(restFont_);
    const QColor restInk = readableOn(restColour_, background, text);
    painter->setPen(selected ? highlighted : stale_ ? faded(restInk) : restInk);
    painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, rest);
  }
  painter->restore();
}

QSize ResultsDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const {
  return QSize(textWidth(index), rowHeight());
}

bool ResultsDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                const QModelIndex& index) {
  if (event->type() != QEvent::ToolTip || !index.isValid()) {
    return QStyledItemDelegate::helpEvent(event, view, option, index);
  }
  // Only a row the pane cuts off gets its whole text as a tip.
  const int visibleRight = view->viewport()->width();
  if (option.rect.left() + textWidth(index) > visibleRight) {
    QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString().toHtmlEscaped(), view,
                       option.rect);
  } else {
    QToolTip::hideText();
    event->ignore();
  }
  return true;
}

std::vector<ResultsSelection::Range> ItemViewSelection::selectedRanges() const {
  std::vector<Range> out;
  const QItemSelectionModel* model = view_.selectionModel();
  if (model == nullptr) return out;
  const QItemSelection selected = model->selection();
  out.reserve(static_cast<std::size_t>(selected.size()));
  for (const QItemSelectionRange& range : selected) out.push_back({range.top(), range.height()});
  return out;
}

ResultsView::ResultsView(QWidget* parent) : QListView(parent), delegate_(new ResultsDelegate(this)) {
  setItemDelegate(delegate_);
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTextElideMode(Qt::ElideNone);
  setContextMenuPolicy(Qt::DefaultContextMenu);
}

void ResultsView::setResultsModel(ResultsModel* model) {
  model_ = model;
  setModel(model);
}

void ResultsView::setStale(bool stale) {
  if (stale == delegate_->stale()) return;
  delegate_->setStale(stale);
  viewport()->update();
}

void ResultsView::setFonts(const QFont& word, const QColor& wordColour, const QFont& rest, const QColor& restColour) {
  delegate_->setFonts(word, wordColour, rest, restColour);
  // Uniform rows take their height from the first row's size hint.
  doItemsLayout();
  viewport()->update();
}

void ResultsView::setLocked(bool locked) {
  locked_ = locked;
  setFocusPolicy(locked ? Qt::NoFocus : Qt::StrongFocus);
  if (locked && hasFocus()) clearFocus();
}

bool ResultsView::viewportEvent(QEvent* event) {
  if (locked_) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
      case QEvent::ContextMenu:
        return true;
      default:
        break;
    }
  }
  return QListView::viewportEvent(event);
}

void ResultsView::focusInEvent(QFocusEvent* event) {
  QListView::focusInEvent(event);
  emit focused();
}

void ResultsView::contextMenuEvent(QContextMenuEvent* event) {
  if (model_ == nullptr) return;
  QPoint at = event->globalPos();
  if (event->reason() == QContextMenuEvent::Keyboard) at = viewport()->mapToGlobal(QPoint(0, 0));
  emit contextMenuWanted(ResultsList::contextMenu(selection_), at);
}

void ResultsView::mouseDoubleClickEvent(QMouseEvent* event) {
  QListView::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton && model_ != nullptr && model_->rowCount() > 0) {
    emit rowDoubleClicked(event->modifiers() & Qt::ShiftModifier);
  }
}

}  // namespace kea::ui
