// The engine against the reference matcher on generated patterns and
// words of every kind: templates, wildcards, choice lists, punctuation with
// and without "Ignore unused punctuation", anagrams (match-alls, wildcards,
// choice lists, variables, sub-patterns), templates with anagrams, letter
// variables with and without exclusivity, sub-patterns, and logical lines
// with groups and negation. Balances are compared too.
//
// Two plainly declarative checks back the reference up where they apply:
// a regular expression (with back-references for variables) for templates
// without sub-patterns, and a letter count for anagrams of letters.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "ReferenceMatcher.h"
#include "TextJoin.h"
#include "pattern/MatchEngine.h"
#include "pattern/MatchEngineSet.h"
#include "support/TestAlphabet.h"

namespace kea {
namespace {

using test::LineNode;
using test::ReferenceOptions;
using test::ReferencePattern;

struct Features {
  bool wildcards = false;
  bool choices = false;
  bool variables = false;
  bool punctuation = false;
  bool spaces = false;
  bool subpatterns = false;
  bool escapes = false;
  bool anagram = false;
  bool templ = true;
  int maxElements = 6;
};

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  bool chance(int percent) { return below(100) < percent; }

  char letter() { return "abcdabcdabce"[below(12)]; }

  std::string choiceList() {
    std::string list = chance(30) ? "[^" : "[";
    const int n = 1 + below(3);
    for (int i = 0; i < n; ++i) list += letter();
    return test::join(list, "]");
  }

  std::string templ(const Features& f, int depth) {
    std::string out;
    const int n = 1 + below(f.maxElements);
    for (int i = 0; i < n; ++i) {
      const int roll = below(100);
      if (f.wildcards && roll < 15) {
        out += '*';
      } else if (f.choices && roll < 27) {
        out += choiceList();
      } else if (f.variables && roll < 40) {
        out += static_cast<char>('0' + below(3));
      } else if (f.punctuation && roll < 48) {
        out += f.spaces && chance(30) ? ' ' : (chance(70) ? '-' : '\'');
      } else if (f.subpatterns && depth < 2 && roll < 56) {
        out += test::join("(", pattern(subFeatures(f), depth + 1), ")");
      } else if (f.escapes && roll < 60) {
        out += chance(50) ? "\\A" : "\\b";
      } else if (roll < 72) {
        out += '.';
      } else {
        out += letter();
      }
    }
    return out;
  }

  std::string anagram(const Features& f, int depth) {
    std::string out;
    const int n = 1 + below(f.maxElements);
    for (int i = 0; i < n; ++i) {
      const int roll = below(100);
      if (f.wildcards && roll < 8) {
        out += '*';
      } else if (f.choices && roll < 22) {
        out += choiceList();
      } else if (f.variables && roll < 32) {
        out += static_cast<char>('0' + below(3));
      } else if (f.subpatterns && depth < 2 && roll < 42) {
        out += test::join("(", pattern(subFeatures(f), depth + 1), ")");
      } else if (roll < 55) {
        out += '.';
      } else {
        out += letter();
      }
    }
    return out;
  }

  std::string pattern(const Features& f, int depth = 0) {
    std::string out;
    if (f.templ) out += templ(f, depth);
    if (f.anagram) out += test::join(";", anagram(f, depth));
    return out;
  }

  Features subFeatures(const Features& f) {
    Features inner = f;
    inner.maxElements = 3;
    inner.spaces = false;
    inner.templ = !f.anagram || chance(60);
    inner.anagram = chance(30) || !inner.templ;
    return inner;
  }

  // Words over a few letters, sometimes with capitals and punctuation.
  std::string word(int maxLength, bool punctuation) {
    std::string out;
    const int n = 1 + below(maxLength);
    for (int i = 0; i < n; ++i) {
      if (punctuation && i > 0 && chance(15)) out += "-'- "[below(4)];
      char c = letter();
      if (chance(8)) c = static_cast<char>(c - 'a' + 'A');
      out += c;
    }
    if (punctuation && chance(10)) out += chance(50) ? "-" : " -";
    return out;
  }

  // A pattern without letter variables, anagram parts or punctuation: the
  // kind the matcher reads over sets of places.
  std::string regularTemplate(int depth) {
    std::string out;
    const int n = 1 + below(3);
    for (int i = 0; i < n; ++i) {
      const int roll = below(100);
      if (roll < 30) {
        out += '*';
      } else if (roll < 42) {
        out += choiceList();
      } else if (depth < 2 && roll < 55) {
        out += test::join("(", regularTemplate(depth + 1), ")");
      } else if (roll < 70) {
        out += '.';
      } else {
        out += letter();
      }
    }
    return out;
  }

  // An anagram part of several blocks (sub-patterns), mostly of variable
  // length, with a few letters and match-alls, sometimes a wildcard, and
  // sometimes a template in front that makes the word longer or shorter.
  std::string blockAnagram() {
    std::string out;
    if (chance(25)) out += chance(50) ? "..*" : "...";
    out += ';';
    const int blocks = 1 + below(chance(20) ? 4 : 3);
    std::vector<std::string> made;
    for (int i = 0; i < blocks; ++i) {
      std::string block;
      if (!made.empty() && chance(20)) {
        block = made[static_cast<std::size_t>(below(static_cast<int>(made.size())))];
      } else if (chance(15)) {
        block = test::join("(", std::string(1, letter()), std::string(1, letter()), ")");
      } else if (chance(12)) {
        // A letter variable: bound by the block's window.
        const std::string digit(1, static_cast<char>('1' + below(2)));
        block = test::join("(", chance(50) ? digit : "", regularTemplate(1), chance(50) ? digit : "", ")");
      } else if (chance(12)) {
        // Not regular: an anagram part of its own, run over each window.
        block = test::join("(", regularTemplate(1), ";", std::string(1, letter()), ")");
      } else {
        block = test::join("(", regularTemplate(0), ")");
      }
      made.push_back(block);
      out += block;
    }
    const int letters = below(4);
    for (int i = 0; i < letters; ++i) out += chance(25) ? '.' : letter();
    if (chance(15)) out += '*';
    if (chance(15)) out += choiceList();
    if (chance(20)) out += static_cast<char>('1' + below(2));
    return out;
  }

  std::mt19937& engine() { return random_; }

 private:
  std::mt19937 random_;
};

// ------------------------------------------------------------ declarative

// The significant characters of a word for a pattern (letters lower-cased).
std::string plane(std::string_view word, const std::string& significant, bool allPunctuation) {
  int letters = 0;
  for (const char c : word) letters += std::isalpha(static_cast<unsigned char>(c)) ? 1 : 0;
  std::string out;
  int seen = 0;
  for (const char c : word) {
    if (std::isalpha(static_cast<unsigned char>(c))) {
      out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      ++seen;
    } else if (seen == letters && c == ' ') {
      break;
    } else if (allPunctuation || significant.find(c) != std::string::npos) {
      out += c;
    }
  }
  return out;
}

// A template without sub-patterns or escaped letters as an ECMAScript
// regular expression over the word's significant characters; letter
// variables are captures, with look-aheads keeping exclusive variables apart.
struct RegexTemplate {
  std::string regex;
  std::string significant;  // punctuation named by the pattern
  int fixed = 0;
  bool unbounded = false;
};

std::optional<RegexTemplate> regexOf(const std::string& pattern, bool exclusive) {
  RegexTemplate out;
  std::map<char, int> groups;
  std::string body = pattern;
  while (!body.empty() && body.front() == ' ') body.erase(body.begin());
  while (!body.empty() && body.back() == ' ') body.pop_back();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '(' || c == ';' || c == '\\') return std::nullopt;
    if (!std::isalpha(static_cast<unsigned char>(c)) && c != '.' && c != '?' && c != '*' && c != '[' &&
        c != ']' && c != '^' && !std::isdigit(static_cast<unsigned char>(c))) {
      out.significant += c;
    }
  }
  for (std::size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    if (std::isalpha(static_cast<unsigned char>(c))) {
      out.regex += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      ++out.fixed;
    } else if (c == '.' || c == '?') {
      out.regex += "[a-z]";
      ++out.fixed;
    } else if (c == '*') {
      out.regex += ".*";
      out.unbounded = true;
    } else if (c == '[') {
      const std::size_t close = body.find(']', i);
      std::string list = body.substr(i + 1, close - i - 1);
      if (!list.empty() && list[0] == '^') {
        out.regex += test::join("(?![", list.substr(1), "])[a-z]");
      } else {
        out.regex += test::join("[", list, "]");
      }
      i = close;
      ++out.fixed;
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      const auto found = groups.find(c);
      if (found != groups.end()) {
        out.regex += test::join("\\", std::to_string(found->second));
      } else {
        if (exclusive) {
          for (const auto& [other, group] : groups) out.regex += test::join("(?!\\", std::to_string(group), ")");
        }
        const int group = static_cast<int>(groups.size()) + 1;
        groups[c] = group;
        out.regex += "([a-z])";
      }
      ++out.fixed;
    } else {
      out.regex += test::join("\\x", std::string(1, "0123456789abcdef"[(c >> 4) & 15]),
                              std::string(1, "0123456789abcdef"[c & 15]));
    }
  }
  return out;
}

int letterCount(std::string_view word) {
  int n = 0;
  for (const char c : word) n += std::isalpha(static_cast<unsigned char>(c)) ? 1 : 0;
  return n;
}

std::optional<bool> regexOracle(const std::string& pattern, const std::string& word, ReferenceOptions options) {
  const std::optional<RegexTemplate> t = regexOf(pattern, options.variablesExclusive);
  if (!t) return std::nullopt;
  const int n = letterCount(word);
  if (n < std::max(1, t->fixed) || n > 100 || (!t->unbounded && n > t->fixed)) return false;
  const bool all = !options.ignoreUnusedPunctuation && !t->significant.empty();
  return std::regex_match(plane(word, t->significant, all), std::regex(t->regex));
}

// ";" followed by letters, match-alls and "*" only: the word holds every
// letter of the anagram (and as many letters as it asks for).
std::optional<bool> countOracle(const std::string& pattern, const std::string& word) {
  if (pattern.empty() || pattern[0] != ';') return std::nullopt;
  std::map<char, int> need;
  int length = 0;
  bool wildcard = false;
  for (std::size_t i = 1; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '*') {
      wildcard = true;
    } else if (c == '.' || c == '?') {
      ++length;
    } else if (std::isalpha(static_cast<unsigned char>(c))) {
      ++need[c];
      ++length;
    } else {
      return std::nullopt;
    }
  }
  const int n = letterCount(word);
  if (n < std::max(1, length) || n > 100 || (!wildcard && n != length)) return false;
  std::map<char, int> have;
  for (const char c : word) {
    if (std::isalpha(static_cast<unsigned char>(c))) ++have[static_cast<char>(std::tolower(static_cast<unsigned char>(c)))];
  }
  for (const auto& [c, count] : need) {
    if (have[c] < count) return false;
  }
  return true;
}

// A template that regexOf handles, then ";" and letters, match-alls and
// "*": the template matches the whole word and the word's letters cover
// the anagram's, but for as many as the template made the word shorter.
std::optional<bool> templateCountOracle(const std::string& pattern, const std::string& word,
                                        ReferenceOptions options) {
  const std::size_t semicolon = pattern.find(';');
  if (semicolon == std::string::npos || semicolon == 0) return std::nullopt;
  const std::optional<RegexTemplate> t = regexOf(pattern.substr(0, semicolon), options.variablesExclusive);
  if (!t || !t->significant.empty()) return std::nullopt;
  std::map<char, int> need;
  int length = 0;
  for (std::size_t i = semicolon + 1; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '.' || c == '?') {
      ++length;
    } else if (std::isalpha(static_cast<unsigned char>(c))) {
      ++need[c];
      ++length;
    } else if (c != '*') {
      return std::nullopt;
    }
  }
  if (!std::regex_match(plane(word, "", false), std::regex(t->regex))) return false;
  std::map<char, int> have;
  int n = 0;
  for (const char c : word) {
    if (!std::isalpha(static_cast<unsigned char>(c))) continue;
    ++have[static_cast<char>(std::tolower(static_cast<unsigned char>(c)))];
    ++n;
  }
  int missing = 0;
  for (const auto& [c, count] : need) missing += std::max(0, count - have[c]);
  return missing <= std::max(0, length - n);
}

// ------------------------------------------------------------ comparison

struct Tally {
  int compiles = 0;
  int pairs = 0;
  int matches = 0;
  int skipped = 0;
  int declarative = 0;
};

void compare(const std::string& pattern, const std::vector<std::string>& words, ReferenceOptions options,
             Tally& tally) {
  const Alphabet& alphabet = test::englishTestAlphabet();
  ++tally.compiles;
  MatchEngine engine;
  if (engine.compile(alphabet, pattern, options.ignoreUnusedPunctuation, options.variablesExclusive) !=
      PatternStatus::Valid) {
    ++tally.skipped;
    return;
  }
  const ReferencePattern reference(pattern, alphabet, options);
  ASSERT_EQ(engine.fixedLength(), reference.fixedLength()) << pattern;
  ASSERT_EQ(engine.longestLength(), reference.longestLength()) << pattern;
  for (const std::string& word : words) {
    test::TestWord w(word);
    engine.setWordLength(w.length);
    const bool got = engine.matches(w.buffer);
    std::string expectedBalance;
    const bool expected = reference.matches(word, &expectedBalance);
    ++tally.pairs;
    tally.matches += expected ? 1 : 0;
    ASSERT_EQ(got, expected) << "pattern \"" << pattern << "\" word \"" << word << "\" ignore "
                             << options.ignoreUnusedPunctuation << " exclusive " << options.variablesExclusive
                             << "\n" << engine.dump();
    if (got) {
      ASSERT_EQ(engine.balanceText(), expectedBalance) << "pattern \"" << pattern << "\" word \"" << word << "\"";
    }
    std::optional<bool> plain = regexOracle(pattern, word, options);
    if (!plain) plain = countOracle(pattern, word);
    if (!plain && w.length >= std::max(1, engine.fixedLength()) && w.length <= engine.longestLength()) {
      plain = templateCountOracle(pattern, word, options);
    }
    if (plain) {
      ++tally.declarative;
      ASSERT_EQ(expected, *plain) << "reference disagrees with the declarative check: pattern \"" << pattern
                                  << "\" word \"" << word << "\"";
    }
  }
}

void run(const char* name, Features features, unsigned seed, int patterns, bool punctuatedWords, bool bothOptions) {
  Generator generator(seed);
  Tally tally;
  for (int i = 0; i < patterns; ++i) {
    const std::string pattern = generator.pattern(features);
    std::vector<std::string> words;
    for (int j = 0; j < 24; ++j) words.push_back(generator.word(8, punctuatedWords));
    for (int option = 0; option < (bothOptions ? 4 : 1); ++option) {
      ReferenceOptions options;
      options.ignoreUnusedPunctuation = (option & 1) == 0;
      options.variablesExclusive = (option & 2) == 0;
      compare(pattern, words, options, tally);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
  // The generated cases must exercise both outcomes.
  EXPECT_GT(tally.matches, tally.pairs / 50) << name;
  EXPECT_LT(tally.matches, tally.pairs - tally.pairs / 50) << name;
  // Only patterns that are empty (punctuation only) or too long are skipped.
  EXPECT_LT(tally.skipped, tally.compiles / 3) << name;
  std::printf("  %-24s %6d pairs, %5d matches, %5d checked declaratively, %d patterns skipped\n", name,
              tally.pairs, tally.matches, tally.declarative, tally.skipped);
}

// Patterns from a generator of their own, with words of up to maxLength letters.
void runMade(const char* name, unsigned seed, int patterns, int maxLength, bool bothOptions,
             std::string (Generator::*make)()) {
  Generator generator(seed);
  Tally tally;
  for (int i = 0; i < patterns; ++i) {
    const std::string pattern = (generator.*make)();
    std::vector<std::string> words;
    for (int j = 0; j < 24; ++j) words.push_back(generator.word(maxLength, false));
    for (int option = 0; option < (bothOptions ? 2 : 1); ++option) {
      ReferenceOptions options;
      options.variablesExclusive = option == 0;
      compare(pattern, words, options, tally);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
  EXPECT_GT(tally.matches, tally.pairs / 50) << name;
  EXPECT_LT(tally.matches, tally.pairs - tally.pairs / 50) << name;
  EXPECT_LT(tally.skipped, tally.compiles / 3) << name;
  std::printf("  %-24s %6d pairs, %5d matches, %5d checked declaratively, %d patterns skipped\n", name,
              tally.pairs, tally.matches, tally.declarative, tally.skipped);
}

TEST(Oracle, Templates) {
  Features f;
  f.choices = true;
  run("templates", f, 1, 400, false, false);
}

TEST(Oracle, Wildcards) {
  Features f;
  f.wildcards = true;
  f.choices = true;
  f.maxElements = 7;
  run("wildcards", f, 2, 500, false, false);
}

TEST(Oracle, Punctuation) {
  Features f;
  f.wildcards = true;
  f.punctuation = true;
  f.spaces = true;
  f.escapes = true;
  run("punctuation", f, 3, 500, true, true);
}

TEST(Oracle, LetterVariables) {
  Features f;
  f.variables = true;
  f.wildcards = true;
  f.choices = true;
  run("letter variables", f, 4, 500, false, true);
}

TEST(Oracle, SubPatterns) {
  Features f;
  f.subpatterns = true;
  f.wildcards = true;
  f.variables = true;
  f.punctuation = true;
  run("sub-patterns", f, 5, 500, true, true);
}

TEST(Oracle, Anagrams) {
  Features f;
  f.templ = false;
  f.anagram = true;
  f.wildcards = true;
  run("anagrams", f, 6, 400, false, false);
}

TEST(Oracle, AnagramsWithEverything) {
  Features f;
  f.templ = false;
  f.anagram = true;
  f.wildcards = true;
  f.choices = true;
  f.variables = true;
  f.subpatterns = true;
  run("anagrams, all elements", f, 7, 600, false, true);
}

TEST(Oracle, TemplatesWithAnagrams) {
  Features f;
  f.anagram = true;
  f.wildcards = true;
  f.choices = true;
  f.variables = true;
  f.subpatterns = true;
  f.maxElements = 5;
  run("templates with anagrams", f, 8, 600, false, true);
}

// Wildcards inside sub-patterns inside wildcards, nested two deep.
std::string nestedSubpatterns(Generator& g) {
  std::string out;
  const int n = 1 + g.below(4);
  for (int i = 0; i < n; ++i) {
    const int roll = g.below(100);
    if (roll < 30) {
      out += '*';
    } else if (roll < 70) {
      out += test::join("(", g.regularTemplate(0), ")");
    } else {
      out += g.letter();
    }
  }
  return out;
}

TEST(Oracle, NestedSubPatterns) {
  Generator generator(10);
  Tally tally;
  for (int i = 0; i < 600; ++i) {
    const std::string pattern = nestedSubpatterns(generator);
    std::vector<std::string> words;
    for (int j = 0; j < 24; ++j) words.push_back(generator.word(10, false));
    compare(pattern, words, ReferenceOptions{}, tally);
    if (::testing::Test::HasFatalFailure()) return;
  }
  EXPECT_GT(tally.matches, tally.pairs / 50);
  EXPECT_LT(tally.matches, tally.pairs - tally.pairs / 50);
  std::printf("  %-24s %6d pairs, %5d matches\n", "nested sub-patterns", tally.pairs, tally.matches);
}

// Wildcards, sub-patterns with wildcards inside, and punctuation, in a
// template with no letter variables: matched over the places of the
// word's significant characters.
std::string punctuatedSubpatterns(Generator& g) {
  std::string out;
  const int n = 2 + g.below(5);
  for (int i = 0; i < n; ++i) {
    const int roll = g.below(100);
    if (roll < 25) {
      out += '*';
    } else if (roll < 45) {
      // A hyphen at either end or none; a template may not split an item.
      const int where = g.below(3);
      out += test::join("(", where == 0 ? "-" : "", g.regularTemplate(1), where == 1 ? "-" : "", ")");
    } else if (roll < 60) {
      out += g.chance(70) ? '-' : '\'';
    } else if (roll < 65) {
      out += "\\A";
    } else if (roll < 80) {
      out += '.';
    } else {
      out += g.letter();
    }
  }
  return out;
}

TEST(Oracle, PunctuatedSubPatterns) {
  Generator generator(12);
  Tally tally;
  for (int i = 0; i < 800; ++i) {
    const std::string pattern = punctuatedSubpatterns(generator);
    std::vector<std::string> words;
    for (int j = 0; j < 24; ++j) words.push_back(generator.word(9, true));
    for (const bool ignore : {true, false}) {
      ReferenceOptions options;
      options.ignoreUnusedPunctuation = ignore;
      compare(pattern, words, options, tally);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
  EXPECT_GT(tally.matches, tally.pairs / 50);
  EXPECT_LT(tally.matches, tally.pairs - tally.pairs / 50);
  std::printf("  %-24s %6d pairs, %5d matches\n", "punctuated sub-patterns", tally.pairs, tally.matches);
}

TEST(Oracle, AnagramBlocks) {
  runMade("anagram blocks", 11, 3000, 9, true, &Generator::blockAnagram);
}

// ------------------------------------------------------------ lines

std::unique_ptr<LineNode> randomLine(Generator& g, int depth) {
  auto node = std::make_unique<LineNode>();
  node->negated = g.chance(25);
  if (depth == 0 || g.chance(35)) {
    Features f;
    f.wildcards = true;
    f.choices = true;
    f.variables = g.chance(30);
    f.subpatterns = g.chance(20);
    f.anagram = g.chance(25);
    f.maxElements = 4;
    node->pattern = g.pattern(f);
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
  if (node.negated) return test::join("!(", text, ")");
  if (leftOperand || g.chance(30)) return test::join("(", text, ")");
  return text;
}

TEST(Oracle, LogicalLines) {
  Generator g(9);
  const Alphabet& alphabet = test::englishTestAlphabet();
  int pairs = 0;
  int matches = 0;
  int skipped = 0;
  for (int i = 0; i < 400; ++i) {
    const std::unique_ptr<LineNode> line = randomLine(g, 3);
    const std::string text = render(*line, g, false);
    ReferenceOptions options;
    options.variablesExclusive = g.chance(50);
    MatchEngineSet set;
    if (set.parseExpression(alphabet, text, 1, 100, true, options.variablesExclusive) != PatternStatus::Valid) {
      ++skipped;
      continue;
    }
    const auto [first, last] = set.lengthRange();
    for (int j = 0; j < 20; ++j) {
      const std::string word = g.word(7, false);
      test::TestWord w(word);
      bool got = false;
      if (w.length >= first && w.length <= last && set.setLength(w.length)) got = set.matches(w.buffer, w.length);
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

}  // namespace
}  // namespace kea
