// The words of a meaning ("negatively charged particle") as the meaning
// index knows them: letters folded to lower-case a-z (accents dropped, "æ"
// as "ae"), split at everything that is not a letter except an apostrophe
// inside a word ("o'clock"), stop words and single letters dropped, and
// each word stemmed ("charged" -> "charg"). The index is built with the
// same rules, so that a clue and a definition meet in any inflection.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "meaning/WordStemmer.h"

namespace kea {

// Whether a folded word (lower-case a-z) carries no meaning of its own:
// "the", "of", "which", and words that definitions use for their shape
// ("especially", "someone", "used").
bool isMeaningStopWord(std::string_view word);

// Walks the content words of a text (library text: Windows-1252) and
// gives each word's stem to a visitor, without allocating.
class MeaningWords {
 public:
  static constexpr std::size_t kMaxWord = 64;

  // Calls visit(stem, word) for each content word in order; `word` is the
  // folded word before stemming. Both views last until visit returns.
  template <typename Visit>
  void forEach(std::string_view text, Visit&& visit) {
    std::size_t i = 0;
    while (i < text.size()) {
      const std::size_t length = nextWord(text, i);
      if (length == 0) continue;
      const std::string_view word(word_, length);
      if (isMeaningStopWord(word)) continue;
      visit(stemmer_.stem(word), word);
    }
  }

 private:
  // Folds the next word from `position` on into word_ and moves past it;
  // 0 for a stretch with no word, or a word that is too short or too long.
  std::size_t nextWord(std::string_view text, std::size_t& position);

  char word_[kMaxWord] = {};
  WordStemmer stemmer_;
};

// The stems of a text's content words, in order, repeats kept.
std::vector<std::string> meaningTerms(std::string_view libraryText);

}  // namespace kea
