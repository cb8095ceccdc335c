// Looking a word up in a list of dictionaries: which records come back, in
// which order, and what each carries.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "dictionary/KKDictionaryDefinitionRetriever.h"
#include "dictionary/LetterFold.h"
#include "dictionary/WordListDecoder.h"
#include "pattern/InputEngine.h"
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

std::vector<Found> lookUp(const KKDictionaryList& list, std::string_view word) {
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
  auto list = KKDictionaryList::make(
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
  EXPECT_EQ(lookUp(*KKDictionaryList::make(a + ";" + b), "bank"), both);
  EXPECT_EQ(lookUp(*KKDictionaryList::make(b + ";" + a), "bank"),
            (std::vector<Found>{{0, "Bank", "to rely"}, {1, "bank", "a river side"}, {1, "bank", "a money house"}}));

  // A missing dictionary contributes nothing, and the others are still
  // searched even when it comes first.
  const std::string missing = dir.file("missing.kkd");
  EXPECT_EQ(lookUp(*KKDictionaryList::make(missing + ";" + a + ";" + b), "rock"),
            (std::vector<Found>{{2, "rock", "a stone"}}));
}

// The lookup of every headword against a plain reading of the whole list:
// the records of all section-1 entries whose letters fold to the word's,
// each once. Variants in case, accents, punctuation and annotations sit side
// by side in the sorted lists. With an alphabet where \xE9 is a letter of its
// own, "resum\xE9" is not "resume", yet the lists are sorted as if it were:
// a lookup must not stop early.
TEST(LookupDefinitions, AgreesWithReadingTheWholeList) {
  std::mt19937 random(21);
  const std::vector<std::string> stems = {"bank", "resume", "cafe", "tailend", "river", "zebra", "abbey", "mint"};
  std::vector<std::string> lines, words;
  for (int n = 0; n < 300; ++n) {
    std::string w = stems[random() % stems.size()];
    if (random() % 3 == 0) w[0] = static_cast<char>(w[0] - 'a' + 'A');
    if (random() % 4 == 0) w.back() = '\xE9';
    if (random() % 5 == 0) w.insert(w.size() / 2, "-");
    words.push_back(w);
    if (random() % 4 == 0) w += "+(sense " + std::to_string(random() % 3) + ")+";
    if (random() % 3 == 0) w += ";" + stems[random() % stems.size()] + "s";
    lines.push_back(w + "|meaning " + std::to_string(n));
  }
  for (const bool accentIsALetter : {false, true}) {
    SCOPED_TRACE(accentIsALetter);
    TempDir dir;
    TestDictionaryOptions options;
    if (accentIsALetter) options.alphabet[0xE9] = options.alphabet[0xC9] = 0xE9;
    auto list = KKDictionaryList::make(buildTestDictionary(dir, lines, options));
    KKDictionaryList::Dictionary& d = *list->dictionary(0);
    const auto key = [&](std::string_view s) {
      std::string k;
      for (const char c : s) {
        const auto byte = static_cast<std::uint8_t>(c);
        const bool own = accentIsALetter && (byte == 0xE9 || byte == 0xC9);
        if (isLetter(byte)) k.push_back(own ? '\xE9' : static_cast<char>(foldLetter(byte)));
      }
      return k;
    };
    for (const std::string& word : words) {
      const int length = static_cast<int>(d.alphabet().normalise(word).size());
      std::vector<std::uint32_t> expected, got;
      for (const DecodedEntry& e : decodeWordList(d, length)) {
        if (e.section != 1 || e.definitionIndex < 0 || key(e.text) != key(word)) continue;
        std::vector<std::uint32_t> offsets;
        definitionOffsets(*list, 0, false, length, e.definitionIndex, InputEngine::kGroupedTableMode, offsets);
        for (const std::uint32_t o : offsets) {
          if (std::find(expected.begin(), expected.end(), o) == expected.end()) expected.push_back(o);
        }
      }
      std::vector<Definition> found;
      lookupDefinitions(*list, word, found);
      for (const Definition& f : found) got.push_back(f.offset);
      EXPECT_EQ(got, expected) << word;
    }
  }
}

}  // namespace
}  // namespace kea::test
