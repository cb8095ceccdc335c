#include "meaning/MeaningQuery.h"

#include "dictionary/EntryScores.h"

#include <algorithm>

namespace kea {

namespace {

// Ranking weights, tuned on hand-written definitions (bench/meaning.sh):
// how much a tenfold commonness counts against relevance, what an entry
// that no word of the meaning describes loses, and what an entry made of
// the meaning's own words loses.
constexpr double kCommonnessWeight = 0.6;
constexpr double kUndescribedPenalty = 10.0;
constexpr double kEchoPenalty = 5.0;
// The commonness of an entry without a score: that of the rarest words.
constexpr double kUnscoredLogFrequency = -14.0;

}  // namespace

MeaningQuery::MeaningQuery(std::shared_ptr<const MeaningIndex> index, std::string_view meaning)
    : index_(std::move(index)) {
  words_.forEach(meaning, [&](std::string_view stem, std::string_view word) {
    for (Term& term : terms_) {
      if (term.stem == stem) {
        ++term.repeats;
        return;
      }
    }
    terms_.push_back(Term{std::string(stem), std::string(word), 1, -1});
  });
  if (!index_) return;
  relevance_.reset(static_cast<float*>(std::calloc(std::max<std::size_t>(index_->documentCount(), 1), sizeof(float))));
  if (!relevance_) {
    // Without memory for it the meaning ranks nothing, as without an index.
    index_.reset();
    return;
  }
  for (Term& term : terms_) {
    term.number = index_->findTerm(term.stem);
    if (term.number < 0) continue;
    ++known_;
    const float repeats = static_cast<float>(term.repeats);
    index_->forEachPosting(static_cast<std::uint32_t>(term.number), [&](std::uint32_t document, double weight) {
      relevance_[document] += repeats * static_cast<float>(weight);
    });
  }
}

std::uint32_t MeaningQuery::bestDocument(int length, std::uint32_t ordinal, double& best) const {
  best = 0;
  std::uint32_t bestDocument = 0;
  if (!index_ || known_ == 0) return bestDocument;
  index_->forEachDocument(length, ordinal, [&](std::uint32_t document) {
    if (relevance_[document] > best) {
      best = relevance_[document];
      bestDocument = document;
    }
  });
  return bestDocument;
}

double MeaningQuery::relevance(int length, std::uint32_t ordinal) const {
  double best = 0;
  bestDocument(length, ordinal, best);
  return best;
}

double MeaningQuery::rank(std::string_view entryText, double relevance, int score) {
  const double logFrequency = score == kNoScore ? kUnscoredLogFrequency : scoreToLogFrequency(score);
  double value = kCommonnessWeight * logFrequency;
  if (relevance > 0) {
    value += relevance;
    // Only an entry the meaning describes is looked at word by word: the
    // rest rank below it whatever their words are.
    bool echo = false;
    words_.forEach(entryText, [&](std::string_view stem, std::string_view) {
      for (const Term& term : terms_) echo = echo || term.stem == stem;
    });
    if (echo) value -= kEchoPenalty;
  } else {
    value -= kUndescribedPenalty;
  }
  return value;
}

std::vector<std::string> MeaningQuery::matchedWords(int length, std::uint32_t ordinal) const {
  std::vector<std::string> words;
  double best = 0;
  const std::uint32_t document = bestDocument(length, ordinal, best);
  if (best <= 0) return words;
  for (const Term& term : terms_) {
    if (term.number < 0) continue;
    bool found = false;
    index_->forEachPosting(static_cast<std::uint32_t>(term.number), [&](std::uint32_t d, double) {
      found = found || d == document;
    });
    if (found) words.push_back(term.word);
  }
  return words;
}

}  // namespace kea
