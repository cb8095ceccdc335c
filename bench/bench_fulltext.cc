// Definition retrieval and full-text search on the shipped English.kkd:
// a sequential scan of all of its searchable definitions, and reading every
// record the pointer tables give for a word.
//
// The dictionary is $KEA_BENCH_DICTIONARY, else the shipped English.kkd.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "dictionary/KKDictionaryDefinitionRetriever.h"
#include "dictionary/KKDictionaryDefinitionSearchSequential.h"
#include "dictionary/KKDictionaryList.h"

namespace {

std::string dictionaryPath() {
  if (const char* env = std::getenv("KEA_BENCH_DICTIONARY"); env && *env) return env;
  return KEA_SHIPPED_DATA_DIR "/Dictionaries/English.kkd";
}

kea::KKDictionaryList::Handle openList(benchmark::State& state) {
  auto list = kea::KKDictionaryList::make(dictionaryPath());
  if (!list->refresh(0)) state.SkipWithError(("cannot open " + dictionaryPath()).c_str());
  return list;
}

// Reads every searchable record once. The query is a word no gloss holds,
// so every word of every record is tested.
void BM_SequentialScan(benchmark::State& state, const char* query) {
  auto list = openList(state);
  if (!list->refresh(0)) return;
  kea::MatchEngineSet set;
  set.parseExpression(list->dictionary(0)->alphabet(), query, 1, 100);
  std::int64_t bytes = 0;
  std::int64_t hits = 0;
  for (auto _ : state) {
    kea::KKDictionaryDefinitionSearchSequential search(*list, 0, set);
    for (;;) {
      const auto step = search.next(200);
      if (step == kea::KKDictionaryDefinitionSearchSequential::Step::Finished) break;
      if (step == kea::KKDictionaryDefinitionSearchSequential::Step::Match) ++hits;
    }
    bytes += search.total();
  }
  state.SetBytesProcessed(bytes);
  state.counters["hits"] = benchmark::Counter(static_cast<double>(hits), benchmark::Counter::kAvgIterations);
}
BENCHMARK_CAPTURE(BM_SequentialScan, OneWordNoHit, "zzyzzx")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SequentialScan, TwoWords, "electron & particle")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SequentialScan, Wildcard, "electr*")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SequentialScan, Negated, "!the")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
