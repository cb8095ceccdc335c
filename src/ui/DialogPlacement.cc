#include "ui/DialogPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include "settings/Persist.h"

namespace kea::ui {

namespace {

// The fifth number of a stored place.
constexpr int kNormal = 0;
constexpr int kMaximized = 1;

}  // namespace

ScreenRect toScreenRect(const QRect& rect) { return ScreenRect{rect.x(), rect.y(), rect.width(), rect.height()}; }

std::vector<ScreenRect> screenRects() {
  std::vector<ScreenRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) screens.push_back(toScreenRect(screen->geometry()));
  return screens;
}

DialogPlacement::DialogPlacement(QWidget* window, std::string_view windowName, SettingsStore& store)
    : QObject(window), window_(window), windowName_(windowName), store_(store) {
  window_->installEventFilter(this);
}

bool DialogPlacement::resizable() const {
  if (const QLayout* layout = window_->layout(); layout && layout->sizeConstraint() == QLayout::SetFixedSize) {
    return false;
  }
  return window_->minimumSize() != window_->maximumSize();
}

bool DialogPlacement::restore() {
  std::optional<WindowPosition> stored;
  {
    Persist persist(store_, SettingsMode::Read);
    stored = readDialogPosition(persist, windowName_, screenRects());
  }
  if (!stored) return false;
  window_->move(stored->left, stored->top);
  if (resizable()) {
    window_->resize(stored->width, stored->height);
    if (stored->state == kMaximized) window_->setWindowState(window_->windowState() | Qt::WindowMaximized);
  }
  return true;
}

WindowPosition DialogPlacement::position() const {
  WindowPosition position;
  // A maximized window is remembered by the place it goes back to.
  const bool maximized = window_->isMaximized();
  const QRect inner = maximized ? window_->normalGeometry() : window_->geometry();
  const QPoint frameOffset = window_->geometry().topLeft() - window_->pos();
  position.left = inner.x() - frameOffset.x();
  position.top = inner.y() - frameOffset.y();
  position.width = inner.width();
  position.height = inner.height();
  position.state = maximized ? kMaximized : kNormal;
  return position;
}

void DialogPlacement::save() {
  Persist persist(store_, SettingsMode::Write);
  writeDialogPosition(persist, windowName_, position());
}

bool DialogPlacement::eventFilter(QObject* watched, QEvent* event) {
  // The window system hides a window that is minimized: that is no close.
  // A window destroyed while open is hidden first, so it is kept too.
  if (watched == window_ && event->type() == QEvent::Hide && !event->spontaneous()) save();
  return QObject::eventFilter(watched, event);
}

}  // namespace kea::ui
