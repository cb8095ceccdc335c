#include "pattern/InputEngine.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "pattern/MatchEngine.h"
#include "pattern/MatchEngineSet.h"

namespace kea {

InputEngine::InputEngine(const KKDictionaryList& dictionaries, int index)
    : index_(index),
      dictionary_(dictionaries.dictionary(index)),
      word_(std::make_unique<WordBuffer>()) {
  if (dictionary_ != nullptr) decoder_ = std::make_unique<WordListDecoder>(*dictionary_);
  clearWord();
  word_->key[0] = kkd::kNoIndex;
}

InputEngine::~InputEngine() = default;

void InputEngine::clearWord() {
  std::memset(word_.get(), 0, sizeof(WordBuffer));
  textLength_ = 0;
  definitionNumber_ = -1;
}

bool InputEngine::setLength(int length) {
  length_ = length;
  wordsExamined_ = 0;
  section_ = 1;
  sectionsFinished_ = 0;
  lengthFinished_ = listFinished_ = true;
  file_.close();

  const WordListFile::Status status =
      dictionary_ != nullptr ? file_.startList(*dictionary_, length, *decoder_) : WordListFile::Status::NotOpen;
  const bool reading = status == WordListFile::Status::Reading;
  if (status == WordListFile::Status::Unreadable && problem_ == ListProblem::None) {
    problem_ = file_.changed() ? ListProblem::Changed : ListProblem::Unreadable;
  }
  clearWord();
  // An empty word of this length: its key ends where the length does.
  if (length >= 0 && length < WordBuffer::kKeySize) word_->key[length] = kkd::kNoIndex;
  lengthFinished_ = listFinished_ = !reading;
  return reading && file_.isOpen();
}

std::string_view InputEngine::annotation() const {
  const char* start = word_->raw + textLength_ + 1;
  const char* end = word_->raw + WordBuffer::kRawSize;
  return std::string_view(start, static_cast<std::size_t>(std::find(start, end, '\0') - start));
}

int InputEngine::lookupMode() const {
  return dictionary_ != nullptr && dictionary_->version() >= 1 && section_ == 1 ? kGroupedTableMode
                                                                                : kDirectTableMode;
}

void InputEngine::noteBrokenList() {
  if (problem_ == ListProblem::None) problem_ = file_.changed() ? ListProblem::Changed : ListProblem::Damaged;
}

const WordBuffer& InputEngine::endOfLength() {
  lengthFinished_ = true;
  word_->key[0] = kkd::kNoIndex;
  word_->raw[0] = 0;
  word_->raw[1] = 0;
  textLength_ = 0;
  definitionNumber_ = -1;
  return *word_;
}

bool InputEngine::LetterFilter::follow(const MatchEngine* engine) {
  if (engine == nullptr || engine->matcher() != MatcherKind::General) {
    size_ = kNone;
    all_ = 0;
    return false;
  }
  const std::vector<std::uint8_t>& required = engine->compiled().requiredLetters();
  if (required.size() == size_ && std::equal(required.begin(), required.end(), letters_.begin())) return false;
  size_ = kNone;
  all_ = 0;
  bit_.fill(0);
  if (required.size() > letters_.size()) return false;
  std::copy(required.begin(), required.end(), letters_.begin());
  size_ = required.size();
  // Pairs of a letter and its count: the filter asks for the letter once.
  int bits = 0;
  for (std::size_t i = 0; i + 1 < required.size() && bits < 32; i += 2) {
    if (required[i + 1] == 0 || bit_[required[i]] != 0) continue;
    bit_[required[i]] = std::uint32_t{1} << bits++;
    all_ |= bit_[required[i]];
  }
  return true;
}

void InputEngine::followFilter(const MatchEngine* engine) {
  if (filter_.follow(engine) && decoder_) decoder_->trackLetters(filter_.bits());
}

const WordBuffer* InputEngine::next(MatchEngineSet& set) {
  if (lengthFinished_) return &endOfLength();
  WordBuffer& word = *word_;
  // A line of one pattern skips the expression evaluator.
  MatchEngine* const single = set.isSinglePattern() ? set.operands()[0].get() : nullptr;
  followFilter(single);
  const bool filtered = filter_.active();
  const int length = length_;
  int examined = 0;
  bool matched = false;
  const auto accept = [&](const WordListDecoder::Result& entry) {
    if (entry.keyLength != length) return true;
    ++examined;
    if (filtered && filter_.rejects(entry.letterBits)) {
      matched = false;
      return examined == kSliceWords;
    }
    matched = single != nullptr ? single->matches(word)
                                : set.evaluate(MatchEngineSet::EvaluateMode::Match, &word, length);
    return matched || examined == kSliceWords;
  };
  const WordListDecoder::Result r = decode(word, filtered, accept);
  wordsExamined_ += examined;
  if (r.record != WordListDecoder::Record::Entry || r.keyLength != length) {
    section_ = decoder_->section();
    if (r.record == WordListDecoder::Record::Broken || r.record == WordListDecoder::Record::Entry) noteBrokenList();
    if (r.record == WordListDecoder::Record::SectionEnd) {
      ++sectionsFinished_;
    } else {
      if (r.record == WordListDecoder::Record::ListEnd) ++sectionsFinished_;
      listFinished_ = true;
    }
    return &endOfLength();
  }
  if (!matched) return nullptr;
  textLength_ = r.textLength;
  definitionNumber_ = r.definitionIndex;
  section_ = r.section;
  return &word;
}

const WordBuffer& InputEngine::nextMatch(MatchEngine& engine) {
  if (listFinished_) return endOfLength();
  WordBuffer& word = *word_;
  const int length = length_;
  int examined = 0;
  followFilter(&engine);
  const bool filtered = filter_.active();
  const WordListDecoder::Result r = decode(word, filtered, [&](const WordListDecoder::Result& entry) {
    if (entry.keyLength != length) return true;
    ++examined;
    if (filtered && filter_.rejects(entry.letterBits)) return false;
    return engine.matches(word);
  });
  wordsExamined_ += examined;
  if (r.record != WordListDecoder::Record::Entry || r.keyLength != length) {
    section_ = decoder_->section();
    if (r.record == WordListDecoder::Record::Broken || r.record == WordListDecoder::Record::Entry) noteBrokenList();
    if (r.record != WordListDecoder::Record::Broken && r.record != WordListDecoder::Record::Entry) {
      ++sectionsFinished_;
    }
    // Section 2 follows the first end record of a version-1 list.
    if (r.record != WordListDecoder::Record::SectionEnd) listFinished_ = true;
    return endOfLength();
  }
  textLength_ = r.textLength;
  definitionNumber_ = r.definitionIndex;
  section_ = r.section;
  return word;
}

}  // namespace kea
