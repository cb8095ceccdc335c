// Dictionaries built by the builder and read back by the real reader: the
// header, the entries with their annotations, keys, flags and definition
// numbers, and the section-2 words, against what was put in.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <utility>

#include "dictionary/DictionaryList.h"
#include "dictionary/LetterFold.h"
#include "dictionary/WordListDecoder.h"
#include "support/KkdTestReader.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea::test {
namespace {

std::string keyText(const DictionaryList::Dictionary& dictionary, const DecodedEntry& entry) {
  std::string key;
  for (const std::uint8_t index : entry.key) key.push_back(static_cast<char>(dictionary.canonicalCharOf(index)));
  return key;
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
    std::map<int, std::set<std::string>> headwords;  // by length: stored texts
    std::map<std::string, bool> hasOwnDefinition;    // by stored text
    std::set<std::string> indexedKeys;               // words of searchable texts
    for (int l = 0; l < 400; ++l) {
      const bool groupOne = random() % 8 == 0, withDefinition = random() % 2 == 0;
      std::string line = groupOne ? ";" : "";
      for (int f = 0, fields = 1 + static_cast<int>(random() % 3); f < fields; ++f) {
        const std::string word = pick(), note = random() % 7 ? "" : "note" + std::to_string(f);
        line += word + (note.empty() ? "" : "+" + note + "+") + (f + 1 < fields ? (groupOne ? ":" : ";") : "");
        const std::string text = note.empty() ? word : word + "\n" + note;
        headwords[static_cast<int>(keyOf(word).size())].insert(text);
        hasOwnDefinition[text] = hasOwnDefinition[text] || withDefinition;
      }
      for (int w = 0, words = withDefinition ? 1 + static_cast<int>(random() % 5) : 0; w < words; ++w) {
        const std::string word = pick();
        line += (w ? " " : "|") + word;
        // Hyphens and apostrophes part words in definition text.
        std::string run;
        for (const char c : word + " ") {
          if (const std::uint8_t k = english[static_cast<std::uint8_t>(c)]) {
            run.push_back(static_cast<char>(k));
          } else if (!run.empty() && !groupOne) {
            indexedKeys.insert(std::exchange(run, {}));
          }
        }
      }
      lines.push_back(line);
    }

    TempDir dir;
    const std::string path = buildTestDictionary(dir, lines);
    DictionaryList::Dictionary dictionary(path);
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
      int flagged = 0, position = 0;
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
          EXPECT_EQ(e.definitionIndex, position++);
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
