#include "ReferenceMatcher.h"

#include <algorithm>
#include <bitset>
#include <map>
#include <sstream>

namespace kea::test {

namespace {

constexpr int kUnbound = -1;
using Bindings = std::array<int, 10>;

struct Pat;

struct Elem {
  enum Kind { Letter, MatchAll, Variable, Choice, Wildcard, Sub, EscLetter, Punct, EndOfWord };
  explicit Elem(Kind k) : kind(k) {}
  Kind kind;
  int letter = 0, variable = 0;
  std::vector<bool> set;  // Choice: membership by alphabet index (negation applied)
  std::shared_ptr<Pat> sub;
  unsigned char raw = 0;
  bool last = false;  // Wildcard or variable-length Sub: the template's last such element
};

struct Comp {
  enum Kind { SubPattern, ChoiceSet, Variables, Letters };
  explicit Comp(Kind k, int pool = 0, int count = 0) : kind(k), pool(pool), count(count) {}
  Kind kind;
  int pool, count;
  bool last = false;
  std::array<int, 10> variables{};
  std::map<int, int> letters;
};

struct Pat {
  std::vector<Elem> elems;
  bool hasAnagram = false;
  int anagramLength = 0;
  std::vector<Comp> comps;
  int fixed = 0, extra = 0;
  std::string key;  // identity for the pool
};

struct PoolEntry {
  std::string key;
  std::shared_ptr<Pat> pattern;  // or a choice set
  std::vector<bool> set;
};

}  // namespace

struct ReferencePattern::Tree {
  const Alphabet* alphabet = nullptr;
  ReferenceOptions options;
  std::vector<PoolEntry> pool;
  std::shared_ptr<Pat> top;
  std::array<bool, 256> significant{};  // punctuation the pattern names
  bool anySignificant = false;
  bool sensitive = false;
  int letterCount = 0;
};

namespace {

// ---------------------------------------------------------------- parsing

class Parser {
 public:
  Parser(ReferencePattern::Tree& tree, std::string_view text) : tree_(tree), text_(text) { text_ += ')'; }

  std::shared_ptr<Pat> pattern() {
    auto pat = std::make_shared<Pat>();
    if (peek() != ';' && peek() != ')') templ(*pat);
    // A wildcard's extra length stands for "any"; sub-pattern extras add to
    // it, and only the sum's relation to 0 and to 15000 matters.
    int templateFixed = 0;
    int templateExtra = 0;
    bool wildcard = false;
    for (const Elem& e : pat->elems) {
      if (e.kind == Elem::Sub) {
        templateFixed += e.sub->fixed;
        templateExtra += e.sub->extra;
      } else if (e.kind == Elem::Wildcard) {
        wildcard = true;
      } else if (e.kind != Elem::Punct) {
        ++templateFixed;  // one letter's place
      }
    }
    if (wildcard) templateExtra += 15000;
    int anagramExtra = 0;
    if (peek() == ';') {
      ++pos_;
      pat->hasAnagram = true;
      anagram(*pat, anagramExtra, templateExtra > 0);
    }
    ++pos_;  // the closing ")"
    pat->fixed = templateFixed;
    pat->extra = templateExtra;
    if (pat->hasAnagram) {
      if (templateFixed == 0 && templateExtra == 0) {
        pat->fixed = pat->anagramLength;
        pat->extra = anagramExtra;
      } else if (templateExtra > 0 && anagramExtra < 15000 && templateFixed < pat->anagramLength + anagramExtra) {
        pat->extra = pat->anagramLength + anagramExtra - templateFixed;
      }
    }
    // The last variable-length element of the template.
    const auto last = std::find_if(pat->elems.rbegin(), pat->elems.rend(), [](const Elem& e) {
      return e.kind == Elem::Wildcard || (e.kind == Elem::Sub && e.sub->extra > 0);
    });
    if (last != pat->elems.rend()) last->last = true;
    pat->key = describe(*pat);
    return pat;
  }

 private:
  ReferencePattern::Tree& tree_;
  std::string text_;
  std::size_t pos_ = 0;

  char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
  int indexOf(char c) const {
    const std::uint8_t index = tree_.alphabet->alphabetIndexOf(static_cast<std::uint8_t>(c));
    return index == 255 ? -1 : index;
  }

  // A choice list from just after its "[", as membership by alphabet index.
  std::vector<bool> choice() {
    const bool negated = peek() == '^';
    if (negated) ++pos_;
    std::vector<bool> listed(256, false);
    while (peek() != ']') {
      if (peek() == '\\') ++pos_;
      listed[indexOf(text_[pos_++])] = true;
    }
    ++pos_;
    if (negated) listed.flip();
    return listed;
  }

  void templ(Pat& pat) {
    while (peek() != ';' && peek() != ')') {
      const char c = text_[pos_++];
      Elem e{Elem::Letter};
      if (c == '(') {
        e.kind = Elem::Sub;
        e.sub = pattern();
      } else if (c == '*') {
        e.kind = Elem::Wildcard;
      } else if (c == '[') {
        e.kind = Elem::Choice;
        e.set = choice();
      } else if (c >= '0' && c <= '9') {
        e.kind = Elem::Variable;
        e.variable = c - '0';
      } else if (c == '.' || c == '?') {
        e.kind = Elem::MatchAll;
      } else if (c == '\\') {
        e.raw = static_cast<unsigned char>(text_[pos_++]);
        const int index = indexOf(static_cast<char>(e.raw));
        e.kind = index >= 0 ? Elem::EscLetter : Elem::Punct;
        e.letter = std::max(index, 0);
        tree_.sensitive = tree_.sensitive || index >= 0;
      } else if (indexOf(c) >= 0) {
        e.letter = indexOf(c);
      } else {
        e.kind = Elem::Punct;
        e.raw = static_cast<unsigned char>(c);
      }
      if (e.kind == Elem::Punct) tree_.significant[e.raw] = true;
      pat.elems.push_back(std::move(e));
    }
  }

  int addToPool(const std::string& key, std::shared_ptr<Pat> pattern, std::vector<bool> set) {
    for (std::size_t i = 0; i < tree_.pool.size(); ++i) {
      if (tree_.pool[i].key == key) return static_cast<int>(i);
    }
    tree_.pool.push_back({key, std::move(pattern), std::move(set)});
    return static_cast<int>(tree_.pool.size()) - 1;
  }

  void anagram(Pat& pat, int& extra, bool templateHasExtra) {
    const std::size_t start = pos_;
    std::map<int, int> subs;                   // pool index -> occurrences
    std::map<int, int> choices;                // pool index -> occurrences
    std::map<std::size_t, std::size_t> spans;  // where each sub-pattern starts -> after its end

    // Sub-patterns, in text order; each fills the pool with its own entries first.
    std::size_t i = start;
    while (text_[i] != ')') {
      if (text_[i] == '\\') {
        i += 2;
      } else if (text_[i] == '(') {
        pos_ = i + 1;
        std::shared_ptr<Pat> sub = pattern();
        ++subs[addToPool("P" + sub->key, sub, {})];
        pat.anagramLength += sub->fixed;
        extra += sub->extra;
        spans[i] = pos_;
        i = pos_;
      } else {
        ++i;
      }
    }
    const std::size_t end = i;
    // Then choice lists, letters, match-alls, variables and "*".
    Comp variables{Comp::Variables};
    Comp letters{Comp::Letters};
    bool anyVariable = false;
    bool wildcard = false;
    for (i = start; i < end;) {
      if (const auto span = spans.find(i); span != spans.end()) {
        i = span->second;
      } else if (text_[i] == '[') {
        pos_ = i + 1;
        const std::vector<bool> set = choice();
        std::string key = "C";
        for (const bool member : set) key += member ? '1' : '0';
        ++choices[addToPool(key, nullptr, set)];
        ++pat.anagramLength;
        i = pos_;
      } else if (const char c = text_[i++]; c >= '0' && c <= '9') {
        ++variables.variables[c - '0'];
        anyVariable = true;
        ++pat.anagramLength;
      } else if (c == '*') {
        wildcard = true;
        extra = 15000;
      } else if (c == '.' || c == '?') {
        ++pat.anagramLength;
      } else if (c != ' ') {
        ++letters.letters[indexOf(c == '\\' ? text_[i++] : c)];
        ++pat.anagramLength;
      }
    }
    pos_ = end;

    int lastVariableSub = -1;
    for (const auto& [index, count] : subs) {
      if (tree_.pool[index].pattern->extra > 0) lastVariableSub = static_cast<int>(pat.comps.size());
      pat.comps.emplace_back(Comp::SubPattern, index, count);
    }
    if (lastVariableSub >= 0 && !wildcard && !templateHasExtra) pat.comps[lastVariableSub].last = true;
    for (const auto& [index, count] : choices) pat.comps.emplace_back(Comp::ChoiceSet, index, count);
    if (anyVariable) pat.comps.push_back(variables);
    if (!letters.letters.empty()) pat.comps.push_back(letters);
  }

  // A readable identity of a pattern tree: two patterns with the same
  // identity compile to the same program.
  static std::string describe(const Pat& pat) {
    std::ostringstream out;
    out << '{' << pat.fixed << ',' << std::min(pat.extra, 101) << ':';
    for (const Elem& e : pat.elems) {
      out << e.kind << '/' << e.letter << '/' << e.variable << '/' << int(e.raw) << '/' << e.last << '/';
      for (std::size_t x = 0; x < e.set.size(); ++x) {
        if (e.set[x]) out << x << ',';
      }
      out << (e.sub ? e.sub->key : "") << ';';
    }
    if (pat.hasAnagram) {
      out << '|' << pat.anagramLength << ':';
      for (const Comp& c : pat.comps) {
        out << c.kind << '/' << c.pool << '/' << c.count << '/' << c.last << '/';
        for (int v : c.variables) out << v << ',';
        for (const auto& [x, n] : c.letters) out << x << 'x' << n << ',';
        out << ';';
      }
    }
    out << '}';
    return out.str();
  }
};

// ---------------------------------------------------------------- matching

struct Word {
  std::vector<int> key;
  std::string plane;        // significant characters
  std::vector<int> counts;  // significant punctuation before each letter, and the total
};

struct Result {
  Bindings bindings;
  int k;
};

class Matcher {
 public:
  Matcher(const ReferencePattern::Tree& tree, const Word& word) : tree_(tree), word_(word) {}

  int balances = 0;
  std::vector<int> balance;

  std::optional<Result> pattern(const Pat& pat, int p, int k, int slack, int length, Bindings b) {
    std::optional<Result> t = templ(pat.elems, 0, p, k, slack, b);
    if (!t || !pat.hasAnagram) return t;
    std::vector<bool> claimed(word_.key.size() + 1, false);
    std::optional<Bindings> a = comps(pat, 0, 0, p, length, length - pat.anagramLength, t->bindings, claimed);
    if (!a) return std::nullopt;
    ++balances;
    balance.assign(256, 0);
    if (!pat.comps.empty() && pat.comps[0].kind == Comp::Letters) {
      for (int i = 0; i < length; ++i) ++balance[word_.key[p + i]];
      for (const auto& [x, n] : pat.comps[0].letters) balance[x] -= n;
    }
    return Result{*a, t->k};
  }

 private:
  const ReferencePattern::Tree& tree_;
  const Word& word_;

  int count(int letter) const { return tree_.sensitive ? word_.counts[letter] : 0; }
  unsigned char at(int index) const {
    return index >= 0 && index < static_cast<int>(word_.plane.size()) ? static_cast<unsigned char>(word_.plane[index]) : 0;
  }
  bool aligned(int p, int k) const { return !tree_.sensitive || word_.counts[p] == k; }
  int letter(int p) const { return word_.key[p]; }
  // `r` starts at the word's length less the anagram's: each element that
  // finds no letter of the word adds to it, and above 0 the anagram fails.
  static bool spend(int& r, int n) {
    r += n;
    return r <= 0;
  }

  bool bind(Bindings& b, int v, int x) const {
    if (b[v] != kUnbound) return b[v] == x;
    if (tree_.options.variablesExclusive && std::find(b.begin(), b.end(), x) != b.end()) return false;
    b[v] = x;
    return true;
  }

  // The first way the template elements from i on match, in the order of
  // the matching rules.
  std::optional<Result> templ(const std::vector<Elem>& elems, std::size_t i, int p, int k, int s, Bindings b) {
    if (i == elems.size()) return Result{b, k};
    const Elem& e = elems[i];
    switch (e.kind) {
      case Elem::EscLetter:
        if (at(p + k) != e.raw) return std::nullopt;
        [[fallthrough]];
      case Elem::Letter:
        if (!aligned(p, k) || letter(p) != e.letter) return std::nullopt;
        return templ(elems, i + 1, p + 1, k, s, b);
      case Elem::MatchAll:
        if (!aligned(p, k)) return std::nullopt;
        return templ(elems, i + 1, p + 1, k, s, b);
      case Elem::Variable:
        if (!aligned(p, k) || !bind(b, e.variable, letter(p))) return std::nullopt;
        return templ(elems, i + 1, p + 1, k, s, b);
      case Elem::Choice:
        if (!aligned(p, k) || !e.set[letter(p)]) return std::nullopt;
        return templ(elems, i + 1, p + 1, k, s, b);
      case Elem::Punct:
        if (at(p + k) != e.raw) return std::nullopt;
        return templ(elems, i + 1, p, k + 1, s, b);
      case Elem::EndOfWord:
        if (at(p + k) != 0) return std::nullopt;
        return templ(elems, i + 1, p, k + 1, s, b);
      case Elem::Wildcard:
        if (e.last) {
          for (int kq = k; kq <= count(p + s); ++kq) {
            if (auto r = templ(elems, i + 1, p + s, kq, 0, b)) return r;
          }
          return std::nullopt;
        }
        for (int t = 0, lowest = k; t <= s; ++t) {
          for (int kq = lowest; kq <= count(p + t); ++kq) {
            if (auto r = templ(elems, i + 1, p + t, kq, s - t, b)) return r;
          }
          lowest = std::max(lowest, count(p + t));
        }
        return std::nullopt;
      case Elem::Sub: {
        const Pat& sub = *e.sub;
        const int extra = std::min(sub.extra, 101);
        if (sub.extra == 0) {
          auto r = pattern(sub, p, k, 0, sub.fixed, b);
          if (!r) return std::nullopt;
          return templ(elems, i + 1, p + sub.fixed, r->k, s, r->bindings);
        }
        if (e.last) {
          if (extra < s) return std::nullopt;
          auto r = pattern(sub, p, k, s, sub.fixed + s, b);
          if (!r) return std::nullopt;
          return templ(elems, i + 1, p + sub.fixed + s, r->k, 0, r->bindings);
        }
        for (int u = 0; u <= extra && u <= s; ++u) {
          auto r = pattern(sub, p, k, u, sub.fixed + u, b);
          if (!r) continue;
          if (auto rest = templ(elems, i + 1, p + sub.fixed + u, r->k, s - u, r->bindings)) return rest;
        }
        return std::nullopt;
      }
    }
    return std::nullopt;
  }

  // Anagram components from ci on; occurrence `occ` of a sub-pattern component.
  std::optional<Bindings> comps(const Pat& pat, std::size_t ci, int occ, int p0, int n, int r, Bindings b,
                                std::vector<bool> claimed) {
    if (ci == pat.comps.size()) return b;
    const Comp& c = pat.comps[ci];
    if (c.kind != Comp::SubPattern) {
      std::vector<int> counts(256, 0);
      for (int i = 0; i < n; ++i) {
        if (!claimed[p0 + i]) ++counts[letter(p0 + i)];
      }
      return others(pat, ci, r, b, counts);
    }
    if (occ == c.count) return comps(pat, ci + 1, 0, p0, n, r, b, claimed);
    const Pat& sub = *tree_.pool[c.pool].pattern;
    const int f = sub.fixed;
    const int e = std::min(sub.extra, 101);
    std::vector<int> extras;
    if (c.last && c.count == 1) {
      if (r < 0 || r > e) {
        if (f + e > 0 && !spend(r, f + e)) return std::nullopt;
        return comps(pat, ci, occ + 1, p0, n, r, b, claimed);
      }
      extras.push_back(r);
    } else {
      for (int u = std::min(e, n - f); u >= 0; --u) extras.push_back(u);
    }
    for (const int u : extras) {
      const int w = f + u;
      for (int start = n - w; start >= 0; --start) {
        bool free = true;
        for (int i = 0; i < w; ++i) free = free && !claimed[p0 + start + i];
        if (!free) continue;
        auto inner = pattern(sub, p0 + start, count(p0 + start), u, w, b);
        if (!inner) continue;
        std::vector<bool> taken = claimed;
        for (int i = 0; i < w; ++i) taken[p0 + start + i] = true;
        if (auto done = comps(pat, ci, occ + 1, p0, n, r - u, inner->bindings, taken)) return done;
      }
    }
    if (f > 0 && !spend(r, f)) return std::nullopt;
    return comps(pat, ci, occ + 1, p0, n, r, b, claimed);
  }

  // Choice, variable and letter components, taking letters from counts.
  std::optional<Bindings> others(const Pat& pat, std::size_t ci, int r, Bindings b, std::vector<int> counts) {
    if (ci == pat.comps.size()) return b;
    const Comp& c = pat.comps[ci];
    switch (c.kind) {
      case Comp::ChoiceSet:
        return picks(pat, ci, c.count, tree_.letterCount - 1, r, b, counts);
      case Comp::Variables: {
        for (int v = 0; v < 10; ++v) {
          const int want = c.variables[v];
          const int x = b[v];
          if (want == 0 || x == kUnbound) continue;
          const int take = std::min(want, counts[x]);
          counts[x] -= take;
          if (want > take && !spend(r, want - take)) return std::nullopt;
        }
        return assign(pat, ci, 0, r, b, counts);
      }
      case Comp::Letters:
        for (const auto& [x, want] : c.letters) {
          if (want > counts[x] && !spend(r, want - counts[x])) return std::nullopt;
        }
        return b;
      case Comp::SubPattern:
        break;
    }
    return std::nullopt;
  }

  std::optional<Bindings> picks(const Pat& pat, std::size_t ci, int remaining, int highest, int r, Bindings b,
                                std::vector<int> counts) {
    if (remaining == 0) return others(pat, ci + 1, r, b, counts);
    const std::vector<bool>& set = tree_.pool[pat.comps[ci].pool].set;
    bool available = false;
    for (int x = highest; x >= 0; --x) {
      if (!set[x] || counts[x] == 0) continue;
      available = true;
      std::vector<int> fewer = counts;
      --fewer[x];
      if (auto done = picks(pat, ci, remaining - 1, x, r, b, fewer)) return done;
    }
    if (available || !spend(r, remaining)) return std::nullopt;
    return others(pat, ci + 1, r, b, counts);
  }

  std::optional<Bindings> assign(const Pat& pat, std::size_t ci, int v, int r, Bindings b, std::vector<int> counts) {
    const Comp& c = pat.comps[ci];
    while (v < 10 && (c.variables[v] == 0 || b[v] != kUnbound)) ++v;
    if (v == 10) return others(pat, ci + 1, r, b, counts);
    const int want = c.variables[v];
    for (int x = 0; x < tree_.letterCount; ++x) {
      if (counts[x] == 0) continue;
      Bindings tried = b;
      if (!bind(tried, v, x)) continue;
      const int take = std::min(want, counts[x]);
      if (want > take && r + (want - take) > 0) continue;
      std::vector<int> fewer = counts;
      fewer[x] -= take;
      if (auto done = assign(pat, ci, v + 1, r + (want - take), tried, fewer)) return done;
    }
    if (!spend(r, want)) return std::nullopt;
    return assign(pat, ci, v + 1, r, b, counts);
  }
};

// The word's matching form: key, significant plane and punctuation counts.
Word makeWord(const ReferencePattern::Tree& tree, std::string_view raw) {
  Word word;
  for (const char c : raw) {
    const std::uint8_t index = tree.alphabet->alphabetIndexOf(static_cast<std::uint8_t>(c));
    if (index != 255) word.key.push_back(index);
  }
  const std::size_t length = word.key.size();
  std::size_t letters = 0;
  int punctuation = 0;
  for (const char c : raw) {
    const auto byte = static_cast<unsigned char>(c);
    if (tree.alphabet->alphabetIndexOf(byte) != 255) {
      word.plane += c;
      word.counts.push_back(punctuation);
      ++letters;
    } else if (letters == length && c == ' ') {
      break;
    } else if (tree.significant[byte] || (!tree.options.ignoreUnusedPunctuation && tree.anySignificant)) {
      word.plane += c;
      ++punctuation;
    }
  }
  word.counts.push_back(punctuation);
  return word;
}

// The outermost template loses its spaces at either end, and a pattern
// with punctuation must leave no significant punctuation after its last
// element.
void finishTop(ReferencePattern::Tree& tree) {
  for (const bool s : tree.significant) tree.anySignificant = tree.anySignificant || s;
  tree.sensitive = tree.sensitive || tree.anySignificant;
  std::vector<Elem>& elems = tree.top->elems;
  const auto isSpace = [](const Elem& e) { return e.kind == Elem::Punct && e.raw == ' '; };
  while (!elems.empty() && isSpace(elems.front())) elems.erase(elems.begin());
  while (!elems.empty() && isSpace(elems.back())) elems.pop_back();
  if (tree.anySignificant && !elems.empty()) elems.push_back(Elem{Elem::EndOfWord});
}

std::string balanceText(const ReferencePattern::Tree& tree, const std::vector<int>& balance) {
  std::string text;
  for (const int sign : {-1, 1}) {
    bool any = false;
    for (std::size_t x = 0; x < balance.size(); ++x) {
      const int n = balance[x] * sign;
      if (n <= 0) continue;
      if (!any) text += sign < 0 ? '-' : '+';
      any = true;
      text.append(n, static_cast<char>(tree.alphabet->canonicalCharOf(static_cast<std::uint8_t>(x))));
    }
  }
  return text;
}

}  // namespace

ReferencePattern::ReferencePattern(std::string_view text, const Alphabet& alphabet, ReferenceOptions options)
    : tree_(std::make_unique<Tree>()) {
  tree_->alphabet = &alphabet;
  tree_->options = options;
  tree_->letterCount = alphabet.letterCount;
  Parser parser(*tree_, text);
  tree_->top = parser.pattern();
  finishTop(*tree_);
}

ReferencePattern::~ReferencePattern() = default;

int ReferencePattern::fixedLength() const { return tree_->top->fixed; }
int ReferencePattern::longestLength() const { return std::min(tree_->top->fixed + tree_->top->extra, 101); }

bool ReferencePattern::matches(std::string_view raw, std::string* balance) const {
  if (balance != nullptr) balance->clear();
  const Word word = makeWord(*tree_, raw);
  const int length = static_cast<int>(word.key.size());
  if (length < 1 || length > 100 || length < fixedLength() || length > longestLength()) return false;
  Matcher matcher(*tree_, word);
  Bindings unbound;
  unbound.fill(kUnbound);
  const bool matched = matcher.pattern(*tree_->top, 0, 0, length - fixedLength(), length, unbound).has_value();
  if (matched && balance != nullptr && matcher.balances == 1) *balance = balanceText(*tree_, matcher.balance);
  return matched;
}

namespace {

using Lengths = std::bitset<101>;  // bit n: words of n letters

// The lengths each pattern's own range allows, combined as the line
// combines its patterns; negation is disregarded.
Lengths possible(const LineNode& node, const Alphabet& alphabet, ReferenceOptions options) {
  if (node.kind != LineNode::Leaf) {
    const Lengths left = possible(*node.left, alphabet, options);
    const Lengths right = possible(*node.right, alphabet, options);
    return node.kind == LineNode::And ? left & right : left | right;
  }
  const ReferencePattern pattern(node.pattern, alphabet, options);
  Lengths lengths;
  for (int n = std::max(1, pattern.fixedLength()); n <= std::min(100, pattern.longestLength()); ++n) lengths.set(n);
  return lengths;
}

bool value(const LineNode& node, std::string_view word, const Alphabet& alphabet, ReferenceOptions options) {
  bool result;
  if (node.kind == LineNode::Leaf) {
    result = ReferencePattern(node.pattern, alphabet, options).matches(word);
  } else {
    const bool left = value(*node.left, word, alphabet, options);
    const bool right = value(*node.right, word, alphabet, options);
    result = node.kind == LineNode::And ? left && right : left || right;
  }
  return node.negated ? !result : result;
}

}  // namespace

bool referenceLineMatches(const LineNode& line, std::string_view word, const Alphabet& alphabet,
                          ReferenceOptions options) {
  int length = 0;
  for (const char c : word) length += alphabet.alphabetIndexOf(static_cast<std::uint8_t>(c)) != 255 ? 1 : 0;
  // The search visits every length from the first to the last one that
  // the line can match.
  const Lengths lengths = possible(line, alphabet, options);
  int first = 1;
  int last = 100;
  while (first <= 100 && !lengths[first]) ++first;
  while (last >= 1 && !lengths[last]) --last;
  if (length < first || length > last) return false;
  return value(line, word, alphabet, options);
}

}  // namespace kea::test
