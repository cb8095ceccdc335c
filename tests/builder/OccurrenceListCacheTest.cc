// The builder's table of index words and the definitions they occur in.
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

TEST(OccurrenceListCache, AgreesWithAMapOnManyRandomWords) {
  // Enough words to make the table grow several times, each word seen
  // several times in one definition.
  std::mt19937 random(7);
  std::map<std::string, std::set<std::uint32_t>> expected;
  OccurrenceListCache cache;
  for (std::uint32_t definition = 0; definition < 3000; ++definition) {
    for (int w = 0; w < 12; ++w) {
      std::string key;
      for (int i = 0, length = 1 + static_cast<int>(random() % 6); i < length; ++i) {
        key.push_back(static_cast<char>('a' + random() % 5));
      }
      cache.add(key, definition);
      expected[key].insert(definition);
    }
  }
  cache.finish();
  ASSERT_EQ(cache.wordCount(), expected.size());
  for (const auto& [key, definitions] : expected) {
    EXPECT_EQ(listOf(cache, key), std::vector<std::uint32_t>(definitions.begin(), definitions.end())) << key;
  }
  EXPECT_EQ(cache.find("abcdefg"), OccurrenceListCache::kNone);
  OccurrenceListCache empty;
  empty.finish();
  EXPECT_EQ(empty.find("a"), OccurrenceListCache::kNone);
  EXPECT_TRUE(empty.wordsOfLength(1).empty());
}

}  // namespace
}  // namespace kea
