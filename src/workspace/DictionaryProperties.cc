#include "workspace/DictionaryProperties.h"

#include "workspace/DialogTexts.h"

namespace kea {

DictionaryProperties dictionaryProperties(const DictionaryList& list, int index) {
  DictionaryProperties out;
  const DictionaryList::Dictionary* dictionary = list.dictionary(index);
  if (!dictionary) return out;
  // Checked first: this reopens a file that changed on disk.
  out.valid = list.isUsable(index);
  out.caption = list.name(index) + std::string(dialogs::kPropertiesCaptionSuffix);
  out.location = list.path(index);
  // A file that is not there has no date of its own; the epoch is no answer.
  if (dictionary->lastWriteTime() != 0) out.date = list.dateText(index);
  out.description = list.description(index);
  if (out.valid) list.statistics(index, out.entries, out.definitions, out.shortest, out.longest);
  return out;
}

}  // namespace kea
