#include "dictionary/DictionaryList.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "dictionary/BlockSummary.h"
#include "dictionary/Coding.h"
#include "dictionary/MeaningIndex.h"
#include "dictionary/WordListDecoder.h"
#include "platform/DateTime.h"
#include "platform/TextCase.h"

namespace kea {

namespace {

// Every dictionary held by some list, in the order they were first opened.
std::vector<std::unique_ptr<DictionaryList::Dictionary>>& registry() {
  static std::vector<std::unique_ptr<DictionaryList::Dictionary>> dictionaries;
  return dictionaries;
}

// The description field is NUL-terminated and NUL-padded; a field without a
// terminator is cut so that the text stays within 999 characters.
std::string descriptionText(const unsigned char* field, std::size_t size) {
  const std::size_t limit = std::min<std::size_t>(size, kkd::kDescriptionSizeV1 - 1);
  std::size_t length = 0;
  while (length < limit && field[length] != 0) ++length;
  return std::string(reinterpret_cast<const char*>(field), length);
}

int clampToInt(std::uint64_t value) {
  return value > static_cast<std::uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(value);
}

}  // namespace

// ---------------------------------------------------------------------------
// The list and the shared registry

DictionaryList* DictionaryList::create(const std::vector<std::string>& paths) {
  auto* list = new DictionaryList();
  auto& shared = registry();
  for (const std::string& path : paths) {
    if (path.empty()) continue;
    // Shared by the exact path: "Words.kkd" is not "words.kkd" on Linux.
    Dictionary* found = nullptr;
    for (const auto& d : shared) {
      if (d->path() == path) {
        found = d.get();
        break;
      }
    }
    if (found) {
      ++found->referenceCount_;
    } else {
      shared.push_back(std::make_unique<Dictionary>(path));
      found = shared.back().get();
      found->open(true);
    }
    list->dictionaries_.push_back(found);
  }
  return list;
}

DictionaryList* DictionaryList::create(std::string_view names) {
  std::vector<std::string> paths;
  std::size_t start = 0;
  while (start <= names.size()) {
    std::size_t end = names.find(';', start);
    if (end == std::string_view::npos) end = names.size();
    paths.emplace_back(names.substr(start, end - start));
    start = end + 1;
  }
  return create(paths);
}

void DictionaryList::release(DictionaryList* list) {
  if (!list) return;
  auto& shared = registry();
  for (Dictionary* d : list->dictionaries_) {
    // After releaseAll the list's dictionaries are gone: only those still in
    // the registry are counted down.
    const auto it = std::find_if(shared.begin(), shared.end(), [d](const auto& p) { return p.get() == d; });
    if (it == shared.end()) continue;
    if (--d->referenceCount_ <= 0) shared.erase(it);
  }
  delete list;
}

void DictionaryList::releaseAll() { registry().clear(); }

std::size_t DictionaryList::sharedCount() { return registry().size(); }

namespace {

// Dictionaries keep their files open until the process first runs short
// of file handles; from then on they read their files by name, so that
// handles stay free for the searches and for whatever else needs one.
bool keepingFiles = true;

}  // namespace

bool DictionaryList::releaseKeptFile(const Dictionary* except) {
  keepingFiles = false;
  bool released = false;
  for (const auto& d : registry()) {
    if (d.get() == except || !d->file_.isOpen()) continue;
    d->file_.close();
    released = true;
  }
  return released;
}

platform::OpenError DictionaryList::Dictionary::openFile(platform::ReadOnlyFile& into, bool takeKept) const {
  for (;;) {
    const platform::OpenError error = file_.isOpen() ? into.openSame(file_) : into.open(fileName_);
    if (error != platform::OpenError::TooManyFiles || !takeKept || !releaseKeptFile(this)) return error;
  }
}

DictionaryList::Dictionary* DictionaryList::dictionary(int i) const {
  return i >= 0 && i < count() ? dictionaries_[static_cast<std::size_t>(i)] : nullptr;
}

bool DictionaryList::isUsable(int i) const {
  Dictionary* d = dictionary(i);
  std::string ignored;
  return d && d->describe(ignored);
}

std::optional<std::string> DictionaryList::firstUnusable() const {
  for (int i = 0; i < count(); ++i) {
    if (!isUsable(i)) return dictionaries_[static_cast<std::size_t>(i)]->path();
  }
  return std::nullopt;
}

bool DictionaryList::refresh(int i) const {
  Dictionary* d = dictionary(i);
  return d && d->refresh();
}

std::string DictionaryList::path(int i) const {
  const Dictionary* d = dictionary(i);
  return d ? d->path() : std::string();
}

std::string DictionaryList::Dictionary::name() const {
  std::string_view title(fileName_);
  if (const std::size_t slash = title.rfind('/'); slash != std::string_view::npos) title.remove_prefix(slash + 1);
  constexpr std::string_view kExtension = ".kkd";
  if (title.size() > kExtension.size() &&
      platform::equalsIgnoringCase(title.substr(title.size() - kExtension.size()), kExtension)) {
    title.remove_suffix(kExtension.size());
  }
  return std::string(title);
}

std::string DictionaryList::name(int i) const {
  const Dictionary* d = dictionary(i);
  return d ? d->name() : std::string();
}

std::string DictionaryList::dateText(int i) const {
  const Dictionary* d = dictionary(i);
  return d ? d->dateText() : std::string();
}

std::string DictionaryList::description(int i) const {
  const Dictionary* d = dictionary(i);
  return d ? d->description() : std::string();
}

bool DictionaryList::describe(int i, std::string& out) const {
  Dictionary* d = dictionary(i);
  if (!d) {
    out.clear();
    return false;
  }
  return d->describe(out);
}

void DictionaryList::statistics(int i, int& entries, int& definitions, int& shortest, int& longest) const {
  entries = definitions = shortest = longest = 0;
  if (const Dictionary* d = dictionary(i)) d->statistics(entries, definitions, shortest, longest);
}

int DictionaryList::lengthSlots(int i) const {
  const Dictionary* d = dictionary(i);
  return d ? d->lengthSlots() : 0;
}

bool DictionaryList::hasDefinitions(int i) const {
  const Dictionary* d = dictionary(i);
  return d && d->hasDefinitions();
}

std::uint32_t DictionaryList::wordCount(int i, int length) const {
  const Dictionary* d = dictionary(i);
  return d && length < d->lengthSlots() ? d->wordCount(length) : 0;
}

std::uint32_t DictionaryList::wordListOffset(int i, int length) const {
  const Dictionary* d = dictionary(i);
  return d && length < d->lengthSlots() ? d->wordListOffset(length) : 0;
}

std::uint8_t DictionaryList::canonicalCharOf(int i, int alphabetIndex) const {
  const Dictionary* d = dictionary(i);
  return d ? d->canonicalCharOf(alphabetIndex) : kkd::kUnsetIndexChar;
}

int DictionaryList::letterCount(int i) const {
  const Dictionary* d = dictionary(i);
  return d ? d->letterCount() : 0;
}

std::array<std::uint8_t, 256> DictionaryList::byteChars(int i) const {
  const Dictionary* d = dictionary(i);
  if (!d) return {};
  return d->alphabet().byteChar;
}

// ---------------------------------------------------------------------------
// One dictionary

DictionaryList::Dictionary::Dictionary(std::string fileName) : fileName_(std::move(fileName)) {
  resetHeader();
  statusText_ = kInvalidText;
}

DictionaryList::Dictionary::~Dictionary() { close(); }

void DictionaryList::Dictionary::resetHeader() {
  for (auto& node : codeTree_) node = {-1, -1};
  for (int v = 0; v < kkd::kLeafCount; ++v) codeTree_[static_cast<std::size_t>(v)] = {0, kkd::kNoIndex};
  fastNode_.fill(-1);
  fastLength_.fill(0);
  version_ = 0;
  definitionsStart_ = searchableStart_ = definitionsEnd_ = 0;
  lengthSlots_ = 0;
  wordListOffset_.fill(0);
  wordCount_.fill(0);
  directTable_.fill(0);
  groupTable_.fill(0);
  groupEntries_.fill(0);
  alphabet_ = Alphabet();
  positionTableCount_ = 0;
  positionTables_.clear();
  positionTables_.shrink_to_fit();
  headerEnd_ = 0;
  headerHash_ = 0;
  blockSummaries_.reset();
  blockSummariesRead_ = false;
  scoresLoaded_ = pairsLoaded_ = meaningLoaded_ = false;
  scores_.reset();
  pairs_.reset();
  meaning_.reset();
}

const EntryScores* DictionaryList::Dictionary::entryScores() const {
  if (!scoresLoaded_ && isOpen_) {
    scoresLoaded_ = true;
    scores_ = EntryScores::load(companionPath(fileName_, EntryScores::kExtension), fingerprint(), lengthSlots_,
                                wordCount_);
  }
  return scores_.get();
}

std::shared_ptr<const PairScores> DictionaryList::Dictionary::pairScores() const {
  if (!pairsLoaded_ && isOpen_) {
    pairsLoaded_ = true;
    pairs_ = PairScores::load(companionPath(fileName_, PairScores::kExtension), fingerprint());
  }
  return pairs_;
}

std::shared_ptr<const MeaningIndex> DictionaryList::Dictionary::meaningIndex() const {
  if (!meaningLoaded_ && isOpen_) {
    meaningLoaded_ = true;
    meaning_ = MeaningIndex::load(companionPath(fileName_, MeaningIndex::kExtension), fingerprint(), lengthSlots_,
                                  wordCount_);
  }
  return meaning_;
}

void DictionaryList::Dictionary::close() {
  // Everything read from the file goes, so a closed dictionary answers
  // every query as an empty one.
  resetHeader();
  wordListCode_.reset();
  for (auto& cache : groupIndexCache_) std::vector<std::uint32_t>().swap(cache);
  for (auto& samples : lookupSamples_) samples = WordListSamples();
  isOpen_ = false;
  file_.close();
  statusText_ = kInvalidText;
}

void DictionaryList::Dictionary::open(bool reopen) {
  isOpen_ = false;
  stamp_ = platform::FileStamp();
  close();
  problem_.clear();
  if (!reopen) return;

  std::optional<platform::FileStamp> stamp;
  platform::OpenError error;
  while ((error = file_.open(fileName_)) == platform::OpenError::TooManyFiles && DictionaryList::releaseKeptFile(this)) {
  }
  if (error != platform::OpenError::None || !(stamp = file_.stamp())) {
    problem_ = file_.isOpen() ? "cannot be read" : file_.failureReason("a dictionary file");
    file_.close();
    statusText_ = kNotFoundText;
    return;
  }
  stamp_ = *stamp;
  if (!readHeader(file_) || !checkLayout()) {
    // Whatever failed, the status says the file is invalid, even when its
    // description had already been read: a broken file must not look like
    // a described one.
    if (problem_.empty()) problem_ = "is damaged: its header is not valid";
    close();
    return;
  }
  if (!keepingFiles) file_.close();
  isOpen_ = true;
}

bool DictionaryList::Dictionary::damaged(std::string what) {
  problem_ = "is damaged: " + std::move(what);
  return false;
}

bool DictionaryList::Dictionary::checkLayout() {
  const std::uint64_t size = stamp_.size;
  const auto lengthText = [](int length) { return std::to_string(length) + "-letter entries"; };
  if (version_ >= 1) {
    if (definitionsStart_ > searchableStart_ || searchableStart_ > definitionsEnd_) {
      return damaged("its definitions' offsets are out of order");
    }
    if (definitionsEnd_ > size) return damaged("its definitions run past the end of the file");
    if (definitionsStart_ < definitionsEnd_ && definitionsStart_ < headerEnd_) {
      return damaged("its definitions start inside its header");
    }
  }
  // The structure written last ends the file: a grouped pointer table,
  // whose end the header gives, or a word list, whose end only decoding
  // finds.
  std::uint64_t lastStart = 0;
  int lastList = 0;
  for (int length = 1; length < lengthSlots_; ++length) {
    const std::uint32_t count = wordCount(length);
    const std::uint32_t offset = wordListOffset(length);
    const bool room = listHasRoom(length);
    if (count > 0) {
      if (offset < headerEnd_ || offset >= size) return damaged("the list of " + lengthText(length) + " lies outside the file");
      if (!room) return damaged("the list of " + lengthText(length) + " has no room before the next one");
      // Every entry takes at least a bit for each letter and one for its end.
      if (static_cast<std::uint64_t>(count) * static_cast<std::uint64_t>(length + 1) > 8 * (size - offset)) {
        return damaged("the list of " + lengthText(length) + " runs past the end of the file");
      }
    }
    if (room && offset >= headerEnd_ && offset < size && offset >= lastStart) {
      lastStart = offset;
      lastList = length;
    }
    if (version_ >= 1 && groupEntries(length) > 0) {
      const std::uint32_t table = groupTable(length);
      if (table < headerEnd_ || !rangeInFile(table, 4ull * groupEntries(length))) {
        return damaged("the definitions table of " + lengthText(length) + " runs past the end of the file");
      }
      if (table >= lastStart) {
        lastStart = table;
        lastList = 0;
      }
    }
    const std::uint32_t direct = directTable(length);
    if (version_ >= 1 && direct != 0 && direct != 0xFFFFFFFFu && direct >= size) {
      return damaged("the index of " + lengthText(length) + " lies outside the file");
    }
  }
  if (lastList == 0) return true;
  // The list that ends the file must end inside it, with the whole of its
  // last 16-bit unit: a cut there may leave every record readable.
  auto decoder = std::make_unique<WordListDecoder>(*this);
  FileSource source(file_, lastStart, size);
  decoder->start(&source);
  auto word = std::make_unique<WordBuffer>();
  WordListDecoder::Record record = WordListDecoder::Record::Entry;
  while (record == WordListDecoder::Record::Entry || record == WordListDecoder::Record::SectionEnd) {
    record = decoder->next(*word).record;
  }
  const std::uint64_t bits = decoder->bitPosition();
  if (record != WordListDecoder::Record::ListEnd || lastStart + (bits + 15) / 16 * 2 > size) {
    return damaged("the list of " + lengthText(lastList) + " is cut short");
  }
  return true;
}

bool DictionaryList::Dictionary::readHeader(const platform::ReadOnlyFile& file) {
  // Sized for the largest header: version 1 with N = 101.
  unsigned char header[kkd::headerSizeV1(kkd::kMaxLengthSlots)];
  if (file.readAt(0, header, 6) != 6) {
    problem_ = stamp_.size < 4 ? "is not a dictionary file" : "is damaged: it ends inside its header";
    return false;
  }
  if (std::memcmp(header, kkd::kMagicV1, 4) == 0) {
    version_ = 1;
  } else if (std::memcmp(header, kkd::kMagicV0, 4) == 0) {
    version_ = 0;
  } else {
    problem_ = "is not a dictionary file";
    return false;
  }
  // N must fit the per-length tables; it is checked before any is read.
  // N = 0 would leave no slot 0 and is just as malformed.
  const int n = coding::decodeFixed16(header + kkd::kOffsetLengthSlots);
  if (n < 1 || n > kkd::kMaxLengthSlots) return false;
  lengthSlots_ = n;

  const std::uint32_t size = version_ == 1 ? kkd::headerSizeV1(static_cast<std::uint32_t>(n))
                                           : kkd::headerSizeV0(static_cast<std::uint32_t>(n));
  if (file.readAt(0, header, size) != size) return damaged("it ends inside its header");
  headerHash_ = fnv1a64(header, size);
  const unsigned char* p = header + 6;
  const auto readTable = [&p, n](std::array<std::uint32_t, kkd::kMaxLengthSlots>& table) {
    for (int l = 0; l < n; ++l, p += 4) table[static_cast<std::size_t>(l)] = coding::decodeFixed32(p);
  };
  std::size_t descriptionSize = kkd::kDescriptionSizeV0;
  if (version_ == 1) {
    definitionsStart_ = coding::decodeFixed32(p);
    searchableStart_ = coding::decodeFixed32(p + 4);
    definitionsEnd_ = coding::decodeFixed32(p + 8);
    p += 12;
    readTable(directTable_);
    readTable(groupTable_);
    readTable(groupEntries_);
    descriptionSize = kkd::kDescriptionSizeV1;
  } else {
    for (int l = 0; l < n; ++l) {
      directTable_[static_cast<std::size_t>(l)] = 0xFFFFFFFFu;
      groupTable_[static_cast<std::size_t>(l)] = 0xFFFFFFFFu;
    }
  }
  readTable(wordListOffset_);
  readTable(wordCount_);
  statusText_ = descriptionText(p, descriptionSize);
  p += descriptionSize;

  const int a = static_cast<std::int16_t>(coding::decodeFixed16(p));
  const int b = static_cast<std::int16_t>(coding::decodeFixed16(p + 2));
  p += 4;
  if (a < 0 || a >= kkd::kAlphabetLimit || b <= 0 || b >= kkd::kAlphabetLimit || a > b) return false;
  alphabet_.letterCount = a;
  alphabet_.alphabetSize = b;

  if (!readSymbolTable(p)) return false;
  p += kkd::kSymbolTableSize;
  buildFastTable();

  positionTableCount_ = coding::decodeFixed16(p);
  const std::uint64_t tableBytes = static_cast<std::uint64_t>(positionTableCount_) * static_cast<std::uint64_t>(a);
  // Checked against the file before anything is allocated for the tables.
  if (!rangeInFile(size, tableBytes)) return damaged("it ends inside its header");
  positionTables_.resize(static_cast<std::size_t>(tableBytes));
  if (tableBytes > 0 && file.readAt(size, positionTables_.data(), positionTables_.size()) != positionTables_.size())
    return false;
  headerEnd_ = static_cast<std::uint32_t>(size + tableBytes);
  return true;
}

bool DictionaryList::Dictionary::readSymbolTable(const unsigned char* records) {
  int nextFree = kkd::kRootNode + 1;
  for (int v = 0; v < 256; ++v) {
    const unsigned char* record = records + v * kkd::kSymbolRecordSize;
    const std::uint8_t canonical = record[0];
    const int codeLength = record[1];
    const int index = static_cast<std::int16_t>(coding::decodeFixed16(record + 2));
    const std::uint32_t code = coding::decodeFixed32(record + 4);

    alphabet_.byteChar[static_cast<std::size_t>(v)] = canonical;
    CodeNode& leaf = codeTree_[static_cast<std::size_t>(v)];
    leaf = {codeLength, kkd::kNoIndex};
    // An index is -1 (outside the alphabet) or below B; anything else would
    // give the matcher letters the alphabet does not have.
    if (index < -1 || index >= alphabet_.alphabetSize) return false;
    if (index >= 0) {
      leaf.second = index;
      alphabet_.indexOfByte[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(index);
      alphabet_.indexChar[static_cast<std::size_t>(index)] = canonical;
    }
    if (codeLength > kkd::kMaxCodeLength) return false;
    if (codeLength > 0 && !insertCode(v, codeLength, code, nextFree)) return false;
  }
  return true;
}

// Hangs leaf `symbol` on the path its code spells from the root, most
// significant bit first. A code that runs through a leaf, ends where another
// code ends or passes, or needs more than the 512 internal nodes makes the
// table unusable: decoding would be ambiguous.
bool DictionaryList::Dictionary::insertCode(int symbol, int codeLength, std::uint32_t code, int& nextFree) {
  int node = kkd::kRootNode;
  for (int bit = codeLength - 1; bit >= 1; --bit) {
    CodeNode& current = codeTree_[static_cast<std::size_t>(node)];
    std::int32_t& child = ((code >> bit) & 1u) ? current.second : current.first;
    if (child < 0) {
      if (nextFree >= kkd::kTreeNodes) return false;
      child = nextFree++;
      codeTree_[static_cast<std::size_t>(child)] = {-1, -1};
    } else if (child < kkd::kLeafCount) {
      return false;
    }
    node = child;
  }
  CodeNode& parent = codeTree_[static_cast<std::size_t>(node)];
  std::int32_t& slot = (code & 1u) ? parent.second : parent.first;
  if (slot >= 0) return false;
  slot = symbol;
  return true;
}

void DictionaryList::Dictionary::buildFastTable() {
  for (int byte = 0; byte < 256; ++byte) {
    std::int32_t node = kkd::kRootNode;
    int used = 0;
    while (node >= kkd::kLeafCount && used < 8) {
      const CodeNode& current = codeTree_[static_cast<std::size_t>(node)];
      node = ((byte >> used) & 1) ? current.second : current.first;
      ++used;
      if (node < 0) break;
    }
    fastNode_[static_cast<std::size_t>(byte)] = node;
    fastLength_[static_cast<std::size_t>(byte)] = node < 0 ? 0 : used;
  }
}

bool DictionaryList::Dictionary::refresh() {
  const auto now = platform::fileStamp(fileName_);
  // The size is compared too: a file rewritten within one tick of the file
  // system's clock keeps its time but seldom its size.
  if (now && now->lastWriteTime == stamp_.lastWriteTime && now->size == stamp_.size) return isOpen_;
  open(false);
  open(true);
  return isOpen_;
}

bool DictionaryList::Dictionary::describe(std::string& out) {
  out = name();
  const bool open = refresh();
  if (open) {
    int entries = 0, definitions = 0, shortest = 0, longest = 0;
    statistics(entries, definitions, shortest, longest);
    char line[64];
    std::snprintf(line, sizeof line, "\nHeadwords: %d", entries);
    out += line;
    if (definitions > 0) {
      std::snprintf(line, sizeof line, "\nDefinitions: %d", definitions);
      out += line;
    }
  }
  if (!statusText_.empty()) {
    out += "\nDescription: ";
    out += statusText_;
  }
  return open;
}

std::string DictionaryList::Dictionary::dateText() const {
  return platform::localDateTimeText(stamp_.lastWriteTime);
}

void DictionaryList::Dictionary::statistics(int& entries, int& definitions, int& shortest, int& longest) const {
  std::uint64_t entrySum = 0, definitionSum = 0;
  shortest = longest = 0;
  for (int l = 1; l < lengthSlots_; ++l) {
    const std::uint32_t count = wordCount(l);
    entrySum += count;
    definitionSum += groupEntries(l);
    if (count > 0) {
      if (shortest == 0) shortest = l;
      longest = l;
    }
  }
  // Counts from a damaged file may add up past what an int holds.
  entries = clampToInt(entrySum);
  definitions = clampToInt(definitionSum);
}

std::uint8_t DictionaryList::Dictionary::canonicalCharOf(int alphabetIndex) const {
  if (alphabetIndex < 0 || alphabetIndex > 255) return kkd::kUnsetIndexChar;
  return alphabet_.indexChar[static_cast<std::size_t>(alphabetIndex)];
}

const std::uint8_t* DictionaryList::Dictionary::positionTable(int k) const {
  if (k < 0 || k >= positionTableCount_ || alphabet_.letterCount == 0) return nullptr;
  return positionTables_.data() + static_cast<std::size_t>(k) * static_cast<std::size_t>(alphabet_.letterCount);
}

std::vector<std::uint32_t>* DictionaryList::Dictionary::groupIndexCache(int length) {
  if (length < 0 || length >= kkd::kMaxLengthSlots) return nullptr;
  return &groupIndexCache_[static_cast<std::size_t>(length)];
}

WordListSamples* DictionaryList::Dictionary::lookupSamples(int length) {
  if (length < 0 || length >= kkd::kMaxLengthSlots) return nullptr;
  return &lookupSamples_[static_cast<std::size_t>(length)];
}

std::shared_ptr<const BlockSummaries> DictionaryList::Dictionary::blockSummaries() const {
  if (isOpen_ && !blockSummariesRead_) {
    blockSummaries_ = loadBlockSummaries(*this).summaries;
    blockSummariesRead_ = true;
  }
  return blockSummaries_;
}

bool DictionaryList::Dictionary::listHasRoom(int length) const {
  // A later slot left at 0 has no list (a builder fills the offsets of empty
  // lengths before a list, never after the last one), so the next list is
  // the first later slot with an offset.
  const std::uint32_t offset = wordListOffset(length);
  for (int next = length + 1; next < lengthSlots_; ++next) {
    if (wordListOffset(next) != 0) return wordListOffset(next) > offset;
  }
  return true;
}

std::optional<std::uint32_t> DictionaryList::Dictionary::wordListStart(int length) const {
  if (!isOpen_ || length < 1 || length >= lengthSlots_) return std::nullopt;
  const std::uint32_t offset = wordListOffset(length);
  if (!listHasRoom(length)) return std::nullopt;
  // A list never starts inside the header (an offset left at 0 for a
  // trailing empty length would otherwise decode the header as words).
  if (offset < headerEnd_ || offset >= stamp_.size) return std::nullopt;
  return offset;
}

bool DictionaryList::Dictionary::groupTableInFile(int length) const {
  if (!isOpen_ || version_ < 1 || length < 1 || length >= lengthSlots_) return false;
  const std::uint32_t entries = groupEntries(length);
  return entries > 0 && rangeInFile(groupTable(length), 4ull * entries);
}

std::optional<std::uint32_t> DictionaryList::Dictionary::directValueOffset(int length, std::uint32_t position) const {
  if (!isOpen_ || version_ < 1 || length < 1 || length >= lengthSlots_) return std::nullopt;
  const std::uint32_t table = directTable(length);
  const std::uint64_t offset = table + 4ull * position;
  // A table that was not written has offset 0.
  if (table == 0 || !rangeInFile(offset, 4)) return std::nullopt;
  return static_cast<std::uint32_t>(offset);
}

}  // namespace kea
