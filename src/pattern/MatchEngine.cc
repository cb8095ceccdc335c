// MatchEngine: settings, the per-word entry point, the fast checks and the
// anagram balance text. The compiler is in MatchEngineCompile.cc, the
// general matcher in MatchEngineMatch.cc.
#include "pattern/MatchEngine.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "pattern/BlockPlacement.h"
#include "pattern/MatchMemo.h"
#include "pattern/TemplateOutline.h"

namespace kea {

MatchEngine::MatchEngine() = default;
MatchEngine::~MatchEngine() = default;
MatchEngine::MatchEngine(MatchEngine&&) noexcept = default;
MatchEngine& MatchEngine::operator=(MatchEngine&&) noexcept = default;

// Drops the compiled pattern and everything the matcher built for it.
void MatchEngine::reset() {
  compiled_ = CompiledPattern();
  countedLeft_.fill(0);
  bindings_.reset();
  balanceGeneration_ = 0;
  memo_.reset();
  placement_.reset();
  outline_.reset();
  relaxed_.reset();
  wordLength_ = 0;
  slack_ = 0;
}

void MatchEngine::setShortest(int shortest) { shortestSetting_ = std::clamp(shortest, 1, 100); }
void MatchEngine::setLongest(int longest) { longestSetting_ = std::clamp(longest, 1, 100); }
int MatchEngine::effectiveShortest() const { return std::max(shortestSetting_, compiled_.fixedLength()); }
int MatchEngine::effectiveLongest() const { return std::min(longestSetting_, compiled_.longestLength()); }

int MatchEngine::lengthKind() const {
  if (compiled_.longestLength() == UNBOUNDED_LENGTH) return 1;
  return compiled_.longestLength() > compiled_.fixedLength() ? -1 : 0;
}

std::string MatchEngine::dump() const {
  if (!compiled_.valid()) {
    std::string text = "invalid ";
    text += std::to_string(static_cast<int>(compiled_.status()));
    text += '\n';
    return text;
  }
  return dumpProgram(compiled_.program(), compiled_.pool().entries(), &compiled_.alphabet());
}

void MatchEngine::setWordLength(int length) {
  wordLength_ = length;
  slack_ = length - compiled_.fixedLength();
  if (relaxed_) relaxed_->setWordLength(length);
}

// Builds the tables that the fast checks and the general matcher use, once
// per compile, so that matching a word allocates nothing.
//
// A pattern whose letter variables all stand in templates, without
// significant punctuation, can only match words that the same pattern with
// match-alls in place of its variables matches: every way the real pattern
// matches is a way the relaxed one matches (anagram parts, having no
// variables, behave alike in both). The relaxed pattern, which needs no
// bindings and so never depends on them, is checked first; it stops words
// that fail for reasons that have nothing to do with the variables before
// the variables can multiply the work.
//
// That holds only while the relaxed pattern keeps the real one's shape:
// sub-patterns that differ by their variables alone, such as (1*) and (.*),
// become identical and would share one pool entry, which reorders the
// anagram components and can move the rule of the last variable-length
// sub-pattern to another one. Such a pattern is matched without the check.
void MatchEngine::prepareMatching(std::string_view text, bool ignoreUnusedPunctuation) {
  if (compiled_.templateVariables() && !compiled_.anagramVariables() && !compiled_.punctuationSensitive()) {
    std::string relaxedText;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\\' && i + 1 < text.size()) {
        relaxedText += text[i];
        relaxedText += text[++i];
      } else {
        relaxedText += text[i] >= '0' && text[i] <= '9' ? '.' : text[i];
      }
    }
    relaxed_ = std::make_unique<MatchEngine>();
    if (relaxed_->compile(compiled_.alphabet(), relaxedText, ignoreUnusedPunctuation, bindings_.exclusive) != PatternStatus::Valid ||
        relaxed_->compiled_.pool().count() != compiled_.pool().count()) {
      relaxed_.reset();
    }
  }
  switch (compiled_.matcher()) {
    case MatcherKind::PlainRun:
    case MatcherKind::DistinctLetters:
      break;
    case MatcherKind::CountedLetters:
      countedLeft_ = compiled_.countedLetters();
      break;
    case MatcherKind::General:
      memo_ = MatchMemo::forProgram(compiled_);
      placement_ = BlockPlacement::forProgram(compiled_);
      if (compiled_.templateVariables() && !compiled_.punctuationSensitive()) outline_ = TemplateOutline::forProgram(compiled_.program());
      break;
  }
}

bool MatchEngine::matches(WordBuffer& word) {
  if (!compiled_.valid()) return false;
  const int length = wordLength_;
  if (length < 1 || length > kkd::kMaxWordLength || length < compiled_.fixedLength() || length > compiled_.longestLength()) {
    return false;
  }
  switch (compiled_.matcher()) {
    case MatcherKind::PlainRun:
      return matchPlainRun(word);
    case MatcherKind::DistinctLetters:
      return matchDistinctLetters(word);
    case MatcherKind::CountedLetters:
      return matchCountedLetters(word);
    case MatcherKind::General:
      break;
  }
  bindings_.reset();
  balanceGeneration_ = 0;
  if (!holdsRequiredLetters(word)) return false;
  if (relaxed_ && !relaxed_->matches(word)) return false;
  word_ = &word;
  if (compiled_.punctuationSensitive() && !fillPunctuationPlanes(word)) return false;
  if (memo_) memo_->newWord();
  letterMasksReady_ = false;
  int k = 0;
  bool matched = false;
  if (compiled_.readWholeOverSets()) {
    // A regular pattern with variable-length sub-patterns is read once over
    // the sets of places instead of being backtracked.
    matched = reachPattern(0, kProgramBody, PositionSet::single(0), length).test(length);
  } else if (compiled_.readPlaneOverSets() && significantLength_ < PlaneSet::kSize - 2) {
    // Likewise over the plane of significant characters; the word is read
    // when the places after its last letter are reached.
    if (++planeStamp_ == 0) {
      rawStamps_.fill(0);
      planeStamp_ = 1;
    }
    planeMasksReady_ = false;
    buildPlaneMasks();
    const int afterLast = length + word.punctuationCounts[length - 1];
    matched = !(reachPlane(kProgramBody, PlaneSet::single(0), significantLength_) &
                PlaneSet::range(afterLast, PlaneSet::kSize - 1))
                   .empty();
  } else {
    matched = runPattern(0, kProgramBody, 0, k, slack_, length) >= 0;
  }
  word_ = nullptr;
  return matched;
}

bool MatchEngine::holdsRequiredLetters(const WordBuffer& word) const {
  const std::uint8_t* required = compiled_.requiredLetters().data();
  const std::size_t size = compiled_.requiredLetters().size();
  for (std::size_t i = 0; i < size; i += 2) {
    const std::uint8_t letter = required[i];
    int wanted = required[i + 1];
    for (int p = 0; p < wordLength_ && wanted > 0; ++p) wanted -= word.key[p] == letter;
    if (wanted > 0) return false;
  }
  return true;
}

bool MatchEngine::matchPlainRun(const WordBuffer& word) const {
  const std::uint8_t* pairs = compiled_.runPairs().data();
  const std::size_t size = compiled_.runPairs().size();
  for (std::size_t i = 0; i < size; i += 2) {
    if (word.key[pairs[i]] != pairs[i + 1]) return false;
  }
  return true;
}

// The word has exactly as many letters as the anagram, so it matches when
// each of its letters is a listed one and none repeats.
bool MatchEngine::matchDistinctLetters(const WordBuffer& word) const {
  std::array<std::uint64_t, 4> seen{};
  for (int i = 0; i < wordLength_; ++i) {
    const std::uint8_t x = word.key[i];
    const std::uint64_t bit = std::uint64_t{1} << (x & 63);
    std::uint64_t& slot = seen[x >> 6];
    if ((compiled_.distinctLetters()[x >> 6] & bit) == 0 || (slot & bit) != 0) return false;
    slot |= bit;
  }
  return true;
}

// Same length as the anagram: it matches when no letter of the word is
// used more often than the anagram has it.
bool MatchEngine::matchCountedLetters(const WordBuffer& word) {
  std::array<std::uint8_t, 256>& left = countedLeft_;
  int i = 0;
  bool matched = true;
  for (; i < wordLength_; ++i) {
    if (left[word.key[i]]-- == 0) {
      ++i;
      matched = false;
      break;
    }
  }
  while (i > 0) ++left[word.key[--i]];
  return matched;
}

// The significant-character plane and the punctuation counts of the word,
// from its raw text: letters and the punctuation that the pattern makes
// significant. Returns false for a raw text that does not hold the word's
// letters (or holds more significant characters than the plane can take).
bool MatchEngine::fillPunctuationPlanes(WordBuffer& word) {
  const int length = wordLength_;
  int letters = 0;
  int count = 0;
  int out = 0;
  for (int i = 0; i < WordBuffer::kRawSize; ++i) {
    const auto c = static_cast<std::uint8_t>(word.raw[i]);
    if (compiled_.alphabet().alphabetIndexOf(c) != kkd::kNoIndex) {
      if (letters == length) break;
      if (out >= WordBuffer::kSignificantSize - 1) return false;
      word.significant[out++] = c;
      word.punctuationCounts[letters++] = static_cast<std::uint8_t>(count);
      continue;
    }
    if (letters == length && (c == 0 || c == ' ')) break;
    if (c == 0) return false;
    if (compiled_.punctuation()[c] == kSignificantPunctuation) {
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

std::string MatchEngine::balanceText() const {
  std::string text;
  if (balanceGeneration_ != 1) return text;
  for (const int sign : {-1, 1}) {
    bool any = false;
    for (int x = 0; x < 256; ++x) {
      const std::int32_t n = balanceCounts_[static_cast<std::size_t>(x)] * sign;
      if (n <= 0) continue;
      if (!any) text += sign < 0 ? '-' : '+';
      any = true;
      text.append(static_cast<std::size_t>(n), static_cast<char>(compiled_.alphabet().canonicalCharOf(static_cast<std::uint8_t>(x))));
    }
  }
  return text;
}

}  // namespace kea
