// The one decoder of a dictionary's compressed word lists. A bit reader over
// a block buffer turns the Huffman-coded records of one length into words:
// the entry text and annotation as stored, the WordKey of alphabet indices,
// the definition flag and the entry's definition number.
//
// The word cursor of a search keeps one decoder per dictionary and feeds it
// blocks from its own file handle through a ByteSource; the decoder keeps
// its buffer and bit position between calls, so a list can be read a few
// words at a time. Decoding a record allocates nothing.
//
// A list is read as far as it makes sense and no further: running out of
// bytes or reaching a branch of the code tree that holds no symbol ends the
// list cleanly, and a record longer than the word buffer is cut.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dictionary/DictionaryList.h"
#include "dictionary/WordBuffer.h"

namespace kea {

// Where the bytes of a word list come from.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Copies the next bytes of the list, at most `capacity`, into `into` and
  // returns how many; 0 when there are no more.
  virtual std::size_t read(unsigned char* into, std::size_t capacity) = 0;
};

// Bytes already in memory.
class MemorySource : public ByteSource {
 public:
  MemorySource(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
  std::size_t read(unsigned char* into, std::size_t capacity) override;

 private:
  const unsigned char* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

// Bytes of an open file from `start` up to `end` (usually the file's size).
class FileSource : public ByteSource {
 public:
  FileSource(const platform::ReadOnlyFile& file, std::uint64_t start, std::uint64_t end)
      : file_(file), position_(start), end_(end) {}
  std::size_t read(unsigned char* into, std::size_t capacity) override;
  // The file offset of the next byte to be read.
  std::uint64_t position() const { return position_; }

 private:
  const platform::ReadOnlyFile& file_;
  std::uint64_t position_;
  std::uint64_t end_;
};

// The decoding tables of one dictionary's code, built from its code tree
// and alphabet when a decoder first needs them (see WordListDecoder) and
// shared by every decoder of that dictionary.
struct WordListCode {
  // What the symbol decoders return when the stream holds no symbol.
  static constexpr int kNoSymbol = 256;
  // The mark of symbols 0 and 10 and of kNoSymbol in indexOf (no alphabet
  // index reaches it: B < 254).
  static constexpr std::uint8_t kStopMark = 254;

  // One symbol per stream byte: a leaf's symbol and code length, or (length
  // kNotLeaf, more than any bit count) the internal node reached after 8
  // bits, or -1 for a dead branch.
  static constexpr std::uint8_t kNotLeaf = 255;
  struct FastEntry {
    std::int16_t node;
    std::uint8_t length;
    std::uint8_t symbol;
  };

  // Several symbols per lookup: for each kGroupBits-bit window of the
  // stream, the characters whose codes lie wholly within it (at most
  // kGroupSymbols, up to the first symbol 0 or 10), their alphabet indices
  // with the characters outside the alphabet left out, and whether the
  // record's text ends there. Letters have codes of 3 to 6 bits, so an
  // eight-letter word and its symbol 0 take about four lookups.
  static constexpr int kGroupBits = 11;
  static constexpr int kGroupSymbols = 3;
  // Per window, in arrays of their own so that each is found with the
  // window as its index: the characters and their indices, first one
  // first, each run stored into the word as four bytes whose last one the
  // next store or the terminator overwrites;
  struct GroupBytes {
    std::uint8_t text[4];
    std::uint8_t key[4];
  };
  static constexpr std::size_t kGroups = std::size_t{1} << kGroupBits;
  std::array<GroupBytes, kGroups> groupBytes;
  // the bits taken: the characters' codes and the ending symbol's, if any;
  std::array<std::uint8_t, kGroups> groupBits;
  // how many characters and indices there are;
  std::array<std::uint8_t, kGroups> groupTextCount;
  std::array<std::uint8_t, kGroups> groupKeyCount;
  // and 0, or what ends the text: symbol 0 or symbol 10; or kSlowGroup,
  // with nothing else in the entry, when neither a character nor an ending
  // lies wholly within the window (a longer code or a dead branch).
  std::array<std::uint8_t, kGroups> groupControl;
  static constexpr std::uint8_t kEndsAtEnd = 1;
  static constexpr std::uint8_t kEndsAtAnnotation = 2;
  static constexpr std::uint8_t kSlowGroup = 4;

  // Built from the dictionary's code tree and alphabet as they are now.
  explicit WordListCode(const DictionaryList::Dictionary& dictionary);

  int version = 0;
  std::array<FastEntry, 256> fast;
  // Per symbol (and kNoSymbol): its alphabet index, kkd::kNoIndex, or kStopMark.
  std::array<std::uint8_t, 257> indexOf;
  // The code tree, for codes longer than 8 bits.
  DictionaryList::Dictionary::CodeTree tree;
};

class WordListDecoder {
 public:
  // Bytes are fetched from the source in blocks of this size.
  static constexpr std::size_t kBlockSize = 16384;
  // Raw text area: entry text, 0, annotation, 0. The entry text keeps at
  // most kMaxTextLength bytes, so that its 0 and an empty annotation fit.
  static constexpr int kMaxTextLength = WordBuffer::kRawSize - 2;
  // The WordKey keeps at most this many letters before its 255.
  static constexpr int kMaxKeyLength = WordBuffer::kKeySize - 1;

  enum class Record : std::uint8_t {
    Entry,       // a word; the WordBuffer holds it
    SectionEnd,  // the end record of section 1 of a version-1 list; section 2 follows
    ListEnd,     // the end record that closes the list
    Broken,      // the list stopped without its end record: no more bytes, or a dead branch
  };

  // What the last call of next() read.
  struct Result {
    Record record = Record::ListEnd;
    // 1 or 2: the section the record belongs to.
    int section = 1;
    // The definition flag bit (section 1 of a version-1 list only).
    bool flag = false;
    // Section 1 of a version-1 list: the number of flagged entries before
    // this one when its own flag is 1, else -1. Section 2: the position in
    // the section. Version 0: always -1. -1 for anything but an entry.
    int definitionIndex = -1;
    // Letters in the WordKey, text and annotation bytes kept in the buffer.
    int keyLength = 0;
    int textLength = 0;
    int annotationLength = 0;
    // With letters tracked (see trackLetters): the union of the tracked
    // bits of the entry's letters.
    std::uint32_t letterBits = 0;
  };

  // Decodes with the code of `dictionary`, which must outlive the decoder.
  // Its decoding tables are built by the first decoder that reads the
  // dictionary and shared by all; each start takes the dictionary's current
  // ones, so a dictionary reopened between lists is decoded with its new
  // code, and one reopened in the middle of a list gives wrong words for the
  // rest of it (the old tables stay alive) but never a read outside them.
  explicit WordListDecoder(const DictionaryList::Dictionary& dictionary);

  // Starts a new list of the dictionary's format version, read from
  // `source` (not owned; it must live until the list is finished or start
  // is called again). The first block is read by the first next().
  // WordListFile::startList opens a dictionary's list and starts a decoder
  // on it in one step.
  void start(ByteSource* source);

  // Decodes the next record into `word`: the entry text at raw[0] ended by
  // 0, the annotation after that 0 ended by 0, and the WordKey ended by 255.
  // After ListEnd or Broken every further call returns the same without
  // reading; a SectionEnd or end of list leaves key[0] = 255.
  Result next(WordBuffer& word);

  // Decodes records as next() does until `accept`, called with the Result
  // of each entry while `word` holds it, returns true, or until a record
  // that is not an entry; returns that record's Result. The reader's state
  // stays in registers from one entry to the next, so a search that turns
  // most words away runs faster than with a call of next() per word.
  // `accept` must not use the decoder.
  template <class Accept>
  Result nextAccepted(WordBuffer& word, Accept&& accept);

  // Tracks which of some letters each entry holds: `bits` gives each
  // alphabet index a set of bits (0 for letters of no interest), and
  // nextAcceptedTracking hands `accept` each entry's Result with the union
  // of its letters' bits, found while decoding, so that a search can turn
  // away a word that lacks a letter before looking at it at all. Set the
  // bits when they change: each call rebuilds the decoder's table.
  void trackLetters(const std::array<std::uint32_t, 256>& bits);
  template <class Accept>
  Result nextAcceptedTracking(WordBuffer& word, Accept&& accept);

  // Where the next record starts, in bits from the start of the source,
  // and the flagged entries of section 1 so far: what resume() needs to
  // go on from there. Valid between calls of next().
  std::uint64_t bitPosition() const {
    return (bytesFetched_ - static_cast<std::uint64_t>(reader_.end - reader_.position)) * 8 -
           static_cast<std::uint64_t>(reader_.count);
  }
  int flaggedSoFar() const { return flaggedSoFar_; }
  // Starts in section 1 at a record found by bitPosition() of an earlier
  // decoder of the same list (or, with 0 and 0, at the list's start):
  // `source` begins at the byte that holds the record's first bit,
  // `skipBits` (0-7) bits into it. Reads the first block at once and
  // returns whether the source gave the bits, so that a caller can tell an
  // unreadable list before any word is wanted.
  bool resume(ByteSource* source, int skipBits, int flaggedSoFar);

  // Moves on to a later record of section 1, found by bitPosition() or a
  // block summary, without reading the source again: `bit` counts from the
  // start of the source, as bitPosition() does, and must lie in the block
  // already read. False, with nothing changed, when it does not (or the
  // decoder is past section 1); resume() then starts there.
  bool skipTo(std::uint64_t bit, int flaggedSoFar);

  int section() const { return section_; }
  bool finished() const { return finished_ != Record::Entry; }

 private:
  // The bit reader: bits not yet consumed, least significant first, and
  // the unread rest of the block.
  struct Reader {
    std::uint64_t bits = 0;
    int count = 0;
    const unsigned char* position = nullptr;
    const unsigned char* end = nullptr;
  };

  // The slow paths work on reader_.
  bool fillBlock();
  void refillSlow();
  // Decodes one symbol the slow way: fewer than 8 bits left in the stream,
  // or a code longer than 8 bits.
  int decodeSlow();
  // Decodes annotation characters into raw[end …] up to symbol 0, the
  // slow way (annotations are few); returns symbol 0, or kNoSymbol when
  // the stream ends first.
  int decodeAnnotation(char* raw, int& end);
  // The Result of a record that is not an entry, with the word's end
  // form; inline, so that the Result of the decoding loop stays in
  // registers rather than in memory that the call would fill.
  Result finish(WordBuffer& word, Record record) const {
    word.key[0] = kkd::kNoIndex;
    word.raw[0] = 0;
    word.raw[1] = 0;
    Result result;
    result.record = record;
    result.section = section_;
    return result;
  }

  // Decodes one record with the bit reader's state in `r`: a local copy
  // of reader_ that nextAccepted keeps across records and stores back when
  // it returns. Stores into the word's bytes could alias reader_ itself and
  // force reloads; the local, whose address never escapes, stays in
  // registers. A slow path, which works on reader_, gets the copy stored
  // before and hands it back after; the block's end changes only there.
  template <bool kTrack>
  [[gnu::always_inline]] Result decodeRecord(Reader& r, WordBuffer& word);
  template <bool kTrack, class Accept>
  [[gnu::always_inline]] Result decodeAccepted(WordBuffer& word, Accept&& accept);
  // The tracked bits per window of the group tables, made for the code
  // in use.
  void buildGroupLetterBits();

  const DictionaryList::Dictionary& dictionary_;
  std::shared_ptr<const WordListCode> code_;
  ByteSource* source_ = nullptr;
  bool sourceDry_ = false;
  int version_ = 0;
  int section_ = 1;
  int flaggedSoFar_ = 0;
  int positionInSection_ = 0;
  Record finished_ = Record::Entry;
  std::uint64_t bytesFetched_ = 0;
  Reader reader_;
  // Letter tracking: the bits per alphabet index, and per group window
  // (for the code `trackedCode_`).
  std::array<std::uint32_t, 256> letterBits_{};
  std::array<std::uint32_t, WordListCode::kGroups> groupLetterBits_{};
  const WordListCode* trackedCode_ = nullptr;
  unsigned char block_[kBlockSize];
};

// ---------------------------------------------------------------------------
// The decoding loop, inline so that nextAccepted keeps the reader's state
// in registers across the entries it turns away.

template <bool kTrack>
inline WordListDecoder::Result WordListDecoder::decodeRecord(Reader& r, WordBuffer& word) {
  using Code = WordListCode;

  const Code& code = *code_;
  std::uint8_t* const key = word.key;
  char* const raw = word.raw;

  // The entry text, up to symbol 10 or symbol 0. While at least 8 bytes of
  // the block are left and the text is short of the buffer's limits, the
  // reservoir is topped up to 56 bits or more and then decoded a group of
  // characters per lookup, kGroupsPerTopUp lookups at most (each takes at
  // most kGroupBits bits); each group is stored with 4-byte copies. Else,
  // and for a code longer than a group's window, one character the slow way:
  // writes past the limits then land on the last kept byte and are
  // overwritten by the terminators, so a record of any length stays inside
  // the buffer.
  constexpr int kGroupsPerTopUp = 5;
  static_assert(kGroupsPerTopUp * Code::kGroupBits <= 56);
  constexpr std::uint64_t kGroupMask = (std::uint64_t{1} << Code::kGroupBits) - 1;
  constexpr int kFastRoom = kGroupsPerTopUp * Code::kGroupSymbols;
  char* text = raw;
  std::uint8_t* letters = key;
  char* const textFastLimit = raw + kMaxTextLength - kFastRoom;
  std::uint8_t* const keyFastLimit = key + kMaxKeyLength - kFastRoom;
  std::uint32_t seen = 0;
  int symbol;
  for (;;) {
    if (r.end - r.position >= 8 && text <= textFastLimit && letters <= keyFastLimit) {
      // The bits this load takes beyond the counted ones are those of the
      // next byte, which the next top-up puts in the same place again.
      std::uint64_t chunk;
      std::memcpy(&chunk, r.position, 8);
      r.bits |= chunk << r.count;
      r.position += (63 - r.count) >> 3;
      r.count |= 56;
      unsigned control = 0;
      for (int i = 0; i < kGroupsPerTopUp; ++i) {
        const std::size_t w = r.bits & kGroupMask;
        std::memcpy(text, code.groupBytes[w].text, 4);
        std::memcpy(letters, code.groupBytes[w].key, 4);
        text += code.groupTextCount[w];
        letters += code.groupKeyCount[w];
        r.bits >>= code.groupBits[w];
        r.count -= code.groupBits[w];
        if constexpr (kTrack) seen |= groupLetterBits_[w];
        control = code.groupControl[w];
        if (control != 0) break;
      }
      if ((control & (Code::kEndsAtEnd | Code::kEndsAtAnnotation)) != 0) {
        symbol = (control & Code::kEndsAtEnd) ? kkd::kEndSymbol : kkd::kAnnotationSymbol;
        break;
      }
      if (control == 0) continue;
    }
    // One character the slow way.
    reader_ = r;
    symbol = decodeSlow();
    r = reader_;
    const std::uint8_t index = code.indexOf[static_cast<std::size_t>(symbol)];
    if (index == Code::kStopMark) break;
    *text = static_cast<char>(symbol);
    text += text < raw + kMaxTextLength;
    *letters = index;
    letters += (index != kkd::kNoIndex) & (letters < key + kMaxKeyLength);
    if constexpr (kTrack) seen |= letterBits_[index];
  }
  *text = 0;
  *letters = kkd::kNoIndex;
  const int textLength = static_cast<int>(text - raw);
  const int keyLength = static_cast<int>(letters - key);

  // The annotation, after symbol 10, up to symbol 0.
  const int annotationStart = textLength + 1;
  int annotationEnd = annotationStart;
  if (symbol == kkd::kAnnotationSymbol) {
    reader_ = r;
    symbol = decodeAnnotation(raw, annotationEnd);
    r = reader_;
  }
  raw[annotationEnd] = 0;

  Result result;
  result.section = section_;
  if (symbol == Code::kNoSymbol) {
    finished_ = Record::Broken;
    return finish(word, Record::Broken);
  }
  if (keyLength == 0) {
    // An end record: no letter before symbol 0, and no flag bit.
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

  if (section_ == 2) {
    result.definitionIndex = positionInSection_++;
  } else if (version_ >= 1) {
    if (r.count == 0) {
      reader_ = r;
      refillSlow();
      r = reader_;
      if (r.count == 0) {
        finished_ = Record::Broken;
        return finish(word, Record::Broken);
      }
    }
    // Without a branch: the flags of a list follow no pattern.
    const int flag = static_cast<int>(r.bits & 1u);
    r.bits >>= 1;
    --r.count;
    result.flag = flag != 0;
    result.definitionIndex = (flaggedSoFar_ + 1) * flag - 1;
    flaggedSoFar_ += flag;
  }
  result.record = Record::Entry;
  result.keyLength = keyLength;
  result.textLength = textLength;
  result.annotationLength = annotationEnd - annotationStart;
  result.letterBits = seen;
  return result;
}

template <bool kTrack, class Accept>
inline WordListDecoder::Result WordListDecoder::decodeAccepted(WordBuffer& word, Accept&& accept) {
  if (finished_ != Record::Entry) return finish(word, finished_);
  Reader reader = reader_;
  for (;;) {
    const Result result = decodeRecord<kTrack>(reader, word);
    if (result.record != Record::Entry || accept(result)) {
      reader_ = reader;
      return result;
    }
  }
}

template <class Accept>
WordListDecoder::Result WordListDecoder::nextAccepted(WordBuffer& word, Accept&& accept) {
  return decodeAccepted<false>(word, accept);
}

template <class Accept>
WordListDecoder::Result WordListDecoder::nextAcceptedTracking(WordBuffer& word, Accept&& accept) {
  if (trackedCode_ != code_.get()) buildGroupLetterBits();
  return decodeAccepted<true>(word, accept);
}

// One entry of a decoded list, for tests and for tools that want a whole
// list at once.
struct DecodedEntry {
  std::string text;
  std::string annotation;
  std::vector<std::uint8_t> key;  // alphabet indices, without the 255
  int section = 1;
  bool flag = false;
  int definitionIndex = -1;

  bool operator==(const DecodedEntry&) const = default;
};

// Every entry of the list of `length`, both sections, in order. `complete`
// (when given) says whether the list ended with its end record(s); a
// length without a list is complete and empty. Nothing when the dictionary
// is not open or its file cannot be read.
std::vector<DecodedEntry> decodeWordList(const DictionaryList::Dictionary& dictionary, int length,
                                         bool* complete = nullptr);

}  // namespace kea
