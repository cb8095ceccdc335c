// kkmerge's work at the size of real word lists: two lists of 100,000
// entries each, half of them shared (and, for the folded merge, written in
// another letter case), merged exactly and folded; and the same merge
// built into a dictionary.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "builder/CompanionJobs.h"
#include "builder/WordListMerge.h"

namespace {

// `count` distinct words of seven letters or more, from `first` on, one per line.
std::string wordList(int first, int count, bool upperCase) {
  std::string text;
  for (int n = first; n < first + count; ++n) {
    std::string word;
    int v = n;
    for (int i = 0; i < 7 || v > 0; ++i) {
      word.push_back(static_cast<char>((upperCase ? 'A' : 'a') + v % 26));
      v /= 26;
    }
    text += word;
    text += '\n';
  }
  return text;
}

void BM_MergeWordLists(benchmark::State& state) {
  const bool fold = state.range(0) != 0;
  const std::string a = wordList(0, 100000, false);
  const std::string b = wordList(50000, 100000, fold);
  std::size_t merged = 0;
  for (auto _ : state) {
    kea::WordListMerge merge(fold);
    merge.addText(a, "a", nullptr);
    merge.addText(b, "b", nullptr);
    const auto entries = merge.merged();
    benchmark::DoNotOptimize(kea::WordListMerge::builderText(entries));
    merged = entries.size();
  }
  state.counters["entries"] = static_cast<double>(merged);
}
BENCHMARK(BM_MergeWordLists)->Arg(0)->Arg(1)->ArgName("fold")->Unit(benchmark::kMillisecond);

void BM_MergeIntoDictionary(benchmark::State& state) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("bench_merge." + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string a = (folder / "a.txt").string(), b = (folder / "b.txt").string();
  std::ofstream(a, std::ios::binary) << wordList(0, 100000, false);
  std::ofstream(b, std::ios::binary) << wordList(50000, 100000, false);
  kea::MergeJob job;
  job.inputs = {a, b};
  job.target = (folder / "merged.kkd").string();
  for (auto _ : state) {
    const kea::JobResult result = kea::runMergeJob(job);
    if (!result.ok) state.SkipWithError(result.report.c_str());
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_MergeIntoDictionary)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
