// Dictionaries built by the builder and read back by the real reader: the
// header, the entries with their annotations, keys, flags and definition
// numbers, and the section-2 words, against what was put in.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "dictionary/KKDictionaryList.h"
#include "dictionary/LetterFold.h"
#include "dictionary/WordListDecoder.h"
#include "support/KkdTestReader.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea::test {
namespace {

std::string keyText(const KKDictionaryList::Dictionary& dictionary, const DecodedEntry& entry) {
  std::string key;
  for (const std::uint8_t index : entry.key) key.push_back(static_cast<char>(dictionary.canonicalCharOf(index)));
  return key;
}

TEST(RoundTrip, EdgeCasesReadBackThroughTheReader) {
  TempDir dir;
  TestDictionaryOptions options;
  options.description = "Round trip";
  const std::string path = buildTestDictionary(
      dir, {"apple;pomme|a round fruit", ";secret|hidden", "Smith+(surname)+|a family name", "tail-end", "plain"},
      options);
  KKDictionaryList::Dictionary dictionary(path);
  dictionary.open(true);
  ASSERT_TRUE(dictionary.isOpen()) << dictionary.statusText();
  EXPECT_EQ(dictionary.version(), 1);
  EXPECT_EQ(dictionary.description(), "Round trip");
  EXPECT_EQ(dictionary.lengthSlots(), 8);
  EXPECT_TRUE(dictionary.hasDefinitions());

  bool complete = false;
  const std::vector<DecodedEntry> five = decodeWordList(dictionary, 5, &complete);
  ASSERT_TRUE(complete);
  std::vector<std::string> texts;
  for (const DecodedEntry& e : five) texts.push_back(std::to_string(e.section) + ":" + e.text + "/" + e.annotation);
  // "fruit", "round" and "family" come from the searchable texts; "hidden"
  // is in group one and so not indexed.
  EXPECT_EQ(texts, (std::vector<std::string>{"1:apple/", "1:plain/", "1:pomme/", "1:Smith/(surname)", "2:fruit/",
                                             "2:round/"}));
  EXPECT_EQ(five[0].definitionIndex, 0);
  EXPECT_TRUE(five[0].flag);
  EXPECT_FALSE(five[1].flag);
  EXPECT_EQ(five[1].definitionIndex, -1);
  EXPECT_EQ(five[2].definitionIndex, 1);
  EXPECT_EQ(five[3].definitionIndex, 2);
  EXPECT_EQ(five[4].definitionIndex, 0);
  EXPECT_EQ(five[5].definitionIndex, 1);
  EXPECT_EQ(keyText(dictionary, five[3]), "smith");

  const std::vector<DecodedEntry> seven = decodeWordList(dictionary, 7, &complete);
  ASSERT_TRUE(complete);
  ASSERT_EQ(seven.size(), 1u);
  EXPECT_EQ(seven[0].text, "tail-end");
  EXPECT_EQ(keyText(dictionary, seven[0]), "tailend");
  // Length 4 holds only the index word "name"; 2 and 3 have no list.
  const std::vector<DecodedEntry> four = decodeWordList(dictionary, 4, &complete);
  ASSERT_EQ(four.size(), 1u);
  EXPECT_EQ(four[0].section, 2);
  EXPECT_EQ(four[0].text, "name");
  EXPECT_EQ(dictionary.wordCount(4), 0u);
  for (const int empty : {2, 3}) {
    EXPECT_TRUE(decodeWordList(dictionary, empty, &complete).empty()) << empty;
    EXPECT_TRUE(complete);
  }
  int entries = 0, definitions = 0, shortest = 0, longest = 0;
  dictionary.statistics(entries, definitions, shortest, longest);
  EXPECT_EQ(entries, 6);  // apple, plain, pomme, Smith, secret, tail-end
  EXPECT_EQ(definitions, 4);
  EXPECT_EQ(shortest, 5);
  EXPECT_EQ(longest, 7);
}

TEST(RoundTrip, EmptyInputOpensWithNoEntries) {
  TempDir dir;
  const std::string path = buildTestDictionary(dir, {});
  KKDictionaryList::Dictionary dictionary(path);
  dictionary.open(true);
  ASSERT_TRUE(dictionary.isOpen()) << dictionary.statusText();
  int entries = -1, definitions = -1, shortest = -1, longest = -1;
  dictionary.statistics(entries, definitions, shortest, longest);
  EXPECT_EQ(entries, 0);
  EXPECT_EQ(definitions, 0);
  EXPECT_EQ(shortest, 0);
  EXPECT_EQ(longest, 0);
  EXPECT_FALSE(dictionary.hasDefinitions());
}

// Random lines of known words: what the reader decodes must be exactly the
// distinct headwords in folded order, with flags where a definition or an
// occurrence exists, and the section-2 words must be the indexed words that
// no headword has.
TEST(RoundTrip, RandomInputsDecodeToWhatWentIn) {
  std::mt19937 random(2024);
  const std::string letters = "abcdeiouxyzAEZ\xE9\xC9\xE6";  // includes é, É, æ
  const auto& english = englishAlphabetTable();
  const auto keyOf = [&](const std::string& text) {
    std::string key;
    for (const char c : text) {
      if (const std::uint8_t k = english[static_cast<std::uint8_t>(c)]) key.push_back(static_cast<char>(k));
    }
    return key;
  };
  for (int round = 0; round < 4; ++round) {
    std::vector<std::string> vocabulary;
    for (int w = 0; w < 300; ++w) {
      std::string word;
      const int length = 1 + static_cast<int>(random() % 9);
      for (int i = 0; i < length; ++i) word.push_back(letters[random() % letters.size()]);
      if (random() % 6 == 0) word.insert(word.size() / 2, random() % 2 ? "-" : "'");
      vocabulary.push_back(word);
    }
    const auto pick = [&] { return vocabulary[random() % vocabulary.size()]; };

    std::vector<std::string> lines;
    std::map<int, std::set<std::string>> headwords;        // by length: stored texts
    std::map<std::string, bool> hasOwnDefinition;          // by stored text
    std::set<std::string> indexedKeys;                     // words of searchable texts
    for (int l = 0; l < 400; ++l) {
      std::string line;
      const bool groupOne = random() % 8 == 0;
      if (groupOne) line += ";";
      const int fields = 1 + static_cast<int>(random() % 3);
      std::vector<std::string> texts;
      for (int f = 0; f < fields; ++f) {
        const std::string word = pick();
        std::string text = word;
        if (random() % 7 == 0) {
          line += word + "+note" + std::to_string(f) + "+";
          text += "\nnote" + std::to_string(f);
        } else {
          line += word;
        }
        line += f + 1 < fields ? (groupOne ? ":" : ";") : "";
        texts.push_back(text);
        headwords[static_cast<int>(keyOf(word).size())].insert(text);
      }
      const bool withDefinition = random() % 2 == 0;
      if (withDefinition) {
        line += "|";
        const int words = 1 + static_cast<int>(random() % 5);
        for (int w = 0; w < words; ++w) {
          const std::string word = pick();
          line += (w ? " " : "") + word;
          if (!groupOne) {
            // Hyphens and apostrophes part words in definition text.
            std::string run;
            for (const char c : word + " ") {
              if (english[static_cast<std::uint8_t>(c)]) {
                run.push_back(static_cast<char>(english[static_cast<std::uint8_t>(c)]));
              } else if (!run.empty()) {
                indexedKeys.insert(run);
                run.clear();
              }
            }
          }
        }
      }
      for (const std::string& text : texts) hasOwnDefinition[text] = hasOwnDefinition[text] || withDefinition;
      lines.push_back(line);
    }

    TempDir dir;
    const std::string path = buildTestDictionary(dir, lines);
    KKDictionaryList::Dictionary dictionary(path);
    dictionary.open(true);
    ASSERT_TRUE(dictionary.isOpen());
    const KkdFile file = readKkd(path);
    for (int length = 1; length < dictionary.lengthSlots(); ++length) {
      bool complete = false;
      const std::vector<DecodedEntry> list = decodeWordList(dictionary, length, &complete);
      ASSERT_TRUE(complete) << length;
      std::vector<std::string> expected(headwords[length].begin(), headwords[length].end());
      std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
        const int byLetters = compareFolded(a, b);
        return byLetters != 0 ? byLetters < 0 : a < b;
      });
      std::set<std::string> headwordKeys;
      for (const std::string& text : expected) headwordKeys.insert(keyOf(text.substr(0, text.find('\n'))));
      std::vector<std::string> section1, section2;
      std::set<std::string> keysSeen;  // the first headword with a key takes its occurrence list
      int flagged = 0;
      for (const DecodedEntry& e : list) {
        const std::string text = e.annotation.empty() ? e.text : e.text + "\n" + e.annotation;
        if (e.section == 1) {
          section1.push_back(text);
          const std::string key = keyText(dictionary, e);
          const bool occurs = indexedKeys.count(key) > 0 && keysSeen.insert(key).second;
          EXPECT_EQ(e.flag, hasOwnDefinition[text] || occurs) << text;
          EXPECT_EQ(e.definitionIndex, e.flag ? flagged++ : -1);
        } else {
          section2.push_back(keyText(dictionary, e));
        }
      }
      EXPECT_EQ(section1, expected) << "length " << length;
      EXPECT_EQ(static_cast<int>(readGroups(file, length).size()), flagged);
      std::vector<std::string> expectedSection2;
      for (const std::string& key : indexedKeys) {
        if (static_cast<int>(key.size()) == length && !headwordKeys.count(key)) expectedSection2.push_back(key);
      }
      EXPECT_EQ(section2, expectedSection2) << "length " << length;
      EXPECT_EQ(dictionary.wordCount(length), expected.size());
    }
  }
}

}  // namespace
}  // namespace kea::test
