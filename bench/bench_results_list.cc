// How fast a results list takes a large search's results: sorted insertion,
// appending with the duplicate index, and contains() on a full list.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "search/ResultsList.h"

namespace {

// Words of 3 to 12 letters, some with capitals and hyphens, arriving grouped
// by length and alphabetical within a length as a word search delivers them.
const std::vector<std::string>& words(std::size_t n) {
  static std::vector<std::string> cache;
  if (cache.size() != n) {
    std::mt19937 rng(7);
    std::vector<std::vector<std::string>> byLength(13);
    for (std::size_t i = 0; i < n; ++i) {
      const int length = 3 + static_cast<int>(rng() % 10);
      const bool capital = rng() % 10 == 0, hyphen = rng() % 20 == 0;
      std::string w;
      for (int k = 0; k < length; ++k) {
        if (hyphen && k == length / 2) w += '-';
        w += static_cast<char>((capital && k == 0 ? 'A' : 'a') + rng() % 26);
      }
      byLength[length].push_back(std::move(w));
    }
    cache.clear();
    for (auto& group : byLength) {
      std::sort(group.begin(), group.end());
      for (auto& w : group) cache.push_back(std::move(w));
    }
  }
  return cache;
}

void fill(benchmark::State& state, int order, bool keepIndex) {
  const auto& list = words(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    kea::ResultsList results;
    results.setOrder(order, keepIndex);
    for (const auto& w : list) results.add(w, {}, {}, 0);
    benchmark::DoNotOptimize(results.count());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(list.size()));
}

void BM_AddAlphabetical(benchmark::State& state) { fill(state, 1, false); }
void BM_AddLengthDescending(benchmark::State& state) { fill(state, 6, false); }
void BM_AddAsFoundWithIndex(benchmark::State& state) { fill(state, 0, true); }

void contains(benchmark::State& state, int order) {
  const auto& list = words(static_cast<std::size_t>(state.range(0)));
  kea::ResultsList results;
  results.setOrder(order, true);
  for (const auto& w : list) results.add(w, {}, {}, 0);
  std::size_t i = 0, found = 0;
  for (auto _ : state) {
    found += results.contains(list[i]) ? 1 : 0;
    i = (i + 7919) % list.size();
  }
  benchmark::DoNotOptimize(found);
}

void BM_ContainsAsFound(benchmark::State& state) { contains(state, 0); }
void BM_ContainsAlphabetical(benchmark::State& state) { contains(state, 1); }

void BM_ReadInOrder(benchmark::State& state) {
  const auto& list = words(static_cast<std::size_t>(state.range(0)));
  kea::ResultsList results;
  results.setOrder(1, false);
  for (const auto& w : list) results.add(w, {}, {}, 0);
  for (auto _ : state) {
    std::size_t total = 0;
    for (int r = 0; r < results.count(); ++r) total += results.textAt(r).size();
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(state.iterations() * results.count());
}

}  // namespace

BENCHMARK(BM_AddAlphabetical)->Arg(10000)->Arg(500000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddLengthDescending)->Arg(500000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddAsFoundWithIndex)->Arg(10000)->Arg(500000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContainsAsFound)->Arg(500000);
BENCHMARK(BM_ContainsAlphabetical)->Arg(500000);
BENCHMARK(BM_ReadInOrder)->Arg(500000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
