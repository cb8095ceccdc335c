// The main view on the offscreen platform: the results models stay valid
// while a search fills them, typing and Return run a search from the event
// loop, Stop answers between two slices, and characters outside the
// dictionaries' code page are reported.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "search/FakeView.h"
#include "ui/MainView.h"
#include "ui/ResultsModel.h"
#include "ui/ResultsPane.h"
#include "ui/ResultsView.h"

namespace kea::ui {
namespace {

class MainViewTest : public ::testing::Test {
 protected:
  void open(const std::vector<std::vector<std::string>>& dictionaries) {
    std::string names;
    for (std::size_t i = 0; i < dictionaries.size(); ++i) {
      test::TestDictionaryOptions options;
      options.fileName = "d" + std::to_string(i) + ".kkd";
      names += test::buildTestDictionary(dir, dictionaries[i], options) + ";";
    }
    workspace.list = DictionaryList::make(names);
    view = std::make_unique<MainView>(workspace);
    view->resize(600, 400);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
  }
  // Types the pattern as the keyboard would; text beyond ASCII arrives as
  // an input method would put it in.
  void typePattern(const QString& text) {
    QLineEdit* edit = view->patternBox()->lineEdit();
    edit->setFocus();
    edit->clear();
    for (const QChar c : text) {
      if (c.unicode() < 0x80) {
        QTest::keyClick(edit, c.toLatin1());
      } else {
        edit->insert(QString(c));
      }
    }
  }
  // Lets the event loop run until the search stops.
  void waitForSearch() {
    QElapsedTimer timer;
    timer.start();
    while (view->controller().state() == SearchState::Searching && timer.elapsed() < 20000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
  }
  std::vector<std::string> shown(int pane) {
    std::vector<std::string> out;
    ResultsModel* model = view->pane(pane)->model();
    for (int i = 0; i < model->rowCount(); ++i) out.push_back(model->index(i).data().toString().toStdString());
    return out;
  }

  test::TempDir dir;
  test::FakeWorkspace workspace;
  std::unique_ptr<MainView> view;
};

TEST_F(MainViewTest, ModelsStayConsistentWhileASearchFillsThem) {
  const std::vector<std::string> words = test::generatedWords(20000, 4);
  open({words, test::generatedWords(30, 4)});
  for (const bool sorted : {false, true}) {
    workspace.profile.setViewSorting(sorted);
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
    for (int i = 0; i < view->paneCount(); ++i) {
      testers.push_back(std::make_unique<QAbstractItemModelTester>(
          view->pane(i)->model(), QAbstractItemModelTester::FailureReportingMode::Fatal));
    }
    typePattern("*");
    QTest::keyClick(view->patternBox()->lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(view->stepping());  // the search runs from the event loop
    waitForSearch();
    ASSERT_EQ(view->controller().state(), SearchState::Ready);
    EXPECT_EQ(view->pane(0)->model()->rowCount(), 20000);
    EXPECT_EQ(view->pane(1)->model()->rowCount(), 0);  // all found in the first already
    EXPECT_EQ(view->statusLine(), "20000 results found");
    EXPECT_EQ(view->pane(0)->caption()->text().toStdString(),
              "&1 " + workspace.list->name(0) + " (20000)");
    std::vector<std::string> listed = shown(0), expected = words;
    if (sorted) {
      EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
      }));
    }
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
  }
}

TEST_F(MainViewTest, StopPausesAtOnceAndResumeFinishes) {
  open({test::generatedWords(20000, 4)});
  typePattern("*");
  QTest::keyClick(view->patternBox()->lineEdit(), Qt::Key_Return);
  ASSERT_EQ(view->controller().state(), SearchState::Searching);
  EXPECT_EQ(view->searchButton()->text(), "&Stop");
  EXPECT_FALSE(view->patternBox()->isEnabled());
  // Stop takes effect before the next slice runs.
  QTest::mouseClick(view->searchButton(), Qt::LeftButton);
  EXPECT_EQ(view->controller().state(), SearchState::Paused);
  EXPECT_FALSE(view->stepping());
  EXPECT_EQ(view->searchButton()->text(), "Re&sume");
  EXPECT_TRUE(view->patternBox()->isEnabled());
  EXPECT_EQ(view->statusLine(), "Searching paused - click on Resume to continue");
  QTest::mouseClick(view->searchButton(), Qt::LeftButton);
  EXPECT_TRUE(view->stepping());
  waitForSearch();
  EXPECT_EQ(view->pane(0)->model()->rowCount(), 20000);
  EXPECT_EQ(view->statusLine(), "20000 results found");
}

TEST_F(MainViewTest, ListsTakeNoClicksWhileSearchingAndSelectForTheReaders) {
  open({test::generatedWords(50, 4)});
  typePattern("*");
  ResultsView* list = view->pane(0)->view();
  QTest::keyClick(view->patternBox()->lineEdit(), Qt::Key_Return);
  EXPECT_TRUE(list->locked());  // from the start of the search
  waitForSearch();
  EXPECT_FALSE(list->locked());
  const ResultsSelection& selected = view->resultsSelection(0);
  const auto click = [&](int row, Qt::KeyboardModifiers keys) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, list->visualRect(list->model()->index(row, 0)).center());
  };
  list->setLocked(true);
  click(2, {});
  EXPECT_EQ(selected.count(), 0);
  list->setLocked(false);
  // Clicks and Ctrl-clicks select; the selection that copying and lookups
  // read is the one the list shows.
  click(1, {});
  click(3, Qt::ControlModifier);
  EXPECT_EQ(selected.count(), 2);
  EXPECT_EQ(selected.ranges(), (std::vector<ResultsSelection::Range>{{1, 1}, {3, 1}}));
  list->selectAll();
  EXPECT_EQ(selected.count(), 50);
}

TEST_F(MainViewTest, ACharacterOutsideTheCodePageIsReported) {
  open({{"cafe", "caf\xE9"}});
  typePattern(QString::fromUtf8("caf\u00E9"));
  EXPECT_EQ(view->controller().state(), SearchState::Ready);
  typePattern(QString::fromUtf8("caf\u2192"));
  EXPECT_EQ(view->controller().state(), SearchState::Invalid);
  EXPECT_EQ(view->statusLine().toStdString(), "The pattern holds a character (U+2192) that no KEA dictionary can hold");
  EXPECT_FALSE(view->searchButton()->isEnabled());
}

TEST_F(MainViewTest, LengthBoxesClampWhatIsTypedWhenEditingFinishes) {
  open({{"cat"}});
  QSpinBox* longest = view->lengthSpin(SearchHost::LengthBox::Longest);
  QSpinBox* shortest = view->lengthSpin(SearchHost::LengthBox::Shortest);
  longest->setFocus();
  longest->selectAll();
  QTest::keyClicks(longest, "150");
  QTest::keyClick(longest, Qt::Key_Return);
  EXPECT_EQ(longest->value(), 100);
  shortest->setFocus();
  shortest->selectAll();
  QTest::keyClicks(shortest, "0");
  // Focus leaving the box finishes the edit as Return does.
  longest->setFocus();
  EXPECT_EQ(shortest->value(), 1);
}

// Typing "15" into Longest passes through "1" on the way: the Shortest box
// must not follow every keystroke down to 1.
TEST_F(MainViewTest, LengthBoxesCoupleOnlyWhenEditingFinishes) {
  open({{"cat"}});
  QSpinBox* longest = view->lengthSpin(SearchHost::LengthBox::Longest);
  QSpinBox* shortest = view->lengthSpin(SearchHost::LengthBox::Shortest);
  shortest->setFocus();
  shortest->selectAll();
  QTest::keyClicks(shortest, "10");
  QTest::keyClick(shortest, Qt::Key_Return);
  longest->setFocus();
  longest->selectAll();
  QTest::keyClicks(longest, "15");
  EXPECT_EQ(shortest->value(), 10);
  QTest::keyClick(longest, Qt::Key_Return);
  EXPECT_EQ(shortest->value(), 10);
  EXPECT_EQ(longest->value(), 15);
  // A finished value below Shortest still pulls it down, and the arrows
  // take effect at once.
  longest->selectAll();
  QTest::keyClicks(longest, "8");
  QTest::keyClick(longest, Qt::Key_Return);
  EXPECT_EQ(shortest->value(), 8);
  QTest::keyClick(longest, Qt::Key_Down);
  EXPECT_EQ(longest->value(), 7);
  EXPECT_EQ(shortest->value(), 7);
}

// What an earlier pattern found is shown as out of date while a new one is
// typed, until Return searches it.
TEST_F(MainViewTest, ListsOfAnEarlierPatternAreShownStaleUntilTheNextSearch) {
  open({{"cat", "cab", "dog"}, {"cow"}});
  typePattern("ca*");
  EXPECT_FALSE(view->pane(0)->view()->stale());  // nothing listed yet
  QTest::keyClick(view->patternBox()->lineEdit(), Qt::Key_Return);
  waitForSearch();
  ASSERT_EQ(view->pane(0)->model()->rowCount(), 2);
  EXPECT_FALSE(view->pane(0)->view()->stale());
  QTest::keyClick(view->patternBox()->lineEdit(), Qt::Key_Backspace);
  EXPECT_TRUE(view->pane(0)->view()->stale());
  EXPECT_FALSE(view->pane(1)->view()->stale());  // an empty list says nothing old
  QTest::keyClick(view->patternBox()->lineEdit(), Qt::Key_Asterisk);
  EXPECT_FALSE(view->pane(0)->view()->stale());  // the searched pattern again
  typePattern("d*");
  EXPECT_TRUE(view->pane(0)->view()->stale());
  QTest::keyClick(view->patternBox()->lineEdit(), Qt::Key_Return);
  waitForSearch();
  EXPECT_FALSE(view->pane(0)->view()->stale());
  EXPECT_EQ(shown(0), std::vector<std::string>{"dog"});
}

// Many patterns are the beginnings of older ones: what is typed is what is
// searched, and the history stays in the drop-down list.
TEST_F(MainViewTest, ThePatternBoxNeverCompletesFromTheHistory) {
  open({{"electr", "electron", "toboggan"}});
  view->insertHistory("electron");
  view->insertHistory("......*;gdangboot");
  typePattern("electr");
  EXPECT_EQ(view->patternBox()->currentText(), "electr");
  EXPECT_FALSE(view->patternBox()->lineEdit()->hasSelectedText());
  EXPECT_EQ(view->patternText(), "electr");
  QTest::keyClick(view->patternBox()->lineEdit(), Qt::Key_Return);
  waitForSearch();
  EXPECT_EQ(shown(0), std::vector<std::string>{"electr"});
  typePattern("....");
  EXPECT_EQ(view->patternBox()->currentText(), "....");
  EXPECT_EQ(view->patternText(), "....");
  EXPECT_GE(view->patternBox()->count(), 2);
}

}  // namespace
}  // namespace kea::ui
