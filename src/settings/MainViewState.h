// The plain values the main view keeps between runs: the length boxes'
// default range, the pattern history, the window and pane choices and the
// printing margins. The view reads them when it is set up and writes them
// (each group on its own occasion) when it closes.
#pragma once

#include <string>
#include <vector>

#include "settings/Persist.h"

namespace kea {

struct MainViewState {
  static constexpr int kShortestLength = 1;
  static constexpr int kLongestLength = 100;
  static constexpr int kMaxPatternHistory = 100;
  // PrintingMarginUnits
  static constexpr int kThousandthsOfInch = 4;
  static constexpr int kHundredthsOfMillimetre = 8;

  bool windowTopMost = false;  // WindowTopMost
  int paneOrientation = 0;     // PaneOrientation: 0 one above the other, 1 side by side
  bool quickReference = true;  // QuickReference
  bool startupTips = true;     // StartupTips
  int rangeShortest = kShortestLength;  // RangeShortest, 1…100
  int rangeLongest = kLongestLength;    // RangeLongest, 1…100
  std::vector<std::string> patternHistory;  // Pattern0…Pattern99, newest first
  int printingMarginUnits = kThousandthsOfInch;  // PrintingMarginUnits
  int printingLeftMargin = 1000;                 // PrintingLeftMargin
  int printingRightMargin = 1000;                // PrintingRightMargin
  int printingTopMargin = 1000;                  // PrintingTopMargin
  int printingBottomMargin = 1000;               // PrintingBottomMargin

  // Reads every value. `usMeasurement` says whether the user's locale measures
  // in inches; it picks the margin units when none are stored.
  void load(Persist& persist, bool usMeasurement);

  // RangeShortest and RangeLongest, each clamped into 1…100.
  void loadRange(Persist& persist);
  void saveRange(Persist& persist) const;
  // Stops at the first missing or empty value.
  void loadPatternHistory(Persist& persist);
  // Item i as "Pattern<i>", empty items skipped, at most 100 items.
  void savePatternHistory(Persist& persist) const;
  void loadPrinting(Persist& persist, bool usMeasurement);
  void savePrinting(Persist& persist) const;
  // WindowTopMost, PaneOrientation, QuickReference and StartupTips.
  void loadWindow(Persist& persist);
  void saveWindow(Persist& persist) const;
};

}  // namespace kea
