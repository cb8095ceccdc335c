// Build a dictionary from arbitrary bytes taken as builder input lines: the
// build must succeed without reading outside a buffer, and the reader must
// open the result and decode every list to a clean end with as many
// section-1 entries as the header says.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzScratch.h"
#include "builder/DictionaryBuilder.h"
#include "builder/EnglishAlphabet.h"
#include "builder/TextLineSource.h"
#include "dictionary/DictionaryList.h"
#include "dictionary/WordListDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 1 << 16) return 0;
  // The first byte picks the length range, so short and long limits are explored too.
  const int shortest = size > 0 ? data[0] % 8 : 1;
  const int longest = size > 0 ? shortest + data[0] / 8 : 100;
  kea::TextLineSource source(std::string(reinterpret_cast<const char*>(data), size));
  const std::string& path = kea::fuzz::scratchPath();
  if (!kea::buildDictionary(source, kea::englishAlphabetTable(), path, "fuzz", shortest, longest)) std::abort();

  kea::DictionaryList::Dictionary dictionary(path);
  dictionary.open(true);
  if (!dictionary.isOpen()) std::abort();
  for (int length = 1; length < dictionary.lengthSlots(); ++length) {
    bool complete = false;
    const auto list = kea::decodeWordList(dictionary, length, &complete);
    if (!complete) std::abort();
    std::uint32_t section1 = 0;
    for (const auto& entry : list) section1 += entry.section == 1;
    if (section1 != dictionary.wordCount(length)) std::abort();
  }
  return 0;
}
