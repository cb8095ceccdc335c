// Porter's suffix-stripping stemmer for English: "charged", "charges" and
// "charging" all become "charg", so that a clue's words meet the words of a
// definition in any inflection. Words are lower-case ASCII letters; the
// stemmer works in a buffer of its own and never allocates.
#pragma once

#include <cstddef>
#include <string_view>

namespace kea {

class WordStemmer {
 public:
  // Longer words are left as they are: no English word that long has a
  // suffix worth stripping, and the buffer stays fixed.
  static constexpr std::size_t kMaxWord = 48;

  // The stem of `word` (lower-case a-z; anything else is returned as it is),
  // valid until the next call.
  std::string_view stem(std::string_view word);

 private:
  bool consonant(int i) const;
  int measure() const;  // m: the number of vowel-consonant runs in b_[0..j_]
  bool vowelInStem() const;
  bool doubleConsonant(int i) const;
  bool consonantVowelConsonant(int i) const;
  bool ends(std::string_view suffix);
  void setTo(std::string_view text);
  void replaceIfMeasured(std::string_view text);
  void step1ab();
  void step1c();
  void step2();
  void step3();
  void step4();
  void step5();

  char b_[kMaxWord + 1] = {};
  int k_ = 0;  // the last letter of the word being stemmed
  int j_ = 0;  // the last letter of the stem before a matched suffix
};

}  // namespace kea
