// Word search throughput: the word cursor decoding a dictionary's lists and
// offering every word to a compiled pattern line, over the lengths the
// line's plan visits, as the search controller drives it (without the
// results lists). One benchmark per pattern; items are words examined.
//
// The dictionary is $KEA_BENCH_DICTIONARY, else the shipped English.kkd.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "dictionary/KKDictionaryList.h"
#include "pattern/InputEngine.h"
#include "pattern/MatchEngineSet.h"
#include "pattern/SearchStep.h"

namespace {

std::string dictionaryPath() {
  if (const char* env = std::getenv("KEA_BENCH_DICTIONARY"); env && *env) return env;
  return KEA_SHIPPED_DATA_DIR "/Dictionaries/English.kkd";
}

void searchPattern(benchmark::State& state, const char* pattern) {
  auto list = kea::KKDictionaryList::make(dictionaryPath());
  if (!list->isUsable(0)) {
    state.SkipWithError(("cannot open " + dictionaryPath()).c_str());
    return;
  }
  kea::MatchEngineSet set;
  const std::string line = kea::expandMacros(pattern, "[aeiou]", "[^aeiou]");
  if (set.parseExpression(list->dictionary(0)->alphabet(), line, 1, 100) != kea::PatternStatus::Valid) {
    state.SkipWithError("invalid pattern");
    return;
  }
  const kea::LengthPlan plan = kea::planLengths(set, false, {}, 1, 100);
  kea::InputEngine engine(*list, 0);
  std::int64_t examined = 0;
  std::int64_t matches = 0;
  for (auto _ : state) {
    for (int length = plan.firstLength(); kea::startLength(engine, set, plan, length); length += plan.step) {
      for (;;) {
        const kea::WordBuffer* word = engine.next(set);
        if (word == nullptr) continue;
        if (word->key[0] == 255) break;
        ++matches;
        benchmark::DoNotOptimize(engine.text().data());
      }
      examined += engine.wordsExamined();
    }
  }
  state.SetItemsProcessed(examined);
  state.counters["words"] = benchmark::Counter(static_cast<double>(examined) / static_cast<double>(state.iterations()));
  state.counters["matches"] = benchmark::Counter(static_cast<double>(matches) / static_cast<double>(state.iterations()));
}

BENCHMARK_CAPTURE(searchPattern, template, ".l...r.n")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchPattern, anagram, ";lobikes")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchPattern, wildcards, "*q*z*")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchPattern, every_word, "*")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchPattern, macros, "@#@#@#@#@#@")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchPattern, variables, "12341234")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchPattern, logic, ";..oting & ! *ing")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
