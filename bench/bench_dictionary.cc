// Opening a dictionary and decoding all of its word lists, the way the word
// cursor reads them: 16384-byte blocks from the file, one WordBuffer reused.
//
// The dictionary is the first argument left after the benchmark's own
// flags, else $KEA_BENCH_DICTIONARY, else the shipped English.kkd.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "dictionary/DictionaryList.h"
#include "dictionary/WordListDecoder.h"

namespace {

std::string& dictionaryPath() {
  static std::string path = [] {
    if (const char* env = std::getenv("KEA_BENCH_DICTIONARY"); env && *env) return std::string(env);
    return std::string(KEA_SHIPPED_DATA_DIR "/Dictionaries/English.kkd");
  }();
  return path;
}

void BM_OpenDictionary(benchmark::State& state) {
  kea::DictionaryList::Dictionary dictionary(dictionaryPath());
  for (auto _ : state) {
    dictionary.open(true);
    if (!dictionary.isOpen()) {
      state.SkipWithError(("cannot open " + dictionaryPath() + ": " + dictionary.statusText()).c_str());
      return;
    }
    benchmark::DoNotOptimize(dictionary.lengthSlots());
  }
}
BENCHMARK(BM_OpenDictionary)->Unit(benchmark::kMicrosecond);

// Decodes every list of the dictionary; section 1 only when `wordSearch`
// (what a word search reads), both sections otherwise.
void decodeAll(benchmark::State& state, bool wordSearch) {
  kea::DictionaryList::Dictionary dictionary(dictionaryPath());
  dictionary.open(true);
  if (!dictionary.isOpen()) {
    state.SkipWithError(("cannot open " + dictionaryPath() + ": " + dictionary.statusText()).c_str());
    return;
  }
  kea::platform::ReadOnlyFile file;
  if (file.open(dictionary.path()) != kea::platform::OpenError::None) {
    state.SkipWithError("cannot read the dictionary file");
    return;
  }
  auto decoder = std::make_unique<kea::WordListDecoder>(dictionary);
  auto word = std::make_unique<kea::WordBuffer>();
  std::int64_t entries = 0;
  std::int64_t broken = 0;
  for (auto _ : state) {
    for (int length = 1; length < dictionary.lengthSlots(); ++length) {
      const auto start = dictionary.wordListStart(length);
      if (!start) continue;
      kea::FileSource source(file, *start, dictionary.fileSize());
      decoder->start(&source);
      for (;;) {
        const auto r = decoder->next(*word);
        if (r.record == kea::WordListDecoder::Record::Entry) {
          ++entries;
          continue;
        }
        if (r.record == kea::WordListDecoder::Record::SectionEnd && !wordSearch) continue;
        broken += r.record == kea::WordListDecoder::Record::Broken;
        break;
      }
      benchmark::DoNotOptimize(word->key[0]);
    }
  }
  if (broken > 0) state.SkipWithError("a word list ended without its end record");
  state.SetItemsProcessed(entries);
  state.counters["entries"] = benchmark::Counter(static_cast<double>(entries) / static_cast<double>(state.iterations()));
}

void BM_DecodeEveryList(benchmark::State& state) { decodeAll(state, false); }
void BM_DecodeHeadwords(benchmark::State& state) { decodeAll(state, true); }
BENCHMARK(BM_DecodeEveryList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeHeadwords)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc > 1) dictionaryPath() = argv[1];
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
