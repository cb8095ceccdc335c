// The word cursor of a search: reads one dictionary's word list of one
// length, a 16384-byte block at a time from its own read-only file handle,
// and offers each word to the pattern line, handing back the matches.
//
// A search runs on the user-interface thread, so `next` returns after at
// most 2000 words even when none matched; the caller then lets the event
// loop run and calls again, and the cursor continues with the following
// word.
//
// The cursors' files share their handles (WordListFile::Sharing::Shared):
// when the process runs out of file handles, a cursor that needs one closes
// the handle of another cursor; that one remembers where it was and opens
// the file again at its next read. So any number of dictionaries can be
// searched side by side with as few as one free handle.
//
// Where the program keeps decoded lists (dictionary/DecodedLists.h), a
// word search that reads a whole length without skipping leaves its words
// in memory, and later word searches of that length read them from there.
//
// Where the dictionary has block summaries (dictionary/BlockSummary.h), a
// word search whose pattern requires letters passes over the blocks of
// entries that lack one without decoding them; those entries count as
// examined, and a slice still ends after exactly kSliceWords of them.
//
// Whatever the file holds, decoding stays inside the WordBuffer, and a list
// that is damaged (it stops without its end record, reaches a code that
// holds no symbol, or yields a word whose letter count is not the length
// being read) ends the length as if its end record had been read; so does
// a file that changed on disk while it was read, or cannot be read. The
// cursor remembers the first such problem (problem()), so that a search
// never passes what it found before one off as a complete answer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "dictionary/BlockSummary.h"
#include "dictionary/DecodedLists.h"
#include "dictionary/DictionaryList.h"
#include "dictionary/WordBuffer.h"
#include "dictionary/WordListDecoder.h"
#include "dictionary/WordListFile.h"

namespace kea {

class MatchEngine;
class MatchEngineSet;

class WordCursor {
 public:
  // Words offered to the pattern line per call of next() at most.
  static constexpr int kSliceWords = 2000;

  // Reads dictionary `index` of `dictionaries`, which must outlive the
  // cursor. No file is opened until a length is set.
  WordCursor(const DictionaryList& dictionaries, int index);
  ~WordCursor();
  WordCursor(const WordCursor&) = delete;
  WordCursor& operator=(const WordCursor&) = delete;

  // Positions the cursor at the start of the list of words of `length`
  // letters, reading its first block at once. False when the dictionary
  // has no words of that length (recognised from the list offsets, without
  // touching the file) or its file cannot be read; every call of next() then
  // reports the length as finished.
  bool setLength(int length);

  // The next word of this length that the line matches, the word buffer
  // with key[0] == 255 when the length is finished, or nullptr when
  // kSliceWords words were examined without a match. `set` must have had
  // setLength() for this length. Only section 1 of a list is offered: its
  // end record finishes the length for good.
  const WordBuffer* next(MatchEngineSet& set);

  // The next word that `engine` matches (its word length set to this
  // length), with no limit on the words examined; key[0] == 255 at an end
  // record. After the first end record of a version-1 list the next call
  // goes on into section 2 (the index words); the end of the list, or of a
  // damaged list, is reported again on every further call.
  const WordBuffer& nextMatch(MatchEngine& engine);

  // The word last returned.
  const WordBuffer& word() const { return *word_; }
  // Characters of its entry text (raw[0] … raw[textLength() - 1]).
  int textLength() const { return textLength_; }
  std::string_view text() const { return {word_->raw, static_cast<std::size_t>(textLength_)}; }
  // The text after the entry's terminating 0; empty when there is none.
  std::string_view annotation() const;
  // The entry's definitionIndex: in section 1 of a version-1 list the
  // number of flagged entries before it when its own flag is set, else -1;
  // in section 2 its position there; always -1 in a version-0 list.
  int definitionNumber() const { return definitionNumber_; }
  // 1 or 2: the section of the last entry returned; after the first end
  // record of a version-1 list, 2 (the section that follows).
  int section() const { return section_; }
  // kGroupedTableMode or kDirectTableMode for the last entry returned.
  int lookupMode() const;
  // End records read in this length (1 after section 1 of a version-1 list).
  int sectionsFinished() const { return sectionsFinished_; }
  // Words decoded in this length so far, matched or not.
  int wordsExamined() const { return wordsExamined_; }
  int length() const { return length_; }
  int dictionaryIndex() const { return index_; }

  // Whether this cursor holds an open file handle now.
  bool holdsFile() const { return file_.isOpen(); }

  // The first list of this cursor that could not be read to its end, and
  // why; ListProblem::None while every list read so far was whole.
  ListProblem problem() const { return problem_; }

 private:
  // A quick test before the general matcher: each letter that every word
  // it accepts holds gets a bit (32 at most), and a word whose letters do
  // not set all the bits is turned away without running the matcher.
  class LetterFilter {
   public:
    // Follows `engine`'s required letters; rebuilt only when they change,
    // and then true.
    bool follow(const MatchEngine* engine);
    // Whether words are tested: only for the general matcher, as the
    // others turn a word away as fast as the filter would.
    bool active() const { return all_ != 0; }
    // blocks::letterBit of every required letter, whatever the matcher: a
    // block of entries without all of them holds no match.
    std::uint32_t blockLetters() const { return blockLetters_; }
    // The bit of each required letter, for the decoder to gather while it
    // decodes; a word whose letters gathered fewer than all is turned away.
    const std::array<std::uint32_t, 256>& bits() const { return bit_; }
    bool rejects(std::uint32_t seen) const { return seen != all_; }

   private:
    static constexpr std::size_t kNone = SIZE_MAX;
    // The required letters the bits were made from: pairs of an alphabet
    // index and a count, at most one pair per index.
    std::array<std::uint8_t, 512> letters_{};
    std::size_t size_ = kNone;
    bool general_ = false;
    std::array<std::uint32_t, 256> bit_{};
    std::uint32_t all_ = 0;
    std::uint32_t blockLetters_ = 0;
  };

  void clearWord();
  // Notes why the current list stopped early (damage, or a changed file).
  void noteBrokenList();
  // Marks the length finished and gives the word buffer's end form.
  const WordBuffer& endOfLength();
  // Follows `engine` with the letter filter, and the decoder with its bits.
  void followFilter(const MatchEngine* engine);
  // Decodes entries until `accept` takes one; with the letter filter on,
  // the decoder gathers the filter's bits of each entry on the way.
  template <class Accept>
  WordListDecoder::Result decode(WordBuffer& word, bool filtered, Accept&& accept) {
    return filtered ? decoder_->nextAcceptedTracking(word, accept) : decoder_->nextAccepted(word, accept);
  }

  // Block skipping: whether it is on for the letters the filter follows;
  // at the start of a block (`wordsExamined_` counts the entries of
  // section 1 before it), moves to the next block that can hold a match,
  // or to the end of section 1, as far as the slice's `examined` allows.
  bool skipsBlocks() const { return blocks_ != nullptr && filter_.blockLetters() != 0; }
  bool blockLacksLetters(std::uint32_t entry) const;
  // The end of a call of next(): the word found, the end of the length or
  // nothing (a slice without a match), after `examined` more words.
  const WordBuffer* finishNext(const WordListDecoder::Result& r, int examined, bool matched);
  // next() where blocks can be skipped or the words are being kept: apart,
  // so that the plain reading stays as lean as it was.
  [[gnu::noinline]] const WordBuffer* nextSkippingOrKeeping(MatchEngineSet& set, MatchEngine* single);
  // next() over a list kept in memory.
  const WordBuffer* nextInMemory(MatchEngineSet& set, MatchEngine* single);
  // Leaves a list kept in memory for the file, the decoder brought to
  // where reading from memory stands.
  void leaveMemory();
  // Finds this length's blocks, once per length, when a pattern first
  // needs them: a search that cannot skip never reads the summary.
  void lookForBlocks();
  void skipBlocks(int& examined);

  int index_;
  const DictionaryList::Dictionary* dictionary_;
  // The dictionary's file as it was when this length started: a file
  // replaced since no longer matches the decoding tables in memory.
  WordListFile file_{WordListFile::Sharing::Shared};

  int length_ = 0;
  int wordsExamined_ = 0;
  int textLength_ = 0;
  int definitionNumber_ = -1;
  int section_ = 1;
  int sectionsFinished_ = 0;
  // The word search saw the end of section 1 (or the list stopped).
  bool lengthFinished_ = true;
  // The list can give no further record: its end, damage, or no list.
  bool listFinished_ = true;
  ListProblem problem_ = ListProblem::None;

  LetterFilter filter_;
  // The dictionary's block summaries (kept while this cursor reads), the
  // blocks of this length, a block the cursor has reached and where it
  // starts, and the bit of the list at which the decoder's source starts
  // (decoder positions count from there).
  std::shared_ptr<const BlockSummaries> summaries_;
  const LengthBlocks* blocks_ = nullptr;
  bool blocksLooked_ = true;
  std::size_t block_ = 0;
  WordBlock blockStart_;
  std::uint64_t sourceBit_ = 0;
  // This length's words kept in memory and the next one to offer, or the
  // words being gathered from a reading of the whole length.
  std::shared_ptr<const DecodedList> memory_;
  std::size_t memoryPosition_ = 0;
  std::unique_ptr<DecodedList> recording_;
  std::unique_ptr<WordBuffer> word_;
  std::unique_ptr<WordListDecoder> decoder_;
};

}  // namespace kea
