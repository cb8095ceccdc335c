// Meanings come from users and meaning indexes from disk. Any bytes as
// meaning lines and a meaning must build an index that reads back and
// answers inside its bounds; any bytes as an index payload must be refused
// or read without leaving their buffers.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Coding.h"
#include "dictionary/MeaningIndex.h"
#include "meaning/MeaningDocuments.h"
#include "meaning/MeaningQuery.h"

namespace {

constexpr int kSlots = 4;

void ask(const std::shared_ptr<const kea::MeaningIndex>& index, std::string_view meaning,
         const std::array<std::uint32_t, kea::kkd::kMaxLengthSlots>& counts) {
  kea::MeaningQuery query(index, meaning);
  for (int length = -1; length <= kSlots; ++length) {
    const std::uint32_t count = length >= 0 && length < kSlots ? counts[static_cast<std::size_t>(length)] : 3;
    for (std::uint32_t i = 0; i <= count; ++i) {
      const double relevance = query.relevance(length, i);
      if (!(relevance >= 0) || std::isinf(relevance)) std::abort();
      const double rank = query.rank("entry", relevance, 50);
      if (std::isnan(rank)) std::abort();
      if (relevance > 0 && query.matchedWords(length, i).empty()) std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = data[0] % 2;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  std::array<std::uint32_t, kea::kkd::kMaxLengthSlots> counts{};
  counts[1] = 2;
  counts[2] = 3;
  counts[3] = 1;
  if (mode == 0) {
    // Meaning lines, then a NUL and the meaning asked.
    const std::size_t nul = text.find('\0');
    const std::string_view lines = text.substr(0, nul);
    const std::string_view meaning = nul == std::string_view::npos ? std::string_view("word") : text.substr(nul + 1);
    kea::MeaningDocuments documents;
    std::string error;
    documents.addLines(lines, &error);
    // Entries take the documents in turn.
    std::vector<std::vector<std::vector<std::uint32_t>>> entries(kSlots);
    std::uint32_t next = 0;
    for (int l = 1; l < kSlots; ++l) {
      entries[static_cast<std::size_t>(l)].resize(counts[static_cast<std::size_t>(l)]);
      for (auto& list : entries[static_cast<std::size_t>(l)]) {
        if (documents.size() > 0) list.push_back(next++ % static_cast<std::uint32_t>(documents.size()));
      }
    }
    const std::string payload = kea::MeaningIndex::payload(documents.content(std::move(entries)));
    const auto index = kea::MeaningIndex::fromPayload(std::vector<unsigned char>(payload.begin(), payload.end()),
                                                      kSlots, counts);
    if (!index) std::abort();  // what the builder writes must read back
    ask(index, meaning, counts);
    return 0;
  }
  // A payload as the file holds it, for a dictionary of these counts.
  const auto index = kea::MeaningIndex::fromPayload(std::vector<unsigned char>(text.begin(), text.end()), kSlots, counts);
  if (index) ask(index, "particle charge", counts);
  return 0;
}
