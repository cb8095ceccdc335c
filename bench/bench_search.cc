// Word search throughput: the word cursor decoding a dictionary's lists and
// offering every word to a compiled pattern line, over the lengths the
// line's plan visits, as the search controller drives it (without the
// results lists). One benchmark per pattern; items are words examined.
//
// The dictionary is $KEA_BENCH_DICTIONARY, else the shipped English.kkd,
// with the block summaries beside it; the "plain" benchmarks search a copy
// of it without them, and the "kept" ones search with decoded lists kept in
// memory, as the desktop program does (the first iteration decodes and
// keeps them, the others read them from memory).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "dictionary/DecodedLists.h"
#include "dictionary/DictionaryList.h"
#include "pattern/LengthPlan.h"
#include "pattern/MatchEngineSet.h"
#include "pattern/WordCursor.h"

namespace {

std::string dictionaryPath() {
  if (const char* env = std::getenv("KEA_BENCH_DICTIONARY"); env && *env) return env;
  return KEA_SHIPPED_DATA_DIR "/Dictionaries/English.kkd";
}

// A copy of the dictionary alone, made once and removed at exit.
std::string plainCopyPath() {
  static const std::string path = [] {
    const auto folder = std::filesystem::temp_directory_path() / ("kea-bench-search-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string copy = (folder / "plain.kkd").string();
    std::error_code error;
    std::filesystem::copy_file(dictionaryPath(), copy, std::filesystem::copy_options::overwrite_existing, error);
    std::atexit([] { std::filesystem::remove_all(std::filesystem::path(plainCopyPath()).parent_path()); });
    return copy;
  }();
  return path;
}

enum class Source { Summaries, Plain, Kept };

void searchPattern(benchmark::State& state, const char* pattern, Source source) {
  const std::string path = source == Source::Plain ? plainCopyPath() : dictionaryPath();
  kea::DecodedLists::setBudget(source == Source::Kept ? std::size_t{256} << 20 : 0);
  auto list = kea::DictionaryList::make(path);
  if (!list->isUsable(0)) {
    state.SkipWithError(("cannot open " + path).c_str());
    return;
  }
  kea::MatchEngineSet set;
  const std::string line = kea::expandMacros(pattern, "[aeiou]", "[^aeiou]");
  if (set.parseExpression(list->dictionary(0)->alphabet(), line, 1, 100) != kea::PatternStatus::Valid) {
    state.SkipWithError("invalid pattern");
    return;
  }
  const kea::LengthPlan plan = kea::planLengths(set, false, {}, 1, 100);
  kea::WordCursor engine(*list, 0);
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
  state.counters["kept MB"] = benchmark::Counter(static_cast<double>(kea::DecodedLists::bytesKept()) / 1e6);
  kea::DecodedLists::setBudget(0);
  state.counters["words"] = benchmark::Counter(static_cast<double>(examined) / static_cast<double>(state.iterations()));
  state.counters["matches"] = benchmark::Counter(static_cast<double>(matches) / static_cast<double>(state.iterations()));
}

BENCHMARK_CAPTURE(searchPattern, template, ".l...r.n", Source::Summaries)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchPattern, anagram, ";lobikes", Source::Summaries)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchPattern, wildcards, "*q*z*", Source::Summaries)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchPattern, every_word, "*", Source::Summaries)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchPattern, macros, "@#@#@#@#@#@", Source::Summaries)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchPattern, variables, "12341234", Source::Summaries)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchPattern, logic, ";..oting & ! *ing", Source::Summaries)->Unit(benchmark::kMillisecond);
// Without the block summaries, as every search ran before them.
BENCHMARK_CAPTURE(searchPattern, template_plain, ".l...r.n", Source::Plain)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchPattern, wildcards_plain, "*q*z*", Source::Plain)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchPattern, every_word_plain, "*", Source::Plain)->Unit(benchmark::kMillisecond);
// With the decoded lists kept in memory.
BENCHMARK_CAPTURE(searchPattern, template_kept, ".l...r.n", Source::Kept)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchPattern, every_word_kept, "*", Source::Kept)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchPattern, macros_kept, "@#@#@#@#@#@", Source::Kept)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
