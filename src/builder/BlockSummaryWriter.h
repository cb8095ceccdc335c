// Writing a dictionary's block summaries (dictionary/BlockSummary.h) beside
// it, once the dictionary is in its place: every program that writes a
// dictionary calls this after it, so that searches over the new file can
// skip what cannot match.
#pragma once

#include <string>

#include "dictionary/BlockSummary.h"

namespace kea {

// Reads the dictionary at `dictionaryPath` (library text) and writes its
// summary beside it, replacing any older one. False, with the reason in
// `error`, when the dictionary cannot be read to the end of every list or
// the summary cannot be written; a summary left from an earlier file is
// then removed, and the dictionary works as it would without one.
bool writeBlockSummaries(const std::string& dictionaryPath, std::string* error,
                         int entriesPerBlock = blocks::kDefaultEntriesPerBlock);

}  // namespace kea
