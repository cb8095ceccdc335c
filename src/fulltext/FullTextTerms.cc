// Testing definition words against the terms of a full-text query.
#include "fulltext/FullTextTerms.h"

namespace kea {

FullTextTerms::FullTextTerms(MatchEngineSet& set) : set_(set), satisfied_(set.tokens().size(), 0) {
  const auto& operands = set.operands();
  for (std::size_t slot = 0; slot < operands.size(); ++slot) {
    MatchEngine* engine = operands[slot].get();
    if (engine == nullptr) continue;
    terms_.push_back(Term{slot, engine, engine->effectiveShortest(), engine->effectiveLongest()});
  }
  remaining_ = terms_.size();
}

void FullTextTerms::reset() {
  for (const Term& term : terms_) satisfied_[term.slot] = 0;
  remaining_ = terms_.size();
}

bool FullTextTerms::offer(WordBuffer& word, int length) {
  for (const Term& term : terms_) {
    if (satisfied_[term.slot] != 0 || length < term.shortest || length > term.longest) continue;
    term.engine->setWordLength(length);
    if (term.engine->matches(word)) {
      satisfied_[term.slot] = 1;
      --remaining_;
    }
  }
  return remaining_ == 0;
}

bool FullTextTerms::holds() { return set_.evaluate(MatchEngineSet::EvaluateMode::Constant, nullptr, 0, satisfied_); }

bool FullTextTerms::anyMatches(WordBuffer& word, int length) const {
  for (const Term& term : terms_) {
    if (length < term.shortest || length > term.longest) continue;
    term.engine->setWordLength(length);
    if (term.engine->matches(word)) return true;
  }
  return false;
}

}  // namespace kea
