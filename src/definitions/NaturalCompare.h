// The comparison that orders and picks definition headings: word characters
// only, letters folded (case and accents ignored), and runs of digits
// compared by their value, so "item 2" sorts before "item 10". It also
// counts how many steps matched before the first difference, which tells
// how close a heading comes to the word that was looked up.
#pragma once

#include <string_view>

namespace kea {

// Negative, 0 or positive as `a` sorts before, with or after `b`.
// `count` receives the number of matching steps (one per letter or per
// number) before the texts differed or ran out.
int compareNatural(std::string_view a, std::string_view b, int& count);

inline int compareNatural(std::string_view a, std::string_view b) {
  int count = 0;
  return compareNatural(a, b, count);
}

}  // namespace kea
