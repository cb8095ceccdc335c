#include "dictionary/LetterFold.h"

namespace kea {

int countLetters(const char* bytes, std::size_t length) {
  int n = 0;
  for (std::size_t i = 0; i < length; ++i) n += isLetter(static_cast<std::uint8_t>(bytes[i]));
  return n;
}

int compareFolded(const char* a, std::size_t lengthA, const char* b, std::size_t lengthB) {
  std::size_t i = 0, j = 0;
  for (;;) {
    while (i < lengthA && !isLetter(static_cast<std::uint8_t>(a[i]))) ++i;
    while (j < lengthB && !isLetter(static_cast<std::uint8_t>(b[j]))) ++j;
    const bool moreA = i < lengthA, moreB = j < lengthB;
    if (!moreA || !moreB) return moreA ? 1 : (moreB ? -1 : 0);
    const int fa = foldLetter(static_cast<std::uint8_t>(a[i]));
    const int fb = foldLetter(static_cast<std::uint8_t>(b[j]));
    if (fa != fb) return fa - fb;
    ++i, ++j;
  }
}

}  // namespace kea
