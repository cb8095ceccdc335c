#include "dictionary/BlockSummary.h"

#include <climits>
#include <cstdint>
#include <memory>

#include "dictionary/Coding.h"
#include "dictionary/DictionaryList.h"
#include "dictionary/WordListDecoder.h"
#include "dictionary/WordListFile.h"

namespace kea {
namespace {

std::size_t blockCount(std::uint32_t entries, std::uint32_t entriesPerBlock) {
  return (static_cast<std::size_t>(entries) + entriesPerBlock - 1) / entriesPerBlock;
}

// Decodes section 1 of one list and appends its entry count and block
// records to `payload`; false when the list does not decode cleanly to its
// end record.
bool summariseLength(const DictionaryList::Dictionary& dictionary, int length, std::uint32_t entriesPerBlock,
                     std::string& payload) {
  const std::size_t countAt = payload.size();
  coding::putFixed32(payload, 0);
  WordListFile file;
  auto decoder = std::make_unique<WordListDecoder>(dictionary);
  switch (file.startList(dictionary, length, *decoder)) {
    case WordListFile::Status::Reading:
      break;
    case WordListFile::Status::NoList:
      return true;
    case WordListFile::Status::NotOpen:
    case WordListFile::Status::Unreadable:
      return false;
  }
  auto word = std::make_unique<WordBuffer>();
  std::uint32_t entries = 0;
  std::uint32_t letters = 0;
  WordBlock blockStart;
  // Closes the block that started at blockStart where the next one starts.
  const auto closeBlock = [&](std::uint64_t bit, int flagged) {
    coding::putFixed32(payload, letters);
    coding::putFixed32(payload, static_cast<std::uint32_t>(bit - blockStart.startBit));
    coding::putFixed32(payload, static_cast<std::uint32_t>(flagged - blockStart.flaggedBefore));
    blockStart = {bit, flagged};
    letters = 0;
  };
  for (;;) {
    const std::uint64_t bit = decoder->bitPosition();
    const int flagged = decoder->flaggedSoFar();
    const WordListDecoder::Result r = decoder->next(*word);
    if (r.record == WordListDecoder::Record::SectionEnd || r.record == WordListDecoder::Record::ListEnd) {
      if (entries > 0) closeBlock(bit, flagged);
      coding::encodeFixed32(reinterpret_cast<unsigned char*>(payload.data() + countAt), entries);
      return true;
    }
    // A search stops at a record filed under the wrong length; a summary
    // could not describe what it would see. A block larger than its
    // record's fields is left to the decoder.
    if (r.record != WordListDecoder::Record::Entry || r.keyLength != length ||
        bit - blockStart.startBit > UINT32_MAX) {
      return false;
    }
    if (entries > 0 && entries % entriesPerBlock == 0) closeBlock(bit, flagged);
    for (int i = 0; i < r.keyLength; ++i) letters |= blocks::letterBit(word->key[i]);
    ++entries;
  }
}

}  // namespace

WordBlock LengthBlocks::start(std::size_t b) const {
  WordBlock at;
  for (std::size_t i = 0; i < b && i < count_; ++i) at = after(i, at);
  return at;
}

const LengthBlocks* BlockSummaries::length(int length) const {
  if (length < 0 || static_cast<std::size_t>(length) >= lengths_.size()) return nullptr;
  const LengthBlocks& l = lengths_[static_cast<std::size_t>(length)];
  return l.entries_ == 0 ? nullptr : &l;
}

// Payload layout (little-endian; docs/block-summaries.md):
//   u32 entries per block (N), u32 length slots (S, the dictionary's N),
//   then for each length 1 … S-1: u32 entries in section 1 (E), then
//   ceil(E / N) block records of u32 letters, u32 bits, u32 flagged.
std::optional<BlockSummaries> BlockSummaries::make(const DictionaryList::Dictionary& dictionary,
                                                   int entriesPerBlock) {
  if (!dictionary.isOpen() || entriesPerBlock < 1 || entriesPerBlock > blocks::kMaxEntriesPerBlock) {
    return std::nullopt;
  }
  std::string payload;
  coding::putFixed32(payload, static_cast<std::uint32_t>(entriesPerBlock));
  coding::putFixed32(payload, static_cast<std::uint32_t>(dictionary.lengthSlots()));
  for (int length = 1; length < dictionary.lengthSlots(); ++length) {
    if (!summariseLength(dictionary, length, static_cast<std::uint32_t>(entriesPerBlock), payload)) {
      return std::nullopt;
    }
  }
  return parse(payload, dictionary);
}

std::optional<BlockSummaries> BlockSummaries::parse(std::vector<unsigned char> payload,
                                                    const DictionaryList::Dictionary& dictionary) {
  const unsigned char* p = payload.data();
  const unsigned char* const limit = p + payload.size();
  std::uint32_t perBlock = 0, slots = 0;
  if (!coding::getFixed32(p, limit, perBlock) || !coding::getFixed32(p, limit, slots)) return std::nullopt;
  if (perBlock < 1 || perBlock > blocks::kMaxEntriesPerBlock || !dictionary.isOpen() ||
      slots != static_cast<std::uint32_t>(dictionary.lengthSlots())) {
    return std::nullopt;
  }
  BlockSummaries out;
  out.entriesPerBlock_ = static_cast<int>(perBlock);
  out.lengths_.resize(slots);
  for (std::uint32_t length = 1; length < slots; ++length) {
    LengthBlocks& l = out.lengths_[length];
    if (!coding::getFixed32(p, limit, l.entries_)) return std::nullopt;
    if (l.entries_ == 0) continue;
    const auto start = dictionary.wordListStart(static_cast<int>(length));
    l.count_ = blockCount(l.entries_, perBlock);
    if (!start || l.entries_ > INT32_MAX ||
        l.count_ > static_cast<std::size_t>(limit - p) / LengthBlocks::kRecordSize) {
      return std::nullopt;
    }
    l.records_ = p;
    p += l.count_ * LengthBlocks::kRecordSize;
    // Every block but the last holds perBlock entries; every record takes
    // at least two bits (a letter and its end); the end record starts
    // inside the file.
    std::uint64_t bits = 0, flagged = 0;
    bool sound = true;
    const auto check = [&](std::size_t b, std::uint32_t entriesInBlock) {
      const unsigned char* record = l.records_ + LengthBlocks::kRecordSize * b;
      const std::uint32_t blockBits = coding::decodeFixed32(record + 4);
      const std::uint32_t blockFlagged = coding::decodeFixed32(record + 8);
      sound &= blockBits / 2 >= entriesInBlock && blockFlagged <= entriesInBlock;
      bits += blockBits;
      flagged += blockFlagged;
    };
    for (std::size_t b = 0; b + 1 < l.count_; ++b) check(b, perBlock);
    check(l.count_ - 1, l.entries_ - static_cast<std::uint32_t>(l.count_ - 1) * perBlock);
    if (!sound || bits >= (dictionary.fileSize() - *start) * 8) return std::nullopt;
  }
  if (p != limit) return std::nullopt;
  // The views point into the payload's own buffer, which moves with it.
  out.payload_ = std::move(payload);
  return out;
}

LoadedBlockSummaries loadBlockSummaries(const DictionaryList::Dictionary& dictionary) {
  LoadedBlockSummaries out;
  if (!dictionary.isOpen()) return out;
  CompanionFile file = readCompanionFile(companionPath(dictionary.path(), blocks::kExtension), blocks::kMagic,
                                         blocks::kMaxPayload, dictionary.fingerprint(),
                                         FingerprintCheck::SizeHeaderAndSecond);
  out.status = file.status;
  if (file.status != CompanionStatus::Loaded) return out;
  auto parsed = BlockSummaries::parse(std::move(file.payload), dictionary);
  if (!parsed) {
    out.status = CompanionStatus::Damaged;
    return out;
  }
  out.summaries = std::make_shared<const BlockSummaries>(std::move(*parsed));
  return out;
}

}  // namespace kea
