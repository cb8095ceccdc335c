#include "MeaningLists.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <ostream>
#include <sstream>

#include "Commonness.h"
#include "meaning/MeaningTerms.h"
#include "platform/Cp1252.h"

namespace kea::prepare {

namespace {

// How much each kind of related word counts (see MeaningLists.h).
constexpr double kDefinition = 1.0;
constexpr double kExample = 0.3;
constexpr double kSynonym = 1.0;
constexpr double kSenseRank = 0.5;
constexpr double kSecondHypernym = 0.3;

struct Relation {
  const char* symbols[7];
  double lemmas;
  double definition;
};

// Hypernyms come first: their own hypernyms are followed too.
constexpr Relation kRelations[] = {
    {{"@", "@i"}, 0.7, 0.35},
    {{"~", "~i"}, 0.2, 0.0},
    {{"&", "^", "=", "$", "*", ">"}, 0.6, 0.3},
    {{"+", "\\", "<"}, 0.6, 0.3},
    {{"#m", "#s", "#p", "%m", "%s", "%p"}, 0.3, 0.0},
    {{";c", ";r", ";u", "-c", "-r", "-u"}, 0.3, 0.0},
};

const Relation* relationOf(const std::string& symbol) {
  for (const Relation& relation : kRelations) {
    for (const char* s : relation.symbols) {
      if (s != nullptr && symbol == s) return &relation;
    }
  }
  return nullptr;
}

bool isHypernym(const std::string& symbol) { return symbol == "@" || symbol == "@i"; }

std::string libraryText(std::string_view utf8) {
  if (auto text = platform::utf8ToCp1252(utf8)) return std::move(*text);
  // A gloss Windows-1252 cannot hold keeps its ASCII words.
  std::string ascii;
  for (const char c : utf8) ascii += static_cast<unsigned char>(c) < 0x80 ? c : ' ';
  return ascii;
}

int typeIndex(char type) {
  switch (type) {
    case 'n': return 0;
    case 'v': return 1;
    case 'a':
    case 's': return 2;
    default: return 3;
  }
}

std::string formatWeight(double weight) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.3f", weight);
  std::string text(buffer);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

}  // namespace

std::uint64_t MeaningLists::synsetKey(char type, long offset) {
  return static_cast<std::uint64_t>(typeIndex(type)) << 40 | static_cast<std::uint64_t>(offset);
}

const MeaningLists::Synset* MeaningLists::find(char type, long offset) const {
  const auto it = synsets_.find(synsetKey(type, offset));
  return it == synsets_.end() ? nullptr : &it->second;
}

void MeaningLists::addSynset(const WordNetSynset& synset) {
  Synset& s = synsets_[synsetKey(synset.type, synset.offset)];
  s.lemmas.clear();
  for (const std::string& lemma : synset.lemmas) s.lemmas.push_back(WordNetMorphology::key(lemma));
  // The gloss is the definition, then examples in quotes: `text; "an example"`.
  const std::string gloss = libraryText(synset.gloss);
  const std::size_t quote = gloss.find("; \"");
  s.definition = gloss.substr(0, quote);
  s.examples = quote == std::string::npos ? std::string() : gloss.substr(quote + 2);
  s.pointers = synset.pointers;
}

void MeaningLists::addIndexLine(std::string_view line) {
  if (line.empty() || line.front() == ' ') return;  // the licence at the top
  std::istringstream in{std::string(line)};
  std::string lemma, type, synsetCount, pointerCount, skip;
  if (!(in >> lemma >> type >> synsetCount >> pointerCount) || type.size() != 1) return;
  int count = 0, pointers = 0;
  std::from_chars(synsetCount.data(), synsetCount.data() + synsetCount.size(), count);
  std::from_chars(pointerCount.data(), pointerCount.data() + pointerCount.size(), pointers);
  for (int i = 0; i < pointers + 2 && in >> skip; ++i) {
  }
  std::vector<std::uint64_t>& senses = senses_[WordNetMorphology::key(lemma)];
  std::string offset;
  for (int i = 0; i < count && in >> offset; ++i) {
    long value = -1;
    const auto [end, problem] = std::from_chars(offset.data(), offset.data() + offset.size(), value);
    if (problem == std::errc() && value >= 0) senses.push_back(synsetKey(type[0], value));
  }
}

bool MeaningLists::load(const std::string& folder, std::string& error) {
  if (!morphology_.load(folder, error)) return false;
  std::string bytes, line;
  for (const char* pos : {"noun", "verb", "adj", "adv"}) {
    if (!readWordNetFile(folder, std::string("data.") + pos, bytes, error)) return false;
    std::istringstream data(bytes);
    WordNetSynset synset;
    while (std::getline(data, line)) {
      if (parseWordNetLine(line, synset) == WordNetLineKind::kSynset) addSynset(synset);
    }
    if (!readWordNetFile(folder, std::string("index.") + pos, bytes, error)) return false;
    std::istringstream index(bytes);
    while (std::getline(index, line)) addIndexLine(line);
  }
  return true;
}

void MeaningLists::describe(const std::string& lemma, std::unordered_map<std::string, double>& words) const {
  MeaningWords splitter;
  const auto add = [&](std::string_view text, double weight) {
    if (weight <= 0) return;
    splitter.forEach(text, [&](std::string_view, std::string_view word) { words[std::string(word)] += weight; });
  };
  const auto it = senses_.find(lemma);
  if (it == senses_.end()) return;
  for (std::size_t rank = 0; rank < it->second.size(); ++rank) {
    const auto found = synsets_.find(it->second[rank]);
    if (found == synsets_.end()) continue;
    const Synset& synset = found->second;
    const double sense = 1.0 / (1.0 + kSenseRank * static_cast<double>(rank));
    add(synset.definition, kDefinition * sense);
    add(synset.examples, kExample * sense);
    std::vector<int> numbers;  // this lemma's places in the synset, from 1
    for (std::size_t i = 0; i < synset.lemmas.size(); ++i) {
      if (synset.lemmas[i] == lemma) {
        numbers.push_back(static_cast<int>(i + 1));
      } else {
        add(synset.lemmas[i], kSynonym * sense);
      }
    }
    for (const WordNetPointer& pointer : synset.pointers) {
      const Relation* relation = relationOf(pointer.symbol);
      if (relation == nullptr) continue;
      if (pointer.source != 0 && std::find(numbers.begin(), numbers.end(), pointer.source) == numbers.end()) continue;
      const Synset* target = find(pointer.type, pointer.offset);
      if (target == nullptr) continue;
      if (pointer.target == 0) {
        for (const std::string& word : target->lemmas) add(word, relation->lemmas * sense);
      } else if (static_cast<std::size_t>(pointer.target) <= target->lemmas.size()) {
        add(target->lemmas[static_cast<std::size_t>(pointer.target - 1)], relation->lemmas * sense);
      }
      add(target->definition, relation->definition * sense);
      if (!isHypernym(pointer.symbol)) continue;
      for (const WordNetPointer& next : target->pointers) {
        if (!isHypernym(next.symbol)) continue;
        if (const Synset* second = find(next.type, next.offset)) {
          for (const std::string& word : second->lemmas) add(word, kSecondHypernym * sense);
        }
      }
    }
  }
}

std::size_t MeaningLists::write(std::ostream& out, const std::vector<std::string>& headwords) const {
  // Each lemma's forms among the headwords, in a fixed order.
  std::map<std::string, std::vector<std::string>> forms;
  for (const std::string& headword : headwords) {
    if (headword.find_first_of("|\t\n\r") != std::string::npos) continue;
    for (const std::string& base : morphology_.baseForms(Commonness::modelKey(headword))) {
      if (senses_.count(base) != 0) forms[base].push_back(headword);
    }
  }
  std::size_t count = 0;
  std::string line;
  std::unordered_map<std::string, double> words;
  for (auto& [lemma, list] : forms) {
    words.clear();
    describe(lemma, words);
    if (words.empty()) continue;
    std::sort(list.begin(), list.end());
    line.clear();
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (i > 0) line += '|';
      line += list[i];
    }
    line += '\t';
    std::vector<std::pair<std::string, double>> sorted(words.begin(), words.end());
    std::sort(sorted.begin(), sorted.end());
    bool first = true;
    for (const auto& [word, weight] : sorted) {
      const std::string text = formatWeight(weight);
      if (text == "0") continue;
      if (!first) line += ' ';
      first = false;
      line += word;
      line += ':';
      line += text;
    }
    out << line << '\n';
    ++count;
  }
  return count;
}

}  // namespace kea::prepare
