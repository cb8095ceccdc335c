// Open arbitrary bytes as a dictionary, then decode every word list: the
// reader must either reject the file or decode it to a clean end, never
// read outside a buffer and never hang.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzScratch.h"
#include "dictionary/DictionaryList.h"
#include "dictionary/WordListDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = kea::fuzz::writeScratch(data, size);

  kea::DictionaryList::Dictionary dictionary(path);
  dictionary.open(true);
  std::string summary;
  dictionary.describe(summary);
  int entries, definitions, shortest, longest;
  dictionary.statistics(entries, definitions, shortest, longest);
  if (!dictionary.isOpen()) return 0;
  for (int length = 0; length <= kea::kkd::kMaxLengthSlots; ++length) {
    bool complete = false;
    const auto list = kea::decodeWordList(dictionary, length, &complete);
    // Every entry takes at least one bit of the file.
    if (list.size() > size * 8) std::abort();
    for (const auto& entry : list) {
      if (entry.text.size() + entry.annotation.size() + 2 > kea::WordBuffer::kRawSize) std::abort();
      for (const std::uint8_t k : entry.key) {
        if (k >= dictionary.alphabetSize()) std::abort();
      }
    }
  }
  return 0;
}
