// Definition retrieval and full-text search on the shipped dictionaries: a
// word's lookup in English.kkd and WordNet.kkd (with and without the
// per-length group index already built), an indexed full-text query, and a
// sequential scan of all of English.kkd's searchable definitions.
//
// The dictionary searched is $KEA_BENCH_DICTIONARY, else the shipped
// English.kkd.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "dictionary/DictionaryList.h"
#include "fulltext/DefinitionRetriever.h"
#include "fulltext/IndexedDefinitionSearch.h"
#include "fulltext/SequentialDefinitionSearch.h"

namespace {

std::string dictionaryPath() {
  if (const char* env = std::getenv("KEA_BENCH_DICTIONARY"); env && *env) return env;
  return KEA_SHIPPED_DATA_DIR "/Dictionaries/English.kkd";
}

kea::DictionaryList::Handle openList(benchmark::State& state) {
  auto list = kea::DictionaryList::make(dictionaryPath());
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
    kea::SequentialDefinitionSearch search(*list, 0, set);
    for (;;) {
      const auto step = search.next(200);
      if (step == kea::SequentialDefinitionSearch::Step::Finished) break;
      if (step == kea::SequentialDefinitionSearch::Step::Match) ++hits;
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

// Every definition of a word from both shipped dictionaries, records read.
// Cold: the group index of the word's length is built again each time, as
// on the first lookup of that length.
void BM_Lookup(benchmark::State& state, const char* word, bool cold) {
  auto list = kea::DictionaryList::make(dictionaryPath() + ";" KEA_SHIPPED_DATA_DIR "/Definitions/WordNet.kkd");
  for (int i = 0; i < list->count(); ++i) {
    if (!list->refresh(i)) {
      state.SkipWithError(("cannot open " + list->path(i)).c_str());
      return;
    }
  }
  const int length = static_cast<int>(std::string(word).size());
  std::size_t found = 0;
  std::vector<kea::Definition> definitions;
  for (auto _ : state) {
    if (cold) {
      for (int i = 0; i < list->count(); ++i) list->dictionary(i)->groupIndexCache(length)->clear();
    }
    definitions.clear();
    kea::lookupDefinitions(*list, word, definitions);
    found = definitions.size();
  }
  state.counters["definitions"] = static_cast<double>(found);
}
BENCHMARK_CAPTURE(BM_Lookup, ElectronCold, "electron", true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Lookup, ElectronWarm, "electron", false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Lookup, ZucchiniCold, "zucchini", true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Lookup, ZucchiniWarm, "zucchini", false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Lookup, BankCold, "bank", true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Lookup, BankWarm, "bank", false)->Unit(benchmark::kMicrosecond);

// A full-text query answered by the index: the candidates found and every
// hit read, as the controller lists them.
void BM_IndexedQuery(benchmark::State& state, const char* query) {
  auto list = openList(state);
  if (!list->refresh(0)) return;
  kea::MatchEngineSet set;
  set.parseExpression(list->dictionary(0)->alphabet(), query, 1, 100);
  std::int64_t hits = 0;
  for (auto _ : state) {
    kea::IndexedDefinitionSearch search(*list, 0, set);
    if (!search.answers()) {
      state.SkipWithError("the index does not answer the query");
      return;
    }
    kea::Definition hit;
    hits = 0;
    while (search.next(hit)) ++hits;
  }
  state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK_CAPTURE(BM_IndexedQuery, TwoWords, "electron & charge")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IndexedQuery, TwoCommonWords, "water | light")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IndexedQuery, TwoTemplates, "....tron & ch.rge")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
