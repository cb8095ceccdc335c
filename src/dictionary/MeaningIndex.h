// The meaning index of a dictionary: for its entries, the words that
// describe them (their senses' definitions, synonyms and related words),
// so that a search can rank the entries that fit a pattern by how well they
// fit a meaning ("negatively charged particle" puts "electron" first). Kept
// beside the dictionary as "NAME.meaning", a companion file (see
// CompanionFile.h) tied to the dictionary it was built for; a dictionary
// without one is searched as before.
//
// The index holds documents (a lemma and its senses, shared by the entries
// that are its forms: "strew", "strews", "strewing") and, for each stemmed
// word, the documents it describes with a weight: the word's BM25 weight in
// the document, idf and length normalisation included, so that a query only
// adds weights up.
//
// A search needs a little of the index: the words of its meaning and the
// entries of the lengths it reads. So the payload is read in sections, each
// with its own checksum, found through a directory at its start (offsets
// from the payload's start, little-endian):
//
//   u32 directory size, the directory's own bytes included
//   u16 N                   the dictionary's length slots
//   u32 count[N]            entries of each length (the header's wordCount)
//   u32 D, T                documents, terms
//   N × (u64 offset, u32 size, u64 hash)   each length's entry section
//                                          (size 0: none; slot 0 unused)
//   u64 offset, u32 size, u64 hash         the term table
//   u64 offset, u64 size, u32 chunk size C, u32 chunks K, u64 hash[K]
//                                          the postings, checked C bytes
//                                          at a time
//   u64 hash                the directory's checksum
//
// An entry section of length L: u32 start[count[L] + 1] (from 0), then u32
// document[start[count[L]]]: entry i has documents start[i] ... start[i+1].
// The term table: u32 termStart[T + 1], u32 postingStart[T + 1], then the
// terms' letters (sorted, a-z). The postings: per term, for each of its
// documents in increasing order, the gap from the previous one (the first:
// its number) as a LEB128 number, then its weight in tenths (u8). Every
// hash is wideHash64 of the part seeded with kHashSeed. A damaged section
// costs only what it holds: its entries or terms rank as undescribed.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dictionary/CompanionFile.h"
#include "dictionary/KkdFormat.h"

namespace kea {

class MeaningIndex {
 public:
  static constexpr std::string_view kMagic = "KKMEANS1";
  static constexpr std::string_view kExtension = ".meaning";
  // A posting's weight is stored in steps of this.
  static constexpr double kWeightStep = 0.1;
  static constexpr std::uint64_t kHashSeed = 0x6b65612d6d65616eull;
  // The largest index a reader takes, and the largest section it reads.
  static constexpr std::size_t kMaxPayload = std::size_t{1} << 30;
  static constexpr std::uint32_t kMaxSection = 256u << 20;

  // Where the payload's bytes come from: the open file, or memory.
  class Source {
   public:
    virtual ~Source() = default;
    // Reads `count` bytes at payload offset `offset`; false when they are
    // not all there.
    virtual bool read(std::uint64_t offset, void* into, std::size_t count) const = 0;
    virtual std::uint64_t size() const = 0;
  };

  // The index beside a dictionary of `lengthSlots` slots with `wordCount`
  // entries per length, checked against `fingerprint`; null when there is
  // none that fits. The file stays open while the index lives.
  static std::shared_ptr<const MeaningIndex> load(const std::string& path, const DictionaryFingerprint& fingerprint,
                                                  int lengthSlots,
                                                  const std::array<std::uint32_t, kkd::kMaxLengthSlots>& wordCount);
  // The index of a payload in memory (tests, fuzzing).
  static std::shared_ptr<const MeaningIndex> fromPayload(std::vector<unsigned char> payload, int lengthSlots,
                                                         const std::array<std::uint32_t, kkd::kMaxLengthSlots>& wordCount);
  static std::shared_ptr<const MeaningIndex> fromSource(std::unique_ptr<Source> source, int lengthSlots,
                                                        const std::array<std::uint32_t, kkd::kMaxLengthSlots>& wordCount);

  std::uint32_t documentCount() const { return documents_; }
  std::uint32_t termCount() const { return terms_; }

  // The documents of an entry, without allocating: calls visit(document);
  // none when its length's section is damaged.
  template <typename Visit>
  void forEachDocument(int length, std::uint32_t ordinal, Visit&& visit) const {
    const EntrySection* section = entrySection(length);
    if (section == nullptr || ordinal >= section->entries) return;
    const std::uint32_t last = section->bytes.u32(ordinal + std::size_t{1});
    for (std::uint32_t r = section->bytes.u32(ordinal); r < last; ++r) {
      visit(section->bytes.u32(section->entries + std::size_t{1} + r));
    }
  }

  // A term's number, or -1 for a term the index lacks.
  std::int64_t findTerm(std::string_view stem) const;
  // Calls visit(document, weight) for each posting of term t, in document
  // order; nothing when its postings are damaged.
  template <typename Visit>
  void forEachPosting(std::uint32_t t, Visit&& visit) const {
    std::vector<unsigned char> bytes;
    if (!readPostings(t, bytes)) return;
    std::size_t at = 0;
    std::uint64_t document = 0;
    bool first = true;
    while (at < bytes.size()) {
      std::uint64_t gap = 0;
      int shift = 0;
      unsigned char byte = 0;
      do {
        if (at >= bytes.size() || shift > 28) return;
        byte = bytes[at++];
        gap |= std::uint64_t{byte & 0x7Fu} << shift;
        shift += 7;
      } while (byte & 0x80u);
      if (at >= bytes.size() || (!first && gap == 0)) return;
      document += gap;
      first = false;
      if (document >= documents_) return;
      visit(static_cast<std::uint32_t>(document), bytes[at++] * kWeightStep);
    }
  }

  // What the builder hands over: the terms (any order), documents as
  // (term number, weight) lists with weights already BM25 weights, and
  // each entry's documents per length.
  struct Content {
    std::vector<std::string> terms;
    std::vector<std::vector<std::pair<std::uint32_t, double>>> documents;
    // entries[length][ordinal]: that entry's document numbers.
    std::vector<std::vector<std::vector<std::uint32_t>>> entries;
  };
  static std::string payload(const Content& content);
  // The bytes of postings checked by one hash.
  static constexpr std::uint32_t kChunkSize = 16384;

 private:
  struct Range {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
  };
  // Bytes read from the file, left as they lie (little-endian), in memory
  // that is not cleared first: an index section can be megabytes, and a
  // query wants to be done in milliseconds.
  struct Bytes {
    std::unique_ptr<unsigned char[]> data;
    std::size_t size = 0;
    std::uint32_t u32(std::size_t index) const {
      const unsigned char* p = data.get() + 4 * index;
      return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
             static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    }
  };
  // An entry section: u32 start[entries + 1], then the documents.
  struct EntrySection {
    Bytes bytes;
    std::size_t entries = 0;
  };
  // A section's bytes, read and checked; false when it is damaged.
  bool readSection(const Range& range, Bytes& out) const;
  std::uint32_t termStart(std::uint32_t t) const { return termTable_.u32(t); }
  std::uint32_t postingStart(std::uint32_t t) const { return termTable_.u32(std::size_t{terms_} + 1 + t); }
  const EntrySection* entrySection(int length) const;
  bool readPostings(std::uint32_t t, std::vector<unsigned char>& out) const;
  std::string_view termText(std::uint32_t t) const;

  std::unique_ptr<Source> source_;
  int lengthSlots_ = 0;
  std::array<std::uint32_t, kkd::kMaxLengthSlots> count_{};
  std::uint32_t documents_ = 0, terms_ = 0;
  std::array<Range, kkd::kMaxLengthSlots> entryRanges_{};
  Range postings_;
  std::uint32_t chunkSize_ = 0;
  std::vector<std::uint64_t> chunkHashes_;
  // The term table, read at load: the two offset tables, then the letters.
  Bytes termTable_;
  const char* termChars_ = nullptr;
  // Entry sections as the searches ask for them, each read once (a damaged
  // one is kept as missing).
  mutable std::array<std::once_flag, kkd::kMaxLengthSlots> entrySectionRead_;
  mutable std::array<std::unique_ptr<EntrySection>, kkd::kMaxLengthSlots> entrySections_;
};

}  // namespace kea
