#include "DictionaryPreparer.h"

#include <algorithm>
#include <istream>
#include <ostream>

#include "WordNetData.h"

namespace kea::prepare {

DictionaryPreparer::DictionaryPreparer(const AlphabetTable& alphabet) : alphabet_(alphabet) {}

void DictionaryPreparer::addWordNet(std::istream& in, SourceReport& report) {
  std::string line;
  std::string problem;
  WordNetSynset synset;
  std::vector<std::string> headwords;
  while (std::getline(in, line)) {
    const WordNetLineKind kind = parseWordNetLine(line, synset, &problem);
    if (kind == WordNetLineKind::kSkipped) continue;
    ++report.linesRead;
    if (kind == WordNetLineKind::kMalformed) {
      report.drop(DropReason::kMalformedLine, line, problem);
      continue;
    }
    report.headwordsRead += synset.lemmas.size();
    platform::CodecError error;
    const auto gloss = convertDefinition(synset.gloss, &error);
    if (!gloss) {
      // Without its gloss the line would claim the lemmas have no meaning,
      // so the whole synset goes.
      report.drop(dropReasonOf(error), synset.gloss, error.message());
      continue;
    }
    headwords.clear();
    for (const std::string& lemma : synset.lemmas) {
      auto word = convertHeadword(lemma, alphabet_, report);
      if (!word) continue;
      // A synset can list one word twice once markers are gone; one field
      // is enough, or the word would carry the definition twice.
      if (std::find(headwords.begin(), headwords.end(), *word) != headwords.end()) {
        ++report.duplicates;
        continue;
      }
      headwords.push_back(std::move(*word));
    }
    if (headwords.empty()) {
      report.drop(DropReason::kNoHeadword, synset.gloss);
      continue;
    }
    synsetLines_.push_back(builderLine(headwords, wordNetDefinition(synset.type, *gloss)));
    ++report.linesWritten;
    report.headwordsWritten += headwords.size();
    for (std::string& word : headwords) synsetWords_.insert(std::move(word));
  }
}

void DictionaryPreparer::addWordList(std::istream& in, SourceReport& report) {
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    ++report.linesRead;
    ++report.headwordsRead;
    auto word = convertHeadword(line, alphabet_, report);
    if (!word) continue;
    if (!listWords_.insert(*word).second) {
      ++report.duplicates;
    } else if (synsetWords_.count(*word) != 0) {
      ++report.namedBySynset;
    } else {
      wordLines_.push_back(builderLine({*word}, {}));
      ++report.linesWritten;
      ++report.headwordsWritten;
    }
  }
}

void DictionaryPreparer::writeWordNet(std::ostream& out) const {
  for (const std::string& line : synsetLines_) out << line << '\n';
}

void DictionaryPreparer::writeEnglish(std::ostream& out) const {
  writeWordNet(out);
  for (const std::string& line : wordLines_) out << line << '\n';
}

namespace {

std::unordered_set<std::string> allHeadwords(const std::unordered_set<std::string>& a,
                                             const std::unordered_set<std::string>& b) {
  std::unordered_set<std::string> all(a);
  all.insert(b.begin(), b.end());
  return all;
}

}  // namespace

std::vector<std::string> DictionaryPreparer::headwords() const {
  const std::unordered_set<std::string> entries = allHeadwords(synsetWords_, listWords_);
  std::vector<std::string> sorted(entries.begin(), entries.end());
  std::sort(sorted.begin(), sorted.end());
  return sorted;
}

std::size_t DictionaryPreparer::writeScores(std::ostream& out, const Commonness& commonness) const {
  const std::unordered_set<std::string> entries = allHeadwords(synsetWords_, listWords_);
  // In a fixed order, so the build's output does not depend on hashing.
  std::vector<std::string> sorted(entries.begin(), entries.end());
  std::sort(sorted.begin(), sorted.end());
  std::string line;
  for (const std::string& entry : sorted) {
    line.clear();
    appendEscapedHeadword(line, entry);
    line += ';';
    line += std::to_string(commonness.score(entry, entries));
    out << line << '\n';
  }
  return sorted.size();
}

std::size_t DictionaryPreparer::writePairs(std::ostream& out, const Commonness& commonness) const {
  std::vector<Commonness::Pair> pairs = commonness.pairs(allHeadwords(synsetWords_, listWords_));
  std::sort(pairs.begin(), pairs.end(), [](const Commonness::Pair& a, const Commonness::Pair& b) {
    return a.first != b.first ? a.first < b.first : a.second < b.second;
  });
  for (const Commonness::Pair& pair : pairs) out << pair.first << ' ' << pair.second << ';' << pair.bonus << '\n';
  return pairs.size();
}

}  // namespace kea::prepare
