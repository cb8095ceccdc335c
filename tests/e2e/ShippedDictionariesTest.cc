// The dictionaries the build ships, read back as the programs read them:
// every word list decodes to its end, and they hold every SCOWL word, every
// WordNet lemma and the words the program's examples use.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <unordered_set>

#include "dictionary/BlockSummary.h"
#include "dictionary/DictionaryList.h"
#include "dictionary/WordListDecoder.h"
#include "platform/Cp1252.h"

namespace kea {
namespace {

const std::string kEnglish = std::string(KEA_SHIPPED_DATA_DIR) + "/Dictionaries/English.kkd";
const std::string kWordNet = std::string(KEA_SHIPPED_DATA_DIR) + "/Definitions/WordNet.kkd";

// The words of the program's own examples, one for each kind of pattern.
const char* const kExampleWords[] = {"electron", "obelisk",      "maharaja",    "sardine",
                                     "toboggan", "beriberi",     "fly-by-night", "tonight",
                                     "imaginative", "readable", "jack-o'-lantern"};

struct Headwords {
  std::unordered_set<std::string> all;
  std::unordered_set<std::string> withDefinitions;  // flag bit set
};

// Every section-1 entry of every length, through the program's own decoder.
const Headwords& headwordsOf(const std::string& path) {
  static std::map<std::string, Headwords> cache;
  auto found = cache.find(path);
  if (found != cache.end()) return found->second;
  Headwords& words = cache[path];
  auto list = DictionaryList::make(path);
  const DictionaryList::Dictionary* dictionary = list->dictionary(0);
  EXPECT_TRUE(dictionary && dictionary->isOpen()) << path;
  if (!dictionary || !dictionary->isOpen()) return words;
  std::size_t section1 = 0, expected = 0;
  for (int length = 1; length < dictionary->lengthSlots(); ++length) {
    bool complete = false;
    for (const DecodedEntry& entry : decodeWordList(*dictionary, length, &complete)) {
      if (entry.section != 1) continue;
      ++section1;
      words.all.insert(entry.text);
      if (entry.flag) words.withDefinitions.insert(entry.text);
    }
    EXPECT_TRUE(complete) << path << ", length " << length;
    expected += dictionary->wordCount(length);
  }
  EXPECT_EQ(section1, expected) << path;
  EXPECT_EQ(words.all.size(), section1) << path << ": one entry per distinct text";
  return words;
}

TEST(ShippedDictionaries, HoldTheExampleWordsWithDefinitions) {
  for (const std::string& path : {kEnglish, kWordNet}) {
    const Headwords& words = headwordsOf(path);
    for (const char* word : kExampleWords) {
      EXPECT_EQ(words.withDefinitions.count(word), 1u) << path << ": " << word;
    }
  }
}

TEST(ShippedDictionaries, CarryTheBlockSummariesOfTheirOwnFiles) {
  for (const std::string& path : {kEnglish, kWordNet}) {
    const auto list = DictionaryList::make(path);
    const LoadedBlockSummaries loaded = loadBlockSummaries(*list->dictionary(0));
    ASSERT_EQ(loaded.status, CompanionStatus::Loaded) << path;
    // Every entry of section 1 is in a block.
    std::uint32_t entries = 0;
    for (int length = 1; length < list->lengthSlots(0); ++length) {
      if (const LengthBlocks* blocks = loaded.summaries->length(length)) entries += blocks->entries();
    }
    int headwords = 0, definitions = 0, shortest = 0, longest = 0;
    list->statistics(0, headwords, definitions, shortest, longest);
    EXPECT_EQ(entries, static_cast<std::uint32_t>(headwords)) << path;
  }
}

TEST(ShippedDictionaries, EnglishHoldsEverySCOWLWordAndAllOfWordNet) {
  const Headwords& english = headwordsOf(kEnglish);
  for (const char* list : {"/usr/share/dict/american-english-huge", "/usr/share/dict/british-english-huge"}) {
    std::ifstream in(list);
    ASSERT_TRUE(in) << list;
    std::size_t read = 0, missing = 0;
    for (std::string line; std::getline(in, line);) {
      if (line.empty()) continue;
      ++read;
      const auto word = platform::utf8ToCp1252(line);
      if (!word || english.all.count(*word) == 0) {
        if (++missing <= 5) ADD_FAILURE() << list << ": " << line << " is missing";
      }
    }
    EXPECT_GT(read, 300000u) << list;
    EXPECT_EQ(missing, 0u) << list;
  }
  // Words only the lists have, possessives included.
  for (const char* word : {"electron's", "Africanisation", "zygaenid"}) EXPECT_EQ(english.all.count(word), 1u) << word;

  const Headwords& wordNet = headwordsOf(kWordNet);
  EXPECT_GT(wordNet.all.size(), 140000u);
  std::size_t notInEnglish = 0;
  for (const std::string& word : wordNet.all) notInEnglish += english.withDefinitions.count(word) == 0;
  EXPECT_EQ(notInEnglish, 0u);
  // Multi-word lemmas keep their spaces; the position markers are gone.
  for (const char* word : {"abstract entity", "physical entity", "galore", "St John's wort", "marsh St-John's wort"}) {
    EXPECT_EQ(wordNet.all.count(word), 1u) << word;
  }
  EXPECT_EQ(wordNet.all.count("galore(ip)"), 0u);
  EXPECT_EQ(wordNet.all.count("abstract_entity"), 0u);
  // A WordNet dictionary holds no list word that no synset names.
  EXPECT_EQ(wordNet.all.count("electron's"), 0u);
}

}  // namespace
}  // namespace kea
