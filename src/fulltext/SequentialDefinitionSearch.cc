// Reading the searchable definitions record by record.
//
// A rich-text body is made plain with the builder's own reduction before
// its words are taken, so that control words ("par", "fonttbl", ...) are
// never found as words and the reading search finds what the index finds.
#include "fulltext/SequentialDefinitionSearch.h"

#include <algorithm>
#include <cstring>

#include "dictionary/PlainText.h"
#include "fulltext/DefinitionRetriever.h"

namespace kea {

namespace {

constexpr std::string_view kRichTextStart = "{\\rtf1";
// A headword's characters kept for patterns that match punctuation, as the
// word list keeps an entry's.
constexpr int kMaxHeadwordRaw = WordBuffer::kRawSize - 2;

}  // namespace

SequentialDefinitionSearch::SequentialDefinitionSearch(const DictionaryList& list, int i,
                                                                               MatchEngineSet& set,
                                                                               platform::FileStamp* stamp)
    : terms_(set) {
  rawIndex_.fill(kkd::kNoIndex);
  plainIndex_.fill(kkd::kNoIndex);
  DictionaryList::Dictionary* d = list.dictionary(i);
  if (d == nullptr) return;
  const bool usable = d->refresh();
  if (stamp != nullptr) *stamp = dictionaryStamp(*d);
  if (!usable || !d->hasDefinitions()) return;
  const Alphabet& alphabet = d->alphabet();
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<std::uint8_t>(b);
    plainIndex_[byte] = alphabet.alphabetIndexOf(byte);
    rawIndex_[byte ^ kkd::kScrambleByte] = alphabet.alphabetIndexOf(byte);
  }
  // The masked terminator; byte 0 is never a letter, so nothing is lost.
  rawIndex_[kkd::kScrambleByte] = kTerminator;
  plainIndex_[0] = kkd::kNoIndex;
  start_ = d->searchableStart();
  end_ = std::min<std::uint64_t>(d->definitionsEnd(), d->fileSize());
  if (start_ >= end_ || d->openFile(file_) != platform::OpenError::None) {
    start_ = end_ = 0;
    return;
  }
  buffer_.resize(kBufferSize);
  bufferStart_ = start_;
  recordOffset_ = static_cast<std::uint32_t>(start_);
  finished_ = false;
}

void SequentialDefinitionSearch::progress(std::int64_t& position, std::int64_t& total) const {
  total = this->total();
  position = finished_ ? total : static_cast<std::int64_t>(recordOffset_ - start_);
}

bool SequentialDefinitionSearch::fill() {
  const std::uint64_t next = bufferStart_ + size_;
  if (next >= end_) return false;
  const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kBufferSize, end_ - next));
  const std::size_t got = file_.readAt(next, buffer_.data(), want);
  bufferStart_ = next;
  position_ = 0;
  size_ = got;
  if (got < want) end_ = next + got;  // the file is shorter than its header says
  return got > 0;
}

bool SequentialDefinitionSearch::readField(std::array<char, kHeadwordSize>* into, std::size_t* size,
                                                       bool offer) {
  std::size_t kept = 0;
  int raw = 0;
  wordLength_ = 0;
  bool complete = false;
  for (;;) {
    if (position_ == size_ && !fill()) break;
    const unsigned char* start = buffer_.data() + position_;
    const unsigned char* stop = buffer_.data() + size_;
    const auto* found = static_cast<const unsigned char*>(std::memchr(start, kkd::kScrambleByte, stop - start));
    const unsigned char* last = found != nullptr ? found : stop;
    for (const unsigned char* p = start; p != last; ++p) {
      const char c = static_cast<char>(*p ^ kkd::kScrambleByte);
      if (into != nullptr && kept < kHeadwordSize - 1) (*into)[kept++] = c;
      if (!offer) continue;
      const std::uint8_t index = rawIndex_[*p];
      if (index != kkd::kNoIndex && wordLength_ < FullTextTerms::kMaxWordLength) word_.key[wordLength_++] = index;
      if (raw < kMaxHeadwordRaw) word_.raw[raw++] = c;
    }
    position_ = static_cast<std::size_t>(last - buffer_.data());
    if (found != nullptr) {
      ++position_;
      complete = true;
      break;
    }
  }
  if (size != nullptr) *size = kept;
  if (offer && wordLength_ > 0) {
    // A headword is one word, whatever punctuation it holds, as its entry
    // is in the word list.
    const int length = wordLength_;
    wordLength_ = 0;
    word_.key[length] = kkd::kNoIndex;
    word_.raw[raw] = 0;
    word_.raw[raw + 1] = 0;
    terms_.offer(word_, length);
  }
  return complete;
}

bool SequentialDefinitionSearch::skipToTerminator() { return readField(nullptr, nullptr, false); }

bool SequentialDefinitionSearch::endWord() {
  const int length = wordLength_;
  wordLength_ = 0;
  word_.key[length] = kkd::kNoIndex;
  word_.raw[length] = 0;
  word_.raw[length + 1] = 0;
  return terms_.offer(word_, length);
}

bool SequentialDefinitionSearch::scanBody() {
  wordLength_ = 0;
  // A body that may be rich text is read whole and made plain first.
  if (position_ == size_ && !fill()) return false;
  if (buffer_[position_] == static_cast<unsigned char>(kRichTextStart[0] ^ kkd::kScrambleByte)) {
    text_.clear();
    for (;;) {
      if (position_ == size_ && !fill()) {
        scanText();
        return false;
      }
      const unsigned char* start = buffer_.data() + position_;
      const unsigned char* stop = buffer_.data() + size_;
      const auto* found = static_cast<const unsigned char*>(std::memchr(start, kkd::kScrambleByte, stop - start));
      const unsigned char* last = found != nullptr ? found : stop;
      for (const unsigned char* p = start; p != last; ++p) text_.push_back(static_cast<char>(*p ^ kkd::kScrambleByte));
      position_ = static_cast<std::size_t>(last - buffer_.data());
      if (found != nullptr) {
        ++position_;
        scanText();
        return true;
      }
    }
  }
  for (;;) {
    if (position_ == size_ && !fill()) {
      if (wordLength_ > 0) endWord();
      return false;
    }
    const unsigned char* p = buffer_.data() + position_;
    const unsigned char* stop = buffer_.data() + size_;
    for (; p != stop; ++p) {
      const std::uint8_t index = rawIndex_[*p];
      if (index < kTerminator) {
        if (wordLength_ < FullTextTerms::kMaxWordLength) {
          word_.key[wordLength_] = index;
          word_.raw[wordLength_] = static_cast<char>(*p ^ kkd::kScrambleByte);
          ++wordLength_;
        }
        continue;
      }
      // A run of letters longer than a word keeps its first letters; the
      // rest of the run belongs to the same word and starts none of its own.
      if (wordLength_ > 0 && endWord()) {
        position_ = static_cast<std::size_t>(p - buffer_.data());
        // Every term is satisfied: the rest of the text cannot change the answer.
        return skipToTerminator();
      }
      if (index == kTerminator) {
        position_ = static_cast<std::size_t>(p + 1 - buffer_.data());
        return true;
      }
    }
    position_ = size_;
  }
}

void SequentialDefinitionSearch::scanText() {
  std::string_view text = text_;
  if (text.starts_with(kRichTextStart)) {
    reduceToPlainText(text, plain_);
    text = plain_;
  }
  wordLength_ = 0;
  for (const char c : text) {
    const std::uint8_t index = plainIndex_[static_cast<std::uint8_t>(c)];
    if (index != kkd::kNoIndex) {
      if (wordLength_ < FullTextTerms::kMaxWordLength) {
        word_.key[wordLength_] = index;
        word_.raw[wordLength_] = c;
        ++wordLength_;
      }
    } else if (wordLength_ > 0 && endWord()) {
      return;
    }
  }
  if (wordLength_ > 0) endWord();
}

SequentialDefinitionSearch::Step SequentialDefinitionSearch::next(int budget) {
  for (int examined = 0; examined < std::max(budget, 1); ++examined) {
    if (finished_) return Step::Finished;
    if (offset() >= end_) {
      finished_ = true;
      return Step::Finished;
    }
    recordOffset_ = static_cast<std::uint32_t>(offset());
    firstSize_ = secondSize_ = 0;
    terms_.reset();
    const int pairs = get();
    if (pairs < 0) {
      finished_ = true;
      return Step::Finished;
    }
    // The headwords are words of the record: the index lists a record
    // under each of its headwords as well as under the words of its text.
    bool complete = true;
    for (int field = 0; field < 2 * pairs && complete; ++field) {
      if (field == 0) {
        complete = readField(&first_, &firstSize_, true);
      } else if (field == 1) {
        complete = readField(&second_, &secondSize_, false);
      } else {
        complete = readField(nullptr, nullptr, field % 2 == 0);
      }
    }
    if (complete) complete = terms_.allSatisfied() ? skipToTerminator() : scanBody();
    // A record cut short by the end is judged on what it holds; the next
    // call then finds the end.
    if (!complete) finished_ = true;
    if (terms_.holds()) return Step::Match;
    if (finished_) return Step::Finished;
  }
  return Step::Slice;
}

}  // namespace kea
