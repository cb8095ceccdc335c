// Where a dialog-style window opens and how it is remembered: its place is
// kept as "<Name>Position" (left, top, width, height and whether it was
// maximized), written whenever the program closes or hides the window and
// used again only when it still lies on one of the screens. A window that
// cannot be resized keeps its own size and takes only the stored corner.
//
// Places are the window's outer corner and its inner size, the pair that
// Qt's move() and resize() take, so a place read back puts the window
// exactly where it was.
#pragma once

#include <QObject>
#include <QTimer>
#include <string>
#include <string_view>
#include <vector>

#include "settings/SettingsStore.h"
#include "settings/TextForms.h"
#include "workspace/WindowPlacement.h"

class QRect;
class QWidget;

namespace kea::ui {

ScreenRect toScreenRect(const QRect& rect);
// Every screen of the desktop, in Qt's device-independent pixels.
std::vector<ScreenRect> screenRects();

// A window's place as stored: its frame's corner and its inside's size (a
// maximized window's: the place it goes back to), state 1 when maximized.
WindowPosition framePlace(const QWidget* window);

// Moves a helper window (quick reference, startup tips) beside the main
// window, where it hides neither the main window nor the `others` shown.
void placeBesideMainWindow(QWidget* window, const QWidget* mainWindow, const std::vector<const QWidget*>& others);
// Whether a window lies over part of the main window.
bool coversMainWindow(const QWidget* window, const QWidget* mainWindow);

// Keeps a window's frame, title bar included, wholly on its screen's work
// area while the window manager puts its frame around it: until then a
// window's size and place are of its inside, and a frame added above a
// window placed at the top of the work area would push the title bar off
// the screen, where the window can no longer be dragged.
class FrameOnScreen : public QObject {
  Q_OBJECT

 public:
  // Becomes a child of `window` and watches it from its next showing.
  explicit FrameOnScreen(QWidget* window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fit();

  QWidget* window_;
  QTimer timer_;
  int looks_ = 0;
  bool done_ = false;
};

class DialogPlacement : public QObject {
  Q_OBJECT

 public:
  // Becomes a child of `window` and watches it. The store must outlive the
  // window.
  DialogPlacement(QWidget* window, std::string_view windowName, SettingsStore& store);

  // Moves (and, when it can be resized, sizes) the window to its stored
  // place. False, and the window untouched, when no place is stored or the
  // stored one is off every screen.
  bool restore();
  // Writes the window's place now.
  void save();
  // The place that save() writes.
  WindowPosition position() const;
  bool resizable() const;
  const std::string& windowName() const { return windowName_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  std::string windowName_;
  SettingsStore& store_;
};

}  // namespace kea::ui
