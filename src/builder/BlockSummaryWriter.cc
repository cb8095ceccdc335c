#include "builder/BlockSummaryWriter.h"

#include "builder/CompanionFileWriter.h"
#include "dictionary/DictionaryList.h"

namespace kea {

bool writeBlockSummaries(const std::string& dictionaryPath, std::string* error, int entriesPerBlock) {
  const std::string path = companionPath(dictionaryPath, blocks::kExtension);
  // Read apart from the shared dictionaries: a program that has this file
  // open sees the new one at its next refresh.
  DictionaryList::Dictionary dictionary(dictionaryPath);
  dictionary.open(true);
  std::optional<BlockSummaries> summaries;
  if (!dictionary.isOpen()) {
    if (error) *error = "cannot read " + dictionaryPath + " to summarise it";
  } else if (!(summaries = BlockSummaries::make(dictionary, entriesPerBlock))) {
    if (error) *error = "a word list of " + dictionaryPath + " does not decode to its end";
  } else if (writeCompanionFile(path, blocks::kMagic, dictionary.fingerprint(), summaries->serialize(), error)) {
    return true;
  }
  // A summary of an earlier file would be ignored anyway; it goes so that
  // nothing stale is left.
  removeCompanionFile(path);
  return false;
}

}  // namespace kea
