// Saving a large results list as a dictionary: 100,000 entries, with the
// shipped English.kkd's alphabet, built into a temporary file beside the
// target and put in its place (the second and later saves also keep the
// backup). Goal: under a second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "dictionary/DictionaryList.h"
#include "search/ResultsDictionary.h"
#include "search/ResultsList.h"

namespace {

void BM_SaveResultsAsDictionary(benchmark::State& state) {
  const std::string english = std::string(KEA_SHIPPED_DATA_DIR) + "/Dictionaries/English.kkd";
  kea::DictionaryList::Handle dictionaries = kea::DictionaryList::make(english);
  if (!dictionaries->isUsable(0)) {
    state.SkipWithError("the shipped English.kkd is missing");
    return;
  }
  std::mt19937 rng(11);
  kea::ResultsList list;
  list.setOrder(1, false);
  for (std::int64_t i = 0; i < state.range(0); ++i) {
    const int length = 3 + static_cast<int>(rng() % 10);
    std::string word;
    for (int k = 0; k < length; ++k) word += static_cast<char>('a' + rng() % 26);
    list.add(word, i % 10 == 0 ? std::string("(note)") : std::string(), {}, 0);
  }
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "kea-bench-save";
  std::filesystem::create_directories(folder);
  const std::string target = (folder / "results.kkd").string();
  for (auto _ : state) {
    kea::ResultsLineSource lines(list);
    if (!kea::saveResultsDictionary(lines, *dictionaries, 0, target, "bench results", 1, 100)) {
      state.SkipWithError(lines.log().c_str());
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * list.count());
  std::filesystem::remove_all(folder);
}

}  // namespace

BENCHMARK(BM_SaveResultsAsDictionary)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
