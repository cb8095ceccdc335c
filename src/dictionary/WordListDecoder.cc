#include "dictionary/WordListDecoder.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace kea {

std::size_t MemorySource::read(unsigned char* into, std::size_t capacity) {
  const std::size_t n = std::min(capacity, size_ - position_);
  if (n > 0) std::memcpy(into, data_ + position_, n);
  position_ += n;
  return n;
}

std::size_t FileSource::read(unsigned char* into, std::size_t capacity) {
  if (position_ >= end_) return 0;
  const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(capacity, end_ - position_));
  const std::size_t n = file_.readAt(position_, into, wanted);
  position_ += n;
  return n;
}

WordListDecoder::WordListDecoder(const KKDictionaryList::Dictionary& dictionary) : dictionary_(dictionary) {
  start(nullptr);
}

void WordListDecoder::start(ByteSource* source) {
  // The tables are taken afresh for every list, so a dictionary reopened
  // between lists is decoded with its new code.
  const auto& fastNode = dictionary_.fastNode();
  const auto& fastLength = dictionary_.fastLength();
  for (std::size_t b = 0; b < 256; ++b) {
    const std::int32_t node = fastNode[b];
    FastEntry& e = fast_[b];
    if (node >= 0 && node < kkd::kLeafCount) {
      e = {-1, static_cast<std::uint8_t>(fastLength[b]), static_cast<std::uint8_t>(node)};
    } else {
      e = {static_cast<std::int16_t>(node >= kkd::kLeafCount && node < kkd::kTreeNodes ? node : -1), kNotLeaf, 0};
    }
  }
  buildPairTable();
  // Symbols 0 and 10 and the broken-stream value share one mark, so the
  // text loop tells them from a character with a single test.
  std::copy(dictionary_.alphabet().indexOfByte.begin(), dictionary_.alphabet().indexOfByte.end(), indexOf_.begin());
  indexOf_[kkd::kEndSymbol] = kStopMark;
  indexOf_[kkd::kAnnotationSymbol] = kStopMark;
  indexOf_[kNoSymbol] = kStopMark;
  version_ = dictionary_.version();

  source_ = source;
  sourceDry_ = false;
  section_ = 1;
  flaggedSoFar_ = 0;
  positionInSection_ = 0;
  finished_ = Record::Entry;
  entriesRead_ = 0;
  bits_ = 0;
  bitCount_ = 0;
  readPosition_ = readEnd_ = block_;
}

void WordListDecoder::buildPairTable() {
  // A cursor starts every length of the same dictionary with the same code;
  // the table is built again only when the code may have changed: the file
  // was opened again in another state, or the short codes differ.
  const platform::FileStamp stamp{dictionary_.lastWriteTime(), dictionary_.fileSize()};
  if (pairsBuilt_ && pairsStamp_ == stamp && std::memcmp(pairsFrom_.data(), fast_.data(), sizeof fast_) == 0) {
    return;
  }
  const auto& tree = dictionary_.codeTree();
  // The leaf reached from the root by bits [from, kPairBits) of w, least
  // significant first; its code length in `length`, or -1.
  const auto leaf = [&](std::size_t w, int from, int& length) -> int {
    std::int32_t node = kkd::kRootNode;
    for (int bit = from; bit < kPairBits; ++bit) {
      const auto& n = tree[static_cast<std::size_t>(node)];
      node = ((w >> bit) & 1u) ? n.second : n.first;
      if (node < 0 || node >= kkd::kTreeNodes) return -1;
      if (node < kkd::kLeafCount) {
        length = bit + 1 - from;
        return node;
      }
    }
    return -1;
  };
  for (std::size_t w = 0; w < pairs_.size(); ++w) {
    PairEntry& p = pairs_[w];
    p = {0, 0, 0, 0};
    int firstLength = 0;
    const int first = leaf(w, 0, firstLength);
    if (first < 0) continue;
    p.first = static_cast<std::uint8_t>(first);
    p.firstLength = static_cast<std::uint8_t>(firstLength);
    int secondLength = 0;
    const int second = leaf(w, firstLength, secondLength);
    if (second < 0) continue;
    p.second = static_cast<std::uint8_t>(second);
    p.bothLength = static_cast<std::uint8_t>(firstLength + secondLength);
  }
  pairsFrom_ = fast_;
  pairsStamp_ = stamp;
  pairsBuilt_ = true;
}

bool WordListDecoder::startAndFill(ByteSource* source) {
  start(source);
  return fillBlock();
}

bool WordListDecoder::fillBlock() {
  if (!source_ || sourceDry_) return false;
  const std::size_t n = std::min(source_->read(block_, kBlockSize), kBlockSize);
  if (n == 0) {
    sourceDry_ = true;
    return false;
  }
  readPosition_ = block_;
  readEnd_ = block_ + n;
  return true;
}

// Tops the bit reservoir up to more than 56 bits, a byte at a time, reading
// the next block when this one is used up. Fewer bits remain only at the
// end of the data.
void WordListDecoder::refillSlow() {
  while (bitCount_ <= 56) {
    if (readPosition_ == readEnd_ && !fillBlock()) return;
    bits_ |= static_cast<std::uint64_t>(*readPosition_++) << bitCount_;
    bitCount_ += 8;
  }
}

// Returns kNoSymbol when the stream holds no further symbol.
int WordListDecoder::decodeSlow() {
  refillSlow();
  if (bitCount_ == 0) return kNoSymbol;
  const FastEntry e = fast_[bits_ & 0xFF];
  if (e.length != kNotLeaf) {
    // A leaf whose code runs past the end of the data is not a symbol.
    if (e.length > bitCount_) return kNoSymbol;
    bits_ >>= e.length;
    bitCount_ -= e.length;
    return e.symbol;
  }
  if (e.node < 0 || bitCount_ < 8) return kNoSymbol;
  bits_ >>= 8;
  bitCount_ -= 8;
  // Every child has a higher node number than its parent, so this walk
  // ends within the tree's depth even for a tree it did not start on.
  const auto& tree = dictionary_.codeTree();
  std::int32_t node = e.node;
  while (node >= kkd::kLeafCount) {
    if (bitCount_ == 0) {
      refillSlow();
      if (bitCount_ == 0) return kNoSymbol;
    }
    const auto& n = tree[static_cast<std::size_t>(node)];
    node = (bits_ & 1u) ? n.second : n.first;
    bits_ >>= 1;
    --bitCount_;
    if (node < 0) return kNoSymbol;
  }
  return node;
}

WordListDecoder::Result WordListDecoder::finish(WordBuffer& word, Record record) {
  word.key[0] = kkd::kNoIndex;
  word.raw[0] = 0;
  word.raw[1] = 0;
  Result result;
  result.record = record;
  result.section = section_;
  return result;
}

namespace {

// While at least 8 bytes of the block are left, tops the bit reservoir up
// with one unaligned load; the bits it takes beyond the counted ones are
// those of the next byte, which the next top-up puts in the same place
// again.
[[gnu::always_inline]] inline void topUp(std::uint64_t& bits, int& count, const unsigned char*& position,
                                         const unsigned char* end) {
  if (count < 32 && end - position >= 8) {
    std::uint64_t chunk;
    std::memcpy(&chunk, position, 8);
    bits |= chunk << count;
    position += (63 - count) >> 3;
    count |= 56;
  }
}

}  // namespace

WordListDecoder::Result WordListDecoder::next(WordBuffer& word) {
  if (finished_ != Record::Entry) return finish(word, finished_);

  // The reader's state lives in locals while a record is decoded: stores
  // into the word's bytes could otherwise alias it and force reloads.
  std::uint64_t bits = bits_;
  int count = bitCount_;
  const unsigned char* position = readPosition_;
  const unsigned char* end = readEnd_;
  const FastEntry* const fast = fast_.data();
  const std::uint8_t* const indexOf = indexOf_.data();
  std::uint8_t* const key = word.key;
  char* const raw = word.raw;

  const auto save = [&] {
    bits_ = bits;
    bitCount_ = count;
    readPosition_ = position;
    readEnd_ = end;
  };
  const auto load = [&] {
    bits = bits_;
    count = bitCount_;
    position = readPosition_;
    end = readEnd_;
  };
  // The next symbol, or kNoSymbol when the stream holds none.
  const auto decodeSymbol = [&]() -> int {
    topUp(bits, count, position, end);
    const FastEntry e = fast[bits & 0xFF];
    if (e.length <= count) {
      bits >>= e.length;
      count -= e.length;
      return e.symbol;
    }
    save();
    const int symbol = decodeSlow();
    load();
    return symbol;
  };

  // The entry text, up to symbol 10 or symbol 0. Writes past the limits
  // land on the last kept byte and are overwritten by the terminators, so
  // a record of any length stays inside the buffer without a branch.
  int textLength = 0;
  int keyLength = 0;
  int symbol;
  const PairEntry* const pairs = pairs_.data();
  // No lambda touches the reader's locals in this loop, so that they all
  // stay in registers; the slow path saves and reloads them explicitly.
  for (;;) {
    topUp(bits, count, position, end);
    const PairEntry p = pairs[bits & ((1u << kPairBits) - 1)];
    std::uint8_t index;
    if (p.bothLength != 0 && p.bothLength <= count) {
      const std::uint8_t first = indexOf[p.first];
      if (first == kStopMark) {
        bits >>= p.firstLength;
        count -= p.firstLength;
        symbol = p.first;
        break;
      }
      bits >>= p.bothLength;
      count -= p.bothLength;
      raw[textLength] = static_cast<char>(p.first);
      textLength += textLength < kMaxTextLength;
      key[keyLength] = first;
      keyLength += (first != kkd::kNoIndex) & (keyLength < kMaxKeyLength);
      symbol = p.second;
      index = indexOf[symbol];
    } else if (p.firstLength != 0 && p.firstLength <= count) {
      bits >>= p.firstLength;
      count -= p.firstLength;
      symbol = p.first;
      index = indexOf[symbol];
    } else {
      bits_ = bits;
      bitCount_ = count;
      readPosition_ = position;
      readEnd_ = end;
      symbol = decodeSlow();
      bits = bits_;
      count = bitCount_;
      position = readPosition_;
      end = readEnd_;
      index = indexOf[symbol];
    }
    if (index == kStopMark) break;
    raw[textLength] = static_cast<char>(symbol);
    textLength += textLength < kMaxTextLength;
    key[keyLength] = index;
    keyLength += (index != kkd::kNoIndex) & (keyLength < kMaxKeyLength);
  }
  raw[textLength] = 0;
  key[keyLength] = kkd::kNoIndex;

  // The annotation, after symbol 10, up to symbol 0.
  const int annotationStart = textLength + 1;
  int annotationEnd = annotationStart;
  if (symbol == kkd::kAnnotationSymbol) {
    for (;;) {
      symbol = decodeSymbol();
      if (symbol == kkd::kEndSymbol || symbol == kNoSymbol) break;
      raw[annotationEnd] = static_cast<char>(symbol);
      annotationEnd += annotationEnd < WordBuffer::kRawSize - 1;
    }
  }
  raw[annotationEnd] = 0;

  Result result;
  if (symbol == kNoSymbol) {
    save();
    finished_ = Record::Broken;
    return finish(word, Record::Broken);
  }

  result.section = section_;
  if (keyLength == 0) {
    // An end record: no letter before symbol 0, and no flag bit.
    save();
    word.key[0] = kkd::kNoIndex;
    if (version_ >= 1 && section_ == 1) {
      result.record = Record::SectionEnd;
      section_ = 2;
      positionInSection_ = 0;
    } else {
      result.record = Record::ListEnd;
      finished_ = Record::ListEnd;
    }
    return result;
  }

  if (version_ >= 1 && section_ == 1) {
    if (count == 0) {
      save();
      refillSlow();
      load();
      if (count == 0) {
        save();
        finished_ = Record::Broken;
        return finish(word, Record::Broken);
      }
    }
    result.flag = (bits & 1u) != 0;
    bits >>= 1;
    --count;
    result.definitionIndex = result.flag ? flaggedSoFar_++ : -1;
  } else if (section_ == 2) {
    result.definitionIndex = positionInSection_++;
  }
  save();
  ++entriesRead_;
  result.record = Record::Entry;
  result.keyLength = keyLength;
  result.textLength = textLength;
  result.annotationLength = annotationEnd - annotationStart;
  return result;
}

std::vector<DecodedEntry> decodeWordList(const KKDictionaryList::Dictionary& dictionary, int length,
                                         bool* complete) {
  if (complete) *complete = false;
  std::vector<DecodedEntry> entries;
  if (!dictionary.isOpen()) return entries;
  const auto start = dictionary.wordListStart(length);
  if (!start) {
    if (complete) *complete = true;
    return entries;
  }
  platform::ReadOnlyFile file;
  if (file.open(dictionary.path()) != platform::OpenError::None) return entries;
  // A file replaced since it was opened does not match the tables in memory.
  const auto stamp = file.stamp();
  if (!stamp || stamp->lastWriteTime != dictionary.lastWriteTime() || stamp->size != dictionary.fileSize())
    return entries;

  FileSource source(file, *start, dictionary.fileSize());
  auto decoder = std::make_unique<WordListDecoder>(dictionary);
  decoder->start(&source);
  auto word = std::make_unique<WordBuffer>();
  for (;;) {
    const WordListDecoder::Result r = decoder->next(*word);
    if (r.record == WordListDecoder::Record::SectionEnd) continue;
    if (r.record != WordListDecoder::Record::Entry) {
      if (complete) *complete = r.record == WordListDecoder::Record::ListEnd;
      break;
    }
    DecodedEntry entry;
    entry.text.assign(word->raw, static_cast<std::size_t>(r.textLength));
    entry.annotation.assign(word->raw + r.textLength + 1, static_cast<std::size_t>(r.annotationLength));
    entry.key.assign(word->key, word->key + r.keyLength);
    entry.section = r.section;
    entry.flag = r.flag;
    entry.definitionIndex = r.definitionIndex;
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace kea
