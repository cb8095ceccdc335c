// Saving a results list as a dictionary of its own: the entries become the
// word list of a new ".kkd" file with the alphabet of the dictionary they
// were found in, so it can be opened and searched like any other. The file
// is built under a temporary name beside the target and put in its place
// only when complete; a dictionary it replaces stays beside it as
// "Backup of " followed by its file name.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "builder/DictionaryBuilder.h"
#include "builder/DictionaryMaintainer.h"
#include "builder/DictionarySave.h"
#include "dictionary/DictionaryList.h"
#include "search/ResultsList.h"

namespace kea {

// Delivers a results list's entries as builder lines (the balance shown
// after an anagram is no part of the entry and is left out) and keeps the
// build log.
class ResultsLineSource : public DictionaryMaintainer {
 public:
  // The list must outlive the source and stay unchanged while it delivers.
  explicit ResultsLineSource(const ResultsList& list) : list_(list) {}

  int nextLine(std::string* line, int counter) override;
  void rewind() override { next_ = 0; }
  void logMessage(const std::string& text) override { log_ += text; }
  void status(const std::string& text) override {
    if (onStatus_) onStatus_(text);
  }

  void onStatus(std::function<void(const std::string&)> callback) { onStatus_ = std::move(callback); }
  // Called every 4096 lines so that a window can process pending events.
  void onPendingEvents(std::function<void()> callback) { onPendingEvents_ = std::move(callback); }
  const std::string& log() const { return log_; }
  // The entries' commonness scores, to be kept beside the saved dictionary.
  ScoredWords scores() const;

 private:
  const ResultsList& list_;
  int next_ = 0;
  std::string log_;
  std::function<void(const std::string&)> onStatus_;
  std::function<void()> onPendingEvents_;
};

// The description a saved list starts with: "<name> results with pattern <pattern>".
std::string resultsDictionaryDescription(std::string_view dictionaryName, std::string_view pattern);

// Builds the dictionary of `lines` into `target` (a library path) with the
// alphabet of dictionary `index` of `dictionaries`, `description` and the
// length range; the entries' scores and the source dictionary's word pairs
// are kept beside it. False when the source dictionary is not usable, the build
// failed or the result could not be put in place; the reasons are then in
// the log of `lines`, the temporary file is gone and the target is as it
// was (or, when only the final move failed, under its backup name).
bool saveResultsDictionary(ResultsLineSource& lines, const DictionaryList& dictionaries, int index,
                           const std::string& target, const std::string& description, int shortest, int longest,
                           const BuildEnvironment& environment = {});

}  // namespace kea
