#include "ui/DialogPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QRect>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "settings/Persist.h"

namespace kea::ui {

namespace {

// The fifth number of a stored place.
constexpr int kNormal = 0;
constexpr int kMaximized = 1;
// How long a window manager may take to frame a new window, and how often
// the window is looked at meanwhile.
constexpr int kWatchMilliseconds = 3000;
constexpr int kLookMilliseconds = 50;

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
  new FrameOnScreen(window_);
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

WindowPosition framePlace(const QWidget* window) {
  WindowPosition position;
  // A maximized window is remembered by the place it goes back to.
  const bool maximized = window->isMaximized();
  const QRect inner = maximized ? window->normalGeometry() : window->geometry();
  const QPoint frameOffset = window->geometry().topLeft() - window->pos();
  position.left = inner.x() - frameOffset.x();
  position.top = inner.y() - frameOffset.y();
  position.width = inner.width();
  position.height = inner.height();
  position.state = maximized ? kMaximized : kNormal;
  return position;
}

void placeBesideMainWindow(QWidget* window, const QWidget* mainWindow, const std::vector<const QWidget*>& others) {
  const QScreen* screen = mainWindow->screen();
  if (screen == nullptr) return;
  // Before it is shown the window has no frame yet; the main window's frame
  // is the best guess at what the window manager will add.
  const QSize frame = mainWindow->frameGeometry().size() - mainWindow->geometry().size();
  // The size it was given, or the one it will take when shown.
  const bool sized = window->isVisible() || window->testAttribute(Qt::WA_Resized);
  const QSize outer = (sized ? window->size() : window->sizeHint()) + frame;
  const QRect main = mainWindow->frameGeometry();
  std::vector<WindowPosition> shown;
  for (const QWidget* other : others) {
    if (other == nullptr || !other->isVisible()) continue;
    QRect o = other->frameGeometry();
    // Shown but not framed yet: its frame will be as large as the main one's.
    if (o.size() == other->size()) o.setSize(o.size() + frame);
    shown.push_back({o.x(), o.y(), o.width(), o.height(), 0});
  }
  const WindowPosition place = helperWindowPlace({main.x(), main.y(), main.width(), main.height(), 0}, outer.width(),
                                                 outer.height(), toScreenRect(screen->availableGeometry()), shown);
  window->move(place.left, place.top);
}

bool coversMainWindow(const QWidget* window, const QWidget* mainWindow) {
  const QRect w = window->frameGeometry(), m = mainWindow->frameGeometry();
  return windowsOverlap({w.x(), w.y(), w.width(), w.height(), 0}, {m.x(), m.y(), m.width(), m.height(), 0});
}

FrameOnScreen::FrameOnScreen(QWidget* window) : QObject(window), window_(window) {
  window_->installEventFilter(this);
  // The frame comes with no event of its own: the window is looked at a
  // few times a second until it is framed and in place.
  timer_.setInterval(kLookMilliseconds);
  connect(&timer_, &QTimer::timeout, this, [this] {
    if (++looks_ * kLookMilliseconds > kWatchMilliseconds) done_ = true;
    fit();
    if (done_) timer_.stop();
  });
}

bool FrameOnScreen::eventFilter(QObject* watched, QEvent* event) {
  // From the first showing on; without a window manager no frame ever
  // comes, and after a while the place is the user's to choose.
  if (watched == window_ && !done_ && event->type() == QEvent::Show && !timer_.isActive()) timer_.start();
  return QObject::eventFilter(watched, event);
}

void FrameOnScreen::fit() {
  if (done_ || !window_->isVisible() || (window_->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
    return;
  }
  const QScreen* screen = window_->screen();
  if (screen == nullptr) return;
  const QRect inner = window_->geometry(), outer = window_->frameGeometry();
  const FrameMargins margins{inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                             outer.bottom() - inner.bottom()};
  const WindowPosition now{outer.x(), outer.y(), inner.width(), inner.height(), 0};
  const WindowPosition fitted = fitFrameInWorkArea(now, margins, toScreenRect(screen->availableGeometry()));
  if (fitted.width != now.width || fitted.height != now.height) window_->resize(fitted.width, fitted.height);
  if (fitted.left != now.left || fitted.top != now.top) window_->move(fitted.left, fitted.top);
  // Framed and in place: from now on the user moves it.
  if (margins.top != 0 && fitted == now) done_ = true;
}

WindowPosition DialogPlacement::position() const { return framePlace(window_); }

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
