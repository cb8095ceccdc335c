#include "search/ResultsDictionary.h"

#include <string_view>

#include "text/StringTable.h"

namespace kea {

int ResultsLineSource::nextLine(std::string* line, int counter) {
  if ((counter & 0xFFF) == 0 && onPendingEvents_) onPendingEvents_();
  if (line == nullptr) return kDelivered;
  const ResultsList::Entry* entry = list_.entryAt(next_);
  if (entry == nullptr) return kExhausted;
  ++next_;
  *line = resultsBuilderLine(entry->word(), entry->annotation());
  return kDelivered;
}

ScoredWords ResultsLineSource::scores() const {
  ScoredWords scores;
  for (int i = 0; i < list_.count(); ++i) {
    const ResultsList::Entry* entry = list_.entryAt(i);
    if (entry->score() >= 0) scores.add(entry->word(), entry->score());
  }
  return scores;
}

std::string resultsDictionaryDescription(std::string_view dictionaryName, std::string_view pattern) {
  std::string description(dictionaryName);
  description += texts::kResultsWithPattern;
  description += pattern;
  return description;
}

bool saveResultsDictionary(ResultsLineSource& lines, const DictionaryList& dictionaries, int index,
                           const std::string& target, const std::string& description, int shortest, int longest,
                           const BuildEnvironment& environment) {
  if (!dictionaries.refresh(index)) {
    lines.logFormat(texts::kNotAValidDictionaryLog, dictionaries.path(index).c_str());
    return false;
  }
  CompanionData companions;
  companions.scores = lines.scores();
  companions.pairs = dictionaries.dictionary(index)->pairScores();
  return saveDictionary(lines, dictionaries.byteChars(index), target, description, shortest, longest, environment,
                        true, &companions);
}

}  // namespace kea
