// Phrase anagrams: every phrase of dictionary entries whose letters together
// are exactly the given ones, "clint eastwood" -> "old west action".
//
// Without an enumeration a phrase is a set of entries (repeats allowed)
// listed once, its entries in a canonical order: sorted as the results
// lists sort, letters only and blind to case and accents. With an
// enumeration ("(3,4,6)", "(4-5)") a phrase is a sequence of entries whose
// words have the enumeration's lengths in its order; an entry that is
// itself a phrase or hyphenated covers as many of the enumeration's words
// as it has, with the same breaks, so "(4,3)" finds the entry "tail end"
// as well as pairs of entries. Words are joined by spaces, or by hyphens
// where the enumeration hyphenates. A line that two ways of joining entries
// give ("tail end", or "tail" and "end") is listed once, in the way whose
// first entry is longest (then the second, and so on).
//
// The search works as the fast anagram programs do. Each dictionary's word
// lists are read once, for the lengths that can take part; the entries
// whose letters fit into the given ones are kept, and entries with the same
// letters (and, with an enumeration, the same word breaks) form one group.
// The search then chooses groups: without an enumeration, at each step a
// group holding the remaining letter that the fewest remaining groups hold,
// banning the groups tried before it for that letter so that each set of
// groups is reached once; with an enumeration, the group for the next
// word(s) from left to right. Each step filters the groups still fitting,
// and a letter no group can supply ends the branch at once. The search runs
// in steps of a bounded amount of work, keeps its position between steps
// on an explicit stack, and holds memory in proportion to the fitting
// entries only, whatever the letters. Examining a candidate allocates
// nothing.
//
// Several dictionaries are searched one after another, each on its own
// entries, as the word search does. In the mode that suppresses duplicates,
// a phrase is left out when an earlier dictionary lists it: when that
// dictionary holds each of its entries, compared as the results lists
// compare (letters only, case and accents ignored) and, with an
// enumeration, with the same word breaks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/DictionaryList.h"
#include "dictionary/WordListFile.h"
#include "pattern/Enumeration.h"

namespace kea {

inline constexpr int kMaxPhraseWords = 6;
// Letters a phrase may have: as many as the longest searched entry.
inline constexpr int kMaxPhraseLetters = 100;

struct PhraseAnagramQuery {
  // Windows-1252 text. Letters count as the dictionary's alphabet counts
  // them (case and accents folded); "." and "?" stand for any one letter;
  // everything else is ignored.
  std::string letters;
  // How many entries a phrase joins, and the fewest letters of each (the
  // given `containing` entry counts among them). Unused with an enumeration.
  int minWords = 1;
  int maxWords = 3;
  int shortest = 2;
  std::optional<Enumeration> enumeration;
  // An entry every phrase holds, in the dictionaries or not; its letters
  // are taken from the given ones and the rest is anagrammed. Empty: none.
  std::string containing;
  // Give each phrase a commonness score (PhraseBatch::score), from the
  // dictionary's entry scores and word pairs when it has them.
  bool scored = false;
};

// How likely a phrase is: from its entries' scores and how well each pair
// of neighbouring words goes together, per word, so that phrases of any
// length share the entries' scale (`score`, 0 ... 100); and the order of
// phrases (`rank`, higher first), which puts phrases the dictionary lists
// ("tail end") before the others, each in order of that likelihood.
// Both are -1 for a phrase of a dictionary without scores.
struct PhrasePart {
  std::string_view text;
  int score;  // the entry's score, or kNoScore
};
struct PhraseRank {
  int score = -1;
  int rank = -1;
};
PhraseRank phraseRank(const PhrasePart* parts, int count, const PairScores* pairs);

enum class PhraseQueryError : unsigned char {
  None,
  NoLetters,       // nothing to anagram
  TooManyLetters,  // more than kMaxPhraseLetters
  WordCount,       // not 1 <= minWords <= maxWords <= kMaxPhraseWords
  Shortest,        // shortest below 1 or above kMaxPhraseLetters
  InvalidEnumeration,
  EnumerationLength,    // the enumeration's letters are not the letters' count
  ContainingNoLetters,  // the containing word has no letters
  ContainingLetters,    // its letters are not among the given ones
  ContainingShape,      // it fits no place of the enumeration
};

// The query's first fault, judged by the letters alone (dictionaries use
// the same letters and punctuation in practice).
PhraseQueryError checkPhraseQuery(const PhraseAnagramQuery& query);
std::string_view phraseQueryErrorText(PhraseQueryError error);

// The letters of a text the way a phrase search counts them, and the
// number of wildcards, by the built-in folding; -1 letters when the text
// holds more than kMaxPhraseLetters.
struct PhraseLetterCount {
  int letters = 0;
  int wildcards = 0;
};
PhraseLetterCount countPhraseLetters(std::string_view text);

// Results handed over by a step: phrases with the index of the dictionary
// that found them. Reused from step to step; clear() keeps its storage.
class PhraseBatch {
 public:
  void clear() {
    text_.clear();
    items_.clear();
  }
  int count() const { return static_cast<int>(items_.size()); }
  std::string_view phrase(int i) const { return std::string_view(text_).substr(items_[i].offset, items_[i].length); }
  int dictionary(int i) const { return items_[i].dictionary; }
  // The phrase's score and rank with a scored query, else -1.
  int score(int i) const { return items_[i].rank.score; }
  int rank(int i) const { return items_[i].rank.rank; }

  // For the search: the text of a phrase being written, then add().
  std::string& text() { return text_; }
  void add(std::size_t offset, int dictionary, PhraseRank rank = {}) {
    items_.push_back({offset, text_.size() - offset, dictionary, rank});
  }

 private:
  struct Item {
    std::size_t offset;
    std::size_t length;
    int dictionary;
    PhraseRank rank;
  };
  std::string text_;
  std::vector<Item> items_;
};

// Phrases gathered from batches and put in ranked order: highest rank
// first, phrases without one last, equal ranks in the order found.
//
// Thirty letters in three words can make hundreds of millions of phrases,
// so only the best `keep` are held: whenever twice as many have gathered,
// the worse half is dropped. What is listed is exactly the head of the
// full ranking; found() counts every phrase added.
class RankedPhrases {
 public:
  explicit RankedPhrases(std::size_t keep) : keep_(std::max<std::size_t>(keep, 1)) {}
  void add(std::string_view phrase, PhraseRank rank);
  // Ranks the phrases held and drops those beyond the best `keep`.
  void sort();
  std::size_t found() const { return found_; }
  std::size_t size() const { return items_.size(); }
  std::string_view phrase(std::size_t i) const { return std::string_view(text_).substr(items_[i].offset, items_[i].length); }
  int score(std::size_t i) const { return items_[i].rank.score; }

 private:
  struct Item {
    std::size_t offset;
    std::uint32_t length;
    PhraseRank rank;
    std::size_t order;  // found order, which breaks ties
  };
  static bool better(const Item& a, const Item& b) {
    return a.rank.rank != b.rank.rank ? a.rank.rank > b.rank.rank : a.order < b.order;
  }
  // Keeps the best `keep_` items and the text they use.
  void dropWorse();

  std::size_t keep_;
  std::size_t found_ = 0;
  std::string text_;
  std::vector<Item> items_;
};

class PhraseAnagramSearch {
 public:
  enum class Step { More, Finished };

  // `multipleDictionaries` is the option's value (UserOptions::
  // kSuppressDuplicates, kSearchIndependently or kActiveDictionaryOnly) and
  // `active` the active dictionary's index. The query must pass
  // checkPhraseQuery; the list must outlive the search.
  PhraseAnagramSearch(const DictionaryList& dictionaries, PhraseAnagramQuery query, int multipleDictionaries,
                      int active);
  ~PhraseAnagramSearch();
  PhraseAnagramSearch(const PhraseAnagramSearch&) = delete;
  PhraseAnagramSearch& operator=(const PhraseAnagramSearch&) = delete;

  // Searches on for about `work` units (a unit is one group examined, one
  // entry read or one phrase written) and appends what it finds to `out`;
  // Finished once every dictionary is searched. A step can be called again
  // at any time after More and goes on exactly where the last one stopped.
  // A step may pass its budget by one pass over the fitting groups or one
  // length's word list, but adds at most `work` phrases to `out`.
  Step step(long long work, PhraseBatch& out);

  // The dictionary being searched, -1 before the first step and at the end.
  int currentDictionary() const;
  // The first dictionary whose word lists could not be read whole (damaged,
  // changed on disk while read, unreadable), and why; -1 and None while
  // every list read so far was whole. Its phrases are then not all.
  int incompleteDictionary() const;
  ListProblem problem() const;
  long long phrasesFound() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kea
