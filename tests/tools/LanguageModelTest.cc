// The language model reader of kea-prepare on a model written here by
// hand: words, unigram and bigram figures, and a cut or inconsistent file
// refused with a message rather than followed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include "kea-prepare/Commonness.h"
#include "kea-prepare/LanguageModel.h"
#include "support/TempDir.h"

namespace kea::prepare {
namespace {

// Decimal logarithms in the model's own units (logarithms to the base 1.0001).
float units(double log10) { return static_cast<float>(log10 * std::log(10.0) / std::log(1.0001)); }

void put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void putFloat(std::string& out, float f) {
  std::uint32_t v;
  std::memcpy(&v, &f, 4);
  put32(out, v);
}

// A model of two orders over "<s>", "a" and "b" with the bigrams "<s> a"
// (-0.7) and "a b" (-0.5).
std::string tinyModel() {
  std::string out = "Trie Language Model";
  out.push_back(2);
  put32(out, 3);  // words
  put32(out, 2);  // bigrams
  put32(out, 1);  // quantiser kind
  for (int i = 0; i < 65536; ++i) putFloat(out, i == 5 ? units(-0.7) : i == 7 ? units(-0.5) : 0.0f);
  const double probabilities[] = {-99, -1.5, -2.0};
  const std::uint32_t next[] = {0, 0, 1, 2};  // the bigrams ending in each word
  for (int w = 0; w < 4; ++w) {
    putFloat(out, w < 3 ? units(probabilities[w]) : 0.0f);
    putFloat(out, units(-0.25));
    put32(out, next[w]);
  }
  // Records of 2 + 16 bits: the first word, then the probability's code.
  const std::uint64_t bits = (0u | (5u << 2)) | (std::uint64_t{1u | (7u << 2)} << 18);
  const std::size_t bytes = (3 * 18 + 7) / 8 + 8;
  for (std::size_t i = 0; i < bytes; ++i) out.push_back(static_cast<char>(i < 8 ? (bits >> (8 * i)) & 0xFF : 0));
  const std::string words = std::string("<s>\0a\0b\0", 8);
  put32(out, static_cast<std::uint32_t>(words.size()));
  out += words;
  return out;
}

TEST(LanguageModel, WordsAndTheirFiguresAreRead) {
  test::TempDir dir;
  test::writeFile(dir.file("m.bin"), tinyModel());
  LanguageModel model;
  std::string error;
  ASSERT_TRUE(model.load(dir.file("m.bin"), error)) << error;
  ASSERT_EQ(model.wordCount(), 3u);
  EXPECT_EQ(model.find("b"), 2);
  EXPECT_EQ(model.find("c"), -1);
  EXPECT_NEAR(model.probability(1), -1.5, 1e-4);
  EXPECT_NEAR(model.backoff(2), -0.25, 1e-4);
  double p = 0;
  ASSERT_TRUE(model.bigram(1, 2, p));
  EXPECT_NEAR(p, -0.5, 1e-4);
  ASSERT_TRUE(model.bigram(0, 1, p));
  EXPECT_NEAR(p, -0.7, 1e-4);
  EXPECT_FALSE(model.bigram(2, 1, p));
  int visited = 0;
  model.forEachBigram([&](int first, int second, double) {
    EXPECT_EQ(first + 1, second);
    ++visited;
  });
  EXPECT_EQ(visited, 2);
}

TEST(LanguageModel, ACutOrInconsistentFileIsRefused) {
  test::TempDir dir;
  const std::string good = tinyModel();
  LanguageModel model;
  std::string error;
  for (std::size_t cut = 0; cut < good.size(); cut += cut < 64 || cut > good.size() - 64 ? 1 : 4093) {
    test::writeFile(dir.file("m.bin"), good.substr(0, cut));
    EXPECT_FALSE(model.load(dir.file("m.bin"), error)) << cut;
    EXPECT_FALSE(error.empty());
  }
  // A word whose bigrams would run past the table.
  std::string bad = good;
  const std::size_t records = 19 + 1 + 8 + 4 + 65536 * 4;
  bad[records + 3 * 12 + 8] = 9;
  test::writeFile(dir.file("m.bin"), bad);
  EXPECT_FALSE(model.load(dir.file("m.bin"), error));
  EXPECT_NE(error.find("bigram"), std::string::npos) << error;
  EXPECT_FALSE(model.load(dir.file("missing.bin"), error));
}

TEST(Commonness, ModelKeysFoldCaseAndAccentsAndKeepApostrophes) {
  EXPECT_EQ(Commonness::modelKey("Caf\xE9"), "cafe");
  EXPECT_EQ(Commonness::modelKey("tail-end  Charlie"), "tail end charlie");
  EXPECT_EQ(Commonness::modelKey("isn\x92t"), "isn't");
  EXPECT_EQ(Commonness::modelKey("B-52"), "b 52");
}

}  // namespace
}  // namespace kea::prepare
