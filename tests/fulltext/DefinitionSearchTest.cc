// Full-text search of the definitions: the reading search, which answers
// every query, and the index, which answers queries of plain terms and must
// then find exactly the records the reading search finds.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>

#include "dictionary/WordListDecoder.h"
#include "fulltext/IndexedDefinitionSearch.h"
#include "fulltext/SequentialDefinitionSearch.h"
#include "support/KkdAssembler.h"
#include "support/KkdTestReader.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea::test {
namespace {

using Step = SequentialDefinitionSearch::Step;

struct Found {
  std::vector<std::uint32_t> offsets;
  std::vector<std::string> first, second;  // each record's first pair
};

Found reading(const DictionaryList& list, const std::string& query, int budget = 50) {
  MatchEngineSet set;
  EXPECT_EQ(set.parseExpression(list.dictionary(0)->alphabet(), query, 1, 100), PatternStatus::Valid) << query;
  SequentialDefinitionSearch search(list, 0, set);
  Found found;
  for (int calls = 0; calls < 1000000; ++calls) {
    const Step step = search.next(budget);
    if (step == Step::Finished) return found;
    if (step != Step::Match) continue;
    found.offsets.push_back(search.recordOffset());
    found.first.emplace_back(search.firstHeadword());
    found.second.emplace_back(search.secondHeadword());
  }
  ADD_FAILURE() << query << ": the reading search did not finish";
  return found;
}

// The index's records, or nullopt when it does not answer the query.
std::optional<std::vector<std::uint32_t>> indexed(const DictionaryList& list, const std::string& query,
                                                  int shortest = 1, int longest = 100) {
  MatchEngineSet set;
  EXPECT_EQ(set.parseExpression(list.dictionary(0)->alphabet(), query, shortest, longest), PatternStatus::Valid);
  IndexedDefinitionSearch search(list, 0, set);
  std::vector<std::uint32_t> offsets;
  Definition d;
  d.dictionaryIndex = 7;
  while (search.next(d)) {
    EXPECT_EQ(d.dictionaryIndex, 0);
    offsets.push_back(d.offset);
  }
  EXPECT_EQ(offsets, search.candidates()) << query;
  if (!search.answers()) {
    EXPECT_TRUE(offsets.empty()) << query;
    return std::nullopt;
  }
  return offsets;
}

const std::vector<std::string> kFruit = {
    ";plum|a stone fruit",  // group one: never searched
    "cherry|a small stone fruit", "apple;pomme|a round fruit",
    "sloe+(berry)+s|Stone",  // capital letter: letters are folded
    "stone|the hard seed of a fruit", "bullace",
};

TEST(DefinitionSearch, QueriesFindTheRecordsThatHoldTheirWords) {
  TempDir dir;
  auto list = DictionaryList::make(buildTestDictionary(dir, kFruit));
  const struct {
    const char* query;
    std::vector<std::string> found;
    bool byIndex;  // plain terms: the index answers; negated or ranged ones are read
  } cases[] = {
      // A record is found under its headwords as well as its text.
      {"stone", {"cherry", "sloe", "stone"}, true},
      {"stone & small", {"cherry"}, true},
      {"small | round", {"cherry", "apple"}, true},
      {"fruit & (small | round)", {"cherry", "apple"}, true},
      {"seed | round & fruit", {"apple", "stone"}, true},
      {"pomme", {"apple"}, true},
      {"plum", {}, true},
      {"fruits", {}, true},
      {"fruit", {"cherry", "apple", "stone"}, true},
      {"!stone", {"apple"}, false},
      {"fruit & !small", {"apple", "stone"}, false},
      {"!(small | round)", {"sloe", "stone"}, false},
      {"st*", {"cherry", "sloe", "stone"}, false},
      {"fruit & s*", {"cherry", "stone"}, false},
      {"r[ao]*d", {"apple"}, false},
      {";notes", {"cherry", "sloe", "stone"}, true},  // an anagram of stone: one length
  };
  for (const auto& c : cases) {
    const Found read = reading(*list, c.query);
    EXPECT_EQ(read.first, c.found) << c.query;
    const auto index = indexed(*list, c.query);
    EXPECT_EQ(index.has_value(), c.byIndex) << c.query;
    EXPECT_EQ(index.value_or(read.offsets), read.offsets) << c.query;
  }
  EXPECT_EQ(reading(*list, "stone").second.at(1), "s");
  // A wildcard held to one length by the settings is a term of one length.
  EXPECT_EQ(indexed(*list, "st*", 5, 5).value_or(std::vector<std::uint32_t>{}).size(), 3u);
}

// Builder lines from a small vocabulary, so that queries find something:
// several headwords per line, annotations and tails, punctuation, group-one
// lines, rich text, and words that are headwords as well as index words.
const std::vector<std::string> kVocabulary = {
    "bank", "river", "money", "stone", "fruit", "small", "round", "seed", "tree", "palm", "sand",   "rock",
    "bird", "nest",  "wing",  "song",  "salt",  "sea",   "sun",   "moon", "dark", "rain", "snow", "wind",
    "fire", "iron",  "gold",  "silver", "ring", "bell"};

TEST(DefinitionSearch, TheIndexAgreesWithReadingOnEveryQueryItAnswers) {
  std::mt19937 random(5);
  const auto pick = [&] { return kVocabulary[random() % kVocabulary.size()]; };
  std::vector<std::string> lines;
  for (int n = 0; n < 400; ++n) {
    std::string line = random() % 8 == 0 ? ";" : "";
    for (int f = 0, fields = 1 + static_cast<int>(random() % 3); f < fields; ++f) {
      if (f > 0) line += random() % 2 ? ";" : ":";
      line += pick() + (random() % 4 ? "" : random() % 2 ? "-" + pick() : pick());
      if (random() % 6 == 0) line += "+(note)+s";
    }
    if (random() % 5 == 0) {
      lines.push_back(line);
      continue;
    }
    std::string text;
    for (int w = 0, words = 1 + static_cast<int>(random() % 8); w < words; ++w) {
      text += (w == 0 ? "" : random() % 5 == 0 ? ", " : " ") + (random() % 7 == 0 ? "Q" + pick() : pick());
    }
    if (random() % 6 == 0) text = "{\\rtf1\\ansi \\b " + text + "\\b0\\par " + pick() + "}";
    lines.push_back(line + "|" + text);
  }
  TempDir dir;
  auto list = DictionaryList::make(buildTestDictionary(dir, lines));
  std::vector<std::string> queries = {"b...", "....", "s??d",       ";dnas",     ";ngwi", "[bs]ea",   "12",
                                      "1221", "r..k", "river-bank", "riverbank", "qbank", "bankbank", "zzzz"};
  for (int n = 0; n < 60; ++n) {
    const std::string a = pick(), b = pick(), c = pick(), d = pick();
    const std::string shapes[] = {a, a + " & " + b, a + " | " + b, a + " & " + b + " | " + c,
                                  "(" + a + " | " + b + ") & " + c, a + " | (" + b + " & (" + c + " | " + d + "))"};
    queries.push_back(shapes[n % 6]);
  }
  int answered = 0, nonEmpty = 0;
  for (const std::string& query : queries) {
    const auto index = indexed(*list, query);
    if (!index) continue;
    ++answered;
    nonEmpty += !index->empty();
    EXPECT_EQ(*index, reading(*list, query).offsets) << query;
  }
  // The test is about answered queries: most of them must be.
  EXPECT_GE(answered, static_cast<int>(queries.size()) - 2);
  EXPECT_GE(nonEmpty, answered / 2);
}

TEST(DefinitionSearch, ReadingGoesOneRecordPerSliceAndFinishesAtOnceWithoutRecords) {
  TempDir dir;
  auto list = DictionaryList::make(buildTestDictionary(dir, kFruit));
  MatchEngineSet set;
  ASSERT_EQ(set.parseExpression(list->dictionary(0)->alphabet(), "nothing", 1, 100), PatternStatus::Valid);
  SequentialDefinitionSearch search(*list, 0, set);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(search.next(1), Step::Slice) << i;  // four searchable records
  EXPECT_EQ(search.next(1), Step::Finished);
  for (const std::string& path : {dir.file("absent.kkd"), buildTestDictionary(dir, {"apple"}, {.fileName = "p.kkd"})}) {
    auto other = DictionaryList::make(path);
    SequentialDefinitionSearch none(*other, 0, set);
    EXPECT_EQ(none.total(), 0) << path;
    EXPECT_EQ(none.next(10), Step::Finished) << path;
  }
}

// Records laid out by hand over the assembler's a-z alphabet.
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

// A file cut while the search reads it: the record the cut goes through is
// judged on the words it still holds.
TEST(DefinitionSearch, ARecordCutShortByTheEndOfTheFileIsJudgedOnTheWordsItHolds) {
  const std::vector<std::string> records = {record({{"one", ""}}, "first text"),
                                            record({{"two", ""}}, "second text goes on")};
  TempDir dir;
  const std::string path = dir.file("cut.kkd");
  const std::string whole = handMade(records, 0);
  // Cut inside " goes on", then inside "text".
  for (const auto& [cut, expected] : {std::pair<std::size_t, std::vector<std::string>>{4, {"one", "two"}},
                                      {12, {"one"}}}) {
    writeFile(path, whole);
    auto list = DictionaryList::make(path);
    ASSERT_TRUE(list->dictionary(0)->isOpen());
    MatchEngineSet set;
    ASSERT_EQ(set.parseExpression(list->dictionary(0)->alphabet(), "text", 1, 100), PatternStatus::Valid);
    SequentialDefinitionSearch search(*list, 0, set);
    std::filesystem::resize_file(path, whole.size() - cut);
    std::vector<std::string> found;
    for (Step step; (step = search.next(1)) != Step::Finished;) {
      if (step == Step::Match) found.emplace_back(search.firstHeadword());
    }
    EXPECT_EQ(found, expected) << cut;
    DictionaryList::releaseAll();
  }
}

}  // namespace
}  // namespace kea::test
