#include "ui/ProgressBarWidget.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionProgressBar>

#include "search/SearchProgress.h"
#include "ui/QtText.h"

namespace kea::ui {

namespace {
constexpr int kFrame = 1;  // pixels of frame around the bar
}

ProgressBarWidget::ProgressBarWidget(const SearchProgress& model, QWidget* parent) : QWidget(parent), model_(model) {
  setToolTip(tr("This progress bar also shows the range of lengths that will be shown"));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize ProgressBarWidget::sizeHint() const { return QSize(200, fontMetrics().height() + 6); }

QSize ProgressBarWidget::minimumSizeHint() const { return QSize(40, fontMetrics().height() + 6); }

int ProgressBarWidget::barWidth() const { return std::max(0, width() - 2 * kFrame); }

void ProgressBarWidget::modelChanged() {
  const Shown now = shown();
  if (now == shown_) return;
  shown_ = now;
  update();
}

ProgressBarWidget::Shown ProgressBarWidget::shown() const {
  return {model_.filledWidth(barWidth()), model_.total(), model_.dictionary(), model_.firstLength(),
          model_.lastLength()};
}

void ProgressBarWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  shown_ = shown();
}

void ProgressBarWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& pal = palette();
  const QPalette::ColorGroup group = isEnabled() ? QPalette::Normal : QPalette::Disabled;
  // The frame and groove as the style draws a progress bar's.
  QStyleOptionProgressBar groove;
  groove.initFrom(this);
  groove.rect = rect();
  style()->drawControl(QStyle::CE_ProgressBarGroove, &groove, &painter, this);
  const QRect bar = rect().adjusted(kFrame, kFrame, -kFrame, -kFrame);

  const int width = barWidth();
  const QFontMetrics metrics = fontMetrics();
  const auto segments =
      model_.segments(width, [&](std::string_view text) { return metrics.horizontalAdvance(toQString(text)); });
  const int filled = model_.filledWidth(width);
  const QRect done(bar.left(), bar.top(), filled, bar.height());
  painter.fillRect(done, pal.color(group, QPalette::Highlight));

  // Each length's segment starts with a thin line and carries its length
  // where the label fits; the label takes the colour that shows on the
  // part of the bar under it.
  QColor divider = pal.color(group, QPalette::Mid);
  divider.setAlpha(160);
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const auto& s = segments[i];
    const QRect cell(bar.left() + s.left, bar.top(), std::max(1, s.right - s.left), bar.height());
    if (i > 0) painter.fillRect(QRect(cell.left(), bar.top() + 2, 1, bar.height() - 4), divider);
    if (!s.labelled) continue;
    const QString label = QString::number(s.length);
    // The first length is always named, even where its segment is narrow.
    QRect text = cell.adjusted(SearchProgress::kLabelGap, 0, 0, 0);
    if (i == 0) text.setWidth(std::max(text.width(), metrics.horizontalAdvance(label)));
    painter.save();
    painter.setClipRect(text.intersected(bar).intersected(QRect(done.right() + 1, bar.top(), width, bar.height())));
    painter.setPen(pal.color(group, QPalette::Text));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, label);
    painter.setClipRect(text.intersected(done));
    painter.setPen(pal.color(group, QPalette::HighlightedText));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, label);
    painter.restore();
  }
  shown_ = shown();
}

}  // namespace kea::ui
