#include "builder/PositionTables.h"

#include <cmath>

#include "dictionary/KkdFormat.h"

namespace kea {

PositionCounts::PositionCounts(int longest)
    : longest_(longest), counts_(static_cast<std::size_t>(tableCount(longest)) * 256, 0) {}

void PositionCounts::count(std::string_view key) {
  const int length = static_cast<int>(key.size());
  if (length < 1 || length > longest_) return;
  for (int p = 0; p < length; ++p) ++counts_[base(length, p) + static_cast<std::uint8_t>(key[p])];
}

std::uint8_t positionByte(std::uint64_t c, std::uint64_t d, std::uint64_t total) {
  if (c == 0 || total == 0) return kkd::kPositionAbsent;
  // std::round rounds half away from zero.
  const double value = std::round(std::log2(static_cast<double>(c) * static_cast<double>(d) /
                                            static_cast<double>(total)));
  return static_cast<std::uint8_t>(static_cast<std::int8_t>(value));
}

std::string PositionCounts::tables(const Alphabet& alphabet, int last) const {
  if (last > longest_) last = longest_;
  const int letters = alphabet.letterCount;
  std::string out;
  out.reserve(static_cast<std::size_t>(tableCount(last)) * letters);
  std::vector<std::uint64_t> perIndex(static_cast<std::size_t>(letters));
  for (int length = 1; length <= last; ++length) {
    for (int p = 0; p < length; ++p) {
      std::fill(perIndex.begin(), perIndex.end(), 0);
      const std::uint32_t* row = &counts_[base(length, p)];
      for (int byte = 0; byte < 256; ++byte) {
        const std::uint8_t index = alphabet.indexOfByte[byte];
        if (row[byte] != 0 && index < letters) perIndex[index] += row[byte];
      }
      std::uint64_t total = 0, kinds = 0;
      for (const std::uint64_t c : perIndex) {
        total += c;
        kinds += c != 0;
      }
      for (const std::uint64_t c : perIndex) out.push_back(static_cast<char>(positionByte(c, kinds, total)));
    }
  }
  return out;
}

}  // namespace kea
