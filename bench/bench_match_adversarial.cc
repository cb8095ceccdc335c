// A hunt for slow patterns: for each family of shapes, generates patterns
// meant to make the matcher try much (many wildcards, nested sub-patterns,
// anagram blocks with wildcards, choice lists and variables in anagrams,
// letter variables with exclusivity, punctuation, logical lines of many
// pieces) and words of 100 letters meant to defeat them (two or three
// letters, repetitive, a single odd letter in the middle, punctuation),
// and reports the worst time per word found, with the pattern and word.
//
// Two shapes known to stay slow are left out of the generators so that a
// run ends; bench_match measures them at sizes that do: sub-patterns
// holding wildcards in a pattern with significant punctuation, and anagram
// parts in which several blocks mention letter variables.
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <functional>
#include <initializer_list>
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

class Maker {
 public:
  explicit Maker(unsigned seed) : random_(seed) {}

  int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  bool chance(int percent) { return below(100) < percent; }
  char letter() { return "aabbc"[below(5)]; }
  std::string digit(int n = 3) { return std::string(1, static_cast<char>('0' + below(n))); }

  std::string choice() {
    std::string out = chance(30) ? "[^" : "[";
    const int n = 1 + below(2);
    for (int i = 0; i < n; ++i) out += letter();
    out += ']';
    return out;
  }

  // A template of wildcards, letters, match-alls and choice lists, with
  // sub-patterns of the same kind to the given depth.
  std::string regular(int elements, int depth) {
    std::string out;
    const int n = 1 + below(elements);
    for (int i = 0; i < n; ++i) {
      const int roll = below(100);
      if (roll < 35) {
        out += '*';
      } else if (roll < 50 && depth > 0) {
        out += cat({"(", regular(3, depth - 1), ")"});
      } else if (roll < 62) {
        out += choice();
      } else if (roll < 75) {
        out += '.';
      } else {
        out += letter();
      }
    }
    return out;
  }

  std::string block() { return cat({"(", regular(3, 1), ")"}); }

  // An anagram part of blocks, letters and match-alls, sometimes a wildcard,
  // choice lists and (with `variables`) digits and one block with a digit.
  std::string anagram(bool choices, bool variables) {
    std::string out = ";";
    const int blocks = 1 + below(6);
    const int withDigit = variables && chance(50) ? below(blocks) : -1;
    for (int i = 0; i < blocks; ++i) {
      if (i == withDigit) {
        out += chance(50) ? cat({"(", digit(), regular(2, 0), ")"}) : cat({"(", regular(2, 0), digit(), ")"});
      } else {
        out += block();
      }
    }
    const int rest = below(4);
    for (int i = 0; i < rest; ++i) {
      const int roll = below(100);
      if (choices && roll < 30) {
        out += choice();
      } else if (variables && roll < 50) {
        out += digit();
      } else if (roll < 65) {
        out += '.';
      } else {
        out += letter();
      }
    }
    if (chance(15)) out += '*';
    return out;
  }

  std::mt19937& random() { return random_; }

 private:
  std::mt19937 random_;
};

// Words of about 100 letters of a few kinds.
std::string makeWord(Maker& m, int n, bool punctuation) {
  std::string out;
  const int kind = m.below(5);
  for (int i = 0; i < n; ++i) {
    char c;
    switch (kind) {
      case 0: c = "ab"[m.below(2)]; break;
      case 1: c = "ab"[i % 2]; break;
      case 2: c = 'a'; break;
      case 3: c = "abc"[m.below(3)]; break;
      default: c = i == n / 2 ? 'c' : "ab"[i % 2]; break;
    }
    out += c;
    if (punctuation && i + 1 < n && m.chance(30)) out += m.chance(80) ? '-' : '\'';
  }
  return out;
}

using Family = std::function<std::string(Maker&)>;

void hunt(benchmark::State& state, const Family& family, bool punctuatedWords) {
  Maker maker(static_cast<unsigned>(state.range(0)));
  double worst = 0;
  std::string worstPattern;
  std::string worstWord;
  int pairs = 0;
  for (auto _ : state) {
    for (int i = 0; i < 200; ++i) {
      const std::string pattern = family(maker);
      MatchEngineSet set;
      if (set.parseExpression(alphabet(), pattern, 1, 100) != PatternStatus::Valid) continue;
      const auto [first, last] = set.lengthRange();
      if (first > last) continue;
      for (int j = 0; j < 8; ++j) {
        const int n = std::clamp(100 - maker.below(3), first, last);
        const std::string text = makeWord(maker, n, punctuatedWords);
        WordBuffer word{};
        const int length = fillWordBuffer(word, text, alphabet());
        if (length < first || length > last || !set.setLength(length)) continue;
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(set.matches(word, length));
        const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
        ++pairs;
        if (us > worst) {
          worst = us;
          worstPattern = pattern;
          worstWord = text;
        }
      }
    }
  }
  // The worst pair again, timed over many runs.
  double retimed = 0;
  if (!worstPattern.empty()) {
    MatchEngineSet set;
    (void)set.parseExpression(alphabet(), worstPattern, 1, 100);
    WordBuffer word{};
    const int length = fillWordBuffer(word, worstWord, alphabet());
    (void)set.setLength(length);
    int runs = 0;
    const auto start = std::chrono::steady_clock::now();
    do {
      benchmark::DoNotOptimize(set.matches(word, length));
      ++runs;
    } while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(20));
    retimed = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / runs;
  }
  state.counters["pairs"] = pairs;
  state.counters["worst_us"] = retimed;
  state.SetLabel(cat({worstPattern, "  on  ", worstWord}));
}

void BM_Wildcards(benchmark::State& state) {
  hunt(state, [](Maker& m) { return m.regular(12, 0); }, false);
}
void BM_NestedSubPatterns(benchmark::State& state) {
  hunt(state, [](Maker& m) { return m.regular(8, 3); }, false);
}
void BM_TemplateVariables(benchmark::State& state) {
  hunt(state, [](Maker& m) {
    std::string out;
    const int n = 3 + m.below(9);
    for (int i = 0; i < n; ++i) out += m.chance(45) ? "*" : m.chance(60) ? m.digit(4) : std::string(1, m.letter());
    if (m.chance(30)) out += cat({"(", m.digit(4), "*)"});
    return out;
  }, false);
}
void BM_Punctuation(benchmark::State& state) {
  hunt(state, [](Maker& m) {
    std::string out;
    const int n = 3 + m.below(10);
    for (int i = 0; i < n; ++i) {
      const int roll = m.below(100);
      if (roll < 35) {
        out += '*';
      } else if (roll < 55) {
        out += '-';
      } else if (roll < 60) {
        out += '\'';
      } else if (roll < 65) {
        out += cat({"(", std::string(1, m.letter()), "-.)"});
      } else {
        out += m.letter();
      }
    }
    return out;
  }, true);
}
void BM_AnagramBlocks(benchmark::State& state) {
  hunt(state, [](Maker& m) { return m.anagram(false, false); }, false);
}
void BM_AnagramBlocksChoicesVariables(benchmark::State& state) {
  hunt(state, [](Maker& m) { return m.anagram(true, true); }, false);
}
void BM_AnagramChoicesVariables(benchmark::State& state) {
  hunt(state, [](Maker& m) {
    std::string out = ";";
    const int n = 2 + m.below(12);
    for (int i = 0; i < n; ++i) out += m.chance(40) ? m.choice() : m.chance(40) ? m.digit(6) : std::string(1, m.letter());
    if (m.chance(50)) out += '*';
    return out;
  }, false);
}
void BM_TemplatesWithAnagrams(benchmark::State& state) {
  hunt(state, [](Maker& m) { return cat({m.regular(5, 1), m.anagram(true, false)}); }, false);
}
void BM_LogicalLines(benchmark::State& state) {
  hunt(state, [](Maker& m) {
    std::string out;
    const int n = 3 + m.below(5);
    for (int i = 0; i < n; ++i) {
      if (i > 0) out += m.chance(50) ? " & " : " | ";
      if (m.chance(30)) out += "!";
      out += m.chance(50) ? m.regular(6, 1) : m.anagram(false, false);
    }
    return out;
  }, false);
}

BENCHMARK(BM_Wildcards)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NestedSubPatterns)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TemplateVariables)->Arg(3)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Punctuation)->Arg(4)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnagramBlocks)->Arg(5)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnagramBlocksChoicesVariables)->Arg(6)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnagramChoicesVariables)->Arg(7)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TemplatesWithAnagrams)->Arg(8)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LogicalLines)->Arg(9)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kea

BENCHMARK_MAIN();
