// Reading definitions out of a dictionary file: the pointer lookup that
// turns an entry's definition number into record offsets (its own records
// and, for the full-text index, the records whose text contains it), the
// reader of one definition record, and the lookup of every definition of a
// word over a list of dictionaries.
//
// Everything taken from the file is checked before it is followed: a
// pointer outside the definition records is dropped, a table or list is
// never read past its end or the file's, and a record cut short by the end
// of the file yields what was read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Definition.h"
#include "dictionary/DictionaryList.h"
#include "platform/File.h"

namespace kea {

// The stamp by which a caller later notices that a dictionary was rebuilt:
// the last-write time and size of the file as it was opened.
platform::FileStamp dictionaryStamp(const DictionaryList::Dictionary& dictionary);

class DefinitionRetriever {
 public:
  // Definition bodies are read in blocks of this many bytes.
  static constexpr std::size_t kBlockSize = 512;

  // Takes dictionary i of the list and opens its file when the dictionary is
  // usable. With `stamp`, stores the dictionary's stamp there.
  DefinitionRetriever(const DictionaryList& list, int i, platform::FileStamp* stamp = nullptr);
  DefinitionRetriever(const DefinitionRetriever&) = delete;
  DefinitionRetriever& operator=(const DefinitionRetriever&) = delete;

  bool isOpen() const { return file_.isOpen(); }
  const std::string& path() const { return path_; }

  // Reads the record at `offset` into `out`: its path and offset, its
  // headword pairs and its body. Returns false, leaving `out` as it was,
  // when there is no open file or the offset is not inside the file's
  // definition records.
  bool read(std::uint32_t offset, Definition& out) const;

 private:
  std::string path_;
  platform::ReadOnlyFile file_;
  std::uint32_t definitionsStart_ = 0;
  std::uint64_t end_ = 0;
};

// The pointer lookup over one open file, for callers that resolve many
// entries of one dictionary in a row (the full-text index).
class DefinitionPointers {
 public:
  // Pointer tables and occurrence lists are read in blocks of this many entries.
  static constexpr std::size_t kBlockEntries = 128;

  // Opens the dictionary's file when the dictionary is open.
  explicit DefinitionPointers(DictionaryList::Dictionary& dictionary);
  bool isOpen() const { return file_.isOpen(); }

  // Appends the offsets of the entry's own definitions and, with
  // `withOccurrences`, of the definitions whose text contains it. `mode` is
  // the word cursor's lookupMode() for the entry: WordCursor::
  // kGroupedTableMode for section 1 of a version-1 list, else the direct
  // table. Returns false only when the entry has no occurrence list (its
  // final value is 0x7FFFFFFF).
  bool offsets(bool withOccurrences, int length, int definitionIndex, int mode, std::vector<std::uint32_t>& out);

 private:
  // Extends the grouped table's per-length group index (the file offset of
  // each group, in order) until it holds group `wanted` or the table has
  // been read to its end: the first lookups of a length read only as much
  // of the table as they need. False, with the index emptied, when the
  // table cannot be read.
  bool extendGroupIndex(int length, std::size_t wanted, std::vector<std::uint32_t>& index);
  // The group's own definitions into `out`; returns the final value (bit
  // 31 cleared), or 0 when the group cannot be read or has no final value.
  std::uint32_t readGroup(int length, int definitionIndex, std::vector<std::uint32_t>& out);
  std::uint32_t readDirect(int length, int definitionIndex);
  void readOccurrences(std::uint32_t offset, std::vector<std::uint32_t>& out);

  DictionaryList::Dictionary& dictionary_;
  platform::ReadOnlyFile file_;
};

// The offsets that dictionary i's pointer tables give for the entry with
// `definitionIndex` of `length` (see DefinitionPointers::offsets). A
// dictionary that is not usable, or whose file cannot be opened, gives
// nothing and true.
bool definitionOffsets(const DictionaryList& list, int i, bool withOccurrences, int length, int definitionIndex,
                       int mode, std::vector<std::uint32_t>& out);

// Appends every definition of `word` from the usable dictionaries of the
// list: dictionary by dictionary in list order; within one, in word-list
// order of the entries that match the word with letter case and accents
// ignored, and each entry's records in pointer-table order. A record that
// two matching entries of one dictionary share is listed once, under the
// first. The word is taken in the alphabet of the list's first usable
// dictionary.
void lookupDefinitions(const DictionaryList& list, std::string_view word, std::vector<Definition>& out);

}  // namespace kea
