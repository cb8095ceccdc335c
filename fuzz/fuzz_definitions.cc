// Open arbitrary bytes as a dictionary and follow its definitions: every
// entry's pointers and occurrence list, every record they lead to, the
// lookup of a few of its words, and full-text searches through the index
// and by reading. Nothing may be read outside a buffer, no pointer outside
// the records may come back, and every search must finish.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzScratch.h"
#include "dictionary/DictionaryList.h"
#include "dictionary/KkdFormat.h"
#include "dictionary/WordListDecoder.h"
#include "fulltext/DefinitionRetriever.h"
#include "fulltext/IndexedDefinitionSearch.h"
#include "fulltext/SequentialDefinitionSearch.h"
#include "pattern/WordCursor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kea::fuzz::writeScratch(data, size);
  const std::string& path = kea::fuzz::scratchPath();

  auto list = kea::DictionaryList::make(path);
  kea::DictionaryList::Dictionary* d = list->dictionary(0);
  if (!d->refresh()) return 0;

  kea::DefinitionPointers pointers(*d);
  kea::DefinitionRetriever retriever(*list, 0);
  std::vector<std::uint32_t> offsets;
  kea::Definition definition;
  for (int length = 1; length < d->lengthSlots(); ++length) {
    for (const auto& entry : kea::decodeWordList(*d, length)) {
      if (entry.definitionIndex < 0) continue;
      offsets.clear();
      const int mode = entry.section == 1 ? kea::kkd::kGroupedTableMode : kea::kkd::kDirectTableMode;
      pointers.offsets(true, length, entry.definitionIndex, mode, offsets);
      if (offsets.size() > size) std::abort();
      for (const std::uint32_t offset : offsets) {
        if (!d->isDefinitionOffset(offset)) std::abort();
        if (!retriever.read(offset, definition)) std::abort();
        if (definition.body.size() > size || definition.firstParts.size() > 255) std::abort();
      }
    }
  }

  std::vector<kea::Definition> found;
  for (const char* word : {"a", "at", "fig", "date", "kiwi", "Plum"}) {
    found.clear();
    kea::lookupDefinitions(*list, word, found);
    for (const kea::Definition& f : found) {
      if (!d->isDefinitionOffset(f.offset)) std::abort();
    }
  }
  for (const char* query : {"fig", "a & fig | palm", "(kiwi | bird) & a"}) {
    kea::MatchEngineSet terms;
    terms.parseExpression(d->alphabet(), query, 1, 100);
    kea::IndexedDefinitionSearch indexed(*list, 0, terms);
    std::size_t hits = 0;
    while (indexed.next(definition)) {
      if (++hits > indexed.candidates().size()) std::abort();
    }
  }

  kea::MatchEngineSet set;
  set.parseExpression(d->alphabet(), "a* | !e*", 1, 100);
  kea::SequentialDefinitionSearch search(*list, 0, set);
  // Every record takes at least one byte, so a finished search needs at
  // most one call per byte.
  for (std::size_t calls = 0;; ++calls) {
    if (calls > size + 1) std::abort();
    const auto step = search.next(7);
    if (step == kea::SequentialDefinitionSearch::Step::Finished) break;
    if (step == kea::SequentialDefinitionSearch::Step::Match &&
        search.firstHeadword().size() >= kea::SequentialDefinitionSearch::kHeadwordSize) {
      std::abort();
    }
  }
  return 0;
}
