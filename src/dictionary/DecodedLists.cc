#include "dictionary/DecodedLists.h"

#include <algorithm>
#include <list>

#include "dictionary/BlockSummary.h"

namespace kea {
namespace {

struct Kept {
  std::string path;
  DictionaryFingerprint fingerprint;
  std::shared_ptr<const DecodedList> list;
  std::size_t bytes = 0;
};

// Most recently used first.
struct Store {
  std::size_t budget = 0;
  std::size_t bytes = 0;
  std::list<Kept> kept;
};

Store& store() {
  static Store s;
  return s;
}

void shrinkTo(std::size_t limit) {
  Store& s = store();
  while (s.bytes > limit && !s.kept.empty()) {
    s.bytes -= s.kept.back().bytes;
    s.kept.pop_back();
  }
}

}  // namespace

void DecodedList::add(const std::uint8_t* key, std::string_view text, std::string_view annotation,
                      int definitionIndex) {
  std::uint32_t letters = 0;
  for (int i = 0; i < length_; ++i) letters |= blocks::letterBit(key[i]);
  keys_.insert(keys_.end(), key, key + length_);
  letters_.push_back(letters);
  texts_.append(text);
  texts_.push_back('\0');
  texts_.append(annotation);
  texts_.push_back('\0');
  textStart_.push_back(static_cast<std::uint32_t>(texts_.size()));
  textLength_.push_back(static_cast<std::uint16_t>(text.size()));
  definitionIndex_.push_back(definitionIndex);
}

std::size_t DecodedList::bytes() const {
  return sizeof(*this) + keys_.capacity() + texts_.capacity() +
         sizeof(std::uint32_t) * (letters_.capacity() + textStart_.capacity()) +
         sizeof(std::uint16_t) * textLength_.capacity() + sizeof(std::int32_t) * definitionIndex_.capacity();
}

void DecodedLists::setBudget(std::size_t bytes) {
  store().budget = bytes;
  shrinkTo(bytes);
}

std::size_t DecodedLists::budget() { return store().budget; }

std::shared_ptr<const DecodedList> DecodedLists::find(const DictionaryList::Dictionary& dictionary, int length) {
  Store& s = store();
  const DictionaryFingerprint fingerprint = dictionary.fingerprint();
  for (auto it = s.kept.begin(); it != s.kept.end(); ++it) {
    if (it->list->length() != length || it->fingerprint != fingerprint || it->path != dictionary.path()) continue;
    s.kept.splice(s.kept.begin(), s.kept, it);
    return s.kept.front().list;
  }
  return nullptr;
}

void DecodedLists::keep(const DictionaryList::Dictionary& dictionary, std::shared_ptr<const DecodedList> list) {
  Store& s = store();
  const std::size_t bytes = list->bytes();
  if (bytes > s.budget) return;
  // Two searches may have decoded the same list; the newer copy stays.
  for (auto it = s.kept.begin(); it != s.kept.end(); ++it) {
    if (it->list->length() == list->length() && it->fingerprint == dictionary.fingerprint() &&
        it->path == dictionary.path()) {
      s.bytes -= it->bytes;
      s.kept.erase(it);
      break;
    }
  }
  shrinkTo(s.budget - bytes);
  s.kept.push_front({dictionary.path(), dictionary.fingerprint(), std::move(list), bytes});
  s.bytes += bytes;
}

std::size_t DecodedLists::dropAll() {
  const std::size_t bytes = store().bytes;
  shrinkTo(0);
  return bytes;
}

std::size_t DecodedLists::bytesKept() { return store().bytes; }

}  // namespace kea
