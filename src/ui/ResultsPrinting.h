// Printing a results list: "&Print Results from *..." through the print
// dialog (to a printer or a PDF file), "Page Set&up..." for the paper and
// the four margins, and "Print Pre&view Results from *..." in our own
// preview window. The printer keeps the paper chosen for as long as the
// program runs; the margins are settings.
#pragma once

#include <QPointer>
#include <QPrinter>
#include <climits>
#include <cstdint>
#include <memory>

#include "printing/ResultsPrintout.h"

namespace kea {
struct MainViewState;
}

namespace kea::ui {

class MainWindow;
class PrintPreviewWindowKEA;

// The help topic of a saving or printing window (the save and page-setup
// dialogs, the print dialog, the preview); 0 for any other window.
int savePrintHelpTopic(const QWidget* window);

class ResultsPrinting {
 public:
  explicit ResultsPrinting(MainWindow& frame);
  ~ResultsPrinting();

  void print(std::uint32_t flags = 0);
  void pageSetup();
  void preview();

  QPrinter& printer() { return printer_; }
  PrintPreviewWindowKEA* previewWindow() const;

  // The stored margins as the printout takes them.
  static ResultsPrintout::Margins margins(const MainViewState& values);
  // Pages first…last of `printout` on `printer`; the number of pages
  // printed, or -1 when the printer could not be started.
  static int printOn(QPrinter& printer, ResultsPrintout& printout, int first = 1, int last = INT_MAX);

 private:
  // A printout of the active list; nothing when there is none.
  std::unique_ptr<ResultsPrintout> makePrintout(std::unique_ptr<PrintoutFeeder>& feeder);
  // The stored margins onto the printer's page layout, and back.
  void marginsToPrinter();
  void marginsFromPrinter();

  MainWindow& frame_;
  QPrinter printer_{QPrinter::HighResolution};
  QPointer<PrintPreviewWindowKEA> preview_;
};

}  // namespace kea::ui
