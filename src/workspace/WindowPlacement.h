// Where windows go: the main window's first placement, the rule that a
// stored place which is no longer on any screen (a monitor was unplugged,
// the resolution shrank) is not used, the dialog windows' "<Name>Position"
// values, and the sizes of the results panes kept as "Panes" + H or V + the
// number of lists.
//
// Stored values are never trusted: a rectangle with absurd numbers is just
// off every screen, and a pane sizes text that does not say exactly what
// the layout needs is not used.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/Persist.h"
#include "settings/TextForms.h"

namespace kea {

// A rectangle of the desktop: a screen or its work area.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// The height of the strip at the top of a window by which the user drags
// it; a stored place is used only when enough of that strip is on a screen.
inline constexpr int kTitleBarHeight = 24;
// How much of the strip must be on one screen to be grabbed: this much of
// its width (all of it when the window is narrower) and its full height
// (the window's, when it is lower).
inline constexpr int kGrabWidth = 40;

// The main window's place when none is stored or the stored one is off the
// screens: the top-left corner of the work area, a third of its width and
// fifteen sixteenths of its height.
WindowPosition firstMainWindowPlacement(const ScreenRect& workArea);

// Whether a window there could be grabbed and moved on one of the screens.
bool isOnScreen(const WindowPosition& position, const std::vector<ScreenRect>& screens);

// The stored main window place when it is on a screen, else the first placement.
WindowPosition mainWindowPlacement(const WindowPosition& stored, const ScreenRect& workArea,
                                   const std::vector<ScreenRect>& screens);

// "<name>Position" when it is stored and on a screen.
std::optional<WindowPosition> readDialogPosition(Persist& persist, std::string_view windowName,
                                                 const std::vector<ScreenRect>& screens);
void writeDialogPosition(Persist& persist, std::string_view windowName, const WindowPosition& position);

// The first place of a window of `width` by `height` that opens beside the
// main window (`main`, its outer rectangle) on the main window's work area:
// to its right when it fits there, else to its left, else over the main
// window at the side with more room; level with the main window's top and
// moved up or down as far as the work area needs.
WindowPosition besideMainWindow(const WindowPosition& main, int width, int height, const ScreenRect& workArea);

// What the window manager's frame adds around a window's inside.
struct FrameMargins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// A window's place given as its frame's top-left corner and its inside's
// size, moved (and, when larger than the work area, shrunk) the least so
// that the whole frame, title bar included, lies on the work area.
WindowPosition fitFrameInWorkArea(const WindowPosition& place, const FrameMargins& margins,
                                  const ScreenRect& workArea);

// Whether two places (frame corners and sizes) share any pixel.
bool windowsOverlap(const WindowPosition& a, const WindowPosition& b);

// The first place of a helper window (quick reference, startup tips) of
// `width` by `height`: beside the main window where it hides neither the
// main window nor the helper windows already placed (`others`): level
// with the main window's top, else with its bottom, else below another
// helper; on the right, then on the left. Where nothing fits clear of them
// all, besideMainWindow()'s place, moved clear of the others if it can be.
WindowPosition helperWindowPlace(const WindowPosition& main, int width, int height, const ScreenRect& workArea,
                                 const std::vector<WindowPosition>& others);

// A new window of a kind that opens several times (definition windows)
// does not hide one already open: where its corner would fall on an open
// window's corner it moves down and right by this much, going back to the
// work area's corner when it would leave it.
inline constexpr int kCascadeStep = 32;
WindowPosition clearOfOpenWindows(const WindowPosition& place, const std::vector<WindowPosition>& open,
                                  const ScreenRect& workArea);

// ---- Results panes ----

// The smallest pane a layout gives out when there is room for it.
inline constexpr int kMinimumPaneExtent = 24;

// "PanesH<count>" for orientation 0 (one above the other), "PanesV<count>"
// for 1 (side by side).
std::string paneSizesName(int orientation, int count);

struct PaneSizes {
  int extent = 0;          // the whole pane area when they were stored
  std::vector<int> sizes;  // one per pane, in search order
};
// "%d" of the extent, then ",%d" per pane.
std::string formatPaneSizes(const PaneSizes& panes);
// Nothing unless the text is the extent and exactly `count` sizes, every one
// a plain number, the extent above 0, no size below 0 and not all sizes 0.
std::optional<PaneSizes> parsePaneSizes(std::string_view text, int count);

// `count` shares of `extent`, as equal as whole pixels allow, the first
// panes taking the odd pixels.
std::vector<int> equalPaneSizes(int count, int extent);
// Stored sizes scaled to a new extent: in proportion to each other, every
// pane at least kMinimumPaneExtent when the extent has room for that, and
// summing exactly to `extent`.
std::vector<int> scalePaneSizes(const std::vector<int>& stored, int extent);

// The sizes of `count` panes sharing `extent` pixels: the stored sizes
// scaled when a usable value is stored, equal shares otherwise.
std::vector<int> loadPaneSizes(Persist& persist, int orientation, int count, int extent);
void savePaneSizes(Persist& persist, int orientation, const PaneSizes& panes);

}  // namespace kea
