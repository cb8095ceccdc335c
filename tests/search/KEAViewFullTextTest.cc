// The search controller's full-text mode: its label, the searcher chosen
// per dictionary, hits listed under their records' headwords, Stop and
// Resume, and the lookup of a hit after its dictionary was rebuilt.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FakeView.h"

namespace kea {
namespace {

const std::vector<std::string> kFruit = {
    ";plum|a stone fruit",  // group one: never a full-text hit
    "cherry|a small stone fruit", "apple;pomme|a round fruit", "sloe+(berry)+s|stone", "electron",
};

class FullTextTest : public test::ViewTest {
 protected:
  std::vector<std::string> sorted(int group) const {
    std::vector<std::string> out = results(group);
    std::sort(out.begin(), out.end());
    return out;
  }
};

TEST_F(FullTextTest, ModeLabelAndNoLengthCheck) {
  openDictionaries({kFruit});
  type("stonestonestonestone");  // longer than any entry
  EXPECT_EQ(view.state(), SearchState::Invalid);
  view.setMode(true);
  EXPECT_EQ(view.state(), SearchState::Ready);
  EXPECT_EQ(host.buttonLabel, "Full Text &Search");
  view.setMode(false);
  EXPECT_EQ(view.state(), SearchState::Invalid);
  EXPECT_EQ(host.buttonLabel, "Word &Search");
}

TEST_F(FullTextTest, EachDictionaryByIndexOrByReading) {
  openDictionaries({kFruit, {"stone", "small", "cherry"}, {"wren|a small bird", "stonechat|a small bird of stony places"}});
  view.setMode(true);
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
    host.onEvents = [&](int) {
      indexedSeen += view.indexedTextSearch() != nullptr;
      readingSeen += view.sequentialTextSearch() != nullptr;
      EXPECT_NE(view.currentDictionary(), 1) << "a dictionary without definitions is skipped";
    };
    search(c.pattern);
    EXPECT_EQ(sorted(0), c.fruit) << c.pattern;
    EXPECT_TRUE(results(1).empty()) << c.pattern;
    EXPECT_EQ(sorted(2), c.birds) << c.pattern;
    const std::size_t total = c.fruit.size() + c.birds.size();
    EXPECT_EQ(host.status, std::to_string(total) + (total == 1 ? " result found" : " results found"));
    if (total > 0) {
      EXPECT_EQ(indexedSeen > 0, c.indexed) << c.pattern;
      EXPECT_EQ(readingSeen > 0, !c.indexed) << c.pattern;
    }
  }
}

TEST_F(FullTextTest, HitsCarryTheirRecordAndStopResumeGoesOn) {
  std::vector<std::string> many;
  for (int i = 0; i < 700; ++i)
    many.push_back(std::string("w") + static_cast<char>('a' + i % 26) + std::to_string(i) + "|word " +
                   (i % 3 ? "even" : "odd"));
  openDictionaries({many});
  view.setMode(true);
  for (const char* pattern : {"odd", "!even"}) {  // by index, then by reading
    const std::vector<std::string> all = search(pattern);
    ASSERT_EQ(all.size(), 234u) << pattern;
    const MatchListWindows& list = view.group(0).list;
    Definition record;  // every entry's reference is its record
    ASSERT_TRUE(view.lookUpFullTextHit(0, list.entryAt(100)->reference(), record)) << pattern;
    EXPECT_EQ(record.body, "word odd");
    EXPECT_EQ(record.firstParts.at(0), list.textAt(100));

    type(pattern);
    int stops = 0;
    host.onEvents = [&](int call) {
      if (call % 50 == 0 && view.state() == SearchState::Searching) {
        ++stops;
        view.cancel();
      }
    };
    view.searchClicked();
    while (view.state() == SearchState::Paused) {
      EXPECT_EQ(host.buttonLabel, "Re&sume");
      view.searchClicked();
    }
    host.onEvents = nullptr;
    EXPECT_GT(stops, 2) << pattern;
    EXPECT_EQ(results(0), all) << pattern;
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

}  // namespace
}  // namespace kea
