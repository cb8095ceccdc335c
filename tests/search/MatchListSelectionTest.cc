// Selecting in the results list: ranges, the keyboard and mouse rules, and
// copy text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/MatchListLabelWindows.h"
#include "search/MatchListWindows.h"

namespace kea {
namespace {

using Key = MatchListWindows::Key;
using Ranges = std::vector<MatchListWindows::Selection>;
using Rows = std::vector<int>;

// A list of `n` entries "w0", "w1", … in the as-found order.
void fill(MatchListWindows& list, int n) {
  for (int i = 0; i < n; ++i) ASSERT_TRUE(list.add("w" + std::to_string(i), {}, {}, 0));
}

Rows selectedRows(const MatchListWindows& list) {
  Rows rows;
  MatchListWindows::SelectionIterator it(list);
  for (int i = it.next(); i >= 0; i = it.next()) rows.push_back(i);
  EXPECT_EQ(it.next(), -1);
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
  EXPECT_EQ(selectedRows(list), (Rows{2, 3, 6, 7, 8, 9, 10, 11}));
  list.applySelection(0, 1, MatchListWindows::kSelectReplace, false);
  EXPECT_EQ(list.selections(), (Ranges{{0, 1}}));
  // Rows beyond the list are never selected.
  list.selectAll();
  list.applySelection(15, 100, MatchListWindows::kSelectKeep, true);
  list.applySelection(-5, 3, MatchListWindows::kSelectKeep, true);
  EXPECT_EQ(list.selections(), (Ranges{{0, 20}}));
}

TEST(MatchListSelection, SortedInsertionKeepsTheSameEntriesSelected) {
  MatchListWindows list;
  list.setOrder(MatchListWindows::kAlphabeticalAscending, false);
  for (const char* w : {"a", "c", "e", "g"}) ASSERT_TRUE(list.add(w, {}, {}, 0));
  list.applySelection(1, 3, MatchListWindows::kSelectKeep, false);  // c, e, g
  ASSERT_TRUE(list.add("d", {}, {}, 0));  // inside the range: it grows
  EXPECT_EQ(list.selections(), (Ranges{{1, 4}}));
  ASSERT_TRUE(list.add("b", {}, {}, 0));  // in front: it moves
  EXPECT_EQ(list.selections(), (Ranges{{2, 4}}));
  ASSERT_TRUE(list.add("z", {}, {}, 0));  // after it: nothing changes
  EXPECT_EQ(list.selections(), (Ranges{{2, 4}}));

  // The caret follows its entry only while a range is being made.
  list.keyDown(Key::Down, false, false);  // the first key puts the caret on 0, then moves it
  ASSERT_EQ(list.caret(), 1);
  ASSERT_TRUE(list.add("aa", {}, {}, 0));
  EXPECT_EQ(list.caret(), 1);
  list.keyDown(Key::Shift, true, false);
  ASSERT_TRUE(list.add("A", {}, {}, 0));
  EXPECT_EQ(list.caret(), 2);
  EXPECT_EQ(list.shiftAnchor(), 2);
}

TEST(MatchListSelection, KeysOnAnEmptyListSelectNothingAndMarkNothingPastTheEnd) {
  MatchListWindows list;
  list.setOrder(MatchListWindows::kAlphabeticalAscending, false);
  for (Key k : {Key::Shift, Key::Down, Key::End, Key::PageDown, Key::Up, Key::Space}) {
    list.keyDown(k, false, false);
    list.keyDown(k, true, true);
  }
  EXPECT_EQ(list.selectedCount(), 0);
  EXPECT_EQ(list.copyText(), "");
  ASSERT_TRUE(list.add("a", {}, {}, 0));
  EXPECT_EQ(list.caret(), 0);
  list.keyDown(Key::Shift, true, false);
  list.keyDown(Key::Down, true, false);
  EXPECT_EQ(selectedRows(list), Rows{0});
}

TEST(MatchListSelection, ArrowsShiftCtrlAndSpace) {
  MatchListWindows list;
  fill(list, 10);
  for (int i = 0; i < 3; ++i) list.keyDown(Key::Down, false, false);  // the first puts the caret on 0
  EXPECT_EQ(selectedRows(list), Rows{3});
  list.keyDown(Key::Shift, true, false);
  list.keyDown(Key::Down, true, false);
  EXPECT_EQ(selectedRows(list), (Rows{3, 4}));
  list.keyUp(Key::Shift);
  list.keyDown(Key::Space, false, true);  // Ctrl+Space deselects the caret row
  EXPECT_EQ(selectedRows(list), Rows{3});
  list.keyDown(Key::Down, false, true);  // Ctrl+arrow moves only the caret
  list.keyDown(Key::Space, false, true);
  EXPECT_EQ(selectedRows(list), (Rows{3, 5}));
  list.keyDown(Key::Space, false, false);  // plain Space: the caret row alone
  EXPECT_EQ(selectedRows(list), Rows{5});

  // The caret stops at both ends; Shift at the end keeps its range.
  list.keyDown(Key::End, false, false);
  list.keyDown(Key::Right, false, false);
  list.keyDown(Key::PageDown, false, false);
  EXPECT_EQ(list.caret(), 9);
  list.keyDown(Key::Home, false, false);
  list.keyDown(Key::Left, false, false);
  EXPECT_EQ(selectedRows(list), Rows{0});
  list.keyDown(Key::Shift, true, false);
  list.keyDown(Key::End, true, false);
  list.keyDown(Key::Down, true, false);
  EXPECT_EQ(list.selectedCount(), 10);
}

TEST(MatchListSelection, DraggingSelectsTheRangeOnRelease) {
  MatchListWindows list;
  fill(list, 10);
  list.applySelection(8, 1, MatchListWindows::kSelectKeep, false);
  list.leftButtonDown(2, false, false);
  EXPECT_EQ(list.selectedCount(), 0);  // a plain click replaces the selection
  list.mouseMove(5, true);
  EXPECT_TRUE(list.isSelected(4));  // shown selected while dragging
  list.keyDown(Key::Down, false, false);  // ignored while the button is held
  list.leftButtonUp();
  EXPECT_EQ(selectedRows(list), (Rows{2, 3, 4, 5}));
  list.leftButtonDown(7, false, false);
  list.mouseMove(50, true);  // past the end: the last row
  list.leftButtonUp();
  EXPECT_EQ(selectedRows(list), (Rows{7, 8, 9}));
  // The button went up outside the window: the pending range is dropped.
  list.leftButtonDown(1, false, false);
  list.mouseMove(4, false);
  list.leftButtonUp();
  EXPECT_EQ(list.selectedCount(), 0);
}

TEST(MatchListSelection, CtrlClickTogglesShiftClickExtendsRightClickSelectsAlone) {
  MatchListWindows list;
  fill(list, 10);
  const auto click = [&](int row, bool shift, bool ctrl) {
    list.leftButtonDown(row, shift, ctrl);
    list.leftButtonUp();
  };
  click(2, false, false);
  click(5, true, false);
  EXPECT_EQ(selectedRows(list), (Rows{2, 3, 4, 5}));
  click(3, false, true);
  click(8, false, true);
  EXPECT_EQ(selectedRows(list), (Rows{2, 4, 5, 8}));
  click(0, true, false);  // from the last click (8)
  EXPECT_EQ(selectedRows(list), (Rows{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  list.rightButtonDown(2, false, false, false);  // already selected: kept
  list.rightButtonDown(9, false, true, false);   // with Shift: ignored
  EXPECT_EQ(list.selectedCount(), 9);
  list.rightButtonDown(9, false, false, false);
  EXPECT_EQ(selectedRows(list), Rows{9});
  EXPECT_EQ(list.contextMenu(), MatchListWindows::MenuKind::Entries);
  // Below the last row: the caret stays on a row and nothing is selected.
  click(12, false, false);
  list.rightButtonDown(12, false, false, false);
  EXPECT_EQ(list.caret(), 9);
  EXPECT_EQ(list.selectedCount(), 0);
  EXPECT_EQ(list.contextMenu(), MatchListWindows::MenuKind::List);
}

TEST(MatchListSelection, CopyTextEndsLinesOnlyForSeveralEntries) {
  MatchListWindows list;
  ASSERT_TRUE(list.add("apple", " (fruit)", "", 0));
  ASSERT_TRUE(list.add("pear", "", "+s", 0));
  ASSERT_TRUE(list.add("plum", "", "", 0));
  EXPECT_EQ(list.copyText(), "");
  list.applySelection(0, 1, MatchListWindows::kSelectKeep, false);
  EXPECT_EQ(list.copyText(), "apple (fruit)");
  list.selectAll();
  EXPECT_EQ(list.copyText(), "apple (fruit)\r\npear+s\r\nplum\r\n");
}

TEST(MatchListLabel, CaptionShowsNumberNameAndCount) {
  MatchListLabelWindows label;
  label.setName(0, "English");
  EXPECT_EQ(label.text(), "&1 English");
  label.setCount(1234);
  label.setName(2, "Words & Phrases");
  EXPECT_EQ(label.text(), "&3 Words && Phrases (1234)");
  label.setCount(-1);
  EXPECT_EQ(label.text(), "&3 Words && Phrases");
}

}  // namespace
}  // namespace kea
