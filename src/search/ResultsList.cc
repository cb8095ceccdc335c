#include "search/ResultsList.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "dictionary/LetterFold.h"

namespace kea {

// ---------------------------------------------------------------------------
// Entry storage: records are carved from 64 KiB blocks and only freed all at
// once by clear(), so adding an entry is a bump of a pointer, and an entry
// never moves while the list holds it.

class ResultsList::Arena {
 public:
  void* allocate(std::size_t bytes) {
    bytes = (bytes + kAlign - 1) & ~(kAlign - 1);
    if (blocks_.empty() || used_ + bytes > kBlockSize) {
      blocks_.reserve(blocks_.size() + 1);
      blocks_.push_back(std::make_unique<unsigned char[]>(kBlockSize));
      used_ = 0;
    }
    void* p = blocks_.back().get() + used_;
    used_ += bytes;
    last_ = bytes;
    return p;
  }
  // Gives back the most recent allocation.
  void undoLast() {
    used_ -= last_;
    last_ = 0;
  }
  void clear() {
    blocks_.clear();
    used_ = last_ = 0;
  }

 private:
  static constexpr std::size_t kAlign = alignof(Entry);
  static constexpr std::size_t kBlockSize = 64 * 1024;
  static_assert(sizeof(Entry) + kMaxText + 1 <= kBlockSize);
  std::vector<std::unique_ptr<unsigned char[]>> blocks_;
  std::size_t used_ = 0;
  std::size_t last_ = 0;
};

struct ResultsList::SortKey {
  std::string_view word;
  int letters;
  int score;
  explicit SortKey(const Entry& e) : word(e.word()), letters(e.letterCount()), score(e.rank()) {}
  explicit SortKey(std::string_view w) : word(w), letters(countLetters(w)), score(-1) {}
};

namespace {

// A hash of the folded letters: words that compare equal letter by letter
// hash alike, whatever their case, accents or punctuation.
std::size_t foldedHash(std::string_view word) {
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : word) {
    const std::uint8_t f = foldLetter(c);
    if (f != 0) h = (h ^ f) * 1099511628211ull;
  }
  return static_cast<std::size_t>(h ^ (h >> 29));
}

// Room for one more pointer, growing geometrically (reserve alone would
// grow by one each time).
void ensureRoom(std::vector<ResultsList::Entry*>& v) {
  if (v.size() < v.capacity()) return;
  v.reserve(std::clamp<std::size_t>(v.capacity() * 2, 16, ResultsList::kChunkLimit + 1));
}

}  // namespace

// ---------------------------------------------------------------------------

ResultsList::ResultsList(int maxCount)
    : maxCount_(std::clamp(maxCount, 0, kMaxCount)), arena_(std::make_unique<Arena>()) {
  chunks_.emplace_back();
  rebuildTree();
}

ResultsList::~ResultsList() = default;

void ResultsList::clear() {
  if (host_ != nullptr) host_->aboutToClear();
  insertions_.clear();
  chunks_.clear();
  chunks_.emplace_back();
  rebuildTree();
  arena_->clear();
  count_ = 0;
  fullChunks_ = true;
  index_ = {};
  indexUsed_ = 0;
  wordIndex_.clear();
  deferred_ = deferredRequested_;
  cache_ = PositionCache{};
  if (host_ != nullptr) host_->cleared();
}

void ResultsList::setHost(Host* host) {
  host_ = host;
  insertions_.clear();
}

std::vector<ResultsList::RowBlock> ResultsList::takeInsertions() {
  std::vector<RowBlock> out;
  out.swap(insertions_);
  return out;
}

void ResultsList::setOrder(int order, bool keepIndex) {
  order_ = order >= kAsFound && order <= kLengthDescendingCommonFirst ? static_cast<ListOrder>(order) : kAsFound;
  keepIndex_ = keepIndex;
}

bool ResultsList::before(const SortKey& a, const SortKey& b) const {
  if (commonFirst()) {
    if (order_ != kCommonFirst && a.letters != b.letters) {
      return order_ == kLengthAscendingCommonFirst ? a.letters < b.letters : a.letters > b.letters;
    }
    if (a.score != b.score) return a.score > b.score;
    return compareFolded(a.word, b.word) < 0;
  }
  if (order_ >= kLengthAscendingAlphabeticalAscending && a.letters != b.letters) {
    return order_ <= kLengthAscendingAlphabeticalDescending ? a.letters < b.letters : a.letters > b.letters;
  }
  const int c = compareFolded(a.word, b.word);
  // Orders 1, 3 and 5 are alphabetically ascending.
  return (order_ & 1) != 0 ? c < 0 : c > 0;
}

ResultsList::Entry* ResultsList::makeEntry(std::string_view text, std::string_view annotation,
                                                     std::string_view balance, std::uint32_t reference, int score,
                                                     int rank) {
  char buffer[kMaxText];
  std::size_t length = 0;
  for (std::string_view part : {text, annotation, balance}) {
    const std::size_t n = std::min(part.size(), kMaxText - length);
    if (n > 0) std::memcpy(buffer + length, part.data(), n);
    length += n;
  }
  void* block = arena_->allocate(sizeof(Entry) + length + 1);
  Entry* entry = new (block) Entry;
  char* chars = reinterpret_cast<char*>(entry + 1);
  if (length > 0) std::memcpy(chars, buffer, length);
  chars[length] = '\0';
  entry->reference_ = reference;
  entry->score_ = static_cast<std::int8_t>(score >= 0 && score <= 100 ? score : -1);
  entry->rank_ = rank == kRankOfScore ? entry->score_ : std::max(rank, -1);
  entry->textLength_ = static_cast<std::uint8_t>(length);
  entry->wordLength_ = static_cast<std::uint8_t>(std::min(text.size(), length));
  entry->annotationLength_ = static_cast<std::uint8_t>(std::min(annotation.size(), length - entry->wordLength_));
  entry->letterCount_ = static_cast<std::uint8_t>(countLetters(chars, entry->wordLength_));
  return entry;
}

bool ResultsList::add(std::string_view text, std::string_view annotation, std::string_view balance,
                           std::uint32_t reference, int score, int rank) {
  if (count_ >= maxCount_) return false;
  Entry* entry = nullptr;
  bool wordIndexed = false;
  try {
    entry = makeEntry(text, annotation, balance, reference, score, rank);
    // A deferred list appends as found and is put in order at the end.
    const bool deferring = deferred_ && order_ != kAsFound;
    const bool appending = order_ == kAsFound || deferring;
    if (commonFirst() && keepIndex_ && !deferring) {
      wordIndex_.emplace(foldedHash(entry->word()), entry);
      wordIndexed = true;
    }
    // Everything that may allocate happens before the list changes, so
    // running out of memory drops this entry and leaves the list as it was.
    const bool indexed = order_ == kAsFound && keepIndex_;
    if (indexed) reserveIndex();

    std::size_t k = chunks_.size() - 1;
    std::size_t offset = 0;
    bool newChunk = false;
    if (appending) {
      newChunk = chunks_[k].entries.size() >= kChunkLimit;
      offset = newChunk ? 0 : chunks_[k].entries.size();
    } else if (!chunks_[k].entries.empty()) {
      const SortKey key(*entry);
      // The first chunk whose last entry the new one sorts before; else the last.
      const auto chunk = std::partition_point(chunks_.begin(), chunks_.end() - 1, [&](const EntryHead& head) {
        return !before(key, SortKey(*head.entries.back()));
      });
      k = static_cast<std::size_t>(chunk - chunks_.begin());
      auto& entries = chunks_[k].entries;
      // In front of the first entry it sorts before: equal ones keep their arrival order.
      offset = static_cast<std::size_t>(
          std::partition_point(entries.begin(), entries.end(),
                               [&](const Entry* e) { return !before(key, SortKey(*e)); }) -
          entries.begin());
    }
    const bool split = !newChunk && chunks_[k].entries.size() + 1 >= kChunkLimit && !appending;
    std::vector<Entry*> fresh;
    if (newChunk || split) {
      chunks_.reserve(chunks_.size() + 1);
      tree_.reserve(chunks_.size() + 1);
      fresh.reserve(kChunkLimit);
    }
    if (!newChunk) ensureRoom(chunks_[k].entries);
    if (host_ != nullptr && insertions_.size() == insertions_.capacity()) {
      insertions_.reserve(std::max<std::size_t>(16, insertions_.capacity() * 2));
    }

    // From here on nothing allocates.
    const int row = newChunk ? count_ : rowsBefore(k) + static_cast<int>(offset);
    if (newChunk) {
      fresh.push_back(entry);
      chunks_.push_back(EntryHead{std::move(fresh)});
      ++k;
      rebuildTree();
    } else {
      auto& entries = chunks_[k].entries;
      if (k + 1 != chunks_.size() || offset != entries.size()) fullChunks_ = false;
      entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(offset), entry);
      if (split) {
        // The first half stays; the rest moves into a new chunk right after it.
        const auto half = entries.begin() + kChunkLimit / 2;
        fresh.assign(half, entries.end());
        entries.erase(half, entries.end());
        chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(k) + 1, EntryHead{std::move(fresh)});
        fullChunks_ = false;
        rebuildTree();
      } else {
        treeAdd(k, 1);
      }
    }
    if (host_ != nullptr) {
      RowBlock* last = insertions_.empty() ? nullptr : &insertions_.back();
      if (last != nullptr && row >= last->first && row <= last->first + last->count) {
        ++last->count;
      } else {
        insertions_.push_back({row, 1});
      }
    }
    ++count_;
    if (indexed) indexInsert(entry, row);
    cache_ = PositionCache{};
    return true;
  } catch (const std::bad_alloc&) {
    if (wordIndexed) {
      const auto range = wordIndex_.equal_range(foldedHash(entry->word()));
      for (auto it = range.first; it != range.second; ++it) {
        if (it->second == entry) {
          wordIndex_.erase(it);
          break;
        }
      }
    }
    if (entry != nullptr) arena_->undoLast();
    return false;
  }
}

namespace {

// The first eight folded letters of a word as one number, so that most
// alphabetical comparisons are one comparison of integers.
std::uint64_t foldedPrefix(std::string_view word) {
  std::uint64_t prefix = 0;
  int n = 0;
  for (const char c : word) {
    const std::uint8_t f = foldLetter(static_cast<std::uint8_t>(c));
    if (f == 0) continue;
    prefix = prefix << 8 | f;
    if (++n == 8) break;
  }
  return n == 0 ? 0 : prefix << (8 * (8 - n));
}

}  // namespace

void ResultsList::finishOrder() {
  if (!deferred_) return;
  deferred_ = false;
  if (order_ == kAsFound || count_ == 0) return;
  if (host_ != nullptr) host_->aboutToClear();
  const bool common = commonFirst();
  const bool byLength = order_ != kCommonFirst && order_ >= kLengthAscendingAlphabeticalAscending;
  const bool longestFirst = order_ == kLengthDescendingCommonFirst || order_ == kLengthDescendingAlphabeticalAscending ||
                            order_ == kLengthDescendingAlphabeticalDescending;
  const bool ascending = common || (order_ & 1) != 0;

  // A stable counting sort into buckets of one length (when grouped) and
  // one score (when most common first), in the list's order of buckets.
  // Ranks beyond the scores' range (phrases) share one bucket and are
  // sorted by rank in it.
  constexpr std::size_t kScores = 103;  // above 100, 100 ... 0, then none
  const auto bucketOf = [&](const Entry* e) {
    const std::size_t length = byLength ? static_cast<std::size_t>(longestFirst ? 255 - e->letterCount() : e->letterCount()) : 0;
    const int rank = e->rank();
    const std::size_t score = !common ? 0 : rank > 100 ? 0 : rank < 0 ? 102 : static_cast<std::size_t>(101 - rank);
    return length * kScores + score;
  };
  std::vector<std::uint32_t> start(256 * kScores + 1, 0);
  for (const EntryHead& chunk : chunks_) {
    for (const Entry* e : chunk.entries) ++start[bucketOf(e) + 1];
  }
  for (std::size_t b = 1; b < start.size(); ++b) start[b] += start[b - 1];
  std::vector<Entry*> sorted(static_cast<std::size_t>(count_));
  {
    std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
    for (const EntryHead& chunk : chunks_) {
      for (Entry* e : chunk.entries) sorted[next[bucketOf(e)]++] = e;
    }
  }

  // Within a bucket the entries go alphabetically. They often arrive so
  // (a dictionary's list of one length is in that order); a bucket that
  // does not is sorted on its first eight letters, then letter by letter.
  const auto inOrder = [&](const Entry* a, const Entry* b) {
    if (common && a->rank() != b->rank()) return a->rank() > b->rank();
    const int c = compareFolded(a->word(), b->word());
    return ascending ? c <= 0 : c >= 0;
  };
  struct Item {
    int rank;
    std::uint64_t prefix;
    std::uint32_t arrival;
    Entry* entry;
  };
  std::vector<Item> items;
  // Sorts entries [first, last) of `sorted` by rank, then alphabetically.
  const auto sortRun = [&](std::size_t first, std::size_t last) {
    items.clear();
    for (std::size_t i = first; i < last; ++i) {
      items.push_back({common ? sorted[i]->rank() : 0, foldedPrefix(sorted[i]->word()), static_cast<std::uint32_t>(i),
                       sorted[i]});
    }
    std::sort(items.begin(), items.end(), [&](const Item& x, const Item& y) {
      if (x.rank != y.rank) return x.rank > y.rank;
      if (x.prefix != y.prefix) return ascending ? x.prefix < y.prefix : x.prefix > y.prefix;
      const int c = compareFolded(x.entry->word(), y.entry->word());
      if (c != 0) return ascending ? c < 0 : c > 0;
      // Equal entries keep their arrival order, as additions in order would.
      return x.arrival < y.arrival;
    });
    for (std::size_t i = first; i < last; ++i) sorted[i] = items[i - first].entry;
  };
  std::vector<Entry*> byRank;
  std::vector<std::uint32_t> rankStart;
  for (std::size_t b = 0; b + 1 < start.size(); ++b) {
    std::size_t first = start[b], last = start[b + 1];
    bool ordered = true;
    for (std::size_t i = first + 1; ordered && i < last; ++i) ordered = inOrder(sorted[i - 1], sorted[i]);
    if (ordered) continue;
    // Finer ranks than the scores' (meaning ranks, phrases) over a range
    // not much wider than the bucket: a stable counting sort by rank, after
    // which most runs of one rank are in order already, as they arrived.
    if (common && last - first > 64) {
      int low = sorted[first]->rank(), high = low;
      for (std::size_t i = first; i < last; ++i) {
        low = std::min(low, sorted[i]->rank());
        high = std::max(high, sorted[i]->rank());
      }
      const std::size_t range = static_cast<std::size_t>(static_cast<std::int64_t>(high) - low) + 1;
      if (range <= 4 * (last - first) + 65536) {
        rankStart.assign(range + 1, 0);
        for (std::size_t i = first; i < last; ++i) ++rankStart[static_cast<std::size_t>(high - sorted[i]->rank()) + 1];
        for (std::size_t r = 1; r <= range; ++r) rankStart[r] += rankStart[r - 1];
        byRank.resize(last - first);
        for (std::size_t i = first; i < last; ++i) {
          byRank[rankStart[static_cast<std::size_t>(high - sorted[i]->rank())]++] = sorted[i];
        }
        std::copy(byRank.begin(), byRank.end(), sorted.begin() + static_cast<std::ptrdiff_t>(first));
        // Each run of one rank goes on as any bucket does.
        const std::size_t end = last;
        for (std::size_t run = first; run < end; run = last) {
          last = run + 1;
          while (last < end && sorted[last]->rank() == sorted[run]->rank()) ++last;
          ordered = true;
          for (std::size_t i = run + 1; ordered && i < last; ++i) ordered = inOrder(sorted[i - 1], sorted[i]);
          if (ordered) continue;
          sortRun(run, last);
        }
        continue;
      }
    }
    sortRun(first, last);
  }

  // The chunks keep their sizes; only their entries change places.
  std::size_t at = 0;
  for (EntryHead& chunk : chunks_) {
    for (Entry*& e : chunk.entries) e = sorted[at++];
  }
  if (common && keepIndex_) {
    for (const Entry* e : sorted) wordIndex_.emplace(foldedHash(e->word()), e);
  }
  cache_ = PositionCache{};
  if (host_ != nullptr) {
    // The window starts again from an empty list and takes every row anew.
    host_->cleared();
    insertions_.clear();
    insertions_.push_back({0, count_});
  }
}

// ---------------------------------------------------------------------------
// Chunk counting: a Fenwick tree over the chunk sizes gives the rows before a
// chunk and the chunk holding a row in O(log chunks). A split changes the
// chunk numbering, so it rebuilds the tree (linear in chunks, once per 256
// insertions).

void ResultsList::rebuildTree() {
  const std::size_t n = chunks_.size();
  tree_.assign(n, 0);
  for (std::size_t i = 1; i <= n; ++i) {
    tree_[i - 1] += chunks_[i - 1].count();
    const std::size_t parent = i + (i & (~i + 1));
    if (parent <= n) tree_[parent - 1] += tree_[i - 1];
  }
}

void ResultsList::treeAdd(std::size_t k, int delta) {
  for (std::size_t i = k + 1; i <= tree_.size(); i += i & (~i + 1)) tree_[i - 1] += delta;
}

int ResultsList::rowsBefore(std::size_t k) const {
  int sum = 0;
  for (std::size_t i = k; i > 0; i -= i & (~i + 1)) sum += tree_[i - 1];
  return sum;
}

void ResultsList::locate(int row, std::size_t& k, std::size_t& offset) const {
  std::size_t pos = 0;
  int remaining = row;
  std::size_t step = 1;
  while (step * 2 <= tree_.size()) step *= 2;
  for (; step > 0; step /= 2) {
    if (pos + step <= tree_.size() && tree_[pos + step - 1] <= remaining) {
      pos += step;
      remaining -= tree_[pos - 1];
    }
  }
  k = pos;
  offset = static_cast<std::size_t>(remaining);
}

const ResultsList::Entry* ResultsList::entryAt(int i) const {
  if (i < 0 || i >= count_) return nullptr;
  if (i == cache_.index) {
    // the same row again
  } else if (i == cache_.index + 1) {
    if (++cache_.offset == chunks_[cache_.chunk].entries.size()) ++cache_.chunk, cache_.offset = 0;
  } else {
    locate(i, cache_.chunk, cache_.offset);
  }
  cache_.index = i;
  return chunks_[cache_.chunk].entries[cache_.offset];
}

std::string_view ResultsList::textAt(int i) const {
  const Entry* e = entryAt(i);
  return e == nullptr ? std::string_view() : e->text();
}

std::string_view ResultsList::wordAt(int i) const {
  const Entry* e = entryAt(i);
  return e == nullptr ? std::string_view() : e->word();
}

// ---------------------------------------------------------------------------
// Duplicates

bool ResultsList::contains(std::string_view word) const {
  // Stored words are cut to the stored length; a long word is compared the same way.
  word = word.substr(0, kMaxText);
  if (order_ == kAsFound) return indexContains(word);
  if (commonFirst()) {
    const auto range = wordIndex_.equal_range(foldedHash(word));
    for (auto it = range.first; it != range.second; ++it) {
      if (compareFolded(it->second->word(), word) == 0) return true;
    }
    return false;
  }
  if (count_ == 0) return false;
  const SortKey key(word);
  const auto chunk = std::partition_point(chunks_.begin(), chunks_.end(), [&](const EntryHead& head) {
    return before(SortKey(*head.entries.back()), key);
  });
  if (chunk == chunks_.end()) return false;
  const auto it = std::partition_point(chunk->entries.begin(), chunk->entries.end(),
                                       [&](const Entry* e) { return before(SortKey(*e), key); });
  return it != chunk->entries.end() && compareFolded((*it)->word(), word) == 0;
}

// Slots hold rows rather than pointers (rows never move in the as-found
// order), which halves the table: at most 3/4 full, it costs 11 to 21 bytes
// per entry.

const ResultsList::Entry* ResultsList::indexedEntry(const IndexSlot& slot) const {
  const std::size_t row = slot.row - 1;
  // Appending fills every chunk but the last, so the chunk is a division away.
  if (fullChunks_) return chunks_[row / kChunkLimit].entries[row % kChunkLimit];
  std::size_t k = 0, offset = 0;
  locate(static_cast<int>(row), k, offset);
  return chunks_[k].entries[offset];
}

void ResultsList::reserveIndex() {
  if ((indexUsed_ + 1) * 4 <= index_.size() * 3) return;
  std::vector<IndexSlot> grown(std::max<std::size_t>(1024, index_.size() * 2));
  const std::size_t mask = grown.size() - 1;
  for (const IndexSlot& slot : index_) {
    if (slot.row == 0) continue;
    std::size_t i = slot.tag & mask;
    while (grown[i].row != 0) i = (i + 1) & mask;
    grown[i] = slot;
  }
  index_.swap(grown);
}

void ResultsList::indexInsert(const Entry* entry, int row) {
  const std::size_t mask = index_.size() - 1;
  const auto tag = static_cast<std::uint32_t>(foldedHash(entry->word()));
  std::size_t i = tag & mask;
  for (; index_[i].row != 0; i = (i + 1) & mask) {
    // The first of equal words stands for all of them.
    if (index_[i].tag == tag && compareFolded(indexedEntry(index_[i])->word(), entry->word()) == 0) return;
  }
  index_[i] = {static_cast<std::uint32_t>(row) + 1, tag};
  ++indexUsed_;
}

bool ResultsList::indexContains(std::string_view word) const {
  if (index_.empty()) return false;
  const std::size_t mask = index_.size() - 1;
  const auto tag = static_cast<std::uint32_t>(foldedHash(word));
  // The tag spares reading entries whose words cannot be equal.
  for (std::size_t i = tag & mask; index_[i].row != 0; i = (i + 1) & mask) {
    if (index_[i].tag == tag && compareFolded(indexedEntry(index_[i])->word(), word) == 0) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Copying

std::string ResultsList::copyText(const ResultsSelection& selection, std::string_view lineEnd) const {
  // A row the list does not have is no entry to copy.
  std::vector<ResultsSelection::Range> ranges = selection.ranges();
  long long rows = 0;
  for (ResultsSelection::Range& r : ranges) {
    r.count = std::max(0, std::min(r.count, count_ - r.first));
    rows += r.count;
  }
  std::string text;
  for (const ResultsSelection::Range& r : ranges) {
    for (int i = r.first; i < r.first + r.count; ++i) {
      text.append(textAt(i));
      if (rows > 1) text.append(lineEnd);
    }
  }
  return text;
}

// ---------------------------------------------------------------------------
// What the window asks

void ResultsList::refresh(bool flush) {
  if (flush && host_ != nullptr) host_->refreshed();
}

ResultsList::DoubleClickCommand ResultsList::doubleClickCommand(int viewDoubleClick, bool shift) const {
  if (count_ == 0) return DoubleClickCommand::None;
  if (viewDoubleClick == 1) return DoubleClickCommand::ExternalLookup;
  return shift ? DoubleClickCommand::LookupInNewWindow : DoubleClickCommand::Lookup;
}

}  // namespace kea
