// How common each entry of the shipped English dictionary is, from three
// open sources that Debian ships:
//
// - an English n-gram language model (pocketsphinx-en-us): how often a word
//   is used, and for a phrase how often its words follow each other;
// - SCOWL's size levels (scowl: /usr/share/dict/scowl/<list>.<level>, 10 the
//   commonest, 95 the rarest), which also tell proper names, abbreviations,
//   contractions and upper-case words apart;
// - WordNet (wordnet-base): a lemma is a dictionary headword rather than an
//   inflected form, a phrase that is a lemma is a real collocation, and the
//   sense-tagged counts of cntlist.rev separate the everyday from the rare.
//
// An entry's estimate is the decimal logarithm of how often it is used: the
// model's own figure where it knows the word, blended with its SCOWL level,
// else the level's typical figure; phrases are scored along their words by
// the model's bigrams. Proper names that share their letters with a common
// word, possessives and contractions, inflected forms and phrases are held
// back a little, WordNet headwords and sense counts lift an entry. The
// weights were tuned on word and phrase lists written for the purpose
// (bench/data), never on the dictionaries' own words alone.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "LanguageModel.h"
#include "WordNetMorphology.h"

namespace kea::prepare {

class Commonness {
 public:
  // Reads SCOWL's raw lists from `folder` (every file named LIST.LEVEL);
  // false with a message when the folder holds none.
  bool addScowl(const std::string& folder, std::string& error);
  // Reads WordNet's index files, exception lists and cntlist.rev from
  // `folder`; false with a message when one is missing.
  bool addWordNet(const std::string& folder, std::string& error);
  // Takes the language model (kept, not copied).
  void setLanguageModel(const LanguageModel* model) { model_ = model; }

  // The entry's estimated decimal logarithm of frequency. `entries` tells
  // whether a lower-case twin of a capitalised entry exists; Windows-1252.
  double logFrequency(std::string_view entry, const std::unordered_set<std::string>& entries) const;
  // Its score, 0 ... 100.
  int score(std::string_view entry, const std::unordered_set<std::string>& entries) const;

  // Pairs of words that the model has seen one after the other, both of
  // them entries, that go together more than chance: (first, second,
  // bonus in tenths of a decimal logarithm), UTF-8 as the model spells them.
  struct Pair {
    std::string first;
    std::string second;
    int bonus;
  };
  std::vector<Pair> pairs(const std::unordered_set<std::string>& entries) const;

  // The lower-case, accent-free form the model and WordNet spell a word in.
  static std::string modelKey(std::string_view cp1252);

 private:
  struct Levels {
    int words = 0;  // lowest level among the ordinary word lists, 0 for none
    int other = 0;  // among names, abbreviations, contractions, upper case
  };
  double wordEstimate(std::string_view entry, const std::string& key) const;
  double phraseEstimate(const std::string& key) const;

  const LanguageModel* model_ = nullptr;
  std::unordered_map<std::string, Levels> levels_;        // by Windows-1252 text
  WordNetMorphology morphology_;                          // model keys
  std::unordered_map<std::string, long> senseCounts_;     // model keys
};

}  // namespace kea::prepare
