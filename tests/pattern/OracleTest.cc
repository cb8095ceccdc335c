// The engine against the reference matcher on generated patterns and words
// of every kind: templates, wildcards, choice lists, punctuation with and
// without "Ignore unused punctuation", anagrams of every component,
// templates with anagrams, letter variables with and without exclusivity,
// sub-patterns, anagram blocks, and logical lines with groups and negation.
// Balances are compared too. Then chosen patterns that reach every rule of
// the faster ways of matching (sets of places, the plane of significant
// characters, the sweep that places anagram blocks), on every word over a
// few characters up to a length.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "MatchTestSupport.h"
#include "ReferenceMatcher.h"

namespace kea {
namespace {

using test::LineNode;
using test::ReferenceOptions;
using test::kNone, test::kIgnore, test::kExclusive, test::kBoth;

struct Features {
  bool wildcards = false, choices = false, variables = false, punctuation = false, spaces = false,
       subpatterns = false, escapes = false, anagram = false, templ = true;
  int maxElements = 6;
};

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  bool chance(int percent) { return below(100) < percent; }
  char letter() { return "abcdabcdabce"[below(12)]; }
  std::string letters(int n) {
    std::string out;
    while (n-- > 0) out += letter();
    return out;
  }
  std::string choiceList() { return (chance(30) ? "[^" : "[") + letters(1 + below(3)) + "]"; }
  std::string digit(char first, int n) { return std::string(1, static_cast<char>(first + below(n))); }

  // Template elements, or anagram elements when `anagram` is set.
  std::string elements(const Features& f, int depth, bool anagram) {
    std::string out;
    for (int i = 1 + below(f.maxElements); i > 0; --i) {
      const int roll = below(100);
      if (f.wildcards && roll < (anagram ? 8 : 15)) {
        out += '*';
      } else if (f.choices && roll < (anagram ? 22 : 27)) {
        out += choiceList();
      } else if (f.variables && roll < (anagram ? 32 : 40)) {
        out += digit('0', 3);
      } else if (!anagram && f.punctuation && roll < 48) {
        out += f.spaces && chance(30) ? ' ' : (chance(70) ? '-' : '\'');
      } else if (f.subpatterns && depth < 2 && roll < (anagram ? 42 : 56)) {
        out += "(" + pattern(subFeatures(f), depth + 1) + ")";
      } else if (!anagram && f.escapes && roll < 60) {
        out += chance(50) ? "\\A" : "\\b";
      } else if (roll < (anagram ? 55 : 72)) {
        out += '.';
      } else {
        out += letter();
      }
    }
    return out;
  }

  std::string pattern(const Features& f, int depth = 0) {
    return (f.templ ? elements(f, depth, false) : "") + (f.anagram ? ";" + elements(f, depth, true) : "");
  }
  Features subFeatures(Features f) {
    f.maxElements = 3;
    f.spaces = false;
    f.templ = !f.anagram || chance(60);
    f.anagram = chance(30) || !f.templ;
    return f;
  }

  // Words over a few letters, sometimes with capitals and punctuation.
  std::string word(int maxLength, bool punctuation) {
    std::string out;
    for (int i = 0, n = 1 + below(maxLength); i < n; ++i) {
      if (punctuation && i > 0 && chance(15)) out += "-'- "[below(4)];
      const char c = letter();
      out += chance(8) ? static_cast<char>(c - 'a' + 'A') : c;
    }
    if (punctuation && chance(10)) out += chance(50) ? "-" : " -";
    return out;
  }

  // No letter variables, anagram parts or punctuation: the kind of pattern
  // the matcher reads over sets of places.
  std::string regularTemplate(int depth) {
    std::string out;
    for (int i = 1 + below(3); i > 0; --i) {
      const int roll = below(100);
      if (roll < 30) {
        out += '*';
      } else if (roll < 42) {
        out += choiceList();
      } else if (depth < 2 && roll < 55) {
        out += "(" + regularTemplate(depth + 1) + ")";
      } else {
        out += roll < 70 ? '.' : letter();
      }
    }
    return out;
  }

  // An anagram part of several blocks (sub-patterns), mostly of variable
  // length, with a few other components, sometimes behind a template that
  // makes the word longer or shorter.
  std::string blockAnagram() {
    std::string out = chance(25) ? (chance(50) ? "..*;" : "...;") : ";";
    std::vector<std::string> made;
    for (int i = 1 + below(chance(20) ? 4 : 3); i > 0; --i) {
      std::string block;
      if (!made.empty() && chance(20)) {
        block = made[static_cast<std::size_t>(below(static_cast<int>(made.size())))];
      } else if (chance(15)) {
        block = "(" + letters(2) + ")";
      } else if (chance(12)) {  // a letter variable bound by the block's window
        const std::string d = digit('1', 2);
        block = "(" + (chance(50) ? d : "") + regularTemplate(1) + (chance(50) ? d : "") + ")";
      } else if (chance(12)) {  // an anagram part of its own, run over each window
        block = "(" + regularTemplate(1) + ";" + letters(1) + ")";
      } else {
        block = "(" + regularTemplate(0) + ")";
      }
      made.push_back(block);
      out += block;
    }
    for (int i = below(4); i > 0; --i) out += chance(25) ? '.' : letter();
    if (chance(15)) out += '*';
    if (chance(15)) out += choiceList();
    if (chance(20)) out += digit('1', 2);
    return out;
  }

  // Wildcards inside sub-patterns inside wildcards, nested two deep.
  std::string nestedSubpatterns() {
    std::string out;
    for (int i = 1 + below(4); i > 0; --i) {
      const int roll = below(100);
      out += roll < 30 ? "*" : roll < 70 ? "(" + regularTemplate(0) + ")" : letters(1);
    }
    return out;
  }

  // Wildcards, sub-patterns with wildcards and punctuation, with no letter
  // variables: matched over the places of the word's significant characters.
  std::string punctuatedSubpatterns() {
    std::string out;
    for (int i = 2 + below(5); i > 0; --i) {
      const int roll = below(100);
      if (roll < 25) {
        out += '*';
      } else if (roll < 45) {  // a hyphen at either end, in between, or none; a template may not split an item
        const int where = below(4);
        out += "(" + std::string(where == 0 ? "-" : "") + regularTemplate(1) + (where == 1 ? "-" : "") +
               (where == 3 ? "-" + regularTemplate(1) : "") + ")";
      } else if (roll < 60) {
        out += chance(70) ? '-' : '\'';
      } else {
        out += roll < 65 ? "\\A" : roll < 80 ? "." : letters(1);
      }
    }
    return out;
  }

 private:
  std::mt19937 random_;
};

struct Family {
  const char* name;
  unsigned seed;
  int patterns;
  int maxWordLength;
  bool punctuatedWords;
  int vary;  // which options are tried both ways
  std::function<std::string(Generator&)> make;
  friend void PrintTo(const Family& f, std::ostream* out) { *out << f.name; }
};

std::function<std::string(Generator&)> withFeatures(Features f) {
  return [f](Generator& g) { return g.pattern(f); };
}

class Oracle : public ::testing::TestWithParam<Family> {};

TEST_P(Oracle, EngineAgreesWithTheReference) {
  const Family& family = GetParam();
  Generator generator(family.seed);
  test::Tally tally;
  for (int i = 0; i < family.patterns; ++i) {
    const std::string pattern = family.make(generator);
    std::vector<std::string> words;
    for (int j = 0; j < 24; ++j) words.push_back(generator.word(family.maxWordLength, family.punctuatedWords));
    if (!test::compareWithReference(pattern, words, family.vary, tally)) return;
  }
  // The generated cases must reach both outcomes, and few patterns may be
  // refused (only those of punctuation alone, or too long).
  EXPECT_GT(tally.matches, tally.pairs / 50);
  EXPECT_LT(tally.matches, tally.pairs - tally.pairs / 50);
  EXPECT_LT(tally.skipped, tally.patterns / 3);
  std::printf("  %-24s %6d pairs, %5d matches, %d patterns skipped\n", family.name, tally.pairs, tally.matches,
              tally.skipped);
}

INSTANTIATE_TEST_SUITE_P(Families, Oracle, ::testing::Values(
    Family{"Templates", 1, 400, 8, false, kNone, withFeatures({.choices = true})},
    Family{"Wildcards", 2, 500, 8, false, kNone, withFeatures({.wildcards = true, .choices = true, .maxElements = 7})},
    Family{"Punctuation", 3, 500, 8, true, kBoth,
           withFeatures({.wildcards = true, .punctuation = true, .spaces = true, .escapes = true})},
    Family{"LetterVariables", 4, 500, 8, false, kBoth,
           withFeatures({.wildcards = true, .choices = true, .variables = true})},
    Family{"SubPatterns", 5, 500, 8, true, kBoth,
           withFeatures({.wildcards = true, .variables = true, .punctuation = true, .subpatterns = true})},
    Family{"Anagrams", 6, 400, 8, false, kNone, withFeatures({.wildcards = true, .anagram = true, .templ = false})},
    Family{"AnagramsWithEverything", 7, 600, 8, false, kBoth,
           withFeatures({.wildcards = true, .choices = true, .variables = true, .subpatterns = true,
                         .anagram = true, .templ = false})},
    Family{"TemplatesWithAnagrams", 8, 600, 8, false, kBoth,
           withFeatures({.wildcards = true, .choices = true, .variables = true, .subpatterns = true,
                         .anagram = true, .maxElements = 5})},
    Family{"NestedSubPatterns", 10, 600, 10, false, kNone, &Generator::nestedSubpatterns},
    Family{"PunctuatedSubPatterns", 12, 800, 9, true, kIgnore, &Generator::punctuatedSubpatterns},
    Family{"AnagramBlocks", 11, 3000, 9, false, kExclusive, &Generator::blockAnagram},
    // Words long enough that block sweeps outlast their first probe and
    // read the table of fitting placements.
    Family{"AnagramBlocksLongWords", 13, 150, 30, false, kExclusive, &Generator::blockAnagram}),
    [](const ::testing::TestParamInfo<Family>& info) { return std::string(info.param.name); });

std::unique_ptr<LineNode> randomLine(Generator& g, int depth) {
  auto node = std::make_unique<LineNode>();
  node->negated = g.chance(25);
  if (depth == 0 || g.chance(35)) {
    node->pattern = g.pattern({.wildcards = true, .choices = true, .variables = g.chance(30),
                               .subpatterns = g.chance(20), .anagram = g.chance(25), .maxElements = 4});
    return node;
  }
  node->kind = g.chance(50) ? LineNode::And : LineNode::Or;
  node->left = randomLine(g, depth - 1);
  node->right = randomLine(g, depth - 1);
  return node;
}

// Chains group from the right, so only a left operand that is itself a
// chain needs parentheses; a right one gets them now and then anyway.
std::string render(const LineNode& node, Generator& g, bool leftOperand) {
  if (node.kind == LineNode::Leaf) return (node.negated ? "!" : "") + node.pattern;
  std::string text = render(*node.left, g, true) + (node.kind == LineNode::And ? " & " : " | ") +
                     render(*node.right, g, false);
  if (node.negated) return "!(" + text + ")";
  return leftOperand || g.chance(30) ? "(" + text + ")" : text;
}

TEST(OracleLines, LogicalLinesWithGroupsAndNegation) {
  Generator g(9);
  const Alphabet& alphabet = test::englishTestAlphabet();
  int pairs = 0, matches = 0, skipped = 0;
  for (int i = 0; i < 400; ++i) {
    const std::unique_ptr<LineNode> line = randomLine(g, 3);
    const std::string text = render(*line, g, false);
    const ReferenceOptions options{true, g.chance(50)};
    MatchEngineSet set;
    if (set.parseExpression(alphabet, text, 1, 100, true, options.variablesExclusive) != PatternStatus::Valid) {
      ++skipped;
      continue;
    }
    const auto [first, last] = set.lengthRange();
    for (int j = 0; j < 20; ++j) {
      const std::string word = g.word(7, false);
      test::TestWord w(word);
      const bool got = w.length >= first && w.length <= last && set.setLength(w.length) &&
                       set.matches(w.buffer, w.length);
      const bool expected = test::referenceLineMatches(*line, word, alphabet, options);
      ++pairs;
      matches += expected ? 1 : 0;
      ASSERT_EQ(got, expected) << "line \"" << text << "\" word \"" << word << "\"";
    }
  }
  EXPECT_GT(matches, pairs / 50);
  EXPECT_LT(matches, pairs - pairs / 50);
  EXPECT_LT(skipped, 100);
  std::printf("  %-24s %6d pairs, %5d matches, %d lines skipped\n", "logical lines", pairs, matches, skipped);
}

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
    if (!test::compareWithReference(pattern, words, vary, tally)) return;
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
              "c(;(a*)b)*",              // an anagram part with blocks inside a template
              ";(.*)(*b)(1*)a",          // blocks alike but for a variable stay apart, and
              ";(*.)([b]c*)(*2)"},       // the last one takes the slack
             allWords("abc", 7), kExclusive);
}

// Pairs found by longer generated runs: the middle block is left out, and
// the last one, apart from the first by its letter variable alone, takes
// the slack.
TEST(OraclePairs, BlocksApartByAVariableOnly) {
  const struct {
    const char* pattern;
    const char* word;
  } pairs[] = {{";(.*)(*eb)(1*)a", "bDbbcadaeab"}, {";(.*)(*eb)(1*)", "bDbbcadaeab"},
               {";(*.)([b]c*)(*2)", "dcdadcce"},   {";(*.)(bc*)(*2)", "dcdadcce"}};
  for (const auto& pair : pairs) {
    EXPECT_TRUE(test::patternMatches(pair.pattern, pair.word)) << pair.pattern << " / " << pair.word;
    test::Tally tally;
    test::compareWithReference(pair.pattern, {pair.word}, kBoth, tally);
  }
}

TEST(Exhaustive, RegularTemplates) {
  compareAll({"**(*[^ba]*).a*b", "(a*)(*b)(*)c", "((*a)*b)*", "*(ab)*(b.)*", "[ab]*(c*[^c])"}, allWords("abc", 7),
             kNone);
}

TEST(Exhaustive, SignificantPunctuation) {
  compareAll({"*-*", "a*-*b", "*-*-*", "a*--", "*'a*", "\\A*-", "*-(a*)b"}, allWords("ab-'A", 6), kIgnore);
  // Sub-patterns that hand on the punctuation offset of their first success,
  // reached again and again from the wildcards before them.
  // Runs and punctuation before, between and after their wildcards, and
  // sub-patterns with two wildcards before the last.
  compareAll({"*(*-*)*(*-*)*b", "*(*-*)(*'*)*", "*(-*)*(a-*)*", "(a*-*b)*", "*(*-a*)-*", "*(*[ab]-*')*",
              "*(-*a-)*b", "(*-)*(*'b)*", "*(*-*-*)*a", "*(*a*b*-)*", "(*b*)a*-", "*(*ab*)-*"},
             allWords("ab--'", 6), kIgnore);
}

// Letter variables repeated between wildcards, where a new binding is
// checked against the rest of the template, and anagram variables with as
// many occurrences as each other, which are assigned letters in order.
TEST(Exhaustive, RepeatedLetterVariables) {
  compareAll({"*1*2*1*2*", "*1*2*3*1*2*3*", "1*2*3*3*2*1", "*12*21*", "*1a*2*12", ".1*[ab]2*2*1*",
              "*1*1*2*2*", "1*2*1*2*3*3", "*1*2*3*2*1*3", "*12*3*21*3*"},
             allWords("abcd", 7), kExclusive);
  compareAll({";112233*", ";1122*", ";112233", ";11223*", ";(a*)1122*", ";(1*)2233*", ";1122c*"},
             allWords("abc", 7), kExclusive);
}

}  // namespace
}  // namespace kea
