#include "ui/ProgressBarWidget.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include "search/KEAProgressBar.h"
#include "search/StringTable.h"
#include "ui/QtText.h"

namespace kea::ui {

namespace {
constexpr int kFrame = 1;  // pixels of frame around the bar
}

ProgressBarWidget::ProgressBarWidget(const KEAProgressBar& model, QWidget* parent) : QWidget(parent), model_(model) {
  setToolTip(toQString(loadString(strings::kProgressBarTip)));
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
  const QRect bar = rect().adjusted(kFrame, kFrame, -kFrame, -kFrame);
  painter.fillRect(rect(), pal.color(group, QPalette::Mid));
  painter.fillRect(bar, pal.color(group, QPalette::Base));

  const int width = barWidth();
  const QFontMetrics metrics = fontMetrics();
  const auto segments =
      model_.segments(width, [&](std::string_view text) { return metrics.horizontalAdvance(toQString(text)); });
  // Alternate shades tell neighbouring lengths apart.
  const QColor shades[2] = {pal.color(group, QPalette::Base), pal.color(group, QPalette::AlternateBase)};
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const auto& s = segments[i];
    painter.fillRect(QRect(bar.left() + s.left, bar.top(), s.right - s.left, bar.height()), shades[i % 2]);
  }
  const int filled = model_.filledWidth(width);
  const QRect done(bar.left(), bar.top(), filled, bar.height());
  painter.fillRect(done, pal.color(group, QPalette::Highlight));
  // Labels over the bar, in the text colour that shows on each part.
  for (const auto& s : segments) {
    if (!s.labelled) continue;
    const QRect cell(bar.left() + s.left, bar.top(), s.right - s.left, bar.height());
    const QString label = QString::number(s.length);
    painter.setPen(pal.color(group, QPalette::Text));
    painter.setClipRect(cell.intersected(QRect(done.right() + 1, bar.top(), width, bar.height())));
    painter.drawText(cell.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, label);
    painter.setPen(pal.color(group, QPalette::HighlightedText));
    painter.setClipRect(cell.intersected(done));
    painter.drawText(cell.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, label);
    painter.setClipping(false);
  }
  shown_ = shown();
}

}  // namespace kea::ui
