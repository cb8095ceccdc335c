// The reading full-text search: which records a query finds, the slices it
// runs in, and records no builder writes (laid out by hand).
#include <gtest/gtest.h>

#include "dictionary/KKDictionaryDefinitionSearchSequential.h"
#include "support/KkdAssembler.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea::test {
namespace {

using Step = KKDictionaryDefinitionSearchSequential::Step;

struct Hit {
  std::string first;
  std::string second;
  std::uint32_t offset = 0;
  bool operator==(const Hit&) const = default;
};

std::vector<std::string> firstStrings(const std::vector<Hit>& hits) {
  std::vector<std::string> out;
  for (const Hit& h : hits) out.push_back(h.first);
  return out;
}

std::vector<Hit> searchAll(const KKDictionaryList& list, const std::string& query, int budget = 200) {
  MatchEngineSet set;
  EXPECT_EQ(set.parseExpression(list.dictionary(0)->alphabet(), query, 1, 100), PatternStatus::Valid) << query;
  KKDictionaryDefinitionSearchSequential search(list, 0, set);
  std::vector<Hit> hits;
  for (int calls = 0; calls < 100000; ++calls) {
    const Step step = search.next(budget);
    if (step == Step::Finished) return hits;
    if (step == Step::Match) {
      hits.push_back(
          Hit{std::string(search.firstHeadword()), std::string(search.secondHeadword()), search.recordOffset()});
    }
  }
  ADD_FAILURE() << "the search did not finish";
  return hits;
}

const std::vector<std::string> kFruit = {
    ";plum|a stone fruit",         // group one: never searched
    "cherry|a small stone fruit",  //
    "apple;pomme|a round fruit",   //
    "sloe+(berry)+s|Stone",        // capital letter: letters are folded
    "bullace",                     // no definition
};

TEST(DefinitionSearchSequential, QueriesFindTheRecordsThatHoldTheirWords) {
  TempDir dir;
  auto list = KKDictionaryList::make(buildTestDictionary(dir, kFruit));
  const struct {
    const char* query;
    std::vector<std::string> found;
  } cases[] = {
      {"stone", {"cherry", "sloe"}},
      {"stone & small", {"cherry"}},
      {"stone | round", {"cherry", "apple", "sloe"}},
      {"!stone", {"apple"}},
      {"fruit & !small", {"apple"}},
      {"st*", {"cherry", "sloe"}},
      {"(round | small) & fruit", {"cherry", "apple"}},
      {";notes", {"cherry", "sloe"}},  // an anagram of stone
      {"plum", {}},
      {"fruits", {}},
      {"pomme", {"apple"}},  // a headword of the record, though not in its text
  };
  for (const auto& c : cases) EXPECT_EQ(firstStrings(searchAll(*list, c.query)), c.found) << c.query;

  const auto sloe = searchAll(*list, "stone").at(1);
  EXPECT_EQ(sloe.second, "s");
}

TEST(DefinitionSearchSequential, RunsInSlicesOfRecords) {
  TempDir dir;
  auto list = KKDictionaryList::make(buildTestDictionary(dir, kFruit));
  MatchEngineSet set;
  ASSERT_EQ(set.parseExpression(list->dictionary(0)->alphabet(), "nothing", 1, 100), PatternStatus::Valid);
  platform::FileStamp stamp;
  KKDictionaryDefinitionSearchSequential search(*list, 0, set, &stamp);
  EXPECT_EQ(stamp.lastWriteTime, list->dictionary(0)->lastWriteTime());
  std::int64_t position = -1, total = -1;
  search.progress(position, total);
  EXPECT_EQ(position, 0);
  EXPECT_EQ(total, list->dictionary(0)->definitionsEnd() - list->dictionary(0)->searchableStart());
  // Three searchable records, one per call; the position is where the
  // record last examined starts.
  std::vector<std::int64_t> positions;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(search.next(1), Step::Slice) << i;
    search.progress(position, total);
    positions.push_back(position);
  }
  EXPECT_EQ(positions[0], 0);
  EXPECT_GT(positions[1], positions[0]);
  EXPECT_GT(positions[2], positions[1]);
  EXPECT_EQ(search.next(1), Step::Finished);
  EXPECT_EQ(search.next(1), Step::Finished);
  search.progress(position, total);
  EXPECT_EQ(position, total);
}

TEST(DefinitionSearchSequential, NoFileOrNoDefinitionsFinishesAtOnce) {
  TempDir dir;
  for (const std::string& path : {dir.file("absent.kkd"), buildTestDictionary(dir, {"apple", "pear"})}) {
    auto list = KKDictionaryList::make(path);
    MatchEngineSet set;
    set.parseExpression(Alphabet(), "*", 1, 100);
    KKDictionaryDefinitionSearchSequential search(*list, 0, set);
    EXPECT_EQ(search.total(), 0) << path;
    EXPECT_EQ(search.next(10), Step::Finished) << path;
  }
}

// Hand-made records over the assembler's a-z alphabet.
std::string field(std::string_view text) {
  std::string out;
  for (const char c : text) out.push_back(static_cast<char>(static_cast<std::uint8_t>(c) ^ kkd::kScrambleByte));
  out.push_back(static_cast<char>(kkd::kScrambleByte));
  return out;
}

std::string record(const std::vector<std::pair<std::string, std::string>>& pairs, std::string_view body) {
  std::string out(1, static_cast<char>(pairs.size()));
  for (const auto& [first, second] : pairs) out += field(first) + field(second);
  return out + field(body);
}

std::string handMade(const std::vector<std::string>& records, std::size_t cutAtEnd = 0) {
  KkdAssembler a(1, 2);
  a.assignOwnValueCodes(std::string(1, '\0') + "abcdefghijklmnopqrstuvwxyz");
  a.definitionsStart = a.searchableStart = a.bodyOffset();
  for (const std::string& r : records) a.body += r;
  a.definitionsEnd = a.bodyOffset();
  std::string bytes = a.bytes();
  return bytes.substr(0, bytes.size() - cutAtEnd);
}

TEST(DefinitionSearchSequential, RecordsNoBuilderWrites) {
  const std::string longRun(150, 'q');
  const std::vector<std::string> records = {
      record({{"", "tail"}}, "an empty first string"),
      record({}, "no pairs at all"),
      record({{std::string(200, 'h'), "x"}, {"second", "pair"}}, "long headword"),
      record({{"run", ""}}, longRun + "tail and more"),
      record({{"rich", ""}}, "{\\rtf1\\ansi{\\fonttbl\\f0 Arial;}\\b bold\\b0\\par words}"),
  };
  TempDir dir;
  const std::string path = dir.file("hand.kkd");
  writeFile(path, handMade(records));
  auto list = KKDictionaryList::make(path);
  ASSERT_TRUE(list->dictionary(0)->isOpen());

  // A match whose first string is empty is still a match, not the end.
  auto hits = searchAll(*list, "empty | pairs");
  ASSERT_EQ(hits.size(), 2u);
  EXPECT_EQ(hits[0].first, "");
  EXPECT_EQ(hits[0].second, "tail");
  EXPECT_EQ(hits[1].first, "");
  EXPECT_EQ(hits[1].second, "");

  // The first pair's strings keep 127 characters.
  hits = searchAll(*list, "long");
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_EQ(hits[0].first, std::string(127, 'h'));
  EXPECT_EQ(hits[0].second, "x");

  // A run of letters longer than a word is one word: its tail is no word
  // of its own, and the word after it is still found.
  EXPECT_TRUE(searchAll(*list, "qqqqtail").empty());
  EXPECT_TRUE(searchAll(*list, std::string(100, 'q')).empty());
  EXPECT_EQ(firstStrings(searchAll(*list, "more")), std::vector<std::string>{"run"});

  // Rich text is searched as the builder indexed it: its control words are
  // no words.
  EXPECT_EQ(firstStrings(searchAll(*list, "bold & words")), std::vector<std::string>{"rich"});
  EXPECT_TRUE(searchAll(*list, "par | fonttbl | ansi | rtf").empty());
}

TEST(DefinitionSearchSequential, RecordsCutShortByTheEndOfTheFile) {
  const std::vector<std::string> records = {record({{"one", ""}}, "first text"),
                                            record({{"two", ""}}, "second text goes on")};
  TempDir dir;
  const std::string path = dir.file("cut.kkd");
  for (std::size_t cut = 0; cut < records[1].size() + 3; ++cut) {
    writeFile(path, handMade(records, cut));
    auto list = KKDictionaryList::make(path);
    if (!list->dictionary(0)->isOpen()) continue;
    const auto hits = firstStrings(searchAll(*list, "text", 1));
    // The first record is whole until the second is gone; a cut second
    // record is judged on the words it still holds.
    const bool secondHasText = cut <= 9;  // " goes on" and its terminator
    std::vector<std::string> expected;
    if (cut <= records[1].size() + 1) expected.push_back("one");
    if (secondHasText) expected.push_back("two");
    EXPECT_EQ(hits, expected) << cut;
  }
}

}  // namespace
}  // namespace kea::test
