// Definition records and the pointer tables that lead to them.
#include "fulltext/DefinitionRetriever.h"
#include "dictionary/KkdFormat.h"

#include <algorithm>
#include <array>
#include <memory>

#include "dictionary/Coding.h"
#include "dictionary/LetterFold.h"
#include "dictionary/WordListDecoder.h"
#include "dictionary/WordListFile.h"
#include "pattern/MatchEngine.h"
#include "pattern/WordCursor.h"

namespace kea {

platform::FileStamp dictionaryStamp(const DictionaryList::Dictionary& dictionary) {
  return platform::FileStamp{dictionary.lastWriteTime(), dictionary.fileSize()};
}

namespace {

// Bytes of a file from an offset up to a limit, fetched a block at a time.
class BlockReader {
 public:
  BlockReader(const platform::ReadOnlyFile& file, std::uint64_t offset, std::uint64_t limit)
      : file_(file), next_(offset), limit_(limit) {}

  // The next byte, or -1 at the limit or the end of the file.
  int get() {
    if (position_ == size_ && !fill()) return -1;
    return block_[position_++];
  }

  // Appends unmasked bytes up to the field's terminator (which is consumed)
  // or the end; returns false at the end.
  bool readField(std::string& out) {
    for (;;) {
      if (position_ == size_ && !fill()) return false;
      const unsigned char* start = block_.data() + position_;
      const unsigned char* stop = block_.data() + size_;
      const auto* found = static_cast<const unsigned char*>(std::find(start, stop, kkd::kScrambleByte));
      for (const unsigned char* p = start; p != found; ++p) {
        out.push_back(static_cast<char>(*p ^ kkd::kScrambleByte));
      }
      position_ = static_cast<std::size_t>(found - block_.data());
      if (found != stop) {
        ++position_;
        return true;
      }
    }
  }

 private:
  bool fill() {
    if (next_ >= limit_) return false;
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(DefinitionRetriever::kBlockSize, limit_ - next_));
    size_ = file_.readAt(next_, block_.data(), want);
    position_ = 0;
    next_ += size_;
    if (size_ < want) limit_ = next_;  // the file is shorter than its header says
    return size_ > 0;
  }

  const platform::ReadOnlyFile& file_;
  std::uint64_t next_;
  std::uint64_t limit_;
  std::array<unsigned char, DefinitionRetriever::kBlockSize> block_;
  std::size_t position_ = 0;
  std::size_t size_ = 0;
};

// 32-bit values of a file from an offset up to a limit, a block at a time.
class ValueReader {
 public:
  ValueReader(const platform::ReadOnlyFile& file, std::uint64_t offset, std::uint64_t limit)
      : file_(file), next_(offset), limit_(limit) {}

  // The next value; false at the limit, at the end of the file or on a read error.
  bool get(std::uint32_t& value) {
    if (position_ == count_ && !fill()) return false;
    value = coding::decodeFixed32(block_.data() + 4 * position_++);
    return true;
  }

 private:
  bool fill() {
    if (next_ + 4 > limit_) return false;
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(DefinitionPointers::kBlockEntries, (limit_ - next_) / 4));
    const std::size_t got = file_.readAt(next_, block_.data(), 4 * want);
    count_ = got / 4;
    position_ = 0;
    next_ += 4 * count_;
    if (count_ < want) limit_ = next_;
    return count_ > 0;
  }

  const platform::ReadOnlyFile& file_;
  std::uint64_t next_;
  std::uint64_t limit_;
  std::array<unsigned char, 4 * DefinitionPointers::kBlockEntries> block_;
  std::size_t position_ = 0;
  std::size_t count_ = 0;
};

}  // namespace

DefinitionRetriever::DefinitionRetriever(const DictionaryList& list, int i,
                                                                 platform::FileStamp* stamp)
    : path_(list.path(i)) {
  DictionaryList::Dictionary* d = list.dictionary(i);
  if (d == nullptr) return;
  if (d->refresh() && d->openFile(file_) == platform::OpenError::None) {
    definitionsStart_ = d->definitionsStart();
    end_ = std::min<std::uint64_t>(d->definitionsEnd(), d->fileSize());
  }
  if (stamp != nullptr) *stamp = dictionaryStamp(*d);
}

bool DefinitionRetriever::read(std::uint32_t offset, Definition& out) const {
  // Only a record start inside the definition records is read: anything
  // else is a stale or damaged pointer, and reading it would show the
  // bytes of some table as text.
  if (!file_.isOpen() || offset < definitionsStart_ || offset >= end_) return false;
  BlockReader reader(file_, offset, end_);
  const int pairs = reader.get();
  // Nothing of the record is there (the file was cut while it was held).
  if (pairs < 0) return false;
  out.dictionaryPath = path_;
  out.offset = offset;
  out.firstParts.clear();
  out.secondParts.clear();
  out.body.clear();
  bool more = true;
  for (int p = 0; p < pairs && more; ++p) {
    // A pair cut short keeps both its strings, so the two lists stay as long.
    std::string first, second;
    more = reader.readField(first);
    if (!more && first.empty()) break;  // nothing of this pair is in the file
    more = more && reader.readField(second);
    out.firstParts.push_back(std::move(first));
    out.secondParts.push_back(std::move(second));
  }
  if (more) reader.readField(out.body);
  return true;
}

DefinitionPointers::DefinitionPointers(DictionaryList::Dictionary& dictionary) : dictionary_(dictionary) {
  if (dictionary.isOpen()) dictionary.openFile(file_);
}

bool DefinitionPointers::extendGroupIndex(int length, std::size_t wanted, std::vector<std::uint32_t>& index) {
  const std::uint32_t table = dictionary_.groupTable(length);
  const std::uint32_t entries = dictionary_.groupEntries(length);
  if (index.empty()) index.push_back(table);
  // The walk goes on from the start of the last group found: no value
  // read before, from there on, ended a group.
  std::uint32_t done = (index.back() - table) / 4;
  constexpr std::size_t kChunk = 4096;
  std::array<unsigned char, 4 * kChunk> buffer;
  while (index.size() <= wanted && done < entries) {
    const std::size_t want = std::min<std::size_t>(kChunk, entries - done);
    if (file_.readAt(table + 4ull * done, buffer.data(), 4 * want) != 4 * want) {
      index.clear();
      return false;
    }
    // Every value is written as a group start and kept when it follows a
    // final value: which values are final follows no pattern, and a branch
    // on it would be mispredicted half the time.
    const std::size_t known = index.size();
    index.resize(known + want);
    std::uint32_t* const starts = index.data() + known;
    std::size_t found = 0;
    for (std::size_t e = 0; e < want; ++e) {
      starts[found] = table + 4 * (done + static_cast<std::uint32_t>(e) + 1);
      found += coding::decodeFixed32(buffer.data() + 4 * e) >> 31;
    }
    // A final value that ends the table starts no group.
    if (done + want == entries) found -= coding::decodeFixed32(buffer.data() + 4 * (want - 1)) >> 31;
    done += static_cast<std::uint32_t>(want);
    index.resize(known + found);
  }
  return true;
}

std::uint32_t DefinitionPointers::readGroup(int length, int definitionIndex, std::vector<std::uint32_t>& out) {
  std::vector<std::uint32_t>* index = dictionary_.groupIndexCache(length);
  if (index == nullptr || !dictionary_.groupTableInFile(length) || definitionIndex < 0) return 0;
  const auto wanted = static_cast<std::size_t>(definitionIndex);
  if (wanted >= index->size() && !extendGroupIndex(length, wanted, *index)) return 0;
  if (wanted >= index->size()) return 0;
  const std::uint64_t tableEnd = dictionary_.groupTable(length) + 4ull * dictionary_.groupEntries(length);
  ValueReader reader(file_, (*index)[wanted], tableEnd);
  std::uint32_t value = 0;
  while (reader.get(value)) {
    if ((value & kkd::kFinalBit) != 0) return value & kkd::kOffsetMask;
    if (dictionary_.isDefinitionOffset(value)) out.push_back(value);
  }
  // The table ended inside the group: it has no final value to follow.
  return 0;
}

std::uint32_t DefinitionPointers::readDirect(int length, int definitionIndex) {
  if (definitionIndex < 0) return 0;
  const auto at = dictionary_.directValueOffset(length, static_cast<std::uint32_t>(definitionIndex));
  if (!at) return 0;
  unsigned char bytes[4];
  if (file_.readAt(*at, bytes, 4) != 4) return 0;
  return coding::decodeFixed32(bytes) & kkd::kOffsetMask;
}

void DefinitionPointers::readOccurrences(std::uint32_t offset, std::vector<std::uint32_t>& out) {
  const std::uint32_t searchable = dictionary_.searchableStart();
  ValueReader reader(file_, offset, dictionary_.fileSize());
  std::uint32_t value = 0;
  while (reader.get(value)) {
    const std::uint32_t definition = value & kkd::kOffsetMask;
    // Every entry of a list names a searchable record; the first that does
    // not shows that the list (or the pointer to it) is damaged.
    if (definition < searchable || !dictionary_.isDefinitionOffset(definition)) return;
    out.push_back(definition);
    if ((value & kkd::kFinalBit) != 0) return;
  }
}

bool DefinitionPointers::offsets(bool withOccurrences, int length, int definitionIndex, int mode,
                                 std::vector<std::uint32_t>& out) {
  if (!file_.isOpen() || !dictionary_.isOpen()) return true;
  std::uint32_t final = mode == kkd::kGroupedTableMode ? readGroup(length, definitionIndex, out)
                                                               : readDirect(length, definitionIndex);
  // A final value among the records is the entry's last own definition.
  if (final >= dictionary_.definitionsStart() && final < dictionary_.definitionsEnd()) {
    if (dictionary_.isDefinitionOffset(final)) out.push_back(final);
    final = 0;
  }
  const bool hasList = final != kkd::kNoOccurrenceList;
  if (withOccurrences && hasList && final != 0) readOccurrences(final, out);
  return hasList;
}

bool definitionOffsets(const DictionaryList& list, int i, bool withOccurrences, int length, int definitionIndex,
                       int mode, std::vector<std::uint32_t>& out) {
  DictionaryList::Dictionary* d = list.dictionary(i);
  if (d == nullptr || !d->refresh()) return true;
  DefinitionPointers pointers(*d);
  return pointers.offsets(withOccurrences, length, definitionIndex, mode, out);
}

namespace {

// The normalised word as a pattern that matches exactly its letters: a
// canonical character that the pattern language reads as an operator (a
// digit, say, in an alphabet that holds digits) is escaped.
std::string literalPattern(std::string_view normalised) {
  std::string pattern;
  for (const char c : normalised) {
    if (std::string_view(".?*[]();\\^0123456789").find(c) != std::string_view::npos) pattern.push_back('\\');
    pattern.push_back(c);
  }
  return pattern;
}

// Whether the alphabet's letters are the built-in model's letters, two
// bytes sharing an alphabet index exactly when they fold alike. Then an
// entry matches a word exactly when their folded letters are equal, and
// since the builder sorts each length's headwords by folded letters, a
// lookup may stop at the first entry that sorts after the word.
bool foldsLikeTheBuiltInModel(const Alphabet& alphabet) {
  std::array<int, 256> indexOfFold;
  std::array<int, 256> foldOfIndex;
  indexOfFold.fill(-1);
  foldOfIndex.fill(-1);
  for (int b = 0; b < 256; ++b) {
    const int index = alphabet.indexOfByte[static_cast<std::size_t>(b)];
    const int fold = foldLetter(static_cast<std::uint8_t>(b));
    if ((index == kkd::kNoIndex) != (fold == 0)) return false;
    if (index == kkd::kNoIndex) continue;
    int& knownIndex = indexOfFold[static_cast<std::size_t>(fold)];
    int& knownFold = foldOfIndex[static_cast<std::size_t>(index)];
    if ((knownIndex != -1 && knownIndex != index) || (knownFold != -1 && knownFold != fold)) return false;
    knownIndex = index;
    knownFold = fold;
  }
  return true;
}

// Entries between two samples of a length's word list.
constexpr std::uint64_t kSampleEvery = 32;

// Samples section 1 of a length's list, read by `decoder` from its start:
// every kSampleEvery-th entry's place and text, in list order.
void sampleWordList(WordListDecoder& decoder, WordBuffer& word, WordListSamples& out) {
  out.built = true;
  out.samples.clear();
  for (std::uint64_t n = 0;; ++n) {
    const std::uint64_t at = decoder.bitPosition();
    const int flagged = decoder.flaggedSoFar();
    const WordListDecoder::Result r = decoder.next(word);
    if (r.record != WordListDecoder::Record::Entry) break;
    if (n % kSampleEvery == 0) {
      out.samples.push_back({at, flagged, std::string(word.raw, static_cast<std::size_t>(r.textLength))});
    }
  }
}

// Appends the records of the entries of `length` in section 1 of dictionary
// d that match the word, each record once.
void lookUpIn(const DictionaryList& list, int d, std::string_view normalised, std::vector<Definition>& out) {
  DictionaryList::Dictionary& dictionary = *list.dictionary(d);
  const int length = static_cast<int>(normalised.size());
  MatchEngine engine;
  if (engine.compile(dictionary.alphabet(), literalPattern(normalised), false) != PatternStatus::Valid) return;
  engine.setWordLength(length);
  WordListFile file;
  auto decoder = std::make_unique<WordListDecoder>(dictionary);
  if (file.startList(dictionary, length, *decoder) != WordListFile::Status::Reading) return;
  auto word = std::make_unique<WordBuffer>();
  const bool sorted =
      foldsLikeTheBuiltInModel(dictionary.alphabet()) &&
      std::all_of(normalised.begin(), normalised.end(), [](char c) { return isLetter(static_cast<std::uint8_t>(c)); });
  // In a sorted list the lookup starts at the last sample before the word
  // rather than at the list's start.
  std::uint64_t startBit = 0;
  int flaggedBefore = 0;
  bool sampled = false;
  if (sorted) {
    if (WordListSamples* samples = dictionary.lookupSamples(length)) {
      if (!samples->built) {
        sampleWordList(*decoder, *word, *samples);
        sampled = true;
      }
      const auto after = std::partition_point(
          samples->samples.begin(), samples->samples.end(),
          [&](const WordListSample& sample) { return compareFolded(sample.text, normalised) < 0; });
      if (after != samples->samples.begin()) {
        startBit = std::prev(after)->bitOffset;
        flaggedBefore = std::prev(after)->flaggedBefore;
      }
    }
  }
  if ((sampled || startBit != 0) &&
      file.startList(dictionary, length, *decoder, startBit, flaggedBefore) != WordListFile::Status::Reading) {
    return;
  }
  const int mode = dictionary.version() >= 1 ? kkd::kGroupedTableMode : kkd::kDirectTableMode;

  const std::size_t start = out.size();
  DefinitionPointers pointers(dictionary);
  std::vector<std::uint32_t> offsets;
  // Section 1 only: section 2 holds index words, which own no definitions.
  for (bool past = false; !past;) {
    const WordListDecoder::Result r = decoder->nextAccepted(*word, [&](const WordListDecoder::Result& entry) {
      if (sorted) {
        const int order = compareFolded(std::string_view(word->raw, static_cast<std::size_t>(entry.textLength)),
                                        normalised);
        past = order > 0;
        if (order != 0) return past;
      }
      return entry.keyLength == length && entry.definitionIndex >= 0 && engine.matches(*word);
    });
    if (r.record != WordListDecoder::Record::Entry || past) break;
    const std::string_view text(word->raw, static_cast<std::size_t>(r.textLength));
    offsets.clear();
    pointers.offsets(false, length, r.definitionIndex, mode, offsets);
    for (const std::uint32_t offset : offsets) {
      const bool listed = std::any_of(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(),
                                      [offset](const Definition& known) { return known.offset == offset; });
      if (listed) continue;
      Definition definition;
      definition.dictionaryPath = list.path(d);
      definition.dictionaryIndex = d;
      definition.offset = offset;
      definition.headword = std::string(text);
      out.push_back(std::move(definition));
    }
  }

  DefinitionRetriever retriever(list, d);
  for (std::size_t k = start; k < out.size(); ++k) retriever.read(out[k].offset, out[k]);
}

}  // namespace

void lookupDefinitions(const DictionaryList& list, std::string_view word, std::vector<Definition>& out) {
  // The word is read in the first dictionary's alphabet; when that one is
  // missing or damaged the next usable one stands in, so that the other
  // dictionaries are still searched.
  std::string normalised;
  bool haveAlphabet = false;
  for (int d = 0; d < list.count(); ++d) {
    if (!list.refresh(d)) continue;
    if (!haveAlphabet) {
      normalised = list.dictionary(d)->alphabet().normalise(word);
      haveAlphabet = true;
    }
    if (normalised.empty() || normalised.size() > static_cast<std::size_t>(kkd::kMaxWordLength)) return;
    lookUpIn(list, d, normalised, out);
  }
}

}  // namespace kea
