#include "Commonness.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "dictionary/EntryScores.h"
#include "dictionary/LetterFold.h"
#include "platform/Cp1252.h"
#include "platform/File.h"
#include "platform/TextCase.h"

namespace kea::prepare {
namespace {

// No list of these sources comes near this size.
constexpr std::uint64_t kMaxListBytes = std::uint64_t{1} << 28;

// The weights, as tuned on bench/data (decimal logarithms).
constexpr double kUnknownWord = -8.0;       // a word no source ranks (WordNet alone)
constexpr double kUnknownPhraseWord = -8.5; // a word of a phrase that the model lacks
constexpr double kLevelShare = 0.4;         // of a word's SCOWL level, beside the model's figure
constexpr double kPhrase = -3.0;            // phrases are rarely a solver's single answer
constexpr double kLemmaPhrase = 0.5;        // ... unless WordNet lists them
constexpr double kCapitalTwin = -2.0;       // a name with a common word's letters
constexpr double kCapital = -2.0;
constexpr double kApostrophe = -2.0;        // possessives and contractions
constexpr double kInflected = -1.0;
constexpr double kSenseCount = 1.0;         // times log10(1 + tagged senses)
constexpr double kLemma = 1.2;

// A SCOWL level's typical decimal logarithm of frequency, for the words
// the model does not know.
double levelEstimate(int level) {
  static constexpr std::pair<int, double> kTable[] = {{10, -5.5}, {20, -6.2}, {35, -7.0}, {40, -7.2}, {50, -7.6},
                                                      {55, -7.7}, {60, -8.0}, {70, -8.3}, {80, -8.7}, {95, -9.2}};
  for (const auto& [at, estimate] : kTable) {
    if (level <= at) return estimate;
  }
  return -9.2;
}

void lowerLevel(int& current, int level) {
  if (current == 0 || level < current) current = level;
}

std::vector<std::string> splitWords(const std::string& key) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start <= key.size()) {
    const std::size_t space = std::min(key.find(' ', start), key.size());
    if (space > start) out.push_back(key.substr(start, space - start));
    start = space + 1;
  }
  return out;
}

bool isLowerCase(std::string_view cp1252) {
  return std::none_of(cp1252.begin(), cp1252.end(),
                      [](char c) { return platform::isCharUpper(static_cast<unsigned char>(c)); });
}

}  // namespace

std::string Commonness::modelKey(std::string_view cp1252) {
  std::string key;
  for (const char ch : cp1252) {
    const auto byte = static_cast<unsigned char>(ch);
    const std::uint8_t folded = foldLetter(byte);
    if (folded >= 'A' && folded <= 'Z') {
      key += static_cast<char>(folded - 'A' + 'a');
    } else if (folded != 0) {
      key += static_cast<char>(platform::toLowerCp1252(byte));
    } else if (byte == '\'' || byte == 0x92) {
      key += '\'';
    } else if (byte == ' ' || byte == '-') {
      if (!key.empty() && key.back() != ' ') key += ' ';
    } else if (byte >= '0' && byte <= '9') {
      key += static_cast<char>(byte);
    }
  }
  while (!key.empty() && key.back() == ' ') key.pop_back();
  return key;
}

bool Commonness::addScowl(const std::string& folder, std::string& error) {
  std::error_code code;
  std::size_t lists = 0;
  for (const auto& file : std::filesystem::directory_iterator(folder, code)) {
    const std::string name = file.path().filename().string();
    const std::size_t dot = name.rfind('.');
    const std::size_t dash = name.find('-');
    if (dot == std::string::npos || dash == std::string::npos || dash > dot) continue;
    int level = 0;
    const auto [end, failed] = std::from_chars(name.data() + dot + 1, name.data() + name.size(), level);
    if (failed != std::errc() || end != name.data() + name.size() || level <= 0) continue;
    const bool ordinary = name.compare(dash + 1, dot - dash - 1, "words") == 0;
    std::string bytes;
    if (!platform::readWholeFile(file.path().string(), kMaxListBytes, bytes, &error, "a word list")) return false;
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const auto text = platform::utf8ToCp1252(line);
      if (!text || text->empty()) continue;
      Levels& levels = levels_[*text];
      lowerLevel(ordinary ? levels.words : levels.other, level);
    }
    ++lists;
  }
  if (lists == 0) {
    error = "no SCOWL lists (NAME.LEVEL) in " + folder + " (install the Debian package scowl)";
    return false;
  }
  return true;
}

bool Commonness::addWordNet(const std::string& folder, std::string& error) {
  if (!morphology_.load(folder, error)) return false;
  std::string bytes, line;
  if (!readWordNetFile(folder, "cntlist.rev", bytes, error)) return false;
  std::istringstream counts(bytes);
  while (std::getline(counts, line)) {
    // "sense_key sense_number tag_count"; the lemma is the key before "%".
    const std::size_t percent = line.find('%');
    const std::size_t blank = line.rfind(' ');
    if (percent == std::string::npos || blank == std::string::npos || blank < percent) continue;
    long count = 0;
    std::from_chars(line.data() + blank + 1, line.data() + line.size(), count);
    if (count > 0) senseCounts_[WordNetMorphology::key(std::string_view(line).substr(0, percent))] += count;
  }
  return true;
}

double Commonness::wordEstimate(std::string_view entry, const std::string& key) const {
  const auto found = levels_.find(std::string(entry));
  const Levels levels = found == levels_.end() ? Levels() : found->second;
  const int level = levels.words != 0 ? levels.words : levels.other;
  const int index = model_ != nullptr ? model_->find(key) : -1;
  double estimate = kUnknownWord;
  if (index >= 0) {
    estimate = model_->probability(index);
    if (levels.words != 0) estimate = estimate * (1 - kLevelShare) + levelEstimate(levels.words) * kLevelShare;
  } else if (level != 0) {
    estimate = levelEstimate(level);
  }
  return estimate;
}

double Commonness::phraseEstimate(const std::string& key) const {
  double estimate = 0;
  int previous = -1;
  bool first = true;
  for (const std::string& word : splitWords(key)) {
    const int index = model_ != nullptr ? model_->find(word) : -1;
    const double alone = index >= 0 ? model_->probability(index) : kUnknownPhraseWord;
    double after = 0;
    if (first) {
      estimate += alone;
    } else if (previous >= 0 && index >= 0 && model_->bigram(previous, index, after)) {
      estimate += after;
    } else {
      estimate += (previous >= 0 ? model_->backoff(previous) : 0.0) + alone;
    }
    previous = index;
    first = false;
  }
  return estimate;
}

double Commonness::logFrequency(std::string_view entry, const std::unordered_set<std::string>& entries) const {
  const std::string key = modelKey(entry);
  const bool phrase = key.find(' ') != std::string::npos;
  const bool lowerCase = isLowerCase(entry);
  const bool lemma = morphology_.isLemma(key);
  double estimate;
  if (phrase) {
    estimate = phraseEstimate(key) + kPhrase + (lemma ? kLemmaPhrase : 0.0);
  } else {
    estimate = wordEstimate(entry, key);
    if (!lowerCase) {
      // The model spells every word in lower case, so a name's own figure
      // comes from its SCOWL list; one that shares a common word's letters
      // is held back below that word.
      const auto found = levels_.find(std::string(entry));
      const int level = found == levels_.end() ? 0 : (found->second.words != 0 ? found->second.words : found->second.other);
      const double own = level != 0 ? levelEstimate(level) : kUnknownWord;
      std::string lower(entry);
      for (char& c : lower) c = static_cast<char>(platform::toLowerCp1252(static_cast<unsigned char>(c)));
      estimate = entries.count(lower) != 0 ? own + kCapitalTwin : std::max(own, estimate) + kCapital;
    }
  }
  if (entry.find('\'') != std::string_view::npos) estimate += kApostrophe;
  if (!phrase && lowerCase && morphology_.isInflected(key)) estimate += kInflected;
  if (const auto it = senseCounts_.find(key); it != senseCounts_.end()) {
    estimate += kSenseCount * std::log10(1.0 + static_cast<double>(it->second));
  }
  if (!phrase && lemma) estimate += kLemma;
  return estimate;
}

int Commonness::score(std::string_view entry, const std::unordered_set<std::string>& entries) const {
  return logFrequencyToScore(logFrequency(entry, entries));
}

std::vector<Commonness::Pair> Commonness::pairs(const std::unordered_set<std::string>& entries) const {
  std::vector<Pair> out;
  if (model_ == nullptr) return out;
  std::unordered_set<std::string> keys;
  for (const std::string& entry : entries) keys.insert(modelKey(entry));
  model_->forEachBigram([&](int first, int second, double probability) {
    const std::string& a = model_->word(first);
    const std::string& b = model_->word(second);
    if (keys.count(a) == 0 || keys.count(b) == 0) return;
    // Only pairs that go together more than chance are worth keeping: any
    // other pair is ranked as one the model never saw.
    const double bonus = probability - model_->probability(second);
    if (bonus < 0) return;
    out.push_back({a, b, static_cast<int>(std::lround(std::min(bonus * 10, 127.0)))});
  });
  return out;
}

}  // namespace kea::prepare
