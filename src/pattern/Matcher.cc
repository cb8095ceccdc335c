// Matcher: the tables it builds for its pattern, the per-word entry point,
// the word's plane of significant characters and the anagram balance text.
#include "pattern/Matcher.h"

#include "pattern/TemplateOutline.h"

namespace kea {

Matcher::Matcher(const CompiledPattern& pattern)
    : pattern_(pattern), punctuationSensitive_(pattern.punctuationSensitive()) {
  bindings_.exclusive = pattern.variablesExclusive();
  if (!pattern.valid() || pattern.matcher() != MatcherKind::General) return;
  memo_ = MatchMemo::forProgram(pattern);
  placement_ = BlockPlacement::forProgram(pattern);
  if (pattern.templateVariables() && !pattern.punctuationSensitive()) {
    outline_ = TemplateOutline::forProgram(pattern.program());
  }
}

Matcher::~Matcher() = default;

// The whole word over the plane of significant characters: it is read when
// the places after its last letter are reached.
bool Matcher::readPlane(const WordBuffer& word) {
  if (++planeStamp_ == 0) {
    rawStamps_.fill(0);
    planeStamp_ = 1;
  }
  buildPlaneMasks();
  const int afterLast = wordLength_ + word.punctuationCounts[wordLength_ - 1];
  return !(reachPlane(kProgramBody, PlaneSet::single(0), significantLength_) &
           PlaneSet::range(afterLast, PlaneSet::kSize - 1))
              .empty();
}

// The significant-character plane and the punctuation counts of the word,
// from its raw text: letters and the punctuation that the pattern makes
// significant. Returns false for a raw text that does not hold the word's
// letters (or holds more significant characters than the plane can take).
bool Matcher::fillPunctuationPlanes(WordBuffer& word) {
  const int length = wordLength_;
  // The stores into the word may alias anything: the tables are read
  // through locals, not through the pattern again for every character.
  const Alphabet& alphabet = pattern_.alphabet();
  const std::array<std::uint8_t, 256>& punctuation = pattern_.punctuation();
  int letters = 0;
  int count = 0;
  int out = 0;
  for (int i = 0; i < WordBuffer::kRawSize; ++i) {
    const auto c = static_cast<std::uint8_t>(word.raw[i]);
    if (alphabet.alphabetIndexOf(c) != kkd::kNoIndex) {
      if (letters == length) break;
      if (out >= WordBuffer::kSignificantSize - 1) return false;
      word.significant[out++] = c;
      word.punctuationCounts[letters++] = static_cast<std::uint8_t>(count);
      continue;
    }
    if (letters == length && (c == 0 || c == ' ')) break;
    if (c == 0) return false;
    if (punctuation[c] == kSignificantPunctuation) {
      if (out >= WordBuffer::kSignificantSize - 1 || count == 255) return false;
      word.significant[out++] = c;
      ++count;
    }
  }
  if (letters != length) return false;
  word.punctuationCounts[length] = static_cast<std::uint8_t>(count);
  word.significant[out] = 0;
  significantLength_ = out;
  return true;
}

std::string Matcher::balanceText() const {
  std::string text;
  if (balanceGeneration_ != 1) return text;
  for (const int sign : {-1, 1}) {
    bool any = false;
    for (int x = 0; x < 256; ++x) {
      const std::int32_t n = balanceCounts_[static_cast<std::size_t>(x)] * sign;
      if (n <= 0) continue;
      if (!any) text += sign < 0 ? '-' : '+';
      any = true;
      text.append(static_cast<std::size_t>(n), static_cast<char>(pattern_.alphabet().canonicalCharOf(static_cast<std::uint8_t>(x))));
    }
  }
  return text;
}

}  // namespace kea
