// Looking a word up in a list of dictionaries: which records come back, in
// which order, and what each carries.
#include <gtest/gtest.h>

#include <algorithm>

#include "fulltext/DefinitionRetriever.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea::test {
namespace {

struct Found {
  int dictionary;
  std::string headword;
  std::string body;
  bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Found& f) {
  return out << "{" << f.dictionary << ", " << f.headword << ", " << f.body << "}";
}

std::vector<Found> lookUp(const DictionaryList& list, std::string_view word) {
  std::vector<Definition> definitions;
  lookupDefinitions(list, word, definitions);
  std::vector<Found> out;
  for (const Definition& d : definitions) {
    EXPECT_EQ(d.dictionaryPath, list.path(d.dictionaryIndex));
    out.push_back(Found{d.dictionaryIndex, d.headword, d.body});
  }
  return out;
}

TEST(LookupDefinitions, FindsEntriesWithFoldedLetters) {
  TempDir dir;
  auto list = DictionaryList::make(
      buildTestDictionary(dir, {"caf\xE9|a coffee house", "tail-end|the last part", "bank|a river side",
                                "bank|a money house", ";plum|a stone fruit", "cherry", "Apple;apple|a fruit",
                                "apple|a company"}));
  EXPECT_EQ(lookUp(*list, "CAFE"), (std::vector<Found>{{0, "caf\xE9", "a coffee house"}}));
  EXPECT_EQ(lookUp(*list, "Caf\xC9"), lookUp(*list, "cafe"));
  // Punctuation of the entry or the word does not matter.
  EXPECT_EQ(lookUp(*list, "tailend"), (std::vector<Found>{{0, "tail-end", "the last part"}}));
  EXPECT_EQ(lookUp(*list, "tail end"), lookUp(*list, "tailend"));
  // An entry's records in the order of its pointer table.
  EXPECT_EQ(lookUp(*list, "bank"), (std::vector<Found>{{0, "bank", "a river side"}, {0, "bank", "a money house"}}));
  // Apple and apple both own the first record: it is listed once, under the first entry.
  EXPECT_EQ(lookUp(*list, "apple"), (std::vector<Found>{{0, "Apple", "a fruit"}, {0, "apple", "a company"}}));
  // Group one is found by lookup (only full-text search leaves it out).
  EXPECT_EQ(lookUp(*list, "plum"), (std::vector<Found>{{0, "plum", "a stone fruit"}}));
  // An entry without a definition, an index word of the texts only, a word
  // without letters and one no list holds give nothing.
  const std::string words[] = {"cherry", "river", "", "--", "quince", std::string(150, 'a')};
  for (const std::string& none : words) {
    EXPECT_TRUE(lookUp(*list, none).empty()) << none;
  }
}

TEST(LookupDefinitions, DictionariesContributeInListOrder) {
  TempDir dir;
  TestDictionaryOptions first, second;
  first.fileName = "first.kkd";
  second.fileName = "second.kkd";
  const std::string a = buildTestDictionary(dir, {"bank|a river side", "bank|a money house", "tree|a plant"}, first);
  const std::string b = buildTestDictionary(dir, {"Bank|to rely", "rock|a stone"}, second);
  const std::vector<Found> both = {{0, "bank", "a river side"}, {0, "bank", "a money house"}, {1, "Bank", "to rely"}};
  EXPECT_EQ(lookUp(*DictionaryList::make(a + ";" + b), "bank"), both);
  EXPECT_EQ(lookUp(*DictionaryList::make(b + ";" + a), "bank"),
            (std::vector<Found>{{0, "Bank", "to rely"}, {1, "bank", "a river side"}, {1, "bank", "a money house"}}));

  // A missing dictionary contributes nothing, and the others are still
  // searched even when it comes first.
  const std::string missing = dir.file("missing.kkd");
  EXPECT_EQ(lookUp(*DictionaryList::make(missing + ";" + a + ";" + b), "rock"),
            (std::vector<Found>{{2, "rock", "a stone"}}));
}

}  // namespace
}  // namespace kea::test

namespace kea::test {
namespace {

// A long list is sampled on its first lookup, and later lookups start at a
// sample: every word must still be found, with all of its entries (a word
// and its capitalised twin sort together and may straddle a sample), and a
// word between two entries or past the last one finds nothing.
TEST(LookupDefinitions, LookupsThatStartAtASampleFindEveryEntry) {
  TempDir dir;
  const std::vector<std::string> words = generatedWords(1500, 6);
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i % 3 == 0) {
      lines.push_back(words[i]);  // no definition: moves the flag count on
    } else {
      lines.push_back(words[i] + "|def " + std::to_string(i));
    }
    if (i % 5 == 0) {
      std::string twin = words[i];
      twin[0] = static_cast<char>(twin[0] - 'a' + 'A');
      lines.push_back(twin + "|twin " + std::to_string(i));
    }
  }
  auto list = DictionaryList::make(buildTestDictionary(dir, lines));
  for (std::size_t i = 0; i < words.size(); ++i) {
    std::vector<std::string> expected;
    if (i % 3 != 0) expected.push_back("def " + std::to_string(i));
    if (i % 5 == 0) expected.push_back("twin " + std::to_string(i));
    std::vector<std::string> bodies;
    for (const Found& f : lookUp(*list, words[i])) bodies.push_back(f.body);
    std::sort(bodies.begin(), bodies.end());
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(bodies, expected) << words[i];
  }
  EXPECT_TRUE(lookUp(*list, "zzzzzz").empty());
  EXPECT_TRUE(lookUp(*list, "aaaaab").empty());  // between two entries
}

}  // namespace
}  // namespace kea::test
