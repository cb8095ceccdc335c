#include "ui/ResultsPrinting.h"

#include <QApplication>
#include <QLocale>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <algorithm>
#include <cmath>

#include "printing/PrintoutFeeder.h"
#include "search/ResultsDictionary.h"
#include "settings/MainViewState.h"
#include "settings/Persist.h"
#include "ui/DictionarySaveDialog.h"
#include "ui/MainView.h"
#include "ui/MainWindow.h"
#include "ui/PrintPreviewWindow.h"
#include "ui/QtPrintoutDevice.h"
#include "ui/QtText.h"
#include "workspace/HelpTopics.h"

namespace kea::ui {

int savePrintHelpTopic(const QWidget* window) {
  if (window == nullptr) return 0;
  if (qobject_cast<const PrintPreviewWindow*>(window)) return kHelpPrintPreview;
  if (qobject_cast<const DictionarySaveDialog*>(window)) return kHelpSaveDictionaryDialog;
  if (qobject_cast<const QPageSetupDialog*>(window)) return kHelpPageSetup;
  if (qobject_cast<const QPrintDialog*>(window)) return kHelpPrinting;
  if (window->objectName() == QLatin1String("SaveResultsDialog")) return kHelpSaveResultsDialog;
  return 0;
}

ResultsPrinting::ResultsPrinting(MainWindow& frame) : frame_(frame) {}
ResultsPrinting::~ResultsPrinting() {
  if (preview_) delete preview_.data();
}

PrintPreviewWindowKEA* ResultsPrinting::previewWindow() const { return preview_; }

ResultsPrintout::Margins ResultsPrinting::margins(const MainViewState& values) {
  ResultsPrintout::Margins m;
  m.units = values.printingMarginUnits;
  m.left = values.printingLeftMargin;
  m.top = values.printingTopMargin;
  m.right = values.printingRightMargin;
  m.bottom = values.printingBottomMargin;
  return m;
}

std::unique_ptr<ResultsPrintout> ResultsPrinting::makePrintout(std::unique_ptr<PrintoutFeeder>& feeder) {
  const int group = frame_.workspace().activeDictionary();
  const SearchController& controller = frame_.view().controller();
  if (group < 0 || group >= controller.groupCount()) return nullptr;
  const SearchController::OutputGroup& output = controller.group(group);
  feeder = std::make_unique<ResultsPrintoutFeeder>(output.list, frame_.view().resultsSelection(group));
  const std::string title = resultsDictionaryDescription(frame_.workspace().activeName(), output.pattern);
  return std::make_unique<ResultsPrintout>(title, *feeder, frame_.workspace().options().fontPrinting,
                                       margins(frame_.values()));
}

int ResultsPrinting::printOn(QPrinter& printer, ResultsPrintout& printout, int first, int last) {
  printer.setDocName(toQString(printout.title()));
  QtPrintoutDevice device(printer);
  const int pages = printout.pageRange(device).second;
  first = std::max(first, 1);
  last = std::min(last, pages);
  QPainter painter;
  if (!painter.begin(&printer)) return -1;
  device.setPainter(&painter);
  printout.printPages(device, first, last);
  painter.end();
  return std::max(0, last - first + 1);
}

void ResultsPrinting::print(std::uint32_t flags) {
  std::unique_ptr<PrintoutFeeder> feeder;
  std::unique_ptr<ResultsPrintout> printout = makePrintout(feeder);
  if (!printout) return;
  marginsToPrinter();
  QPrintDialog dialog(&printer_, &frame_);
  const ResultsPrintout::DialogInfo info = printout->getDialogInfo();
  QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintToFile |
                                                     QAbstractPrintDialog::PrintPageRange |
                                                     QAbstractPrintDialog::PrintShowPageSize |
                                                     QAbstractPrintDialog::PrintCollateCopies;
  if (info.selectionTo > 0) options |= QAbstractPrintDialog::PrintSelection;
  dialog.setOptions(options);
  printer_.setPrintRange(info.selectionTo > 0 && (flags & ResultsPrintout::kPrintSelection) != 0 ? QPrinter::Selection
                                                                                          : QPrinter::AllPages);
  if (dialog.exec() != QDialog::Accepted) return;
  printout->setPrintFlags(printer_.printRange() == QPrinter::Selection ? ResultsPrintout::kPrintSelection : 0);
  int first = 1;
  int last = INT_MAX;
  if (printer_.printRange() == QPrinter::PageRange) {
    first = printer_.fromPage();
    last = printer_.toPage();
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  printOn(printer_, *printout, first, last);
  QApplication::restoreOverrideCursor();
}

void ResultsPrinting::pageSetup() {
  marginsToPrinter();
  QPageSetupDialog dialog(&printer_, &frame_);
  if (dialog.exec() != QDialog::Accepted) return;
  marginsFromPrinter();
}

void ResultsPrinting::preview() {
  std::unique_ptr<PrintoutFeeder> feeder;
  std::unique_ptr<ResultsPrintout> printout = makePrintout(feeder);
  if (!printout) return;
  if (preview_) delete preview_.data();
  preview_ = new PrintPreviewWindowKEA(printer_, std::move(feeder), std::move(printout), frame_.store(), &frame_);
  preview_->setAttribute(Qt::WA_DeleteOnClose);
  preview_->onPrint([this](std::uint32_t flags) { print(flags); });
  frame_.keepAbove(preview_);
  preview_->show();
  preview_->raise();
  preview_->activateWindow();
}

void ResultsPrinting::marginsToPrinter() {
  const MainViewState& v = frame_.values();
  const bool millimetres = v.printingMarginUnits == MainViewState::kHundredthsOfMillimetre;
  const double perUnit = millimetres ? 100.0 : 1000.0;
  const QMarginsF margins(v.printingLeftMargin / perUnit, v.printingTopMargin / perUnit,
                          v.printingRightMargin / perUnit, v.printingBottomMargin / perUnit);
  QPageLayout layout = printer_.pageLayout();
  layout.setUnits(millimetres ? QPageLayout::Millimeter : QPageLayout::Inch);
  layout.setMode(QPageLayout::FullPageMode);
  layout.setMargins(margins);
  printer_.setPageLayout(layout);
}

// The dialog's units are kept when they are inches or millimetres; any
// other unit becomes the one the user's locale measures in.
void ResultsPrinting::marginsFromPrinter() {
  const QPageLayout layout = printer_.pageLayout();
  bool inches = layout.units() == QPageLayout::Inch;
  if (layout.units() != QPageLayout::Inch && layout.units() != QPageLayout::Millimeter) {
    inches = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
  }
  const QMarginsF m = layout.margins(inches ? QPageLayout::Inch : QPageLayout::Millimeter);
  const double perUnit = inches ? 1000.0 : 100.0;
  const auto stored = [perUnit](double value) { return static_cast<int>(std::lround(std::max(0.0, value) * perUnit)); };
  MainViewState& v = frame_.values();
  v.printingMarginUnits = inches ? MainViewState::kThousandthsOfInch : MainViewState::kHundredthsOfMillimetre;
  v.printingLeftMargin = stored(m.left());
  v.printingTopMargin = stored(m.top());
  v.printingRightMargin = stored(m.right());
  v.printingBottomMargin = stored(m.bottom());
  Persist persist(frame_.store(), SettingsMode::Write);
  v.savePrinting(persist);
}

}  // namespace kea::ui
