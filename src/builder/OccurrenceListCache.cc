#include "builder/OccurrenceListCache.h"

#include <algorithm>

namespace kea {

std::uint64_t OccurrenceListCache::hash(std::string_view key) {
  std::uint64_t h = 0xcbf29ce484222325ull;  // FNV-1a
  for (const char c : key) {
    h ^= static_cast<std::uint8_t>(c);
    h *= 0x100000001b3ull;
  }
  return h ^ (h >> 29);
}

std::size_t OccurrenceListCache::slotOf(std::string_view key) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = static_cast<std::size_t>(hash(key)) & mask;
  while (slots_[slot] != kNone && this->key(slots_[slot]) != key) slot = (slot + 1) & mask;
  return slot;
}

void OccurrenceListCache::grow() {
  std::vector<WordId> old = std::move(slots_);
  slots_.assign(old.empty() ? 1024 : old.size() * 2, kNone);
  for (const WordId word : old) {
    if (word != kNone) slots_[slotOf(key(word))] = word;
  }
}

void OccurrenceListCache::add(std::string_view key, std::uint32_t definition) {
  if ((keyStart_.size() + 1) * 2 > slots_.size()) grow();
  const std::size_t slot = slotOf(key);
  WordId word = slots_[slot];
  if (word == kNone) {
    word = static_cast<WordId>(keyStart_.size());
    keyStart_.push_back(static_cast<std::uint32_t>(keys_.size()));
    keySize_.push_back(static_cast<std::uint32_t>(key.size()));
    keys_.append(key);
    lastDefinition_.push_back(definition);
    slots_[slot] = word;
  } else if (lastDefinition_[word] == definition) {
    return;
  } else {
    lastDefinition_[word] = definition;
  }
  postingWord_.push_back(word);
  postingDefinition_.push_back(definition);
}

void OccurrenceListCache::finish() {
  // A counting sort by word keeps each word's definitions in the order they
  // were added, which is increasing.
  listStart_.assign(keyStart_.size() + 1, 0);
  for (const WordId word : postingWord_) ++listStart_[word + 1];
  for (std::size_t w = 0; w < keyStart_.size(); ++w) listStart_[w + 1] += listStart_[w];
  definitions_.resize(postingWord_.size());
  std::vector<std::uint32_t> fill(listStart_.begin(), listStart_.end() - 1);
  for (std::size_t i = 0; i < postingWord_.size(); ++i) {
    definitions_[fill[postingWord_[i]]++] = postingDefinition_[i];
  }
  std::vector<WordId>().swap(postingWord_);
  std::vector<std::uint32_t>().swap(postingDefinition_);
  std::vector<std::uint32_t>().swap(lastDefinition_);
}

OccurrenceListCache::WordId OccurrenceListCache::find(std::string_view key) const {
  if (slots_.empty()) return kNone;
  return slots_[slotOf(key)];
}

std::vector<OccurrenceListCache::WordId> OccurrenceListCache::wordsOfLength(std::size_t length) const {
  std::vector<WordId> words;
  for (WordId w = 0; w < keyStart_.size(); ++w) {
    if (keySize_[w] == length) words.push_back(w);
  }
  std::sort(words.begin(), words.end(), [this](WordId a, WordId b) { return key(a) < key(b); });
  return words;
}

}  // namespace kea
