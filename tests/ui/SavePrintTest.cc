// Saving and printing from the real main window on the offscreen platform:
// the save dialog loop with its replace question, the text file and the
// dictionary it writes, the printout on a PDF file and the preview of it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <regex>

#include "AppWindowTest.h"
#include "dictionary/DictionaryList.h"
#include "printing/PrintoutFeeder.h"
#include "printing/ResultsPrintout.h"
#include "settings/MainViewState.h"
#include "text/StringTable.h"
#include "ui/DictionarySaveDialog.h"
#include "ui/MainView.h"
#include "ui/MainWindow.h"
#include "ui/PrintPreviewWindow.h"
#include "ui/QtSettingsStore.h"
#include "ui/QtText.h"
#include "ui/QuickReferenceWindow.h"
#include "ui/ResultsPane.h"
#include "ui/ResultsPrinting.h"
#include "ui/ResultsSaver.h"
#include "ui/ResultsView.h"

namespace kea::ui {
namespace {

// Acts on the next modal window of type W once it is open.
template <typename W>
void onModal(std::function<void(W*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  auto* waited = new QElapsedTimer;
  waited->start();
  QObject::connect(timer, &QTimer::timeout, [timer, waited, act] {
    W* window = qobject_cast<W*>(QApplication::activeModalWidget());
    if (window == nullptr && waited->elapsed() < 10000) return;
    timer->stop();
    timer->deleteLater();
    delete waited;
    if (window == nullptr) {
      ADD_FAILURE() << "the expected modal window did not appear";
      return;
    }
    QPointer<W> acted(window);
    act(window);
    // A window the test meant to close but that stayed open would hold the
    // test in its loop for ever: it fails the test and is closed instead.
    QTimer::singleShot(5000, [acted] {
      if (acted && acted->isVisible() && QApplication::activeModalWidget() == acted) {
        ADD_FAILURE() << "a modal window stayed open after the test answered it";
        if (auto* dialog = qobject_cast<QDialog*>(acted.data())) {
          dialog->reject();
        } else {
          acted->close();
        }
      }
    });
  });
  timer->start();
}

// OK, once the dialog shows the typed name as its selection.
// Types a file's path into the dialog. selectFile() leaves the name field
// alone while that field has the focus, and the window gets its focus when
// the platform gets round to it; so the name is typed into the field as a
// user would.
void select(QFileDialog* dialog, const std::string& path) {
  const QFileInfo file(toQString(path));
  dialog->setProperty("chosen", file.absoluteFilePath());
  dialog->setDirectory(file.absolutePath());
  dialog->selectFile(file.absoluteFilePath());
  if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->setText(file.fileName());
}

void acceptWhenSelected(QFileDialog* dialog) {
  const QString chosen = dialog->property("chosen").toString();
  QElapsedTimer waited;
  waited.start();
  while (dialog->selectedFiles().value(0) != chosen && waited.elapsed() < 5000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  EXPECT_EQ(dialog->selectedFiles().value(0), chosen);
  // What OK does once the name is in, without the dialog's second look at
  // the folder, which its model may still be filling.
  static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
}

class SavePrintTest : public AppWindowTest {
 protected:
  void start(const std::string& dictionary) { AppWindowTest::start({dictionary}); }
  const ResultsList& list() { return view().controller().group(0).list; }
  // Home, then Shift+Down in the first list, as the user selects.
  void selectFirstTwo() {
    ResultsView* results = view().pane(0)->view();
    results->setFocus();
    QTest::keyClick(results, Qt::Key_Home);
    QTest::keyClick(results, Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_EQ(view().resultsSelection(0).count(), 2);
  }
};

TEST(SaveFilters, NamesEndingInWordsInParenthesesGetTheirPatterns) {
  EXPECT_EQ(fileDialogFilter(texts::kSaveResultsFilter),
            "Text Document (TXT) (*.txt);;KEA&Kindred Dictionary (KKD) (*.kkd)");
  EXPECT_EQ(fileDialogFilter(texts::kCreateExpurgatedFilter),
            "KEA&Kindred Dictionary (KKD) (*.kkd);;All Files (*.*)");
  EXPECT_EQ(fileDialogFilter(texts::kOpenDialogFilter), "Dictionary File (*.kkd);;All Files (*)");
}

TEST_F(SavePrintTest, SavingTextWritesEveryEntryInUtf8AndAsksBeforeReplacing) {
  start(test::buildTestDictionary(dir, {"cat", "caf\xe9", "cab+(taxi)+", "dog"}));
  search("ca*");
  ASSERT_EQ(list().count(), 3);
  ASSERT_TRUE(frame().action(CommandId::SaveResults)->isEnabled());

  const std::string typed = dir.file("words");  // no extension: ".txt" is added
  onModal<QFileDialog>([&](QFileDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Save Results");
    EXPECT_EQ(dialog->nameFilters().size(), 2);
    select(dialog, typed);
    acceptWhenSelected(dialog);
  });
  frame().run(CommandId::SaveResults);
  // In list order (by length), annotations included, UTF-8, line feeds.
  const std::string expected = "cab(taxi)\ncat\ncaf\xc3\xa9\n";
  EXPECT_EQ(test::readFile(typed + ".txt"), expected);
  EXPECT_EQ(frame().resultsSaver().rememberedName(), "words");

  // The same name again: No shows the dialog again (with the name kept),
  // where Cancel leaves the file as it was.
  search("d.g");
  bool offeredAgain = false;
  onModal<QFileDialog>([&](QFileDialog* dialog) {
    select(dialog, typed + ".txt");
    onModal<QMessageBox>([&](QMessageBox* box) {
      EXPECT_EQ(box->windowTitle(), "Save As");
      EXPECT_EQ(box->text(), toQString(typed + ".txt") + " already exists.\nDo you want to replace it?");
      EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
      onModal<QFileDialog>([&](QFileDialog* again) {
        offeredAgain = true;
        QElapsedTimer waited;
        waited.start();
        while (QFileInfo(again->selectedFiles().value(0)).isDir() && waited.elapsed() < 5000) {
          QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        EXPECT_TRUE(again->selectedFiles().value(0).endsWith("/words")) << again->selectedFiles().value(0).toStdString();
        again->reject();
      });
      box->button(QMessageBox::No)->click();
    });
    acceptWhenSelected(dialog);
  });
  frame().run(CommandId::SaveResults);
  EXPECT_TRUE(offeredAgain);
  EXPECT_EQ(test::readFile(typed + ".txt"), expected);
}

// On Linux a double quote is a character of a name: a typed name holding
// some is taken as typed, not as a list of quoted names.
TEST_F(SavePrintTest, ATypedNameWithDoubleQuotesIsTakenLiterally) {
  start(test::buildTestDictionary(dir, {"cat", "dog"}));
  search("*");
  const QString name = QString::fromUtf8("caf\u00E9 \"q\" it's.txt");
  onModal<QFileDialog>([&](QFileDialog* dialog) {
    dialog->setDirectory(toQString(dir.path().string()));
    auto* typed = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(typed, nullptr);
    typed->setText(name);
    QCoreApplication::processEvents();
    static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
  });
  frame().run(CommandId::SaveResults);
  const std::string saved = (dir.path() / name.toStdString()).string();
  EXPECT_TRUE(std::filesystem::exists(saved)) << saved;
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "q"));
  EXPECT_EQ(test::readFile(saved), "cat\ndog\n");
}

// A short message must not make the box narrower than its caption, which a
// window manager would cut ("Text File... ve Error").
TEST_F(SavePrintTest, AMessageBoxIsWideEnoughForItsWholeCaption) {
  start(test::buildTestDictionary(dir, {"cat"}));
  int width = 0, needed = 0;
  onModal<QMessageBox>([&](QMessageBox* box) {
    width = box->width();
    needed = box->fontMetrics().horizontalAdvance(box->windowTitle());
    box->accept();
  });
  view().messageBox("Results couldn't be saved", "Text File Save Error", SearchHost::Buttons::Ok,
                    SearchHost::Icon::Exclamation);
  ASSERT_GT(needed, 0);
  // The caption, in a title font often larger than the program's, and the
  // title bar's icon and buttons beside it (some 30 px each).
  EXPECT_GE(width, needed + 150) << "caption " << needed << " px wide";
}

TEST_F(SavePrintTest, SavingAsADictionaryBuildsOneWithTheResults) {
  start(test::buildTestDictionary(dir, {"cat", "caf\xe9", "cab+(taxi)+", "dog"}));
  search("ca*");
  const std::string target = dir.file("three");
  QString description, failureCaption, failureLog;
  onModal<QFileDialog>([&](QFileDialog* dialog) {
    dialog->selectNameFilter(dialog->nameFilters().value(1));
    select(dialog, target);
    onModal<DictionarySaveDialog>([&](DictionarySaveDialog* save) {
      description = save->descriptionField()->text();
      EXPECT_EQ(save->fileField()->text(), toQString(target + ".kkd"));
      // A folder that is not there: the log, and the dialog stays for another try.
      save->fileField()->setText(toQString(dir.file("missing/three.kkd")));
      onModal<QMessageBox>([&](QMessageBox* box) {
        failureCaption = box->windowTitle();
        failureLog = box->text();
        box->accept();
      });
      EXPECT_FALSE(save->save());
      EXPECT_TRUE(save->isVisible());
      save->fileField()->setText(toQString(target + ".kkd"));
      save->saveButton()->click();
    });
    acceptWhenSelected(dialog);
  });
  frame().run(CommandId::SaveResults);
  EXPECT_EQ(description, "test results with pattern ca*");
  EXPECT_EQ(failureCaption, "Dictionary Save Failed");
  EXPECT_TRUE(failureLog.contains("missing/three.kkd")) << failureLog.toStdString();
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
  DictionaryList::Handle saved = DictionaryList::make(target + ".kkd");
  ASSERT_TRUE(saved->isUsable(0));
  int entries = 0, definitions = 0, shortest = 0, longest = 0;
  saved->statistics(0, entries, definitions, shortest, longest);
  EXPECT_EQ(entries, 3);
  EXPECT_EQ(saved->description(0), "test results with pattern ca*");
  EXPECT_EQ(frame().resultsSaver().rememberedForm(), ResultsFileForm::Dictionary);
}

TEST_F(SavePrintTest, APausedSearchIsAbandonedBeforeADictionarySaveOnly) {
  start(test::buildTestDictionary(dir, test::generatedWords(30000, 5)));
  QLineEdit* edit = view().patternBox()->lineEdit();
  edit->setFocus();
  QTest::keyClicks(edit, "*");
  QTest::keyClick(edit, Qt::Key_Return);
  // The window's steps wait for the event loop; a few run here at once, so
  // that the search is surely paused midway however fast the machine is.
  ASSERT_EQ(view().controller().state(), SearchState::Searching);
  view().controller().step(3);
  QTest::keyClick(&view(), Qt::Key_Escape);
  ASSERT_EQ(view().controller().state(), SearchState::Paused);
  ASSERT_GT(list().count(), 0);

  onModal<QFileDialog>([&](QFileDialog* dialog) {
    select(dialog, dir.file("paused.txt"));
    acceptWhenSelected(dialog);
  });
  frame().run(CommandId::SaveResults);
  EXPECT_TRUE(std::filesystem::exists(dir.file("paused.txt")));
  EXPECT_EQ(view().controller().state(), SearchState::Paused);

  SearchState during = SearchState::Invalid;
  onModal<QFileDialog>([&](QFileDialog* dialog) {
    dialog->selectNameFilter(dialog->nameFilters().value(1));
    select(dialog, dir.file("paused.kkd"));
    onModal<DictionarySaveDialog>([&](DictionarySaveDialog* save) {
      during = view().controller().state();
      save->saveButton()->click();
    });
    acceptWhenSelected(dialog);
  });
  frame().run(CommandId::SaveResults);
  EXPECT_EQ(during, SearchState::Ready);
  EXPECT_EQ(view().controller().state(), SearchState::Ready);
  EXPECT_TRUE(std::filesystem::exists(dir.file("paused.kkd")));
}

int pdfPages(const std::string& path) {
  const std::string pdf = test::readFile(path);
  const std::regex page("/Type\\s*/Page[^s]");
  return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

TEST_F(SavePrintTest, FiveHundredEntriesPrintToAsManyPdfPagesAsTheLayoutHasAndPreviewSo) {
  start(test::buildTestDictionary(dir, test::generatedWords(500, 9)));
  search("*");
  ASSERT_EQ(list().count(), 500);
  ASSERT_TRUE(frame().action(CommandId::Print)->isEnabled());
  ASSERT_TRUE(frame().action(CommandId::PrintPreview)->isEnabled());

  // Deep top and bottom margins: several short pages.
  frame().values().printingMarginUnits = ResultsPrintout::kThousandthsOfInch;
  frame().values().printingTopMargin = 4000;
  frame().values().printingBottomMargin = 4000;
  QPrinter& printer = frame().resultsPrinting().printer();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(toQString(dir.file("out.pdf")));
  printer.setPageSize(QPageSize(QPageSize::A4));
  ResultsPrintoutFeeder feeder(list());
  ResultsPrintout printout("results", feeder, frame().workspace().options().fontPrinting,
                       ResultsPrinting::margins(frame().values()));
  const int printed = ResultsPrinting::printOn(printer, printout);
  const int pages = static_cast<int>(printout.pages().size());
  EXPECT_GE(pages, 4) << printout.linesPerPage() << " lines of " << printout.lineHeight() << ", width "
                      << printout.printableWidth() << ", top " << printout.top() << ", column "
                      << printout.pages()[0].width << " + " << printout.columnGap() << ", font "
                      << printout.deviceFont().height;
  EXPECT_EQ(printed, pages);
  EXPECT_EQ(printout.pages().back().end >= 500, true);
  EXPECT_EQ(pdfPages(dir.file("out.pdf")), pages);

  frame().run(CommandId::PrintPreview);
  PrintPreviewWindowKEA* preview = frame().resultsPrinting().previewWindow();
  ASSERT_NE(preview, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(preview));
  EXPECT_EQ(preview->statusText(), QString("Page 1 of %1").arg(pages));
  EXPECT_EQ(preview->findChild<QLabel*>("PreviewStatus")->text(), preview->statusText());
  EXPECT_FALSE(preview->previousButton()->isEnabled());
  EXPECT_FALSE(preview->selectedButton()->isEnabled());  // nothing is selected
  EXPECT_TRUE(preview->allButton()->isChecked());
  QTest::keyClick(preview, Qt::Key_PageDown);
  EXPECT_EQ(preview->statusText(), QString("Page 2 of %1").arg(pages));
  QTest::keyClick(preview, Qt::Key_End);
  EXPECT_EQ(preview->fromPage(), pages);
  EXPECT_FALSE(preview->nextButton()->isEnabled());
  QTest::keyClick(preview, Qt::Key_Home);
  preview->setTwoPages(true);
  EXPECT_EQ(preview->statusText(), "Page 1 - 2");
  QTest::keyClick(preview, Qt::Key_Right);
  EXPECT_EQ(preview->statusText(), "Page 2 - 3");
  // The pages are drawn: the preview is not blank.
  const QImage shot = preview->grab().toImage();
  EXPECT_FALSE(shot.isNull());
  QTest::keyClick(preview, Qt::Key_Escape);
  QCoreApplication::processEvents();
  EXPECT_EQ(frame().resultsPrinting().previewWindow(), nullptr);
}

// From an always-on-top main window the preview, modal as it is, must open
// above it, or the program looks frozen.
TEST_F(SavePrintTest, WithAlwaysOnTopThePreviewAndOtherWindowsOpenAboveTheMainWindow) {
  start(test::buildTestDictionary(dir, {"cat", "cab"}));
  search("*");
  frame().run(CommandId::AlwaysOnTop);
  ASSERT_TRUE(frame().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  frame().run(CommandId::PrintPreview);
  PrintPreviewWindowKEA* preview = frame().resultsPrinting().previewWindow();
  ASSERT_NE(preview, nullptr);
  EXPECT_TRUE(preview->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(preview->isVisible());
  frame().run(CommandId::QuickReference);
  ASSERT_NE(frame().quickReferenceWindow(), nullptr);
  EXPECT_TRUE(frame().quickReferenceWindow()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  // Switched off, the open windows no longer stay above everything.
  frame().run(CommandId::AlwaysOnTop);
  EXPECT_FALSE(preview->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(preview->isVisible());
  EXPECT_FALSE(frame().quickReferenceWindow()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  preview->close();
}

TEST_F(SavePrintTest, ThePreviewOfSelectedResultsShowsThemOnly) {
  start(test::buildTestDictionary(dir, test::generatedWords(500, 9)));
  search("*");
  selectFirstTwo();
  frame().run(CommandId::PrintPreview);
  PrintPreviewWindowKEA* preview = frame().resultsPrinting().previewWindow();
  ASSERT_NE(preview, nullptr);
  const QString all = preview->statusText();
  EXPECT_TRUE(preview->selectedButton()->isEnabled());
  preview->selectedButton()->click();
  EXPECT_TRUE(preview->selectedButton()->isChecked());
  EXPECT_FALSE(preview->allButton()->isChecked());
  EXPECT_EQ(preview->statusText(), "Page 1 of 1");
  EXPECT_EQ(preview->printout().entryCount(), 2);
  preview->allButton()->click();
  EXPECT_EQ(preview->statusText(), all);
  preview->close();
}

TEST_F(SavePrintTest, ThePrintDialogOffersTheSelectionOnlyWhenThereIsOne) {
  start(test::buildTestDictionary(dir, test::generatedWords(500, 9)));
  search("*");
  QPrinter& printer = frame().resultsPrinting().printer();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(toQString(dir.file("all.pdf")));
  bool offered = true;
  onModal<QPrintDialog>([&](QPrintDialog* dialog) {
    offered = dialog->testOption(QAbstractPrintDialog::PrintSelection);
    auto* selection = dialog->findChild<QAbstractButton*>(QStringLiteral("printSelection"));
    if (selection != nullptr) {
      EXPECT_TRUE(!selection->isEnabled() || selection->isHidden());
    }
    dialog->reject();
  });
  frame().run(CommandId::Print);
  EXPECT_FALSE(offered);

  selectFirstTwo();
  onModal<QPrintDialog>([&](QPrintDialog* dialog) {
    offered = dialog->testOption(QAbstractPrintDialog::PrintSelection);
    // The dialog's own "Selection" choice (Qt names it so).
    auto* selection = dialog->findChild<QAbstractButton*>(QStringLiteral("printSelection"));
    ASSERT_NE(selection, nullptr);
    EXPECT_TRUE(selection->isEnabled() && !selection->isHidden());
    selection->click();
    dialog->accept();
  });
  frame().run(CommandId::Print);
  EXPECT_TRUE(offered);
  EXPECT_EQ(printer.printRange(), QPrinter::Selection);
  const std::string printed = printer.outputFileName().toStdString();
  EXPECT_EQ(pdfPages(printed), 1) << printed;
}

TEST_F(SavePrintTest, PageSetupKeepsTheMarginsInTheUnitsItShows) {
  start(test::buildTestDictionary(dir, {"cat"}));
  MainViewState& values = frame().values();
  values.printingMarginUnits = MainViewState::kThousandthsOfInch;
  values.printingLeftMargin = 500;
  values.printingTopMargin = 750;
  values.printingRightMargin = 1000;
  values.printingBottomMargin = 2000;
  onModal<QPageSetupDialog>([](QPageSetupDialog* dialog) { dialog->accept(); });
  frame().run(CommandId::PageSetup);
  // Half an inch stays half an inch, in whichever units the dialog used.
  const double perInch = values.printingMarginUnits == MainViewState::kThousandthsOfInch ? 1000 : 2540;
  ASSERT_TRUE(values.printingMarginUnits == MainViewState::kThousandthsOfInch ||
              values.printingMarginUnits == MainViewState::kHundredthsOfMillimetre);
  EXPECT_NEAR(values.printingLeftMargin, 0.5 * perInch, 1);
  EXPECT_NEAR(values.printingTopMargin, 0.75 * perInch, 1);
  EXPECT_NEAR(values.printingRightMargin, 1.0 * perInch, 1);
  EXPECT_NEAR(values.printingBottomMargin, 2.0 * perInch, 1);
}

}  // namespace
}  // namespace kea::ui
