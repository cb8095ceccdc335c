// The full-text index: which queries it answers, and that for every one it
// answers it finds exactly the records the reading search finds.
#include <gtest/gtest.h>

#include <random>

#include "dictionary/KKDictionaryDefinitionSearchIndexed.h"
#include "dictionary/KKDictionaryDefinitionSearchSequential.h"
#include "dictionary/WordListDecoder.h"
#include "support/KkdTestReader.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea::test {
namespace {

using Step = KKDictionaryDefinitionSearchSequential::Step;

std::vector<std::uint32_t> readingSearch(const KKDictionaryList& list, MatchEngineSet& set) {
  KKDictionaryDefinitionSearchSequential search(list, 0, set);
  std::vector<std::uint32_t> found;
  for (int calls = 0; calls < 1000000; ++calls) {
    const Step step = search.next(50);
    if (step == Step::Finished) return found;
    if (step == Step::Match) found.push_back(search.recordOffset());
  }
  ADD_FAILURE() << "the reading search did not finish";
  return found;
}

struct Outcome {
  bool answered = false;
  std::vector<std::uint32_t> indexed;
  std::vector<std::uint32_t> read;
};

Outcome runBoth(const KKDictionaryList& list, const std::string& query) {
  MatchEngineSet set;
  EXPECT_EQ(set.parseExpression(list.dictionary(0)->alphabet(), query, 1, 100), PatternStatus::Valid) << query;
  Outcome o;
  KKDictionaryDefinitionSearchIndexed indexed(list, 0, set);
  o.answered = indexed.answers();
  Definition d;
  d.dictionaryIndex = 7;
  while (indexed.next(d)) {
    EXPECT_EQ(d.dictionaryIndex, 0);
    o.indexed.push_back(d.offset);
  }
  EXPECT_EQ(o.indexed, indexed.candidates()) << query;
  o.read = readingSearch(list, set);
  return o;
}

std::vector<std::string> headwordsOf(const KKDictionaryList& list, const std::vector<std::uint32_t>& offsets) {
  KKDictionaryDefinitionRetriever retriever(list, 0);
  std::vector<std::string> out;
  for (const std::uint32_t offset : offsets) {
    Definition d;
    retriever.read(offset, d);
    out.push_back(d.firstParts.empty() ? std::string("?") : d.firstParts[0]);
  }
  return out;
}

const std::vector<std::string> kFruit = {
    ";plum|a stone fruit", "cherry|a small stone fruit",     "apple;pomme|a round fruit",
    "sloe|stone",          "stone|the hard seed of a fruit",
};

TEST(DefinitionSearchIndexed, AndOrAndGroupOne) {
  TempDir dir;
  auto list = KKDictionaryList::make(buildTestDictionary(dir, kFruit));
  const struct {
    const char* query;
    std::vector<std::string> found;
  } cases[] = {
      // The stone record is found under its headword as well as its text.
      {"stone", {"cherry", "sloe", "stone"}},
      {"stone & small", {"cherry"}},
      {"small | round", {"cherry", "apple"}},
      {"fruit & (small | round)", {"cherry", "apple"}},
      {"seed | round & fruit", {"apple", "stone"}},
      {"pomme", {"apple"}},
      // The plum record is in group one: neither its headword nor its text
      // finds it.
      {"plum", {}},
      {"fruit", {"cherry", "apple", "stone"}},
  };
  for (const auto& c : cases) {
    const Outcome o = runBoth(*list, c.query);
    EXPECT_TRUE(o.answered) << c.query;
    EXPECT_EQ(headwordsOf(*list, o.indexed), c.found) << c.query;
    EXPECT_EQ(o.indexed, o.read) << c.query;
  }
}

TEST(DefinitionSearchIndexed, NegatedOrRangedTermsAreLeftToReading) {
  TempDir dir;
  auto list = KKDictionaryList::make(buildTestDictionary(dir, kFruit));
  for (const char* query : {"!stone", "fruit & !small", "!(small | round)", "st*", "fruit & s*", "r[ao]*d"}) {
    const Outcome o = runBoth(*list, query);
    EXPECT_FALSE(o.answered) << query;
    EXPECT_TRUE(o.indexed.empty()) << query;
    EXPECT_FALSE(o.read.empty()) << query;
  }
  // A wildcard held to one length by the settings is a term of one length.
  MatchEngineSet set;
  ASSERT_EQ(set.parseExpression(list->dictionary(0)->alphabet(), "st*", 5, 5), PatternStatus::Valid);
  KKDictionaryDefinitionSearchIndexed indexed(*list, 0, set);
  EXPECT_TRUE(indexed.answers());
  EXPECT_EQ(indexed.total(), 3);
}

TEST(DefinitionSearchIndexed, EntryWithoutOccurrenceListIsLeftToReading) {
  TempDir dir;
  const std::string path = buildTestDictionary(dir, kFruit);
  // cherry occurs in no text: its group is its own record alone. Make that
  // final value all bits set, "no occurrence list".
  std::string bytes = readFile(path);
  {
    const KkdFile f = parseKkd(bytes);
    auto list = KKDictionaryList::make(path);
    ASSERT_TRUE(runBoth(*list, "cherry").answered);
    std::uint32_t at = f.groupTable[6];
    const auto groups = readGroups(f, 6);
    for (const DecodedEntry& e : decodeWordList(*list->dictionary(0), 6)) {
      const auto k = static_cast<std::size_t>(e.definitionIndex);
      if (e.text == "cherry") {
        ASSERT_EQ(groups.at(k).size(), 1u);
        break;
      }
      if (e.definitionIndex >= 0) at += 4 * static_cast<std::uint32_t>(groups.at(k).size());
    }
    bytes.replace(at, 4, "\xFF\xFF\xFF\xFF");
  }
  writeFile(path, bytes);
  auto list = KKDictionaryList::make(path);
  const Outcome o = runBoth(*list, "cherry");
  EXPECT_FALSE(o.answered);
  EXPECT_TRUE(o.indexed.empty());
  EXPECT_EQ(headwordsOf(*list, o.read), std::vector<std::string>{"cherry"});
  EXPECT_TRUE(runBoth(*list, "stone").answered);
}

// Builder lines from a small vocabulary, so that queries find something:
// several headwords per line, annotations and tails, punctuation, group-one
// lines, rich text, and words that are headwords as well as index words.
std::vector<std::string> vocabularyLines(unsigned seed, int count, std::vector<std::string>& vocabulary) {
  std::mt19937 random(seed);
  vocabulary = {"bank", "river", "money", "stone", "fruit", "small", "round", "seed",   "tree", "palm",
                "sand", "rock",  "bird",  "nest",  "wing",  "song",  "salt",  "sea",    "sun",  "moon",
                "dark", "rain",  "snow",  "wind",  "fire",  "iron",  "gold",  "silver", "ring", "bell"};
  const auto pick = [&] { return vocabulary[random() % vocabulary.size()]; };
  std::vector<std::string> lines;
  for (int n = 0; n < count; ++n) {
    std::string line = random() % 8 == 0 ? ";" : "";
    const int fields = 1 + static_cast<int>(random() % 3);
    for (int f = 0; f < fields; ++f) {
      if (f > 0) line += random() % 2 ? ";" : ":";
      std::string headword = pick();
      if (random() % 4 == 0) headword += random() % 2 ? std::string("-") + pick() : pick();
      line += headword;
      if (random() % 6 == 0) line += "+(note)+s";
    }
    if (random() % 5 != 0) {
      std::string text;
      for (int w = 0, words = 1 + static_cast<int>(random() % 8); w < words; ++w) {
        if (w > 0) text += random() % 5 == 0 ? ", " : " ";
        text += random() % 7 == 0 ? std::string("Q") + pick() : pick();
      }
      if (random() % 6 == 0) text = "{\\rtf1\\ansi \\b " + text + "\\b0\\par " + pick() + "}";
      line += "|" + text;
    }
    lines.push_back(line);
  }
  return lines;
}

TEST(DefinitionSearchIndexed, AgreesWithReadingOnEveryQueryItAnswers) {
  TempDir dir;
  std::vector<std::string> vocabulary;
  auto list = KKDictionaryList::make(buildTestDictionary(dir, vocabularyLines(5, 400, vocabulary)));
  std::vector<std::string> queries = {"b...", "....", "s??d",       ";dnas",     ";ngwi", "[bs]ea",   "12",
                                      "1221", "r..k", "river-bank", "riverbank", "qbank", "bankbank", "zzzz"};
  std::mt19937 random(9);
  const auto pick = [&] { return vocabulary[random() % vocabulary.size()]; };
  for (int n = 0; n < 60; ++n) {
    const std::string a = pick(), b = pick(), c = pick(), d = pick();
    const std::string shapes[] = {a, a + " & " + b, a + " | " + b, a + " & " + b + " | " + c,
                                  "(" + a + " | " + b + ") & " + c, a + " | (" + b + " & (" + c + " | " + d + "))"};
    queries.push_back(shapes[n % 6]);
  }
  int answered = 0;
  int nonEmpty = 0;
  for (const std::string& query : queries) {
    const Outcome o = runBoth(*list, query);
    if (!o.answered) continue;
    ++answered;
    nonEmpty += !o.indexed.empty();
    EXPECT_EQ(o.indexed, o.read) << query;
  }
  // The test is about answered queries: most of them must be.
  EXPECT_GE(answered, static_cast<int>(queries.size()) - 2);
  EXPECT_GE(nonEmpty, answered / 2);
}

}  // namespace
}  // namespace kea::test
