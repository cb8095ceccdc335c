// MatchEngine: settings, the per-word entry point and the fast checks. The
// compiler is in PatternCompiler.cc, the general matcher in Matcher.h.
#include "pattern/MatchEngine.h"

#include <algorithm>

namespace kea {

MatchEngine::MatchEngine() = default;
MatchEngine::~MatchEngine() = default;
MatchEngine::MatchEngine(MatchEngine&&) noexcept = default;
MatchEngine& MatchEngine::operator=(MatchEngine&&) noexcept = default;

const CompiledPattern& MatchEngine::noPattern() {
  static const CompiledPattern none;
  return none;
}

const VariableBindings& MatchEngine::noBindings() {
  static const VariableBindings none;
  return none;
}

// Drops the compiled pattern and everything built for it.
void MatchEngine::reset() {
  compiled_.reset();
  relaxed_.reset();
  countedLeft_.fill(0);
  wordLength_ = 0;
  slack_ = 0;
}

void MatchEngine::setShortest(int shortest) { shortestSetting_ = std::clamp(shortest, 1, 100); }
void MatchEngine::setLongest(int longest) { longestSetting_ = std::clamp(longest, 1, 100); }
int MatchEngine::effectiveShortest() const { return std::max(shortestSetting_, compiled().fixedLength()); }
int MatchEngine::effectiveLongest() const { return std::min(longestSetting_, compiled().longestLength()); }

int MatchEngine::lengthKind() const {
  const CompiledPattern& pattern = compiled();
  if (pattern.longestLength() == UNBOUNDED_LENGTH) return 1;
  return pattern.longestLength() > pattern.fixedLength() ? -1 : 0;
}

std::string MatchEngine::dump() const {
  const CompiledPattern& pattern = compiled();
  if (!pattern.valid()) {
    std::string text = "invalid ";
    text += std::to_string(static_cast<int>(pattern.status()));
    text += '\n';
    return text;
  }
  return dumpProgram(pattern.program(), pattern.pool().entries(), &pattern.alphabet());
}

void MatchEngine::setWordLength(int length) {
  wordLength_ = length;
  slack_ = length - compiled().fixedLength();
  if (compiled_) compiled_->matcher.setWordLength(length, slack_);
  if (relaxed_) relaxed_->setWordLength(length);
}

// Builds what the engine checks before the matcher, once per compile, so
// that matching a word allocates nothing (the matcher builds its own tables
// when it is made).
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
  const CompiledPattern& pattern = compiled_->pattern;
  if (pattern.templateVariables() && !pattern.anagramVariables() && !pattern.punctuationSensitive()) {
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
    if (relaxed_->compile(pattern.alphabet(), relaxedText, ignoreUnusedPunctuation, pattern.variablesExclusive()) !=
            PatternStatus::Valid ||
        relaxed_->compiled().pool().count() != pattern.pool().count()) {
      relaxed_.reset();
    }
  }
  if (pattern.matcher() == MatcherKind::CountedLetters) countedLeft_ = pattern.countedLetters();
}

bool MatchEngine::matches(WordBuffer& word) {
  if (!compiled_) return false;
  const CompiledPattern& pattern = compiled_->pattern;
  if (!pattern.valid()) return false;
  const int length = wordLength_;
  if (length < 1 || length > kkd::kMaxWordLength || length < pattern.fixedLength() || length > pattern.longestLength()) {
    return false;
  }
  switch (pattern.matcher()) {
    case MatcherKind::PlainRun:
      return matchPlainRun(word);
    case MatcherKind::DistinctLetters:
      return matchDistinctLetters(word);
    case MatcherKind::CountedLetters:
      return matchCountedLetters(word);
    case MatcherKind::General:
      break;
  }
  Matcher& matcher = compiled_->matcher;
  matcher.startWord();
  if (!holdsRequiredLetters(word)) return false;
  if (relaxed_ && !relaxed_->matches(word)) return false;
  return matcher.matches(word);
}

bool MatchEngine::holdsRequiredLetters(const WordBuffer& word) const {
  const std::uint8_t* required = compiled_->pattern.requiredLetters().data();
  const std::size_t size = compiled_->pattern.requiredLetters().size();
  for (std::size_t i = 0; i < size; i += 2) {
    const std::uint8_t letter = required[i];
    int wanted = required[i + 1];
    for (int p = 0; p < wordLength_ && wanted > 0; ++p) wanted -= word.key[p] == letter;
    if (wanted > 0) return false;
  }
  return true;
}

bool MatchEngine::matchPlainRun(const WordBuffer& word) const {
  const std::uint8_t* pairs = compiled_->pattern.runPairs().data();
  const std::size_t size = compiled_->pattern.runPairs().size();
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
    if ((compiled_->pattern.distinctLetters()[x >> 6] & bit) == 0 || (slot & bit) != 0) return false;
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

std::string MatchEngine::balanceText() const { return compiled_ ? compiled_->matcher.balanceText() : std::string(); }

}  // namespace kea
