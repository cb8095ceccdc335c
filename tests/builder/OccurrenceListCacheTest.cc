#include "builder/OccurrenceListCache.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

namespace kea {
namespace {

std::vector<std::uint32_t> listOf(const OccurrenceListCache& cache, std::string_view key) {
  const auto word = cache.find(key);
  if (word == OccurrenceListCache::kNone) return {};
  const auto span = cache.definitions(word);
  return {span.begin(), span.end()};
}

TEST(OccurrenceListCache, CollectsEachWordsDefinitionsOnce) {
  OccurrenceListCache cache;
  cache.add("cat", 0);
  cache.add("dog", 0);
  cache.add("cat", 0);  // again in the same definition
  cache.add("dog", 3);
  cache.add("cat", 5);
  cache.finish();
  EXPECT_EQ(cache.wordCount(), 2u);
  EXPECT_EQ(listOf(cache, "cat"), (std::vector<std::uint32_t>{0, 5}));
  EXPECT_EQ(listOf(cache, "dog"), (std::vector<std::uint32_t>{0, 3}));
  EXPECT_EQ(cache.find("cow"), OccurrenceListCache::kNone);
  EXPECT_EQ(cache.find("ca"), OccurrenceListCache::kNone);
}

TEST(OccurrenceListCache, EmptyCacheFindsNothing) {
  OccurrenceListCache cache;
  cache.finish();
  EXPECT_EQ(cache.find("a"), OccurrenceListCache::kNone);
  EXPECT_TRUE(cache.wordsOfLength(1).empty());
}

TEST(OccurrenceListCache, WordsOfALengthComeInUnsignedByteOrder) {
  OccurrenceListCache cache;
  for (const char* key : {"\xE9t\xE9", "zoo", "ant", "ab", "abc", "Zed"}) cache.add(key, 1);
  cache.finish();
  std::vector<std::string> keys;
  for (const auto word : cache.wordsOfLength(3)) keys.emplace_back(cache.key(word));
  EXPECT_EQ(keys, (std::vector<std::string>{"Zed", "abc", "ant", "zoo", "\xE9t\xE9"}));
}

TEST(OccurrenceListCache, AgreesWithAMapOnManyRandomWords) {
  // Enough words to make the table grow several times.
  std::mt19937 random(7);
  std::map<std::string, std::set<std::uint32_t>> expected;
  OccurrenceListCache cache;
  for (std::uint32_t definition = 0; definition < 3000; ++definition) {
    for (int w = 0; w < 12; ++w) {
      std::string key;
      const int length = 1 + static_cast<int>(random() % 6);
      for (int i = 0; i < length; ++i) key.push_back(static_cast<char>('a' + random() % 5));
      cache.add(key, definition);
      expected[key].insert(definition);
    }
  }
  cache.finish();
  ASSERT_EQ(cache.wordCount(), expected.size());
  for (const auto& [key, definitions] : expected) {
    EXPECT_EQ(listOf(cache, key), std::vector<std::uint32_t>(definitions.begin(), definitions.end())) << key;
  }
}

}  // namespace
}  // namespace kea
