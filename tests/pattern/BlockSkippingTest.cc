// The word cursor's short cuts: block summaries beside a dictionary, and
// decoded lists kept in memory. Every search shows exactly what it shows
// without them (the words, their annotations and definition numbers, the
// slices of 2000 words and the words examined), whatever the summary's
// block size, whether the summary is whole, missing, stale, cut short,
// changed anywhere or wrong about its offsets, and whether the words come
// from memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "builder/BlockSummaryWriter.h"
#include "builder/CompanionFileWriter.h"
#include "dictionary/Coding.h"
#include "dictionary/DecodedLists.h"
#include "pattern/LengthPlan.h"
#include "pattern/MatchEngine.h"
#include "pattern/MatchEngineSet.h"
#include "pattern/WordCursor.h"
#include "support/BlockSummaryWords.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea {
namespace {

using Trace = std::vector<std::string>;

// Patterns of every matcher: letters required or not, templates, anagrams,
// sub-patterns, variables, punctuation and lines of several patterns.
const char* const kPatterns[] = {
    "*q*z*", "*x*",  "*j*e*", "q*",  "*z",       ".e...", "t....*", ";eat",  ";qz*", "*(qu)*", "*e*e*e*",
    "1*1",   "*-*",  "@#@#*", "[qz]*", "*q* & *z*", "!*e*",  "*",      "????", ";..oting & ! *ing", "*q*e*",
    "*\\q*", "(*x)*", ";q(*)z*"};

// Everything a search over the dictionary shows, call by call: each word
// with its annotation, definition number and the words examined so far, a
// "-" for a slice without a match, and the end of each length.
Trace searchTrace(const std::string& path, const std::string& pattern) {
  Trace trace;
  auto list = DictionaryList::make(path);
  MatchEngineSet set;
  if (set.parseExpression(list->dictionary(0)->alphabet(), pattern, 1, 100) != PatternStatus::Valid) {
    ADD_FAILURE() << pattern;
    return trace;
  }
  const LengthPlan plan = planLengths(set, false, {}, 1, 100);
  WordCursor engine(*list, 0);
  for (int length = plan.firstLength(); startLength(engine, set, plan, length); length += plan.step) {
    for (;;) {
      const WordBuffer* w = engine.next(set);
      const std::string examined = " @" + std::to_string(engine.wordsExamined());
      if (w == nullptr) {
        trace.push_back("-" + examined);
      } else if (w->key[0] == kkd::kNoIndex) {
        trace.push_back("end of " + std::to_string(length) + examined);
        break;
      } else {
        trace.push_back(std::string(engine.text()) + "/" + std::string(engine.annotation()) + "/" +
                        std::to_string(engine.definitionNumber()) + examined);
      }
    }
  }
  return trace;
}

class BlockSkippingTest : public ::testing::Test {
 protected:
  // The same dictionary twice: one to carry summaries, one never to.
  void build(const std::vector<std::string>& lines) {
    test::TestDictionaryOptions options;
    options.fileName = "with.kkd";
    with = test::buildTestDictionary(dir, lines, options);
    options.fileName = "without.kkd";
    without = test::buildTestDictionary(dir, lines, options);
    blocksPath = companionPath(with, blocks::kExtension);
  }
  void summarise(int entriesPerBlock) {
    std::string error;
    ASSERT_TRUE(writeBlockSummaries(with, &error, entriesPerBlock)) << error;
  }
  // Whether the summary beside `with` is taken, read afresh.
  bool summaryTaken() const {
    auto list = DictionaryList::make(with);
    return list->dictionary(0)->blockSummaries() != nullptr;
  }

  test::TempDir dir;
  std::string with, without, blocksPath;
};

TEST_F(BlockSkippingTest, EverySearchShowsWhatItShowsWithoutSummariesWhateverTheBlockSize) {
  build(test::unevenLetterLines(3000));
  std::vector<Trace> expected;
  for (const char* pattern : kPatterns) expected.push_back(searchTrace(without, pattern));
  for (const int entriesPerBlock : {1, 5, 8, 32, 4096}) {
    summarise(entriesPerBlock);
    ASSERT_TRUE(summaryTaken());
    for (std::size_t i = 0; i < std::size(kPatterns); ++i) {
      EXPECT_EQ(searchTrace(with, kPatterns[i]), expected[i]) << kPatterns[i] << " in blocks of " << entriesPerBlock;
    }
  }
  // Rare letters are found at all, so the comparison is not of empty lists.
  EXPECT_GT(expected[0].size(), 12u);
}

TEST_F(BlockSkippingTest, SlicesEndAfterExactly2000WordsWhenBlocksArePassedOver) {
  // 6000 six-letter words counted in base 26 from "aaaaaa": q and z
  // appear only in the last letters, in runs that blocks can pass over.
  std::vector<std::string> lines;
  for (int i = 0; i < 6000; ++i) {
    std::string w = "aaaaaa";
    for (int k = 5, v = i * 7; k >= 0; --k, v /= 26) w[static_cast<std::size_t>(k)] = static_cast<char>('a' + v % 26);
    lines.push_back(w);
  }
  build(lines);
  for (const int entriesPerBlock : {7, 16, 64}) {
    summarise(entriesPerBlock);
    for (const char* pattern : {"*q*z*", "*z*", "q*", "*y", "*q*q*z*"}) {
      const Trace expected = searchTrace(without, pattern);
      EXPECT_EQ(searchTrace(with, pattern), expected) << pattern << " in blocks of " << entriesPerBlock;
    }
  }
  // A slice without a match is reported at all, so slices are compared.
  const Trace rare = searchTrace(without, "*q*q*z*");
  EXPECT_NE(std::find(rare.begin(), rare.end(), "- @2000"), rare.end());
}

TEST_F(BlockSkippingTest, ASummaryThatIsNotTakenChangesNothing) {
  build(test::unevenLetterLines(1500));
  const Trace expected = searchTrace(without, "*q*z*");
  const Trace expectedAll = searchTrace(without, "*e*");
  summarise(4);
  const std::string good = test::readFile(blocksPath);
  ASSERT_TRUE(summaryTaken());
  const auto same = [&](const std::string& what) {
    ASSERT_FALSE(summaryTaken()) << what;
    EXPECT_EQ(searchTrace(with, "*q*z*"), expected) << what;
  };
  for (std::size_t size = 0; size < good.size(); size += 1 + size / 16) {
    test::writeFile(blocksPath, good.substr(0, size));
    same("cut to " + std::to_string(size));
  }
  for (std::size_t i = 0; i < good.size(); i += 1 + i / 64) {
    std::string bytes = good;
    bytes[i] = static_cast<char>(~bytes[i]);
    test::writeFile(blocksPath, bytes);
    same("byte " + std::to_string(i) + " changed");
  }
  std::filesystem::remove(blocksPath);
  same("missing");
  std::filesystem::create_directory(blocksPath);
  same("a folder");
  std::filesystem::remove(blocksPath);
  test::writeFile(blocksPath, good);
  std::filesystem::last_write_time(with, std::filesystem::last_write_time(with) - std::chrono::seconds(5));
  same("stale");
  EXPECT_EQ(searchTrace(with, "*e*"), expectedAll);
}

TEST_F(BlockSkippingTest, OffsetsThatDoNotDescribeTheListNeverLeadOutsideItOrToWordsThePatternMisses) {
  build(test::unevenLetterLines(1500));
  auto list = DictionaryList::make(with);
  const DictionaryList::Dictionary& d = *list->dictionary(0);
  std::string payload(BlockSummaries::make(d, 4)->serialize());
  // Every block claims one bit more than it takes, and that it holds
  // every letter but the last one's: each skip lands off a record.
  std::size_t at = 8;
  for (int length = 1; length < d.lengthSlots(); ++length) {
    const std::uint32_t entries = coding::decodeFixed32(reinterpret_cast<const unsigned char*>(payload.data() + at));
    at += 4;
    for (std::uint32_t b = 0; b < (entries + 3) / 4; ++b, at += 12) {
      auto* record = reinterpret_cast<unsigned char*>(payload.data() + at);
      coding::encodeFixed32(record, b % 2 == 0 ? 0xFFFFFFFFu : 0);
      coding::encodeFixed32(record + 4, coding::decodeFixed32(record + 4) + 1);
    }
  }
  const DictionaryFingerprint fingerprint = d.fingerprint();
  list.reset();
  std::string error;
  ASSERT_TRUE(writeCompanionFile(blocksPath, blocks::kMagic, fingerprint, payload, &error))
      << error;
  ASSERT_TRUE(summaryTaken());
  for (const char* pattern : {"*q*z*", "*e*", "t*"}) {
    MatchEngine engine;
    auto check = DictionaryList::make(with);
    ASSERT_EQ(engine.compile(check->dictionary(0)->alphabet(), pattern), PatternStatus::Valid);
    for (const std::string& line : searchTrace(with, pattern)) {
      if (line[0] == '-' || line.starts_with("end of ")) continue;
      const std::string text = line.substr(0, line.find('/'));
      // The word as the matcher sees it: its letters' alphabet indices.
      auto word = std::make_unique<WordBuffer>();
      int letters = 0;
      for (const char c : text) {
        const std::uint8_t index = check->dictionary(0)->alphabet().indexOfByte[static_cast<std::uint8_t>(c)];
        if (index != kkd::kNoIndex) word->key[letters++] = index;
      }
      word->key[letters] = kkd::kNoIndex;
      std::copy(text.begin(), text.end(), word->raw);
      engine.setWordLength(letters);
      EXPECT_TRUE(engine.matches(*word)) << pattern << ": " << line;
    }
  }
}

// Decoded lists kept in memory, as the desktop program keeps them.
class KeptListsTest : public BlockSkippingTest {
 protected:
  void SetUp() override { DecodedLists::setBudget(64 << 20); }
  void TearDown() override { DecodedLists::setBudget(0); }
};

TEST_F(KeptListsTest, ASecondSearchReadsTheWordsFromMemoryAndShowsTheSame) {
  build(test::unevenLetterLines(3000));
  summarise(16);
  // What the searches show with nothing kept.
  DecodedLists::setBudget(0);
  std::vector<Trace> expected;
  for (const char* pattern : kPatterns) expected.push_back(searchTrace(without, pattern));
  DecodedLists::setBudget(64 << 20);
  // A search that reads whole lengths keeps them; one that skips blocks
  // keeps nothing, and needs nothing kept.
  EXPECT_EQ(searchTrace(with, "*q*z*"), expected[0]);
  EXPECT_EQ(DecodedLists::bytesKept(), 0u);
  EXPECT_EQ(searchTrace(with, "*"), expected[17]);
  const std::size_t kept = DecodedLists::bytesKept();
  EXPECT_GT(kept, 0u);
  for (int round = 0; round < 2; ++round) {
    for (std::size_t i = 0; i < std::size(kPatterns); ++i) {
      EXPECT_EQ(searchTrace(with, kPatterns[i]), expected[i]) << kPatterns[i] << " round " << round;
    }
  }
  EXPECT_EQ(DecodedLists::bytesKept(), kept);  // read from memory, not kept again

  // Within a budget smaller than all the lists, the oldest go.
  DecodedLists::setBudget(kept / 2);
  EXPECT_LE(DecodedLists::bytesKept(), kept / 2);
  EXPECT_GT(DecodedLists::bytesKept(), 0u);
  EXPECT_EQ(searchTrace(with, "*e*e*e*"), expected[10]);
  // Given up all at once, as when memory runs out.
  EXPECT_GT(DecodedLists::dropAll(), 0u);
  EXPECT_EQ(DecodedLists::bytesKept(), 0u);
  EXPECT_EQ(searchTrace(with, ";eat"), expected[7]);
}

TEST_F(KeptListsTest, ARebuiltDictionaryIsReadAfreshAndDefinitionLookupsGoOnIntoSectionTwo) {
  build({"horse", "house|small furry beast", "mouse", "hoard", "cat"});
  searchTrace(with, "*");
  EXPECT_EQ(searchTrace(with, "*"), (Trace{"cat//-1 @1", "end of 3 @1", "hoard//-1 @1", "horse//-1 @2",
                                          "house//0 @3", "mouse//-1 @4", "end of 5 @4"}));
  // The words kept belong to the file as it was.
  test::TestDictionaryOptions options;
  options.fileName = "with.kkd";
  test::buildTestDictionary(dir, {"horse", "moose"}, options);
  EXPECT_EQ(searchTrace(with, "*"), (Trace{"horse//-1 @1", "moose//-1 @2", "end of 5 @2"}));

  // From memory to the end of section 1, then on through the file.
  test::buildTestDictionary(dir, {"horse", "cat|small furry beast"}, options);
  searchTrace(with, "*");
  auto list = DictionaryList::make(with);
  MatchEngineSet set;
  ASSERT_EQ(set.parseExpression(list->dictionary(0)->alphabet(), "*", 1, 100), PatternStatus::Valid);
  set.setLength(5);
  MatchEngine any;
  ASSERT_EQ(any.compile(list->dictionary(0)->alphabet(), "*"), PatternStatus::Valid);
  any.setWordLength(5);
  for (const int wordsFirst : {0, 1, 2}) {
    WordCursor engine(*list, 0);
    ASSERT_TRUE(engine.setLength(5));
    std::vector<std::string> seen;
    for (int i = 0; i < wordsFirst; ++i) {
      const WordBuffer* w = engine.next(set);
      ASSERT_NE(w, nullptr);
      seen.emplace_back(w->key[0] == kkd::kNoIndex ? "end" : std::string(engine.text()));
    }
    for (const WordBuffer* w = &engine.nextMatch(any);; w = &engine.nextMatch(any)) {
      if (w->key[0] == kkd::kNoIndex) {
        if (engine.sectionsFinished() == 2) break;
        seen.emplace_back("end");
        continue;
      }
      seen.emplace_back(w->raw);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"horse", "end", "beast", "furry", "small"})) << wordsFirst;
  }
}

}  // namespace
}  // namespace kea
