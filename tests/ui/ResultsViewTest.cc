// The one results selection: the rows the user selects in a results view
// are what copying, printing, lookups and the context menu read, they follow
// their entries while a search inserts rows, and a cleared list has none.
// First a view over a list of its own, then the whole program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QPushButton>
#include <QTest>

#include <optional>
#include <string>
#include <vector>

#include "printing/PrintoutFeeder.h"
#include "search/ResultsList.h"
#include "search/ResultsSelection.h"
#include "support/PlainSelection.h"  // prints ranges as rows when a check fails
#include "ui/PrintPreviewWindow.h"
#include "ui/ResultsModel.h"
#include "ui/ResultsPane.h"
#include "ui/ResultsPrinting.h"
#include "ui/ResultsView.h"
#include "AppWindowTest.h"

namespace kea::ui {
namespace {

using Range = ResultsSelection::Range;
using Ranges = std::vector<Range>;
using Words = std::vector<std::string>;

class ResultsViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list.setOrder(ResultsList::kAlphabeticalAscending, false);
    for (const char* word : {"ant", "bee", "cat", "dog", "eel", "fox"}) ASSERT_TRUE(list.add(word, "", "", 0));
    model.sync();
    view.setResultsModel(&model);
    view.resize(200, 300);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QObject::connect(&view, &ResultsView::contextMenuWanted,
                     [this](ResultsList::MenuKind kind, const QPoint&) { menu = kind; });
  }
  void click(int row, Qt::KeyboardModifiers keys = {}) {
    QTest::mouseClick(view.viewport(), Qt::LeftButton, keys, view.visualRect(model.index(row, 0)).center());
  }
  // The menu the Menu key asks for.
  std::optional<ResultsList::MenuKind> askForMenu() {
    menu.reset();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(0, 0), view.mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(&view, &event);
    return menu;
  }
  Words selectedWords() {
    Words words;
    view.selection().forEachRow([&](int row) { words.emplace_back(list.wordAt(row)); });
    return words;
  }
  Words printedSelection() {
    ResultsPrintoutFeeder feeder(list, view.selection());
    feeder.restart(true);
    Words words;
    for (int i = 0; i < feeder.selectedCount(); ++i) words.emplace_back(feeder.next());
    return words;
  }

  ResultsList list;
  ResultsModel model{list};
  ResultsView view;
  std::optional<ResultsList::MenuKind> menu;
};

TEST_F(ResultsViewTest, WhatTheUserSelectsIsWhatCopyingPrintingAndTheMenuRead) {
  EXPECT_EQ(view.selection().count(), 0);
  EXPECT_EQ(list.copyText(view.selection(), "\n"), "");
  EXPECT_EQ(askForMenu(), ResultsList::MenuKind::List);

  click(1);
  EXPECT_EQ(view.selection().onlyRow(), 1);
  EXPECT_EQ(list.copyText(view.selection(), "\n"), "bee");  // one entry: no line end
  EXPECT_EQ(askForMenu(), ResultsList::MenuKind::Entries);

  click(3, Qt::ShiftModifier);
  click(2, Qt::ControlModifier);  // cut out of the middle
  click(5, Qt::ControlModifier);
  EXPECT_EQ(view.selection().ranges(), (Ranges{{1, 1}, {3, 1}, {5, 1}}));
  EXPECT_EQ(view.selection().onlyRow(), -1);
  EXPECT_EQ(list.copyText(view.selection(), "\n"), "bee\ndog\nfox\n");
  EXPECT_EQ(list.copyText(view.selection()), "bee\r\ndog\r\nfox\r\n");
  EXPECT_EQ(printedSelection(), (Words{"bee", "dog", "fox"}));
  EXPECT_EQ(askForMenu(), ResultsList::MenuKind::Entries);

  view.setFocus();
  QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(view.selection().ranges(), (Ranges{{0, 6}}));
  EXPECT_EQ(printedSelection(), (Words{"ant", "bee", "cat", "dog", "eel", "fox"}));

  // A cleared list takes its selection with it.
  list.clear();
  EXPECT_EQ(view.selection().count(), 0);
  EXPECT_EQ(list.copyText(view.selection(), "\n"), "");
  EXPECT_TRUE(printedSelection().empty());
  EXPECT_EQ(askForMenu(), ResultsList::MenuKind::List);
  ASSERT_TRUE(list.add("gnu", "", "", 0));
  model.sync();
  EXPECT_EQ(view.selection().count(), 0);  // nothing comes back with new rows
}

TEST_F(ResultsViewTest, RowsASearchInsertsLeaveTheSameEntriesSelected) {
  click(2);
  click(4, Qt::ShiftModifier);  // cat, dog, eel
  ASSERT_EQ(selectedWords(), (Words{"cat", "dog", "eel"}));
  // In front of the selection, inside it and after it, as a paused search
  // that goes on adds them; the window hears of them at its next sync.
  for (const char* word : {"ape", "cow", "yak"}) ASSERT_TRUE(list.add(word, "", "", 0));
  model.sync();
  ASSERT_EQ(model.rowCount(), 9);
  // A row that arrives inside the selection is not selected: what is copied
  // is what the list shows selected.
  EXPECT_EQ(selectedWords(), (Words{"cat", "dog", "eel"}));
  EXPECT_EQ(view.selection().ranges(), (Ranges{{3, 1}, {5, 2}}));
  EXPECT_EQ(list.copyText(view.selection(), "\n"), "cat\ndog\neel\n");
}

TEST_F(ResultsViewTest, AViewWithoutAModelHasNothingSelected) {
  ResultsView bare;
  EXPECT_EQ(bare.selection().count(), 0);
  EXPECT_TRUE(bare.selection().ranges().empty());
}

// The whole program: copying, the lookup's word and the printout of the
// selection all follow the list's rows.
class ResultsSelectionAppTest : public AppWindowTest {
 protected:
  ResultsView* results() { return view().pane(0)->view(); }
  const ResultsList& list() { return view().controller().group(0).list; }
  void selectRows(int first, int last) {
    results()->setFocus();
    results()->selectionModel()->setCurrentIndex(results()->model()->index(first, 0),
                                                 QItemSelectionModel::ClearAndSelect);
    for (int row = first + 1; row <= last; ++row) QTest::keyClick(results(), Qt::Key_Down, Qt::ShiftModifier);
  }
  // What Edit > Copy leaves on the clipboard.
  QString copied() {
    QApplication::clipboard()->setText(QStringLiteral("before"));
    view().copy(frame().workspace().activeDictionary());
    return QApplication::clipboard()->text();
  }
};

TEST_F(ResultsSelectionAppTest, CopyLookupAndPrintReadTheRowsSelectedInTheList) {
  start({test::buildTestDictionary(dir, {"ant", "bee", "cat", "dog"})});
  search("*");
  ASSERT_EQ(list().count(), 4);
  results()->setFocus();
  EXPECT_EQ(copied(), "before");  // nothing selected, nothing copied
  EXPECT_FALSE(view().controller().lookupSubject());

  selectRows(1, 1);
  ASSERT_TRUE(view().controller().lookupSubject());
  EXPECT_EQ(view().controller().lookupSubject()->word, "bee");
  EXPECT_EQ(copied(), "bee");

  selectRows(1, 2);
  EXPECT_FALSE(view().controller().lookupSubject());  // more than one
  EXPECT_EQ(copied(), "bee\ncat\n");  // Linux line ends
  frame().action(CommandId::PrintPreview)->trigger();
  PrintPreviewWindowKEA* preview = frame().resultsPrinting().previewWindow();
  ASSERT_NE(preview, nullptr);
  preview->selectedButton()->click();
  EXPECT_EQ(preview->printout().entryCount(), 2);
  preview->close();

  // A new search clears the list, and with it the selection.
  search("c*");
  ASSERT_EQ(list().count(), 1);
  results()->setFocus();
  EXPECT_EQ(view().resultsSelection(0).count(), 0);
  EXPECT_EQ(copied(), "before");
  EXPECT_FALSE(view().controller().lookupSubject());
}

}  // namespace
}  // namespace kea::ui
