// Phrase anagrams against a brute-force finder that tries every
// combination of up to three entries: word counts and shortest lengths,
// enumerations with hyphens and entries that are phrases, repeated words,
// "." letters, the containing word, the duplicate rule across
// dictionaries, and stepping with small budgets.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "dictionary/DictionaryList.h"
#include "dictionary/LetterFold.h"
#include "search/PhraseAnagram.h"
#include "settings/UserOptions.h"
#include "support/KkdAssembler.h"
#include "support/TestDictionary.h"

namespace kea {
namespace {

using Words = std::vector<std::string>;
constexpr int kSuppress = UserOptions::kSuppressDuplicates;
constexpr int kIndependent = UserOptions::kSearchIndependently;
constexpr int kActiveOnly = UserOptions::kActiveDictionaryOnly;

// ---------------------------------------------------------------------------
// The oracle: every sequence of up to three entries, kept when its letters
// are the query's, in the shape the query asks for.

struct OracleWord {
  int length;
  char after;  // ' ', '-' or 0 at the end
};

std::vector<OracleWord> shapeOf(const std::string& text) {
  std::vector<OracleWord> out;
  int length = 0;
  char pending = 0;
  for (const char ch : text) {
    const auto b = static_cast<std::uint8_t>(ch);
    if (isLetter(b)) {
      if (pending != 0 && length > 0) {
        out.push_back({length, pending});
        length = 0;
      }
      pending = 0;
      ++length;
    } else if (ch == '-') {
      pending = '-';
    } else if (ch == ' ' && pending != '-') {
      pending = ' ';
    }
  }
  if (length > 0) out.push_back({length, 0});
  return out;
}

std::string foldedLetters(const std::string& text) {
  std::string out;
  for (const char ch : text) {
    if (isLetter(static_cast<std::uint8_t>(ch))) out += static_cast<char>(foldLetter(static_cast<std::uint8_t>(ch)));
  }
  return out;
}

// Whether the letters of `parts` are the query's letters, "." and "?"
// standing for any one.
bool sameLetters(const std::vector<std::string>& parts, const std::string& letters) {
  std::map<char, int> given;
  int wild = 0;
  for (const char ch : letters) {
    if (ch == '.' || ch == '?') ++wild;
    if (isLetter(static_cast<std::uint8_t>(ch))) ++given[static_cast<char>(foldLetter(static_cast<std::uint8_t>(ch)))];
  }
  std::map<char, int> used;
  for (const std::string& p : parts) {
    for (const char c : foldedLetters(p)) ++used[c];
  }
  int over = 0, total = 0, givenTotal = 0;
  for (const auto& [c, n] : used) {
    over += std::max(0, n - given[c]);
    total += n;
  }
  for (const auto& [c, n] : given) givenTotal += n;
  return over == wild && total == givenTotal + wild;
}

bool canonicalBefore(const std::string& a, const std::string& b) {
  const int c = compareFolded(a, b);
  return c != 0 ? c < 0 : a < b;
}

// The key by which entries of two dictionaries are the same: the folded
// letters, with the breaks when an enumeration places them.
std::string entryKey(const std::string& text, bool withBreaks) {
  std::string out;
  const std::string letters = foldedLetters(text);
  std::size_t at = 0;
  for (const OracleWord& w : shapeOf(text)) {
    out += letters.substr(at, static_cast<std::size_t>(w.length));
    at += static_cast<std::size_t>(w.length);
    if (withBreaks && w.after != 0) out += w.after;
  }
  return out;
}

// One way to make the letters: the parts in the order listed, which of
// them is the pinned word, and what joins each to the next.
struct Composition {
  std::vector<std::string> parts;
  std::vector<bool> pinned;
  std::vector<char> joints;
  std::string text() const {
    std::string t;
    for (std::size_t i = 0; i < parts.size(); ++i) t += (i > 0 ? std::string(1, joints[i - 1]) : "") + parts[i];
    return t;
  }
};

// Every composition of one dictionary's entries (its texts taken once).
std::vector<Composition> compositions(const Words& words, const PhraseAnagramQuery& q) {
  Words entries = words;
  std::sort(entries.begin(), entries.end());
  entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
  const bool pinned = !q.containing.empty();
  std::vector<Composition> out;
  std::set<std::vector<std::string>> seen;
  std::vector<std::size_t> pick;
  const auto consider = [&]() {
    std::vector<std::pair<std::string, bool>> parts;
    for (const std::size_t i : pick) parts.emplace_back(entries[i], false);
    if (!q.enumeration) {
      // Sets only: the picks come in increasing order.
      if (!std::is_sorted(pick.begin(), pick.end())) return;
      const int n = static_cast<int>(parts.size()) + (pinned ? 1 : 0);
      if (n < q.minWords || n > q.maxWords) return;
      for (const auto& p : parts) {
        if (static_cast<int>(foldedLetters(p.first).size()) < q.shortest) return;
      }
      if (pinned) parts.emplace_back(q.containing, true);
      std::vector<std::string> texts;
      for (const auto& p : parts) texts.push_back(p.first);
      if (!sameLetters(texts, q.letters)) return;
      std::stable_sort(parts.begin(), parts.end(),
                       [](const auto& a, const auto& b) { return canonicalBefore(a.first, b.first); });
      Composition c;
      for (const auto& p : parts) {
        c.parts.push_back(p.first);
        c.pinned.push_back(p.second);
      }
      c.joints.assign(parts.empty() ? 0 : parts.size() - 1, ' ');
      out.push_back(c);
      return;
    }
    // With an enumeration every order is its own phrase, and the pinned
    // word goes into every place (once where it equals an entry).
    std::vector<std::vector<std::pair<std::string, bool>>> orders;
    if (pinned) {
      for (std::size_t at = 0; at <= parts.size(); ++at) {
        auto o = parts;
        o.insert(o.begin() + static_cast<std::ptrdiff_t>(at), {q.containing, true});
        orders.push_back(o);
      }
    } else {
      orders.push_back(parts);
    }
    for (const auto& order : orders) {
      std::vector<std::string> texts;
      for (const auto& p : order) texts.push_back(p.first);
      if (order.empty() || !sameLetters(texts, q.letters) || seen.count(texts) > 0) continue;
      Composition c;
      std::size_t w = 0;
      bool ok = true;
      for (const auto& [text, isPinned] : order) {
        const auto shape = shapeOf(text);
        if (shape.empty() || w + shape.size() > q.enumeration->words.size()) {
          ok = false;
          break;
        }
        for (std::size_t s = 0; s < shape.size(); ++s) {
          const EnumerationWord& e = q.enumeration->words[w + s];
          const char after = e.after == EnumerationBreak::Hyphen ? '-' : e.after == EnumerationBreak::Space ? ' ' : 0;
          if (shape[s].length != e.length || (s + 1 < shape.size() && shape[s].after != after)) ok = false;
        }
        if (!ok) break;
        if (!c.parts.empty())
          c.joints.push_back(q.enumeration->words[w - 1].after == EnumerationBreak::Hyphen ? '-' : ' ');
        c.parts.push_back(text);
        c.pinned.push_back(isPinned);
        w += shape.size();
      }
      if (ok && w == q.enumeration->words.size()) {
        seen.insert(texts);
        out.push_back(c);
      }
    }
  };
  const int maxOthers = q.enumeration ? 3 : q.maxWords - (pinned ? 1 : 0);
  const auto recurse = [&](auto& self, int depth) -> void {
    if (!pick.empty() || pinned) consider();
    if (depth == maxOthers) return;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      pick.push_back(i);
      self(self, depth + 1);
      pick.pop_back();
    }
  };
  recurse(recurse, 0);
  return out;
}

// The tokens (between spaces and hyphens) of each part, then where the
// pinned word stands: the greater one is the way a line is listed when
// several ways give the same line.
std::vector<int> splitRank(const Composition& c) {
  std::vector<int> rank;
  for (const std::string& p : c.parts)
    rank.push_back(1 +
                   static_cast<int>(std::count_if(p.begin(), p.end(), [](char ch) { return ch == ' ' || ch == '-'; })));
  for (std::size_t i = 0; i < c.pinned.size(); ++i) rank.push_back(c.pinned[i] ? 1 : 0);
  return rank;
}

// The oracle over several dictionaries. In the mode that suppresses
// duplicates a phrase is left out when an earlier dictionary holds each
// of its entries (the pinned word is no entry).
std::multiset<std::string> oracle(const std::vector<Words>& dictionaries, const PhraseAnagramQuery& q, int mode,
                                  int active = 0) {
  std::multiset<std::string> out;
  const bool breaks = q.enumeration.has_value();
  std::vector<std::set<std::string>> keys(dictionaries.size());
  for (std::size_t d = 0; d < dictionaries.size(); ++d) {
    for (const std::string& w : dictionaries[d]) keys[d].insert(entryKey(w, breaks));
  }
  for (std::size_t d = 0; d < dictionaries.size(); ++d) {
    if (mode == kActiveOnly && static_cast<int>(d) != active) continue;
    // Each line once, in the way with the longest parts first.
    std::map<std::string, Composition> lines;
    for (const Composition& c : compositions(dictionaries[d], q)) {
      const auto [it, added] = lines.emplace(c.text(), c);
      if (!added && splitRank(c) > splitRank(it->second)) it->second = c;
    }
    for (const auto& [line, c] : lines) {
      bool earlier = false;
      for (std::size_t e = 0; e < d && mode == kSuppress && !earlier; ++e) {
        bool all = true;
        for (std::size_t i = 0; i < c.parts.size(); ++i) {
          if (!c.pinned[i]) all = all && keys[e].count(entryKey(c.parts[i], breaks)) > 0;
        }
        earlier = all;
      }
      if (!earlier) out.insert(c.text());
    }
  }
  return out;
}

// ---------------------------------------------------------------------------

class PhraseAnagramTest : public ::testing::Test {
 protected:
  DictionaryList::Handle open(const std::vector<Words>& dictionaries) {
    std::string names;
    for (std::size_t d = 0; d < dictionaries.size(); ++d) {
      test::TestDictionaryOptions options;
      options.fileName = "d" + std::to_string(d) + "-" + std::to_string(serial_++) + ".kkd";
      names += test::buildTestDictionary(dir_, dictionaries[d], options) + ";";
    }
    return DictionaryList::make(names);
  }

  // Runs a search to its end in steps of `work`, checking the dictionary
  // index each phrase comes with.
  static std::multiset<std::string> run(const DictionaryList& list, const PhraseAnagramQuery& q, int mode,
                                        int active = 0, long long work = 1 << 20, std::mt19937* random = nullptr) {
    PhraseAnagramSearch search(list, q, mode, active);
    PhraseBatch batch;
    std::multiset<std::string> out;
    int lastDictionary = -1;
    for (int guard = 0; guard < 10000000; ++guard) {
      batch.clear();
      const long long budget = random ? std::uniform_int_distribution<long long>(1, work)(*random) : work;
      const auto step = search.step(budget, batch);
      EXPECT_LE(batch.count(), budget);
      for (int i = 0; i < batch.count(); ++i) {
        out.insert(std::string(batch.phrase(i)));
        EXPECT_GE(batch.dictionary(i), lastDictionary);
        lastDictionary = batch.dictionary(i);
      }
      if (step == PhraseAnagramSearch::Step::Finished) break;
    }
    EXPECT_EQ(search.currentDictionary(), -1);
    EXPECT_EQ(search.phrasesFound(), static_cast<long long>(out.size()));
    return out;
  }

  test::TempDir dir_;
  int serial_ = 0;
};

TEST_F(PhraseAnagramTest, KnownPhrases) {
  const Words words = {"clint",    "eastwood", "old", "west", "action",  "tail", "end", "tail end",
                       "tail-end", "tom",      "Tom", "mot",  "tom-tom", "a",    "I"};
  const auto list = open({words});
  PhraseAnagramQuery q;
  q.letters = "Clint Eastwood!";
  q.maxWords = 3;
  q.shortest = 3;
  auto found = run(*list, q, kSuppress);
  EXPECT_EQ(found.count("action old west"), 1u);
  EXPECT_EQ(found.count("clint eastwood"), 1u);

  // Repeated words, each set once, in the canonical order.
  q.letters = "TOMTOM";
  q.minWords = 2;
  q.maxWords = 2;
  found = run(*list, q, kSuppress);
  // Upper case first where only case differs, as the sorted lists have it.
  const std::multiset<std::string> toms = {"mot mot", "mot tom", "mot Tom", "tom tom", "Tom tom", "Tom Tom"};
  EXPECT_EQ(found, toms);

  // "(3-3)" joins with a hyphen and finds the hyphenated entry too; "(3,3)"
  // does not take it.
  q.enumeration = parseEnumeration("(3-3)");
  found = run(*list, q, kSuppress);
  EXPECT_EQ(found.count("tom-tom"), 1u);
  EXPECT_EQ(found.count("mot-tom"), 1u);
  EXPECT_EQ(found.count("tom-mot"), 1u);
  q.enumeration = parseEnumeration("3,3");
  found = run(*list, q, kSuppress);
  EXPECT_EQ(found.count("tom-tom"), 0u);
  EXPECT_EQ(found.count("tom tom"), 1u);

  // "(4,3)" finds the phrase entry and the pair, not the hyphenated entry.
  q.letters = "dentail";
  q.enumeration = parseEnumeration("(4,3)");
  found = run(*list, q, kSuppress);
  EXPECT_EQ(found, (std::multiset<std::string>{"tail end"}));
  q.enumeration = parseEnumeration("4-3");
  EXPECT_EQ(run(*list, q, kSuppress), (std::multiset<std::string>{"tail-end"}));

  // "." stands for any letter.
  q.enumeration.reset();
  q.letters = "tai.end";
  q.minWords = 1;
  q.maxWords = 1;
  q.shortest = 1;
  EXPECT_EQ(run(*list, q, kSuppress), (std::multiset<std::string>{"tail end", "tail-end"}));
}

// An enumeration of more words than the search keeps lists for: the
// deeper words are found from the lists above them.
TEST_F(PhraseAnagramTest, LongEnumerations) {
  const auto list = open({{"a", "b", "a b", "ab"}});
  PhraseAnagramQuery q;
  q.letters = "aaaaabbbbb";
  q.enumeration = parseEnumeration("1,1,1,1,1,1,1,1,1,1");
  const auto found = run(*list, q, kSuppress, 0, 7);
  // Every order of five a's and five b's, once: "a b" and "a"+"b" give one line.
  EXPECT_EQ(found.size(), 252u);
  EXPECT_EQ(std::set<std::string>(found.begin(), found.end()).size(), 252u);
  EXPECT_EQ(found.count("a a a a a b b b b b"), 1u);
  q.enumeration = parseEnumeration("1-1,1-1,1-1,1-1,1-1");
  const auto hyphenated = run(*list, q, kSuppress);
  EXPECT_EQ(hyphenated.count("a-b a-b a-b a-b a-b"), 1u);
  EXPECT_EQ(hyphenated.size(), 252u);
}

TEST_F(PhraseAnagramTest, QueryErrors) {
  PhraseAnagramQuery q;
  EXPECT_EQ(checkPhraseQuery(q), PhraseQueryError::NoLetters);
  q.letters = "- !";
  EXPECT_EQ(checkPhraseQuery(q), PhraseQueryError::NoLetters);
  q.letters = std::string(101, 'a');
  EXPECT_EQ(checkPhraseQuery(q), PhraseQueryError::TooManyLetters);
  q.letters = "abc.";
  EXPECT_EQ(checkPhraseQuery(q), PhraseQueryError::None);
  q.maxWords = 7;
  EXPECT_EQ(checkPhraseQuery(q), PhraseQueryError::WordCount);
  q.maxWords = 2;
  q.minWords = 3;
  EXPECT_EQ(checkPhraseQuery(q), PhraseQueryError::WordCount);
  q.minWords = 1;
  q.shortest = 0;
  EXPECT_EQ(checkPhraseQuery(q), PhraseQueryError::Shortest);
  q.shortest = 1;
  q.enumeration = parseEnumeration("2,3");
  EXPECT_EQ(checkPhraseQuery(q), PhraseQueryError::EnumerationLength);
  q.enumeration = parseEnumeration("2-2");
  EXPECT_EQ(checkPhraseQuery(q), PhraseQueryError::None);
  q.containing = "cab";
  EXPECT_EQ(checkPhraseQuery(q), PhraseQueryError::ContainingShape);
  q.containing = "ca";
  EXPECT_EQ(checkPhraseQuery(q), PhraseQueryError::None);
  q.containing = "cx";  // the "." gives the x
  EXPECT_EQ(checkPhraseQuery(q), PhraseQueryError::None);
  q.containing = "xx";
  EXPECT_EQ(checkPhraseQuery(q), PhraseQueryError::ContainingLetters);
  q.containing = "--";
  EXPECT_EQ(checkPhraseQuery(q), PhraseQueryError::ContainingNoLetters);
}

// Random small word lists and letters drawn from combinations of their
// words, every mode of the query, searched in random small steps.
TEST_F(PhraseAnagramTest, MatchesBruteForce) {
  std::mt19937 random(20261207);
  const std::string alphabet = "aeinst";
  const auto randomWord = [&]() {
    std::string w;
    const int n = std::uniform_int_distribution<int>(1, 4)(random);
    for (int i = 0; i < n; ++i)
      w += alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
    const int kind = std::uniform_int_distribution<int>(0, 9)(random);
    if (kind == 0) w[0] = static_cast<char>(w[0] - 'a' + 'A');
    if (kind == 1 && w.size() > 1) w.insert(1, " ");
    if (kind == 2 && w.size() > 1) w.insert(1, "-");
    if (kind == 3) w += "'";
    if (kind == 4) w[0] = static_cast<char>(0xE9);  // é, an e for the letters
    return w;
  };
  const char* enumerations[] = {"1,2", "2-1", "(2,2)", "1,1,1", "3,2", "2-2,1", "4", "1-1-2"};
  int phrases = 0;
  for (int round = 0; round < 40; ++round) {
    std::vector<Words> dictionaries(round % 3 == 0 ? 2 : 1);
    for (Words& words : dictionaries) {
      const int n = std::uniform_int_distribution<int>(6, 14)(random);
      for (int i = 0; i < n; ++i) words.push_back(randomWord());
      // Entries that spell two others, with a space and with a hyphen.
      words.push_back(words[0] + " " + words[1]);
      words.push_back(words[2] + "-" + words[3]);
    }
    // Later dictionaries share some words with the first.
    if (dictionaries.size() > 1) {
      for (int i = 0; i < 4; ++i) dictionaries[1].push_back(dictionaries[0][static_cast<std::size_t>(i)]);
    }
    const auto list = open(dictionaries);
    for (int trial = 0; trial < 6; ++trial) {
      PhraseAnagramQuery q;
      const Words& source = dictionaries[0];
      const int parts = std::uniform_int_distribution<int>(1, 3)(random);
      for (int i = 0; i < parts; ++i) {
        q.letters += source[std::uniform_int_distribution<std::size_t>(0, source.size() - 1)(random)];
      }
      if (trial % 3 == 1) q.letters[0] = '.';
      if (trial % 3 == 2) q.letters += "?";
      if (trial == 3) {
        q.enumeration = parseEnumeration(enumerations[std::uniform_int_distribution<int>(0, 7)(random)]);
        // Letters to suit it: its length in the list's letters.
        const int total = q.enumeration->totalLength();
        const std::string letters = foldedLetters(q.letters) + "esta";
        q.letters = letters.substr(0, std::min<std::size_t>(letters.size(), static_cast<std::size_t>(total)));
        while (static_cast<int>(q.letters.size()) < total) q.letters += '.';
      } else {
        q.minWords = std::uniform_int_distribution<int>(1, 2)(random);
        q.maxWords = std::uniform_int_distribution<int>(q.minWords, 3)(random);
        q.shortest = std::uniform_int_distribution<int>(1, 2)(random);
      }
      if (trial == 4 || trial == 5) {
        q.containing = source[std::uniform_int_distribution<std::size_t>(0, source.size() - 1)(random)];
        q.letters += q.containing;
        if (trial == 5) {
          const std::string word = foldedLetters(q.containing);
          q.enumeration =
              parseEnumeration(std::to_string(word.size()) + "," +
                               std::to_string(std::max<int>(1, static_cast<int>(foldedLetters(q.letters).size() + 0) -
                                                                   static_cast<int>(word.size()))));
          q.letters = foldedLetters(q.letters);
          if (q.enumeration->totalLength() != static_cast<int>(q.letters.size())) continue;
        }
      }
      if (checkPhraseQuery(q) != PhraseQueryError::None) continue;
      const int mode = trial % 2 == 0 ? kSuppress : kIndependent;
      const auto expected = oracle(dictionaries, q, mode);
      const auto got = run(*list, q, mode, 0, 40, &random);
      phrases += static_cast<int>(expected.size());
      EXPECT_EQ(got, expected) << "letters '" << q.letters << "' words " << q.minWords << "-" << q.maxWords
                               << " shortest " << q.shortest << " enumeration "
                               << (q.enumeration ? std::to_string(q.enumeration->totalLength()) : "none")
                               << " containing '" << q.containing << "' round " << round << " words "
                               << ::testing::PrintToString(dictionaries);
    }
  }
  // The rounds found something to compare.
  EXPECT_GT(phrases, 200);
}

TEST_F(PhraseAnagramTest, DictionaryModes) {
  const std::vector<Words> dictionaries = {{"tom", "old", "west"}, {"Tom", "mot", "old", "west", "lows", "ted"}};
  const auto list = open(dictionaries);
  PhraseAnagramQuery q;
  q.letters = "oldwest";
  q.minWords = 2;
  q.maxWords = 2;
  // "old west" comes from the first dictionary only; "ted lows" from the second.
  EXPECT_EQ(run(*list, q, kSuppress), (std::multiset<std::string>{"old west", "lows ted"}));
  EXPECT_EQ(run(*list, q, kIndependent), (std::multiset<std::string>{"old west", "old west", "lows ted"}));
  EXPECT_EQ(run(*list, q, kActiveOnly, 1), (std::multiset<std::string>{"old west", "lows ted"}));
  EXPECT_EQ(run(*list, q, kActiveOnly, 0), (std::multiset<std::string>{"old west"}));
  // Entries are compared as the results lists compare them, blind to case:
  // "Tom Tom" is "tom tom" again, but the first dictionary has no "mot".
  q.letters = "tommot";
  EXPECT_EQ(run(*list, q, kSuppress), (std::multiset<std::string>{"tom tom", "mot mot", "mot Tom"}));
  EXPECT_EQ(run(*list, q, kSuppress), oracle(dictionaries, q, kSuppress));
}

// A dictionary whose list of three-letter words breaks off: the phrases
// found are not all, and the search says which dictionary and why.
TEST_F(PhraseAnagramTest, ADamagedListIsReportedNotPassedOver) {
  test::KkdAssembler a(1, 4);
  a.assignOwnValueCodes(std::string("\0\n", 2) + "abcdefghijklmnopqrstuvwxyz");
  a.addList(3, {"dog", "god", "odg", "gdo"});
  // The list stops inside its third record, where its table of definition
  // groups follows: bytes that are codes of no symbol.
  a.body.resize(a.body.size() - 4);
  a.addGroupTable(3, 1);
  const std::string path = dir_.file("broken.kkd");
  test::writeFile(path, a.bytes());
  const auto whole = open({{"act", "cat", "tac"}});
  const auto list = DictionaryList::make(whole->path(0) + ";" + path);
  ASSERT_TRUE(list->isUsable(1)) << list->dictionary(1)->problem();
  PhraseAnagramQuery query;
  query.letters = "dgo";
  PhraseAnagramSearch search(*list, query, kIndependent, 0);
  PhraseBatch batch;
  while (search.step(1 << 20, batch) != PhraseAnagramSearch::Step::Finished) {
  }
  EXPECT_EQ(search.problem(), ListProblem::Damaged);
  EXPECT_EQ(search.incompleteDictionary(), 1);
  // A whole dictionary has no such problem.
  query.letters = "act";
  PhraseAnagramSearch sound(*list, query, kActiveOnly, 0);
  while (sound.step(1 << 20, batch) != PhraseAnagramSearch::Step::Finished) {
  }
  EXPECT_EQ(sound.problem(), ListProblem::None);
  EXPECT_EQ(sound.incompleteDictionary(), -1);
}

// Holding only the best phrases must list exactly the head of the full
// ranking: ties in found order, unranked phrases last, whatever the number
// kept and however often the worse half was dropped.
TEST(RankedPhrases, TheBestKeptAreTheHeadOfTheWholeRanking) {
  std::mt19937 random(7);
  std::vector<std::pair<std::string, PhraseRank>> all;
  for (int i = 0; i < 1000; ++i) {
    const int rank = static_cast<int>(random() % 12) - 1;  // -1: no rank
    all.push_back({"phrase " + std::to_string(i) + std::string(random() % 20, 'x'), {i % 101, rank}});
  }
  std::vector<std::string> expected;
  std::vector<int> expectedScores;
  {
    auto sorted = all;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.second.rank > b.second.rank; });
    for (const auto& [text, rank] : sorted) {
      expected.push_back(text);
      expectedScores.push_back(rank.score);
    }
  }
  for (const std::size_t keep : {std::size_t{1}, std::size_t{7}, std::size_t{100}, std::size_t{999}, std::size_t{5000}}) {
    RankedPhrases ranked(keep);
    for (const auto& [text, rank] : all) ranked.add(text, rank);
    ranked.sort();
    EXPECT_EQ(ranked.found(), all.size());
    ASSERT_EQ(ranked.size(), std::min(keep, all.size())) << keep;
    for (std::size_t i = 0; i < ranked.size(); ++i) {
      ASSERT_EQ(ranked.phrase(i), expected[i]) << "keep " << keep << ", place " << i;
      EXPECT_EQ(ranked.score(i), expectedScores[i]);
    }
  }
}

}  // namespace
}  // namespace kea
