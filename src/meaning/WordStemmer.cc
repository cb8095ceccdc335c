#include "meaning/WordStemmer.h"

#include <cstring>

namespace kea {

bool WordStemmer::consonant(int i) const {
  switch (b_[i]) {
    case 'a':
    case 'e':
    case 'i':
    case 'o':
    case 'u':
      return false;
    case 'y':
      // "y" after a consonant is a vowel ("happy"), at the start or after a
      // vowel a consonant ("yes", "toy").
      return i == 0 || !consonant(i - 1);
    default:
      return true;
  }
}

int WordStemmer::measure() const {
  int n = 0;
  int i = 0;
  for (;;) {
    if (i > j_) return n;
    if (!consonant(i)) break;
    ++i;
  }
  ++i;
  for (;;) {
    for (;;) {
      if (i > j_) return n;
      if (consonant(i)) break;
      ++i;
    }
    ++i;
    ++n;
    for (;;) {
      if (i > j_) return n;
      if (!consonant(i)) break;
      ++i;
    }
    ++i;
  }
}

bool WordStemmer::vowelInStem() const {
  for (int i = 0; i <= j_; ++i) {
    if (!consonant(i)) return true;
  }
  return false;
}

bool WordStemmer::doubleConsonant(int i) const {
  return i >= 1 && b_[i] == b_[i - 1] && consonant(i);
}

// Consonant, vowel, consonant ending at i, the last not w, x or y: "hop",
// where an "e" is restored ("hoping" -> "hope").
bool WordStemmer::consonantVowelConsonant(int i) const {
  if (i < 2 || !consonant(i) || consonant(i - 1) || !consonant(i - 2)) return false;
  const char c = b_[i];
  return c != 'w' && c != 'x' && c != 'y';
}

bool WordStemmer::ends(std::string_view suffix) {
  const int length = static_cast<int>(suffix.size());
  if (length > k_ + 1) return false;
  if (std::memcmp(b_ + (k_ - length + 1), suffix.data(), suffix.size()) != 0) return false;
  j_ = k_ - length;
  return true;
}

void WordStemmer::setTo(std::string_view text) {
  // Every replacement is no longer than the suffix it replaces, plus one
  // letter at most ("at" -> "ate"), so it stays in the buffer.
  const int length = static_cast<int>(text.size());
  std::memcpy(b_ + (j_ + 1), text.data(), text.size());
  k_ = j_ + length;
}

void WordStemmer::replaceIfMeasured(std::string_view text) {
  if (measure() > 0) setTo(text);
}

// Plurals and -ed or -ing: caresses -> caress, ponies -> poni, cats -> cat,
// agreed -> agree, plastered -> plaster, motoring -> motor, hopping -> hop.
void WordStemmer::step1ab() {
  if (b_[k_] == 's') {
    if (ends("sses")) {
      k_ -= 2;
    } else if (ends("ies")) {
      setTo("i");
    } else if (k_ >= 1 && b_[k_ - 1] != 's') {
      --k_;
    }
  }
  if (ends("eed")) {
    if (measure() > 0) --k_;
  } else if ((ends("ed") || ends("ing")) && vowelInStem()) {
    k_ = j_;
    if (ends("at")) {
      setTo("ate");
    } else if (ends("bl")) {
      setTo("ble");
    } else if (ends("iz")) {
      setTo("ize");
    } else if (doubleConsonant(k_)) {
      const char c = b_[k_];
      if (c != 'l' && c != 's' && c != 'z') --k_;
    } else {
      j_ = k_;
      if (measure() == 1 && consonantVowelConsonant(k_)) setTo("e");
    }
  }
}

// A final y after a vowel in the stem becomes i: happy -> happi.
void WordStemmer::step1c() {
  if (ends("y") && vowelInStem()) b_[k_] = 'i';
}

// Double suffixes to single ones: -ization -> -ize, -fulness -> -ful.
void WordStemmer::step2() {
  if (k_ < 1) return;
  switch (b_[k_ - 1]) {
    case 'a':
      if (ends("ational")) {
        replaceIfMeasured("ate");
      } else if (ends("tional")) {
        replaceIfMeasured("tion");
      }
      break;
    case 'c':
      if (ends("enci")) {
        replaceIfMeasured("ence");
      } else if (ends("anci")) {
        replaceIfMeasured("ance");
      }
      break;
    case 'e':
      if (ends("izer")) replaceIfMeasured("ize");
      break;
    case 'l':
      if (ends("bli")) {
        replaceIfMeasured("ble");
      } else if (ends("alli")) {
        replaceIfMeasured("al");
      } else if (ends("entli")) {
        replaceIfMeasured("ent");
      } else if (ends("eli")) {
        replaceIfMeasured("e");
      } else if (ends("ousli")) {
        replaceIfMeasured("ous");
      }
      break;
    case 'o':
      if (ends("ization")) {
        replaceIfMeasured("ize");
      } else if (ends("ation")) {
        replaceIfMeasured("ate");
      } else if (ends("ator")) {
        replaceIfMeasured("ate");
      }
      break;
    case 's':
      if (ends("alism")) {
        replaceIfMeasured("al");
      } else if (ends("iveness")) {
        replaceIfMeasured("ive");
      } else if (ends("fulness")) {
        replaceIfMeasured("ful");
      } else if (ends("ousness")) {
        replaceIfMeasured("ous");
      }
      break;
    case 't':
      if (ends("aliti")) {
        replaceIfMeasured("al");
      } else if (ends("iviti")) {
        replaceIfMeasured("ive");
      } else if (ends("biliti")) {
        replaceIfMeasured("ble");
      }
      break;
    case 'g':
      if (ends("logi")) replaceIfMeasured("log");
      break;
    default:
      break;
  }
}

// -ic-, -full, -ness and the like: electrical -> electric, hopeful -> hope.
void WordStemmer::step3() {
  switch (b_[k_]) {
    case 'e':
      if (ends("icate")) {
        replaceIfMeasured("ic");
      } else if (ends("ative")) {
        replaceIfMeasured("");
      } else if (ends("alize")) {
        replaceIfMeasured("al");
      }
      break;
    case 'i':
      if (ends("iciti")) replaceIfMeasured("ic");
      break;
    case 'l':
      if (ends("ical")) {
        replaceIfMeasured("ic");
      } else if (ends("ful")) {
        replaceIfMeasured("");
      }
      break;
    case 's':
      if (ends("ness")) replaceIfMeasured("");
      break;
    default:
      break;
  }
}

// -ant, -ence and the rest go from a stem long enough: revival -> reviv.
void WordStemmer::step4() {
  if (k_ < 1) return;
  bool matched = false;
  switch (b_[k_ - 1]) {
    case 'a':
      matched = ends("al");
      break;
    case 'c':
      matched = ends("ance") || ends("ence");
      break;
    case 'e':
      matched = ends("er");
      break;
    case 'i':
      matched = ends("ic");
      break;
    case 'l':
      matched = ends("able") || ends("ible");
      break;
    case 'n':
      matched = ends("ant") || ends("ement") || ends("ment") || ends("ent");
      break;
    case 'o':
      if (ends("ion")) {
        matched = j_ >= 0 && (b_[j_] == 's' || b_[j_] == 't');
      } else {
        matched = ends("ou");
      }
      break;
    case 's':
      matched = ends("ism");
      break;
    case 't':
      matched = ends("ate") || ends("iti");
      break;
    case 'u':
      matched = ends("ous");
      break;
    case 'v':
      matched = ends("ive");
      break;
    case 'z':
      matched = ends("ize");
      break;
    default:
      break;
  }
  if (matched && measure() > 1) k_ = j_;
}

// A final -e goes from a long stem, and -ll becomes -l: probate -> probat,
// controll -> control.
void WordStemmer::step5() {
  j_ = k_;
  if (b_[k_] == 'e') {
    const int m = measure();
    if (m > 1 || (m == 1 && !consonantVowelConsonant(k_ - 1))) --k_;
  }
  if (b_[k_] == 'l' && doubleConsonant(k_) && measure() > 1) --k_;
}

std::string_view WordStemmer::stem(std::string_view word) {
  if (word.size() <= 2 || word.size() > kMaxWord) return word;
  for (const char c : word) {
    if (c < 'a' || c > 'z') return word;
  }
  std::memcpy(b_, word.data(), word.size());
  k_ = static_cast<int>(word.size()) - 1;
  j_ = 0;
  step1ab();
  if (k_ > 0) {
    step1c();
    step2();
    step3();
    step4();
    step5();
  }
  return {b_, static_cast<std::size_t>(k_ + 1)};
}

}  // namespace kea
