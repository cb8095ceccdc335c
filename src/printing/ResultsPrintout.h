// A results list laid out for printing: as many equal columns per page as
// the widest entry on that page allows, in the printout font scaled to the
// printer, inside the page-setup margins. Entries run across the page, then
// down. The layout is worked out once per device and choice of entries and
// then serves the print loop and the preview page by page.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "printing/PrintoutDevice.h"
#include "printing/PrintoutFeeder.h"
#include "settings/TextForms.h"

namespace kea {

class ResultsPrintout {
 public:
  // The print dialog's flag for "print the selection".
  static constexpr std::uint32_t kPrintSelection = 1;
  // Margin units as stored (PrintingMarginUnits).
  static constexpr int kThousandthsOfInch = 4;
  static constexpr int kHundredthsOfMillimetre = 8;

  struct Margins {
    int units = kThousandthsOfInch;
    int left = 1000;
    int top = 1000;
    int right = 1000;
    int bottom = 1000;
  };

  // Page p (1-based) holds the entries from the previous page's `end` (0 for
  // page 1) up to its own; `width` is its column width without the gap.
  struct PageInfo {
    std::int64_t end = 0;
    int width = 0;
    bool operator==(const PageInfo&) const = default;
  };

  // What the print dialog offers: no page range, and the selection range only
  // when something is selected.
  struct DialogInfo {
    int minPage = 0;
    int maxPage = 0;
    int selectionFrom = 0;
    int selectionTo = 0;
  };

  // The feeder must outlive the printout.
  ResultsPrintout(std::string title, PrintoutFeeder& feeder, const FontSetting& font, const Margins& margins);

  const std::string& title() const { return title_; }
  // Changing the flags (the preview's All and Selected buttons) asks for a
  // new layout.
  void setPrintFlags(std::uint32_t flags);
  std::uint32_t printFlags() const { return printFlags_; }

  DialogInfo getDialogInfo() const;
  // Lays out afresh; the first page is 1, the last the number of pages (0
  // when there is nothing to print).
  std::pair<int, int> pageRange(PrintoutDevice& device);
  bool hasPage(PrintoutDevice& device, int page);
  void printPage(PrintoutDevice& device, int page);
  // Pages first…last, clamped to those that exist, with a new sheet
  // between pages.
  void printPages(PrintoutDevice& device, int first, int last);

  // The layout's results, valid once laid out.
  const std::vector<PageInfo>& pages() const { return pages_; }
  std::int64_t entryCount() const { return entryCount_; }
  const FontSetting& deviceFont() const { return deviceFont_; }
  int lineHeight() const { return lineHeight_; }
  int linesPerPage() const { return linesPerPage_; }
  int left() const { return left_; }
  int top() const { return top_; }
  int printableWidth() const { return printableWidth_; }
  int columnGap() const { return columnGap_; }

 private:
  void layOutIfNeeded(PrintoutDevice& device);
  void layOut(PrintoutDevice& device);
  void paginate(PrintoutDevice& device);

  std::string title_;
  PrintoutFeeder& feeder_;
  std::uint32_t printFlags_ = 0;
  FontSetting font_;
  FontSetting deviceFont_;
  Margins margins_;
  bool laidOut_ = false;
  const PrintoutDevice* laidOutFor_ = nullptr;
  std::int64_t entryCount_ = 0;
  std::vector<PageInfo> pages_;
  int lineHeight_ = 0;
  int linesPerPage_ = 1;
  int left_ = 0;
  int top_ = 0;
  int printableWidth_ = 0;
  int columnGap_ = 0;
};

}  // namespace kea
