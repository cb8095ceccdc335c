// The search controller driven through a fake window: validation messages,
// length boxes, states, Stop and Resume, duplicate suppression, filters,
// orders, the rejection budget, the count refresh and the progress bar.
#include "search/KEAViewWindows.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FakeView.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea {
namespace {

using test::FakeHost;
using test::FakeWorkspace;
using Control = KEAViewHost::Control;
using LengthBox = KEAViewHost::LengthBox;

class ViewTest : public ::testing::Test {
 protected:
  // Opens dictionaries built from the given lines, one per element.
  void openDictionaries(const std::vector<std::vector<std::string>>& dictionaries) {
    std::string names;
    for (std::size_t i = 0; i < dictionaries.size(); ++i) {
      test::TestDictionaryOptions options;
      options.fileName = "d" + std::to_string(i) + ".kkd";
      names += test::buildTestDictionary(dir, dictionaries[i], options) + ";";
    }
    workspace.list = KKDictionaryList::make(names);
    view.dictionariesChanged();
  }
  void type(const std::string& pattern) {
    host.pattern = pattern;
    view.patternChanged();
  }
  std::vector<std::string> results(int group) const {
    std::vector<std::string> out;
    const MatchListWindows& list = view.group(group).list;
    for (int i = 0; i < list.count(); ++i) out.emplace_back(list.textAt(i));
    return out;
  }
  // Types the pattern and runs the search to its end.
  std::vector<std::string> search(const std::string& pattern, int group = 0) {
    type(pattern);
    EXPECT_EQ(view.state(), SearchState::Ready) << pattern << ": " << host.status;
    view.searchClicked();
    EXPECT_EQ(view.state(), SearchState::Ready) << pattern;
    return results(group);
  }

  test::TempDir dir;
  FakeHost host;
  FakeWorkspace workspace;
  std::uint64_t now = 0;
  KEAViewWindows view{workspace, host, [this] { return now; }};
};

const std::vector<std::string> kWords = {"cat", "cot", "cut", "dog", "Cato", "electron", "horse", "obelisk",
                                         "tail", "Charlie", "tail-end", "tail-end Charlie", "O'Brien", "'tis"};

TEST_F(ViewTest, ValidationMessages) {
  EXPECT_EQ(view.state(), SearchState::Invalid);
  type("cat");
  EXPECT_EQ(host.status, "Use Open... on the File menu to select a dictionary");
  EXPECT_FALSE(host.enabled[Control::SearchButton]);

  openDictionaries({kWords});
  const std::string name = workspace.list->name(0);
  struct Case {
    std::string pattern;
    int shortest;
    std::string status;
    SearchState state;
  };
  const Case cases[] = {
      {"", 1, "Press F1 for help", SearchState::Invalid},
      {"c[ab", 1, name + ": Choice list started - use ] to complete it", SearchState::Invalid},
      {"...... & ........", 1, "Patterns match incompatible lengths", SearchState::Invalid},
      {".l...r.n", 9, "Shortest/Longest settings stop the pattern being matched", SearchState::Invalid},
      {"m*ja", 9, "Pattern is valid - press the return key to start searching", SearchState::Ready},
      {std::string(101, '.'), 1, "No words of the required length(s) in the dictionaries", SearchState::Invalid},
      {"..........", 1, "No words of the required length(s) in the dictionaries", SearchState::Invalid},
      {".l...r.n", 1, "Pattern is valid - press the return key to start searching", SearchState::Ready},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    host.shortest = c.shortest;
    type(c.pattern);
    EXPECT_EQ(host.status, c.status);
    EXPECT_EQ(view.state(), c.state);
    EXPECT_EQ(host.enabled[Control::SearchButton], c.state == SearchState::Ready);
    EXPECT_EQ(host.buttonLabel, "Word &Search");
  }
}

TEST_F(ViewTest, LengthBoxesAreClampedAndKeptInOrder) {
  openDictionaries({kWords});
  type("*");
  struct Case {
    LengthBox box;
    int value;
    int shortest, longest;
  };
  const Case cases[] = {
      {LengthBox::Shortest, 0, 1, 100},   {LengthBox::Longest, 150, 1, 100}, {LengthBox::Shortest, 7, 7, 100},
      {LengthBox::Longest, 5, 5, 5},      {LengthBox::Shortest, 9, 9, 9},    {LengthBox::Longest, -3, 1, 1},
      {LengthBox::Shortest, 1000, 100, 100},
  };
  for (const Case& c : cases) {
    (c.box == LengthBox::Shortest ? host.shortest : host.longest) = c.value;
    view.lengthChanged(c.box);
    EXPECT_EQ(host.shortest, c.shortest) << c.value;
    EXPECT_EQ(host.longest, c.longest) << c.value;
  }
  // Each change validates: no words of 100 letters.
  EXPECT_EQ(host.status, "No words of the required length(s) in the dictionaries");
  host.shortest = 3;
  host.longest = 4;
  view.lengthChanged(LengthBox::Longest);
  EXPECT_EQ(view.state(), SearchState::Ready);
  EXPECT_EQ(search("*"), (std::vector<std::string>{"cat", "cot", "cut", "dog", "'tis", "Cato", "tail"}));
}

TEST_F(ViewTest, ResultCountsAndTheStateAfterASearch) {
  openDictionaries({kWords});
  EXPECT_EQ(search(".l...r.n"), std::vector<std::string>{"electron"});
  EXPECT_EQ(host.status, "1 result found");
  EXPECT_EQ(view.currentDictionary(), -1);
  EXPECT_EQ(view.inputEngine(), nullptr);
  EXPECT_EQ(view.group(0).label.count(), 1);
  EXPECT_EQ(view.group(0).pattern, ".l...r.n");
  EXPECT_TRUE(search("zzz").empty());
  EXPECT_EQ(host.status, "0 results found");
  EXPECT_EQ(search("c.t").size(), 3u);
  EXPECT_EQ(host.status, "3 results found");
  // While it ran the status said so and the controls were off.
  EXPECT_NE(std::find(host.statusLog.begin(), host.statusLog.end(), "Searching - click on Stop to pause"),
            host.statusLog.end());
  // The history holds each pattern once, newest first.
  search("c.t");
  EXPECT_EQ(host.history, (std::vector<std::string>{"c.t", "zzz", ".l...r.n"}));
  EXPECT_EQ(host.focused, Control::PatternBox);
}

TEST_F(ViewTest, StopAndResumeContinueWithTheNextWord) {
  openDictionaries({kWords, {"ant", "bee", "cat", "eel", "gnu"}});
  const std::vector<std::string> all0 = search("*"), all1 = results(1);
  ASSERT_EQ(all0.size(), kWords.size());

  // Stop in the middle of each dictionary, resume, stop again...
  type("*");
  int stops = 0;
  host.onEvents = [&](int call) {
    if (call % 4 == 0 && view.state() == SearchState::Searching) {
      ++stops;
      view.searchClicked();
      EXPECT_EQ(view.state(), SearchState::Paused);
    }
  };
  view.searchClicked();
  int resumes = 0;
  while (view.state() == SearchState::Paused) {
    EXPECT_EQ(host.buttonLabel, "Re&sume");
    EXPECT_EQ(host.status, "Searching paused - click on Resume to continue");
    EXPECT_TRUE(host.enabled[Control::PatternBox]);
    ++resumes;
    view.searchClicked();
  }
  EXPECT_GT(stops, 3);
  EXPECT_EQ(resumes, stops);
  EXPECT_EQ(results(0), all0);
  // "cat" was found in the first dictionary.
  EXPECT_EQ(results(1), (std::vector<std::string>{"ant", "bee", "eel", "gnu"}));
  EXPECT_EQ(all1, results(1));
  EXPECT_EQ(host.status, std::to_string(all0.size() + 4) + " results found");
}

TEST_F(ViewTest, ChangingThePatternWhilePausedStartsAfresh) {
  openDictionaries({kWords});
  type("*");
  host.onEvents = [&](int call) {
    if (call == 3) view.cancel();  // Escape pauses
  };
  view.searchClicked();
  ASSERT_EQ(view.state(), SearchState::Paused);
  EXPECT_NE(view.inputEngine(), nullptr);
  const int partial = view.group(0).list.count();
  EXPECT_GT(partial, 0);
  host.onEvents = nullptr;
  type("c.t");
  EXPECT_EQ(view.state(), SearchState::Ready);
  EXPECT_EQ(view.inputEngine(), nullptr);
  EXPECT_EQ(view.currentDictionary(), -1);
  view.searchClicked();
  EXPECT_EQ(results(0), (std::vector<std::string>{"cat", "cot", "cut"}));
}

TEST_F(ViewTest, HandlersRunDuringAPollCannotBreakTheLoop) {
  openDictionaries({kWords});
  const std::vector<std::string> all = search("*");
  // Stop and Resume in one batch of events: the loop just goes on.
  type("*");
  host.eventCalls = 0;
  host.onEvents = [&](int call) {
    if (call == 3) {
      view.searchClicked();
      view.searchClicked();
    }
  };
  view.searchClicked();
  EXPECT_EQ(view.state(), SearchState::Ready);
  EXPECT_EQ(results(0), all);

  // Stop, then a new pattern and a new search from inside the poll: the
  // old loop gives way to the new search.
  host.eventCalls = 0;
  bool handled = false;
  host.onEvents = [&](int call) {
    if (call == 3 && !handled) {
      handled = true;
      view.searchClicked();
      type("c.t");
      view.searchClicked();
    }
  };
  type("*");
  view.searchClicked();
  EXPECT_EQ(view.state(), SearchState::Ready);
  EXPECT_EQ(results(0), (std::vector<std::string>{"cat", "cot", "cut"}));
  EXPECT_EQ(host.status, "3 results found");

  // Closing during a search stops it; asking the application to quit too.
  host.onEvents = [&](int) { view.close(); };
  type("*");
  view.searchClicked();
  EXPECT_EQ(view.state(), SearchState::Closing);
}

TEST_F(ViewTest, QuitAndLowMemoryStopTheLoop) {
  openDictionaries({kWords});
  type("*");
  host.onEvents = [&](int call) {
    if (call == 2) KEAViewWindows::setLowMemory();
  };
  view.searchClicked();
  EXPECT_EQ(view.state(), SearchState::Paused);
  host.onEvents = nullptr;
  view.searchClicked();
  EXPECT_EQ(view.state(), SearchState::Ready);
  EXPECT_EQ(results(0).size(), kWords.size());

  type("*");
  host.quitAsked = true;
  view.searchClicked();
  EXPECT_EQ(view.state(), SearchState::Closing);
  EXPECT_LT(results(0).size(), kWords.size());
}

TEST_F(ViewTest, MultipleDictionaryModes) {
  openDictionaries({{"cat", "dog", "tail-end"}, {"Cat", "cow", "dog", "tailend", "yak"}});
  struct Case {
    int mode;
    int active;
    std::vector<std::string> first, second;
    bool keepIndexFirst;
  };
  const Case cases[] = {
      {KEAViewProfileWindows::kSuppressDuplicates, 0, {"cat", "dog", "tail-end"}, {"cow", "yak"}, true},
      {KEAViewProfileWindows::kSearchIndependently, 0, {"cat", "dog", "tail-end"},
       {"Cat", "cow", "dog", "yak", "tailend"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    workspace.profile.viewMultipleDictionaries = c.mode;
    EXPECT_EQ(search("*"), c.first);
    EXPECT_EQ(results(1), c.second);
    EXPECT_EQ(view.group(0).list.keepIndex(), c.keepIndexFirst);
    EXPECT_FALSE(view.group(1).list.keepIndex());
  }
  // Active dictionary only: the other list is left as it was.
  workspace.profile.viewMultipleDictionaries = KEAViewProfileWindows::kActiveDictionaryOnly;
  workspace.active = 1;
  search("c*");
  EXPECT_EQ(results(1), (std::vector<std::string>{"Cat", "cow"}));
  EXPECT_EQ(results(0), (std::vector<std::string>{"cat", "dog", "tail-end"}));
  // Even a dictionary without words of the lengths is the only one visited.
  search("t*");
  EXPECT_EQ(results(1), std::vector<std::string>{"tailend"});
  workspace.active = 0;
  workspace.profile.viewMultipleDictionaries = KEAViewProfileWindows::kSuppressDuplicates;
  openDictionaries({{"cat"}, {"horse"}});
  host.shortest = 5;
  type("*");
  workspace.profile.viewMultipleDictionaries = KEAViewProfileWindows::kActiveDictionaryOnly;
  view.searchClicked();
  EXPECT_EQ(host.status, "0 results found");
  // With sorting, the lists answer contains() without the extra index.
  workspace.profile.viewMultipleDictionaries = KEAViewProfileWindows::kSuppressDuplicates;
  workspace.profile.viewSorting = true;
  host.shortest = 1;
  search("*");
  EXPECT_FALSE(view.group(0).list.keepIndex());
}

TEST_F(ViewTest, ClassesOfWords) {
  openDictionaries({{"a"}});
  const Alphabet& alphabet = workspace.list->dictionary(0)->alphabet();
  using WordClass = KEAViewWindows::WordClass;
  struct Case {
    const char* text;
    int letters;
    WordClass expected;
  };
  const Case cases[] = {
      {"tail", 4, WordClass::Lower},
      {"Charlie", 7, WordClass::Upper},
      {"tail-end", 7, WordClass::Punctuation},
      {"tail-end Charlie", 14, WordClass::Phrase},
      {"O'Brien", 6, WordClass::Punctuation},
      {"'tis", 3, WordClass::Lower},       // punctuation outside the letters does not count
      {"Mr.", 2, WordClass::Upper},
      {"caf\xC9", 4, WordClass::Upper},    // É
      {"\xE9t\xE9", 3, WordClass::Lower},  // été
      {"ice cream", 8, WordClass::Phrase},
  };
  for (const Case& c : cases) EXPECT_EQ(KEAViewWindows::classify(c.text, c.letters, alphabet), c.expected) << c.text;
}

TEST_F(ViewTest, FiltersLeaveOutTheirClass) {
  openDictionaries({{"tail", "Charlie", "tail-end", "tail-end Charlie"}});
  KEAViewProfileWindows& o = workspace.profile;
  EXPECT_EQ(search("*").size(), 4u);
  o.outputLower = false;
  EXPECT_EQ(search("*"), (std::vector<std::string>{"Charlie", "tail-end", "tail-end Charlie"}));
  o.outputLower = true;
  o.outputUpper = false;
  EXPECT_EQ(search("*"), (std::vector<std::string>{"tail", "tail-end", "tail-end Charlie"}));
  o.outputUpper = true;
  o.outputPunctuation = false;
  EXPECT_EQ(search("*"), (std::vector<std::string>{"tail", "Charlie", "tail-end Charlie"}));
  o.outputPunctuation = true;
  o.outputWhitespace = false;
  EXPECT_EQ(search("*"), (std::vector<std::string>{"tail", "Charlie", "tail-end"}));
}

TEST_F(ViewTest, ListOrdersFollowTheSortingOptions) {
  KEAViewProfileWindows o("");
  struct Case {
    bool sorting, ascending, grouping;
    int sense, preferred, order;
  };
  const Case cases[] = {
      {false, true, true, 0, 1, 0},  {true, true, false, 0, 1, 1},  {true, false, false, 0, 1, 2},
      {true, true, true, 1, -1, 3},  {true, false, true, 1, -1, 4}, {true, true, true, 0, 1, 3},
      {true, true, true, 0, -1, 5},  {true, true, true, -1, 1, 5},  {true, false, true, -1, 1, 6},
  };
  for (const Case& c : cases) {
    o.viewSorting = c.sorting;
    o.viewSortingAscending = c.ascending;
    o.viewLengthGrouping = c.grouping;
    o.viewLengthGroupingSense = c.sense;
    EXPECT_EQ(KEAViewWindows::listOrder(o, c.preferred), c.order);
  }

  openDictionaries({{"cat", "Ant", "be", "ape", "horse"}});
  workspace.profile.viewSorting = true;
  workspace.profile.viewLengthGroupingSense = 1;
  EXPECT_EQ(search("*"), (std::vector<std::string>{"be", "Ant", "ape", "cat", "horse"}));
  workspace.profile.viewSortingAscending = false;
  EXPECT_EQ(search("*"), (std::vector<std::string>{"be", "cat", "ape", "Ant", "horse"}));
  workspace.profile.viewLengthGrouping = false;
  EXPECT_EQ(search("*"), (std::vector<std::string>{"horse", "cat", "be", "ape", "Ant"}));
  // As found, descending grouping: the longest length is searched first.
  workspace.profile.viewSorting = false;
  workspace.profile.viewLengthGrouping = true;
  workspace.profile.viewLengthGroupingSense = -1;
  EXPECT_EQ(search("*"), (std::vector<std::string>{"horse", "Ant", "ape", "cat", "be"}));
}

TEST_F(ViewTest, AnnotationsAndBalancesCanBeLeftOut) {
  openDictionaries({{"obelisk", "obelisks", "bat+ (n. club)+"}});
  EXPECT_EQ(search(";lobikes*"), (std::vector<std::string>{"obelisk", "obelisks +s"}));
  EXPECT_EQ(search("b.t"), std::vector<std::string>{"bat (n. club)"});
  workspace.profile.viewShowBalances = false;
  workspace.profile.viewShowAnnotations = false;
  EXPECT_EQ(search(";lobikes*"), (std::vector<std::string>{"obelisk", "obelisks"}));
  EXPECT_EQ(search("b.t"), std::vector<std::string>{"bat"});
}

TEST_F(ViewTest, AtMost401RejectedWordsGoBetweenTwoPolls) {
  std::vector<std::string> words;
  for (int i = 0; i < 1000; ++i) {
    words.push_back(std::string("a") + char('a' + i / 676) + char('a' + i / 26 % 26) + char('a' + i % 26));
  }
  words.push_back("Zulu");
  openDictionaries({words});
  workspace.profile.outputLower = false;
  type("*");
  std::vector<int> examinedAtPolls;
  host.onEvents = [&](int) {
    if (view.inputEngine()) examinedAtPolls.push_back(view.inputEngine()->wordsExamined());
  };
  view.searchClicked();
  // Sorted, "Zulu" comes last; the budget runs out at the 401st rejection.
  ASSERT_GE(examinedAtPolls.size(), 3u);
  EXPECT_EQ(examinedAtPolls[0], 0);  // once before the loop
  EXPECT_EQ(examinedAtPolls[1], 401);
  EXPECT_EQ(examinedAtPolls[2], 802);
  EXPECT_EQ(results(0), std::vector<std::string>{"Zulu"});
}

TEST_F(ViewTest, CountsAreRefreshedAtMostEvery100Milliseconds) {
  openDictionaries({{"ant", "bee", "cat", "dog", "eel", "fox", "gnu", "hen"}});
  type("*");
  std::vector<int> countsSeen;
  host.onEvents = [&](int) {
    now += 60;
    countsSeen.push_back(view.group(0).label.count());
  };
  view.searchClicked();
  // A poll after every word (and one before the first); the count is
  // brought up to date when more than 100 ms went by since the last time.
  EXPECT_EQ(countsSeen, (std::vector<int>{0, 0, 2, 2, 4, 4, 6, 6, 8}));
  EXPECT_EQ(view.group(0).label.count(), 8);
  // A clock that went backwards refreshes at once.
  countsSeen.clear();
  type("*");
  now = 1000000;
  host.onEvents = [&](int call) {
    if (call > 1) now = 5;
    countsSeen.push_back(view.group(0).label.count());
  };
  view.searchClicked();
  EXPECT_EQ(countsSeen[2], 1);
}

TEST_F(ViewTest, ProgressBarFollowsTheLengths) {
  openDictionaries({{"at", "be", "cat", "dog", "eel", "horse", "kitten", "sparrow"}});
  view.progress().setWidth(100);
  type("*");
  const KEAProgressBar& bar = view.progress();
  EXPECT_EQ(bar.firstLength(), 2);
  EXPECT_EQ(bar.lastLength(), 7);
  EXPECT_EQ(bar.total(), 8);
  EXPECT_EQ(bar.done(), 0);
  EXPECT_EQ(bar.filledWidth(), 0);
  const auto segments = bar.segments([](std::string_view text) { return 10 * static_cast<int>(text.size()); });
  ASSERT_EQ(segments.size(), 5u);
  EXPECT_EQ(segments[0].length, 2);
  EXPECT_EQ(segments[0].left, 0);
  EXPECT_EQ(segments[0].right, 25);
  EXPECT_EQ(segments[1].right, 63);  // 5 of 8 words: 62.5 rounds up
  EXPECT_TRUE(segments[1].labelled);
  EXPECT_EQ(segments[4].right, 100);
  EXPECT_FALSE(segments[4].labelled);  // 13 pixels: "7" needs 10 + 3
  EXPECT_EQ(segments[2].right - segments[2].left, 12);
  EXPECT_FALSE(segments[2].labelled);

  std::vector<std::pair<int, std::int64_t>> seen;  // (length, done) at each poll
  host.onEvents = [&](int) {
    if (view.currentDictionary() >= 0) seen.emplace_back(view.group(0).length, bar.done());
  };
  view.searchClicked();
  ASSERT_FALSE(seen.empty());
  for (const auto& [length, done] : seen) {
    const std::int64_t before = length <= 2 ? 0 : length == 3 ? 2 : length == 5 ? 5 : length == 6 ? 6 : 7;
    EXPECT_EQ(done, before) << length;
  }

  // Descending: the lengths after the current one in search order are the
  // shorter ones.
  workspace.profile.viewLengthGroupingSense = -1;
  seen.clear();
  type("*");
  view.searchClicked();
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), (std::pair<int, std::int64_t>{7, 0}));
  EXPECT_EQ(seen.back(), (std::pair<int, std::int64_t>{2, 6}));
}

TEST_F(ViewTest, TheFilledWidthRoundsHalfUpAndRepaintsOnlyChanges) {
  KEAProgressBar bar;
  bar.setWidth(10);
  bar.resetFullText(0, 4);
  EXPECT_EQ(bar.setPosition(1), (KEAProgressBar::Strip{0, 3}));  // 2.5 -> 3
  EXPECT_TRUE(bar.setPosition(1).empty());
  EXPECT_EQ(bar.setPosition(3), (KEAProgressBar::Strip{3, 8}));  // 7.5 -> 8
  EXPECT_EQ(bar.setPosition(2), (KEAProgressBar::Strip{5, 8}));
  EXPECT_EQ(bar.setPosition(99), (KEAProgressBar::Strip{5, 10}));  // never beyond the bar
  EXPECT_FALSE(bar.hasRange());
  EXPECT_TRUE(bar.segments(nullptr).empty());
}

TEST_F(ViewTest, ADictionaryThatBecameInvalidStopsTheSearch) {
  openDictionaries({{"cat"}, {"dog"}});
  type("*");
  ASSERT_EQ(view.state(), SearchState::Ready);
  std::filesystem::remove(workspace.list->path(1));
  view.searchClicked();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].caption, "Dictionary Invalidated");
  EXPECT_EQ(host.messages[0].text, workspace.list->path(1) + "\nis no longer a valid KEA&Kindred Dictionary File");
  EXPECT_EQ(view.state(), SearchState::Invalid);
  EXPECT_TRUE(results(0).empty());
}

}  // namespace
}  // namespace kea
