// The definition window's logic through fake panes: the order of records
// and headings, the initial selection, highlights, Next and Previous, the
// history and its menu, and the lookup commands.
#include "definitions/DefinitionBrowser.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "FakeDefinitionViews.h"
#include "definitions/NaturalCompare.h"

namespace kea {
namespace {

using W = DefinitionBrowser;
using Texts = std::vector<std::string>;

constexpr const char* kEnglish = "/dict/English.kkd";
constexpr const char* kWordNet = "/dict/WordNet.kkd";

Definition record(const char* path, int index, std::vector<std::pair<std::string, std::string>> pairs,
                  std::string headword, std::string body) {
  Definition d;
  d.dictionaryPath = path;
  d.dictionaryIndex = index;
  for (auto& [first, second] : pairs) {
    d.firstParts.push_back(first);
    d.secondParts.push_back(second);
  }
  d.headword = std::move(headword);
  d.body = std::move(body);
  return d;
}

class DefinitionWindow : public ::testing::Test {
 protected:
  DefinitionWindow() : options("/prog"), window(1, options, workspace, frame, tree, text) {
    workspace.dictionaries[kEnglish] = {"English words", "English details"};
    workspace.dictionaries[kWordNet] = {"WordNet 3.0", "{\\rtf1 \\b WordNet\\b0  glosses}"};
    tree.onChange = [this] { window.onTreeSelectionChanged(); };
  }

  Texts itemTexts() const {
    Texts texts;
    for (const auto& n : tree.nodes) texts.push_back((n.parent == kNoTreeItem ? "# " : "") + n.text);
    return texts;
  }
  Texts bodies() const {
    Texts out;
    for (const auto& d : window.definitions()) out.push_back(d.body);
    return out;
  }
  std::string shown() const { return text.content.plainText(); }
  // Shows `count` words w1, w2, …, each with one record.
  void showWords(int count) {
    for (int i = 1; i <= count; ++i) {
      const std::string w = "w" + std::to_string(i);
      workspace.definitionsOf[w] = {record(kEnglish, 0, {}, w, "body of " + w)};
      window.showWord(workspace.definitionsOf[w], w);
    }
  }

  UserOptions options;
  test::FakeWorkspace workspace;
  test::FakeFrame frame;
  test::FakeTree tree;
  test::FakeText text;
  DefinitionBrowser window;
};

int sign(int v) { return (v > 0) - (v < 0); }

TEST(NaturalCompare, OrdersAndCountsMatchedSteps) {
  const struct {
    std::string a, b;
    int order;  // -1, 0, +1
    int count;  // -1: not checked
  } cases[] = {
      {"item 10", "item 2", 1, 4},  // numbers by value
      {"item 02", "item 2", 0, 5},   {"Bank", "bank", 0, 4},       // leading zeros; case
      {"\xC9" "clair", "eclair", 0, 6}, {"tail-end", "tail end", 0, 7},  // accents; non-word characters
      {"tail", "tail end", -1, 4},   {"bank", "bank 2", -1, 4},    // a exhausted first
      {"...", "", 0, 0},  {"", "a", -1, 0},  {"abc", "abd", -1, 2},
      {"x99999999999999999999999", "x100000000000000000000000", -1, 1},  // beyond 64 bits
      // A letter against a digit 1-9 reads as 0; against 0 it compares as a character.
      {"a", "1", -1, -1},  {"5", "a", 1, -1},  {"0", "a", -1, -1},
  };
  for (const auto& c : cases) {
    int count = -1;
    EXPECT_EQ(sign(compareNatural(c.a, c.b, count)), c.order) << c.a << " vs " << c.b;
    if (c.count >= 0) {
      EXPECT_EQ(count, c.count) << c.a << " vs " << c.b;
    }
  }
}

TEST_F(DefinitionWindow, RecordsSortByDictionaryThenHeadingWithNumbersByValue) {
  window.showWord({record(kWordNet, 1, {{"item", " 10"}}, "item", "w10"),
                   record(kEnglish, 0, {{"item", " 10"}}, "item", "e10"),
                   record(kEnglish, 0, {{"item", " 2"}}, "item", "e2"),
                   record(kWordNet, 1, {{"\xCFtem", " 2"}}, "item", "w2"), record(kEnglish, 0, {}, "item", "e")},
                  "item");
  EXPECT_EQ(itemTexts(), (Texts{"# English words", "item \x96 e", "item 2 \x96 e2", "item 10 \x96 e10", "# WordNet 3.0",
                                "\xCFtem 2 \x96 w2", "item 10 \x96 w10"}));
  EXPECT_EQ(bodies(), (Texts{"e", "e2", "e10", "w2", "w10"}));
  EXPECT_EQ(tree.nodes[4].data, 3);  // a branch carries its dictionary's first record
  EXPECT_TRUE(tree.nodes[0].expanded && tree.nodes[4].expanded);

  // Equal headings keep the dictionary's order.
  std::vector<Definition> senses;
  for (int i = 0; i < 40; ++i) senses.push_back(record(kWordNet, 0, {{"Bank", ""}}, "bank", std::to_string(i)));
  senses.push_back(record(kWordNet, 0, {{"a", ""}}, "bank", "first"));
  window.showWord(senses, "zzz");
  ASSERT_EQ(window.definitions().size(), 41u);
  EXPECT_EQ(window.definitions()[0].body, "first");
  for (int i = 0; i < 40; ++i) EXPECT_EQ(window.definitions()[i + 1].body, std::to_string(i));
}

TEST_F(DefinitionWindow, HeadingIsTheAlternativeClosestToTheWord) {
  const struct {
    std::vector<std::pair<std::string, std::string>> pairs;
    const char *word, *suffix, *heading;
  } cases[] = {
      // "tail-end" matches 7 steps of "tail end", the others 4.
      {{{"tail", ""}, {"tail-end", " (n)"}, {"tailgate", ""}}, "tail end", "", "tail-end (n)"},
      {{{"Bank", " x"}, {"bank", " y"}, {"banks", ""}}, "bank", "", "bank y"},  // a tie: exactly the word
      {{{"Bank", " x"}, {"bank", " y"}, {"ban", "k"}}, "bank", "", "bank"},     // equal to the word
      {{{"river", ""}, {"bank", " 2"}, {"bank", " 1"}}, "bank", " 1", "bank 1"},  // the suffix counts
  };
  for (const auto& c : cases) {
    window.showWord({record(kEnglish, 0, c.pairs, "x", "b")}, c.word, "", c.suffix);
    ASSERT_EQ(window.definitions().size(), 1u);
    EXPECT_EQ(window.definitions()[0].heading(), c.heading);
    EXPECT_EQ(window.definitions()[0].firstParts.size(), 3u);  // no alternative is lost
  }
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
  EXPECT_EQ(shown(), "english bank");
  // From a definition window: the record's dictionary and the sense number.
  window.showWord(records, "bank", kWordNet, " 2");
  EXPECT_EQ(frame.status, "Definition 3 of 4");
  EXPECT_EQ(shown(), "financial institution");
  EXPECT_EQ(frame.caption, "bank - Definition [1]");
  window.showWord(records, "zebra");  // nothing close: the first leaf
  EXPECT_EQ(tree.selectedIndex(), 1);
}

// "tail" as the shipped dictionaries hold it: eleven senses of one heading,
// and the same glosses again in WordNet.
TEST_F(DefinitionWindow, AWordOpensOnItsFirstSenseWithLeavesToldApartAndNothingTwice) {
  const Texts glosses = {"noun: the posterior part of the body of a vertebrate especially when elongated",
                         "noun: the rear part of a ship", "noun: the rear part of an aircraft",
                         "verb: remove the stalk of fruits or berries"};
  std::vector<Definition> records;
  for (const int dictionary : {0, 1}) {
    for (const std::string& gloss : glosses) {
      records.push_back(record(dictionary == 0 ? kEnglish : kWordNet, dictionary, {}, "tail", gloss));
    }
  }
  records.push_back(record(kWordNet, 1, {}, "tail", "noun: a gloss only WordNet has"));
  window.showWord(records, "tail");
  EXPECT_EQ(frame.status, "Definition 1 of 5");
  EXPECT_EQ(tree.selectedIndex(), 1);
  EXPECT_EQ(itemTexts(), (Texts{"# English words",
                                "tail \x96 noun: the posterior part of the body of a\x85",
                                "tail \x96 noun: the rear part of a ship",
                                "tail \x96 noun: the rear part of an aircraft",
                                "tail \x96 verb: remove the stalk of fruits or berries",
                                "# WordNet 3.0",
                                "tail \x96 noun: a gloss only WordNet has"}));
  // Another sense keeps the word highlighted.
  text.applied.clear();
  tree.click(3);
  EXPECT_EQ(frame.status, "Definition 3 of 5");
  ASSERT_EQ(text.applied.size(), 1u);
  EXPECT_EQ(text.applied[0].range, (TextRange{0, 4}));  // the heading line "tail"
  // Next Definition walks the senses in order from the first.
  window.showWord(records, "tail");
  EXPECT_TRUE(window.execute(W::kNextDefinition));
  EXPECT_EQ(frame.status, "Definition 2 of 5");
}

TEST(DefinitionLeaves, LabelsAreShortSingleLinesCutAtAWord) {
  EXPECT_EQ(W::leafLabel(record(kEnglish, 0, {}, "tail", "")), "tail");
  EXPECT_EQ(W::leafLabel(record(kEnglish, 0, {{"tail", " end"}}, "tail", "noun:\r\n  the   end")),
            "tail end \x96 noun: the end");
  EXPECT_EQ(W::leafLabel(record(kEnglish, 0, {}, "x", std::string(200, 'a'))),
            "x \x96 " + std::string(W::kLeafGlossLength, 'a') + "\x85");
  EXPECT_EQ(W::leafLabel(record(kEnglish, 0, {}, "x", "{\\rtf1 \\b bold\\b0  text}")), "x \x96 bold text");
}

class WordSet : public FullTextWordMatcher {
 public:
  bool inAlphabet(std::uint8_t b) const override { return b >= 'a' && b <= 'z'; }
  bool matches(std::string_view word) const override { return word == "charge" || word == "particle"; }
};

TEST_F(DefinitionWindow, TheWordOrAFullTextQueryIsHighlighted) {
  window.showWord({record(kEnglish, 0, {{"tail-end", ""}}, "tail-end", "the Tail-end; tails; T\xC2IL END!")},
                  "tailend");
  ASSERT_EQ(text.applied.size(), 2u);
  EXPECT_EQ(text.applied[0].range, (TextRange{4, 12}));
  EXPECT_EQ(text.applied[1].range, (TextRange{21, 29}));
  EXPECT_EQ(text.applied[0].format, characterFormatFromFont(options.definitionHighlightFont, text.dpi));
  EXPECT_EQ(text.scrolledTo, 4);  // the caret goes to the first highlight

  const WordSet query;
  window.showWord({record(kEnglish, 0, {{"electron", ""}}, "electron", "an elementary particle with negative charge")},
                  "electron", "", "", &query);
  ASSERT_EQ(text.applied.size(), 2u);
  EXPECT_EQ(text.applied[0].range, (TextRange{14, 22}));
  EXPECT_EQ(text.applied[1].range, (TextRange{37, 43}));
}

TEST_F(DefinitionWindow, NextAndPreviousDefinitionWrapAndVisitBranches) {
  window.showWord({record(kEnglish, 0, {{"a", ""}}, "a", "A1"), record(kEnglish, 0, {{"b", ""}}, "b", "B1"),
                   record(kWordNet, 1, {{"a", ""}}, "a", "A2")},
                  "a");
  // Items: 0 English, 1 a, 2 b, 3 WordNet, 4 a.
  ASSERT_EQ(tree.selectedIndex(), 1);
  EXPECT_TRUE(window.execute(W::kNextDefinition));
  EXPECT_TRUE(window.execute(W::kNextDefinition));
  EXPECT_EQ(tree.selectedIndex(), 3);  // a branch shows its dictionary
  EXPECT_EQ(frame.status, "Description of WordNet 3.0");
  EXPECT_EQ(shown(), "WordNet glosses");
  window.execute(W::kNextDefinition);
  window.execute(W::kNextDefinition);
  EXPECT_EQ(tree.selectedIndex(), 0);  // from the last item to the first
  EXPECT_EQ(shown(), "English details");
  window.execute(W::kPreviousDefinition);
  EXPECT_EQ(tree.selectedIndex(), 4);  // and back
  EXPECT_EQ(frame.status, "Definition 3 of 3");

  // Each selection is shown once; one made while the pane loads is ignored.
  const int loads = text.setContentCalls;
  text.duringLoad = [this] {
    text.duringLoad = nullptr;
    tree.click(2);
  };
  tree.click(1);
  EXPECT_EQ(text.setContentCalls, loads + 1);
  EXPECT_EQ(shown(), "A1");
}

TEST_F(DefinitionWindow, WordWithoutRecordsLeavesAnEmptyTreeAndPane) {
  window.showWord({}, "nothing");
  EXPECT_TRUE(tree.nodes.empty());
  EXPECT_TRUE(window.execute(W::kNextDefinition));
  EXPECT_EQ(tree.selected(), kNoTreeItem);
  EXPECT_EQ(window.history(), Texts{"nothing"});
}

TEST_F(DefinitionWindow, BackAndForwardRetrieveAgainAndANewWordCutsTheHistory) {
  showWords(3);
  EXPECT_FALSE(window.isEnabled(W::kForward));
  EXPECT_TRUE(window.onTextKey(DefinitionKey::Backspace));
  EXPECT_EQ(window.historyPosition(), 2u);
  EXPECT_EQ(workspace.retrieved, Texts{"w2"});
  EXPECT_EQ(shown(), "w2\nbody of w2");
  EXPECT_EQ(text.applied.at(0).range, (TextRange{0, 1}));  // highlighted again; digits are no letters
  EXPECT_TRUE(window.isEnabled(W::kForward));

  window.showWord({record(kEnglish, 0, {}, "w4", "x")}, "w4");
  EXPECT_EQ(window.history(), (Texts{"w1", "w2", "w4"}));
  window.execute(W::kBack);
  window.execute(W::kBack);
  EXPECT_EQ(window.historyPosition(), 1u);
  EXPECT_FALSE(window.execute(W::kBack));
  window.execute(W::kForward);
  EXPECT_EQ(window.historyPosition(), 2u);
}

TEST(DefinitionHistoryMenu, FirstItemKeepsTheCurrentEntryInAWindowOfTen) {
  const struct {
    std::size_t position, size;
    int first;
  } cases[] = {
      {1, 20, 1}, {8, 20, 3}, {20, 20, 11}, {6, 20, 1}, {7, 20, 2}, {16, 20, 11}, {0, 0, 1}, {11, 11, 2},
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
  // Item 3 of that menu is entry 13; item 1 of its menu (8…17) is entry 8.
  window.execute(W::kHistoryItem0 + 2);
  EXPECT_EQ(window.historyPosition(), 13u);
  window.execute(W::kHistoryItem0);
  EXPECT_EQ(window.historyPosition(), 8u);
  menu = window.historyMenu();
  EXPECT_EQ(menu[0].text, "&1 w3");
  EXPECT_TRUE(menu[5].checked);
  for (int i = 0; i < 7; ++i) window.execute(W::kBack);
  EXPECT_TRUE(window.historyMenu()[0].checked);  // entry 1: the menu runs 1…10

  // Items past the end of a short history, or the current entry, do nothing.
  showWords(3);  // after entry 1: a history of four
  ASSERT_EQ(window.historyMenu().size(), 4u);
  const auto retrieved = workspace.retrieved.size();
  window.execute(W::kHistoryItem0 + 7);
  window.execute(W::kHistoryItem0 + 3);
  EXPECT_EQ(window.historyPosition(), 4u);
  EXPECT_EQ(workspace.retrieved.size(), retrieved);
}

TEST_F(DefinitionWindow, LookupsTakeAWordOfAtMost128CharactersWithTheDictionaryAndSense) {
  const std::string word128(128, 'q');
  window.showWord({record(kWordNet, 0, {{"x", ""}}, "x", "see bank 2; R&D " + word128 + " " + word128 + "r")}, "x");
  text.sel = {20, 20};
  EXPECT_EQ(window.wordToLookUp(), word128);
  text.sel = {150, 150};  // a word of 129 characters is none
  EXPECT_FALSE(window.execute(W::kLookup));
  EXPECT_EQ(window.lookupMenuText(W::kLookup), "&Lookup");

  text.sel = {5, 5};
  EXPECT_EQ(window.lookupMenuText(W::kLookupInNewWindow), "Lookup in &New Window \"bank\"...");
  window.onTextDoubleClick(false);
  window.onTextDoubleClick(true);
  EXPECT_EQ(workspace.lookups, (std::vector<LookupRequest>(2, LookupRequest{"bank", kWordNet, " 2"})));
  EXPECT_EQ(workspace.newWindow, (std::vector<bool>{false, true}));
  text.sel = {12, 15};
  EXPECT_EQ(window.lookupMenuText(W::kLookup), "&Lookup \"R&&D\"");  // shows as R&D
  window.execute(W::kExternalLookupMethod0 + 1);
  EXPECT_EQ(workspace.externalWords, Texts{"R&D"});
}

}  // namespace
}  // namespace kea
