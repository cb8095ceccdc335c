#include "WordNetMorphology.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "Commonness.h"
#include "platform/Cp1252.h"
#include "platform/File.h"

namespace kea::prepare {

namespace {

constexpr std::uint64_t kMaxWordNetBytes = std::uint64_t{1} << 28;

}  // namespace

bool readWordNetFile(const std::string& folder, const std::string& name, std::string& bytes, std::string& error) {
  if (platform::readWholeFile((std::filesystem::path(folder) / name).string(), kMaxWordNetBytes, bytes, &error)) {
    return true;
  }
  error += " (package wordnet-base)";
  return false;
}

std::string WordNetMorphology::key(std::string_view wordNetText) {
  std::string text(wordNetText);
  std::replace(text.begin(), text.end(), '_', ' ');
  const auto cp1252 = platform::utf8ToCp1252(text);
  return cp1252 ? Commonness::modelKey(*cp1252) : std::string();
}

bool WordNetMorphology::load(const std::string& folder, std::string& error) {
  std::string bytes, line;
  for (const char* pos : {"noun", "verb", "adj", "adv"}) {
    if (!readWordNetFile(folder, std::string("index.") + pos, bytes, error)) return false;
    std::istringstream index(bytes);
    while (std::getline(index, line)) {
      if (line.empty() || line[0] == ' ') continue;  // the licence at the top
      lemmas_.insert(key(line.substr(0, line.find(' '))));
    }
    if (!readWordNetFile(folder, std::string(pos) + ".exc", bytes, error)) return false;
    std::istringstream exceptions(bytes);
    while (std::getline(exceptions, line)) {
      std::istringstream words(line);
      std::string inflected, base;
      if (!(words >> inflected)) continue;
      auto& bases = exceptions_[key(inflected)];
      while (words >> base) bases.push_back(key(base));
    }
  }
  return true;
}

std::vector<std::string> WordNetMorphology::baseForms(const std::string& key) const {
  std::vector<std::string> out;
  if (isLemma(key)) {
    out.push_back(key);
    return out;
  }
  const auto add = [&](const std::string& base) {
    if (isLemma(base) && std::find(out.begin(), out.end(), base) == out.end()) out.push_back(base);
  };
  if (const auto it = exceptions_.find(key); it != exceptions_.end()) {
    for (const std::string& base : it->second) add(base);
  }
  // WordNet's own detachment rules for nouns, verbs and adjectives.
  static constexpr std::pair<std::string_view, std::string_view> kRules[] = {
      {"s", ""},   {"ses", "s"}, {"xes", "x"}, {"zes", "z"}, {"ches", "ch"}, {"shes", "sh"},
      {"men", "man"}, {"ies", "y"}, {"es", "e"}, {"es", ""}, {"ed", "e"}, {"ed", ""},
      {"ing", "e"}, {"ing", ""},  {"er", ""},  {"est", ""}, {"er", "e"},   {"est", "e"}};
  for (const auto& [suffix, replacement] : kRules) {
    if (key.size() <= suffix.size() + 1 || !key.ends_with(suffix)) continue;
    add(key.substr(0, key.size() - suffix.size()) + std::string(replacement));
  }
  return out;
}

}  // namespace kea::prepare
