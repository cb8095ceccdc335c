// The layout reads every entry once to measure it. A page's column count is
// fixed by the widest entry seen on it so far; when a wider entry arrives
// after the page has filled beyond what the narrower columns allow, the page
// is closed before that entry and it opens the next one.
#include "printing/ResultsPrintout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kea {
namespace {

int clampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                    std::numeric_limits<int>::max()));
}

int clampToInt(double value) {
  if (!(value == value)) return 0;  // NaN
  if (value <= std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  if (value >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  return static_cast<int>(value);
}

// Half away from zero, as a font size is scaled.
int scaled(int value, double scale) {
  const double product = value * scale;
  return clampToInt(std::trunc(product > 0 ? product + 0.5 : product - 0.5));
}

double scale(int printer, int screen) {
  return printer > 0 && screen > 0 ? static_cast<double>(printer) / screen : 1.0;
}

}  // namespace

ResultsPrintout::ResultsPrintout(std::string title, PrintoutFeeder& feeder, const FontSetting& font, const Margins& margins)
    : title_(std::move(title)), feeder_(feeder), font_(font), deviceFont_(font), margins_(margins) {}

void ResultsPrintout::setPrintFlags(std::uint32_t flags) {
  printFlags_ = flags;
  laidOut_ = false;
}

ResultsPrintout::DialogInfo ResultsPrintout::getDialogInfo() const {
  DialogInfo info;
  if (feeder_.selectedCount() > 0) {
    info.selectionFrom = 1;
    info.selectionTo = std::numeric_limits<std::int32_t>::max();
  }
  return info;
}

std::pair<int, int> ResultsPrintout::pageRange(PrintoutDevice& device) {
  laidOut_ = false;
  layOutIfNeeded(device);
  return {1, static_cast<int>(pages_.size())};
}

bool ResultsPrintout::hasPage(PrintoutDevice& device, int page) {
  layOutIfNeeded(device);
  return page >= 1 && static_cast<std::size_t>(page) <= pages_.size();
}

void ResultsPrintout::layOutIfNeeded(PrintoutDevice& device) {
  if (!laidOut_ || laidOutFor_ != &device) layOut(device);
}

void ResultsPrintout::layOut(PrintoutDevice& device) {
  const double scaleX = scale(device.pixelsPerInchX(), device.screenPixelsPerInchX());
  const double scaleY = scale(device.pixelsPerInchY(), device.screenPixelsPerInchY());
  deviceFont_ = font_;
  deviceFont_.width = scaled(font_.width, scaleX);
  deviceFont_.height = scaled(font_.height, scaleY);
  device.selectFont(deviceFont_);
  device.setTextColour(deviceFont_.colour);

  // Units other than the two the page setup stores are read as the default,
  // thousandths of an inch.
  const double unitsPerInch = margins_.units == kHundredthsOfMillimetre ? 2540.0 : 1000.0;
  const auto toDevice = [unitsPerInch](int margin, int pixelsPerInch) {
    return clampToInt(std::trunc(margin * static_cast<double>(pixelsPerInch) / unitsPerInch + 0.5));
  };
  const std::int64_t leftMargin = toDevice(margins_.left, device.pixelsPerInchX());
  const std::int64_t rightMargin = toDevice(margins_.right, device.pixelsPerInchX());
  const std::int64_t topMargin = toDevice(margins_.top, device.pixelsPerInchY());
  const std::int64_t bottomMargin = toDevice(margins_.bottom, device.pixelsPerInchY());
  printableWidth_ = std::max(0, clampToInt(device.physicalWidth() - leftMargin - rightMargin));
  const int printableHeight = std::max(0, clampToInt(device.physicalHeight() - topMargin - bottomMargin));
  left_ = std::max(0, clampToInt(leftMargin - device.physicalOffsetX()));
  top_ = std::max(0, clampToInt(topMargin - device.physicalOffsetY()));

  // A line taller than the page, or a font the device reports as having no
  // height, still prints one line per page rather than none.
  lineHeight_ = 0;
  linesPerPage_ = 1;
  columnGap_ = 0;
  if (const auto metrics = device.textMetrics()) {
    lineHeight_ = std::max(0, clampToInt(std::int64_t{metrics->height} + metrics->externalLeading));
    if (lineHeight_ > 0) linesPerPage_ = std::max(1, printableHeight / lineHeight_);
    columnGap_ = std::max(0, clampToInt(std::int64_t{4} * metrics->averageCharWidth));
  }

  if (feeder_.selectedCount() > 0 && (printFlags_ & kPrintSelection) != 0) {
    feeder_.restart(true);
    entryCount_ = feeder_.selectedCount();
  } else {
    feeder_.restart(false);
    entryCount_ = feeder_.totalCount();
  }
  entryCount_ = std::max<std::int64_t>(0, entryCount_);

  paginate(device);
  laidOut_ = true;
  laidOutFor_ = &device;
}

void ResultsPrintout::paginate(PrintoutDevice& device) {
  pages_.clear();
  const std::int64_t lines = linesPerPage_;
  std::int64_t widest = -1;
  std::int64_t columns = 0;  // 0: the next entry starts a new page
  for (std::int64_t i = 0; i < entryCount_; ++i) {
    const std::int64_t width = std::max(0, device.textWidth(feeder_.next()));
    if (width > widest) {
      widest = width;
      const std::int64_t columnWidth = std::max<std::int64_t>(1, columnGap_ + widest);
      const std::int64_t fit = columnWidth < printableWidth_ ? printableWidth_ / columnWidth : 1;
      if (columns == 0) pages_.push_back({});
      const std::int64_t before = pages_.size() > 1 ? pages_[pages_.size() - 2].end : 0;
      std::int64_t capacity = before + fit * lines;
      // Entry i itself is beyond the narrower page when i == capacity too.
      if (i >= capacity) {
        // Close the page with the whole columns of entries before i, at the
        // width they had; the rest, and the wider entry, start the next page.
        const std::int64_t kept = std::min(columns - 1, (i - before) / lines);
        pages_.back().end = before + kept * lines;
        capacity = pages_.back().end + fit * lines;
        pages_.push_back({});
      }
      columns = fit;
      pages_.back() = {capacity, clampToInt(widest)};
    }
    if (pages_.back().end <= i + 1) {
      widest = -1;
      columns = 0;
    }
  }
}

void ResultsPrintout::printPage(PrintoutDevice& device, int page) {
  layOutIfNeeded(device);
  if (page < 1 || static_cast<std::size_t>(page) > pages_.size()) return;
  device.selectFont(deviceFont_);
  device.setTextColour(deviceFont_.colour);
  device.setTransparentBackground();

  const std::int64_t first = page == 1 ? 0 : pages_[page - 2].end;
  const std::int64_t last = pages_[page - 1].end;
  const std::int64_t width = pages_[page - 1].width;
  const std::int64_t columns = (last - first) / linesPerPage_;
  if (columns < 1) return;
  const std::int64_t spare = printableWidth_ - width * columns;
  const std::int64_t space = columns > 1 ? spare / (columns - 1) : 0;
  feeder_.seek(clampToInt(first));
  for (std::int64_t k = first; k < last && k < entryCount_; ++k) {
    const std::int64_t x = left_ + ((k - first) % columns) * (space + width);
    const std::int64_t y = top_ + ((k - first) / columns) * lineHeight_;
    device.drawText(clampToInt(x), clampToInt(y), feeder_.next());
  }
}

void ResultsPrintout::printPages(PrintoutDevice& device, int first, int last) {
  layOutIfNeeded(device);
  first = std::max(first, 1);
  last = std::min<std::int64_t>(last, static_cast<std::int64_t>(pages_.size()));
  for (int page = first; page <= last; ++page) {
    if (page > first) device.newPage();
    printPage(device, page);
  }
}

}  // namespace kea
