// Building dictionaries of the shipped dictionary's size: the system's
// SCOWL word lists as headword lines plus every WordNet synset as a line
// with its lemmas and gloss (when WordNet is installed; otherwise generated
// glosses of the same shape). Reports build time and the process's peak
// memory (which includes the input held in memory).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "builder/DictionaryBuilder.h"
#include "builder/EnglishAlphabet.h"
#include "builder/TextLineSource.h"
#include "platform/Cp1252.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

void appendEscaped(std::string& out, const std::string& headword) {
  for (const char c : headword) {
    if (c == ';' || c == ':' || c == '|' || c == '\\' || c == '+') out.push_back('\\');
    out.push_back(c);
  }
}

// One headword line per word of the SCOWL lists.
std::size_t appendWordLists(std::string& text) {
  std::size_t lines = 0;
  for (const char* path : {"/usr/share/dict/american-english-huge", "/usr/share/dict/british-english-huge"}) {
    std::istringstream in(readFile(path));
    for (std::string word; std::getline(in, word);) {
      const auto converted = kea::platform::utf8ToCp1252(word);
      if (!converted || converted->empty()) continue;
      appendEscaped(text, *converted);
      text.push_back('\n');
      ++lines;
    }
  }
  return lines;
}

// One line per WordNet synset: its lemmas as headword fields, its gloss as
// the definition.
std::size_t appendWordNet(std::string& text) {
  std::size_t lines = 0;
  for (const char* part : {"noun", "verb", "adj", "adv"}) {
    std::istringstream in(readFile(std::string("/usr/share/wordnet/data.") + part));
    for (std::string line; std::getline(in, line);) {
      if (line.empty() || line[0] == ' ') continue;  // the licence
      const std::size_t bar = line.find(" | ");
      if (bar == std::string::npos) continue;
      std::istringstream fields(line.substr(0, bar));
      std::string offset, lexFile, type, countText;
      fields >> offset >> lexFile >> type >> countText;
      const int count = static_cast<int>(std::strtol(countText.c_str(), nullptr, 16));
      std::string lemmas;
      for (int i = 0; i < count; ++i) {
        std::string lemma, lexId;
        fields >> lemma >> lexId;
        if (const std::size_t paren = lemma.find('('); paren != std::string::npos) lemma.resize(paren);
        for (char& c : lemma) c = c == '_' ? ' ' : c;
        if (i) lemmas.push_back(';');
        appendEscaped(lemmas, lemma);
      }
      std::string gloss = line.substr(bar + 3);
      while (!gloss.empty() && gloss.back() == ' ') gloss.pop_back();
      text += lemmas + "|" + gloss + "\n";
      ++lines;
    }
  }
  return lines;
}

// Without WordNet: 120,000 lines of two or three headwords and a gloss of
// 8 to 30 words drawn from the word lists.
std::size_t appendGeneratedGlosses(std::string& text, const std::string& words) {
  std::vector<std::string> pool;
  std::istringstream in(words);
  for (std::string word; std::getline(in, word);) pool.push_back(word);
  if (pool.empty()) return 0;
  std::mt19937 random(42);
  for (int line = 0; line < 120000; ++line) {
    const int heads = 2 + static_cast<int>(random() % 2);
    for (int h = 0; h < heads; ++h) text += (h ? ";" : "") + pool[random() % pool.size()];
    text.push_back('|');
    const int length = 8 + static_cast<int>(random() % 23);
    for (int w = 0; w < length; ++w) text += (w ? " " : "") + pool[random() % pool.size()];
    text.push_back('\n');
  }
  return 120000;
}

struct Input {
  std::string text;
  std::size_t wordListBytes = 0;  // the headword lines come first
  std::size_t headwordLines = 0;
  std::size_t definitionLines = 0;
};

const Input& englishInput() {
  static const Input input = [] {
    Input in;
    in.headwordLines = appendWordLists(in.text);
    in.wordListBytes = in.text.size();
    const std::string words = in.text;
    in.definitionLines = appendWordNet(in.text);
    if (in.definitionLines == 0) in.definitionLines = appendGeneratedGlosses(in.text, words);
    return in;
  }();
  return input;
}

long peakResidentKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void BM_BuildEnglish(benchmark::State& state) {
  const Input& input = englishInput();
  const bool withDefinitions = state.range(0) != 0;
  const std::string text = withDefinitions ? input.text : input.text.substr(0, input.wordListBytes);
  const std::string target = "/tmp/kea-bench-build-" + std::to_string(getpid()) + ".kkd";
  std::size_t bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    kea::TextLineSource source{std::string(text)};
    state.ResumeTiming();
    if (!kea::buildDictionary(source, kea::englishAlphabetTable(), target, "Benchmark", 1, 100)) {
      state.SkipWithError(source.log().c_str());
      break;
    }
    state.PauseTiming();
    std::ifstream built(target, std::ios::binary | std::ios::ate);
    bytes = static_cast<std::size_t>(built.tellg());
    state.ResumeTiming();
  }
  std::remove(target.c_str());
  state.counters["input_MB"] = static_cast<double>(text.size()) / 1e6;
  state.counters["headword_lines"] = static_cast<double>(input.headwordLines);
  state.counters["definition_lines"] = withDefinitions ? static_cast<double>(input.definitionLines) : 0;
  state.counters["output_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["peak_RSS_MB"] = static_cast<double>(peakResidentKilobytes()) / 1024.0;
}

// 0: the word lists alone (no definitions); 1: with the WordNet lines.
BENCHMARK(BM_BuildEnglish)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
