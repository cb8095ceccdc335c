// A lookup's core in English.kkd: every definition of a word read from the
// open dictionary (word list, pointer tables, records), then arranged for
// the definition window. Words early, in the middle and late in their
// length's list, since the word list is decoded from its start.
//
// The dictionary is $KEA_BENCH_DICTIONARY when set, else the shipped
// English.kkd. The desktop figure, from the Lookup command to the filled window, is
// printed by bench_desktop.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "definitions/DefinitionBrowser.h"
#include "dictionary/DictionaryList.h"
#include "fulltext/DefinitionRetriever.h"

namespace {

const char* const kWords[] = {"aardvark", "electron", "particle", "zucchini", "zymurgy"};

const char* dictionaryPath() {
  const char* env = std::getenv("KEA_BENCH_DICTIONARY");
  return env && *env ? env : KEA_SHIPPED_DATA_DIR "/Dictionaries/English.kkd";
}

void BM_LookupDefinitions(benchmark::State& state) {
  const auto list = kea::DictionaryList::make(dictionaryPath());
  if (!list->isUsable(0)) {
    state.SkipWithError("the dictionary does not open");
    return;
  }
  const std::string word = kWords[state.range(0)];
  state.SetLabel(word);
  std::size_t found = 0;
  for (auto _ : state) {
    std::vector<kea::Definition> records;
    kea::lookupDefinitions(*list, word, records);
    kea::DefinitionBrowser::arrangeRecords(records, word);
    found = records.size();
    benchmark::DoNotOptimize(records.data());
  }
  state.counters["records"] = static_cast<double>(found);
}
BENCHMARK(BM_LookupDefinitions)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

// The first lookup of a length after the dictionary opened: it samples
// the length's word list first. Opening the file is part of the figure.
void BM_FirstLookupOfALength(benchmark::State& state) {
  const std::string word = kWords[state.range(0)];
  state.SetLabel(word);
  for (auto _ : state) {
    const auto list = kea::DictionaryList::make(dictionaryPath());
    std::vector<kea::Definition> records;
    kea::lookupDefinitions(*list, word, records);
    benchmark::DoNotOptimize(records.data());
  }
}
BENCHMARK(BM_FirstLookupOfALength)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
