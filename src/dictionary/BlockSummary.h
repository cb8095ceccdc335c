// Block summaries: a companion file beside a dictionary ("English.blocks"
// beside "English.kkd", see CompanionFile.h) that lets a word search skip
// the parts of a word list that cannot hold a match.
//
// Section 1 of each length's word list is cut into blocks of a fixed number
// of entries. For every block the summary keeps where its first record
// starts (a bit offset from the list's start and the flagged entries before
// it, which is all the decoder needs to start there) and which letters its
// entries hold. A pattern that requires letters then decodes only the
// blocks that hold them all: for "*q*z*" over the shipped English lists,
// one entry in thirty.
//
// The summary is an optimisation and never a source of truth: it is taken
// only when its frame, hash and fingerprint (size, header hash and time
// stamp to the second) agree with the open dictionary, and its counts and offsets are
// checked against the dictionary before use. A dictionary without one, or
// with one that is missing, stale or damaged, is searched by decoding every
// entry, with the same results. The layout is in docs/block-summaries.md.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Coding.h"
#include "dictionary/CompanionFile.h"
#include "dictionary/DictionaryList.h"

namespace kea {

namespace blocks {

// Part of the persistent format: never change.
inline constexpr std::string_view kExtension = ".blocks";
inline constexpr std::string_view kMagic = "KEABLKS1";
// Entries per block that the writers use, chosen by measurement (see
// docs/block-summaries.md): smaller blocks skip more of a scan for a rare
// letter, larger ones keep the file smaller to read and check.
inline constexpr int kDefaultEntriesPerBlock = 16;
inline constexpr int kMaxEntriesPerBlock = 4096;
// A summary larger than this is not read (English: about 330 KB).
inline constexpr std::size_t kMaxPayload = std::size_t{1} << 28;

// The bit of an alphabet index in a block's letter set: one bit per index
// up to 30, and bit 31 shared by every higher index, so that a letter set
// never says a letter is missing when it is present.
inline std::uint32_t letterBit(unsigned alphabetIndex) {
  return std::uint32_t{1} << (alphabetIndex < 31 ? alphabetIndex : 31);
}

}  // namespace blocks

// Where a block of a length's section 1 starts.
struct WordBlock {
  // From the start of the length's word list, in bits.
  std::uint64_t startBit = 0;
  // Flagged entries of section 1 before the block's first entry.
  std::int32_t flaggedBefore = 0;

  bool operator==(const WordBlock&) const = default;
};

// One length's blocks, read in place from the summary that holds them
// (which must outlive this): ceil(entries / entriesPerBlock) blocks, then
// the end block, which holds no entry and starts at section 1's end
// record. A block's start is the sum of the sizes of the blocks before it,
// so a reader walks the blocks in order and keeps where it is.
class LengthBlocks {
 public:
  std::uint32_t entries() const { return entries_; }
  // The end block's number (the number of blocks that hold entries).
  std::size_t endBlock() const { return count_; }
  // blocks::letterBit of every letter block b's entries hold; 0 for the
  // end block.
  std::uint32_t letters(std::size_t b) const {
    return b < count_ ? coding::decodeFixed32(records_ + kRecordSize * b) : 0;
  }
  // Where block b + 1 starts, given where block b (not the end block)
  // starts.
  WordBlock after(std::size_t b, WordBlock start) const {
    const unsigned char* record = records_ + kRecordSize * b;
    start.startBit += coding::decodeFixed32(record + 4);
    start.flaggedBefore += static_cast<std::int32_t>(coding::decodeFixed32(record + 8));
    return start;
  }
  // Where block b starts, walking from the first.
  WordBlock start(std::size_t b) const;

  // Per block in the payload: letters, bits its records take, flagged
  // entries among them.
  static constexpr std::size_t kRecordSize = 12;

 private:
  friend class BlockSummaries;
  const unsigned char* records_ = nullptr;
  std::size_t count_ = 0;
  std::uint32_t entries_ = 0;
};

// A whole summary: its payload, checked, and the lengths' blocks in it.
class BlockSummaries {
 public:
  BlockSummaries(const BlockSummaries&) = delete;
  BlockSummaries& operator=(const BlockSummaries&) = delete;
  BlockSummaries(BlockSummaries&&) = default;
  BlockSummaries& operator=(BlockSummaries&&) = default;

  int entriesPerBlock() const { return entriesPerBlock_; }
  // The blocks of a length, or nothing when the summary holds none for it
  // (no entries, or a length outside the dictionary).
  const LengthBlocks* length(int length) const;

  // The summary of an open dictionary, made by decoding section 1 of each
  // of its lists. Nothing when a list cannot be read to its end record, or
  // when a record of a list is filed under the wrong length: a summary is
  // made only of a dictionary that decodes cleanly.
  static std::optional<BlockSummaries> make(const DictionaryList::Dictionary& dictionary,
                                            int entriesPerBlock = blocks::kDefaultEntriesPerBlock);

  // The payload of the companion file, and back. parse() checks the layout
  // and every count and size against `dictionary`, and returns nothing
  // when anything disagrees.
  std::string_view serialize() const {
    return {reinterpret_cast<const char*>(payload_.data()), payload_.size()};
  }
  static std::optional<BlockSummaries> parse(std::vector<unsigned char> payload,
                                             const DictionaryList::Dictionary& dictionary);
  static std::optional<BlockSummaries> parse(std::string_view payload, const DictionaryList::Dictionary& dictionary) {
    return parse(std::vector<unsigned char>(payload.begin(), payload.end()), dictionary);
  }

  bool operator==(const BlockSummaries& other) const { return payload_ == other.payload_; }

 private:
  BlockSummaries() = default;

  std::vector<unsigned char> payload_;
  int entriesPerBlock_ = 0;
  std::vector<LengthBlocks> lengths_;  // index: length
};

// What reading a dictionary's summary found.
struct LoadedBlockSummaries {
  CompanionStatus status = CompanionStatus::Missing;
  std::shared_ptr<const BlockSummaries> summaries;  // set when Loaded
};

// Reads and checks the summary beside an open dictionary. A summary whose
// frame is sound but whose content disagrees with the dictionary counts as
// Damaged.
LoadedBlockSummaries loadBlockSummaries(const DictionaryList::Dictionary& dictionary);

}  // namespace kea
