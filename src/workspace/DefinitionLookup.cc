#include "workspace/DefinitionLookup.h"

#include "fulltext/DefinitionRetriever.h"
#include "platform/File.h"

namespace kea {

namespace {

std::optional<DictionaryTexts> textsOf(const DictionaryList& list, int i) {
  DictionaryTexts texts;
  texts.description = list.description(i);
  list.describe(i, texts.details);
  return texts;
}

}  // namespace

const DictionaryList* DefinitionLookup::definitions(const DictionaryList& open, std::string_view path) {
  if (path.empty()) return nullptr;
  for (int i = 0; i < open.count(); ++i) {
    if (platform::sameFile(open.path(i), path)) return nullptr;
  }
  if (!definitions_ || definitions_->count() != 1 || definitions_->path(0) != path) {
    definitions_ = DictionaryList::make(std::vector<std::string>{std::string(path)});
  }
  return definitions_.get();
}

std::vector<Definition> DefinitionLookup::lookUp(const DictionaryList& open, std::string_view definitionsPath,
                                                 std::string_view word) {
  std::vector<Definition> out;
  lookupDefinitions(open, word, out);
  if (const DictionaryList* extra = definitions(open, definitionsPath)) {
    const std::size_t first = out.size();
    lookupDefinitions(*extra, word, out);
    // After the open dictionaries in the search order.
    for (std::size_t k = first; k < out.size(); ++k) out[k].dictionaryIndex += open.count();
  }
  return out;
}

std::optional<DictionaryTexts> DefinitionLookup::texts(const DictionaryList& open,
                                                       std::string_view definitionsPath, std::string_view path) {
  for (int i = 0; i < open.count(); ++i) {
    if (open.path(i) == path) return textsOf(open, i);
  }
  if (const DictionaryList* extra = definitions(open, definitionsPath); extra != nullptr && extra->path(0) == path) {
    return textsOf(*extra, 0);
  }
  return std::nullopt;
}

int windowAfterKey(DefinitionKey key, int current, int count) {
  if (count <= 0) return 0;
  switch (key) {
    case DefinitionKey::F4: return 0;
    case DefinitionKey::F5: return (current - 1 + count) % count;
    case DefinitionKey::F6: return (current + 1) % count;
    case DefinitionKey::Backspace:
    case DefinitionKey::Other: break;
  }
  return current;
}

WindowPosition firstDefinitionWindowPlacement(const ScreenRect& workArea) {
  WindowPosition place;
  place.width = workArea.width / 2;
  place.height = workArea.height / 2;
  place.left = workArea.left + (workArea.width - place.width) / 2;
  place.top = workArea.top + (workArea.height - place.height) / 2;
  return place;
}

}  // namespace kea
