// Printing a large results list to a PDF file: 100,000 entries laid out in
// the default printout font and margins on A4 at the printer's resolution,
// then every page drawn through the Qt device. The figures are the layout
// alone and layout plus printing, the best of a few runs each. Goal: under
// two seconds for the whole.
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

#include "printing/PrintoutFeeder.h"
#include "printing/ResultsPrintout.h"
#include "settings/TextForms.h"
#include "settings/UserOptions.h"
#include "ui/QtPrintoutDevice.h"
#include "ui/ResultsPrinting.h"

namespace {

// Processor time of this process in milliseconds: the figure that other
// work on a shared machine does not inflate.
double cpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int count = argc > 1 ? std::atoi(argv[1]) : 100000;

  std::mt19937 rng(5);
  kea::ResultsList list;
  list.setOrder(1, false);
  for (int i = 0; i < count; ++i) {
    const int length = 3 + static_cast<int>(rng() % 10);
    std::string word;
    for (int k = 0; k < length; ++k) word += static_cast<char>('a' + rng() % 26);
    list.add(word, {}, {}, 0);
  }
  const kea::FontSetting font = kea::parseFont(kea::UserOptions::kDefaultFontPrinting);
  const kea::ResultsPrintout::Margins margins;

  QTemporaryDir folder;
  double bestLayout = 1e9, bestPrint = 1e9, bestLayoutCpu = 1e9, bestPrintCpu = 1e9;
  int pages = 0;
  qint64 bytes = 0;
  for (int run = 0; run < 3; ++run) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const QString file = folder.filePath(QStringLiteral("bench.pdf"));
    printer.setOutputFileName(file);
    kea::ResultsPrintoutFeeder feeder(list);
    {
      kea::ResultsPrintout printout("bench", feeder, font, margins);
      kea::ui::QtPrintoutDevice device(printer);
      QElapsedTimer timer;
      timer.start();
      const double cpu = cpuMs();
      pages = printout.pageRange(device).second;
      bestLayout = std::min(bestLayout, timer.nsecsElapsed() / 1e6);
      bestLayoutCpu = std::min(bestLayoutCpu, cpuMs() - cpu);
    }
    kea::ResultsPrintout printout("bench", feeder, font, margins);
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuMs();
    const int printed = kea::ui::ResultsPrinting::printOn(printer, printout);
    bestPrint = std::min(bestPrint, timer.nsecsElapsed() / 1e6);
    bestPrintCpu = std::min(bestPrintCpu, cpuMs() - cpu);
    if (printed != pages) {
      std::fprintf(stderr, "printed %d pages of %d\n", printed, pages);
      return 1;
    }
    bytes = QFileInfo(file).size();
  }
  std::printf("entries: %d\npages: %d\nPDF size: %lld kB\n", count, pages, static_cast<long long>(bytes / 1024));
  std::printf("layout: %.0f ms (processor %.0f ms)\n", bestLayout, bestLayoutCpu);
  std::printf("layout and printing to PDF: %.0f ms (processor %.0f ms; goal: under 2000 ms)\n", bestPrint,
              bestPrintCpu);
  return 0;
}
