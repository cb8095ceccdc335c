// Validation of one keystroke: the pattern box changed, and the controller
// compiles the line for every open dictionary, plans its lengths and sets
// the status line. Measured with nine dictionaries open (the most the
// program allows), each a separate file holding the shipped English words.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "dictionary/DictionaryList.h"
#include "search/SearchController.h"
#include "search/SearchHost.h"
#include "settings/UserOptions.h"

namespace {

class Host : public kea::MemoryViewHost {
 public:
  Answer messageBox(std::string_view, std::string_view, Buttons, Icon) override { return Answer::Ok; }
};

class Workspace : public kea::SearchWorkspace {
 public:
  kea::DictionaryList::Handle list;
  kea::UserOptions profile{""};
  const kea::DictionaryList* dictionaries() const override { return list.get(); }
  const kea::UserOptions& options() const override { return profile; }
  int activeDictionary() const override { return 0; }
};

// Nine names for the shipped dictionary (hard links, else copies).
std::string nineDictionaries(const std::filesystem::path& folder) {
  const std::filesystem::path shipped = KEA_SHIPPED_DATA_DIR "/Dictionaries/English.kkd";
  std::string names;
  for (int i = 1; i <= 9; ++i) {
    const auto target = folder / ("English" + std::to_string(i) + ".kkd");
    std::error_code error;
    std::filesystem::create_hard_link(shipped, target, error);
    if (error) std::filesystem::copy_file(shipped, target, std::filesystem::copy_options::overwrite_existing);
    names += target.string() + ";";
  }
  return names;
}

void validateKeystroke(benchmark::State& state, const char* pattern) {
  const auto folder = std::filesystem::temp_directory_path() / ("kea-bench-validation-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  Workspace workspace;
  workspace.list = kea::DictionaryList::make(nineDictionaries(folder));
  Host host;
  kea::SearchController view(workspace, host);
  view.dictionariesChanged();
  const std::string full = pattern;
  for (auto _ : state) {
    // Typing the last character of the pattern: the line before it, then it.
    state.PauseTiming();
    host.pattern = full.substr(0, full.size() - 1);
    view.patternChanged();
    host.pattern = full;
    state.ResumeTiming();
    view.patternChanged();
  }
  if (view.state() != kea::SearchState::Ready) state.SkipWithError(host.status.c_str());
  state.counters["dictionaries"] = static_cast<double>(view.groupCount());
  std::filesystem::remove_all(folder);
}

BENCHMARK_CAPTURE(validateKeystroke, template, ".l...r.n")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(validateKeystroke, anagram, ";lobikes")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(validateKeystroke, wildcards, "m*ja")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(validateKeystroke, logic, ";..oting & ! *ing")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(validateKeystroke, long_line, "(*a*|*e*) & !(*x*|*z*) & ;aeiou**** & .........*")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
