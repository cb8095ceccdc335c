// Files kept beside a dictionary come from disk like the dictionary: any
// bytes as a companion file, a scores payload or a pairs payload must be
// refused or read without leaving their buffers, and what is read must
// answer every question inside its own bounds.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FuzzScratch.h"
#include "dictionary/Coding.h"
#include "dictionary/CompanionFile.h"
#include "dictionary/EntryScores.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = data[0] % 3;
  ++data;
  --size;
  if (mode == 0) {
    // The frame: read against the fingerprint it claims, so the fuzzer
    // can reach a loaded payload.
    const std::string& path = kea::fuzz::writeScratch(data, size);
    kea::DictionaryFingerprint claimed;
    if (size >= 32) {
      const auto u64 = [&](std::size_t at) {
        return static_cast<std::uint64_t>(kea::coding::decodeFixed32(data + at)) |
               static_cast<std::uint64_t>(kea::coding::decodeFixed32(data + at + 4)) << 32;
      };
      claimed = {u64(8), static_cast<std::int64_t>(u64(16)), u64(24)};
    }
    const kea::CompanionFile file =
        kea::readCompanionFile(path, kea::EntryScores::kMagic, 1 << 16, claimed, kea::FingerprintCheck::SizeHeaderAndTime);
    if (file.status == kea::CompanionStatus::Loaded && file.payload.size() + kea::kCompanionFrameSize != size) std::abort();
    return 0;
  }
  const std::vector<unsigned char> payload(data, data + size);
  if (mode == 1) {
    // A dictionary whose counts are the payload's own, as a matching one's.
    std::array<std::uint32_t, kea::kkd::kMaxLengthSlots> counts{};
    const int slots = size >= 2 ? kea::coding::decodeFixed16(data) : 0;
    for (int l = 0; l < slots && l < kea::kkd::kMaxLengthSlots && 2 + 4 * static_cast<std::size_t>(l) + 4 <= size; ++l) {
      counts[static_cast<std::size_t>(l)] = kea::coding::decodeFixed32(data + 2 + 4 * l);
    }
    const auto scores = kea::EntryScores::fromPayload(payload, slots, counts);
    if (!scores) return 0;
    for (int l = -1; l <= kea::kkd::kMaxLengthSlots; ++l) {
      for (std::uint32_t i : {0u, 1u, 7u, 1000u, 0xFFFFFFFFu}) {
        const int score = scores->score(l, i);
        if (score != kea::kNoScore && (score < 0 || score > kea::kMaxScore)) std::abort();
      }
    }
    return 0;
  }
  const auto pairs = kea::PairScores::fromPayload(payload);
  if (!pairs) return 0;
  int tenths = 0;
  for (std::size_t i = 0; i + 4 <= size; i += 4) pairs->bonus(kea::coding::decodeFixed32(data + i), tenths);
  pairs->bonus(0, tenths);
  pairs->bonus(0xFFFFFFFFu, tenths);
  return 0;
}
