#include "workspace/WindowPlacement.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>

namespace kea {

namespace {

// Of the title strip, at least this much of its height must be on the
// screen: a window may sit a few pixels above the top edge and still be
// grabbed.
constexpr std::int64_t kGrabHeight = kTitleBarHeight / 2;

std::string positionName(std::string_view windowName) { return std::string(windowName) + "Position"; }

std::optional<int> plainNumber(std::string_view field) {
  int value = 0;
  const char* end = field.data() + field.size();
  const auto [stop, error] = std::from_chars(field.data(), end, value);
  if (field.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

}  // namespace

WindowPosition firstMainWindowPlacement(const ScreenRect& workArea) {
  WindowPosition position;
  position.left = workArea.left;
  position.top = workArea.top;
  position.width = workArea.width / 3;
  position.height = static_cast<int>(static_cast<std::int64_t>(workArea.height) * 15 / 16);
  return position;
}

bool isOnScreen(const WindowPosition& position, const std::vector<ScreenRect>& screens) {
  if (position.width <= 0 || position.height <= 0) return false;
  // 64-bit throughout: a damaged value may sit at the edge of the int range.
  const std::int64_t left = position.left;
  const std::int64_t right = left + position.width;
  const std::int64_t top = position.top;
  const std::int64_t bottom = top + std::min(position.height, kTitleBarHeight);
  const std::int64_t wideEnough = std::min<std::int64_t>(kGrabWidth, position.width);
  const std::int64_t highEnough = std::min(kGrabHeight, bottom - top);
  return std::any_of(screens.begin(), screens.end(), [&](const ScreenRect& s) {
    const std::int64_t across = std::min<std::int64_t>(right, std::int64_t{s.left} + s.width) - std::max<std::int64_t>(left, s.left);
    const std::int64_t down = std::min<std::int64_t>(bottom, std::int64_t{s.top} + s.height) - std::max<std::int64_t>(top, s.top);
    return across >= wideEnough && down >= highEnough;
  });
}

WindowPosition mainWindowPlacement(const WindowPosition& stored, const ScreenRect& workArea,
                                   const std::vector<ScreenRect>& screens) {
  return isOnScreen(stored, screens) ? stored : firstMainWindowPlacement(workArea);
}

std::optional<WindowPosition> readDialogPosition(Persist& persist, std::string_view windowName,
                                                 const std::vector<ScreenRect>& screens) {
  WindowPosition position;
  if (!persist.readPosition(positionName(windowName), position) || !isOnScreen(position, screens)) {
    return std::nullopt;
  }
  return position;
}

void writeDialogPosition(Persist& persist, std::string_view windowName, const WindowPosition& position) {
  persist.writePosition(positionName(windowName), position);
}

WindowPosition besideMainWindow(const WindowPosition& main, int width, int height, const ScreenRect& workArea) {
  // 64-bit throughout: the main window's place may come from a damaged value.
  const std::int64_t areaLeft = workArea.left, areaTop = workArea.top;
  const std::int64_t areaRight = areaLeft + workArea.width, areaBottom = areaTop + workArea.height;
  const std::int64_t mainLeft = main.left, mainRight = mainLeft + main.width;
  const std::int64_t w = std::max(width, 0), h = std::max(height, 0);
  std::int64_t left;
  if (mainRight + w <= areaRight) {
    left = mainRight;
  } else if (mainLeft - w >= areaLeft) {
    left = mainLeft - w;
  } else {
    left = areaRight - mainRight >= mainLeft - areaLeft ? areaRight - w : areaLeft;
  }
  // Kept on the work area, its left and top edges winning when it is larger.
  left = std::max(std::min(left, areaRight - w), areaLeft);
  const std::int64_t top = std::max(std::min<std::int64_t>(main.top, areaBottom - h), areaTop);
  WindowPosition position;
  position.left = static_cast<int>(left);
  position.top = static_cast<int>(top);
  position.width = static_cast<int>(w);
  position.height = static_cast<int>(h);
  return position;
}

WindowPosition fitFrameInWorkArea(const WindowPosition& place, const FrameMargins& margins,
                                  const ScreenRect& workArea) {
  // 64-bit throughout: the place may come from a damaged stored value.
  const std::int64_t across = std::int64_t{std::max(margins.left, 0)} + std::max(margins.right, 0);
  const std::int64_t down = std::int64_t{std::max(margins.top, 0)} + std::max(margins.bottom, 0);
  const std::int64_t areaWidth = std::max(workArea.width, 0), areaHeight = std::max(workArea.height, 0);
  // The inside keeps at least a pixel, even on a work area smaller than the frame.
  const std::int64_t width = std::clamp<std::int64_t>(place.width, 1, std::max<std::int64_t>(areaWidth - across, 1));
  const std::int64_t height = std::clamp<std::int64_t>(place.height, 1, std::max<std::int64_t>(areaHeight - down, 1));
  const std::int64_t areaLeft = workArea.left, areaTop = workArea.top;
  // The left and top edges win when the frame cannot fit: the title bar
  // stays where it can be grabbed.
  const std::int64_t left = std::max(std::min<std::int64_t>(place.left, areaLeft + areaWidth - (width + across)), areaLeft);
  const std::int64_t top = std::max(std::min<std::int64_t>(place.top, areaTop + areaHeight - (height + down)), areaTop);
  WindowPosition fitted = place;
  fitted.left = static_cast<int>(left);
  fitted.top = static_cast<int>(top);
  fitted.width = static_cast<int>(width);
  fitted.height = static_cast<int>(height);
  return fitted;
}

bool windowsOverlap(const WindowPosition& a, const WindowPosition& b) {
  const auto apart = [](std::int64_t start1, std::int64_t size1, std::int64_t start2, std::int64_t size2) {
    return start1 + size1 <= start2 || start2 + size2 <= start1;
  };
  if (a.width <= 0 || a.height <= 0 || b.width <= 0 || b.height <= 0) return false;
  return !apart(a.left, a.width, b.left, b.width) && !apart(a.top, a.height, b.top, b.height);
}

WindowPosition helperWindowPlace(const WindowPosition& main, int width, int height, const ScreenRect& workArea,
                                 const std::vector<WindowPosition>& others) {
  const std::int64_t areaRight = std::int64_t{workArea.left} + workArea.width;
  const std::int64_t areaBottom = std::int64_t{workArea.top} + workArea.height;
  const auto fits = [&](const WindowPosition& p, bool clearOfMain) {
    if (p.left < workArea.left || p.top < workArea.top || std::int64_t{p.left} + p.width > areaRight ||
        std::int64_t{p.top} + p.height > areaBottom) {
      return false;
    }
    if (clearOfMain && windowsOverlap(p, main)) return false;
    return std::none_of(others.begin(), others.end(), [&](const WindowPosition& o) { return windowsOverlap(p, o); });
  };
  // Level with the main window's top, then level with its bottom (well
  // apart from a helper at the top, whose height may still change as the
  // window manager frames it), then just below each helper already there.
  std::vector<std::int64_t> tops{main.top, std::int64_t{main.top} + main.height - height};
  for (const WindowPosition& o : others) tops.push_back(std::int64_t{o.top} + o.height);
  const WindowPosition fallback = besideMainWindow(main, width, height, workArea);
  const auto firstFitting = [&](std::initializer_list<std::int64_t> lefts, bool clearOfMain) -> std::optional<WindowPosition> {
    for (const std::int64_t left : lefts) {
      for (const std::int64_t top : tops) {
        if (left < INT32_MIN || left > INT32_MAX || top < INT32_MIN || top > INT32_MAX) continue;
        const WindowPosition candidate{static_cast<int>(left), static_cast<int>(top), width, height, 0};
        if (fits(candidate, clearOfMain)) return candidate;
      }
    }
    return std::nullopt;
  };
  if (auto place = firstFitting({std::int64_t{main.left} + main.width, std::int64_t{main.left} - width}, true)) {
    return *place;
  }
  // On a screen too small for that: over the main window's edge as
  // besideMainWindow() puts it, but clear of the other helpers.
  if (auto place = firstFitting({std::int64_t{fallback.left}}, false)) return *place;
  return fallback;
}

WindowPosition clearOfOpenWindows(const WindowPosition& place, const std::vector<WindowPosition>& open,
                                  const ScreenRect& workArea) {
  const auto covers = [](const WindowPosition& a, const WindowPosition& b) {
    return std::abs(std::int64_t{a.left} - b.left) < kCascadeStep / 2 &&
           std::abs(std::int64_t{a.top} - b.top) < kCascadeStep / 2;
  };
  WindowPosition moved = place;
  // Each step clears at least one open window or wraps once, so this ends.
  for (std::size_t step = 0; step <= 2 * open.size() + 1; ++step) {
    if (std::none_of(open.begin(), open.end(), [&](const WindowPosition& w) { return covers(moved, w); })) break;
    std::int64_t left = std::int64_t{moved.left} + kCascadeStep, top = std::int64_t{moved.top} + kCascadeStep;
    if (left + moved.width > std::int64_t{workArea.left} + workArea.width) left = workArea.left;
    if (top + moved.height > std::int64_t{workArea.top} + workArea.height) top = workArea.top;
    moved.left = static_cast<int>(left);
    moved.top = static_cast<int>(top);
  }
  return moved;
}

// ---------------------------------------------------------------------------
// Results panes

std::string paneSizesName(int orientation, int count) {
  return std::string("Panes") + (orientation == 1 ? 'V' : 'H') + std::to_string(count);
}

std::string formatPaneSizes(const PaneSizes& panes) {
  std::string text = std::to_string(panes.extent);
  for (int size : panes.sizes) text += "," + std::to_string(size);
  return text;
}

std::optional<PaneSizes> parsePaneSizes(std::string_view text, int count) {
  if (count < 1) return std::nullopt;
  std::vector<int> numbers;
  std::size_t start = 0;
  while (true) {
    std::size_t end = text.find(',', start);
    if (end == std::string_view::npos) end = text.size();
    const auto number = plainNumber(text.substr(start, end - start));
    if (!number || numbers.size() > static_cast<std::size_t>(count)) return std::nullopt;
    numbers.push_back(*number);
    if (end == text.size()) break;
    start = end + 1;
  }
  if (numbers.size() != static_cast<std::size_t>(count) + 1 || numbers.front() <= 0) return std::nullopt;
  PaneSizes panes{numbers.front(), std::vector<int>(numbers.begin() + 1, numbers.end())};
  if (std::any_of(panes.sizes.begin(), panes.sizes.end(), [](int s) { return s < 0; })) return std::nullopt;
  if (std::all_of(panes.sizes.begin(), panes.sizes.end(), [](int s) { return s == 0; })) return std::nullopt;
  return panes;
}

std::vector<int> equalPaneSizes(int count, int extent) {
  if (count <= 0) return {};
  extent = std::max(extent, 0);
  std::vector<int> sizes(static_cast<std::size_t>(count), extent / count);
  for (int i = 0; i < extent % count; ++i) ++sizes[static_cast<std::size_t>(i)];
  return sizes;
}

std::vector<int> scalePaneSizes(const std::vector<int>& stored, int extent) {
  const int count = static_cast<int>(stored.size());
  extent = std::max(extent, 0);
  std::int64_t total = 0;
  for (int size : stored) total += std::max(size, 0);
  if (count == 0 || total == 0) return equalPaneSizes(count, extent);

  // Whole pixels in proportion; the pixels lost to rounding go to the panes
  // that lost the most.
  std::vector<int> sizes(stored.size());
  std::vector<std::int64_t> lost(stored.size());
  std::int64_t given = 0;
  for (std::size_t i = 0; i < stored.size(); ++i) {
    const std::int64_t exact = std::int64_t{std::max(stored[i], 0)} * extent;
    sizes[i] = static_cast<int>(exact / total);
    lost[i] = exact % total;
    given += sizes[i];
  }
  for (std::int64_t left = extent - given; left > 0; --left) {
    const auto most = std::max_element(lost.begin(), lost.end());
    ++sizes[static_cast<std::size_t>(most - lost.begin())];
    *most = -1;
  }

  // Panes too small to use are raised to the minimum at the cost of the
  // largest ones; without room for that, the minimum is an equal share.
  const int minimum = std::min(kMinimumPaneExtent, extent / count);
  int owed = 0;
  for (int& size : sizes) {
    if (size < minimum) {
      owed += minimum - size;
      size = minimum;
    }
  }
  // A pixel at a time, so that equally large panes give equally; what is
  // owed is at most a few minimums.
  for (; owed > 0; --owed) {
    int& largest = *std::max_element(sizes.begin(), sizes.end());
    if (largest <= minimum) break;
    --largest;
  }
  return sizes;
}

std::vector<int> loadPaneSizes(Persist& persist, int orientation, int count, int extent) {
  std::string text;
  if (persist.readString(paneSizesName(orientation, count), text)) {
    if (const auto panes = parsePaneSizes(text, count)) return scalePaneSizes(panes->sizes, extent);
  }
  return equalPaneSizes(count, extent);
}

void savePaneSizes(Persist& persist, int orientation, const PaneSizes& panes) {
  persist.writeString(paneSizesName(orientation, static_cast<int>(panes.sizes.size())), formatPaneSizes(panes));
}

}  // namespace kea
