// Matching speed: words per second for the common pattern shapes on words
// already decoded into word buffers, and the time per word of the worst
// patterns found (long chains of wildcards, sub-patterns and variables on
// long words), which must stay bounded.
//
// Words come from the system word list (/usr/share/dict) when there is
// one, else from a generated list; only words of plain ASCII letters and
// punctuation are used.
#include <benchmark/benchmark.h>

#include <array>
#include <fstream>
#include <initializer_list>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "BenchPatterns.h"
#include "pattern/MatchEngineSet.h"
#include "support/WordBufferFill.h"

namespace kea {
namespace {

using bench::alphabet;
using bench::cat;

// Decoded words by letter length.
class WordLists {
 public:
  static const WordLists& get() {
    static const WordLists lists;
    return lists;
  }
  const std::vector<WordBuffer>& length(int n) const { return byLength_[static_cast<std::size_t>(n)]; }
  std::size_t total() const { return total_; }

 private:
  WordLists() : byLength_(101) {
    std::vector<std::string> words;
    for (const char* path : {"/usr/share/dict/american-english-huge", "/usr/share/dict/words"}) {
      std::ifstream in(path);
      std::string line;
      while (std::getline(in, line)) {
        bool plain = !line.empty();
        for (const char c : line) plain = plain && static_cast<unsigned char>(c) < 0x80;
        if (plain) words.push_back(line);
      }
      if (!words.empty()) break;
    }
    if (words.empty()) {
      std::mt19937 random(7);
      const std::string letters = "eeeeaaaiiioootnsrhldcumfpgwybvkxjqz";
      for (int i = 0; i < 300000; ++i) {
        std::string w;
        const int n = 2 + static_cast<int>(random() % 12);
        for (int j = 0; j < n; ++j) w += letters[random() % letters.size()];
        words.push_back(w);
      }
    }
    for (const std::string& w : words) {
      WordBuffer buffer{};
      const int n = fillWordBuffer(buffer, w, alphabet());
      if (n < 1 || n > 100) continue;
      byLength_[static_cast<std::size_t>(n)].push_back(buffer);
      ++total_;
    }
  }
  std::vector<std::vector<WordBuffer>> byLength_;
  std::size_t total_ = 0;
};

// Runs a line over every word of every length it can match, as the search
// does; reports words examined per second.
void runLine(benchmark::State& state, const std::string& text) {
  MatchEngineSet set;
  if (set.parseExpression(alphabet(), expandMacros(text, "[aeiou]", "[^aeiou]"), 1, 100) != PatternStatus::Valid) {
    state.SkipWithError("invalid pattern");
    return;
  }
  const auto [first, last] = set.lengthRange();
  // Private copies: the matcher writes the punctuation planes.
  std::vector<std::vector<WordBuffer>> words;
  for (int n = first; n <= last; ++n) words.push_back(WordLists::get().length(n));
  std::int64_t examined = 0;
  std::int64_t matched = 0;
  for (auto _ : state) {
    for (int n = first; n <= last; ++n) {
      if (!set.setLength(n)) continue;
      for (WordBuffer& word : words[static_cast<std::size_t>(n - first)]) {
        matched += set.matches(word, n) ? 1 : 0;
        ++examined;
      }
    }
  }
  state.SetItemsProcessed(examined);
  state.counters["matches/pass"] = static_cast<double>(matched) / static_cast<double>(state.iterations());
}

void BM_PlainTemplate(benchmark::State& state) { runLine(state, ".l...r.n"); }
void BM_PlainAnagram(benchmark::State& state) { runLine(state, ";lobikes"); }
void BM_CountedAnagram(benchmark::State& state) { runLine(state, ";toboggan"); }
void BM_Wildcard(benchmark::State& state) { runLine(state, "m*ja"); }
void BM_TwoWildcards(benchmark::State& state) { runLine(state, "c*t*r"); }
void BM_ChoiceLists(benchmark::State& state) { runLine(state, "@#@#@#@#@#@"); }
void BM_ChoiceAnagram(benchmark::State& state) { runLine(state, ";diners[ai]"); }
void BM_Variables(benchmark::State& state) { runLine(state, "12341234"); }
void BM_Logical(benchmark::State& state) { runLine(state, ";..oting & ! *ing"); }
void BM_TemplateWithAnagram(benchmark::State& state) { runLine(state, "......*;gdangboot"); }
void BM_Punctuation(benchmark::State& state) { runLine(state, "...-..-....."); }
void BM_SubPatternAnagram(benchmark::State& state) { runLine(state, ";rebel(ada)"); }
BENCHMARK(BM_PlainTemplate);
BENCHMARK(BM_PlainAnagram);
BENCHMARK(BM_CountedAnagram);
BENCHMARK(BM_Wildcard);
BENCHMARK(BM_TwoWildcards);
BENCHMARK(BM_ChoiceLists);
BENCHMARK(BM_ChoiceAnagram);
BENCHMARK(BM_Variables);
BENCHMARK(BM_Logical);
BENCHMARK(BM_TemplateWithAnagram);
BENCHMARK(BM_Punctuation);
BENCHMARK(BM_SubPatternAnagram);

// Worst cases: one long word that forces a pattern to try (and fail) as
// much as it can; the time per iteration is the time for one word.
struct WorstCase {
  const char* name;
  std::string pattern;
  std::string word;
  bool variablesExclusive = true;
};

// prefix, then piece n times, then suffix.
std::string repeat(const std::string& piece, int n, const std::string& suffix = "", const std::string& prefix = "") {
  std::string out = prefix;
  for (int i = 0; i < n; ++i) out += piece;
  out += suffix;
  return out;
}

// Each word holds every letter the pattern's templates ask for, so that
// the check for required letters does not turn it away before the search.
const std::vector<WorstCase>& worstCases() {
  static const std::vector<WorstCase> cases = {
      {"wildcards *a*a...*b, b then 99 a", repeat("*a", 10, "*b"), repeat("a", 99, "", "b")},
      {"wildcards *a*b*a*b..., 100 letters", repeat("*a*b", 12, "*c"), repeat("ab", 49, "a", "c")},
      {"wildcards, 60 of them", repeat("*a", 60, "*b"), repeat("a", 99, "", "b")},
      {"wildcards with variable *1*1...*2", repeat("*1", 10, "*2"), std::string(100, 'a')},
      {"wildcards with variables *1*2*3...", "*1*2*3*4*5*6*7*8*9*0x", repeat("abcdefgh", 12, "ab", "x")},
      {"sub-patterns (*a)(*a)...b", repeat("(*a)", 10, "b"), repeat("a", 99, "", "b")},
      {"sub-patterns (a*)(a*)...b", repeat("(a*)", 10, "b"), repeat("a", 99, "", "b")},
      {"nested sub-patterns ((*a)*a)...", repeat("((*a)*a)", 5, "b"), repeat("a", 99, "", "b")},
      {"punctuation *-*-*...x", repeat("*-", 10, "x"), repeat("a-", 50, "", "x")},
      {"anagram blocks ;(*a)(*a)...b", repeat("(*a)", 6, "b", ";"), std::string(40, 'a')},
      {"anagram blocks ;(a*)(a*)...b", repeat("(a*)", 6, "b", ";"), std::string(40, 'a')},
      {"anagram choices ;[ab]x20 c", repeat("[ab]", 20, "c*", ";"), repeat("ab", 20)},
      {"anagram variables ;1234567890z", ";1234567890z*", repeat("abcdefghij", 4)},
      {"template variables then anagram", "*1*1*1*1;2z*", std::string(40, 'a')},
      {"anagram blocks, a letter missing", ";(*b)(a*)(*a)(*)(b*)c", repeat("ab", 20)},
      // Variable-length blocks in an anagram part, placed by a sweep over
      // the stretch (they were placed by a search exponential in their
      // number), and wildcards inside a sub-pattern inside wildcards, read
      // over sets of places (they cost a cube of the word's length).
      {"anagram blocks, found after search", ";(*b)(a*)(*a)(*)(b*)c", "abbabaabcbbabaabbaab"},
      {"wildcards in a sub-pattern between wildcards, 20 letters", "**(*[^ba]*).a*b", repeat("ab", 10)},
      {"wildcards in a sub-pattern between wildcards, 56 letters", "**(*[^ba]*).a*b", repeat("ab", 28)},
      {"wildcards in a sub-pattern between wildcards, 100 letters", "**(*[^ba]*).a*b", repeat("ab", 50)},
      {"five anagram blocks, 41 letters", ";(*b)(a*)(*a)(*)(b*)c", cat({repeat("ab", 10), "c", repeat("ab", 10)})},
      {"five anagram blocks, 100 letters", ";(*b)(a*)(*a)(*)(b*)c", cat({repeat("ab", 25), "c", repeat("ba", 24), "b"})},
      {"two anagram blocks, 100 letters", ";(a*)(b*)c", cat({repeat("ab", 25), "c", repeat("ab", 24), "a"})},
      {"eight anagram blocks, 100 letters", ";(*a)(b*)(*b)(*b)(*c)(a*)(a*)(c*)a", repeat("abcab", 20)},
      {"eight anagram blocks, none fits", ";(*a)(b*)(*b)(*b)(*c)(a*)(a*)(c*)a", repeat("ab", 30)},
      {"anagram blocks and choice lists", ";([ab])(ac(***))b[^c](**)a(*b)", repeat("abbab", 20)},
      {"anagram blocks and a letter variable", ";[b](a*)1a.(*0.)0", std::string(100, 'a')},
      {"anagram block holding an anagram part", ";(*;ab)(*b)c", repeat("bcbba", 20)},
      {"punctuation *-*-*...x, 100 letters, 99 hyphens", repeat("*-", 10, "x"), repeat("a-", 99, "", "x")},
      // Still slow: sub-patterns with wildcards in a pattern with significant
      // punctuation (a sub-pattern hands on the punctuation offset of its
      // first success, so they are searched; each sub-pattern is read for
      // all its windows at once, but once per place it is reached from, and
      // the rest runs once per window); a sub-pattern holding an anagram
      // part between wildcards (searched, so that the balance stays as the
      // search finds it);
      // blocks that share a letter variable (they bind it in their order,
      // which the sweep does not follow).
      {"sub-patterns with wildcards and punctuation, 41 letters, x first", "*(*-*)*(*-*)*x", repeat("ab-", 20, "", "x")},
      {"sub-patterns with wildcards and punctuation, 99 letters, x first", "*(*-*)*(*-*)*x", repeat("ab-", 49, "", "x")},
      {"anagram sub-pattern between wildcards", "***((**[a])([cc];*b)[ab])****[aa]", repeat("bcacb", 20)},
      {"anagram blocks sharing a letter variable, 20 letters", ";(1*1)(2*2)", repeat("caacb", 4)},
      {"anagram blocks sharing a letter variable, 40 letters", ";(1*1)(2*2)", repeat("caacb", 8)},
  };
  return cases;
}

void BM_WorstCase(benchmark::State& state) {
  const WorstCase& c = worstCases()[static_cast<std::size_t>(state.range(0))];
  state.SetLabel(c.name);
  MatchEngine engine;
  if (engine.compile(alphabet(), c.pattern, true, c.variablesExclusive) != PatternStatus::Valid) {
    state.SkipWithError("invalid pattern");
    return;
  }
  WordBuffer word{};
  const int n = fillWordBuffer(word, c.word, alphabet());
  engine.setWordLength(n);
  bool matched = false;
  for (auto _ : state) {
    matched = engine.matches(word);
    benchmark::DoNotOptimize(matched);
  }
  state.counters["matched"] = matched ? 1 : 0;
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_WorstCase)->DenseRange(0, static_cast<int>(worstCases().size()) - 1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kea

BENCHMARK_MAIN();
