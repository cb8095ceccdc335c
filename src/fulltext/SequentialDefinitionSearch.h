// Full-text search by reading: every record of a dictionary's searchable
// definitions, [D1, D2), is read once through a large buffer and its words
// (each headword as one word, then the words of its text) are offered to
// the query's terms. It answers any query,
// negated terms and length ranges included, and is the fallback when the
// full-text index cannot.
//
// The search runs in slices so that the user interface stays responsive:
// next(budget) examines at most `budget` records and says whether it found
// a match, ran out of budget, or finished.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/DictionaryList.h"
#include "dictionary/WordBuffer.h"
#include "fulltext/FullTextTerms.h"
#include "pattern/MatchEngineSet.h"
#include "platform/File.h"

namespace kea {

class SequentialDefinitionSearch {
 public:
  static constexpr std::size_t kBufferSize = 262144;
  // Each of the first headword pair's strings keeps at most 127 characters.
  static constexpr std::size_t kHeadwordSize = 128;

  enum class Step {
    Slice,     // the budget ran out without a match; call again
    Match,     // the current record matches
    Finished,  // the end of the records, the end of the file, or no file
  };

  // Opens dictionary i's file (when the dictionary is usable and has
  // definitions) and starts at its searchable records. With `stamp`, stores
  // the dictionary's stamp there. The set is borrowed and must outlive the
  // search.
  SequentialDefinitionSearch(const DictionaryList& list, int i, MatchEngineSet& set,
                                         platform::FileStamp* stamp = nullptr);
  SequentialDefinitionSearch(const SequentialDefinitionSearch&) = delete;
  SequentialDefinitionSearch& operator=(const SequentialDefinitionSearch&) = delete;

  // Examines up to `budget` records (at least one). After Match, the
  // matching record's offset and first headword pair are available below;
  // the first string may be empty, which is still a match.
  Step next(int budget);

  // The first and second string of the current record's first headword
  // pair (empty when it has none).
  std::string_view firstHeadword() const { return std::string_view(first_.data(), firstSize_); }
  std::string_view secondHeadword() const { return std::string_view(second_.data(), secondSize_); }
  // The file offset of the record last examined; a Definition read from it
  // holds the whole match.
  std::uint32_t recordOffset() const { return recordOffset_; }

  // Bytes of the searchable records examined so far, and their number.
  void progress(std::int64_t& position, std::int64_t& total) const;
  std::int64_t total() const { return static_cast<std::int64_t>(end_ - start_); }

 private:
  bool fill();
  // The next raw byte, or -1 at the end.
  int get() {
    if (position_ == size_ && !fill()) return -1;
    return buffer_[position_++];
  }
  std::uint64_t offset() const { return bufferStart_ + position_; }
  // Reads a masked field, keeping up to kHeadwordSize - 1 characters in
  // `into` when given, and with `offer` offering it to the terms as one
  // word; false when the records ended inside it.
  bool readField(std::array<char, kHeadwordSize>* into, std::size_t* size, bool offer);
  // Reads a record's body and offers its words; false when the records
  // ended inside it.
  bool scanBody();
  // Offers the body already read into text_ (rich text made plain first).
  void scanText();
  bool skipToTerminator();
  // Ends the word being collected; true when every term is satisfied.
  bool endWord();

  FullTextTerms terms_;
  platform::ReadOnlyFile file_;
  std::uint64_t start_ = 0;
  std::uint64_t end_ = 0;
  bool finished_ = true;

  std::vector<unsigned char> buffer_;
  std::uint64_t bufferStart_ = 0;
  std::size_t position_ = 0;
  std::size_t size_ = 0;

  // Per raw (masked) byte: its alphabet index, kkd::kNoIndex, or kTerminator.
  static constexpr std::uint8_t kTerminator = 254;
  std::array<std::uint8_t, 256> rawIndex_;
  std::array<std::uint8_t, 256> plainIndex_;

  std::array<char, kHeadwordSize> first_{};
  std::array<char, kHeadwordSize> second_{};
  std::size_t firstSize_ = 0;
  std::size_t secondSize_ = 0;
  std::uint32_t recordOffset_ = 0;

  // The word being collected.
  WordBuffer word_;
  int wordLength_ = 0;
  // A rich-text body, and its plain text, reused from record to record.
  std::string text_;
  std::string plain_;
};

}  // namespace kea
