// Contents of the results list: orders, chunking, duplicates, stored text.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "dictionary/LetterFold.h"
#include "search/MatchListWindows.h"

namespace kea {
namespace {

using Words = std::vector<std::string>;

Words listed(const MatchListWindows& list) {
  Words words;
  for (int i = 0; i < list.count(); ++i) words.emplace_back(list.wordAt(i));
  return words;
}

void addAll(MatchListWindows& list, const Words& words) {
  for (const auto& w : words) ASSERT_TRUE(list.add(w, {}, {}, 0));
}

struct OrderCase {
  int order;
  Words expected;
};

TEST(MatchListOrder, EachOrderPlacesLengthThenLettersIgnoringCase) {
  const Words arrivals = {"cat", "Ant", "be", "ape"};
  const OrderCase cases[] = {
      {0, {"cat", "Ant", "be", "ape"}}, {1, {"Ant", "ape", "be", "cat"}}, {2, {"cat", "be", "ape", "Ant"}},
      {3, {"be", "Ant", "ape", "cat"}}, {4, {"be", "cat", "ape", "Ant"}}, {5, {"Ant", "ape", "cat", "be"}},
      {6, {"cat", "ape", "Ant", "be"}},
  };
  for (const auto& c : cases) {
    MatchListWindows list;
    list.setOrder(c.order, false);
    addAll(list, arrivals);
    EXPECT_EQ(listed(list), c.expected) << "order " << c.order;
  }
}

TEST(MatchListOrder, LengthCountsLettersOnly) {
  MatchListWindows list;
  list.setOrder(MatchListWindows::kLengthAscendingAlphabeticalAscending, false);
  addAll(list, {"abcd", "o'clock", "a-b-c", "x y"});
  // 4, 6, 3 and 2 letters.
  EXPECT_EQ(listed(list), (Words{"x y", "a-b-c", "abcd", "o'clock"}));
}

TEST(MatchListOrder, EqualEntriesKeepTheirArrivalOrder) {
  for (int order : {1, 2, 3, 6}) {
    MatchListWindows list;
    list.setOrder(order, false);
    addAll(list, {"tail-end", "zebra", "Tailend", "aardvark", "TAIL END"});
    const Words words = listed(list);
    const auto first = std::find(words.begin(), words.end(), "tail-end");
    ASSERT_LE(first + 3, words.end());
    EXPECT_EQ(*(first + 1), "Tailend") << order;
    EXPECT_EQ(*(first + 2), "TAIL END") << order;
  }
}

TEST(MatchListOrder, The512thEntryOfAChunkSplitsItInHalves) {
  MatchListWindows list;
  list.setOrder(MatchListWindows::kAlphabeticalDescending, false);
  std::vector<std::string> words;
  for (int i = 0; i < 512; ++i) {
    std::string w;
    for (int v = i; w.size() < 3; v /= 26) w += static_cast<char>('a' + v % 26);
    words.push_back(w);
  }
  for (int i = 0; i < 511; ++i) ASSERT_TRUE(list.add(words[i], {}, {}, 0));
  ASSERT_EQ(list.chunkCount(), 1);
  const Words before = listed(list);
  ASSERT_TRUE(list.add(words[511], {}, {}, 0));
  ASSERT_EQ(list.chunkCount(), 2);
  EXPECT_EQ(list.chunk(0).count(), 256);
  EXPECT_EQ(list.chunk(1).count(), 256);
  Words after = listed(list);
  after.erase(std::find(after.begin(), after.end(), words[511]));
  EXPECT_EQ(after, before);
}

TEST(MatchListOrder, AsFoundListsAppendToFullChunks) {
  MatchListWindows list;
  for (int i = 0; i < 1025; ++i) {
    std::string w = "w";
    w += std::to_string(i);
    ASSERT_TRUE(list.add(w, {}, {}, 0));
  }
  ASSERT_EQ(list.chunkCount(), 3);
  EXPECT_EQ(list.chunk(0).count(), 512);
  EXPECT_EQ(list.chunk(2).count(), 1);
  EXPECT_EQ(list.wordAt(1024), "w1024");
  EXPECT_EQ(list.wordAt(513), "w513");
  EXPECT_EQ(list.wordAt(0), "w0");
}

TEST(MatchListOrder, StoredTextIsWordAnnotationBalanceCutTo255) {
  MatchListWindows list;
  ASSERT_TRUE(list.add("obelisks", " (n.)", "+s", 77));
  EXPECT_EQ(list.textAt(0), "obelisks (n.)+s");
  EXPECT_EQ(list.wordAt(0), "obelisks");
  EXPECT_EQ(list.entryAt(0)->rest(), " (n.)+s");
  EXPECT_EQ(list.entryAt(0)->reference(), 77u);

  const std::string longWord(300, 'w');
  ASSERT_TRUE(list.add(longWord, "note", "", 0));
  EXPECT_EQ(list.textAt(1), std::string(255, 'w'));
  EXPECT_EQ(list.entryAt(1)->wordLength(), 255);

  ASSERT_TRUE(list.add("short", std::string(300, 'a'), "+x", 0));
  EXPECT_EQ(list.textAt(2).size(), 255u);
  EXPECT_EQ(list.wordAt(2), "short");

  EXPECT_EQ(list.entryAt(3), nullptr);
  EXPECT_EQ(list.entryAt(-1), nullptr);
  EXPECT_EQ(list.textAt(3), "");
}

TEST(MatchListOrder, FullListRefusesAndStaysIntact) {
  MatchListWindows list(3);
  list.setOrder(1, false);
  addAll(list, {"b", "c", "a"});
  EXPECT_FALSE(list.add("aa", {}, {}, 0));
  EXPECT_EQ(list.count(), 3);
  EXPECT_EQ(listed(list), (Words{"a", "b", "c"}));
  EXPECT_FALSE(list.contains("aa"));
}

TEST(MatchListOrder, ContainsMatchesLettersIgnoringCaseAccentsAndPunctuation) {
  for (int order = 0; order <= 6; ++order) {
    MatchListWindows list;
    list.setOrder(order, true);
    addAll(list, {"tail-end", "caf\xE9", "ice cream"});
    EXPECT_TRUE(list.contains("Tailend")) << order;
    EXPECT_TRUE(list.contains("CAFE")) << order;
    EXPECT_TRUE(list.contains("icecream")) << order;
    EXPECT_FALSE(list.contains("tailends")) << order;
    EXPECT_FALSE(list.contains("tail")) << order;
    EXPECT_FALSE(list.contains("")) << order;
  }
}

TEST(MatchListOrder, AsFoundWithoutIndexNeverReportsADuplicate) {
  MatchListWindows list;
  list.setOrder(MatchListWindows::kAsFound, false);
  addAll(list, {"alpha", "beta"});
  EXPECT_FALSE(list.contains("alpha"));
  // The index covers only what was added after it was asked for.
  list.setOrder(MatchListWindows::kAsFound, true);
  addAll(list, {"gamma"});
  EXPECT_TRUE(list.contains("gamma"));
  EXPECT_FALSE(list.contains("alpha"));
}

TEST(MatchListOrder, IndexFindsEntriesAfterAnOrderChange) {
  // Sorted insertions leave part-filled chunks behind; the index must still
  // find the rows appended after them.
  MatchListWindows list;
  list.setOrder(MatchListWindows::kAlphabeticalAscending, false);
  for (int i = 0; i < 700; ++i) ASSERT_TRUE(list.add(std::string(1 + i % 5, static_cast<char>('a' + i % 26)), {}, {}, 0));
  list.setOrder(MatchListWindows::kAsFound, true);
  std::vector<std::string> later;
  for (int i = 0; i < 1200; ++i) {
    std::string w = "later";  // then i in letters: digits would not count
    for (int v = i; v > 0; v /= 26) w += static_cast<char>('a' + v % 26);
    later.push_back(w);
    ASSERT_TRUE(list.add(w, {}, {}, 0));
  }
  for (const auto& w : later) ASSERT_TRUE(list.contains(w)) << w;
  EXPECT_FALSE(list.contains("laterzzz"));
  EXPECT_FALSE(list.contains("a"));  // listed before the index was asked for
  EXPECT_EQ(list.wordAt(700), "later");
}

TEST(MatchListOrder, ContainsFindsDuplicatesSpanningChunks) {
  for (int order : {1, 2, 4, 5}) {
    MatchListWindows list;
    list.setOrder(order, false);
    for (int i = 0; i < 1500; ++i) {
      ASSERT_TRUE(list.add(i % 3 == 0 ? "same" : (i % 3 == 1 ? "Same" : "S-A-M-E"), {}, {}, 0));
    }
    ASSERT_TRUE(list.add("samf", {}, {}, 0));
    ASSERT_TRUE(list.add("sam", {}, {}, 0));
    EXPECT_GT(list.chunkCount(), 2);
    EXPECT_TRUE(list.contains("same")) << order;
    EXPECT_TRUE(list.contains("samf")) << order;
    EXPECT_TRUE(list.contains("sam")) << order;
    EXPECT_FALSE(list.contains("samd")) << order;
    EXPECT_FALSE(list.contains("samez")) << order;
    EXPECT_FALSE(list.contains("a")) << order;
    EXPECT_FALSE(list.contains("zzzz")) << order;
  }
}

// The reference: the same entries stably sorted by the order's rule.
bool referenceBefore(int order, const std::string& a, const std::string& b) {
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

TEST(MatchListOrder, ManyEntriesMatchAStableSortInEveryOrder) {
  std::mt19937 rng(20240517);
  Words words;
  for (int i = 0; i < 6000; ++i) words.push_back(randomWord(rng));
  for (int order = 0; order <= 6; ++order) {
    MatchListWindows list;
    list.setOrder(order, true);
    // Tag each entry with its arrival number so ties can be checked.
    for (std::size_t i = 0; i < words.size(); ++i) {
      ASSERT_TRUE(list.add(words[i], {}, {}, static_cast<std::uint32_t>(i)));
    }
    std::vector<std::size_t> expected(words.size());
    for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = i;
    if (order != 0) {
      std::stable_sort(expected.begin(), expected.end(),
                       [&](std::size_t a, std::size_t b) { return referenceBefore(order, words[a], words[b]); });
    }
    ASSERT_EQ(list.count(), static_cast<int>(words.size()));
    int total = 0;
    for (int k = 0; k < list.chunkCount(); ++k) {
      EXPECT_GT(list.chunk(k).count(), 0);
      EXPECT_LE(list.chunk(k).count(), 512);
      total += list.chunk(k).count();
    }
    EXPECT_EQ(total, list.count());
    // Sequential reads, then reads in a scattered order through the chunk counts.
    for (int i = 0; i < list.count(); ++i) {
      ASSERT_EQ(list.entryAt(i)->reference(), expected[i]) << "order " << order << " row " << i;
    }
    for (int i = list.count() - 1; i >= 0; i -= 7) {
      ASSERT_EQ(list.entryAt(i)->reference(), expected[i]) << "order " << order << " row " << i;
    }
    // contains() agrees with a plain search over the words.
    for (int probe = 0; probe < 300; ++probe) {
      const std::string w = randomWord(rng);
      const bool present = std::any_of(words.begin(), words.end(),
                                       [&](const std::string& x) { return compareFolded(x, w) == 0; });
      ASSERT_EQ(list.contains(w), present) << "order " << order << " word " << w;
    }
  }
}

}  // namespace
}  // namespace kea
