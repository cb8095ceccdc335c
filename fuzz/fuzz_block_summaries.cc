// Block summaries of arbitrary content beside a real dictionary: framed so
// that they pass the hash and the fingerprint, they reach the payload's
// checks, and those that pass drive the word cursor's skips. Whatever a
// summary says, a search must hand out only words of the length being
// read, stay inside its buffers and come to an end.
//
// Input: one byte of block size hint, one byte n, n bytes of pattern line,
// then the summary's payload; the payload made from the dictionary with
// that block size, with the input's bytes XOR-ed into it, is tried as
// well, so that many inputs pass the layout checks.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzScratch.h"
#include "builder/CompanionFileWriter.h"
#include "builder/DictionaryBuilder.h"
#include "builder/EnglishAlphabet.h"
#include "builder/TextLineSource.h"
#include "dictionary/BlockSummary.h"
#include "pattern/LengthPlan.h"
#include "pattern/MatchEngineSet.h"
#include "pattern/WordCursor.h"

namespace {

// The dictionary, built once per process beside the scratch file.
const std::string& dictionaryPath() {
  static const std::string path = [] {
    std::string lines;
    for (int i = 0; i < 600; ++i) {
      std::string word;
      for (int v = i * 7919 + 11, n = 3 + i % 7; n > 0; --n, v /= 5) word += "etaoinsqzjx"[v % 11];
      lines += word + (i % 5 == 0 ? "|about " + word : "") + "\n";
    }
    kea::TextLineSource source(lines);
    const std::string target = kea::fuzz::scratchPath() + ".kkd";
    if (!kea::buildDictionary(source, kea::englishAlphabetTable(), target, "fuzz", 1, 100)) std::abort();
    return target;
  }();
  return path;
}

void search(const std::string& line) {
  auto list = kea::DictionaryList::make(dictionaryPath());
  if (!list->isUsable(0)) std::abort();
  kea::MatchEngineSet set;
  if (set.parseExpression(list->dictionary(0)->alphabet(), line, 1, 100) != kea::PatternStatus::Valid) return;
  const kea::LengthPlan plan = kea::planLengths(set, false, {true, 1}, 1, 100);
  kea::WordCursor engine(*list, 0);
  for (int length = plan.firstLength(); kea::startLength(engine, set, plan, length); length += plan.step) {
    for (int calls = 0;; ++calls) {
      if (calls > 100000) std::abort();
      const kea::WordBuffer* word = engine.next(set);
      if (word == nullptr) continue;
      if (word->key[0] == kea::kkd::kNoIndex) break;
      for (int i = 0; i < length; ++i) {
        if (word->key[i] == kea::kkd::kNoIndex) std::abort();
      }
      if (word->key[length] != kea::kkd::kNoIndex) std::abort();
    }
  }
}

void tryPayload(const std::string& payload, const std::string& line) {
  const std::string& path = dictionaryPath();
  kea::DictionaryFingerprint fingerprint;
  {
    auto list = kea::DictionaryList::make(path);
    fingerprint = list->dictionary(0)->fingerprint();
  }
  if (!kea::writeCompanionFile(kea::companionPath(path, kea::blocks::kExtension), kea::blocks::kMagic, fingerprint,
                               payload, nullptr)) {
    std::abort();
  }
  search(line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size < 2u + data[1]) return 0;
  const int perBlock = 1 + data[0] % 40;
  const std::string line(reinterpret_cast<const char*>(data) + 2, data[1]);
  const std::string bytes(reinterpret_cast<const char*>(data) + 2 + data[1], size - 2 - data[1]);

  tryPayload(bytes, line);

  // The dictionary's own summary with the input XOR-ed into it.
  std::string made;
  {
    auto list = kea::DictionaryList::make(dictionaryPath());
    made = std::string(kea::BlockSummaries::make(*list->dictionary(0), perBlock)->serialize());
  }
  for (std::size_t i = 0; i < bytes.size() && 8 + i < made.size(); ++i) made[8 + i] = static_cast<char>(made[8 + i] ^ bytes[i]);
  tryPayload(made, line);
  return 0;
}
