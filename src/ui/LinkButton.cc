#include "ui/LinkButton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <algorithm>

#include "ui/QtFonts.h"

namespace kea::ui {

namespace {

// Room around the text for the focus frame.
constexpr int kMargin = 2;

}  // namespace

LinkButton::LinkButton(const QString& text, QWidget* parent) : QAbstractButton(parent), text_(text) {
  // Doubled, the "&" stays a character for accessibility tools and makes
  // no shortcut.
  QString escaped = text;
  escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
  setText(escaped);
  // Reached with Tab; a click does not leave it holding the focus, as a
  // link in a page does not.
  setFocusPolicy(Qt::TabFocus);
  setCursor(Qt::PointingHandCursor);
  setAttribute(Qt::WA_Hover);
  setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
}

QColor LinkButton::linkColour() const {
  // Drawn without a background of its own, the link stands on the window.
  const QPalette& p = palette();
  const QColor background = p.color(QPalette::Window);
  return readableOn(p.color(QPalette::Link), background,
                    readableOn(p.color(QPalette::Highlight), background, p.color(QPalette::WindowText)));
}

QSize LinkButton::sizeHint() const {
  const QSize text = fontMetrics().size(Qt::TextSingleLine, text_);
  return text + QSize(2 * kMargin, 2 * kMargin);
}

QSize LinkButton::minimumSizeHint() const { return sizeHint(); }

void LinkButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QFont font = this->font();
  // Underlined under the mouse and with the keyboard focus: some styles
  // draw no focus frame unless Tab moved the focus there.
  font.setUnderline(underMouse() || isDown() || hasFocus());
  painter.setFont(font);
  QColor colour = linkColour();
  if (!isEnabled()) colour = palette().color(QPalette::Disabled, QPalette::WindowText);
  painter.setPen(colour);
  const QRect textRect = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
  painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text_);
  if (hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect();
    option.backgroundColor = palette().color(QPalette::Window);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
  }
}

void LinkButton::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    click();
    event->accept();
    return;
  }
  QAbstractButton::keyPressEvent(event);
}

void LinkButton::enterEvent(QEnterEvent* event) {
  update();
  QAbstractButton::enterEvent(event);
}

void LinkButton::leaveEvent(QEvent* event) {
  update();
  QAbstractButton::leaveEvent(event);
}

}  // namespace kea::ui
