// Patterns chosen to reach every rule of the faster ways of matching (sets
// of places, the plane of significant characters, the sweep that places
// anagram blocks), compared with the reference matcher on every word over a
// few characters up to a length. Generated pairs find faults at random;
// these make sure each rule meets all the words it can meet.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MatchTestSupport.h"

namespace kea {
namespace {

// Every word of 1 … maxLength characters from `characters` that holds a letter.
std::vector<std::string> allWords(const std::string& characters, int maxLength) {
  std::vector<std::string> words, last = {""};
  for (int n = 1; n <= maxLength; ++n) {
    std::vector<std::string> next;
    for (const std::string& w : last) {
      for (const char c : characters) next.push_back(w + c);
    }
    for (const std::string& w : next) {
      if (w.find_first_of("abcA") != std::string::npos) words.push_back(w);
    }
    last = std::move(next);
  }
  return words;
}

void compareAll(const std::vector<const char*>& patterns, const std::vector<std::string>& words, int vary) {
  for (const char* pattern : patterns) {
    test::Tally tally;
    for (int option = 0; option < 4; ++option) {
      if ((option & ~vary) != 0) continue;
      if (!test::compareWithReference(pattern, words, {(option & 1) == 0, (option & 2) == 0}, tally)) return;
    }
    // Each pattern must both match and fail somewhere, or it tests little.
    EXPECT_EQ(tally.skipped, 0) << pattern;
    EXPECT_GT(tally.matches, 0) << pattern;
    EXPECT_LT(tally.matches, tally.pairs) << pattern;
  }
}

TEST(Exhaustive, AnagramBlocks) {
  compareAll({";(a*)(b*)c",              // the last block takes the slack
              ";(*b)(a*)(*a)(*)(b*)c",   // five blocks, one of them empty-able
              ";(a*)(*b)*",              // a wildcard: no last block, letters left over
              "......;(ab*)(*ba)c",      // the template makes the word shorter: blocks left out
              "....;(a*)(b*)(c*)",       // early blocks left out while later ones take letters
              "...*;(a.)(.b)(c)",        // fixed blocks after a template with slack
              ";(ab)(ab)(a*)c",          // an identical block counted twice
              ";(*)(*)ab",               // blocks that may be empty
              ";(a*)(*;bc)",             // a block with an anagram part of its own
              ";([ab]*)(c*)[ac][^a]",    // choice lists among the other components
              ";(a*)(b*)12",             // letter variables among the other components
              ";(1*)(b*)c1",             // one block that binds a letter variable
              ";(*1)(*2)21",             // one block binding, another left to the variables
              "1.;(a*)(*1)",             // a template binds what a block checks
              "c(;(a*)b)*"},             // an anagram part with blocks inside a template
             allWords("abc", 7), 2);
}

TEST(Exhaustive, RegularTemplates) {
  compareAll({"**(*[^ba]*).a*b", "(a*)(*b)(*)c", "((*a)*b)*", "*(ab)*(b.)*", "[ab]*(c*[^c])"}, allWords("abc", 7),
             0);
}

TEST(Exhaustive, SignificantPunctuation) {
  compareAll({"*-*", "a*-*b", "*-*-*", "a*--", "*'a*", "\\A*-", "*-(a*)b"}, allWords("ab-'A", 6), 1);
}

}  // namespace
}  // namespace kea
