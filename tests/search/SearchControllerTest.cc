// The search controller driven through a fake window: validation messages,
// length boxes, Stop and Resume, duplicate suppression, filters, the
// rejection budget, the count refresh, the progress bar, and the full-text
// mode with its searcher per dictionary and its lookup of a hit.
#include "search/SearchController.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "FakeView.h"
#include "builder/ScoreCompanions.h"
#include "meaning/MeaningDocuments.h"

namespace kea {
namespace {

using Control = SearchHost::Control;
using LengthBox = SearchHost::LengthBox;
using Words = std::vector<std::string>;
using ViewTest = test::ViewTest;

const Words kWords = {"cat", "cot", "cut", "dog", "Cato", "electron", "horse", "obelisk",
                      "tail", "Charlie", "tail-end", "tail-end Charlie", "O'Brien", "'tis"};

TEST_F(ViewTest, ValidationMessages) {
  type("cat");
  EXPECT_EQ(host.status, "Use Open... on the File menu to select a dictionary");
  EXPECT_FALSE(host.enabled[Control::SearchButton]);

  openDictionaries({kWords});
  const std::string valid = "Pattern is valid - press the return key to start searching";
  const std::string noWords = "No words of the required length(s) in the dictionaries";
  const struct {
    std::string pattern;
    int shortest;
    std::string status;
  } cases[] = {
      {"", 1, "Press F1 for help"},
      {"c[ab", 1, workspace.list->name(0) + ": Choice list started - use ] to complete it"},
      {"...... & ........", 1, "Patterns match incompatible lengths"},
      {".l...r.n", 9, "Shortest/Longest settings stop the pattern being matched"},
      {"m*ja", 9, valid},
      {std::string(101, '.'), 1, noWords},
      {"..........", 1, noWords},
      {".l...r.n", 1, valid},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    host.shortest = c.shortest;
    type(c.pattern);
    EXPECT_EQ(host.status, c.status);
    const bool ready = c.status == valid;
    EXPECT_EQ(view.state(), ready ? SearchState::Ready : SearchState::Invalid);
    EXPECT_EQ(host.enabled[Control::SearchButton], ready);
  }
}

TEST_F(ViewTest, LengthBoxesAreClampedAndKeptInOrder) {
  openDictionaries({kWords});
  type("*");
  host.longest = 150;
  view.lengthChanged(LengthBox::Longest);
  host.shortest = 120;
  view.lengthChanged(LengthBox::Shortest);
  EXPECT_EQ(host.longest, 100);
  EXPECT_EQ(host.shortest, 100);
  host.longest = -3;
  view.lengthChanged(LengthBox::Longest);
  EXPECT_EQ(host.shortest, 1);
  EXPECT_EQ(host.longest, 1);
  EXPECT_EQ(host.status, "No words of the required length(s) in the dictionaries");  // each change validates
}

TEST_F(ViewTest, StopAndResumeContinueWithTheNextWord) {
  openDictionaries({kWords, {"ant", "bee", "cat", "eel", "gnu"}});
  const Words all0 = search("*");
  ASSERT_EQ(all0.size(), kWords.size());

  type("*");
  int stops = 0, resumes = 0;
  onTurn = [&](int call) {
    if (call % 4 == 0 && view.state() == SearchState::Searching) {
      EXPECT_EQ(host.status, "Searching - click on Stop to pause");
      ++stops;
      view.searchClicked();
      EXPECT_EQ(view.state(), SearchState::Paused);
    }
  };
  click();
  while (view.state() == SearchState::Paused) {
    EXPECT_EQ(host.buttonLabel, "Re&sume");
    EXPECT_EQ(host.status, "Searching paused - click on Resume to continue");
    EXPECT_TRUE(host.enabled[Control::PatternBox]);
    ++resumes;
    click();
  }
  EXPECT_GT(stops, 3);
  EXPECT_EQ(resumes, stops);
  EXPECT_EQ(results(0), all0);
  EXPECT_EQ(results(1), (Words{"ant", "bee", "eel", "gnu"}));  // "cat" is listed in the first
  EXPECT_EQ(host.status, std::to_string(all0.size() + 4) + " results found");
}

TEST_F(ViewTest, ChangingThePatternWhilePausedStartsAfresh) {
  openDictionaries({kWords});
  type("*");
  onTurn = [&](int call) {
    if (call == 3) view.cancel();  // Escape pauses
  };
  click();
  ASSERT_EQ(view.state(), SearchState::Paused);
  EXPECT_GT(view.group(0).list.count(), 0);
  onTurn = nullptr;
  type("c.t");
  EXPECT_EQ(view.state(), SearchState::Ready);
  click();
  EXPECT_EQ(results(0), (Words{"cat", "cot", "cut"}));
  EXPECT_EQ(host.history, (Words{"c.t", "*"}));  // newest first
}

TEST_F(ViewTest, WhatTheUserDoesBetweenStepsTakesEffectAtOnce) {
  openDictionaries({kWords});
  // Stop, a new pattern and a new search between two steps: the old
  // search gives way to the new one.
  onTurn = [&](int call) {
    if (call == 3) {
      view.searchClicked();
      type("c.t");
      view.searchClicked();
    }
  };
  type("*");
  click();
  EXPECT_EQ(view.state(), SearchState::Ready);
  EXPECT_EQ(results(0), (Words{"cat", "cot", "cut"}));

  // Closing abandons the search; the lists are left as they were.
  type("*");
  onTurn = [&](int turn) {
    if (turn == 20) view.close();
  };
  click();
  EXPECT_EQ(view.state(), SearchState::Closing);
  const std::vector<std::string> left = results(0);
  EXPECT_LT(left.size(), kWords.size());
  EXPECT_EQ(view.step(1), SearchController::Step::Finished);
  EXPECT_EQ(results(0), left);
}

TEST_F(ViewTest, MultipleDictionaryModes) {
  openDictionaries({{"cat", "dog", "tail-end"}, {"Cat", "cow", "dog", "tailend", "yak"}});
  UserOptions& o = workspace.profile;
  EXPECT_EQ(search("*"), (Words{"cat", "dog", "tail-end"}));
  EXPECT_EQ(results(1), (Words{"cow", "yak"}));  // duplicates ignore case and punctuation
  o.viewMultipleDictionaries = UserOptions::kSearchIndependently;
  search("*");
  EXPECT_EQ(results(1), (Words{"Cat", "cow", "dog", "yak", "tailend"}));
}

TEST_F(ViewTest, OpeningClosingAndMovingDictionariesKeepTheOtherResults) {
  openDictionaries({{"cat", "dog"}, {"cow", "yak"}});
  search("*");
  const auto captions = [&] {
    std::vector<std::string> out;
    for (int i = 0; i < view.groupCount(); ++i) out.push_back(view.group(i).label.text());
    return out;
  };
  const std::string d0 = workspace.list->name(0), d1 = workspace.list->name(1);

  workspace.list = DictionaryList::make(paths[1] + ";" + paths[0]);
  view.dictionariesSwapped(0, 1);
  EXPECT_EQ(captions(), (Words{"&1 " + d1 + " (2)", "&2 " + d0 + " (2)"}));
  EXPECT_EQ(results(0), (Words{"cow", "yak"}));

  workspace.list = DictionaryList::make(paths[0]);
  view.dictionaryClosed(0);
  EXPECT_EQ(captions(), (Words{"&1 " + d0 + " (2)"}));
  EXPECT_EQ(results(0), (Words{"cat", "dog"}));

  workspace.list = DictionaryList::make(paths[0] + ";" + paths[1]);
  view.dictionaryAdded();
  ASSERT_EQ(view.groupCount(), 2);
  EXPECT_EQ(results(0), (Words{"cat", "dog"}));
  EXPECT_TRUE(results(1).empty());
  EXPECT_EQ(view.state(), SearchState::Ready);  // validated against the new list
}

TEST_F(ViewTest, TheWordToLookUp) {
  openDictionaries({{"cat", "tail-end+(noun)+"}, {"dog"}});
  type("t*");
  host.focused = Control::PatternBox;
  EXPECT_EQ(view.lookupSubject()->word, "t*");  // the whole pattern
  search("*");
  host.focused = Control::ResultsArea;
  EXPECT_FALSE(view.lookupSubject());  // nothing selected
  host.selected[0].rows = {1};
  const auto subject = view.lookupSubject();
  ASSERT_TRUE(subject);
  EXPECT_EQ(subject->word, "tail-end");
  EXPECT_EQ(subject->rest, "(noun)");
  EXPECT_EQ(subject->group, 0);
  EXPECT_EQ(subject->dictionaryPath, paths[0]);
  host.selected[0].rows = {9};
  EXPECT_FALSE(view.lookupSubject());  // a row the list does not have
  host.selected[0].selectRange(0, view.group(0).list.count());
  EXPECT_FALSE(view.lookupSubject());  // more than one
  workspace.active = 1;
  EXPECT_FALSE(view.lookupSubject());  // the active list has no selection
}

TEST_F(ViewTest, ClassesOfWordsAndTheirFilters) {
  openDictionaries({{"tail", "Charlie", "tail-end", "tail-end Charlie"}});
  const Alphabet& alphabet = workspace.list->dictionary(0)->alphabet();
  using WordClass = SearchController::WordClass;
  const struct {
    const char* text;
    int letters;
    WordClass expected;
  } classes[] = {
      {"tail", 4, WordClass::Lower},      {"Charlie", 7, WordClass::Upper},
      {"tail-end", 7, WordClass::Punctuation}, {"tail-end Charlie", 14, WordClass::Phrase},
      {"O'Brien", 6, WordClass::Punctuation},  {"'tis", 3, WordClass::Lower},  // outside the letters
      {"Mr.", 2, WordClass::Upper},       {"caf\xC9", 4, WordClass::Upper},
      {"\xE9t\xE9", 3, WordClass::Lower}, {"ice cream", 8, WordClass::Phrase},
  };
  for (const auto& c : classes) EXPECT_EQ(SearchController::classify(c.text, c.letters, alphabet), c.expected) << c.text;

  workspace.profile.outputPunctuation = false;
  EXPECT_EQ(search("*"), (Words{"tail", "Charlie", "tail-end Charlie"}));
}

TEST_F(ViewTest, AtMost401RejectedWordsGoBetweenTwoPolls) {
  Words words;
  for (int i = 0; i < 1000; ++i)
    words.push_back(std::string("a") + char('a' + i / 676) + char('a' + i / 26 % 26) + char('a' + i % 26));
  words.push_back("Zulu");
  openDictionaries({words});
  workspace.profile.outputLower = false;
  std::vector<int> examined;
  onTurn = [&](int) {
    if (view.inputEngine()) examined.push_back(view.inputEngine()->wordsExamined());
  };
  EXPECT_EQ(search("*"), Words{"Zulu"});
  examined.resize(3);
  EXPECT_EQ(examined, (std::vector<int>{0, 401, 802}));  // once before the loop, then after each 401
}

TEST_F(ViewTest, CountsAreRefreshedAtMostEvery100Milliseconds) {
  openDictionaries({{"ant", "bee", "cat", "dog", "eel", "fox", "gnu", "hen"}});
  type("*");
  std::vector<int> countsSeen;
  onTurn = [&](int) {
    now += 60;
    countsSeen.push_back(view.group(0).label.count());
  };
  click();
  // A poll after every word (and one before the first).
  EXPECT_EQ(countsSeen, (std::vector<int>{0, 0, 2, 2, 4, 4, 6, 6, 8}));
  EXPECT_EQ(view.group(0).label.count(), 8);
  // A clock that went backwards refreshes at once.
  countsSeen.clear();
  type("*");
  now = 1000000;
  onTurn = [&](int call) {
    if (call > 1) now = 5;
    countsSeen.push_back(view.group(0).label.count());
  };
  click();
  ASSERT_GT(countsSeen.size(), 2u);
  EXPECT_EQ(countsSeen[2], 1);
}

TEST_F(ViewTest, LowMemoryPausesTheSearch) {
  openDictionaries({kWords});
  type("*");
  onTurn = [&](int call) {
    if (call == 2) SearchController::setLowMemory();
  };
  click();
  EXPECT_EQ(view.state(), SearchState::Paused);
  onTurn = nullptr;
  click();
  EXPECT_EQ(view.state(), SearchState::Ready);
  EXPECT_EQ(results(0).size(), kWords.size());

}

TEST_F(ViewTest, ProgressBarFollowsTheLengths) {
  openDictionaries({{"at", "be", "cat", "dog", "eel", "horse", "kitten", "sparrow"}});
  // At each poll the words of the lengths searched before are done; in
  // descending order, those are the longer ones.
  workspace.profile.viewLengthGroupingSense = -1;
  std::map<int, std::int64_t> done;
  onTurn = [&](int) {
    if (view.currentDictionary() >= 0) done.emplace(view.group(0).length, view.progress().done());
  };
  search("*");
  EXPECT_EQ(done, (std::map<int, std::int64_t>{{7, 0}, {6, 1}, {5, 2}, {3, 3}, {2, 6}}));
  SearchProgress bar;
  bar.resetFullText(1, 4);
  EXPECT_EQ(bar.filledWidth(10), 3);  // 2.5 rounds up
  EXPECT_DOUBLE_EQ(bar.fraction(), 0.25);
  bar.setPosition(99);
  EXPECT_EQ(bar.filledWidth(10), 10);  // never beyond the bar
  EXPECT_DOUBLE_EQ(bar.fraction(), 1.0);
}

// A narrow first length keeps its label, drawn whole past its segment; the
// label of the next one is left out rather than touching it.
TEST_F(ViewTest, ProgressLabelsNeverTouch) {
  std::vector<std::string> words = {"cat"};
  for (const std::string& w : test::generatedWords(10, 4)) words.push_back(w);
  for (const std::string& w : test::generatedWords(10, 5)) words.push_back(w);
  openDictionaries({words});
  type("*");
  const auto sevenPerCharacter = [](std::string_view text) { return static_cast<int>(text.size()) * 7; };
  const auto segments = view.progress().segments(105, sevenPerCharacter);
  ASSERT_EQ(segments.size(), 3u);
  EXPECT_EQ(segments[0].length, 3);
  EXPECT_LT(segments[0].right - segments[0].left, 10);  // too narrow for "3": drawn past it
  EXPECT_TRUE(segments[0].labelled);
  EXPECT_FALSE(segments[1].labelled);  // "4" would touch "3"
  EXPECT_TRUE(segments[2].labelled);
  int end = 0;
  for (const auto& s : segments) {
    if (!s.labelled) continue;
    EXPECT_GE(s.left + SearchProgress::kLabelGap, end + SearchProgress::kLabelGap) << s.length;
    end = s.left + SearchProgress::kLabelGap + sevenPerCharacter(std::to_string(s.length));
  }
}

TEST_F(ViewTest, ADictionaryThatBecameInvalidStopsTheSearch) {
  openDictionaries({{"cat"}, {"dog"}});
  type("*");
  std::filesystem::remove(paths[1]);
  click();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].caption, "Dictionary Invalidated");
  EXPECT_EQ(host.messages[0].text, paths[1] + "\nis no longer a valid KEA&Kindred Dictionary File\n\nIt was not found.");
  EXPECT_EQ(view.state(), SearchState::Invalid);
  EXPECT_TRUE(results(0).empty());
}

// A dictionary rewritten in place while it is searched: the search ends
// with a status that says so, not "N results found" alone. One replaced by
// a rebuilt file (renamed into place, as kkbuild does) or deleted while it
// is searched is read whole from the file the search opened.
TEST_F(ViewTest, ADictionaryChangedDuringTheSearchIsReportedAndOneReplacedIsReadWhole) {
  const std::vector<std::string> words = test::generatedWords(12000, 6);  // several blocks of one length
  test::TempDir other;
  enum class Change { Rewritten, Replaced, Deleted };
  for (const Change change : {Change::Rewritten, Change::Replaced, Change::Deleted}) {
    SCOPED_TRACE(static_cast<int>(change));
    openDictionaries({words});
    // Its time lies in the past, so that a write gives it a new one.
    std::filesystem::last_write_time(paths[0], std::filesystem::last_write_time(paths[0]) - std::chrono::hours(1));
    type("*");
    onTurn = [&](int turn) {
      if (turn != 3) return;
      if (change == Change::Rewritten) {
        std::fstream file(paths[0], std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(std::filesystem::file_size(paths[0]) / 2));
        file.put('\x5A');
      } else if (change == Change::Replaced) {
        test::TestDictionaryOptions options;
        options.fileName = "new.kkd";
        std::filesystem::rename(test::buildTestDictionary(other, {"cat", "dog"}, options), paths[0]);
      } else {
        std::filesystem::remove(paths[0]);
      }
    };
    turns = 0;
    click();
    onTurn = nullptr;
    EXPECT_EQ(view.state(), SearchState::Ready);
    if (change == Change::Rewritten) {
      EXPECT_EQ(view.incompleteGroup(), 0);
      EXPECT_LT(results(0).size(), words.size());
      EXPECT_EQ(host.status, "d0 changed on disk during the search: " + resultsFoundText(view.resultCount()) +
                                 ", but not all there may be; search again");
    } else {
      EXPECT_EQ(view.incompleteGroup(), -1);
      EXPECT_EQ(results(0, true).size(), words.size());
      EXPECT_EQ(host.status, resultsFoundText(static_cast<long long>(words.size())));
    }
  }
}

const std::vector<std::string> kFruit = {
    ";plum|a stone fruit",  // group one: never a full-text hit
    "cherry|a small stone fruit", "apple;pomme|a round fruit", "sloe+(berry)+s|stone", "electron",
};

using FullTextTest = test::ViewTest;

// The enumeration box narrows word searches and shapes phrase anagrams;
// phrases go to the list of the dictionary that found them.
TEST_F(ViewTest, EnumerationsAndPhraseAnagrams) {
  openDictionaries({{"tail end", "tail", "end", "dial", "net", "lead", "tin", "tailed"}, {"dent", "ail", "tail", "tin"}});
  const auto enumerate = [this](const std::string& text) {
    host.enumeration = text;
    view.enumerationChanged();
  };
  // Word search: the enumeration is joined to the pattern.
  enumerate("(4,3)");
  EXPECT_EQ(search("t*"), (Words{"tail end"}));
  enumerate("4,,3");
  EXPECT_EQ(view.state(), SearchState::Invalid);
  EXPECT_EQ(host.status, enumerationErrorText(EnumerationError::SeparatorsTogether));

  view.setMode(SearchMode::PhraseAnagram);
  EXPECT_EQ(view.state(), SearchState::Invalid);  // the enumeration is still wrong
  enumerate("(4,3)");
  type("tailend");
  EXPECT_EQ(host.buttonLabel, "Phrase &Search");
  click();
  EXPECT_EQ(view.state(), SearchState::Ready);
  EXPECT_EQ(results(0, true), (Words{"dial net", "lead tin", "tail end"}));
  // The second dictionary lists only what the first did not.
  EXPECT_EQ(results(1, true), (Words{"dent ail"}));
  EXPECT_EQ(host.status, resultsFoundText(4));
  EXPECT_EQ(view.group(0).label.count(), 3);
  EXPECT_EQ(host.history.front(), "tailend");

  // Without an enumeration each set of entries comes once, single entries too.
  enumerate("");
  type("tailed");
  click();
  EXPECT_EQ(results(0, true), (Words{"tailed"}));
  type("netdial");
  click();
  // A set of entries is listed once, in alphabetical order.
  EXPECT_EQ(results(0, true), (Words{"dial net", "end tail", "lead tin", "tail end"}));

  // The word class filters apply: a phrase is a phrase.
  workspace.profile.outputWhitespace = false;
  click();
  EXPECT_TRUE(results(0).empty());
  workspace.profile.outputWhitespace = true;

  // Letters that cannot be shared out, and an enumeration of another size.
  enumerate("(4,4)");
  EXPECT_EQ(view.state(), SearchState::Invalid);
  EXPECT_EQ(host.status, "The enumeration's lengths do not add up to the number of letters");
  enumerate("");
  type("");
  EXPECT_EQ(view.state(), SearchState::Invalid);
  EXPECT_EQ(host.status, "Press F1 for help");

}

TEST_F(ViewTest, APhraseAnagramSearchStoppedAndResumedListsEachPhraseOnce) {
  // Every three-letter word of a-z: enough phrases for many steps.
  openDictionaries({test::generatedWords(26 * 26 * 26, 3)});
  view.setMode(SearchMode::PhraseAnagram);
  const std::vector<std::string> whole = search("abcdefghi");
  const int steps = turns;
  ASSERT_GT(steps, 3);
  // 280 ways to share nine letters among three words, and each word in any
  // of its 6 orders.
  EXPECT_EQ(view.group(0).list.count(), 280 * 6 * 6 * 6);
  onTurn = [this, steps](int turn) {
    if (turn == steps / 2) view.searchClicked();
  };
  turns = 0;
  click();
  EXPECT_EQ(view.state(), SearchState::Paused);
  onTurn = nullptr;
  click();
  EXPECT_EQ(view.state(), SearchState::Ready);
  std::vector<std::string> resumed = results(0, true);
  std::vector<std::string> expected = whole;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(resumed, expected);
}

TEST_F(FullTextTest, EachDictionaryByIndexOrByReading) {
  openDictionaries({kFruit, {"stone", "small", "cherry"}, {"wren|a small bird", "stonechat|a small bird of stony places"}});
  type("stonechatstonechat");  // longer than any entry: no word search, but a full-text one
  EXPECT_EQ(view.state(), SearchState::Invalid);
  view.setMode(true);
  EXPECT_EQ(view.state(), SearchState::Ready);
  EXPECT_EQ(host.buttonLabel, "Full Text &Search");
  const struct {
    const char* pattern;
    bool indexed;
    std::vector<std::string> fruit, birds;
  } cases[] = {
      {"stone", true, {"cherry", "sloes"}, {}},
      {"small", true, {"cherry"}, {"stonechat", "wren"}},
      {"stone | stony", true, {"cherry", "sloes"}, {"stonechat"}},
      {"fruit & !small", false, {"apple"}, {}},
      {"ston*", false, {"cherry", "sloes"}, {"stonechat"}},
      {"plum", true, {}, {}},
  };
  for (const auto& c : cases) {
    int indexedSeen = 0, readingSeen = 0;
    onTurn = [&](int) {
      indexedSeen += view.indexedTextSearch() != nullptr;
      readingSeen += view.sequentialTextSearch() != nullptr;
      EXPECT_NE(view.currentDictionary(), 1) << "a dictionary without definitions is skipped";
    };
    search(c.pattern);
    EXPECT_EQ(results(0, true), c.fruit) << c.pattern;
    EXPECT_TRUE(results(1).empty()) << c.pattern;
    EXPECT_EQ(results(2, true), c.birds) << c.pattern;
    const std::size_t total = c.fruit.size() + c.birds.size();
    EXPECT_EQ(host.status, std::to_string(total) + (total == 1 ? " result found" : " results found"));
    if (total > 0) {
      EXPECT_EQ(indexedSeen > 0, c.indexed) << c.pattern;
      EXPECT_EQ(readingSeen > 0, !c.indexed) << c.pattern;
    }
  }
}

TEST_F(FullTextTest, HitsCarryTheirRecord) {
  std::vector<std::string> many;
  for (int i = 0; i < 700; ++i)
    many.push_back(std::string("w") + static_cast<char>('a' + i % 26) + std::to_string(i) + "|word " +
                   (i % 3 ? "even" : "odd"));
  openDictionaries({many});
  view.setMode(true);
  for (const char* pattern : {"odd", "!even"}) {  // by index, then by reading
    const std::vector<std::string> all = search(pattern);
    ASSERT_EQ(all.size(), 234u) << pattern;
    const ResultsList& list = view.group(0).list;
    Definition record;  // every entry's reference is its record
    ASSERT_TRUE(view.lookUpFullTextHit(0, list.entryAt(100)->reference(), record)) << pattern;
    EXPECT_EQ(record.body, "word odd");
    EXPECT_EQ(record.firstParts.at(0), list.textAt(100));
  }
}

TEST_F(FullTextTest, LookupOfAHitAfterTheDictionaryWasRebuilt) {
  openDictionaries({kFruit});
  view.setMode(true);
  ASSERT_EQ(search("stone").size(), 2u);
  const std::uint32_t reference = view.group(0).list.entryAt(0)->reference();
  Definition record;
  ASSERT_TRUE(view.lookUpFullTextHit(0, reference, record));
  EXPECT_EQ(record.dictionaryPath, paths[0]);

  // Rebuilt with other definitions, the offsets mean something else now.
  std::vector<std::string> rebuilt = kFruit;
  rebuilt[1] = "cherry|a small red stone fruit on a long stalk";
  test::TestDictionaryOptions options;
  options.fileName = "d0.kkd";
  test::buildTestDictionary(dir, rebuilt, options);
  record = Definition();
  EXPECT_FALSE(view.lookUpFullTextHit(0, reference, record));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].caption, "Dictionary Changed");
  EXPECT_EQ(host.messages[0].text, "The dictionary has been updated.\n\nPlease rerun the search and try again.");
  EXPECT_TRUE(record.body.empty());

  ASSERT_EQ(search("stone").size(), 2u);  // a new search takes the new stamp
  EXPECT_TRUE(view.lookUpFullTextHit(0, view.group(0).list.entryAt(0)->reference(), record));
}

// Writes the scores of scored lines beside dictionary `index` of the view.
void scoreDictionary(const std::string& path, const std::vector<std::string>& lines) {
  ScoredWords words;
  for (const std::string& line : lines) words.addLine(line);
  ASSERT_TRUE(writeScoresCompanion(path, words, nullptr, nullptr));
}

std::vector<int> scoresOf(const ResultsList& list) {
  std::vector<int> out;
  for (int i = 0; i < list.count(); ++i) out.push_back(list.entryAt(i)->score());
  return out;
}

// Scores reach the entries they belong to however the search reads the
// list (patterns whose required letters let the cursor turn words away
// unread, several lengths), most common first orders them, and the
// threshold hides what is rarer but never what has no score.
TEST_F(ViewTest, MostCommonFirstAndTheRareEntriesThreshold) {
  const Words lines = {"mead;20", "meal;60", "melt;35", "maze", "mode;80", "made;90", "mean;45", "men;70", "metal;50"};
  openDictionaries({lines, {"meal", "mild;40", "mean"}});
  scoreDictionary(paths[0], lines);
  scoreDictionary(paths[1], {"mild;40"});
  UserOptions& o = workspace.profile;
  o.viewCommonFirst = true;
  o.viewLengthGrouping = false;
  EXPECT_EQ(search("m*"), (Words{"made", "mode", "men", "meal", "metal", "mean", "melt", "mead", "maze"}));
  EXPECT_EQ(scoresOf(view.group(0).list), (std::vector<int>{90, 80, 70, 60, 50, 45, 35, 20, -1}));
  // Duplicates of the first dictionary are still left out of the second.
  EXPECT_EQ(results(1), Words{"mild"});
  // Required letters let the cursor skip words: the scores stay right.
  EXPECT_EQ(search("*e*l*"), (Words{"meal", "metal", "melt"}));
  EXPECT_EQ(scoresOf(view.group(0).list), (std::vector<int>{60, 50, 35}));
  o.viewLengthGrouping = true;
  o.viewLengthGroupingSense = 1;
  EXPECT_EQ(search("me*"), (Words{"men", "meal", "mean", "melt", "mead", "metal"}));

  o.outputMinimumScore = 50;
  EXPECT_EQ(search("m*"), (Words{"men", "made", "mode", "meal", "maze", "metal"}));
  // Sorted at the end, as the terminal has it, the lists come out the same.
  view.setListsSortedAtEnd(true);
  EXPECT_EQ(search("m*"), (Words{"men", "made", "mode", "meal", "maze", "metal"}));
  view.setListsSortedAtEnd(false);

  // Entries without a score are never hidden.
  o.viewCommonFirst = false;
  workspace.active = 1;
  o.viewMultipleDictionaries = UserOptions::kActiveDictionaryOnly;
  o.outputMinimumScore = 90;
  EXPECT_EQ(search("m*", 1), (Words{"meal", "mean"}));
}

// Phrase anagrams come most likely first: the phrase the dictionary lists,
// then pairs of common words that go together.
TEST_F(ViewTest, PhraseAnagramsAreRankedByDefault) {
  const Words lines = {"tail end;40", "tail;70", "end;85", "dial;50", "net;75", "lead;72", "tin;60", "land;76",
                       "tie;70"};
  openDictionaries({lines});
  scoreDictionary(paths[0], lines);
  ASSERT_TRUE(writePairsCompanion(paths[0], {{PairScores::pairKey("lead", "tin"), 20}}, nullptr));
  view.setMode(SearchMode::PhraseAnagram);
  host.enumeration = "(4,3)";
  view.enumerationChanged();
  EXPECT_EQ(search("tailend"), (Words{"tail end", "lead tin", "land tie", "dial net"}));
  // The alphabetical option still gives the alphabet.
  workspace.profile.viewSorting = true;
  EXPECT_EQ(search("tailend"), (Words{"dial net", "land tie", "lead tin", "tail end"}));
}

// A meaning ranks the matches of a word search in one list, most likely
// first, whatever the order options say; the status counts what it ranked,
// and each ranked entry can say which words of the meaning it matched.
TEST_F(ViewTest, AMeaningRanksTheWordSearchAndSaysWhy) {
  openDictionaries({{"electron;60", "proton;60", "neutron;60", "elk;90", "ergo;70", "lepton"}, {"electrons", "omen"}});
  MeaningDocuments documents;
  ASSERT_TRUE(documents.addLines("electron|electrons\tparticle:1 negative:1 charge:1\n"
                                 "proton\tparticle:1 positive:1 charge:1\nneutron\tparticle:1 neutral:1\n",
                                 nullptr));
  for (const std::string& path : paths) ASSERT_TRUE(writeMeaningCompanion(path, documents, nullptr, nullptr));
  scoreDictionary(paths[0], {"electron;60", "proton;60", "neutron;60", "elk;90", "ergo;70"});
  UserOptions& o = workspace.profile;
  o.viewSorting = true;  // alphabetical, grouped by length: the meaning overrides both
  o.viewLengthGrouping = true;
  o.viewMultipleDictionaries = UserOptions::kSearchIndependently;

  view.setMeaning("negatively charged particles");
  EXPECT_TRUE(view.ranksByMeaning());
  EXPECT_EQ(search("*"), (Words{"electron", "proton", "neutron", "elk", "ergo", "lepton"}));
  EXPECT_EQ(results(1), (Words{"electrons", "omen"}));
  EXPECT_EQ(host.status, "8 results found, 4 ranked by meaning");
  EXPECT_EQ(view.meaningMatches(0, "electron"), (Words{"negatively", "charged", "particles"}));
  EXPECT_EQ(view.meaningMatches(0, "neutron"), (Words{"particles"}));
  EXPECT_TRUE(view.meaningMatches(0, "elk").empty());
  EXPECT_EQ(view.meaningMatches(1, "electrons"), (Words{"negatively", "charged", "particles"}));

  // Only word searches rank; a meaning of common words alone is refused.
  view.setMeaning("of the");
  type("e*");
  EXPECT_EQ(view.state(), SearchState::Invalid);
  EXPECT_EQ(host.status, texts::kMeaningHasNoWords);
  view.setMode(SearchMode::FullText);
  EXPECT_FALSE(view.ranksByMeaning());
  view.setMode(SearchMode::Word);
  // Without a meaning the options' order is back.
  view.setMeaning("");
  EXPECT_EQ(search("*"), (Words{"elk", "ergo", "lepton", "proton", "neutron", "electron"}));
  EXPECT_TRUE(view.meaningMatches(0, "electron").empty());
}

}  // namespace
}  // namespace kea
