// Matching a word allocates nothing: a counting operator new for this test
// program shows that matches(), evaluate() and setLength() make no
// allocation once the patterns are compiled.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "dictionary/DictionaryList.h"
#include "pattern/MatchEngine.h"
#include "pattern/MatchEngineSet.h"
#include "search/PhraseAnagram.h"
#include "settings/UserOptions.h"
#include "support/TestAlphabet.h"
#include "support/TestDictionary.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
// The non-throwing forms too (the standard library's temporary buffers use
// them), so that every block this program frees came from malloc.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  ++allocations;
  return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace kea {
namespace {

TEST(Allocation, MatchingAWordAllocatesNothing) {
  // The Quick Reference lines, and lines read over sets of places, placed
  // by a sweep, and over the plane of significant characters.
  const std::vector<std::string> lines = {
      ".l...r.n", ";lobikes", ";toboggan", "m*ja", "@#@#@#@#@#@", "12341234", "...-..-.....",
      ";..oting & ! *ing", ";rebel(ada)", ";diners[ai]", "......*;gdangboot", "*a*a*a*a*b",
      "(*a)(*b)*", ";(a*)(b*)c1", "(a | b*) & !(c* | 1*1)", "\\C*-*", "x(*;ab)y*", "**(*[^ba]*).a*b",
      ";(*b)(a*)(*a)(*)(b*)c", ";[b](a*)1a.(*0.)0", ";([ab])(ac(***))b[^c](**)a(*b)", ";(*;ab)(*b)c", "*-*-*-x",
  };
  std::vector<std::unique_ptr<test::TestWord>> words;
  for (const char* w : {"electron", "obelisk", "toboggan", "maharaja", "imaginative", "beriberi", "fly-by-night",
                        "tonight", "readable", "sardine", "abababab", "Cab-bage", "aaaaaaaaaaaaaaaaaaab", "xbay",
                        "abbabaabcbbabaabbaab", "a-b-a-b-a-b-a-b-a-b-a-bx",
                        "babaabbabcbaabababbaabbaababbbabaabacbbababbabaaabab"}) {
    words.push_back(std::make_unique<test::TestWord>(w));
  }
  int matched = 0;
  for (const std::string& text : lines) {
    MatchEngineSet set;
    ASSERT_EQ(set.parseExpression(test::englishTestAlphabet(), expandMacros(text, "[aeiou]", "[^aeiou]"), 1, 100),
              PatternStatus::Valid)
        << text;
    const auto [first, last] = set.lengthRange();
    const long before = allocations.load();
    for (int round = 0; round < 3; ++round) {
      for (const auto& word : words) {
        if (word->length < first || word->length > last) continue;
        if (set.setLength(word->length) && set.matches(word->buffer, word->length)) ++matched;
      }
    }
    EXPECT_EQ(allocations.load() - before, 0) << text;
  }
  EXPECT_GE(matched, 3 * 12);  // the words were really matched, not skipped
  // The counter does count: compiling allocates.
  const long before = allocations.load();
  MatchEngine engine;
  engine.compile(test::englishTestAlphabet(), "m*ja");
  EXPECT_GT(allocations.load(), before);
}

}  // namespace
}  // namespace kea

namespace kea {
namespace {

// A phrase anagram search allocates while it reads a dictionary's lists
// and sizes its tables, never per group examined or per phrase: run one
// unit of work at a time, its allocations stay a handful however many
// units there are.
TEST(Allocation, PhraseAnagramStepsAllocateNothingPerCandidate) {
  test::TempDir dir;
  const std::string path = test::buildTestDictionary(dir, test::generatedWords(3000, 3));
  const auto list = DictionaryList::make(path);
  PhraseAnagramQuery query;
  query.letters = "aabbccddeeff";
  query.minWords = 1;
  query.maxWords = 4;
  query.shortest = 3;
  PhraseAnagramSearch search(*list, query, UserOptions::kSuppressDuplicates, 0);
  PhraseBatch batch;
  batch.text().reserve(1 << 16);
  long steps = 0;
  long phrases = 0;
  const long before = allocations.load();
  for (;;) {
    batch.clear();
    const auto step = search.step(1, batch);
    ++steps;
    phrases += batch.count();
    if (step == PhraseAnagramSearch::Step::Finished) break;
  }
  const long made = allocations.load() - before;
  EXPECT_GT(steps, 2000);
  EXPECT_GT(phrases, 1000);
  EXPECT_LT(made, 200) << steps << " steps, " << phrases << " phrases";
}

}  // namespace
}  // namespace kea
