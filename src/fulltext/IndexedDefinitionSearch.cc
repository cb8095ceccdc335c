// Answering a full-text query from the occurrence lists.
//
// The sets of the terms are combined the way the line's evaluator reads the
// line: strictly left to right with the rest of a chain taken as one
// operand, so "a & b | c" is a & (b | c). Combining from the left instead
// would give (a & b) | c, and the index would then answer some lines
// differently from the reading search.
#include "fulltext/IndexedDefinitionSearch.h"

#include <algorithm>
#include <iterator>

#include "pattern/WordCursor.h"

namespace kea {

IndexedDefinitionSearch::IndexedDefinitionSearch(const DictionaryList& list, int i,
                                                                         MatchEngineSet& set,
                                                                         platform::FileStamp* stamp)
    : set_(set), dictionaryIndex_(i) {
  DictionaryList::Dictionary* d = list.dictionary(i);
  if (d == nullptr) return;
  const bool usable = d->refresh();
  if (stamp != nullptr) *stamp = dictionaryStamp(*d);
  if (!usable || !d->hasDefinitions() || set.status() != PatternStatus::Valid) return;

  const auto& tokens = set.tokens();
  const auto& operands = set.operands();
  // A negated term or group would need every record that lacks it, and a
  // term of several lengths several lists: the index answers neither.
  for (std::size_t k = 0; k < tokens.size(); ++k) {
    if ((tokens[k] & TOKEN_NOT) != 0) return;
    const MatchEngine* engine = operands[k].get();
    if (engine != nullptr && engine->effectiveShortest() != engine->effectiveLongest()) return;
  }

  DefinitionPointers pointers(*d);
  if (!pointers.isOpen()) return;
  std::vector<OffsetSet> sets(tokens.size());
  for (std::size_t k = 0; k < tokens.size(); ++k) {
    if (operands[k] != nullptr && !termSet(list, i, pointers, *operands[k], sets[k])) return;
  }
  std::size_t at = 0;
  OffsetSet found = chain(at, sets);
  // Only the searchable records are ever a full-text hit.
  const std::uint32_t first = d->searchableStart();
  std::erase_if(found, [first, d](std::uint32_t offset) { return offset < first || !d->isDefinitionOffset(offset); });
  candidates_ = std::move(found);

  retriever_ = std::make_unique<DefinitionRetriever>(list, i);
  if (!retriever_->isOpen()) retriever_.reset();
}

bool IndexedDefinitionSearch::termSet(const DictionaryList& list, int i, DefinitionPointers& pointers,
                                                  MatchEngine& engine, OffsetSet& out) {
  const int length = engine.effectiveShortest();
  if (length < 1 || length > kkd::kMaxWordLength) return true;
  WordCursor cursor(list, i);
  if (!cursor.setLength(length)) return true;
  engine.setWordLength(length);
  // Both sections: the headwords, then the index words that no headword has.
  for (int ends = 0; ends < 2;) {
    const WordBuffer& word = cursor.nextMatch(engine);
    if (word.key[0] == kkd::kNoIndex) {
      ++ends;
      continue;
    }
    if (cursor.definitionNumber() < 0) continue;
    if (!pointers.offsets(true, length, cursor.definitionNumber(), cursor.lookupMode(), out)) return false;
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return true;
}

IndexedDefinitionSearch::OffsetSet IndexedDefinitionSearch::chain(
    std::size_t& at, std::vector<OffsetSet>& sets) const {
  const auto& tokens = set_.tokens();
  std::vector<OffsetSet> values;
  std::vector<std::uint8_t> operators;
  while (at < tokens.size()) {
    std::uint8_t kind = tokens[at] & kTokenKindMask;
    OffsetSet value;
    if (kind == TOKEN_OPEN) {
      ++at;
      value = chain(at, sets);
      // Past the group's close: the token there says what follows the group.
      if (at < tokens.size()) ++at;
      if (at == tokens.size()) {
        values.push_back(std::move(value));
        break;
      }
      kind = tokens[at] & kTokenKindMask;
      if (set_.operands()[at] != nullptr) value = std::move(sets[at]);
    } else {
      value = std::move(sets[at]);
    }
    values.push_back(std::move(value));
    if (kind == TOKEN_END || kind == TOKEN_CLOSE) break;
    operators.push_back(kind);
    ++at;
  }
  if (values.empty()) return {};
  OffsetSet result = std::move(values.back());
  for (std::size_t k = std::min(operators.size(), values.size() - 1); k-- > 0;) {
    OffsetSet combined;
    if (operators[k] == TOKEN_OR) {
      std::set_union(values[k].begin(), values[k].end(), result.begin(), result.end(), std::back_inserter(combined));
    } else {
      std::set_intersection(values[k].begin(), values[k].end(), result.begin(), result.end(),
                            std::back_inserter(combined));
    }
    result = std::move(combined);
  }
  return result;
}

bool IndexedDefinitionSearch::next(Definition& out) {
  if (!retriever_) return false;
  while (position_ < candidates_.size()) {
    if (retriever_->read(candidates_[position_++], out)) {
      out.dictionaryIndex = dictionaryIndex_;
      return true;
    }
  }
  return false;
}

void IndexedDefinitionSearch::progress(std::int64_t& position, std::int64_t& total) const {
  position = static_cast<std::int64_t>(position_);
  total = this->total();
}

}  // namespace kea
