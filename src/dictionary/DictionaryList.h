// The open dictionaries: `DictionaryList` is the ordered list a search or a
// lookup works over, `DictionaryList::Dictionary` one open ".kkd" file with
// its header, alphabet and decoding tables in memory. Dictionaries are shared
// process-wide: lists naming the same path use the same object, which lives
// while some list holds it.
//
// Nothing read from a file is trusted: the header is checked as it is read,
// every list and table it points to must lie inside the file (a file cut
// short is damaged, not a smaller dictionary), and every offset the rest of
// the program follows can be checked against the file's size with the
// range helpers below before it is used.
//
// An open dictionary keeps its file open: a file replaced or deleted while
// it is searched is still read whole through that handle, and a file
// changed in place is told apart by its stamp. A process that runs short of
// file handles takes them back (releaseKeptFile): its dictionaries then open
// their files by name and check the stamp, so a replaced file is reported
// as changed rather than read whole.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Alphabet.h"
#include "dictionary/CompanionFile.h"
#include "dictionary/EntryScores.h"
#include "dictionary/KkdFormat.h"
#include "platform/File.h"

namespace kea {

struct WordListCode;
class BlockSummaries;
class MeaningIndex;

// A place in section 1 of a length's word list where decoding can start:
// the bit offset of an entry from the list's start, the number of flagged
// entries before it, and the entry's text.
struct WordListSample {
  std::uint64_t bitOffset = 0;
  std::int32_t flaggedBefore = 0;
  std::string text;
};

// Every so many entries of a length's section 1, so that a lookup decodes
// only from the sample before its word: built by the first lookup of the
// length, kept in memory (the file is unchanged).
struct WordListSamples {
  bool built = false;
  std::vector<WordListSample> samples;
};

class DictionaryList {
 public:
  class Dictionary;

  // Makes a list of the files, in order, sharing the dictionaries that are
  // already open by the same path and opening the others. A file that
  // cannot be opened stays in the list and reports itself as not open. An
  // empty path names no file and is skipped. A path may hold any character,
  // ";" included.
  static DictionaryList* create(const std::vector<std::string>& paths);
  // The same from one ";"-separated text (a convenience for fixed lists;
  // a path holding ";" needs the list form).
  static DictionaryList* create(std::string_view names);
  // Drops the list's hold on each of its dictionaries (closing those no
  // other list holds) and destroys the list.
  static void release(DictionaryList* list);
  // At shutdown: destroys every open dictionary. Lists still alive may then
  // only be released.
  static void releaseAll();
  // The number of dictionaries held by some list.
  static std::size_t sharedCount();
  // When the process runs out of file handles: closes the handles the open
  // dictionaries other than `except` keep (they open their files by name
  // again when they are read, checking the stamp), and keeps none from now
  // on. False when none kept one.
  static bool releaseKeptFile(const Dictionary* except);

  // A list that releases itself.
  struct Releaser {
    void operator()(DictionaryList* list) const { release(list); }
  };
  using Handle = std::unique_ptr<DictionaryList, Releaser>;
  static Handle make(const std::vector<std::string>& paths) { return Handle(create(paths)); }
  static Handle make(std::string_view names) { return Handle(create(names)); }

  DictionaryList(const DictionaryList&) = delete;
  DictionaryList& operator=(const DictionaryList&) = delete;

  int count() const { return static_cast<int>(dictionaries_.size()); }
  // Dictionary i in list order, or nothing when i is out of range.
  Dictionary* dictionary(int i) const;

  bool isUsable(int i) const;
  // The path of the first dictionary that is not usable.
  std::optional<std::string> firstUnusable() const;
  bool refresh(int i) const;
  std::string path(int i) const;
  std::string name(int i) const;
  std::string dateText(int i) const;
  std::string description(int i) const;
  bool describe(int i, std::string& out) const;
  void statistics(int i, int& entries, int& definitions, int& shortest, int& longest) const;
  int lengthSlots(int i) const;
  bool hasDefinitions(int i) const;
  std::uint32_t wordCount(int i, int length) const;
  std::uint32_t wordListOffset(int i, int length) const;
  std::uint8_t canonicalCharOf(int i, int alphabetIndex) const;
  int letterCount(int i) const;
  std::array<std::uint8_t, 256> byteChars(int i) const;

 private:
  DictionaryList() = default;

  std::vector<Dictionary*> dictionaries_;
};

class DictionaryList::Dictionary {
 public:
  // A node of the code tree. Leaves (0 … 255, one per byte value): the code
  // length and the alphabet index (255 for none). Internal nodes (256 … 767,
  // 256 the root): the child for bit 0 and the child for bit 1, -1 when absent.
  struct CodeNode {
    std::int32_t first;
    std::int32_t second;
  };
  using CodeTree = std::array<CodeNode, kkd::kTreeNodes>;

  static constexpr const char* kNotFoundText = "-- DICTIONARY FILE NOT FOUND --";
  static constexpr const char* kInvalidText = "-- INVALID DICTIONARY FILE --";

  explicit Dictionary(std::string fileName);
  virtual ~Dictionary();
  Dictionary(const Dictionary&) = delete;
  Dictionary& operator=(const Dictionary&) = delete;

  // Closes; when `reopen` is true, opens the file again and reads its header.
  virtual void open(bool reopen);
  // Frees the tables read from the file and marks the status invalid.
  virtual void close();
  // Opens again when the file changed on disk; returns whether it is open.
  virtual bool refresh();
  virtual const std::string& path() const { return fileName_; }
  // The name users know the dictionary by: its file name without the
  // folder and without the ".kkd" extension ("English").
  virtual std::string name() const;
  // The name, the numbers of headwords and definitions when open, and the
  // description or status; returns whether the dictionary is open.
  virtual bool describe(std::string& out);
  // The file's last-write time as the user's long date and time.
  virtual std::string dateText() const;
  // The description read from the file, or the status message.
  virtual std::string description() const { return statusText_; }
  // Totals over all lengths; shortest and longest are 0 when there are no entries.
  virtual void statistics(int& entries, int& definitions, int& shortest, int& longest) const;

  bool isOpen() const { return isOpen_; }
  const std::string& statusText() const { return statusText_; }
  // Why the file did not open, as the end of a sentence that starts with
  // its name: "is a named pipe, not a dictionary file", "is damaged: the
  // list of 7-letter entries lies past the end of the file". Empty while
  // open, and before the first open.
  const std::string& problem() const { return problem_; }
  // The file as it was opened, for readers that need their own handle of
  // the same file (ReadOnlyFile::openSame); not open when the dictionary
  // is not, or gave its handle up (releaseKeptFile).
  const platform::ReadOnlyFile& file() const { return file_; }
  // Opens a reader's own handle of this dictionary's file: another handle
  // of the file it keeps, or, when it keeps none, the file by its name.
  // With `takeKept`, handles other dictionaries keep are given up while the
  // process has none to spare. The caller checks the stamp.
  platform::OpenError openFile(platform::ReadOnlyFile& into, bool takeKept = true) const;
  int referenceCount() const { return referenceCount_; }

  // Header fields. Per-length queries return 0 for a length outside 0 … N-1.
  int version() const { return version_; }
  int lengthSlots() const { return lengthSlots_; }
  std::uint32_t definitionsStart() const { return definitionsStart_; }
  std::uint32_t searchableStart() const { return searchableStart_; }
  std::uint32_t definitionsEnd() const { return definitionsEnd_; }
  bool hasDefinitions() const { return searchableStart_ < definitionsEnd_; }
  std::uint32_t wordListOffset(int length) const { return slot(wordListOffset_, length); }
  std::uint32_t wordCount(int length) const { return slot(wordCount_, length); }
  // Version 0 has no pointer tables: directTable and groupTable read as
  // 0xFFFFFFFF (absent) and groupEntries as 0.
  std::uint32_t directTable(int length) const { return slot(directTable_, length); }
  std::uint32_t groupTable(int length) const { return slot(groupTable_, length); }
  std::uint32_t groupEntries(int length) const { return slot(groupEntries_, length); }

  const Alphabet& alphabet() const { return alphabet_; }
  int letterCount() const { return alphabet_.letterCount; }
  int alphabetSize() const { return alphabet_.alphabetSize; }
  std::uint8_t canonicalCharOf(int alphabetIndex) const;

  const CodeTree& codeTree() const { return codeTree_; }
  // For each byte of the stream: the node reached by following up to its 8
  // bits from the root, least significant first (-1 at a dead branch), and
  // the code length when that node is a leaf (8 for an internal node).
  const std::array<std::int32_t, 256>& fastNode() const { return fastNode_; }
  const std::array<std::int32_t, 256>& fastLength() const { return fastLength_; }
  // The word-list decoders' tables for this code, built by the first
  // decoder that reads the dictionary and shared by the others; empty until
  // then, and emptied when the dictionary is closed (a decoder still
  // reading keeps its own hold on them).
  std::shared_ptr<const WordListCode>& wordListCode() const { return wordListCode_; }

  // K tables of A bytes: for each length L = 1 … N-1 and position p < L,
  // in that order, the letter frequency byte of each alphabet index.
  int positionTableCount() const { return positionTableCount_; }
  // Table k (0 … K-1), A bytes, or nothing when k is out of range.
  const std::uint8_t* positionTable(int k) const;

  // Per length, the file offset of each group of the grouped pointer table,
  // in order, built by the definition lookup as far as its lookups have
  // needed; emptied when closed.
  // Nothing for a length outside 0 … 100.
  std::vector<std::uint32_t>* groupIndexCache(int length);
  // Per length, the lookup's samples of section 1; emptied when closed.
  // Nothing for a length outside 0 … 100.
  WordListSamples* lookupSamples(int length);

  // The file's stamp when it was opened (time 0 when it was not found).
  std::int64_t lastWriteTime() const { return stamp_.lastWriteTime; }
  std::uint64_t fileSize() const { return stamp_.size; }
  // The first byte after the header and the position tables.
  std::uint32_t headerEnd() const { return headerEnd_; }
  // What ties companion files (scores, block summaries) to this file as it
  // was opened.
  DictionaryFingerprint fingerprint() const { return {stamp_.size, stamp_.lastWriteTime, headerHash_}; }
  // The block summaries beside the file (BlockSummary.h), read by the first
  // call and kept until the dictionary is closed; null when there are none
  // that fit this file.
  std::shared_ptr<const BlockSummaries> blockSummaries() const;

  // The commonness scores kept beside the file ("NAME.scores"), read at
  // first use; null when there are none that fit this file. Dropped when
  // the dictionary is closed or opened again.
  const EntryScores* entryScores() const;
  // The word pairs kept beside the file ("NAME.pairs"), read at first use;
  // null when there are none.
  std::shared_ptr<const PairScores> pairScores() const;
  // The meaning index kept beside the file ("NAME.meaning"), read at first
  // use; null when there is none that fits this file.
  std::shared_ptr<const MeaningIndex> meaningIndex() const;

  // Whether `length` bytes at `offset` lie inside the file.
  bool rangeInFile(std::uint64_t offset, std::uint64_t length) const {
    return offset <= stamp_.size && length <= stamp_.size - offset;
  }
  // Where the word list of a length starts, or nothing when the length has
  // no list to read: out of range, empty (the next length's list does not
  // start after it; a later slot left at 0 has no list), or an offset inside
  // the header or past the file's end.
  std::optional<std::uint32_t> wordListStart(int length) const;
  // Whether the grouped pointer table of a length has entries and lies
  // wholly inside the file (never in version 0).
  bool groupTableInFile(int length) const;
  // The file offset of the direct pointer table's value for the entry at
  // `position` of section 2, or nothing when the length has no table or the
  // value would lie outside the file.
  std::optional<std::uint32_t> directValueOffset(int length, std::uint32_t position) const;
  // Whether a definition offset lies in [D0, D2) and inside the file.
  bool isDefinitionOffset(std::uint32_t offset) const {
    return offset >= definitionsStart_ && offset < definitionsEnd_ && offset < stamp_.size;
  }

 private:
  friend class DictionaryList;

  static std::uint32_t slot(const std::array<std::uint32_t, kkd::kMaxLengthSlots>& table, int length) {
    return length >= 0 && length < kkd::kMaxLengthSlots ? table[static_cast<std::size_t>(length)] : 0;
  }
  void resetHeader();
  bool readHeader(const platform::ReadOnlyFile& file);
  // Whether the list of `length` ends before the next list starts.
  bool listHasRoom(int length) const;
  // Whether every list and table of the header lies inside the file;
  // sets problem_ when not.
  bool checkLayout();
  bool damaged(std::string what);
  bool readSymbolTable(const unsigned char* records);
  bool insertCode(int symbol, int codeLength, std::uint32_t code, int& nextFree);
  void buildFastTable();

  CodeTree codeTree_;
  std::array<std::int32_t, 256> fastNode_;
  std::array<std::int32_t, 256> fastLength_;
  mutable std::shared_ptr<const WordListCode> wordListCode_;
  bool isOpen_ = false;
  platform::ReadOnlyFile file_;
  platform::FileStamp stamp_;
  std::string statusText_;
  std::string problem_;
  int version_ = 0;
  std::uint32_t definitionsStart_ = 0;
  std::uint32_t searchableStart_ = 0;
  std::uint32_t definitionsEnd_ = 0;
  int lengthSlots_ = 0;
  std::array<std::uint32_t, kkd::kMaxLengthSlots> wordListOffset_;
  std::array<std::uint32_t, kkd::kMaxLengthSlots> wordCount_;
  std::array<std::uint32_t, kkd::kMaxLengthSlots> directTable_;
  std::array<std::uint32_t, kkd::kMaxLengthSlots> groupTable_;
  std::array<std::uint32_t, kkd::kMaxLengthSlots> groupEntries_;
  Alphabet alphabet_;
  int positionTableCount_ = 0;
  std::vector<std::uint8_t> positionTables_;
  std::uint32_t headerEnd_ = 0;
  std::uint64_t headerHash_ = 0;
  mutable bool scoresLoaded_ = false;
  mutable std::shared_ptr<const EntryScores> scores_;
  mutable bool pairsLoaded_ = false;
  mutable std::shared_ptr<const PairScores> pairs_;
  mutable bool meaningLoaded_ = false;
  mutable std::shared_ptr<const MeaningIndex> meaning_;
  mutable std::shared_ptr<const BlockSummaries> blockSummaries_;
  mutable bool blockSummariesRead_ = false;
  std::array<std::vector<std::uint32_t>, kkd::kMaxLengthSlots> groupIndexCache_;
  std::array<WordListSamples, kkd::kMaxLengthSlots> lookupSamples_;
  int referenceCount_ = 1;
  std::string fileName_;
};

}  // namespace kea
