// The results list: orders, chunking, duplicates, stored text, the rows it
// reports added, the selection ranges every reader sees, and what copying
// takes from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "dictionary/LetterFold.h"
#include "search/ResultsList.h"
#include "search/ResultsSelection.h"
#include "support/PlainSelection.h"

namespace kea {
namespace {

using Words = std::vector<std::string>;
using Ranges = std::vector<ResultsSelection::Range>;
using Rows = std::vector<int>;

Words listed(const ResultsList& list) {
  Words words;
  for (int i = 0; i < list.count(); ++i) words.emplace_back(list.wordAt(i));
  return words;
}

void addAll(ResultsList& list, const Words& words) {
  for (const auto& w : words) ASSERT_TRUE(list.add(w, {}, {}, 0));
}

TEST(ResultsOrder, The512thEntryOfAChunkSplitsItAndAsFoundListsAppend) {
  ResultsList sorted, asFound;
  sorted.setOrder(ResultsList::kAlphabeticalDescending, false);
  Words words;
  for (int i = 0; i < 1025; ++i) {
    std::string w;
    for (int v = i; w.size() < 3; v /= 26) w += static_cast<char>('a' + v % 26);
    words.push_back(w);
    ASSERT_TRUE(asFound.add(w, {}, {}, 0));
  }
  addAll(sorted, Words(words.begin(), words.begin() + 511));
  ASSERT_EQ(sorted.chunkCount(), 1);
  const Words before = listed(sorted);
  ASSERT_TRUE(sorted.add(words[511], {}, {}, 0));
  ASSERT_EQ(sorted.chunkCount(), 2);
  EXPECT_EQ(sorted.chunk(0).count(), 256);
  EXPECT_EQ(sorted.chunk(1).count(), 256);
  Words after = listed(sorted);
  after.erase(std::find(after.begin(), after.end(), words[511]));
  EXPECT_EQ(after, before);

  ASSERT_EQ(asFound.chunkCount(), 3);
  EXPECT_EQ(asFound.chunk(0).count(), 512);
  EXPECT_EQ(asFound.chunk(2).count(), 1);
  EXPECT_EQ(listed(asFound), words);
}

// A window that inserts the reported blocks into its own copy of the rows
// holds the list's rows: the rows it had keep their places among the new.
TEST(ResultsOrder, ReportedInsertionsReplayIntoTheListsRows) {
  struct NullHost : ResultsList::Host {
  } host;
  std::mt19937 random(7);
  for (int order = ResultsList::kAsFound; order <= ResultsList::kLengthDescendingAlphabeticalDescending;
       ++order) {
    ResultsList list;
    list.setHost(&host);
    list.setOrder(order, false);
    Words shadow;  // "" for a row the window has not seen the text of
    for (int batch = 0; batch < 60; ++batch) {
      const int adds = 1 + static_cast<int>(random() % 40);
      for (int i = 0; i < adds; ++i) {
        std::string w;
        for (int n = 1 + static_cast<int>(random() % 5); n > 0; --n) w += static_cast<char>('a' + random() % 6);
        ASSERT_TRUE(list.add(w, {}, {}, 0));
      }
      for (const ResultsList::RowBlock& b : list.takeInsertions()) {
        ASSERT_GE(b.first, 0);
        ASSERT_LE(b.first, static_cast<int>(shadow.size()));
        shadow.insert(shadow.begin() + b.first, static_cast<std::size_t>(b.count), std::string());
      }
      ASSERT_EQ(static_cast<int>(shadow.size()), list.count()) << order;
      for (int i = 0; i < list.count(); ++i) {
        if (!shadow[i].empty()) {
          ASSERT_EQ(shadow[i], list.wordAt(i)) << "order " << order << " row " << i;
        }
        shadow[i] = list.wordAt(i);
      }
    }
    list.clear();
    EXPECT_TRUE(list.takeInsertions().empty());
  }
}

TEST(ResultsOrder, StoredTextIsWordAnnotationBalanceCutTo255AndAFullListRefuses) {
  ResultsList list(3);
  ASSERT_TRUE(list.add("obelisks", " (n.)", "+s", 77));
  EXPECT_EQ(list.textAt(0), "obelisks (n.)+s");
  EXPECT_EQ(list.wordAt(0), "obelisks");
  EXPECT_EQ(list.entryAt(0)->reference(), 77u);
  ASSERT_TRUE(list.add(std::string(300, 'w'), "note", "", 0));
  EXPECT_EQ(list.textAt(1), std::string(255, 'w'));
  ASSERT_TRUE(list.add("short", std::string(300, 'a'), "+x", 0));
  EXPECT_EQ(list.textAt(2).size(), 255u);
  EXPECT_EQ(list.wordAt(2), "short");
  EXPECT_FALSE(list.add("more", {}, {}, 0));
  EXPECT_EQ(list.count(), 3);
  EXPECT_EQ(list.entryAt(3), nullptr);
  EXPECT_EQ(list.entryAt(-1), nullptr);
  EXPECT_EQ(list.textAt(3), "");
}

TEST(ResultsOrder, AsFoundIndexCoversOnlyWhatWasAddedAfterItWasAskedFor) {
  // Sorted insertions leave part-filled chunks behind; the index must still
  // find the rows appended after them.
  ResultsList list;
  list.setOrder(ResultsList::kAlphabeticalAscending, false);
  for (int i = 0; i < 700; ++i) ASSERT_TRUE(list.add(std::string(1 + i % 5, static_cast<char>('a' + i % 26)), {}, {}, 0));
  list.setOrder(ResultsList::kAsFound, true);
  Words later;
  for (int i = 0; i < 1200; ++i) {
    std::string w = "later";  // then i in letters: digits would not count
    for (int v = i; v > 0; v /= 26) w += static_cast<char>('a' + v % 26);
    later.push_back(w);
  }
  addAll(list, later);
  for (const auto& w : later) ASSERT_TRUE(list.contains(w)) << w;
  EXPECT_FALSE(list.contains("laterzzz"));
  EXPECT_FALSE(list.contains("a"));
  EXPECT_EQ(list.wordAt(700), "later");
}

// The reference: the same entries stably sorted by the order's rule.
bool referenceBefore(int order, const std::string& a, const std::string& b, int scoreA = -1, int scoreB = -1) {
  if (order >= ResultsList::kCommonFirst) {
    const int la = countLetters(a), lb = countLetters(b);
    if (order != ResultsList::kCommonFirst && la != lb) {
      return order == ResultsList::kLengthAscendingCommonFirst ? la < lb : la > lb;
    }
    if (scoreA != scoreB) return scoreA > scoreB;  // no score (-1) last
    return compareFolded(a, b) < 0;
  }
  if (order >= 3) {
    const int la = countLetters(a), lb = countLetters(b);
    if (la != lb) return order <= 4 ? la < lb : la > lb;
  }
  const int c = compareFolded(a, b);
  return order % 2 == 1 ? c < 0 : c > 0;
}

std::string randomWord(std::mt19937& rng) {
  static const std::string pool = "aAbBcdeE\xE9" "fgh- '";
  std::string w;
  const int n = 1 + static_cast<int>(rng() % 6);
  for (int i = 0; i < n; ++i) w += pool[rng() % pool.size()];
  return w;
}

// Many ties (case, accents, punctuation, scores) spread over many chunks:
// the order, the arrival order of equal entries, and contains() against a
// plain search, for entries sorted as they come and for a list that sorts
// once at the end.
TEST(ResultsOrder, ManyEntriesMatchAStableSortInEveryOrder) {
  std::mt19937 rng(20240517);
  Words words;
  std::vector<int> scores;
  for (int i = 0; i < 6000; ++i) {
    words.push_back(randomWord(rng));
    scores.push_back(static_cast<int>(rng() % 9) * 12 - 1);  // -1 (none), 11, 23, ... 95
  }
  for (int run = 0; run < 20; ++run) {
    const int order = run % 10;
    const bool deferred = run >= 10;
    ResultsList list;
    list.setDeferredOrder(deferred);
    list.clear();
    list.setOrder(order, true);
    for (std::size_t i = 0; i < words.size(); ++i) {
      ASSERT_TRUE(list.add(words[i], {}, {}, static_cast<std::uint32_t>(i), scores[i]));
    }
    list.finishOrder();
    std::vector<std::size_t> expected(words.size());
    for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = i;
    if (order != 0) {
      std::stable_sort(expected.begin(), expected.end(), [&](std::size_t a, std::size_t b) {
        return referenceBefore(order, words[a], words[b], scores[a], scores[b]);
      });
    }
    ASSERT_EQ(list.count(), static_cast<int>(words.size()));
    if (order == ResultsList::kCommonFirst) {
      EXPECT_EQ(list.entryAt(0)->score(), 95);
    }
    for (int k = 0; k < list.chunkCount(); ++k) EXPECT_LE(list.chunk(k).count(), 512);
    for (int i = 0; i < list.count(); ++i) ASSERT_EQ(list.entryAt(i)->reference(), expected[i]) << order << " row " << i;
    for (int i = list.count() - 1; i >= 0; i -= 7) ASSERT_EQ(list.entryAt(i)->reference(), expected[i]) << order;
    for (int probe = 0; probe < 300; ++probe) {
      const std::string w = randomWord(rng);
      const bool present =
          std::any_of(words.begin(), words.end(), [&](const std::string& x) { return compareFolded(x, w) == 0; });
      ASSERT_EQ(list.contains(w), present) << "order " << order << " word " << w;
    }
    EXPECT_FALSE(list.contains("tail")) << order;
    // Sorted once, the list goes on taking entries in their places.
    ASSERT_TRUE(list.add("aaaa", {}, {}, 99999, 100));
    if (order == ResultsList::kCommonFirst) {
      EXPECT_EQ(list.wordAt(0), "aaaa");
    }
  }
}

// Ranks finer than the scores (a meaning's, a phrase's), many of them
// equal, in a list sorted at the end: the same order as entries put in
// their places as they come, ties alphabetical and then as they arrived.
TEST(ResultsOrder, FineRanksSortedAtTheEndMatchRanksSortedAsTheyCome) {
  std::mt19937 rng(7);
  Words words;
  std::vector<int> ranks;
  for (int i = 0; i < 5000; ++i) {
    words.push_back(randomWord(rng));
    // Mostly a few common ranks, some spread wide, a few huge.
    const int kind = static_cast<int>(rng() % 10);
    ranks.push_back(kind < 6 ? 98000 + static_cast<int>(rng() % 5) * 60
                    : kind < 9 ? 98000 + static_cast<int>(rng() % 9000)
                               : static_cast<int>(rng() % 2000000000));
  }
  for (const bool spread : {false, true}) {
    ResultsList asTheyCome, atTheEnd;
    atTheEnd.setDeferredOrder(true);
    for (ResultsList* list : {&asTheyCome, &atTheEnd}) {
      list->clear();
      list->setOrder(ResultsList::kCommonFirst, false);
      for (std::size_t i = 0; i < words.size(); ++i) {
        // Without the huge ranks the counting sort takes the bucket.
        const int rank = spread || ranks[i] < 1000000 ? ranks[i] : 98000;
        ASSERT_TRUE(list->add(words[i], {}, {}, static_cast<std::uint32_t>(i), 50, rank));
      }
      list->finishOrder();
    }
    ASSERT_EQ(asTheyCome.count(), atTheEnd.count());
    for (int i = 0; i < atTheEnd.count(); ++i) {
      ASSERT_EQ(atTheEnd.entryAt(i)->reference(), asTheyCome.entryAt(i)->reference()) << "row " << i;
    }
    for (int i = 1; i < atTheEnd.count(); ++i) ASSERT_GE(atTheEnd.entryAt(i - 1)->rank(), atTheEnd.entryAt(i)->rank());
  }
}

Rows visited(const ResultsSelection& selection) {
  Rows rows;
  selection.forEachRow([&](int row) { rows.push_back(row); });
  return rows;
}

TEST(ResultsSelection, RangesComeSortedAndMergeWhenTheyTouchOrOverlap) {
  test::RangeListSelection s({{10, 2}, {5, 2}, {2, 3}});  // 2..4 and 5..6 touch
  EXPECT_EQ(s.ranges(), (Ranges{{2, 5}, {10, 2}}));
  s.raw.push_back({6, 5});  // bridges both
  EXPECT_EQ(s.ranges(), (Ranges{{2, 10}}));
  s.raw = {{6, 6}, {2, 2}, {7, 1}, {3, 0}, {6, 6}};  // one inside another, an empty one, a repeat
  EXPECT_EQ(s.ranges(), (Ranges{{2, 2}, {6, 6}}));
  EXPECT_EQ(s.count(), 8);
  EXPECT_EQ(visited(s), (Rows{2, 3, 6, 7, 8, 9, 10, 11}));
  // No row below 0, no negative length, and no wrap past the largest int.
  s.raw = {{-5, 3}, {-5, 8}, {4, -2}, {INT_MAX - 1, 100}, {INT_MIN, INT_MAX}};
  EXPECT_EQ(s.ranges(), (Ranges{{0, 3}, {INT_MAX - 1, 1}}));
  EXPECT_EQ(s.count(), 4);
  s.raw.clear();
  EXPECT_TRUE(s.ranges().empty());
  EXPECT_EQ(s.count(), 0);
  EXPECT_TRUE(visited(s).empty());
}

TEST(ResultsSelection, TheOnlyRowNeedsExactlyOneSelected) {
  test::RowSetSelection s;
  EXPECT_EQ(s.onlyRow(), -1);
  s.rows = {7};
  EXPECT_EQ(s.onlyRow(), 7);
  s.rows = {0};
  EXPECT_EQ(s.onlyRow(), 0);
  s.rows = {7, 8};  // one range of two rows
  EXPECT_EQ(s.onlyRow(), -1);
  s.rows = {3, 7};
  EXPECT_EQ(s.onlyRow(), -1);
  EXPECT_EQ(noSelection().count(), 0);
  EXPECT_EQ(noSelection().onlyRow(), -1);
}

TEST(ResultsSelection, CopyingTakesTheSelectedFullTextsInListOrder) {
  ResultsList list;
  list.setOrder(ResultsList::kAlphabeticalAscending, false);
  ASSERT_TRUE(list.add("cat", " (noun)", " +x", 0));
  ASSERT_TRUE(list.add("ant", "", "", 0));
  ASSERT_TRUE(list.add("dog", "", "", 0));  // ant, cat (noun) +x, dog
  test::RowSetSelection s;
  EXPECT_EQ(list.copyText(s), "");
  EXPECT_EQ(ResultsList::contextMenu(s), ResultsList::MenuKind::List);
  s.rows = {1};  // one entry: no line end
  EXPECT_EQ(list.copyText(s), "cat (noun) +x");
  EXPECT_EQ(ResultsList::contextMenu(s), ResultsList::MenuKind::Entries);
  s.rows = {2, 0};  // several: each ends its line, CR LF unless told otherwise
  EXPECT_EQ(list.copyText(s), "ant\r\ndog\r\n");
  EXPECT_EQ(list.copyText(s, "\n"), "ant\ndog\n");
  // Rows the list does not have are not copied, nor counted as a second entry.
  s.rows = {2, 3, 40};
  EXPECT_EQ(list.copyText(s, "\n"), "dog");
  list.clear();
  EXPECT_EQ(list.copyText(s, "\n"), "");
}

}  // namespace
}  // namespace kea
