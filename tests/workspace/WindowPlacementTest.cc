// Window places and pane sizes: the main window's first placement, stored
// places that are off every screen, dialog positions, and the "Panes"
// values read strictly and scaled to a new extent.
#include "workspace/WindowPlacement.h"

#include <gtest/gtest.h>

#include <climits>
#include <numeric>

#include "settings/SettingsStore.h"

namespace kea {
namespace {

// Two screens side by side, the second one lower.
const std::vector<ScreenRect> kScreens = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};

TEST(WindowPlacement, TheFirstPlacementIsTheWorkAreasTopLeftThird) {
  const ScreenRect workArea{0, 32, 1920, 1048};
  EXPECT_EQ(firstMainWindowPlacement(workArea), (WindowPosition{0, 32, 640, 982, 0}));
  // Nothing stored reads as zeros, which is no place at all.
  EXPECT_EQ(mainWindowPlacement(WindowPosition{}, workArea, kScreens), firstMainWindowPlacement(workArea));
  const WindowPosition maximized{2000, 50, 900, 700, 1};
  EXPECT_EQ(mainWindowPlacement(maximized, workArea, kScreens), maximized);
}

TEST(WindowPlacement, APlaceIsUsedOnlyWhenItsTitleStripCanBeGrabbed) {
  const struct {
    WindowPosition position;
    bool onScreen;
  } cases[] = {
      {{100, 100, 800, 600}, true},
      {{5000, 100, 800, 600}, false},            // beyond the right screen
      {{-790, 100, 800, 600}, false},            // 10 pixels showing
      {{-760, 100, 800, 600}, true},             // 40 pixels showing
      {{100, 100, 20, 600}, true},               // narrower than the grab width, all showing
      {{100, -20, 800, 600}, false},             // title strip mostly above the top
      {{100, -10, 800, 600}, true},
      {{100, 1070, 800, 600}, false},            // only 10 pixels of the strip above the bottom
      {{3000, 1010, 300, 300}, true},            // on the lower screen
      {{3000, 1013, 300, 300}, false},
      {{1900, 1050, 100, 300}, false},           // across the corner: not enough on either screen
      {{0, 0, 0, 0}, false},
      {{100, 100, -800, 600}, false},
      {{INT_MAX - 5, INT_MAX - 5, INT_MAX, INT_MAX}, false},
      {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(isOnScreen(c.position, kScreens), c.onScreen)
        << c.position.left << "," << c.position.top << "," << c.position.width << "," << c.position.height;
  }
  EXPECT_FALSE(isOnScreen({100, 100, 800, 600}, {}));
}

TEST(WindowPlacement, DialogPositionsAreUsedOnlyOnScreen) {
  MemorySettingsStore store;
  {
    Persist persist(store, SettingsMode::Write);
    writeDialogPosition(persist, "KEAStartupTips", {200, 150, 400, 300, 0});
    writeDialogPosition(persist, "Definition1", {9000, 150, 400, 300, 0});
  }
  ASSERT_NE(store.stringValue("KEAStartupTipsPosition"), nullptr);
  EXPECT_EQ(*store.stringValue("KEAStartupTipsPosition"), "200,150,400,300,0");
  Persist persist(store, SettingsMode::Read);
  EXPECT_EQ(readDialogPosition(persist, "KEAStartupTips", kScreens), (WindowPosition{200, 150, 400, 300, 0}));
  EXPECT_FALSE(readDialogPosition(persist, "Definition1", kScreens));
  EXPECT_FALSE(readDialogPosition(persist, "KEAQuickReference", kScreens));
}

TEST(WindowPlacement, AWindowBesideTheMainOneGoesWhereThereIsRoom) {
  const ScreenRect area{0, 30, 1920, 1050};
  const WindowPosition thirdOnTheLeft{0, 30, 640, 984, 0};
  // Room on the right: just right of the main window, level with its top.
  EXPECT_EQ(besideMainWindow(thirdOnTheLeft, 500, 400, area), (WindowPosition{640, 30, 500, 400, 0}));
  // No room on the right, room on the left.
  EXPECT_EQ(besideMainWindow({1300, 100, 600, 800, 0}, 500, 400, area), (WindowPosition{800, 100, 500, 400, 0}));
  // No room either side: over the main window, at the edge with more room.
  EXPECT_EQ(besideMainWindow({100, 100, 1500, 800, 0}, 500, 400, area), (WindowPosition{1420, 100, 500, 400, 0}));
  EXPECT_EQ(besideMainWindow({400, 100, 1500, 800, 0}, 500, 400, area), (WindowPosition{0, 100, 500, 400, 0}));
  // A main window low on the screen: moved up so the window fits.
  EXPECT_EQ(besideMainWindow({0, 900, 640, 100, 0}, 500, 400, area).top, 680);
  // Larger than the work area: its top-left corner stays on it.
  EXPECT_EQ(besideMainWindow(thirdOnTheLeft, 3000, 2000, area), (WindowPosition{0, 30, 3000, 2000, 0}));
  // A main window far off the work area (a damaged place): still on it.
  const WindowPosition far = besideMainWindow({2000000000, 2000000000, 2000000000, 100, 0}, 500, 400, area);
  EXPECT_TRUE(isOnScreen(far, {area}));
}

TEST(WindowPlacement, AFrameIsFittedWhollyOnTheWorkArea) {
  const ScreenRect area{0, 30, 1280, 770};
  const FrameMargins frame{1, 22, 1, 1};
  // A first run: the frame's corner on the work area's, and the inside
  // shortened by what the frame adds below the title bar's top.
  const WindowPosition first = firstMainWindowPlacement(area);
  const WindowPosition fitted = fitFrameInWorkArea(first, frame, area);
  EXPECT_EQ(fitted.left, 0);
  EXPECT_EQ(fitted.top, 30);
  EXPECT_LE(fitted.top + frame.top + fitted.height + frame.bottom, 800);
  // Already inside: unchanged, maximized state kept.
  const WindowPosition inside{100, 100, 600, 500, 1};
  EXPECT_EQ(fitFrameInWorkArea(inside, frame, area), inside);
  // A stored 0,0 above the work area (a panel at the top): moved down.
  EXPECT_EQ(fitFrameInWorkArea({0, 0, 600, 500, 0}, frame, area), (WindowPosition{0, 30, 600, 500, 0}));
  // Hanging off the right and the bottom: moved in.
  EXPECT_EQ(fitFrameInWorkArea({1000, 600, 600, 500, 0}, frame, area), (WindowPosition{678, 277, 600, 500, 0}));
  // Larger than the work area: shrunk to fit, corner on the work area.
  EXPECT_EQ(fitFrameInWorkArea({-50, -50, 3000, 2000, 0}, frame, area), (WindowPosition{0, 30, 1278, 747, 0}));
  // Damaged numbers stay in range.
  const WindowPosition wild = fitFrameInWorkArea({INT_MIN, INT_MAX, INT_MAX, INT_MIN, 0}, frame, area);
  EXPECT_EQ(wild.left, 0);
  EXPECT_GE(wild.top, 30);
  EXPECT_EQ(wild.height, 1);
  EXPECT_LE(wild.top + frame.top + wild.height + frame.bottom, 800);
}

TEST(WindowPlacement, HelperWindowsGoBesideTheMainWindowAndClearOfEachOther) {
  const ScreenRect area{0, 30, 1280, 770};
  const WindowPosition main{0, 30, 426, 721, 0};
  // The quick reference: right of the main window, level with its top.
  const WindowPosition quick = helperWindowPlace(main, 500, 420, area, {});
  EXPECT_EQ(quick, (WindowPosition{426, 30, 500, 420, 0}));
  // The tips: level with the main window's bottom, hiding neither (they
  // used to sit over the lists).
  const WindowPosition tips = helperWindowPlace(main, 460, 250, area, {quick});
  EXPECT_EQ(tips, (WindowPosition{426, 501, 460, 250, 0}));
  // A third where the bottom is taken too: below the first.
  const WindowPosition third = helperWindowPlace(main, 300, 40, area, {quick, tips});
  EXPECT_EQ(third, (WindowPosition{426, 450, 300, 40, 0}));
  EXPECT_FALSE(windowsOverlap(tips, main));
  EXPECT_FALSE(windowsOverlap(tips, quick));
  // A main window on the right: the left side.
  EXPECT_EQ(helperWindowPlace({800, 30, 480, 700, 0}, 500, 420, area, {}), (WindowPosition{300, 30, 500, 420, 0}));
  // No room anywhere clear: beside it as far as the work area allows, and
  // still clear of the other helpers where they leave room.
  const WindowPosition wide{0, 30, 1280, 770, 0};
  const WindowPosition overMain = helperWindowPlace(wide, 500, 300, area, {});
  EXPECT_EQ(overMain, besideMainWindow(wide, 500, 300, area));
  EXPECT_EQ(helperWindowPlace(wide, 500, 300, area, {overMain}), (WindowPosition{overMain.left, 500, 500, 300, 0}));
  EXPECT_TRUE(windowsOverlap({0, 0, 10, 10, 0}, {9, 9, 10, 10, 0}));
  EXPECT_FALSE(windowsOverlap({0, 0, 10, 10, 0}, {10, 0, 10, 10, 0}));
}

TEST(WindowPlacement, ANewWindowOpensClearOfTheOpenOnes) {
  const ScreenRect area{0, 30, 1280, 770};
  const WindowPosition centred{320, 222, 640, 385, 0};
  EXPECT_EQ(clearOfOpenWindows(centred, {}, area), centred);
  EXPECT_EQ(clearOfOpenWindows(centred, {{600, 100, 300, 300, 0}}, area), centred);
  // Over the first: one step down and right; over the first two: two.
  EXPECT_EQ(clearOfOpenWindows(centred, {centred}, area), (WindowPosition{352, 254, 640, 385, 0}));
  EXPECT_EQ(clearOfOpenWindows(centred, {{352, 254, 640, 385, 0}, centred}, area),
            (WindowPosition{384, 286, 640, 385, 0}));
  // At the work area's edge it starts again from the corner.
  const WindowPosition low{600, 400, 640, 385, 0};
  EXPECT_EQ(clearOfOpenWindows(low, {low}, area), (WindowPosition{632, 30, 640, 385, 0}));
  // A work area full of windows still gives an answer.
  std::vector<WindowPosition> many;
  for (int i = 0; i < 40; ++i) many.push_back({i * 32 % 640, 30 + i * 32 % 385, 640, 385, 0});
  const WindowPosition crowded = clearOfOpenWindows({0, 30, 640, 385, 0}, many, area);
  EXPECT_GE(crowded.left, 0);
  EXPECT_GE(crowded.top, 30);
}

TEST(PaneSizes, OnlyTheExactFormIsUsed) {
  EXPECT_EQ(paneSizesName(0, 3), "PanesH3");
  EXPECT_EQ(paneSizesName(1, 2), "PanesV2");
  const struct {
    const char* text;
    bool usable;
  } cases[] = {
      {"600,200,150,250", true},  {"600,0,300,300", true},   {"600,200,200", false},
      {"600,200,200,200,1", false}, {"600,a,200,200", false}, {"600, 200,200,200", false},
      {"600,200,,200", false},    {"600,200,200,200,", false}, {"0,200,200,200", false},
      {"600,-1,300,300", false},  {"600,0,0,0", false},       {"", false},
      {"99999999999,1,1,1", false},
  };
  for (const auto& c : cases) EXPECT_EQ(parsePaneSizes(c.text, 3).has_value(), c.usable) << c.text;
  const auto panes = parsePaneSizes("600,200,150,250", 3);
  ASSERT_TRUE(panes);
  EXPECT_EQ(formatPaneSizes(*panes), "600,200,150,250");
  EXPECT_FALSE(parsePaneSizes("600", 0));
}

TEST(PaneSizes, ScaledSizesKeepTheirProportionsAMinimumAndTheExactExtent) {
  const struct {
    std::vector<int> stored;
    int extent;
    std::vector<int> scaled;
  } cases[] = {
      {{200, 150, 250}, 600, {200, 150, 250}},
      {{200, 150, 250}, 300, {100, 75, 125}},
      {{1, 1, 1}, 100, {34, 33, 33}},
      {{590, 5, 5}, 600, {552, 24, 24}},  // the small panes stay usable
      {{590, 5, 5}, 60, {20, 20, 20}},    // no room for the minimum: equal shares
      {{0, 300, 300}, 1000, {24, 488, 488}},
      {{300, 300}, 0, {0, 0}},
  };
  for (const auto& c : cases) {
    const std::vector<int> scaled = scalePaneSizes(c.stored, c.extent);
    EXPECT_EQ(scaled, c.scaled) << "to " << c.extent;
    EXPECT_EQ(std::accumulate(scaled.begin(), scaled.end(), 0), c.extent);
  }
  EXPECT_EQ(equalPaneSizes(3, 100), (std::vector<int>{34, 33, 33}));
  EXPECT_TRUE(equalPaneSizes(0, 100).empty());
}

TEST(PaneSizes, StoredSizesAreReadForTheirLayoutOnly) {
  MemorySettingsStore store;
  {
    Persist persist(store, SettingsMode::Write);
    savePaneSizes(persist, 1, {500, {100, 400}});
    store.putString("PanesH2", "500,100,junk");
  }
  ASSERT_NE(store.stringValue("PanesV2"), nullptr);
  EXPECT_EQ(*store.stringValue("PanesV2"), "500,100,400");
  Persist persist(store, SettingsMode::Read);
  EXPECT_EQ(loadPaneSizes(persist, 1, 2, 1000), (std::vector<int>{200, 800}));
  EXPECT_EQ(loadPaneSizes(persist, 0, 2, 1000), (std::vector<int>{500, 500}));  // malformed
  EXPECT_EQ(loadPaneSizes(persist, 1, 3, 999), (std::vector<int>{333, 333, 333}));  // another count
}

}  // namespace
}  // namespace kea
