// A pattern line searched over arbitrary dictionary bytes, the way the
// search step walks a dictionary: every planned length started on the word
// cursor and read to its end in 2000-word slices. The cursor must hand out
// only words of the length being read, stay inside its buffers and always
// come to an end.
//
// Input: one byte n, then n bytes of pattern line (Windows-1252), then the
// dictionary file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzScratch.h"
#include "dictionary/DictionaryList.h"
#include "pattern/LengthPlan.h"
#include "pattern/MatchEngineSet.h"
#include "pattern/WordCursor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size < 1u + data[0]) return 0;
  const std::string line(reinterpret_cast<const char*>(data) + 1, data[0]);
  const std::uint8_t* file = data + 1 + data[0];
  const std::size_t fileSize = size - 1 - data[0];

  const std::string& path = kea::fuzz::writeScratch(file, fileSize);

  auto list = kea::DictionaryList::make(path);
  if (!list->isUsable(0)) return 0;
  kea::MatchEngineSet set;
  if (set.parseExpression(list->dictionary(0)->alphabet(), line, 1, 100) != kea::PatternStatus::Valid) return 0;
  for (const int sense : {-1, 1}) {
    const kea::LengthPlan plan = kea::planLengths(set, false, {true, sense}, 1, 100);
    kea::WordCursor engine(*list, 0);
    for (int length = plan.firstLength(); kea::startLength(engine, set, plan, length); length += plan.step) {
      // Every word takes at least one bit of the file; a call returns a
      // match, the end, or nothing after 2000 words.
      const std::size_t words = fileSize * 8;
      const std::size_t maxCalls = words + words / kea::WordCursor::kSliceWords + 2;
      std::size_t calls = 0;
      for (;;) {
        if (++calls > maxCalls) std::abort();
        const kea::WordBuffer* word = engine.next(set);
        if (word == nullptr) continue;
        if (word->key[0] == kea::kkd::kNoIndex) break;
        for (int i = 0; i < length; ++i) {
          if (word->key[i] == kea::kkd::kNoIndex) std::abort();
        }
        if (word->key[length] != kea::kkd::kNoIndex) std::abort();
        if (engine.text().size() + engine.annotation().size() + 2 > kea::WordBuffer::kRawSize) std::abort();
      }
    }
  }
  return 0;
}
