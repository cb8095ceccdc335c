// Commonness scores: how likely each entry of a dictionary is to be the
// word a solver wants, from 0 (obscure) to 100 (the commonest words), kept
// in a companion file beside the dictionary ("English.scores", see
// CompanionFile.h) so that the dictionary file itself never changes.
//
// A score belongs to an entry by place: the entry's length and its ordinal
// in section 1 of that length's word list, which is the order a word search
// reads the entries in. The payload of the companion file, little-endian:
//
//   u16 N                the dictionary's length slots
//   u32 count[N]         entries of each length (the header's wordCount)
//   then for each length L = 1 ... N-1, count[L] bytes: the score of each
//   entry in list order, 0 ... 100, or 255 for an entry without one.
//
// A companion whose counts differ from the dictionary's, or that belongs to
// another file, is ignored: the dictionary then has no scores, and every
// order and filter works as it does without them.
//
// The scale is logarithmic: one point is a factor of about 1.4 in how often
// a word is used (15 decimal orders of magnitude over the 99 steps from 1 to
// 100); the builder's scored word lists ("word;50") use the same numbers.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/CompanionFile.h"
#include "dictionary/KkdFormat.h"

namespace kea {

inline constexpr int kNoScore = -1;
inline constexpr int kMaxScore = 100;

// The scale: a score as the decimal logarithm of a word's frequency of use,
// and back (rounded, and clamped to 0 ... 100).
double scoreToLogFrequency(int score);
int logFrequencyToScore(double logFrequency);

class EntryScores {
 public:
  static constexpr std::string_view kMagic = "KKSCORE1";
  static constexpr std::string_view kExtension = ".scores";
  static constexpr std::uint8_t kUnscored = 255;

  // The scores of a dictionary of `lengthSlots` slots with `wordCount`
  // entries per length, read from `path` and checked against `fingerprint`;
  // null when there are none that fit.
  static std::shared_ptr<const EntryScores> load(const std::string& path, const DictionaryFingerprint& fingerprint,
                                                 int lengthSlots,
                                                 const std::array<std::uint32_t, kkd::kMaxLengthSlots>& wordCount);
  // The scores of a companion's payload, checked against the dictionary's
  // counts; null when they do not fit.
  static std::shared_ptr<const EntryScores> fromPayload(const std::vector<unsigned char>& payload, int lengthSlots,
                                                        const std::array<std::uint32_t, kkd::kMaxLengthSlots>& wordCount);

  // The score of an entry, or kNoScore.
  int score(int length, std::uint32_t ordinal) const {
    if (length < 1 || length >= lengthSlots_) return kNoScore;
    const std::size_t l = static_cast<std::size_t>(length);
    if (ordinal >= count_[l]) return kNoScore;
    const std::uint8_t value = bytes_[start_[l] + ordinal];
    return value == kUnscored ? kNoScore : value;
  }
  // Entries that have a score.
  std::size_t scoredCount() const { return scored_; }

  // The companion's payload for per-length score lists (index 0 unused; a
  // list's size is that length's count).
  static std::string payload(const std::vector<std::vector<std::uint8_t>>& byLength);

 private:
  int lengthSlots_ = 0;
  std::array<std::uint32_t, kkd::kMaxLengthSlots> count_{};
  std::array<std::size_t, kkd::kMaxLengthSlots> start_{};
  std::vector<std::uint8_t> bytes_;
  std::size_t scored_ = 0;
};

// How strongly word pairs go together in the language, for ranking phrase
// anagrams: "tail end" is a phrase, "dale nit" is not. Kept beside a
// dictionary as "NAME.pairs". A pair is known by a 32-bit hash of its two
// words (pairKey): among a couple of million pairs, about one unknown pair
// in two thousand shares a known pair's key and takes its bonus. Payload,
// little-endian:
//
//   u32 P                 the number of pairs
//   u32 start[65537]      per value of a key's upper 16 bits, the first pair
//                         with it (start[65536] = P), so never decreasing
//   u16 low[P]            each pair's lower 16 key bits, increasing within
//                         its group
//   i8  bonus[P]          each pair's bonus, in tenths of a decimal
//                         logarithm: how much likelier the second word is
//                         after the first than alone
//
// The pairs name words, not entries, so they do not depend on the
// dictionary's order; they are still tied to the file, like every companion.
class PairScores {
 public:
  static constexpr std::string_view kMagic = "KKPAIRS1";
  static constexpr std::string_view kExtension = ".pairs";
  // The most pairs a file may hold.
  static constexpr std::uint32_t kMaxPairs = 16u << 20;

  static std::shared_ptr<const PairScores> load(const std::string& path, const DictionaryFingerprint& fingerprint);
  // The pairs of a companion's payload; null when its groups do not fit.
  static std::shared_ptr<const PairScores> fromPayload(std::vector<unsigned char> payload);

  // The key of a pair of words: a hash of their letters, case and accents
  // folded, and apostrophes; everything else in them is ignored.
  static std::uint32_t pairKey(std::string_view first, std::string_view second);

  // The bonus of a pair in tenths of a decimal logarithm, or false for a
  // pair the file does not hold.
  bool bonus(std::uint32_t key, int& tenths) const;
  std::size_t size() const { return count_; }
  // The payload as stored, for handing the pairs on to a dictionary made
  // from this one.
  std::string_view payloadBytes() const {
    return {reinterpret_cast<const char*>(payload_.data()), payload_.size()};
  }

  // The payload for pairs of (key, bonus), in any order; a key given twice
  // keeps its first bonus.
  static std::string payload(std::vector<std::pair<std::uint32_t, std::int8_t>> pairs);

 private:
  static constexpr std::size_t kGroups = 65536;
  // The payload as read: everything is decoded where it lies.
  std::vector<unsigned char> payload_;
  std::size_t count_ = 0;
};

}  // namespace kea
