#include "dictionary/MeaningIndex.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kea {

namespace {

class ByteReader {
 public:
  ByteReader(const unsigned char* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
  bool take(std::size_t count, const unsigned char*& at) {
    if (count > size_ - position_) return false;
    at = bytes_ + position_;
    position_ += count;
    return true;
  }
  template <typename T>
  bool number(T& value) {
    const unsigned char* p = nullptr;
    if (!take(sizeof(T), p)) return false;
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) v |= std::uint64_t{p[i]} << (8 * i);
    value = static_cast<T>(v);
    return true;
  }
  bool atEnd() const { return position_ == size_; }

 private:
  const unsigned char* bytes_;
  std::size_t size_;
  std::size_t position_ = 0;
};

template <typename T>
void put(std::string& out, T value) {
  for (std::size_t i = 0; i < sizeof(T); ++i) out += static_cast<char>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFF);
}

std::uint64_t hashOf(const void* data, std::size_t size) { return wideHash64(data, size, MeaningIndex::kHashSeed); }

class FileSource final : public MeaningIndex::Source {
 public:
  FileSource(platform::ReadOnlyFile file, std::uint64_t size) : file_(std::move(file)), size_(size) {}
  bool read(std::uint64_t offset, void* into, std::size_t count) const override {
    if (offset > size_ || count > size_ - offset) return false;
    return file_.readAt(kCompanionPayloadStart + offset, into, count) == count;
  }
  std::uint64_t size() const override { return size_; }

 private:
  platform::ReadOnlyFile file_;
  std::uint64_t size_;
};

class MemorySource final : public MeaningIndex::Source {
 public:
  explicit MemorySource(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}
  bool read(std::uint64_t offset, void* into, std::size_t count) const override {
    if (offset > bytes_.size() || count > bytes_.size() - offset) return false;
    if (count > 0) std::memcpy(into, bytes_.data() + offset, count);
    return true;
  }
  std::uint64_t size() const override { return bytes_.size(); }

 private:
  std::vector<unsigned char> bytes_;
};

constexpr std::size_t kMaxDirectory = 64u << 20;

}  // namespace

std::shared_ptr<const MeaningIndex> MeaningIndex::load(
    const std::string& path, const DictionaryFingerprint& fingerprint, int lengthSlots,
    const std::array<std::uint32_t, kkd::kMaxLengthSlots>& wordCount) {
  CompanionHandle handle = openCompanionFile(path, kMagic, kMaxPayload, fingerprint, FingerprintCheck::SizeHeaderAndSecond);
  if (handle.status != CompanionStatus::Loaded) return nullptr;
  return fromSource(std::make_unique<FileSource>(std::move(handle.file), handle.payloadSize), lengthSlots, wordCount);
}

std::shared_ptr<const MeaningIndex> MeaningIndex::fromPayload(
    std::vector<unsigned char> payload, int lengthSlots,
    const std::array<std::uint32_t, kkd::kMaxLengthSlots>& wordCount) {
  return fromSource(std::make_unique<MemorySource>(std::move(payload)), lengthSlots, wordCount);
}

std::shared_ptr<const MeaningIndex> MeaningIndex::fromSource(
    std::unique_ptr<Source> given, int lengthSlots, const std::array<std::uint32_t, kkd::kMaxLengthSlots>& wordCount) {
  if (!given || lengthSlots < 1 || lengthSlots > kkd::kMaxLengthSlots) return nullptr;
  auto index = std::shared_ptr<MeaningIndex>(new MeaningIndex());
  MeaningIndex& m = *index;
  m.source_ = std::move(given);
  const Source* source = m.source_.get();
  unsigned char sizeBytes[4];
  if (!source->read(0, sizeBytes, sizeof sizeBytes)) return nullptr;
  const std::uint32_t directorySize = static_cast<std::uint32_t>(sizeBytes[0]) | static_cast<std::uint32_t>(sizeBytes[1]) << 8 |
                                      static_cast<std::uint32_t>(sizeBytes[2]) << 16 |
                                      static_cast<std::uint32_t>(sizeBytes[3]) << 24;
  if (directorySize < 12 || directorySize > kMaxDirectory || directorySize > source->size()) return nullptr;
  std::vector<unsigned char> directory(directorySize);
  if (!source->read(0, directory.data(), directory.size())) return nullptr;
  std::uint64_t storedHash = 0;
  for (std::size_t i = 0; i < 8; ++i) storedHash |= std::uint64_t{directory[directorySize - 8 + i]} << (8 * i);
  if (hashOf(directory.data(), directorySize - 8) != storedHash) return nullptr;

  ByteReader in(directory.data(), directorySize - 8);
  std::uint32_t skip = 0;
  std::uint16_t slots = 0;
  if (!in.number(skip) || !in.number(slots) || slots != lengthSlots) return nullptr;
  m.lengthSlots_ = lengthSlots;
  for (std::size_t l = 0; l < slots; ++l) {
    if (!in.number(m.count_[l]) || m.count_[l] != wordCount[l]) return nullptr;
  }
  if (!in.number(m.documents_) || !in.number(m.terms_)) return nullptr;
  const auto readRange = [&](Range& range, bool wide) {
    std::uint32_t size32 = 0;
    bool ok = in.number(range.offset);
    if (wide) {
      ok = ok && in.number(range.size);
    } else {
      ok = ok && in.number(size32);
      range.size = size32;
    }
    if (!wide) ok = ok && in.number(range.hash);
    return ok && range.offset <= source->size() && range.size <= source->size() - range.offset;
  };
  for (std::size_t l = 0; l < slots; ++l) {
    if (!readRange(m.entryRanges_[l], false)) return nullptr;
  }
  Range terms;
  std::uint32_t chunks = 0;
  if (!readRange(terms, false) || !readRange(m.postings_, true) || !in.number(m.chunkSize_) || !in.number(chunks)) {
    return nullptr;
  }
  if (m.chunkSize_ == 0 || chunks != (m.postings_.size + m.chunkSize_ - 1) / m.chunkSize_) return nullptr;
  const unsigned char* hashes = nullptr;
  if (!in.take(std::size_t{chunks} * 8, hashes) || !in.atEnd()) return nullptr;
  m.chunkHashes_.resize(chunks);
  for (std::size_t k = 0; k < chunks; ++k) {
    std::uint64_t h = 0;
    for (std::size_t i = 0; i < 8; ++i) h |= std::uint64_t{hashes[8 * k + i]} << (8 * i);
    m.chunkHashes_[k] = h;
  }

  // The term table: offsets into the letters and into the postings.
  if (!m.readSection(terms, m.termTable_)) return nullptr;
  const std::size_t offsets = std::size_t{m.terms_} + 1;
  if (m.termTable_.size < 8 * offsets) return nullptr;
  const std::size_t letters = m.termTable_.size - 8 * offsets;
  const auto fits = [&](std::size_t first, std::uint64_t last) {
    if (m.termTable_.u32(first) != 0 || m.termTable_.u32(first + offsets - 1) != last) return false;
    for (std::size_t i = first; i + 1 < first + offsets; ++i) {
      if (m.termTable_.u32(i) > m.termTable_.u32(i + 1)) return false;
    }
    return true;
  };
  if (!fits(0, letters) || !fits(offsets, m.postings_.size)) return nullptr;
  m.termChars_ = reinterpret_cast<const char*>(m.termTable_.data.get()) + 8 * offsets;
  // Terms must be sorted for the search by halves.
  for (std::uint32_t t = 1; t < m.terms_; ++t) {
    if (!(m.termText(t - 1) < m.termText(t))) return nullptr;
  }
  return index;
}

bool MeaningIndex::readSection(const Range& range, Bytes& out) const {
  if (range.size > kMaxSection) return false;
  out.size = static_cast<std::size_t>(range.size);
  out.data.reset(new unsigned char[std::max<std::size_t>(out.size, 1)]);
  return source_->read(range.offset, out.data.get(), out.size) && hashOf(out.data.get(), out.size) == range.hash;
}

const MeaningIndex::EntrySection* MeaningIndex::entrySection(int length) const {
  if (length < 1 || length >= lengthSlots_) return nullptr;
  const auto l = static_cast<std::size_t>(length);
  std::call_once(entrySectionRead_[l], [&] {
    const Range& range = entryRanges_[l];
    auto section = std::make_unique<EntrySection>();
    section->entries = count_[l];
    Bytes& bytes = section->bytes;
    if (range.size == 0 || !readSection(range, bytes)) return;
    const std::size_t starts = section->entries + 1;
    if (bytes.size < 4 * starts || (bytes.size - 4 * starts) % 4 != 0) return;
    const std::size_t documents = (bytes.size - 4 * starts) / 4;
    if (bytes.u32(0) != 0 || bytes.u32(starts - 1) != documents) return;
    for (std::size_t i = 0; i + 1 < starts; ++i) {
      if (bytes.u32(i) > bytes.u32(i + 1)) return;
    }
    for (std::size_t r = 0; r < documents; ++r) {
      if (bytes.u32(starts + r) >= documents_) return;
    }
    entrySections_[l] = std::move(section);
  });
  return entrySections_[l].get();
}

bool MeaningIndex::readPostings(std::uint32_t t, std::vector<unsigned char>& out) const {
  out.clear();
  if (t >= terms_) return false;
  const std::uint64_t begin = postingStart(t), end = postingStart(t + 1);
  if (begin == end) return true;
  // The whole chunks that hold the term's postings, each checked.
  const std::uint64_t firstChunk = begin / chunkSize_, lastChunk = (end - 1) / chunkSize_;
  const std::uint64_t from = firstChunk * chunkSize_;
  const std::uint64_t to = std::min(postings_.size, (lastChunk + 1) * chunkSize_);
  if (to - from > kMaxSection) return false;
  std::vector<unsigned char> bytes(static_cast<std::size_t>(to - from));
  if (!source_->read(postings_.offset + from, bytes.data(), bytes.size())) return false;
  for (std::uint64_t k = firstChunk; k <= lastChunk; ++k) {
    const std::size_t at = static_cast<std::size_t>((k - firstChunk) * chunkSize_);
    const std::size_t size = std::min<std::size_t>(chunkSize_, bytes.size() - at);
    if (hashOf(bytes.data() + at, size) != chunkHashes_[k]) return false;
  }
  out.assign(bytes.begin() + static_cast<std::ptrdiff_t>(begin - from), bytes.begin() + static_cast<std::ptrdiff_t>(end - from));
  return true;
}

std::string MeaningIndex::payload(const Content& content) {
  // Each term's postings in document order, then the terms sorted.
  std::vector<std::vector<std::pair<std::uint32_t, std::uint8_t>>> postings(content.terms.size());
  for (std::size_t d = 0; d < content.documents.size(); ++d) {
    for (const auto& [term, weight] : content.documents[d]) {
      const long tenths = std::lround(weight / kWeightStep);
      if (tenths <= 0 || term >= content.terms.size() || content.terms[term].empty()) continue;
      postings[term].emplace_back(static_cast<std::uint32_t>(d), static_cast<std::uint8_t>(std::min(tenths, 255L)));
    }
  }
  std::vector<std::uint32_t> order;
  for (std::uint32_t t = 0; t < content.terms.size(); ++t) {
    if (!postings[t].empty()) order.push_back(t);
  }
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return content.terms[a] < content.terms[b]; });
  // A term given twice keeps the postings of its first appearance.
  order.erase(std::unique(order.begin(), order.end(),
                          [&](std::uint32_t a, std::uint32_t b) { return content.terms[a] == content.terms[b]; }),
              order.end());

  // The sections.
  const std::size_t slots = content.entries.size();
  std::vector<std::string> entrySections(slots);
  for (std::size_t l = 1; l < slots; ++l) {
    std::string& section = entrySections[l];
    std::uint32_t start = 0;
    put<std::uint32_t>(section, 0);
    for (const auto& documents : content.entries[l]) put<std::uint32_t>(section, start += static_cast<std::uint32_t>(documents.size()));
    for (const auto& documents : content.entries[l]) {
      for (const std::uint32_t d : documents) put<std::uint32_t>(section, d);
    }
  }
  std::string text, bytes, table;
  std::vector<std::uint32_t> termStarts{0}, postingStarts{0};
  for (const std::uint32_t term : order) {
    const auto& list = postings[term];
    std::uint32_t previous = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (i > 0 && list[i].first == previous) continue;
      std::uint32_t gap = list[i].first - (i == 0 ? 0 : previous);
      previous = list[i].first;
      do {
        const unsigned char low = gap & 0x7F;
        gap >>= 7;
        bytes += static_cast<char>(gap != 0 ? (low | 0x80) : low);
      } while (gap != 0);
      bytes += static_cast<char>(list[i].second);
    }
    text += content.terms[term];
    termStarts.push_back(static_cast<std::uint32_t>(text.size()));
    postingStarts.push_back(static_cast<std::uint32_t>(bytes.size()));
  }
  for (const std::uint32_t s : termStarts) put(table, s);
  for (const std::uint32_t s : postingStarts) put(table, s);
  table += text;

  // The directory, then the sections in its order.
  const std::uint32_t chunks = static_cast<std::uint32_t>((bytes.size() + kChunkSize - 1) / kChunkSize);
  const std::size_t directorySize = 4 + 2 + 4 * slots + 8 + slots * 20 + 20 + 24 + 8 * std::size_t{chunks} + 8;
  std::string out;
  put<std::uint32_t>(out, static_cast<std::uint32_t>(directorySize));
  put<std::uint16_t>(out, static_cast<std::uint16_t>(slots));
  for (const auto& list : content.entries) put<std::uint32_t>(out, static_cast<std::uint32_t>(list.size()));
  put<std::uint32_t>(out, static_cast<std::uint32_t>(content.documents.size()));
  put<std::uint32_t>(out, static_cast<std::uint32_t>(order.size()));
  std::uint64_t offset = directorySize;
  for (std::size_t l = 0; l < slots; ++l) {
    const std::string& section = entrySections[l];
    put<std::uint64_t>(out, section.empty() ? 0 : offset);
    put<std::uint32_t>(out, static_cast<std::uint32_t>(section.size()));
    put<std::uint64_t>(out, hashOf(section.data(), section.size()));
    offset += section.size();
  }
  put<std::uint64_t>(out, offset);
  put<std::uint32_t>(out, static_cast<std::uint32_t>(table.size()));
  put<std::uint64_t>(out, hashOf(table.data(), table.size()));
  offset += table.size();
  put<std::uint64_t>(out, offset);
  put<std::uint64_t>(out, bytes.size());
  put<std::uint32_t>(out, kChunkSize);
  put<std::uint32_t>(out, chunks);
  for (std::size_t at = 0; at < bytes.size(); at += kChunkSize) {
    put<std::uint64_t>(out, hashOf(bytes.data() + at, std::min<std::size_t>(kChunkSize, bytes.size() - at)));
  }
  put<std::uint64_t>(out, hashOf(out.data(), out.size()));
  for (const std::string& section : entrySections) out += section;
  out += table;
  out += bytes;
  return out;
}

std::string_view MeaningIndex::termText(std::uint32_t t) const {
  return {termChars_ + termStart(t), termStart(t + 1) - termStart(t)};
}

std::int64_t MeaningIndex::findTerm(std::string_view stem) const {
  std::uint32_t low = 0, high = terms_;
  while (low < high) {
    const std::uint32_t middle = low + (high - low) / 2;
    const std::string_view text = termText(middle);
    if (text == stem) return middle;
    if (text < stem) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return -1;
}

}  // namespace kea
