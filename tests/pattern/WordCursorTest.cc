// The word cursor: lengths, slices of 2000 words, both sections of a list,
// damaged lists, files replaced or changed while they are read, the length
// plan, and sharing file handles when the process has too few.
#include "dictionary/KkdFormat.h"
#include "pattern/WordCursor.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "dictionary/WordListDecoder.h"
#include "pattern/LengthPlan.h"
#include "pattern/MatchEngine.h"
#include "pattern/MatchEngineSet.h"
#include "support/KkdAssembler.h"
#include "support/TempDir.h"
#include "support/TestAlphabet.h"
#include "support/TestDictionary.h"

namespace kea {
namespace {

using Words = std::vector<std::string>;

// A line compiled for a dictionary and set to one length.
struct Line {
  MatchEngineSet set;
  Line(const DictionaryList::Dictionary& d, const std::string& text, int length) {
    EXPECT_EQ(set.parseExpression(d.alphabet(), text, 1, 100), PatternStatus::Valid) << text;
    set.setLength(length);
  }
};

bool atEnd(const WordBuffer* w) { return w != nullptr && w->key[0] == kkd::kNoIndex; }

// Enough eight-letter words for several 16384-byte blocks of one list,
// sorted, each once.
Words eightLetterWords() {
  Words words;
  for (int i = 0; i < 12000; ++i) {
    std::string w = "abcdefgh";
    for (int k = 7, v = i * 7919; k >= 0; --k, v /= 26) w[static_cast<std::size_t>(k)] = static_cast<char>('a' + v % 26);
    words.push_back(w);
  }
  std::sort(words.begin(), words.end());
  words.erase(std::unique(words.begin(), words.end()), words.end());
  return words;
}

// Every match in the length the engine is set to, up to the end marker.
Words allMatches(WordCursor& engine, MatchEngineSet& set) {
  Words words;
  for (const WordBuffer* w = engine.next(set); !atEnd(w); w = engine.next(set)) {
    if (w != nullptr) words.emplace_back(engine.text());
  }
  return words;
}

class WordCursorTest : public ::testing::Test {
 protected:
  void open(const std::string& path) {
    list = DictionaryList::make(path);
    EXPECT_TRUE(list->isUsable(0)) << list->description(0);
  }
  const DictionaryList::Dictionary& dictionary() const { return *list->dictionary(0); }
  Words readLength(WordCursor& engine, const char* line, int length) {
    Line l(dictionary(), line, length);
    EXPECT_TRUE(engine.setLength(length)) << length;
    return allMatches(engine, l.set);
  }

  test::TempDir dir;
  DictionaryList::Handle list;
};

TEST_F(WordCursorTest, ReadsOneLengthThenReportsTheEndWithAnnotationsAndDefinitions) {
  open(test::buildTestDictionary(dir, {"cat|feline", "cot", "dog", "cut+n. club+", "Cato", "act", "horse"}));
  WordCursor engine(*list, 0);
  Line line(dictionary(), "c.t", 3);
  ASSERT_TRUE(engine.setLength(3));
  EXPECT_TRUE(engine.holdsFile());
  Words seen;
  for (const WordBuffer* w = engine.next(line.set); !atEnd(w); w = engine.next(line.set)) {
    ASSERT_NE(w, nullptr);
    seen.push_back(std::string(engine.text()) + "/" + std::string(engine.annotation()) + "/" +
                   std::to_string(engine.definitionNumber()));
    EXPECT_EQ(engine.lookupMode(), kkd::kGroupedTableMode);
  }
  EXPECT_EQ(seen, (Words{"cat//0", "cot//-1", "cut/n. club/-1"}));
  EXPECT_EQ(engine.wordsExamined(), 5);
  EXPECT_TRUE(atEnd(engine.next(line.set)));  // the end stays the end
  EXPECT_EQ(engine.wordsExamined(), 5);

  // A new length starts afresh, and the key of a word ends at its length.
  Line four(dictionary(), "*", 4);
  ASSERT_TRUE(engine.setLength(4));
  EXPECT_EQ(engine.wordsExamined(), 0);
  const WordBuffer* w = engine.next(four.set);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(engine.text(), "Cato");
  EXPECT_EQ(w->key[4], kkd::kNoIndex);

  // Lengths without words cannot be set, and read as the end.
  for (const int length : {-1, 0, 1, 2, 100, 101, 5000}) {
    EXPECT_FALSE(engine.setLength(length)) << length;
    EXPECT_FALSE(engine.holdsFile());
    EXPECT_TRUE(atEnd(engine.next(four.set))) << length;
  }
  // A cursor over a dictionary index the list does not have reads nothing.
  EXPECT_FALSE(WordCursor(*list, 3).setLength(3));
}

TEST_F(WordCursorTest, ASliceEndsAfter2000WordsAndTheNextCallGoesOn) {
  Words lines;  // 4500 six-letter words; the one to find is number 2501
  for (int i = 0; i < 4500; ++i) {
    std::string w = "aaaaaa";
    for (int k = 5, v = i; k >= 0; --k, v /= 26) w[static_cast<std::size_t>(k)] = static_cast<char>('a' + v % 26);
    lines.push_back(w);
  }
  open(test::buildTestDictionary(dir, lines));
  WordCursor engine(*list, 0);
  Line line(dictionary(), lines[2500], 6);
  ASSERT_TRUE(engine.setLength(6));
  EXPECT_EQ(engine.next(line.set), nullptr);
  EXPECT_EQ(engine.wordsExamined(), 2000);
  ASSERT_NE(engine.next(line.set), nullptr);
  EXPECT_EQ(engine.text(), lines[2500]);
  EXPECT_EQ(engine.wordsExamined(), 2501);
  EXPECT_TRUE(atEnd(engine.next(line.set)));  // the remaining 1999 words, then the end
  EXPECT_EQ(engine.wordsExamined(), 4500);
  EXPECT_EQ(readLength(engine, "*", 6), lines);  // the plain walk, whatever the slices
  // Words that lack a letter the pattern needs count towards the slice too.
  Line rare(dictionary(), "*q*q*z*", 6);
  ASSERT_TRUE(engine.setLength(6));
  EXPECT_EQ(engine.next(rare.set), nullptr);
  EXPECT_EQ(engine.wordsExamined(), 2000);
}

TEST_F(WordCursorTest, TheLetterTestBeforeTheMatcherTurnsAwayOnlyWordsTheMatcherWould) {
  open(test::buildTestDictionary(dir, {"quartz", "quizzes", "zquiet", "Qatar", "banana", "abacas", "bazaar", "pizazz",
                                       "quiz", "azq", "adze", "zebra", "ab-ba", "llama", "Aztec"}));
  for (const char* pattern : {"*q*z*", "*a*a*", "*z*z*z*", "1*1", ";az*", "(*q*)*", "*.-*b*"}) {
    for (int length = 3; length <= 7; ++length) {
      // What the matcher says of each word of the length, one at a time.
      MatchEngine engine;
      ASSERT_EQ(engine.compile(dictionary().alphabet(), pattern), PatternStatus::Valid) << pattern;
      engine.setWordLength(length);
      Words expected;
      auto word = std::make_unique<WordBuffer>();
      for (const DecodedEntry& e : decodeWordList(dictionary(), length)) {
        if (e.section != 1) continue;
        std::memset(word.get(), 0, sizeof(WordBuffer));
        std::copy(e.key.begin(), e.key.end(), word->key);
        word->key[e.key.size()] = kkd::kNoIndex;
        std::copy(e.text.begin(), e.text.end(), word->raw);
        if (engine.matches(*word)) expected.push_back(e.text);
      }
      WordCursor cursor(*list, 0);
      EXPECT_EQ(readLength(cursor, pattern, length), expected) << pattern << " " << length;
      Words found;
      ASSERT_TRUE(cursor.setLength(length));
      for (const WordBuffer* w = &cursor.nextMatch(engine); w->key[0] != kkd::kNoIndex; w = &cursor.nextMatch(engine)) {
        found.emplace_back(cursor.text());
      }
      EXPECT_EQ(found, expected) << pattern << " " << length;
    }
  }
}

TEST_F(WordCursorTest, NextMatchReadsSectionTwoAfterTheFirstEndRecord) {
  // "small", "furry" and "beast" are index words of length 5.
  open(test::buildTestDictionary(dir, {"horse", "cat|small furry beast"}));
  MatchEngine any;
  ASSERT_EQ(any.compile(dictionary().alphabet(), "*"), PatternStatus::Valid);
  any.setWordLength(5);
  WordCursor engine(*list, 0);
  ASSERT_TRUE(engine.setLength(5));
  EXPECT_EQ(std::string(engine.nextMatch(any).raw), "horse");
  EXPECT_EQ(engine.section(), 1);
  EXPECT_TRUE(atEnd(&engine.nextMatch(any)));
  EXPECT_EQ(std::make_pair(engine.sectionsFinished(), engine.section()), std::make_pair(1, 2));
  std::vector<std::pair<std::string, int>> index;
  for (const WordBuffer* w = &engine.nextMatch(any); !atEnd(w); w = &engine.nextMatch(any)) {
    index.emplace_back(w->raw, engine.definitionNumber());
    EXPECT_EQ(engine.lookupMode(), kkd::kDirectTableMode);
  }
  EXPECT_EQ(index, (std::vector<std::pair<std::string, int>>{{"beast", 0}, {"furry", 1}, {"small", 2}}));
  EXPECT_TRUE(atEnd(&engine.nextMatch(any)));
  EXPECT_EQ(engine.sectionsFinished(), 2);

  // The word search never sees section 2; after its end, the definition
  // lookups may still go on.
  EXPECT_EQ(readLength(engine, "*", 5), Words{"horse"});
  EXPECT_EQ(std::string(engine.nextMatch(any).raw), "beast");
}

TEST_F(WordCursorTest, ADamagedListEndsTheLengthAsIfItsEndRecordWasRead) {
  test::KkdAssembler a(1, 6);
  a.assignOwnValueCodes(std::string("\0\n", 2) + "abcdefghijklmnopqrstuvwxyz-");
  // A record of the wrong letter count means the list is not what it claims.
  a.addList(3, {"abc", "de", "fgh"});
  a.addList(4, {"abcd", "a-bcd", "wxyz"});
  // Length 5: the list stops in the middle of its second record, where the
  // bytes of its table of definition groups follow (codes of no symbol).
  const std::uint32_t five = a.bodyOffset();
  a.addList(5, {"abcde", "fghij", "klmno"});
  a.body.resize(a.body.size() - 4);
  a.addGroupTable(5, 1);
  ASSERT_EQ(a.wordListOffset[5], five);
  const std::string path = dir.file("damaged.kkd");
  test::writeFile(path, a.bytes());
  open(path);
  WordCursor engine(*list, 0);
  EXPECT_EQ(engine.problem(), ListProblem::None);
  EXPECT_EQ(readLength(engine, "*", 3), Words{"abc"});
  EXPECT_EQ(engine.problem(), ListProblem::Damaged);
  MatchEngine any;
  ASSERT_EQ(any.compile(dictionary().alphabet(), "*"), PatternStatus::Valid);
  any.setWordLength(3);
  EXPECT_TRUE(atEnd(&engine.nextMatch(any))) << "no section 2 after damage";

  // The next lengths are read as usual, up to the damage; the first
  // problem is the one remembered.
  EXPECT_EQ(readLength(engine, "*", 4), (Words{"abcd", "a-bcd", "wxyz"}));
  WordCursor fresh(*list, 0);
  EXPECT_EQ(readLength(fresh, "*", 4), (Words{"abcd", "a-bcd", "wxyz"}));
  EXPECT_EQ(fresh.problem(), ListProblem::None);
  const Words five5 = readLength(fresh, "*", 5);
  ASSERT_FALSE(five5.empty());
  EXPECT_EQ(five5[0], "abcde");
  EXPECT_LE(five5.size(), 2u);
  EXPECT_EQ(fresh.problem(), ListProblem::Damaged);
}

// A dictionary rebuilt and renamed into place, or deleted, while it is
// searched: the open file is read whole, as it was when the search began.
TEST_F(WordCursorTest, AFileReplacedOrDeletedWhileItIsReadIsStillReadWhole) {
  const std::string path = test::buildTestDictionary(dir, {"cat", "horse"});
  open(path);
  WordCursor engine(*list, 0);
  EXPECT_EQ(readLength(engine, "*", 3), Words{"cat"});
  test::TempDir other;
  const std::string replacement = test::buildTestDictionary(other, {"cat", "dog", "emu", "horse", "zebra"});
  ASSERT_EQ(std::rename(replacement.c_str(), path.c_str()), 0);
  EXPECT_EQ(readLength(engine, "*", 3), Words{"cat"});
  ASSERT_TRUE(std::filesystem::remove(path));
  EXPECT_EQ(readLength(engine, "*", 5), Words{"horse"});
  EXPECT_EQ(engine.problem(), ListProblem::None);
}

// A file written over in place while a list is read: the list stops at the
// next block, and the cursor says the file changed.
TEST_F(WordCursorTest, AFileChangedInPlaceWhileItIsReadStopsAndSaysSo) {
  Words words = eightLetterWords();
  const std::string path = test::buildTestDictionary(dir, words);
  // Its time lies in the past, so that any write gives it a new one.
  std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) - std::chrono::hours(1));
  open(path);
  WordCursor engine(*list, 0);
  Line line(dictionary(), "*", 8);
  ASSERT_TRUE(engine.setLength(8));
  Words read;
  for (int i = 0; i < 10; ++i) read.emplace_back(engine.next(line.set) != nullptr ? engine.text() : "");
  // The same byte written back is still a write.
  const int fd = ::open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  const std::string bytes = test::readFile(path);
  ASSERT_EQ(::pwrite(fd, bytes.data() + bytes.size() / 2, 1, static_cast<off_t>(bytes.size() / 2)), 1);
  ::close(fd);
  const Words rest = allMatches(engine, line.set);
  EXPECT_LT(read.size() + rest.size(), words.size() - 1000);
  EXPECT_EQ(engine.problem(), ListProblem::Changed);
  EXPECT_FALSE(engine.setLength(7));
}

TEST(LengthPlan, FollowsTheLineAndTheSettings) {
  struct Case {
    std::string line;
    LengthOrder order;
    int shortest, longest;
    LengthPlan expected;
  };
  const Case cases[] = {
      {".l...r.n", {true, 0}, 1, 100, {LengthPlan::kPlanned, 8, 8, 1}},
      {".l...r.n", {true, 0}, 9, 100, {LengthPlan::kOutsideSettings, 101, 0, 1}},
      {"m*ja", {true, 0}, 9, 100, {LengthPlan::kPlanned, 9, 100, 1}},
      {"m*ja", {true, -1}, 1, 100, {LengthPlan::kPlanned, 3, 100, -1}},
      {"m*ja", {false, -1}, 1, 50, {LengthPlan::kPlanned, 3, 50, 1}},
      {"...... & ........", {true, 0}, 1, 100, {LengthPlan::kIncompatibleLengths, 101, 0, 1}},
      {"a?b & ...", {true, 1}, 1, 100, {LengthPlan::kPlanned, 3, 3, 1}},
      // Negated patterns do not bound the lengths; "|" spans both sides.
      {"........ & !.........", {true, 0}, 1, 100, {LengthPlan::kIncompatibleLengths, 101, 0, 1}},
      {"...... | ........", {true, 0}, 1, 100, {LengthPlan::kPlanned, 6, 8, 1}},
      {"m*ja", {true, 0}, 4, 6, {LengthPlan::kPlanned, 4, 6, 1}},
      // A bounded range of lengths prefers the longest first.
      {"......*;gdangboot", {true, 0}, 1, 100, {LengthPlan::kPlanned, 6, 9, -1}},
      {"......*;gdangboot", {true, 1}, 1, 7, {LengthPlan::kPlanned, 6, 7, 1}},
      // The preferred order sums each pattern's kind: unbounded wins a tie.
      {"......*;gdangboot & t*", {true, 0}, 1, 100, {LengthPlan::kPlanned, 6, 9, 1}},
      {"......*;gdangboot & ........", {true, 0}, 1, 100, {LengthPlan::kPlanned, 8, 8, -1}},
      // More than 100 letters: no length at all, which is no error by itself.
      {std::string(101, '.'), {}, 1, 100, {LengthPlan::kNoLength, 101, 0, 1}},
  };
  for (const Case& c : cases) {
    MatchEngineSet set;
    ASSERT_EQ(set.parseExpression(test::englishTestAlphabet(), c.line, c.shortest, c.longest), PatternStatus::Valid);
    const LengthPlan plan = planLengths(set, false, c.order, c.shortest, c.longest);
    EXPECT_EQ(std::make_tuple(plan.code, plan.shortest, plan.longest, plan.step),
              std::make_tuple(c.expected.code, c.expected.shortest, c.expected.longest, c.expected.step))
        << c.line;
    // Full-text mode plans no lengths.
    EXPECT_EQ(planLengths(set, true, {}, 1, 100).code, LengthPlan::kNoLength) << c.line;
  }
}

TEST_F(WordCursorTest, StartLengthSkipsLengthsWithoutWordsInPlanOrder) {
  open(test::buildTestDictionary(dir, {"at", "horse", "kitten"}));
  Line any(dictionary(), "*", 1);
  WordCursor engine(*list, 0);
  const LengthPlan down{LengthPlan::kPlanned, 1, 6, -1};
  std::vector<int> visited;
  int length = down.firstLength();
  for (; startLength(engine, any.set, down, length); length += down.step) visited.push_back(length);
  EXPECT_EQ(visited, (std::vector<int>{6, 5, 2}));
  EXPECT_EQ(length, 0);
}

// With one free file handle in the whole process, six cursors over six
// files read their lists in turns, each taking the handle from another and
// carrying on where it was. Runs in a child process, whose limit on open
// files can be lowered freely; the exit code tells which check failed.
void readSixDictionariesWithOneHandle(const std::vector<std::string>& paths, const Words& words) {
  std::string names;
  for (const std::string& p : paths) names += p + ";";
  auto list = DictionaryList::make(names);
  std::vector<std::unique_ptr<Line>> lines;
  std::vector<std::unique_ptr<WordCursor>> engines;
  for (int i = 0; i < list->count(); ++i) {
    if (!list->isUsable(i)) std::_Exit(3);
    lines.push_back(std::make_unique<Line>(*list->dictionary(i), "*", 8));
    engines.push_back(std::make_unique<WordCursor>(*list, i));
    // Read once with handles to spare, so that a sanitizer's first checks
    // (which need descriptors of their own) are behind us; length 0 has
    // no words and closes the handle again.
    if (!engines.back()->setLength(8)) std::_Exit(2);
    engines.back()->setLength(0);
  }
  // Fill every free descriptor but one.
  int highest = 0;
  for (int fd = 0; fd < 4096; ++fd) {
    if (fcntl(fd, F_GETFD) != -1) highest = fd;
  }
  const rlimit limit{static_cast<rlim_t>(highest + 2), static_cast<rlim_t>(highest + 2)};
  if (setrlimit(RLIMIT_NOFILE, &limit) != 0) std::_Exit(4);
  int last = -1;
  for (int fd; (fd = ::open("/dev/null", O_RDONLY)) >= 0;) last = fd;
  if (last >= 0) ::close(last);

  int holding = 0;
  for (auto& e : engines) {
    if (!e->setLength(8)) std::_Exit(5);
  }
  for (auto& e : engines) holding += e->holdsFile();
  if (holding != 1) std::_Exit(6);
  // Round robin, one word each, so every block read needs the handle back.
  std::vector<Words> got(engines.size());
  for (bool more = true; more;) {
    more = false;
    for (std::size_t i = 0; i < engines.size(); ++i) {
      const WordBuffer* w = engines[i]->next(lines[i]->set);
      if (w == nullptr || atEnd(w)) continue;
      got[i].emplace_back(engines[i]->text());
      more = true;
    }
  }
  std::_Exit(std::all_of(got.begin(), got.end(), [&](const Words& g) { return g == words; }) ? 0 : 7);
}

TEST_F(WordCursorTest, CursorsShareHandlesWhenTheProcessRunsOutOfThem) {
  Words words = eightLetterWords();
  const std::string first = test::buildTestDictionary(dir, words);
  ASSERT_GT(std::filesystem::file_size(first), 3u * WordListDecoder::kBlockSize);
  std::vector<std::string> paths{first};
  for (int i = 1; i < 6; ++i) {
    paths.push_back(dir.file("copy" + std::to_string(i) + ".kkd"));
    std::filesystem::copy_file(first, paths.back());
  }
  open(first);
  WordCursor engine(*list, 0);
  words = readLength(engine, "*", 8);  // in the order the list is stored in
  ASSERT_GT(words.size(), 10000u);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(readSixDictionariesWithOneHandle(paths, words), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace kea
