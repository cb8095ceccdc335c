#include "builder/DictionaryBuilder.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <string_view>
#include <vector>

#include "builder/BitWriter.h"
#include "builder/BuilderInput.h"
#include "builder/DictionarySave.h"
#include "builder/DictionaryWriter.h"
#include "builder/HuffmanCode.h"
#include "builder/OccurrenceListCache.h"
#include "dictionary/PlainText.h"
#include "builder/PositionTables.h"
#include "dictionary/Alphabet.h"
#include "dictionary/KkdFormat.h"
#include "dictionary/LetterFold.h"

namespace kea {

std::int64_t BuildEnvironment::steadyMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

namespace {

// Progress texts go out for every 128th line at most, and then only when
// more than a second has passed since the last one.
class ProgressThrottle {
 public:
  explicit ProgressThrottle(const std::function<std::int64_t()>& clock) : clock_(clock), last_(clock()) {}

  bool due(std::uint64_t item) {
    if (item % 128 != 0) return false;
    const std::int64_t now = clock_();
    if (now - last_ <= 1000) return false;
    last_ = now;
    return true;
  }

 private:
  const std::function<std::int64_t()>& clock_;
  std::int64_t last_;
};

// One headword entry as the calibration pass filed it.
struct Entry {
  std::uint32_t textStart;  // in the text arena
  std::uint32_t textSize;
  std::uint32_t line;       // the line (and definition number) it came from
};

// Entries of one length after sorting, with equal texts merged.
struct MergedEntry {
  std::uint32_t textStart;
  std::uint32_t textSize;
  std::uint32_t firstLine;  // into the merged line list
  std::uint32_t lineCount;
};

// The definition table holds a line's group (0: no definition, 1 or 2)
// until the record is written, then its file offset; offsets are always
// above the header, so values of 2 or less are never offsets.
constexpr std::uint32_t kLastGroupNumber = 2;

class Build {
 public:
  Build(DictionaryMaintainer& source, const std::array<std::uint8_t, 256>& alphabet, const std::string& target,
        const std::string& description, int shortest, int longest, const BuildEnvironment& environment)
      : source_(source), alphabet_(alphabet), target_(target), environment_(environment), throttle_(environment.milliseconds) {
    sanitiseAlphabetTable(alphabet_);
    shortest_ = std::clamp(shortest, 1, kkd::kMaxWordLength);
    longest_ = std::clamp(longest, shortest_, kkd::kMaxWordLength);
    header_.description = description;
    header_.canonical = alphabet_;
  }

  bool run() {
    // Readers reject a dictionary whose alphabet is empty.
    if (std::none_of(alphabet_.begin(), alphabet_.end(), [](std::uint8_t c) { return c != 0; })) {
      source_.logMessage("The alphabet holds no letters\n");
      return false;
    }
    try {
      return calibrate() && analyse() && open() && writeHeader() && writeDefinitions() && writeLengths() &&
             finish();
    } catch (const std::bad_alloc&) {
      source_.logMessage("Insufficient memory to create the dictionary!\n");
      if (out_) out_->close();
      return false;
    }
  }

 private:
  enum class Read { kLine, kEnd, kAbandoned };

  Read nextLine(std::string* line) {
    const int result = source_.nextLine(line, static_cast<int>(callCounter_++ & 0x7FFFFFFF));
    if (result == DictionaryMaintainer::kAbandon) {
      source_.logMessage("Dictionary creation abandoned\n");
      if (out_) out_->close();
      return Read::kAbandoned;
    }
    return result == DictionaryMaintainer::kDelivered ? Read::kLine : Read::kEnd;
  }

  // Phase 1: entries, byte frequencies, position counts, definition groups
  // and the words of the searchable definitions.
  bool calibrate() {
    positions_ = std::make_unique<PositionCounts>(longest_);
    source_.rewind();
    std::string line, text, key, plain;
    ParsedLine parsed;
    for (std::uint64_t number = 0;; ++number) {
      const Read read = nextLine(&line);
      if (read == Read::kAbandoned) return false;
      if (read == Read::kEnd) break;
      if (throttle_.due(number)) source_.status("Calibrating dictionary - " + std::string(firstField(line)));
      parsed.parse(line);
      const std::uint64_t before = entryCount_;
      std::int64_t lastSemicolonCount = -1;
      for (std::size_t f = 0; f < parsed.fieldCount(); ++f) {
        const ParsedLine::Field& field = parsed.field(f);
        if (field.rawSize <= kMaxHeadwordField) {
          fileEntry(parsed, f, static_cast<std::uint32_t>(number), text, key);
        } else {
          ++overlongHeadwords_;
        }
        if (field.terminator == ';') lastSemicolonCount = static_cast<std::int64_t>(entryCount_);
      }
      std::uint32_t group = 0;
      if (entryCount_ != before && parsed.hasDefinition()) {
        group = lastSemicolonCount == static_cast<std::int64_t>(before) ? 1 : 2;
      }
      if (group == 2) indexWords(parsed.definition(), static_cast<std::uint32_t>(number), plain, key);
      definitionTable_.push_back(group);
    }
    cache_.finish();
    if (overlongHeadwords_ > 0) {
      source_.notice(std::to_string(overlongHeadwords_) + (overlongHeadwords_ == 1 ? " headword" : " headwords") +
                     " longer than " + std::to_string(kMaxHeadwordField) + " characters left out");
    }
    // The last length slot is the longest length with a word list, so
    // that every list but the last ends where the next one starts.
    header_.lengthSlots = lastLength_ + 1;
    return true;
  }

  void fileEntry(const ParsedLine& parsed, std::size_t f, std::uint32_t line, std::string& text, std::string& key) {
    const std::string_view headword = parsed.headword(f);
    const int length = keyLength(alphabet_, headword);
    if (length < shortest_ || length > longest_) return;
    parsed.entryText(f, text);
    // Entries address the text arena with 32-bit offsets.
    if (texts_.size() + text.size() > UINT32_MAX) throw std::bad_alloc();
    lastLength_ = std::max(lastLength_, length);
    entries_[length].push_back(Entry{static_cast<std::uint32_t>(texts_.size()),
                                     static_cast<std::uint32_t>(text.size()), line});
    texts_.append(text);
    for (const char c : text) ++frequency_[static_cast<std::uint8_t>(c)];
    ++frequency_[kkd::kEndSymbol];
    key.clear();
    appendKey(alphabet_, headword, key);
    positions_->count(key);
    ++entryCount_;
  }

  // Every maximal run of alphabet characters in the plain text is a word.
  void indexWords(std::string_view definition, std::uint32_t number, std::string& plain, std::string& key) {
    reduceToPlainText(definition, plain);
    key.clear();
    const auto endWord = [&]() {
      if (!key.empty() && static_cast<int>(key.size()) <= longest_) {
        cache_.add(key, number);
        lastLength_ = std::max(lastLength_, static_cast<int>(key.size()));
      }
      key.clear();
    };
    for (const char c : plain) {
      const std::uint8_t canonical = alphabet_[static_cast<std::uint8_t>(c)];
      if (canonical == 0) {
        endWord();
        continue;
      }
      // A letter seen only in definitions still needs a code, for the
      // index words written in section 2.
      if (frequency_[canonical] == 0) frequency_[canonical] = 1;
      key.push_back(static_cast<char>(canonical));
    }
    endWord();
  }

  // Phases 3 and 4: the code and the alphabet numbering.
  bool analyse() {
    header_.code = buildHuffmanCode(frequency_);
    source_.logMessage(header_.code.storing ? "Alphabet analysis completed OK - storing\n"
                                            : "Alphabet analysis completed OK - compressing\n");
    header_.alphabet = Alphabet::fromCanonicalTable(alphabet_, frequency_);
    commonestByte_.fill(0);
    std::array<std::uint64_t, 256> best{};
    for (int b = 0; b < 256; ++b) {
      const std::uint8_t index = header_.alphabet.indexOfByte[b];
      if (index == kkd::kNoIndex) continue;
      // Strictly greater keeps the lowest byte on equal frequencies.
      if (commonestByte_[index] == 0 || frequency_[b] > best[index]) {
        commonestByte_[index] = static_cast<std::uint8_t>(b);
        best[index] = frequency_[b];
      }
    }
    source_.logMessage("Frequency analysis completed OK\n");
    return true;
  }

  bool open() {
    out_ = environment_.createOutput ? environment_.createOutput(target_) : createOutputFile(target_);
    if (!out_) {
      source_.logFormat(texts::kCouldNotOpenLog, target_.c_str());
      return false;
    }
    return true;
  }

  bool writeHeader() {
    header_.positionTableCount = PositionCounts::tableCount(lastLength_);
    header_.positionTables = positions_->tables(header_.alphabet, lastLength_);
    positions_.reset();
    out_->write(encodeHeader(header_, false));
    return true;
  }

  // The file offset for a pointer; false (and the build fails) when the file
  // has grown past what a 31-bit offset can reach.
  bool offsetHere(std::uint32_t& offset) {
    const std::uint64_t position = out_->position();
    if (position >= kkd::kOffsetMask) {
      tooLarge_ = true;
      return false;
    }
    offset = static_cast<std::uint32_t>(position);
    return true;
  }

  bool stopped() const { return out_->failed() || tooLarge_; }

  // Phase 7: group 1, then group 2, each record at the offset that then
  // replaces the group number in the definition table.
  bool writeDefinitions() {
    std::string line, record;
    ParsedLine parsed;
    for (std::uint32_t pass = 1; pass <= 2 && !stopped(); ++pass) {
      std::uint32_t& start = pass == 1 ? header_.definitionsStart : header_.searchableStart;
      if (!offsetHere(start)) break;
      source_.rewind();
      for (std::uint64_t number = 0;; ++number) {
        const Read read = nextLine(&line);
        if (read == Read::kAbandoned) return false;
        if (read == Read::kEnd) break;
        if (throttle_.due(number)) {
          source_.status("Definition output pass " + std::to_string(pass) + " - " + std::string(firstField(line)));
        }
        if (number >= definitionTable_.size() || definitionTable_[number] != pass) continue;
        parsed.parse(line);
        // A source that changed since calibration may have lost the text.
        if (!parsed.hasDefinition()) continue;
        std::uint32_t offset;
        if (!offsetHere(offset)) break;
        encodeDefinitionRecord(parsed, pass == 2, record);
        out_->write(record);
        definitionTable_[number] = offset;
        if (out_->failed()) break;
      }
    }
    if (!stopped()) offsetHere(header_.definitionsEnd);
    return true;
  }

  bool isWritten(std::uint32_t definition) const {
    return definition < definitionTable_.size() && definitionTable_[definition] > kLastGroupNumber;
  }

  // Writes the occurrence list of an index word; its offset, or
  // kNoOccurrenceList when none of its definitions was written.
  std::uint32_t writeOccurrenceList(OccurrenceListCache::WordId word) {
    values_.clear();
    for (const std::uint32_t definition : cache_.definitions(word)) {
      if (isWritten(definition)) values_.push_back(definitionTable_[definition]);
    }
    if (values_.empty()) return kkd::kNoOccurrenceList;
    std::uint32_t offset;
    if (!offsetHere(offset)) return kkd::kNoOccurrenceList;
    scratch_.clear();
    appendPointerValues(scratch_, values_, true);
    out_->write(scratch_);
    return offset;
  }

  // Sorts the entries of one length by folded letters (then by bytes, then
  // by line, so the order is total) and merges equal texts.
  void sortAndMerge(std::vector<Entry>& entries) {
    std::string folded;
    struct SortKey {
      std::uint32_t foldedStart, foldedSize, entry;
    };
    std::vector<SortKey> keys;
    keys.reserve(entries.size());
    for (std::uint32_t i = 0; i < entries.size(); ++i) {
      const auto start = static_cast<std::uint32_t>(folded.size());
      for (const char c : textOf(entries[i])) {
        if (const std::uint8_t fold = foldLetter(static_cast<std::uint8_t>(c))) folded.push_back(static_cast<char>(fold));
      }
      keys.push_back(SortKey{start, static_cast<std::uint32_t>(folded.size()) - start, i});
    }
    const std::string_view foldedView(folded);
    std::sort(keys.begin(), keys.end(), [&](const SortKey& a, const SortKey& b) {
      const int byLetters = foldedView.substr(a.foldedStart, a.foldedSize).compare(foldedView.substr(b.foldedStart, b.foldedSize));
      if (byLetters != 0) return byLetters < 0;
      const int byBytes = textOf(entries[a.entry]).compare(textOf(entries[b.entry]));
      if (byBytes != 0) return byBytes < 0;
      return entries[a.entry].line < entries[b.entry].line;
    });
    merged_.clear();
    mergedLines_.clear();
    for (const SortKey& key : keys) {
      const Entry& entry = entries[key.entry];
      if (merged_.empty() || textOf(merged_.back()) != textOf(entry)) {
        merged_.push_back(MergedEntry{entry.textStart, entry.textSize, static_cast<std::uint32_t>(mergedLines_.size()), 0});
      }
      MergedEntry& into = merged_.back();
      // One line may give the same text twice; its definition counts once.
      if (into.lineCount == 0 || mergedLines_.back() != entry.line) {
        mergedLines_.push_back(entry.line);
        ++into.lineCount;
      }
    }
    std::vector<Entry>().swap(entries);
  }

  template <typename T>
  std::string_view textOf(const T& entry) const {
    return std::string_view(texts_).substr(entry.textStart, entry.textSize);
  }

  void writeText(BitWriter& bits, std::string_view text) {
    for (const char c : text) {
      const auto b = static_cast<std::uint8_t>(c);
      bits.writeBits(header_.code.length[b], writeCode_[b]);
    }
    bits.writeBits(header_.code.length[kkd::kEndSymbol], writeCode_[kkd::kEndSymbol]);
  }

  // Phases 8 and 9.
  bool writeLengths() {
    for (int b = 0; b < 256; ++b) writeCode_[b] = reverseBits(header_.code.code[b], header_.code.length[b]);
    std::vector<char> taken(cache_.wordCount(), 0);
    std::string key;
    std::vector<std::uint32_t> occurrence;  // per merged entry; 0 when it has none
    std::vector<std::uint32_t> groups;      // values of the grouped pointer table
    std::vector<std::uint32_t> groupEnd;    // per merged entry: end of its values in `groups`
    std::vector<std::uint32_t> direct;
    std::vector<OccurrenceListCache::WordId> indexWords;
    for (int length = 1; length <= lastLength_ && !stopped(); ++length) {
      std::vector<Entry>& entries = entries_[length];
      indexWords = cache_.wordsOfLength(static_cast<std::size_t>(length));
      if (entries.empty() && indexWords.empty()) continue;
      sortAndMerge(entries);

      // Occurrence lists of the headwords, which take their keys out of
      // the index words.
      occurrence.assign(merged_.size(), 0);
      for (std::size_t i = 0; i < merged_.size() && !stopped(); ++i) {
        const std::string_view text = textOf(merged_[i]);
        key.clear();
        appendKey(alphabet_, text.substr(0, text.find('\n')), key);
        const OccurrenceListCache::WordId word = cache_.find(key);
        if (word == OccurrenceListCache::kNone || taken[word]) continue;
        taken[word] = 1;
        occurrence[i] = writeOccurrenceList(word);
      }

      // The index words no headword has: section 2 and its direct table.
      std::erase_if(indexWords, [&](OccurrenceListCache::WordId word) { return taken[word] != 0; });
      direct.clear();
      for (const OccurrenceListCache::WordId word : indexWords) direct.push_back(writeOccurrenceList(word));
      if (!direct.empty() && offsetHere(header_.directTable[length])) {
        scratch_.clear();
        appendPointerValues(scratch_, direct, false);
        out_->write(scratch_);
      }

      // Each entry's group: its own definitions, then its occurrence list.
      groups.clear();
      groupEnd.clear();
      for (std::size_t i = 0; i < merged_.size(); ++i) {
        const std::size_t begin = groups.size();
        for (std::uint32_t l = 0; l < merged_[i].lineCount; ++l) {
          const std::uint32_t line = mergedLines_[merged_[i].firstLine + l];
          if (isWritten(line)) groups.push_back(definitionTable_[line]);
        }
        if (occurrence[i] != 0) groups.push_back(occurrence[i]);
        if (groups.size() > begin) groups.back() |= kkd::kFinalBit;
        groupEnd.push_back(static_cast<std::uint32_t>(groups.size()));
      }

      // The word list: section 1 with flag bits, section 2, each closed by
      // an end record. Empty lengths below read as empty.
      if (!offsetHere(header_.wordListOffset[length])) break;
      for (int below = length - 1; below >= 1 && header_.wordListOffset[below] == 0; --below) {
        header_.wordListOffset[below] = header_.wordListOffset[length];
      }
      {
        BitWriter bits(*out_);
        std::size_t previousEnd = 0;
        for (std::size_t i = 0; i < merged_.size(); ++i) {
          writeText(bits, textOf(merged_[i]));
          bits.writeBits(1, groupEnd[i] > previousEnd ? 1 : 0);
          previousEnd = groupEnd[i];
        }
        writeText(bits, {});
        for (const OccurrenceListCache::WordId word : indexWords) {
          key.clear();
          for (const char c : cache_.key(word)) {
            key.push_back(static_cast<char>(commonestByte_[header_.alphabet.indexOfByte[static_cast<std::uint8_t>(c)]]));
          }
          writeText(bits, key);
        }
        writeText(bits, {});
        bits.flush();
      }
      header_.wordCount[length] = static_cast<std::uint32_t>(merged_.size());

      // The grouped pointer table.
      if (!offsetHere(header_.groupTable[length])) break;
      header_.groupEntries[length] = static_cast<std::uint32_t>(groups.size());
      scratch_.clear();
      for (std::size_t i = 0; i < merged_.size(); ++i) {
        if (nextLine(nullptr) == Read::kAbandoned) return false;
        const std::size_t begin = i == 0 ? 0 : groupEnd[i - 1];
        appendPointerValues(scratch_, std::span<const std::uint32_t>(groups).subspan(begin, groupEnd[i] - begin), false);
        if (scratch_.size() >= (1 << 16)) {
          out_->write(scratch_);
          scratch_.clear();
        }
      }
      out_->write(scratch_);
      source_.logFormat("%d letter words handled OK\n", length);
    }
    return true;
  }

  // Phase 10: the real header over the placeholder, unless a write failed.
  bool finish() {
    bool ok = !stopped() && out_->seek(0) && out_->write(encodeHeader(header_, true));
    ok = out_->close() && ok;
    if (ok) return true;
    if (tooLarge_) {
      source_.logFormat("Couldn't output \"%s\" - the dictionary is too large for its file format\n", target_.c_str());
    } else {
      source_.logFormat("Couldn't output \"%s\" - out of disk space?\n", target_.c_str());
    }
    return false;
  }

  DictionaryMaintainer& source_;
  std::uint64_t overlongHeadwords_ = 0;
  std::array<std::uint8_t, 256> alphabet_;
  const std::string& target_;
  const BuildEnvironment& environment_;
  ProgressThrottle throttle_;
  int shortest_ = 1;
  int longest_ = kkd::kMaxWordLength;
  int lastLength_ = 0;  // the longest length with headwords or index words
  std::uint32_t callCounter_ = 0;

  // Calibration results.
  std::array<std::uint64_t, 256> frequency_{};
  std::uint64_t entryCount_ = 0;
  std::string texts_;
  std::array<std::vector<Entry>, kkd::kMaxLengthSlots> entries_;
  std::unique_ptr<PositionCounts> positions_;
  std::vector<std::uint32_t> definitionTable_;
  OccurrenceListCache cache_;

  // Output.
  KkdHeader header_;
  std::array<std::uint8_t, 256> commonestByte_{};
  std::array<std::uint32_t, 256> writeCode_{};
  std::unique_ptr<OutputFile> out_;
  bool tooLarge_ = false;
  std::vector<MergedEntry> merged_;
  std::vector<std::uint32_t> mergedLines_;
  std::vector<std::uint32_t> values_;
  std::string scratch_;
};

}  // namespace

bool buildDictionary(DictionaryMaintainer& source, const std::array<std::uint8_t, 256>& alphabet,
                     const std::string& targetPath, const std::string& description, int shortest, int longest,
                     const BuildEnvironment& environment) {
  Build build(source, alphabet, targetPath, description, shortest, longest, environment);
  return build.run();
}

}  // namespace kea
