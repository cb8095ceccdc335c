// What showing a definition costs besides the widget: reading a rich-text
// body into styled runs, finding the spans of the looked-up word, and
// arranging a word's records (heading choice and sort) for the tree.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "definitions/DefinitionBrowser.h"
#include "definitions/DefinitionText.h"
#include "definitions/RichTextReader.h"

namespace {

// A rich-text body of about `bytes` bytes: tables, styled words, escapes.
std::string richBody(std::size_t bytes) {
  std::mt19937 rng(3);
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}"
                    "{\\colortbl;\\red255\\green0\\blue0;}\\f0\\fs24 ";
  while (rtf.size() < bytes) {
    switch (rng() % 8) {
      case 0: rtf += "{\\b electron} "; break;
      case 1: rtf += "\\cf1 charge\\cf0  "; break;
      case 2: rtf += "caf\\'e9 "; break;
      case 3: rtf += "\\emdash "; break;
      case 4: rtf += "\\par "; break;
      default: rtf += "an elementary particle "; break;
    }
  }
  return rtf + "}";
}

void BM_ReadRichText(benchmark::State& state) {
  const std::string body = richBody(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(kea::readDefinitionBody(body));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(body.size()));
}
BENCHMARK(BM_ReadRichText)->Arg(1 << 10)->Arg(64 << 10);

void BM_WordHighlights(benchmark::State& state) {
  const std::string text = kea::definitionPlainText(richBody(static_cast<std::size_t>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(kea::wordHighlights(text, "electron"));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_WordHighlights)->Arg(1 << 10)->Arg(64 << 10);

void BM_ArrangeRecords(benchmark::State& state) {
  std::mt19937 rng(5);
  std::vector<kea::Definition> records(static_cast<std::size_t>(state.range(0)));
  for (auto& d : records) {
    d.dictionaryIndex = static_cast<std::int32_t>(rng() % 2);
    for (int k = 0; k < 3; ++k) {
      std::string first = "bank";
      if (k > 0) first += std::to_string(rng() % 50);
      std::string second = " ";
      second += std::to_string(rng() % 100);
      d.firstParts.push_back(std::move(first));
      d.secondParts.push_back(std::move(second));
    }
  }
  for (auto _ : state) {
    auto copy = records;
    kea::DefinitionBrowser::arrangeRecords(copy, "bank 7");
    benchmark::DoNotOptimize(copy);
  }
}
BENCHMARK(BM_ArrangeRecords)->Arg(10)->Arg(200);

}  // namespace

BENCHMARK_MAIN();
