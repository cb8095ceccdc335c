#include "support/WordBufferFill.h"

#include <cstring>

namespace kea {

int fillWordBuffer(WordBuffer& word, std::string_view entry, const Alphabet& alphabet,
                   std::string_view annotation) {
  const std::size_t rawNeeded = entry.size() + 1 + (annotation.empty() ? 0 : annotation.size() + 1);
  int length = 0;
  bool fits = rawNeeded <= static_cast<std::size_t>(WordBuffer::kRawSize);
  for (std::size_t i = 0; i < entry.size() && fits; ++i) {
    const std::uint8_t index = alphabet.alphabetIndexOf(static_cast<std::uint8_t>(entry[i]));
    if (index == kkd::kNoIndex) continue;
    if (length == WordBuffer::kKeySize - 1) {
      fits = false;
      break;
    }
    word.key[length++] = index;
  }
  if (!fits) {
    word.key[0] = kkd::kNoIndex;
    word.raw[0] = 0;
    return -1;
  }
  word.key[length] = kkd::kNoIndex;
  std::memcpy(word.raw, entry.data(), entry.size());
  word.raw[entry.size()] = 0;
  if (!annotation.empty()) {
    std::memcpy(word.raw + entry.size() + 1, annotation.data(), annotation.size());
    word.raw[entry.size() + 1 + annotation.size()] = 0;
  }
  return length;
}

}  // namespace kea
