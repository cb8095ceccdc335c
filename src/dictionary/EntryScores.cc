#include "dictionary/EntryScores.h"

#include <algorithm>
#include <cmath>

#include "dictionary/Coding.h"
#include "dictionary/LetterFold.h"

namespace kea {
namespace {

constexpr double kFloor = -16.0;     // the decimal logarithm at score 1
constexpr double kPerPoint = 15.0 / 99.0;
// The largest payload read: one byte for each of 64 million entries.
constexpr std::size_t kMaxScoresPayload = 2 + 4 * kkd::kMaxLengthSlots + (std::size_t{1} << 26);

// Adds one word's letters (folded) and apostrophes to an FNV-1a hash.
std::uint64_t hashWord(std::string_view word, std::uint64_t hash) {
  for (const char ch : word) {
    auto byte = static_cast<std::uint8_t>(ch);
    if (isLetter(byte)) {
      byte = foldLetter(byte);
    } else if (byte == '\'' || byte == 0x92) {
      byte = '\'';
    } else {
      continue;
    }
    hash ^= byte;
    hash *= 0x100000001b3ull;
  }
  return hash;
}

}  // namespace

double scoreToLogFrequency(int score) { return kFloor + (std::clamp(score, 1, kMaxScore) - 1) * kPerPoint; }

int logFrequencyToScore(double logFrequency) {
  const double points = std::round((logFrequency - kFloor) / kPerPoint) + 1;
  return static_cast<int>(std::clamp(points, 0.0, static_cast<double>(kMaxScore)));
}

std::shared_ptr<const EntryScores> EntryScores::load(const std::string& path, const DictionaryFingerprint& fingerprint,
                                                     int lengthSlots,
                                                     const std::array<std::uint32_t, kkd::kMaxLengthSlots>& wordCount) {
  if (lengthSlots < 1 || lengthSlots > kkd::kMaxLengthSlots) return nullptr;
  const CompanionFile file =
      readCompanionFile(path, kMagic, kMaxScoresPayload, fingerprint, FingerprintCheck::SizeAndHeader);
  if (file.status != CompanionStatus::Loaded) return nullptr;
  return fromPayload(file.payload, lengthSlots, wordCount);
}

std::shared_ptr<const EntryScores> EntryScores::fromPayload(
    const std::vector<unsigned char>& p, int lengthSlots, const std::array<std::uint32_t, kkd::kMaxLengthSlots>& wordCount) {
  if (lengthSlots < 1 || lengthSlots > kkd::kMaxLengthSlots) return nullptr;
  const std::size_t n = static_cast<std::size_t>(lengthSlots);
  if (p.size() < 2 + 4 * n || coding::decodeFixed16(p.data()) != lengthSlots) return nullptr;
  auto scores = std::shared_ptr<EntryScores>(new EntryScores());
  scores->lengthSlots_ = lengthSlots;
  std::size_t total = 0;
  for (std::size_t l = 0; l < n; ++l) {
    const std::uint32_t count = coding::decodeFixed32(p.data() + 2 + 4 * l);
    // Scores for other entries than the dictionary's would sit on the
    // wrong words.
    if (count != wordCount[l] || (l == 0 && count != 0)) return nullptr;
    scores->count_[l] = count;
    scores->start_[l] = total;
    total += count;
  }
  if (p.size() - (2 + 4 * n) != total) return nullptr;
  scores->bytes_.assign(p.begin() + static_cast<std::ptrdiff_t>(2 + 4 * n), p.end());
  for (const std::uint8_t value : scores->bytes_) {
    if (value != kUnscored && value > kMaxScore) return nullptr;
    if (value != kUnscored) ++scores->scored_;
  }
  return scores;
}

std::string EntryScores::payload(const std::vector<std::vector<std::uint8_t>>& byLength) {
  std::string out;
  const std::size_t n = std::max<std::size_t>(byLength.size(), 1);
  coding::putFixed16(out, static_cast<std::uint16_t>(n));
  for (std::size_t l = 0; l < n; ++l) {
    coding::putFixed32(out, l < byLength.size() ? static_cast<std::uint32_t>(byLength[l].size()) : 0);
  }
  for (std::size_t l = 1; l < byLength.size(); ++l) {
    out.append(reinterpret_cast<const char*>(byLength[l].data()), byLength[l].size());
  }
  return out;
}

std::shared_ptr<const PairScores> PairScores::load(const std::string& path, const DictionaryFingerprint& fingerprint) {
  constexpr std::size_t kHead = 4 + 4 * (kGroups + 1);
  CompanionFile file =
      readCompanionFile(path, kMagic, kHead + std::size_t{kMaxPairs} * 3, fingerprint, FingerprintCheck::SizeAndHeader);
  if (file.status != CompanionStatus::Loaded) return nullptr;
  return fromPayload(std::move(file.payload));
}

std::shared_ptr<const PairScores> PairScores::fromPayload(std::vector<unsigned char> payload) {
  constexpr std::size_t kHead = 4 + 4 * (kGroups + 1);
  if (payload.size() < kHead) return nullptr;
  const unsigned char* p = payload.data();
  const std::uint32_t count = coding::decodeFixed32(p);
  if (count > kMaxPairs || payload.size() != kHead + std::size_t{count} * 3) return nullptr;
  // Every group must lie inside the pairs, or a search could leave them.
  std::uint32_t previous = 0;
  for (std::size_t g = 0; g <= kGroups; ++g) {
    const std::uint32_t start = coding::decodeFixed32(p + 4 + 4 * g);
    if (start < previous || start > count || (g == 0 && start != 0) || (g == kGroups && start != count)) return nullptr;
    previous = start;
  }
  auto pairs = std::shared_ptr<PairScores>(new PairScores());
  pairs->payload_ = std::move(payload);
  pairs->count_ = count;
  return pairs;
}

std::uint32_t PairScores::pairKey(std::string_view first, std::string_view second) {
  std::uint64_t hash = hashWord(first, 0xcbf29ce484222325ull);
  hash ^= ' ';
  hash *= 0x100000001b3ull;
  hash = hashWord(second, hash);
  return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

bool PairScores::bonus(std::uint32_t key, int& tenths) const {
  constexpr std::size_t kLows = 4 + 4 * (kGroups + 1);
  const unsigned char* p = payload_.data();
  const std::size_t group = key >> 16;
  std::size_t low = coding::decodeFixed32(p + 4 + 4 * group);
  std::size_t high = coding::decodeFixed32(p + 4 + 4 * (group + 1));
  const std::uint16_t wanted = static_cast<std::uint16_t>(key);
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    const std::uint16_t at = coding::decodeFixed16(p + kLows + 2 * middle);
    if (at == wanted) {
      tenths = static_cast<std::int8_t>(p[kLows + 2 * count_ + middle]);
      return true;
    }
    if (at < wanted) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return false;
}

std::string PairScores::payload(std::vector<std::pair<std::uint32_t, std::int8_t>> pairs) {
  std::stable_sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  pairs.erase(std::unique(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return a.first == b.first; }),
              pairs.end());
  std::string out;
  coding::putFixed32(out, static_cast<std::uint32_t>(pairs.size()));
  std::size_t at = 0;
  for (std::size_t g = 0; g <= kGroups; ++g) {
    while (at < pairs.size() && (pairs[at].first >> 16) < g) ++at;
    coding::putFixed32(out, static_cast<std::uint32_t>(at));
  }
  for (const auto& pair : pairs) coding::putFixed16(out, static_cast<std::uint16_t>(pair.first));
  for (const auto& pair : pairs) out.push_back(static_cast<char>(pair.second));
  return out;
}

}  // namespace kea
