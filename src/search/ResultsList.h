// The results list of one dictionary, as a model with no window attached.
//
// A search adds matching entries one at a time, possibly hundreds of
// thousands of them, in one of ten orders. Entries live in chunks of at
// most 512 so that a sorted insertion touches one chunk; the chunks are
// found by binary search on their last entries and counted by a Fenwick tree,
// so adding an entry and asking whether a word is already listed cost
// O(log n) comparisons plus a move of at most 512 pointers (and, once per 256
// sorted insertions, a split that renumbers the chunk heads). In the
// as-found order a hash index on the folded letters answers contains().
// Entry records are carved out of large blocks and never move.
//
// The selection is not the model's: the window keeps it, and what reads it
// (copying, printing, lookups, the context menu) is handed a
// ResultsSelection. The window learns of added rows in blocks
// (takeInsertions) and is told when the list is cleared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "search/ResultsSelection.h"

namespace kea {

class ResultsList {
 public:
  // A list of this many entries refuses further additions.
  static constexpr int kMaxCount = 2147483640;
  static constexpr std::size_t kChunkLimit = 512;
  static constexpr std::size_t kMaxText = 255;

  // The seven orders. "Length" is the number of letters of the word and
  // "alphabetical" the letters-only, case- and accent-blind comparison.
  enum ListOrder : int {
    kAsFound = 0,
    kAlphabeticalAscending = 1,
    kAlphabeticalDescending = 2,
    kLengthAscendingAlphabeticalAscending = 3,
    kLengthAscendingAlphabeticalDescending = 4,
    kLengthDescendingAlphabeticalAscending = 5,
    kLengthDescendingAlphabeticalDescending = 6,
    // Most common first: by commonness score, highest first, entries
    // without a score last, equal scores alphabetically ascending.
    kCommonFirst = 7,
    kLengthAscendingCommonFirst = 8,
    kLengthDescendingCommonFirst = 9,
  };

  // One result: the word, then its annotation and balance text, at most
  // kMaxText characters in all.
  class Entry {
   public:
    std::uint32_t reference() const { return reference_; }
    // Characters of the word at the start of text().
    int wordLength() const { return wordLength_; }
    // Letters in the word (its length for the length orders).
    int letterCount() const { return letterCount_; }
    std::string_view text() const { return {chars(), textLength_}; }
    std::string_view word() const { return {chars(), wordLength_}; }
    // The annotation and balance text after the word.
    std::string_view rest() const { return text().substr(wordLength_); }
    // The annotation alone (a saved dictionary keeps it, not the balance).
    std::string_view annotation() const { return text().substr(wordLength_, annotationLength_); }
    // The entry's commonness score, 0 … 100, or -1 when it has none.
    int score() const { return score_; }
    // What the most-common-first orders sort by, highest first: the score,
    // or for a phrase its finer rank.
    int rank() const { return rank_; }

   private:
    friend class ResultsList;
    const char* chars() const { return reinterpret_cast<const char*>(this + 1); }
    std::uint32_t reference_ = 0;
    std::int32_t rank_ = -1;
    std::uint8_t wordLength_ = 0;
    std::uint8_t textLength_ = 0;
    std::uint8_t letterCount_ = 0;
    std::uint8_t annotationLength_ = 0;
    std::int8_t score_ = -1;
    // The text and a terminating zero follow the record.
  };

  // One chunk of the list, entries in list order.
  struct EntryHead {
    std::vector<Entry*> entries;
    const Entry* first() const { return entries.empty() ? nullptr : entries.front(); }
    const Entry* last() const { return entries.empty() ? nullptr : entries.back(); }
    int count() const { return static_cast<int>(entries.size()); }
  };

  // The window's side: told before and after the list is cleared, and when
  // a search refreshes it, so it can bring its rows up to date.
  class Host {
   public:
    virtual ~Host() = default;
    virtual void aboutToClear() {}
    virtual void cleared() {}
    virtual void refreshed() {}
  };

  // Rows first … first + count - 1, all of them added since the window
  // last asked (takeInsertions).
  struct RowBlock {
    int first = 0;
    int count = 0;
    bool operator==(const RowBlock&) const = default;
  };

  // Which context menu applies: the entry commands or the dictionary's.
  enum class MenuKind { Entries, List };
  enum class DoubleClickCommand { None, Lookup, LookupInNewWindow, ExternalLookup };

  // `maxCount` lowers the size limit (tests use it to reach the limit).
  explicit ResultsList(int maxCount = kMaxCount);
  ~ResultsList();
  ResultsList(const ResultsList&) = delete;
  ResultsList& operator=(const ResultsList&) = delete;

  // ---- Contents ----

  // Removes every entry.
  void clear();
  // Applies to the entries added afterwards. The index for contains() in the
  // as-found order is kept only with `keepIndex`. An unknown order counts as
  // kAsFound.
  void setOrder(int order, bool keepIndex);
  ListOrder order() const { return order_; }
  // With a deferred order, additions go in as found and finishOrder() puts
  // the whole list in its order at once: for a list that no window watches
  // while it fills (the terminal's), one sort costs far less than keeping
  // the order at every addition. Applies from the next clear().
  void setDeferredOrder(bool deferred) { deferredRequested_ = deferred; }
  // Sorts what was added since the list was cleared; nothing otherwise.
  void finishOrder();
  bool keepIndex() const { return keepIndex_; }

  // Stores text + annotation + balance (cut to kMaxText) in its place for the
  // order, with the entry's commonness score (-1 for none) and its rank
  // (the score when not given). False when the list is full or memory ran
  // out; the list is then unchanged.
  bool add(std::string_view text, std::string_view annotation, std::string_view balance, std::uint32_t reference,
           int score = -1, int rank = kRankOfScore);
  static constexpr int kRankOfScore = -2;

  int count() const { return count_; }
  // Null, or empty texts, for a row outside the list. Reading rows in
  // increasing order costs one step per row.
  const Entry* entryAt(int i) const;
  std::string_view textAt(int i) const;
  std::string_view wordAt(int i) const;

  // Whether an entry with the same word is listed: the same letters, in
  // order, ignoring case, accents and everything that is not a letter.
  // Always false in the as-found and most-common-first orders without
  // keepIndex.
  bool contains(std::string_view word) const;

  int chunkCount() const { return static_cast<int>(chunks_.size()); }
  const EntryHead& chunk(int k) const { return chunks_[k]; }

  // The full texts of the entries `selection` holds, in list order, each
  // followed by a line end (CR LF unless said otherwise) when more than one
  // is selected; empty when nothing is.
  std::string copyText(const ResultsSelection& selection, std::string_view lineEnd = "\r\n") const;

  // ---- What a window needs ----

  // While a host is attached the list records where it adds rows.
  void setHost(Host* host);
  // The rows added since the last call, in the order they came: each block
  // is numbered as the list stood after the blocks before it, so a window
  // that inserts the blocks in turn holds the list's rows. Consecutive
  // additions that land inside or right after one block widen it.
  std::vector<RowBlock> takeInsertions();
  // With flush, tells the host to bring the window up to date; without,
  // nothing. A search calls it at most every 100 ms.
  void refresh(bool flush);

  // ---- What the window asks ----

  // The context menu: the entry commands with entries selected, else the dictionary's.
  static MenuKind contextMenu(const ResultsSelection& selection) {
    return selection.count() > 0 ? MenuKind::Entries : MenuKind::List;
  }
  // What a double click does, given the ViewDoubleClick option.
  DoubleClickCommand doubleClickCommand(int viewDoubleClick, bool shift) const;

 private:
  struct SortKey;  // a word with its letter count and score, for comparisons
  struct IndexSlot {
    std::uint32_t row = 0;  // the entry's row + 1; 0 = free
    std::uint32_t tag = 0;  // the word's hash
  };
  class Arena;

  bool before(const SortKey& a, const SortKey& b) const;
  Entry* makeEntry(std::string_view text, std::string_view annotation, std::string_view balance,
                   std::uint32_t reference, int score, int rank);
  // Chunk counting.
  void rebuildTree();
  void treeAdd(std::size_t k, int delta);
  int rowsBefore(std::size_t k) const;
  void locate(int row, std::size_t& k, std::size_t& offset) const;
  // The as-found index: open addressing on the folded letters.
  void reserveIndex();
  void indexInsert(const Entry* entry, int row);
  const Entry* indexedEntry(const IndexSlot& slot) const;
  bool indexContains(std::string_view word) const;
  bool commonFirst() const { return order_ >= kCommonFirst; }

  ListOrder order_ = kAsFound;
  bool keepIndex_ = false;
  bool deferredRequested_ = false;
  bool deferred_ = false;  // this filling appends and sorts at the end
  int maxCount_;
  int count_ = 0;
  std::vector<EntryHead> chunks_;
  // Every chunk but the last holds kChunkLimit entries (only appends so far).
  bool fullChunks_ = true;
  std::vector<int> tree_;
  std::unique_ptr<Arena> arena_;
  std::vector<IndexSlot> index_;
  std::size_t indexUsed_ = 0;
  // In the most-common-first orders rows move, so contains() finds entries
  // by their folded letters' hash instead.
  std::unordered_multimap<std::size_t, const Entry*> wordIndex_;

  struct PositionCache {
    int index = -2;
    std::size_t chunk = 0;
    std::size_t offset = 0;
  };
  mutable PositionCache cache_;

  Host* host_ = nullptr;
  std::vector<RowBlock> insertions_;
};

}  // namespace kea
