// WordNet's morphology: which words are lemmas (headwords of index.noun,
// index.verb, index.adj, index.adv), and the lemmas an inflected word is a
// form of, by the exception lists (noun.exc ...: "geese goose") and by
// WordNet's detachment rules ("-ies" to "-y", "-ing" to "-e" or nothing).
// Words are keys as Commonness::modelKey spells them: lower case, accents
// folded, hyphens as spaces.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kea::prepare {

class WordNetMorphology {
 public:
  // Reads the index files and exception lists in `folder`; false with a
  // message when one is missing.
  bool load(const std::string& folder, std::string& error);

  bool isLemma(const std::string& key) const { return lemmas_.count(key) != 0; }
  // The lemmas `key` is a form of: itself when it is a lemma, else the
  // lemmas its exceptions and the detachment rules give, each once.
  std::vector<std::string> baseForms(const std::string& key) const;
  // Whether `key` is not a lemma but a form of one.
  bool isInflected(const std::string& key) const { return !isLemma(key) && !baseForms(key).empty(); }

  // A WordNet lemma ("ice_cream") or word as a key.
  static std::string key(std::string_view wordNetText);

 private:
  std::unordered_set<std::string> lemmas_;
  std::unordered_map<std::string, std::vector<std::string>> exceptions_;  // inflected -> base forms
};

// Reads one of WordNet's files in `folder` whole, as text; false with a
// message naming the package when it cannot.
bool readWordNetFile(const std::string& folder, const std::string& name, std::string& bytes, std::string& error);

}  // namespace kea::prepare
