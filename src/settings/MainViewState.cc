#include "settings/MainViewState.h"

#include <algorithm>

namespace kea {

namespace {

std::string patternName(int i) { return std::string("Pattern").append(std::to_string(i)); }

}  // namespace

void MainViewState::load(Persist& persist, bool usMeasurement) {
  loadWindow(persist);
  loadRange(persist);
  loadPatternHistory(persist);
  loadPrinting(persist, usMeasurement);
}

void MainViewState::loadRange(Persist& persist) {
  persist.readInt("RangeShortest", rangeShortest);
  persist.readInt("RangeLongest", rangeLongest);
  rangeShortest = std::clamp(rangeShortest, kShortestLength, kLongestLength);
  rangeLongest = std::clamp(rangeLongest, kShortestLength, kLongestLength);
}

void MainViewState::saveRange(Persist& persist) const {
  persist.writeInt("RangeShortest", std::clamp(rangeShortest, kShortestLength, kLongestLength));
  persist.writeInt("RangeLongest", std::clamp(rangeLongest, kShortestLength, kLongestLength));
}

void MainViewState::loadPatternHistory(Persist& persist) {
  patternHistory.clear();
  for (int i = 0; i < kMaxPatternHistory; ++i) {
    std::string pattern;
    if (!persist.readString(patternName(i), pattern) || pattern.empty()) break;
    patternHistory.push_back(std::move(pattern));
  }
}

void MainViewState::savePatternHistory(Persist& persist) const {
  const int n = std::min<int>(static_cast<int>(patternHistory.size()), kMaxPatternHistory);
  for (int i = 0; i < n; ++i) {
    if (!patternHistory[i].empty()) persist.writeString(patternName(i), patternHistory[i]);
  }
}

void MainViewState::loadPrinting(Persist& persist, bool usMeasurement) {
  int units = 0;
  if (!persist.readInt("PrintingMarginUnits", units) || (units != kThousandthsOfInch && units != kHundredthsOfMillimetre)) {
    units = usMeasurement ? kThousandthsOfInch : kHundredthsOfMillimetre;
  }
  printingMarginUnits = units;
  // One inch or 25.4 mm.
  const int margin = units == kThousandthsOfInch ? 1000 : 2540;
  printingLeftMargin = printingRightMargin = printingTopMargin = printingBottomMargin = margin;
  persist.readInt("PrintingLeftMargin", printingLeftMargin);
  persist.readInt("PrintingRightMargin", printingRightMargin);
  persist.readInt("PrintingTopMargin", printingTopMargin);
  persist.readInt("PrintingBottomMargin", printingBottomMargin);
}

void MainViewState::savePrinting(Persist& persist) const {
  persist.writeInt("PrintingMarginUnits", printingMarginUnits);
  persist.writeInt("PrintingLeftMargin", printingLeftMargin);
  persist.writeInt("PrintingRightMargin", printingRightMargin);
  persist.writeInt("PrintingTopMargin", printingTopMargin);
  persist.writeInt("PrintingBottomMargin", printingBottomMargin);
}

void MainViewState::loadWindow(Persist& persist) {
  persist.readFlag("WindowTopMost", windowTopMost);
  int orientation = 0;
  if (persist.readInt("PaneOrientation", orientation) && (orientation == 0 || orientation == 1)) {
    paneOrientation = orientation;
  }
  persist.readFlag("QuickReference", quickReference);
  persist.readFlag("StartupTips", startupTips);
}

void MainViewState::saveWindow(Persist& persist) const {
  persist.writeFlag("WindowTopMost", windowTopMost);
  persist.writeInt("PaneOrientation", paneOrientation);
  persist.writeFlag("QuickReference", quickReference);
  persist.writeFlag("StartupTips", startupTips);
}

}  // namespace kea
