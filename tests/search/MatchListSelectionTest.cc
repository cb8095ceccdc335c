// Selecting in the results list: ranges, the keyboard and mouse rules, copy
// text, and what a window is told to repaint.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "search/MatchListLabelWindows.h"
#include "search/MatchListWindows.h"

namespace kea {
namespace {

using Key = MatchListWindows::Key;
using Ranges = std::vector<MatchListWindows::Selection>;

// A list of `n` entries "w00", "w01", … in the as-found order.
void fill(MatchListWindows& list, int n) {
  for (int i = 0; i < n; ++i) {
    char w[16];
    std::snprintf(w, sizeof w, "w%02d", i);
    ASSERT_TRUE(list.add(w, {}, {}, 0));
  }
}

std::vector<int> selectedRows(const MatchListWindows& list) {
  std::vector<int> rows;
  MatchListWindows::SelectionIterator it(list);
  for (int i = it.next(); i >= 0; i = it.next()) rows.push_back(i);
  return rows;
}

TEST(MatchListSelection, RangesMergeWhenTheyTouchAndSplitWhenCut) {
  MatchListWindows list;
  fill(list, 20);
  list.applySelection(2, 3, MatchListWindows::kSelectKeep, false);  // 2..4
  list.applySelection(5, 2, MatchListWindows::kSelectKeep, true);   // adjacent: 2..6
  list.applySelection(10, 2, MatchListWindows::kSelectKeep, true);
  EXPECT_EQ(list.selections(), (Ranges{{2, 5}, {10, 2}}));
  list.applySelection(6, 5, MatchListWindows::kSelectKeep, true);  // bridges both
  EXPECT_EQ(list.selections(), (Ranges{{2, 10}}));
  list.applySelection(4, 2, MatchListWindows::kDeselect, true);
  EXPECT_EQ(list.selections(), (Ranges{{2, 2}, {6, 6}}));
  EXPECT_EQ(list.selectedCount(), 8);
  EXPECT_TRUE(list.isSelected(3));
  EXPECT_FALSE(list.isSelected(4));
  EXPECT_TRUE(list.isSelected(11));
  EXPECT_FALSE(list.isSelected(12));
  list.applySelection(0, 1, MatchListWindows::kSelectReplace, false);
  EXPECT_EQ(list.selections(), (Ranges{{0, 1}}));
  // Rows beyond the list are never selected.
  list.selectAll();
  list.applySelection(15, 100, MatchListWindows::kSelectKeep, true);
  list.applySelection(-5, 3, MatchListWindows::kSelectKeep, true);
  EXPECT_EQ(list.selections(), (Ranges{{0, 20}}));
  EXPECT_EQ(list.selectedCount(), 20);
}

TEST(MatchListSelection, IteratorVisitsSelectedRowsInOrderAndResets) {
  MatchListWindows list;
  fill(list, 10);
  list.applySelection(7, 2, MatchListWindows::kSelectKeep, true);
  list.applySelection(1, 1, MatchListWindows::kSelectKeep, true);
  MatchListWindows::SelectionIterator it(list);
  EXPECT_EQ(it.next(), 1);
  EXPECT_EQ(it.next(), 7);
  EXPECT_EQ(it.next(), 8);
  EXPECT_EQ(it.next(), -1);
  EXPECT_EQ(it.next(), -1);
  it.reset();
  EXPECT_EQ(it.next(), 1);
}

TEST(MatchListSelection, SortedInsertionKeepsTheSameEntriesSelected) {
  MatchListWindows list;
  list.setOrder(MatchListWindows::kAlphabeticalAscending, false);
  for (const char* w : {"a", "c", "e", "g"}) ASSERT_TRUE(list.add(w, {}, {}, 0));
  list.applySelection(1, 2, MatchListWindows::kSelectKeep, false);  // c, e
  list.applySelection(3, 1, MatchListWindows::kSelectKeep, true);   // g (merged: 1..3)
  list.applySelection(3, 1, MatchListWindows::kDeselect, true);
  list.applySelection(3, 1, MatchListWindows::kSelectKeep, true);
  ASSERT_EQ(list.selections(), (Ranges{{1, 3}}));
  ASSERT_TRUE(list.add("d", {}, {}, 0));  // inside the range: it grows
  EXPECT_EQ(list.selections(), (Ranges{{1, 4}}));
  EXPECT_EQ(list.selectedCount(), 4);
  ASSERT_TRUE(list.add("b", {}, {}, 0));  // in front: it moves
  EXPECT_EQ(list.selections(), (Ranges{{2, 4}}));
  EXPECT_EQ(list.wordAt(2), "c");
  ASSERT_TRUE(list.add("z", {}, {}, 0));  // after it: nothing changes
  EXPECT_EQ(list.selections(), (Ranges{{2, 4}}));
}

TEST(MatchListSelection, CaretFollowsItsEntryOnlyWhileARangeIsBeingMade) {
  MatchListWindows list;
  list.setOrder(MatchListWindows::kAlphabeticalAscending, false);
  for (const char* w : {"b", "d", "f"}) ASSERT_TRUE(list.add(w, {}, {}, 0));
  list.keyDown(Key::Down, false, false);  // caret 0 -> 1
  ASSERT_EQ(list.caret(), 1);
  ASSERT_TRUE(list.add("a", {}, {}, 0));
  EXPECT_EQ(list.caret(), 1);
  list.keyDown(Key::Shift, true, false);
  ASSERT_EQ(list.shiftAnchor(), 1);
  ASSERT_TRUE(list.add("a", {}, {}, 0));
  EXPECT_EQ(list.shiftAnchor(), 2);
  EXPECT_EQ(list.caret(), 2);
}

TEST(MatchListSelection, MarksOnAnEmptyListDoNotRunPastTheEnd) {
  MatchListWindows list;
  list.setOrder(MatchListWindows::kAlphabeticalAscending, false);
  list.keyDown(Key::Shift, true, false);
  list.keyDown(Key::Down, true, false);
  EXPECT_EQ(list.selectedCount(), 0);
  ASSERT_TRUE(list.add("a", {}, {}, 0));
  EXPECT_EQ(list.caret(), 0);
  EXPECT_EQ(list.shiftAnchor(), 0);
  list.keyDown(Key::Down, true, false);
  EXPECT_EQ(selectedRows(list), (std::vector<int>{0}));
}

TEST(MatchListSelection, ShiftDownThenCtrlSpaceDeselectsTheCaretRow) {
  MatchListWindows list;
  fill(list, 10);
  // The first key puts the caret on row 0 before it moves.
  for (int i = 0; i < 3; ++i) list.keyDown(Key::Down, false, false);
  ASSERT_EQ(list.caret(), 3);
  EXPECT_EQ(selectedRows(list), (std::vector<int>{3}));
  list.keyDown(Key::Shift, true, false);
  list.keyDown(Key::Down, true, false);
  EXPECT_EQ(selectedRows(list), (std::vector<int>{3, 4}));
  list.keyUp(Key::Shift);
  list.keyDown(Key::Space, false, true);
  EXPECT_EQ(selectedRows(list), (std::vector<int>{3}));
  list.keyDown(Key::Down, false, true);  // Ctrl+arrow moves only the caret
  EXPECT_EQ(list.caret(), 5);
  EXPECT_EQ(selectedRows(list), (std::vector<int>{3}));
  list.keyDown(Key::Space, false, true);
  EXPECT_EQ(selectedRows(list), (std::vector<int>{3, 5}));
  list.keyDown(Key::Space, false, false);  // plain Space: the caret row alone
  EXPECT_EQ(selectedRows(list), (std::vector<int>{5}));
}

TEST(MatchListSelection, CaretStopsAtBothEnds) {
  MatchListWindows list;
  fill(list, 5);
  list.keyDown(Key::Up, false, false);  // no caret yet: it becomes 0 and stays
  EXPECT_EQ(list.caret(), 0);
  EXPECT_EQ(selectedRows(list), (std::vector<int>{0}));
  list.keyDown(Key::End, false, false);
  EXPECT_EQ(list.caret(), 4);
  list.keyDown(Key::Right, false, false);
  EXPECT_EQ(list.caret(), 4);
  list.keyDown(Key::PageDown, false, false);
  EXPECT_EQ(list.caret(), 4);
  list.keyDown(Key::Home, false, false);
  list.keyDown(Key::Left, false, false);
  EXPECT_EQ(list.caret(), 0);
  EXPECT_EQ(selectedRows(list), (std::vector<int>{0}));
}

TEST(MatchListSelection, ShiftAtTheEndKeepsTheRangeItMade) {
  MatchListWindows list;
  fill(list, 5);
  list.keyDown(Key::Home, false, false);
  list.keyDown(Key::Shift, true, false);
  list.keyDown(Key::End, true, false);
  ASSERT_EQ(selectedRows(list), (std::vector<int>{0, 1, 2, 3, 4}));
  list.keyDown(Key::Down, true, false);
  EXPECT_EQ(selectedRows(list), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(MatchListSelection, KeysOnAnEmptyListSelectNothing) {
  MatchListWindows list;
  for (Key k : {Key::Down, Key::End, Key::PageDown, Key::Up, Key::Space}) {
    list.keyDown(k, false, false);
    list.keyDown(k, true, true);
  }
  EXPECT_EQ(list.caret(), 0);
  EXPECT_EQ(list.selectedCount(), 0);
  EXPECT_EQ(list.copyText(), "");
}

TEST(MatchListSelection, PageKeysMoveByAWindowLessOneRowAndScrollToTheCaret) {
  MatchListWindows list;
  fill(list, 100);
  list.setLineHeight(10);
  list.setViewHeight(55);  // five whole rows
  list.keyDown(Key::PageDown, false, false);
  EXPECT_EQ(list.caret(), 4);
  EXPECT_EQ(list.scrollPosition(), 0);
  list.keyDown(Key::PageDown, false, false);
  EXPECT_EQ(list.caret(), 8);
  EXPECT_EQ(list.scrollPosition(), 90 - 55);  // row 8 at the bottom edge
  list.keyDown(Key::End, false, false);
  EXPECT_EQ(list.scrollPosition(), 1000 - 55);
  list.keyDown(Key::Home, false, false);
  EXPECT_EQ(list.scrollPosition(), 0);  // above the window: to the top
}

TEST(MatchListSelection, ContextMenuKeys) {
  MatchListWindows list;
  fill(list, 3);
  EXPECT_TRUE(list.keyDown(Key::Applications, false, false));
  EXPECT_TRUE(list.keyDown(Key::F10, true, false));
  EXPECT_FALSE(list.keyDown(Key::F10, false, false));
  EXPECT_EQ(list.contextMenu(), MatchListWindows::MenuKind::List);
  list.selectAll();
  EXPECT_EQ(list.contextMenu(), MatchListWindows::MenuKind::Entries);
}

TEST(MatchListSelection, DraggingSelectsTheRangeOnRelease) {
  MatchListWindows list;
  fill(list, 10);
  list.applySelection(8, 1, MatchListWindows::kSelectKeep, false);
  list.leftButtonDown(2, false, false);
  EXPECT_EQ(list.selectedCount(), 0);  // a plain click replaces the selection
  list.mouseMove(5, true);
  EXPECT_TRUE(list.isSelected(4));  // shown selected while dragging
  EXPECT_FALSE(list.isSelected(6));
  list.keyDown(Key::Down, false, false);  // ignored while the button is held
  EXPECT_EQ(list.caret(), 5);
  list.leftButtonUp();
  EXPECT_EQ(selectedRows(list), (std::vector<int>{2, 3, 4, 5}));
  EXPECT_EQ(list.pendingStart(), -1);

  // Dragging past the end stops at the last row.
  list.leftButtonDown(7, false, false);
  list.mouseMove(50, true);
  list.leftButtonUp();
  EXPECT_EQ(selectedRows(list), (std::vector<int>{7, 8, 9}));
}

TEST(MatchListSelection, CtrlClickTogglesAndShiftClickExtendsFromTheAnchor) {
  MatchListWindows list;
  fill(list, 10);
  list.leftButtonDown(2, false, false);
  list.leftButtonUp();
  list.leftButtonDown(5, true, false);  // Shift: from the caret (2) to 5
  list.leftButtonUp();
  EXPECT_EQ(selectedRows(list), (std::vector<int>{2, 3, 4, 5}));
  list.leftButtonDown(3, false, true);  // Ctrl on a selected row: deselect it
  EXPECT_FALSE(list.isSelected(3));
  list.leftButtonUp();
  EXPECT_EQ(selectedRows(list), (std::vector<int>{2, 4, 5}));
  list.leftButtonDown(8, false, true);  // Ctrl on an unselected row: add it
  list.leftButtonUp();
  EXPECT_EQ(selectedRows(list), (std::vector<int>{2, 4, 5, 8}));
  list.leftButtonDown(0, true, false);  // Shift again: from the last click (8)
  list.leftButtonUp();
  EXPECT_EQ(selectedRows(list), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(list.caret(), 0);
}

TEST(MatchListSelection, ReleasedButtonDropsThePendingRange) {
  MatchListWindows list;
  fill(list, 10);
  list.leftButtonDown(1, false, false);
  list.mouseMove(4, false);  // the button went up outside the window
  EXPECT_EQ(list.pendingStart(), -1);
  EXPECT_FALSE(list.isSelected(2));
  list.leftButtonUp();
  EXPECT_EQ(list.selectedCount(), 0);
}

TEST(MatchListSelection, ClicksBelowTheLastRowLeaveTheCaretOnARow) {
  MatchListWindows list;
  fill(list, 3);
  list.leftButtonDown(1, false, false);
  list.leftButtonUp();
  list.leftButtonDown(7, false, false);
  list.leftButtonUp();
  EXPECT_EQ(list.caret(), 1);
  list.rightButtonDown(7, false, false, false);
  EXPECT_EQ(list.caret(), 1);
  EXPECT_EQ(list.selectedCount(), 0);
  EXPECT_EQ(list.contextMenu(), MatchListWindows::MenuKind::List);
  EXPECT_EQ(list.copyText(), "");
}

TEST(MatchListSelection, RightClickSelectsAnUnselectedRowAlone) {
  MatchListWindows list;
  fill(list, 6);
  list.applySelection(1, 3, MatchListWindows::kSelectKeep, false);
  list.rightButtonDown(2, false, false, false);  // already selected: kept
  EXPECT_EQ(list.selectedCount(), 3);
  list.rightButtonDown(5, false, true, false);  // with Shift: ignored
  EXPECT_EQ(list.selectedCount(), 3);
  list.rightButtonDown(5, false, false, false);
  EXPECT_EQ(selectedRows(list), (std::vector<int>{5}));
  EXPECT_EQ(list.caret(), 5);
}

TEST(MatchListSelection, CopyTextEndsLinesOnlyForSeveralEntries) {
  MatchListWindows list;
  ASSERT_TRUE(list.add("apple", " (fruit)", "", 0));
  ASSERT_TRUE(list.add("pear", "", "+s", 0));
  ASSERT_TRUE(list.add("plum", "", "", 0));
  EXPECT_EQ(list.copyText(), "");
  list.applySelection(0, 1, MatchListWindows::kSelectKeep, false);
  EXPECT_EQ(list.copyText(), "apple (fruit)");
  list.applySelection(2, 1, MatchListWindows::kSelectKeep, true);
  EXPECT_EQ(list.copyText(), "apple (fruit)\r\nplum\r\n");
  list.selectAll();
  EXPECT_EQ(list.copyText(), "apple (fruit)\r\npear+s\r\nplum\r\n");
}

class CountingHost : public MatchListWindows::Host {
 public:
  void listChanged() override { ++calls; }
  int calls = 0;
};

TEST(MatchListSelection, InsertionsAboveTheWindowRepaintWhatIsInView) {
  MatchListWindows list;
  CountingHost host;
  list.setHost(&host);
  list.setOrder(MatchListWindows::kAlphabeticalAscending, false);
  list.setLineHeight(10);
  list.setViewHeight(30);
  for (char c = 'b'; c <= 'k'; ++c) ASSERT_TRUE(list.add(std::string(1, c), {}, {}, 0));
  list.setScrollPosition(50);  // rows 5..7 in view
  list.takeRepaint();
  ASSERT_TRUE(list.add("z", {}, {}, 0));  // below the window
  EXPECT_TRUE(list.takeRepaint().empty());
  ASSERT_TRUE(list.add("a", {}, {}, 0));  // above it: every row in view shifts
  EXPECT_EQ(list.takeRepaint(), (MatchListWindows::RowRange{5, 7}));
  EXPECT_EQ(list.visibleRows(), (MatchListWindows::RowRange{5, 7}));
  EXPECT_EQ(list.rowAtY(25), 7);

  EXPECT_EQ(list.scrollRange(), 0);
  list.refresh(false);
  EXPECT_EQ(host.calls, 0);
  list.refresh(true);
  EXPECT_EQ(host.calls, 1);
  EXPECT_EQ(list.scrollRange(), 120);
  list.clear();
  EXPECT_EQ(host.calls, 2);
  EXPECT_EQ(list.scrollPosition(), 0);
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.caret(), -1);
  EXPECT_EQ(list.pendingMode(), MatchListWindows::kSelectReplace);
  EXPECT_EQ(list.chunkCount(), 1);
  EXPECT_TRUE(list.visibleRows().empty());
}

TEST(MatchListSelection, DoubleClickFollowsTheOption) {
  MatchListWindows list;
  EXPECT_EQ(list.doubleClickCommand(0, false), MatchListWindows::DoubleClickCommand::None);
  fill(list, 1);
  EXPECT_EQ(list.doubleClickCommand(0, false), MatchListWindows::DoubleClickCommand::Lookup);
  EXPECT_EQ(list.doubleClickCommand(0, true), MatchListWindows::DoubleClickCommand::LookupInNewWindow);
  EXPECT_EQ(list.doubleClickCommand(1, true), MatchListWindows::DoubleClickCommand::ExternalLookup);
}

TEST(MatchListLabel, CaptionShowsNumberNameAndCount) {
  MatchListLabelWindows label;
  label.setName(0, "English");
  EXPECT_EQ(label.text(), "&1 English");
  label.setCount(0);
  EXPECT_EQ(label.text(), "&1 English (0)");
  label.setCount(1234);
  label.setName(2, "Words & Phrases");
  EXPECT_EQ(label.text(), "&3 Words && Phrases (1234)");
  label.setCount(-1);
  EXPECT_EQ(label.text(), "&3 Words && Phrases");
}

}  // namespace
}  // namespace kea
