#include "dictionary/BlockSummary.h"

#include <climits>
#include <cstdint>
#include <memory>

#include "dictionary/Coding.h"
#include "dictionary/KKDictionaryList.h"
#include "dictionary/WordListDecoder.h"
#include "dictionary/WordListFile.h"

namespace kea {
namespace {

// Per block in the payload: letters, bits taken by its records, flagged
// entries among them.
constexpr std::size_t kBlockRecordSize = 12;

std::size_t blockCount(std::uint32_t entries, int entriesPerBlock) {
  return (static_cast<std::size_t>(entries) + static_cast<std::size_t>(entriesPerBlock) - 1) /
         static_cast<std::size_t>(entriesPerBlock);
}

// Decodes section 1 of one list into its blocks; false when the list does
// not decode cleanly to its end record.
bool summariseLength(const KKDictionaryList::Dictionary& dictionary, int length, int entriesPerBlock,
                     LengthBlocks& out) {
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
  for (;;) {
    const std::uint64_t start = decoder->bitPosition();
    const int flaggedBefore = decoder->flaggedSoFar();
    const WordListDecoder::Result r = decoder->next(*word);
    if (r.record == WordListDecoder::Record::SectionEnd || r.record == WordListDecoder::Record::ListEnd) {
      if (out.entries == 0) return true;
      out.letters.push_back(0);
      out.starts.push_back({start, flaggedBefore});
      return true;
    }
    // A search stops at a record filed under the wrong length; a summary
    // could not describe what it would see.
    if (r.record != WordListDecoder::Record::Entry || r.keyLength != length) return false;
    if (out.entries % static_cast<std::uint32_t>(entriesPerBlock) == 0) {
      out.letters.push_back(0);
      out.starts.push_back({start, flaggedBefore});
    }
    std::uint32_t& letters = out.letters.back();
    for (int i = 0; i < r.keyLength; ++i) letters |= blocks::letterBit(word->key[i]);
    ++out.entries;
  }
}

}  // namespace

const LengthBlocks* BlockSummaries::length(int length) const {
  if (length < 0 || static_cast<std::size_t>(length) >= lengths_.size()) return nullptr;
  const LengthBlocks& l = lengths_[static_cast<std::size_t>(length)];
  return l.entries == 0 ? nullptr : &l;
}

std::optional<BlockSummaries> BlockSummaries::make(const KKDictionaryList::Dictionary& dictionary,
                                                   int entriesPerBlock) {
  if (!dictionary.isOpen() || entriesPerBlock < 1 || entriesPerBlock > blocks::kMaxEntriesPerBlock) {
    return std::nullopt;
  }
  BlockSummaries out;
  out.entriesPerBlock_ = entriesPerBlock;
  out.lengths_.resize(static_cast<std::size_t>(dictionary.lengthSlots()));
  for (int length = 1; length < dictionary.lengthSlots(); ++length) {
    if (!summariseLength(dictionary, length, entriesPerBlock, out.lengths_[static_cast<std::size_t>(length)])) {
      return std::nullopt;
    }
  }
  return out;
}

// Payload layout (little-endian; docs/block-summaries.md):
//   u32 entries per block (N), u32 length slots (S, the dictionary's N),
//   then for each length 1 … S-1: u32 entries in section 1 (E), then
//   ceil(E / N) block records of u32 letters, u32 bits, u32 flagged.
std::string BlockSummaries::serialize() const {
  std::string out;
  coding::putFixed32(out, static_cast<std::uint32_t>(entriesPerBlock_));
  coding::putFixed32(out, static_cast<std::uint32_t>(lengths_.size()));
  for (std::size_t length = 1; length < lengths_.size(); ++length) {
    const LengthBlocks& l = lengths_[length];
    coding::putFixed32(out, l.entries);
    for (std::size_t b = 0; b + 1 < l.starts.size(); ++b) {
      coding::putFixed32(out, l.letters[b]);
      coding::putFixed32(out, static_cast<std::uint32_t>(l.starts[b + 1].startBit - l.starts[b].startBit));
      coding::putFixed32(out, static_cast<std::uint32_t>(l.starts[b + 1].flaggedBefore - l.starts[b].flaggedBefore));
    }
  }
  return out;
}

std::optional<BlockSummaries> BlockSummaries::parse(std::string_view payload,
                                                    const KKDictionaryList::Dictionary& dictionary) {
  const auto* p = reinterpret_cast<const unsigned char*>(payload.data());
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
    if (!coding::getFixed32(p, limit, l.entries)) return std::nullopt;
    if (l.entries == 0) continue;
    const auto start = dictionary.wordListStart(static_cast<int>(length));
    const std::size_t count = blockCount(l.entries, out.entriesPerBlock_);
    // Checked before anything is allocated for the blocks.
    if (!start || l.entries > INT32_MAX || count > static_cast<std::size_t>(limit - p) / kBlockRecordSize) {
      return std::nullopt;
    }
    // The end record must start inside the file.
    const std::uint64_t bitsInFile = (dictionary.fileSize() - *start) * 8;
    l.letters.resize(count + 1);
    l.starts.resize(count + 1);
    std::uint32_t* letters = l.letters.data();
    WordBlock* starts = l.starts.data();
    std::uint64_t bit = 0;
    std::uint32_t flagged = 0;
    bool sound = true;
    const auto take = [&](std::size_t b, std::uint32_t entriesInBlock) {
      const unsigned char* record = p + b * kBlockRecordSize;
      const std::uint32_t bits = coding::decodeFixed32(record + 4);
      const std::uint32_t flaggedInBlock = coding::decodeFixed32(record + 8);
      // Every record takes at least two bits: a letter and its end.
      sound &= bits / 2 >= entriesInBlock && flaggedInBlock <= entriesInBlock;
      letters[b] = coding::decodeFixed32(record);
      starts[b] = {bit, static_cast<std::int32_t>(flagged)};
      bit += bits;
      flagged += flaggedInBlock;
    };
    for (std::size_t b = 0; b + 1 < count; ++b) take(b, perBlock);
    take(count - 1, l.entries - static_cast<std::uint32_t>(count - 1) * perBlock);
    p += count * kBlockRecordSize;
    if (!sound || bit >= bitsInFile) return std::nullopt;
    letters[count] = 0;
    starts[count] = {bit, static_cast<std::int32_t>(flagged)};
  }
  if (p != limit) return std::nullopt;
  return out;
}

LoadedBlockSummaries loadBlockSummaries(const KKDictionaryList::Dictionary& dictionary) {
  LoadedBlockSummaries out;
  if (!dictionary.isOpen()) return out;
  CompanionFile file = readCompanionFile(companionPath(dictionary.path(), blocks::kExtension), blocks::kMagic,
                                         blocks::kMaxPayload, dictionary.fingerprint(),
                                         FingerprintCheck::SizeHeaderAndTime, CompanionHash::Wide);
  out.status = file.status;
  if (file.status != CompanionStatus::Loaded) return out;
  auto parsed = BlockSummaries::parse(
      std::string_view(reinterpret_cast<const char*>(file.payload.data()), file.payload.size()), dictionary);
  if (!parsed) {
    out.status = CompanionStatus::Damaged;
    return out;
  }
  out.summaries = std::make_shared<const BlockSummaries>(std::move(*parsed));
  return out;
}

}  // namespace kea
