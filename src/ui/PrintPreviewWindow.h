// The print preview: one page of the printout, or two side by side, drawn
// by the printout itself through the printer's device, so what it shows is
// what prints. The buttons, the keys (Escape; Page Up, Left, Up; Page Down,
// Right, Down; Home; End) and the mouse wheel page through it, and the
// status text says which pages are shown. PrintPreviewWindowKEA adds the
// choice between all results and the selected ones.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "printing/ResultsPrintout.h"
#include "settings/SettingsStore.h"

class QLabel;
class QPrinter;
class QPushButton;
class QHBoxLayout;

namespace kea::ui {

class QtPrintoutDevice;

class PrintPreviewWindow : public QWidget {
  Q_OBJECT

 public:
  // Takes the feeder and the printout, which read a list that must stay
  // unchanged while the window is open (it is modal). The printer must
  // outlive the window.
  PrintPreviewWindow(QPrinter& printer, std::unique_ptr<PrintoutFeeder> feeder,
                     std::unique_ptr<ResultsPrintout> printout, SettingsStore& store, QWidget* parent);
  ~PrintPreviewWindow() override;

  // Print: called with the print flags of the printout shown.
  void onPrint(std::function<void(std::uint32_t flags)> callback) { print_ = std::move(callback); }

  int fromPage() const { return from_; }
  int toPage() const { return to_; }
  int maxPage() const { return last_; }
  bool twoPages() const { return twoPages_; }
  void setTwoPages(bool two);
  QString statusText() const;
  QPushButton* previousButton() const { return previous_; }
  QPushButton* nextButton() const { return next_; }
  QPushButton* printButton() const { return printButton_; }
  ResultsPrintout& printout() { return *printout_; }

  void previousPage();
  void nextPage();
  void firstPage();
  void lastPage();
  // Lays the printout out again and shows its first page.
  void restart();

  // Draws page `page` into `area` (widget coordinates), scaled to fit.
  void drawPage(QPainter& painter, const QRectF& area, int page);

 protected:
  QHBoxLayout* buttonRow() const { return buttons_; }
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void showPages();

  QPrinter& printer_;
  std::unique_ptr<PrintoutFeeder> feeder_;
  std::unique_ptr<ResultsPrintout> printout_;
  std::unique_ptr<QtPrintoutDevice> device_;
  QWidget* pages_;
  QLabel* status_;
  QPushButton* previous_;
  QPushButton* next_;
  QPushButton* printButton_;
  QPushButton* two_;
  QHBoxLayout* buttons_;
  std::function<void(std::uint32_t)> print_;
  int from_ = 0;
  int to_ = 0;
  int last_ = 0;
  bool twoPages_ = false;
};

class PrintPreviewWindowKEA : public PrintPreviewWindow {
  Q_OBJECT

 public:
  PrintPreviewWindowKEA(QPrinter& printer, std::unique_ptr<PrintoutFeeder> feeder,
                        std::unique_ptr<ResultsPrintout> printout, SettingsStore& store, QWidget* parent);

  QPushButton* allButton() const { return all_; }
  QPushButton* selectedButton() const { return selected_; }
  // All results (false) or the selected ones (true), then page 1.
  void choose(bool selected);

 private:
  QPushButton* all_;
  QPushButton* selected_;
};

}  // namespace kea::ui
