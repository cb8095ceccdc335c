#include "definitions/DefinitionViewWindows.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FakeDefinitionViews.h"

namespace kea {
namespace {

using test::FakeFrame;
using test::FakeText;
using test::FakeTree;
using test::FakeWorkspace;
using W = DefinitionViewWindows;

constexpr const char* kEnglish = "/dict/English.kkd";
constexpr const char* kWordNet = "/dict/WordNet.kkd";

Definition record(const char* path, int index, std::vector<std::pair<std::string, std::string>> pairs,
                  std::string headword, std::string body, std::uint32_t offset = 0) {
  Definition d;
  d.dictionaryPath = path;
  d.dictionaryIndex = index;
  for (auto& [first, second] : pairs) {
    d.firstParts.push_back(first);
    d.secondParts.push_back(second);
  }
  d.headword = std::move(headword);
  d.body = std::move(body);
  d.offset = offset;
  return d;
}

class DefinitionWindow : public ::testing::Test {
 protected:
  DefinitionWindow() : options("/prog"), window(1, options, workspace, frame, tree, text) {
    workspace.dictionaries[kEnglish] = {"English words", "English details"};
    workspace.dictionaries[kWordNet] = {"WordNet 3.0", "{\\rtf1 \\b WordNet\\b0  glosses}"};
    // Like a real tree, the fake reports every selection, the window's own included.
    tree.onChange = [this] { window.onTreeSelectionChanged(); };
  }

  std::vector<std::string> leafTexts() const {
    std::vector<std::string> texts;
    for (const auto& n : tree.nodes) texts.push_back((n.parent == kNoTreeItem ? "# " : "") + n.text);
    return texts;
  }
  std::string shownText() const { return text.content.plainText(); }
  // Shows `count` words w1, w2, …, each with one record.
  void showWords(int count) {
    for (int i = 1; i <= count; ++i) {
      const std::string w = "w" + std::to_string(i);
      workspace.definitionsOf[w] = {record(kEnglish, 0, {}, w, "body of " + w)};
      window.showWord(workspace.definitionsOf[w], w);
    }
  }

  KEAViewProfileWindows options;
  FakeWorkspace workspace;
  FakeFrame frame;
  FakeTree tree;
  FakeText text;
  DefinitionViewWindows window;
};

TEST_F(DefinitionWindow, RecordsSortByDictionaryThenHeadingWithNumbersByValue) {
  window.showWord({record(kWordNet, 1, {{"item", " 10"}}, "item", "w10"),
                   record(kEnglish, 0, {{"item", " 10"}}, "item", "e10"),
                   record(kEnglish, 0, {{"item", " 2"}}, "item", "e2"),
                   record(kWordNet, 1, {{"\xCFtem", " 2"}}, "item", "w2"),
                   record(kEnglish, 0, {}, "item", "e")},
                  "item");
  EXPECT_EQ(leafTexts(), (std::vector<std::string>{"# English words", "item", "item 2", "item 10", "# WordNet 3.0",
                                                   "\xCFtem 2", "item 10"}));
  std::vector<std::string> bodies;
  for (const auto& d : window.definitions()) bodies.push_back(d.body);
  EXPECT_EQ(bodies, (std::vector<std::string>{"e", "e2", "e10", "w2", "w10"}));
  // Branches carry the first record of their dictionary and image 0; leaves
  // their own record and images 2 and 3; both branches end up expanded.
  EXPECT_EQ(tree.nodes[4].data, 3);
  EXPECT_EQ(tree.nodes[4].image, W::kBranchImage);
  EXPECT_EQ(tree.nodes[5].data, 3);
  EXPECT_EQ(tree.nodes[5].image, W::kLeafImage);
  EXPECT_EQ(tree.nodes[5].selectedImage, W::kLeafSelectedImage);
  EXPECT_EQ(tree.nodes[5].parent, tree.handleAt(4));
  EXPECT_TRUE(tree.nodes[0].expanded && tree.nodes[4].expanded);
  EXPECT_EQ(frame.caption, "item - Definition [1]");
}

TEST_F(DefinitionWindow, EqualRecordsKeepTheDictionarysOrder) {
  std::vector<Definition> senses;
  for (int i = 0; i < 40; ++i) senses.push_back(record(kWordNet, 0, {{"Bank", ""}}, "bank", std::to_string(i)));
  senses.push_back(record(kWordNet, 0, {{"a", ""}}, "bank", "first"));
  window.showWord(senses, "zzz");
  ASSERT_EQ(window.definitions().size(), 41u);
  EXPECT_EQ(window.definitions()[0].body, "first");
  for (int i = 0; i < 40; ++i) EXPECT_EQ(window.definitions()[i + 1].body, std::to_string(i));
}

TEST_F(DefinitionWindow, HeadingIsTheAlternativeClosestToTheWord) {
  window.showWord({record(kEnglish, 0, {{"tail", ""}, {"tail-end", " (n)"}, {"tailgate", ""}}, "tail", "a"),
                   record(kEnglish, 0, {{"Bank", " x"}, {"bank", " y"}, {"ban", "k"}}, "bank", "b"),
                   record(kEnglish, 0, {{"river", ""}, {"bank", " 2"}}, "bank", "c")},
                  "tail end");
  // Sorted by heading: "bank y", "river", then "tail-end (n)", which
  // matches 7 steps of "tail end" where the others match 4.
  ASSERT_EQ(window.definitions()[2].body, "a");
  EXPECT_EQ(window.definitions()[2].heading(), "tail-end (n)");
  // No alternative is lost by the choice.
  EXPECT_EQ(std::multiset<std::string>(window.definitions()[2].firstParts.begin(),
                                       window.definitions()[2].firstParts.end()),
            (std::multiset<std::string>{"tail", "tail-end", "tailgate"}));

  window.showWord({record(kEnglish, 0, {{"Bank", " x"}, {"bank", " y"}, {"banks", ""}}, "bank", "b")}, "bank");
  // A tie goes to the alternative whose first part is exactly the word.
  EXPECT_EQ(window.definitions()[0].heading(), "bank y");
  window.showWord({record(kEnglish, 0, {{"Bank", " x"}, {"bank", " y"}, {"ban", "k"}}, "bank", "b")}, "bank");
  // One equal to the word beats both.
  EXPECT_EQ(window.definitions()[0].heading(), "bank");

  window.showWord({record(kEnglish, 0, {{"river", ""}, {"bank", " 2"}, {"bank", " 1"}}, "bank", "c")}, "bank",
                  "", " 1");
  // The suffix is part of the word: "bank 1" equals it.
  EXPECT_EQ(window.definitions()[0].heading(), "bank 1");
}

TEST_F(DefinitionWindow, InitialSelectionIsTheClosestLeafOfTheFirstOrTheGivenDictionary) {
  const std::vector<Definition> records = {
      record(kEnglish, 0, {{"bank", ""}}, "bank", "english bank"),
      record(kWordNet, 1, {{"bank", " 1"}}, "bank", "sloping land"),
      record(kWordNet, 1, {{"bank", " 2"}}, "bank", "financial institution"),
      record(kWordNet, 1, {{"bankroll", ""}}, "bankroll", "funds"),
  };
  window.showWord(records, "bank");
  EXPECT_EQ(tree.selectedIndex(), 1);
  EXPECT_EQ(frame.status, "Definition 1 of 4");
  EXPECT_EQ(shownText(), "english bank");
  EXPECT_EQ(window.currentDefinition(), 0);

  // From a definition window: the record's dictionary and the sense number.
  window.showWord(records, "bank", kWordNet, " 2");
  EXPECT_EQ(tree.nodes[static_cast<std::size_t>(tree.selectedIndex())].text, "bank 2");
  EXPECT_EQ(frame.status, "Definition 3 of 4");
  EXPECT_EQ(shownText(), "financial institution");
  EXPECT_EQ(frame.caption, "bank - Definition [1]");  // the caption has no suffix

  // Nothing close: the first leaf of the first branch.
  window.showWord(records, "zebra");
  EXPECT_EQ(tree.selectedIndex(), 1);
  // A dictionary to select that holds none of the records: the same.
  window.showWord(records, "bankroll", "/elsewhere.kkd");
  EXPECT_EQ(tree.selectedIndex(), 1);
}

TEST_F(DefinitionWindow, ShownRecordHasDefaultsAndHeadwordWhenItHasNoHeadings) {
  options.definitionBackgroundColor = Colour::fromRgb(1, 2, 3);
  text.dpi = 120;
  window.showWord({record(kEnglish, 0, {}, "Smith\n(surname)", "{\\rtf1 a \\b maker\\b0  of things}")}, "smith");
  EXPECT_EQ(text.background, Colour::fromRgb(1, 2, 3));
  EXPECT_EQ(text.defaultFormat, characterFormatFromFont(options.definitionDefaultFont, 120));
  ASSERT_GE(text.content.runs.size(), 3u);
  EXPECT_EQ(text.content.runs[0].text, "Smith\n(surname)");
  EXPECT_TRUE(text.content.runs[0].style.bold && text.content.runs[0].style.underline);
  EXPECT_EQ(shownText(), "Smith\n(surname)\na maker of things");
  EXPECT_TRUE(text.content.runs[2].style.bold);
  EXPECT_TRUE(text.redraw);
  EXPECT_TRUE(text.focused);
}

TEST_F(DefinitionWindow, OtherRichTextVersionsShowAsPlainText) {
  window.showWord({record(kEnglish, 0, {{"x", ""}}, "x", "{\\rtf2 \\b x}")}, "x");
  ASSERT_EQ(text.content.runs.size(), 1u);
  EXPECT_EQ(text.content.runs[0].text, "{\\rtf2 \\b x}");
  EXPECT_EQ(text.content.runs[0].style, TextStyle{});
}

TEST_F(DefinitionWindow, WordIsHighlightedInItsCaseAndAccentVariants) {
  window.showWord({record(kEnglish, 0, {{"tail-end", ""}}, "tail-end", "the Tail-end; tails; T\xC2IL END!")},
                  "tailend");
  const CharacterFormat highlight = characterFormatFromFont(options.definitionHighlightFont, text.dpi);
  ASSERT_EQ(text.applied.size(), 2u);
  EXPECT_EQ(text.applied[0].range, (TextRange{4, 12}));
  EXPECT_EQ(text.applied[1].range, (TextRange{21, 29}));
  EXPECT_EQ(text.applied[0].format, highlight);
  // The caret goes to the first highlight.
  EXPECT_EQ(text.sel, (TextRange{4, 4}));
  EXPECT_EQ(text.scrolledTo, 4);
}

class WordSet : public FullTextWordMatcher {
 public:
  bool inAlphabet(std::uint8_t b) const override { return b >= 'a' && b <= 'z'; }
  bool matches(std::string_view word) const override { return word == "charge" || word == "particle"; }
};

TEST_F(DefinitionWindow, FullTextQueryHighlightsItsWordsInstead) {
  const WordSet query;
  window.showWord({record(kEnglish, 0, {{"electron", ""}}, "electron", "an elementary particle with negative charge")},
                  "electron", "", "", &query);
  ASSERT_EQ(text.applied.size(), 2u);
  EXPECT_EQ(text.applied[0].range, (TextRange{14, 22}));
  EXPECT_EQ(text.applied[1].range, (TextRange{37, 43}));
  EXPECT_EQ(text.sel, (TextRange{14, 14}));
}

TEST_F(DefinitionWindow, NextAndPreviousDefinitionWrapAndVisitBranches) {
  window.showWord({record(kEnglish, 0, {{"a", ""}}, "a", "A1"), record(kEnglish, 0, {{"b", ""}}, "b", "B1"),
                   record(kWordNet, 1, {{"a", ""}}, "a", "A2")},
                  "a");
  // Items: 0 English, 1 a, 2 b, 3 WordNet, 4 a.
  ASSERT_EQ(tree.selectedIndex(), 1);
  EXPECT_TRUE(window.execute(W::kNextDefinition));
  EXPECT_EQ(tree.selectedIndex(), 2);
  EXPECT_TRUE(window.execute(W::kNextDefinition));
  EXPECT_EQ(tree.selectedIndex(), 3);  // the next branch shows its dictionary
  EXPECT_EQ(frame.status, "Description of WordNet 3.0");
  EXPECT_EQ(shownText(), "WordNet glosses");
  EXPECT_TRUE(text.content.runs[0].style.bold);
  EXPECT_EQ(window.currentDefinition(), 2);
  window.execute(W::kNextDefinition);
  EXPECT_EQ(shownText(), "A2");
  window.execute(W::kNextDefinition);
  EXPECT_EQ(tree.selectedIndex(), 0);  // from the last item to the first branch
  EXPECT_EQ(frame.status, "Description of English words");
  EXPECT_EQ(shownText(), "English details");
  window.execute(W::kPreviousDefinition);
  EXPECT_EQ(tree.selectedIndex(), 4);  // from the first branch to the last item
  EXPECT_EQ(frame.status, "Definition 3 of 3");

  tree.click(1);
  EXPECT_EQ(shownText(), "A1");
  window.execute(W::kPreviousDefinition);
  EXPECT_EQ(tree.selectedIndex(), 0);  // the first leaf's branch
}

TEST_F(DefinitionWindow, EachSelectionIsShownOnceAndNestedDisplaysAreIgnored) {
  window.showWord({record(kEnglish, 0, {{"a", ""}}, "a", "A"), record(kEnglish, 0, {{"b", ""}}, "b", "B")}, "a");
  EXPECT_EQ(text.setContentCalls, 1);
  // The pane reports a selection change while it loads a text.
  text.duringLoad = [this] {
    text.duringLoad = nullptr;
    tree.click(2);
  };
  tree.click(1);
  EXPECT_EQ(text.setContentCalls, 2);
  EXPECT_EQ(shownText(), "A");
}

TEST_F(DefinitionWindow, WordWithoutRecordsLeavesAnEmptyTreeAndPane) {
  window.showWord({}, "nothing");
  EXPECT_TRUE(tree.nodes.empty());
  EXPECT_EQ(tree.selected(), kNoTreeItem);
  EXPECT_EQ(window.currentDefinition(), -1);
  EXPECT_EQ(frame.status, "");
  EXPECT_TRUE(window.execute(W::kNextDefinition));
  EXPECT_EQ(tree.selected(), kNoTreeItem);
  EXPECT_EQ(window.history(), (std::vector<std::string>{"nothing"}));
}

TEST_F(DefinitionWindow, BackAndForwardRetrieveAgainAndANewWordCutsTheHistory) {
  showWords(3);
  EXPECT_EQ(window.historyPosition(), 3u);
  EXPECT_TRUE(window.isEnabled(W::kBack));
  EXPECT_FALSE(window.isEnabled(W::kForward));
  EXPECT_TRUE(window.onTextKey(DefinitionKey::Backspace));
  EXPECT_EQ(window.historyPosition(), 2u);
  EXPECT_EQ(workspace.retrieved, (std::vector<std::string>{"w2"}));
  EXPECT_EQ(shownText(), "w2\nbody of w2");
  EXPECT_EQ(frame.caption, "w2 - Definition [1]");
  ASSERT_FALSE(text.applied.empty());  // the word is highlighted again
  EXPECT_EQ(text.applied[0].range, (TextRange{0, 1}));  // the word's one letter; digits are no letters
  EXPECT_TRUE(window.isEnabled(W::kForward));
  EXPECT_EQ(window.history().size(), 3u);  // moving does not change the history

  window.showWord({record(kEnglish, 0, {}, "w4", "x")}, "w4");
  EXPECT_EQ(window.history(), (std::vector<std::string>{"w1", "w2", "w4"}));
  EXPECT_EQ(window.historyPosition(), 3u);
  window.execute(W::kBack);
  window.execute(W::kBack);
  EXPECT_EQ(window.historyPosition(), 1u);
  EXPECT_FALSE(window.isEnabled(W::kBack));
  EXPECT_FALSE(window.execute(W::kBack));
  window.execute(W::kForward);
  EXPECT_EQ(window.historyPosition(), 2u);
}

TEST(DefinitionHistoryMenu, FirstItemKeepsTheCurrentEntryInAWindowOfTen) {
  struct Case {
    std::size_t position, size;
    int first;
  };
  const Case cases[] = {
      {1, 20, 1}, {8, 20, 3}, {20, 20, 11}, {6, 20, 1}, {7, 20, 2}, {15, 20, 10}, {16, 20, 11},
      {3, 3, 1},  {0, 0, 1},  {1, 1, 1},    {10, 10, 1}, {11, 11, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(W::firstHistoryItem(c.position, c.size), c.first) << c.position << " of " << c.size;
  }
}

TEST_F(DefinitionWindow, HistoryMenuItemsNameTheEntriesWithDigitAccessKeys) {
  showWords(20);
  auto menu = window.historyMenu();
  ASSERT_EQ(menu.size(), 10u);
  EXPECT_EQ(menu[0].text, "&1 w11");
  EXPECT_EQ(menu[9].text, "1&0 w20");
  EXPECT_TRUE(menu[9].checked);
  EXPECT_EQ(menu[9].command, W::kHistoryItem0 + 9);

  // Item 3 of that menu is entry 13; then its menu runs 8…17.
  window.execute(W::kHistoryItem0 + 2);
  EXPECT_EQ(window.historyPosition(), 13u);
  EXPECT_EQ(window.firstHistoryItem(), 8);
  window.execute(W::kHistoryItem0);
  EXPECT_EQ(window.historyPosition(), 8u);
  menu = window.historyMenu();
  EXPECT_EQ(menu[0].text, "&1 w3");
  EXPECT_EQ(menu[5].text, "&6 w8");
  EXPECT_TRUE(menu[5].checked);
  EXPECT_FALSE(menu[4].checked);
  EXPECT_EQ(menu[9].text, "1&0 w12");

  for (int i = 0; i < 7; ++i) window.execute(W::kBack);
  EXPECT_EQ(window.historyPosition(), 1u);
  menu = window.historyMenu();
  EXPECT_EQ(menu[0].text, "&1 w1");
  EXPECT_TRUE(menu[0].checked);
  EXPECT_EQ(menu[9].text, "1&0 w10");
}

TEST_F(DefinitionWindow, ShortHistoryMenuAndItemsPastItsEndDoNothing) {
  showWords(3);
  const auto menu = window.historyMenu();
  ASSERT_EQ(menu.size(), 3u);
  EXPECT_TRUE(menu[2].checked);
  const auto retrieved = workspace.retrieved.size();
  EXPECT_TRUE(window.isEnabled(W::kHistoryItem0 + 7));
  window.execute(W::kHistoryItem0 + 7);  // entry 8 of 3
  window.execute(W::kHistoryItem0 + 2);  // the current entry
  EXPECT_EQ(window.historyPosition(), 3u);
  EXPECT_EQ(workspace.retrieved.size(), retrieved);
}

TEST_F(DefinitionWindow, AWordForLookupIsAtMost128Characters) {
  const std::string word128(128, 'q');
  window.showWord({record(kEnglish, 0, {{"x", ""}}, "x", word128 + " " + word128 + "r")}, "x");
  text.sel = {5, 5};
  EXPECT_EQ(window.wordToLookUp(), word128);
  EXPECT_TRUE(window.isEnabled(W::kLookup));
  text.sel = {200, 200};
  EXPECT_EQ(window.wordToLookUp(), "");
  for (int command : {int{W::kLookup}, int{W::kLookupInNewWindow}, int{W::kExternalLookup}, W::kExternalLookupMethod0 + 3}) {
    EXPECT_FALSE(window.isEnabled(command)) << command;
    EXPECT_FALSE(window.execute(command)) << command;
  }
  EXPECT_EQ(window.lookupMenuText(W::kLookup), "&Lookup\tCtrl+Enter");
  EXPECT_EQ(window.lookupMenuText(W::kLookupInNewWindow), "Lookup in &New Window...\tShift+Ctrl+Enter");
  // A selection of 129 characters gives no word either.
  text.sel = {129, 258};
  EXPECT_EQ(window.wordToLookUp(), "");
  text.sel = {129, 257};
  EXPECT_EQ(window.wordToLookUp(), word128);
  EXPECT_TRUE(workspace.lookups.empty());
}

TEST_F(DefinitionWindow, LookupsCarryTheShownDictionaryAndTheSenseNumber) {
  window.showWord({record(kWordNet, 0, {{"x", ""}}, "x", "see bank 2; R&D")}, "x");
  text.sel = {5, 5};
  EXPECT_EQ(window.lookupMenuText(W::kLookup), "&Lookup \"bank\"\tCtrl+Enter");
  EXPECT_EQ(window.lookupMenuText(W::kLookupInNewWindow), "Lookup in &New Window \"bank\"...\tShift+Ctrl+Enter");
  window.onTextDoubleClick(false);
  window.onTextDoubleClick(true);
  ASSERT_EQ(workspace.lookups.size(), 2u);
  EXPECT_EQ(workspace.lookups[0], (LookupRequest{"bank", kWordNet, " 2"}));
  EXPECT_EQ(workspace.newWindow, (std::vector<bool>{false, true}));

  text.sel = {12, 15};
  EXPECT_EQ(window.lookupMenuText(W::kLookup), "&Lookup \"R&&D\"\tCtrl+Enter");  // shows as R&D
  window.execute(W::kExternalLookup);
  window.execute(W::kExternalLookupMethod0 + 1);
  EXPECT_EQ(workspace.externalWords, (std::vector<std::string>{"R&D", "R&D"}));
  EXPECT_EQ(workspace.externalCommands, (std::vector<int>{W::kExternalLookup, W::kExternalLookupMethod0 + 1}));
}

TEST_F(DefinitionWindow, OtherCommandsAndKeys) {
  window.showWord({record(kEnglish, 0, {{"x", ""}}, "x", "text")}, "x");
  text.sel = {0, 0};
  EXPECT_FALSE(window.isEnabled(W::kCopy));
  text.sel = {0, 2};
  EXPECT_TRUE(window.execute(W::kCopy));
  EXPECT_EQ(text.copies, 1);
  EXPECT_TRUE(window.execute(W::kSelectAll));
  EXPECT_EQ(text.sel, (TextRange{0, 4}));

  EXPECT_FALSE(window.isEnabled(W::kNextResult));
  workspace.canMoveDown = true;
  EXPECT_TRUE(window.isEnabled(W::kNextResult));
  EXPECT_FALSE(window.isEnabled(W::kPreviousResult));
  window.execute(W::kNextResult);
  window.execute(W::kPreviousResult);
  EXPECT_EQ(workspace.moves, (std::vector<int>{1}));

  EXPECT_TRUE(window.onTextKey(DefinitionKey::F5));
  EXPECT_FALSE(window.onTextKey(DefinitionKey::Other));
  EXPECT_EQ(workspace.keys, (std::vector<DefinitionKey>{DefinitionKey::F5}));
  EXPECT_FALSE(window.isEnabled(4242));
  EXPECT_FALSE(window.execute(4242));
}

TEST(DefinitionFrameTexts, CaptionSuffixPlacementKeyAndSplitter) {
  EXPECT_EQ(W::captionSuffix(2), " - Definition [2]");
  EXPECT_EQ(W::placementKey(1), "Definition1Position");
  // Gap 4: a pane may not become narrower than 32.
  EXPECT_TRUE(W::splitterMoveAllowed(100, 36, 400, 4));
  EXPECT_FALSE(W::splitterMoveAllowed(100, 35, 400, 4));
  EXPECT_TRUE(W::splitterMoveAllowed(100, 368, 400, 4));
  EXPECT_FALSE(W::splitterMoveAllowed(100, 369, 400, 4));
}

}  // namespace
}  // namespace kea
