// Full-text search through the index the builder writes: every headword and
// index word of a length has an occurrence list of the searchable records
// whose text holds it. A term of one fixed length is looked up in the word
// list of that length, the lists of its matching entries (and the entries'
// own records) make its set of records, and the sets are combined along the
// line's logic. So the search touches only the lists of matching entries.
//
// The index cannot answer a negated term (it would need every record), a
// term of several lengths, or an entry without an occurrence list; the
// search then holds no retriever and the caller reads the records instead
// (SequentialDefinitionSearch).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "dictionary/Definition.h"
#include "dictionary/DictionaryList.h"
#include "fulltext/DefinitionRetriever.h"
#include "pattern/MatchEngineSet.h"
#include "platform/File.h"

namespace kea {

class IndexedDefinitionSearch {
 public:
  // Finds the candidate records of dictionary i for the line. With
  // `stamp`, stores the dictionary's stamp there.
  IndexedDefinitionSearch(const DictionaryList& list, int i, MatchEngineSet& set,
                                      platform::FileStamp* stamp = nullptr);
  IndexedDefinitionSearch(const IndexedDefinitionSearch&) = delete;
  IndexedDefinitionSearch& operator=(const IndexedDefinitionSearch&) = delete;

  // Whether the index answered the query; when not, nothing is found here.
  bool answers() const { return retriever_ != nullptr; }

  // Reads the next candidate record into `out` (with the dictionary's index
  // in the list); false when there are no more.
  bool next(Definition& out);

  // Candidates consumed, and their number.
  void progress(std::int64_t& position, std::int64_t& total) const;
  std::int64_t total() const { return static_cast<std::int64_t>(candidates_.size()); }
  // The records that hold the query, in file order.
  const std::vector<std::uint32_t>& candidates() const { return candidates_; }

 private:
  using OffsetSet = std::vector<std::uint32_t>;

  // The set of one term; false when the index cannot answer it.
  bool termSet(const DictionaryList& list, int i, DefinitionPointers& pointers, MatchEngine& engine, OffsetSet& out);
  // The value of the chain of terms and groups from token `at` up to the
  // end or close token that ends it (where `at` is left).
  OffsetSet chain(std::size_t& at, std::vector<OffsetSet>& sets) const;

  MatchEngineSet& set_;
  std::unique_ptr<DefinitionRetriever> retriever_;
  std::vector<std::uint32_t> candidates_;
  std::size_t position_ = 0;
  int dictionaryIndex_ = 0;
};

}  // namespace kea
