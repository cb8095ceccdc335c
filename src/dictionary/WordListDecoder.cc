#include "dictionary/WordListDecoder.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>

#include "dictionary/WordListFile.h"

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

namespace {

// Fills the group tables of a code by walking its tree once for every run
// of symbols a window can start with, rather than once per window: all the
// windows that begin with the same run share one entry, which is written
// to each of them. Every step down the tree takes one more bit of the
// window, so the walk visits each bit prefix of a window at most once,
// whatever the tree holds.
class GroupFiller {
 public:
  explicit GroupFiller(WordListCode& code) : code_(code) {}

  void fill() { walk(kkd::kRootNode, 0, 0, Run{}); }

 private:
  using Code = WordListCode;
  // The characters decoded so far in a window and the bits they take.
  struct Run {
    Code::GroupBytes bytes{};
    int characters = 0;
    int letters = 0;
    int used = 0;
  };

  // Gives `run` (and `control`) to every window whose low `bits` bits are
  // `prefix`.
  void assign(std::size_t prefix, int bits, const Run& run, std::uint8_t control, int used) {
    if (run.characters == 0 && control == 0) {
      control = Code::kSlowGroup;
      used = 0;
    }
    for (std::size_t w = prefix; w < Code::kGroups; w += std::size_t{1} << bits) {
      code_.groupBytes[w] = run.bytes;
      code_.groupBits[w] = static_cast<std::uint8_t>(used);
      code_.groupTextCount[w] = static_cast<std::uint8_t>(run.characters);
      code_.groupKeyCount[w] = static_cast<std::uint8_t>(run.letters);
      code_.groupControl[w] = control;
    }
  }

  // Decoding the symbol after `run`: `node` is reached by the window's bits
  // from run.used up to `position` (exclusive), whose values are `prefix`.
  void walk(std::int32_t node, std::size_t prefix, int position, const Run& run) {
    if (position == Code::kGroupBits) {
      // The code runs past the window.
      assign(prefix, position, run, 0, run.used);
      return;
    }
    for (std::size_t bit = 0; bit < 2; ++bit) {
      const auto& n = code_.tree[static_cast<std::size_t>(node)];
      const std::int32_t child = bit ? n.second : n.first;
      const std::size_t next = prefix | bit << position;
      if (child < 0 || child >= kkd::kTreeNodes) {
        // A dead branch: the window's run ends before it.
        assign(next, position + 1, run, 0, run.used);
      } else if (child >= kkd::kLeafCount) {
        walk(child, next, position + 1, run);
      } else if (child == kkd::kEndSymbol || child == kkd::kAnnotationSymbol) {
        assign(next, position + 1, run, child == kkd::kEndSymbol ? Code::kEndsAtEnd : Code::kEndsAtAnnotation,
               position + 1);
      } else if (run.characters == Code::kGroupSymbols) {
        assign(next, position + 1, run, 0, run.used);
      } else {
        Run longer = run;
        longer.bytes.text[longer.characters++] = static_cast<std::uint8_t>(child);
        const std::uint8_t index = code_.indexOf[static_cast<std::size_t>(child)];
        if (index != kkd::kNoIndex) longer.bytes.key[longer.letters++] = index;
        longer.used = position + 1;
        walk(kkd::kRootNode, next, position + 1, longer);
      }
    }
  }

  WordListCode& code_;
};

}  // namespace

WordListCode::WordListCode(const DictionaryList::Dictionary& dictionary)
    : version(dictionary.version()), tree(dictionary.codeTree()) {
  const auto& fastNode = dictionary.fastNode();
  const auto& fastLength = dictionary.fastLength();
  for (std::size_t b = 0; b < 256; ++b) {
    const std::int32_t node = fastNode[b];
    FastEntry& e = fast[b];
    if (node >= 0 && node < kkd::kLeafCount) {
      e = {-1, static_cast<std::uint8_t>(fastLength[b]), static_cast<std::uint8_t>(node)};
    } else {
      e = {static_cast<std::int16_t>(node >= kkd::kLeafCount && node < kkd::kTreeNodes ? node : -1), kNotLeaf, 0};
    }
  }
  // Symbols 0 and 10 and the broken-stream value share one mark, so the
  // slow text loop tells them from a character with a single test.
  std::copy(dictionary.alphabet().indexOfByte.begin(), dictionary.alphabet().indexOfByte.end(), indexOf.begin());
  indexOf[kkd::kEndSymbol] = kStopMark;
  indexOf[kkd::kAnnotationSymbol] = kStopMark;
  indexOf[kNoSymbol] = kStopMark;

  GroupFiller(*this).fill();
}

WordListDecoder::WordListDecoder(const DictionaryList::Dictionary& dictionary) : dictionary_(dictionary) {
  start(nullptr);
}

void WordListDecoder::start(ByteSource* source) {
  // The dictionary's current tables: built once per opened file, when the
  // first list of it is read.
  std::shared_ptr<const WordListCode>& shared = dictionary_.wordListCode();
  if (!shared) shared = std::make_shared<const WordListCode>(dictionary_);
  code_ = shared;
  version_ = code_->version;

  source_ = source;
  sourceDry_ = false;
  section_ = 1;
  flaggedSoFar_ = 0;
  positionInSection_ = 0;
  finished_ = Record::Entry;
  bytesFetched_ = 0;
  reader_ = Reader{0, 0, block_, block_};
}

void WordListDecoder::trackLetters(const std::array<std::uint32_t, 256>& bits) {
  letterBits_ = bits;
  buildGroupLetterBits();
}

void WordListDecoder::buildGroupLetterBits() {
  const WordListCode& code = *code_;
  for (std::size_t w = 0; w < WordListCode::kGroups; ++w) {
    std::uint32_t bits = 0;
    for (int i = 0; i < code.groupKeyCount[w]; ++i) bits |= letterBits_[code.groupBytes[w].key[i]];
    groupLetterBits_[w] = bits;
  }
  trackedCode_ = code_.get();
}

bool WordListDecoder::resume(ByteSource* source, int skipBits, int flaggedSoFar) {
  start(source);
  flaggedSoFar_ = flaggedSoFar;
  if (skipBits < 0 || skipBits > 7) return false;
  if (!fillBlock()) return false;
  if (skipBits == 0) return true;
  // Only the rest of the first byte: the reader takes more as it needs,
  // and never holds more bits than it can shift in.
  reader_.bits = static_cast<std::uint64_t>(*reader_.position++) >> skipBits;
  reader_.count = 8 - skipBits;
  return true;
}

bool WordListDecoder::skipTo(std::uint64_t bit, int flaggedSoFar) {
  if (finished_ != Record::Entry || section_ != 1 || bit < bitPosition()) return false;
  const auto inBlock = static_cast<std::uint64_t>(reader_.end - block_);
  const std::uint64_t blockStart = bytesFetched_ - inBlock;
  const std::uint64_t byte = bit / 8;
  if (byte < blockStart || byte >= bytesFetched_) return false;
  // The reservoir may already hold bits past the target; they are read
  // again from the block.
  reader_.position = block_ + (byte - blockStart);
  reader_.bits = 0;
  reader_.count = 0;
  if (const int skip = static_cast<int>(bit % 8); skip != 0) {
    reader_.bits = static_cast<std::uint64_t>(*reader_.position++) >> skip;
    reader_.count = 8 - skip;
  }
  flaggedSoFar_ = flaggedSoFar;
  return true;
}

bool WordListDecoder::fillBlock() {
  if (!source_ || sourceDry_) return false;
  const std::size_t n = std::min(source_->read(block_, kBlockSize), kBlockSize);
  if (n == 0) {
    sourceDry_ = true;
    return false;
  }
  reader_.position = block_;
  reader_.end = block_ + n;
  bytesFetched_ += n;
  return true;
}

// Tops the bit reservoir up to more than 56 bits, a byte at a time, reading
// the next block when this one is used up. Fewer bits remain only at the
// end of the data.
void WordListDecoder::refillSlow() {
  Reader& r = reader_;
  while (r.count <= 56) {
    if (r.position == r.end && !fillBlock()) return;
    r.bits |= static_cast<std::uint64_t>(*r.position++) << r.count;
    r.count += 8;
  }
}

// Returns kNoSymbol when the stream holds no further symbol.
int WordListDecoder::decodeSlow() {
  using Code = WordListCode;
  Reader& r = reader_;
  refillSlow();
  if (r.count == 0) return Code::kNoSymbol;
  const Code::FastEntry e = code_->fast[r.bits & 0xFF];
  if (e.length != Code::kNotLeaf) {
    // A leaf whose code runs past the end of the data is not a symbol.
    if (e.length > r.count) return Code::kNoSymbol;
    r.bits >>= e.length;
    r.count -= e.length;
    return e.symbol;
  }
  if (e.node < 0 || r.count < 8) return Code::kNoSymbol;
  r.bits >>= 8;
  r.count -= 8;
  // Every child has a higher node number than its parent, so this walk
  // ends within the tree's depth even for a tree it did not start on.
  const auto& tree = code_->tree;
  std::int32_t node = e.node;
  while (node >= kkd::kLeafCount) {
    if (r.count == 0) {
      refillSlow();
      if (r.count == 0) return Code::kNoSymbol;
    }
    const auto& n = tree[static_cast<std::size_t>(node)];
    node = (r.bits & 1u) ? n.second : n.first;
    r.bits >>= 1;
    --r.count;
    if (node < 0) return Code::kNoSymbol;
  }
  return node;
}

int WordListDecoder::decodeAnnotation(char* raw, int& end) {
  for (;;) {
    const int symbol = decodeSlow();
    if (symbol == kkd::kEndSymbol || symbol == WordListCode::kNoSymbol) return symbol;
    raw[end] = static_cast<char>(symbol);
    end += end < WordBuffer::kRawSize - 1;
  }
}

WordListDecoder::Result WordListDecoder::next(WordBuffer& word) {
  return nextAccepted(word, [](const Result&) { return true; });
}

std::vector<DecodedEntry> decodeWordList(const DictionaryList::Dictionary& dictionary, int length,
                                         bool* complete) {
  if (complete) *complete = false;
  std::vector<DecodedEntry> entries;
  WordListFile file;
  auto decoder = std::make_unique<WordListDecoder>(dictionary);
  switch (file.startList(dictionary, length, *decoder)) {
    case WordListFile::Status::Reading:
      break;
    case WordListFile::Status::NoList:
      if (complete) *complete = true;
      return entries;
    case WordListFile::Status::NotOpen:
    case WordListFile::Status::Unreadable:
      return entries;
  }
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
