#include "pattern/WordCursor.h"
#include "dictionary/KkdFormat.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "pattern/MatchEngine.h"
#include "pattern/MatchEngineSet.h"

namespace kea {

WordCursor::WordCursor(const DictionaryList& dictionaries, int index)
    : index_(index),
      dictionary_(dictionaries.dictionary(index)),
      word_(std::make_unique<WordBuffer>()) {
  if (dictionary_ != nullptr) decoder_ = std::make_unique<WordListDecoder>(*dictionary_);
  clearWord();
  word_->key[0] = kkd::kNoIndex;
}

WordCursor::~WordCursor() = default;

void WordCursor::clearWord() {
  std::memset(word_.get(), 0, sizeof(WordBuffer));
  textLength_ = 0;
  definitionNumber_ = -1;
}

bool WordCursor::setLength(int length) {
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
  sourceBit_ = 0;
  block_ = 0;
  blockStart_ = WordBlock{};
  blocks_ = nullptr;
  blocksLooked_ = !reading;
  memory_ = nullptr;
  memoryPosition_ = 0;
  recording_ = nullptr;
  if (reading && DecodedLists::enabled()) {
    memory_ = DecodedLists::find(*dictionary_, length);
    if (!memory_) recording_ = std::make_unique<DecodedList>(length);
  }
  return reading && file_.isOpen();
}

const WordBuffer* WordCursor::nextInMemory(MatchEngineSet& set, MatchEngine* single) {
  const DecodedList& list = *memory_;
  WordBuffer& word = *word_;
  const int length = length_;
  const std::uint32_t needed = filter_.blockLetters();
  int examined = 0;
  while (memoryPosition_ < list.entries()) {
    const std::size_t i = memoryPosition_++;
    ++examined;
    // A word without a required letter is no match; the matcher need not look.
    if ((list.letters(i) & needed) == needed) {
      std::memcpy(word.key, list.key(i), static_cast<std::size_t>(length));
      word.key[length] = kkd::kNoIndex;
      const std::string_view raw = list.raw(i);
      std::memcpy(word.raw, raw.data(), raw.size());
      if (single != nullptr ? single->matches(word)
                            : set.evaluate(MatchEngineSet::EvaluateMode::Match, &word, length)) {
        wordsExamined_ += examined;
        textLength_ = list.textLength(i);
        definitionNumber_ = list.definitionIndex(i);
        section_ = 1;
        return &word;
      }
    }
    if (examined == kSliceWords) {
      wordsExamined_ += examined;
      return nullptr;
    }
  }
  // The end record of section 1, as the decoder would have read it.
  wordsExamined_ += examined;
  ++sectionsFinished_;
  if (dictionary_->version() >= 1) {
    section_ = 2;
  } else {
    listFinished_ = true;
  }
  return &endOfLength();
}

void WordCursor::leaveMemory() {
  const std::size_t passed = memoryPosition_;
  const bool ended = lengthFinished_;
  memory_ = nullptr;
  sourceBit_ = 0;
  if (file_.startList(*dictionary_, length_, *decoder_) != WordListFile::Status::Reading) return;
  if (passed == 0 && !ended) return;
  std::size_t entries = 0;
  // Stops after the entries read from memory, or at the end record.
  decoder_->nextAccepted(*word_, [&](const WordListDecoder::Result&) { return !ended && ++entries == passed; });
}

void WordCursor::lookForBlocks() {
  blocksLooked_ = true;
  // Read with the first search that can skip, and kept by the dictionary.
  summaries_ = dictionary_->blockSummaries();
  blocks_ = summaries_ ? summaries_->length(length_) : nullptr;
}

bool WordCursor::blockLacksLetters(std::uint32_t entry) const {
  const std::size_t block = entry / static_cast<std::uint32_t>(summaries_->entriesPerBlock());
  const std::uint32_t needed = filter_.blockLetters();
  return block < blocks_->endBlock() && (blocks_->letters(block) & needed) != needed;
}

void WordCursor::skipBlocks(int& examined) {
  const auto perBlock = static_cast<std::size_t>(summaries_->entriesPerBlock());
  const auto entry = static_cast<std::size_t>(wordsExamined_) + static_cast<std::size_t>(examined);
  const std::size_t from = entry / perBlock;
  while (block_ < from) blockStart_ = blocks_->after(block_++, blockStart_);
  // The decoder stands where the summary says this block starts, or the
  // summary does not describe this list and is left alone from here on.
  if (sourceBit_ + decoder_->bitPosition() != blockStart_.startBit ||
      decoder_->flaggedSoFar() != blockStart_.flaggedBefore) {
    blocks_ = nullptr;
    return;
  }
  // Whole blocks only, and no further than the slice reaches.
  const std::size_t limit =
      std::min(blocks_->endBlock(), from + static_cast<std::size_t>(kSliceWords - examined) / perBlock);
  const std::uint32_t needed = filter_.blockLetters();
  while (block_ < limit && (blocks_->letters(block_) & needed) != needed) {
    blockStart_ = blocks_->after(block_++, blockStart_);
  }
  if (block_ == from) return;
  examined += static_cast<int>(std::min<std::size_t>(block_ * perBlock, blocks_->entries()) - entry);
  const WordBlock there = blockStart_;
  if (there.startBit >= sourceBit_ && decoder_->skipTo(there.startBit - sourceBit_, there.flaggedBefore)) return;
  // Further than the block read: the file is read from there. A failed
  // read leaves the decoder at the end of its data, which ends the length.
  file_.startList(*dictionary_, length_, *decoder_, there.startBit, there.flaggedBefore);
  sourceBit_ = there.startBit / 8 * 8;
}

std::string_view WordCursor::annotation() const {
  const char* start = word_->raw + textLength_ + 1;
  const char* end = word_->raw + WordBuffer::kRawSize;
  return std::string_view(start, static_cast<std::size_t>(std::find(start, end, '\0') - start));
}

int WordCursor::lookupMode() const {
  return dictionary_ != nullptr && dictionary_->version() >= 1 && section_ == 1 ? kkd::kGroupedTableMode
                                                                                : kkd::kDirectTableMode;
}

void WordCursor::noteBrokenList() {
  if (problem_ == ListProblem::None) problem_ = file_.changed() ? ListProblem::Changed : ListProblem::Damaged;
}

const WordBuffer& WordCursor::endOfLength() {
  lengthFinished_ = true;
  word_->key[0] = kkd::kNoIndex;
  word_->raw[0] = 0;
  word_->raw[1] = 0;
  textLength_ = 0;
  definitionNumber_ = -1;
  return *word_;
}

bool WordCursor::LetterFilter::follow(const MatchEngine* engine) {
  if (engine == nullptr) {
    size_ = kNone;
    all_ = 0;
    blockLetters_ = 0;
    return false;
  }
  const std::vector<std::uint8_t>& required = engine->compiled().requiredLetters();
  const bool general = engine->matcher() == MatcherKind::General;
  if (required.size() == size_ && general == general_ &&
      std::equal(required.begin(), required.end(), letters_.begin())) {
    return false;
  }
  size_ = kNone;
  all_ = 0;
  blockLetters_ = 0;
  bit_.fill(0);
  if (required.size() > letters_.size()) return false;
  std::copy(required.begin(), required.end(), letters_.begin());
  size_ = required.size();
  general_ = general;
  // Pairs of a letter and its count: the filter asks for the letter once.
  int bits = 0;
  for (std::size_t i = 0; i + 1 < required.size(); i += 2) {
    if (required[i + 1] == 0) continue;
    blockLetters_ |= blocks::letterBit(required[i]);
    if (!general || bits == 32 || bit_[required[i]] != 0) continue;
    bit_[required[i]] = std::uint32_t{1} << bits++;
    all_ |= bit_[required[i]];
  }
  return true;
}

void WordCursor::followFilter(const MatchEngine* engine) {
  if (filter_.follow(engine) && decoder_) decoder_->trackLetters(filter_.bits());
}

// Inline: a search that lists every word calls next() once per word.
inline const WordBuffer* WordCursor::finishNext(const WordListDecoder::Result& r, int examined, bool matched) {
  wordsExamined_ += examined;
  if (r.record != WordListDecoder::Record::Entry || r.keyLength != length_) {
    // A whole section 1, read to its end record, is kept for the next search
    // (unless it is empty: its end record is read as fast as looked up).
    const bool whole = r.record == WordListDecoder::Record::SectionEnd ||
                       (r.record == WordListDecoder::Record::ListEnd && dictionary_->version() == 0);
    if (recording_ && whole && recording_->entries() > 0 &&
        recording_->entries() == static_cast<std::size_t>(wordsExamined_)) {
      DecodedLists::keep(*dictionary_, std::move(recording_));
    }
    recording_ = nullptr;
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
  return word_.get();
}

namespace {

// Offers one entry of the length to the line, counting it; true when the
// call of next() should return (a match, or a full slice).
struct WordTest {
  MatchEngineSet& set;
  MatchEngine* single;
  WordBuffer& word;
  int length;
  int examined = 0;
  bool matched = false;

  template <class Filter>
  bool operator()(const Filter& filter, bool filtered, std::uint32_t letterBits) {
    ++examined;
    if (filtered && filter.rejects(letterBits)) {
      matched = false;
    } else {
      matched = single != nullptr ? single->matches(word)
                                  : set.evaluate(MatchEngineSet::EvaluateMode::Match, &word, length);
    }
    return matched || examined == WordCursor::kSliceWords;
  }
};

}  // namespace

const WordBuffer* WordCursor::next(MatchEngineSet& set) {
  if (lengthFinished_) return &endOfLength();
  WordBuffer& word = *word_;
  // A line of one pattern skips the expression evaluator.
  MatchEngine* const single = set.isSinglePattern() ? set.operands()[0].get() : nullptr;
  followFilter(single);
  if (memory_) return nextInMemory(set, single);
  if (!blocksLooked_ && filter_.blockLetters() != 0) {
    lookForBlocks();
    // Skipping is faster than gathering the whole list would be.
    if (blocks_ != nullptr) recording_ = nullptr;
  }
  if (skipsBlocks() || recording_) return nextSkippingOrKeeping(set, single);
  const bool filtered = filter_.active();
  const int length = length_;
  WordTest test{set, single, word, length};
  const WordListDecoder::Result r = decode(word, filtered, [&](const WordListDecoder::Result& entry) {
    return entry.keyLength != length || test(filter_, filtered, entry.letterBits);
  });
  return finishNext(r, test.examined, test.matched);
}

const WordBuffer* WordCursor::nextSkippingOrKeeping(MatchEngineSet& set, MatchEngine* single) {
  WordBuffer& word = *word_;
  const bool filtered = filter_.active();
  const int length = length_;
  WordTest test{set, single, word, length};
  if (recording_) {
    const WordListDecoder::Result r = decode(word, filtered, [&](const WordListDecoder::Result& entry) {
      if (entry.keyLength != length) return true;
      recording_->add(word.key, std::string_view(word.raw, static_cast<std::size_t>(entry.textLength)),
                      std::string_view(word.raw + entry.textLength + 1, static_cast<std::size_t>(entry.annotationLength)),
                      entry.definitionIndex);
      return test(filter_, filtered, entry.letterBits);
    });
    return finishNext(r, test.examined, test.matched);
  }
  // Decoding also stops where a block that lacks a letter starts
  // (`examined` is then blockEnd), and goes on past it.
  const int perBlock = summaries_->entriesPerBlock();
  int& examined = test.examined;
  int blockEnd = -1;
  for (;;) {
    if (skipsBlocks()) {
      const int entry = wordsExamined_ + examined;
      if (entry % perBlock == 0 && blockLacksLetters(static_cast<std::uint32_t>(entry))) skipBlocks(examined);
      blockEnd = skipsBlocks() ? examined + perBlock - (wordsExamined_ + examined) % perBlock : -1;
      if (examined == kSliceWords) {
        wordsExamined_ += examined;
        return nullptr;
      }
    }
    const WordListDecoder::Result r = decode(word, filtered, [&](const WordListDecoder::Result& entry) {
      if (entry.keyLength != length || test(filter_, filtered, entry.letterBits)) return true;
      if (examined != blockEnd) return false;
      blockEnd += perBlock;
      return blockLacksLetters(static_cast<std::uint32_t>(wordsExamined_ + examined));
    });
    if (r.record != WordListDecoder::Record::Entry || r.keyLength != length || test.matched ||
        examined == kSliceWords) {
      return finishNext(r, examined, test.matched);
    }
  }
}

const WordBuffer& WordCursor::nextMatch(MatchEngine& engine) {
  if (listFinished_) return endOfLength();
  if (memory_) leaveMemory();
  recording_ = nullptr;
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
