// The printout's layout against a fake printer whose every character is
// ten units wide, so entry widths follow from their lengths.
#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "printing/PrintoutFeeder.h"
#include "printing/ResultsPrintout.h"
#include "search/ResultsList.h"
#include "support/PlainSelection.h"

namespace kea {

// Readable failures for page tables.
void PrintTo(const ResultsPrintout::PageInfo& page, std::ostream* out) {
  *out << "{end " << page.end << ", width " << page.width << "}";
}

namespace {

constexpr int kCharWidth = 10;

struct Drawn {
  int page;
  int x;
  int y;
  std::string text;
  bool operator==(const Drawn&) const = default;
};

class FakeDevice : public PrintoutDevice {
 public:
  int ppiX = 100, ppiY = 100, screenX = 100, screenY = 100;
  int offsetX = 0, offsetY = 0, width = 170, height = 100;
  std::optional<TextMetrics> metrics = TextMetrics{10, 0, 0};
  FontSetting selected;
  int page = 1;
  std::vector<Drawn> drawn;

  int pixelsPerInchX() const override { return ppiX; }
  int pixelsPerInchY() const override { return ppiY; }
  int screenPixelsPerInchX() const override { return screenX; }
  int screenPixelsPerInchY() const override { return screenY; }
  int physicalOffsetX() const override { return offsetX; }
  int physicalOffsetY() const override { return offsetY; }
  int physicalWidth() const override { return width; }
  int physicalHeight() const override { return height; }
  void selectFont(const FontSetting& font) override { selected = font; }
  void setTextColour(Colour) override {}
  void setTransparentBackground() override {}
  std::optional<TextMetrics> textMetrics() const override { return metrics; }
  int textWidth(std::string_view text) const override { return static_cast<int>(text.size()) * kCharWidth; }
  void drawText(int x, int y, std::string_view text) override { drawn.push_back({page, x, y, std::string(text)}); }
  void newPage() override { ++page; }
};

ResultsPrintout::Margins noMargins() { return {ResultsPrintout::kThousandthsOfInch, 0, 0, 0, 0}; }

void fill(ResultsList& list, const std::vector<std::string>& texts) {
  for (std::size_t i = 0; i < texts.size(); ++i) ASSERT_TRUE(list.add(texts[i], "", "", static_cast<std::uint32_t>(i)));
}

// `count` entries of four letters, with longer ones at the given rows.
std::vector<std::string> entries(int count, const std::vector<std::pair<int, int>>& wider = {}) {
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) texts.push_back(std::string(3, 'a') + static_cast<char>('a' + i % 26));
  for (const auto& [row, length] : wider) texts[row] = std::string(length, 'w');
  return texts;
}

std::vector<Drawn> printAll(ResultsPrintout& printout, FakeDevice& device) {
  const auto [first, last] = printout.pageRange(device);
  printout.printPages(device, first, last);
  return device.drawn;
}

// Every entry lies inside the printable width and no two overlap.
void expectNoOverlap(const std::vector<Drawn>& drawn, int printableRight) {
  for (std::size_t a = 0; a < drawn.size(); ++a) {
    const int textWidth = static_cast<int>(drawn[a].text.size()) * kCharWidth;
    const int right = drawn[a].x + textWidth;
    if (textWidth <= printableRight) {
      EXPECT_LE(right, printableRight) << drawn[a].text;
    }
    for (std::size_t b = a + 1; b < drawn.size(); ++b) {
      if (drawn[a].page != drawn[b].page || drawn[a].y != drawn[b].y) continue;
      const int rightB = drawn[b].x + static_cast<int>(drawn[b].text.size()) * kCharWidth;
      EXPECT_TRUE(right <= drawn[b].x || rightB <= drawn[a].x)
          << drawn[a].text << " and " << drawn[b].text << " overlap on page " << drawn[a].page;
    }
  }
}

TEST(ResultsPrintout, PaginatesIntoColumnsByWidestEntry) {
  // Page 170 wide, 10 lines; a four-letter entry is 40 wide: 4 columns.
  struct Case {
    const char* name;
    int count;
    std::vector<std::pair<int, int>> wider;
    std::vector<ResultsPrintout::PageInfo> pages;
  };
  const std::vector<Case> cases = {
      {"equal widths on one page", 25, {}, {{40, 40}}},
      {"exactly one full page", 40, {}, {{40, 40}}},
      {"one more starts a page", 41, {}, {{40, 40}, {80, 40}}},
      {"first entry wider than the page", 25, {{0, 20}}, {{10, 200}, {50, 40}}},
      {"wider entry in the last column narrows the page", 25, {{15, 8}}, {{20, 80}, {60, 40}}},
      {"wider entry just beyond the narrower page", 25, {{20, 8}}, {{20, 40}, {40, 80}}},
      {"wider entry in a middle column", 30, {{25, 8}}, {{20, 40}, {40, 80}}},
      {"wider entry on the second page", 60, {{50, 8}}, {{40, 40}, {60, 80}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResultsList list;
    fill(list, entries(c.count, c.wider));
    ResultsPrintoutFeeder feeder(list);
    ResultsPrintout printout("Results", feeder, FontSetting{}, noMargins());
    FakeDevice device;
    const std::vector<Drawn> drawn = printAll(printout, device);
    EXPECT_EQ(printout.pages(), c.pages);
    EXPECT_EQ(drawn.size(), static_cast<std::size_t>(c.count));
    expectNoOverlap(drawn, device.width);
    for (const Drawn& d : drawn) EXPECT_LT(d.y, device.height) << d.text;
  }
}

TEST(ResultsPrintout, DrawsAcrossThenDown) {
  ResultsList list;
  fill(list, entries(25));
  ResultsPrintoutFeeder feeder(list);
  ResultsPrintout printout("Results", feeder, FontSetting{}, noMargins());
  FakeDevice device;
  const std::vector<Drawn> drawn = printAll(printout, device);
  ASSERT_EQ(drawn.size(), 25u);
  // Spare 170 - 4 × 40 = 10 spread over three gaps: columns 43 apart.
  const std::vector<std::pair<int, Drawn>> expected = {
      {0, {1, 0, 0, "aaaa"}},   {3, {1, 129, 0, "aaad"}}, {4, {1, 0, 10, "aaae"}},
      {7, {1, 129, 10, "aaah"}}, {24, {1, 0, 60, "aaay"}},
  };
  for (const auto& [index, want] : expected) EXPECT_EQ(drawn[index], want) << index;
}

TEST(ResultsPrintout, MarginsInStoredUnits) {
  struct Case {
    int units;
    int margin;
    int ppi;
    int offset;
    int left;
    int printableWidth;
  };
  const std::vector<Case> cases = {
      {ResultsPrintout::kHundredthsOfMillimetre, 2540, 600, 0, 600, 5000 - 1200},
      {ResultsPrintout::kHundredthsOfMillimetre, 2540, 600, 50, 550, 5000 - 1200},
      {ResultsPrintout::kThousandthsOfInch, 1000, 600, 30, 570, 5000 - 1200},
      {ResultsPrintout::kThousandthsOfInch, 1001, 300, 0, 300, 5000 - 600},  // 300.3 rounds down
      {ResultsPrintout::kThousandthsOfInch, 1002, 1000, 0, 1002, 5000 - 2004},
      {0, 1000, 600, 0, 600, 5000 - 1200},                                // unknown units: inches
      {ResultsPrintout::kThousandthsOfInch, 1000, 600, 700, 0, 5000 - 1200},  // offset beyond the margin
      {ResultsPrintout::kThousandthsOfInch, 5000, 600, 0, 3000, 0},           // margins wider than the sheet
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.units << " " << c.margin << " " << c.ppi << " " << c.offset);
    ResultsList list;
    ResultsPrintoutFeeder feeder(list);
    ResultsPrintout printout("Results", feeder, FontSetting{}, {c.units, c.margin, c.margin, c.margin, c.margin});
    FakeDevice device;
    device.ppiX = device.ppiY = c.ppi;
    device.offsetX = device.offsetY = c.offset;
    device.width = device.height = 5000;
    printout.pageRange(device);
    EXPECT_EQ(printout.left(), c.left);
    EXPECT_EQ(printout.top(), c.left);
    EXPECT_EQ(printout.printableWidth(), c.printableWidth);
  }
}

TEST(ResultsPrintout, LineMetricsNeverLeaveAPageWithoutLines) {
  using Metrics = PrintoutDevice::TextMetrics;
  struct Case {
    const char* name;
    std::optional<Metrics> metrics;
    int lineHeight;
    int linesPerPage;
    int columnGap;
  };
  const std::vector<Case> cases = {
      {"ordinary", Metrics{9, 1, 3}, 10, 10, 12},
      {"unreadable", std::nullopt, 0, 1, 0},
      {"no height", Metrics{0, 0, 3}, 0, 1, 12},
      {"taller than the page", Metrics{150, 0, 3}, 150, 1, 12},
      {"negative", Metrics{-5, -5, -2}, 0, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResultsList list;
    fill(list, entries(3));
    ResultsPrintoutFeeder feeder(list);
    ResultsPrintout printout("Results", feeder, FontSetting{}, noMargins());
    FakeDevice device;
    device.metrics = c.metrics;
    EXPECT_EQ(printout.pageRange(device).second, 1);
    EXPECT_EQ(printout.lineHeight(), c.lineHeight);
    EXPECT_EQ(printout.linesPerPage(), c.linesPerPage);
    EXPECT_EQ(printout.columnGap(), c.columnGap);
    EXPECT_EQ(printAll(printout, device).size(), 3u);
  }
}

TEST(ResultsPrintout, ScalesTheFontToThePrinterHalfAwayFromZero) {
  FontSetting font;
  font.height = -13;
  font.width = 5;
  ResultsList list;
  ResultsPrintoutFeeder feeder(list);
  ResultsPrintout printout("Results", feeder, font, noMargins());
  FakeDevice device;
  device.ppiX = device.ppiY = 300;
  device.screenX = device.screenY = 96;
  printout.pageRange(device);
  EXPECT_EQ(printout.deviceFont().height, -41);  // -40.625
  EXPECT_EQ(printout.deviceFont().width, 16);    // 15.625
  EXPECT_EQ(device.selected, printout.deviceFont());
  device.screenX = device.screenY = 0;  // a screen that reports nothing: no scaling
  printout.pageRange(device);
  EXPECT_EQ(printout.deviceFont().height, -13);
}

TEST(ResultsPrintout, SelectionChoosesTheEntries) {
  struct Case {
    const char* name;
    std::vector<int> selected;
    std::uint32_t flags;
    std::vector<std::string> printed;
    int selectionTo;
  };
  const int all = std::numeric_limits<std::int32_t>::max();
  const std::vector<Case> cases = {
      {"nothing selected, flag ignored", {}, ResultsPrintout::kPrintSelection, {"aaaa", "aaab", "aaac", "aaad"}, 0},
      {"selection without the flag", {1, 3}, 0, {"aaaa", "aaab", "aaac", "aaad"}, all},
      {"selection with the flag", {1, 3}, ResultsPrintout::kPrintSelection, {"aaab", "aaad"}, all},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResultsList list;
    fill(list, entries(4));
    test::RowSetSelection selection;
    for (int row : c.selected) selection.rows.insert(row);
    ResultsPrintoutFeeder feeder(list, selection);
    ResultsPrintout printout("Results", feeder, FontSetting{}, noMargins());
    printout.setPrintFlags(c.flags);
    const ResultsPrintout::DialogInfo info = printout.getDialogInfo();
    EXPECT_EQ(info.minPage, 0);
    EXPECT_EQ(info.maxPage, 0);
    EXPECT_EQ(info.selectionFrom, c.selectionTo == 0 ? 0 : 1);
    EXPECT_EQ(info.selectionTo, c.selectionTo);
    FakeDevice device;
    std::vector<std::string> printed;
    for (const Drawn& d : printAll(printout, device)) printed.push_back(d.text);
    EXPECT_EQ(printed, c.printed);
  }
}

TEST(ResultsPrintout, SelectedEntriesOnLaterPagesAreSoughtAmongTheSelection) {
  ResultsList list;
  fill(list, entries(30));
  test::RowSetSelection selection{0};
  selection.selectRange(5, 25);
  ResultsPrintoutFeeder feeder(list, selection);
  ResultsPrintout printout("Results", feeder, FontSetting{}, noMargins());
  printout.setPrintFlags(ResultsPrintout::kPrintSelection);
  FakeDevice device;
  device.height = 20;  // two lines: 8 entries a page
  const std::vector<Drawn> drawn = printAll(printout, device);
  ASSERT_EQ(drawn.size(), 26u);
  EXPECT_EQ(drawn[8], (Drawn{2, 0, 0, std::string(list.textAt(12))}));
  EXPECT_EQ(drawn.back().text, std::string(list.textAt(29)));
}

TEST(ResultsPrintout, EmptyListAndPagesOutsideTheRange) {
  ResultsList list;
  ResultsPrintoutFeeder feeder(list);
  ResultsPrintout printout("Results", feeder, FontSetting{}, noMargins());
  FakeDevice device;
  EXPECT_FALSE(printout.hasPage(device, 1));
  EXPECT_EQ(printout.pageRange(device), (std::pair<int, int>{1, 0}));
  EXPECT_TRUE(printout.pages().empty());

  fill(list, entries(3));
  printout.pageRange(device);
  EXPECT_TRUE(printout.hasPage(device, 1));
  for (int page : {0, -1, 2, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}) {
    EXPECT_FALSE(printout.hasPage(device, page)) << page;
    printout.printPage(device, page);
  }
  printout.printPages(device, -5, 9);
  EXPECT_EQ(device.drawn.size(), 3u);
  EXPECT_EQ(device.page, 1);
}

TEST(ResultsPrintoutFeeder, DeliversAllOrSelectedFromAnyPoint) {
  ResultsList list;
  fill(list, {"one", "two", "three", "four"});
  test::RowSetSelection selection{1, 2};
  ResultsPrintoutFeeder feeder(list, selection);
  EXPECT_EQ(feeder.totalCount(), 4);
  EXPECT_EQ(feeder.selectedCount(), 2);
  struct Case {
    bool selectedOnly;
    int seek;
    std::vector<std::string> delivered;
  };
  const std::vector<Case> cases = {
      {false, 0, {"one", "two", "three", "four", ""}},
      {false, 3, {"four", ""}},
      {false, 9, {""}},
      {false, -2, {"one"}},
      {true, 0, {"two", "three", ""}},
      {true, 1, {"three", ""}},
      {true, 5, {""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.selectedOnly << " " << c.seek);
    feeder.restart(c.selectedOnly);
    feeder.seek(c.seek);
    for (const std::string& want : c.delivered) EXPECT_EQ(feeder.next(), want);
  }
  // A selection in two runs, read again at the restart: seeking crosses
  // from one run into the next.
  selection.rows = {0, 2, 3};
  EXPECT_EQ(feeder.selectedCount(), 3);
  const std::vector<Case> split = {
      {true, 0, {"one", "three", "four", ""}},
      {true, 1, {"three", "four", ""}},
      {true, 2, {"four", ""}},
      {true, 3, {""}},
      {true, -1, {"one"}},
  };
  for (const Case& c : split) {
    SCOPED_TRACE(testing::Message() << "split " << c.seek);
    feeder.restart(c.selectedOnly);
    feeder.seek(c.seek);
    for (const std::string& want : c.delivered) EXPECT_EQ(feeder.next(), want);
  }
}

}  // namespace
}  // namespace kea
