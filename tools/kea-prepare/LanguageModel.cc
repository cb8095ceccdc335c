#include "LanguageModel.h"

#include <cmath>
#include <cstring>

#include "platform/File.h"

namespace kea::prepare {
namespace {

constexpr std::string_view kMagic = "Trie Language Model";
constexpr std::size_t kQuantTable = 65536;
// The model's numbers are logarithms to the base 1.0001; this turns them
// into decimal ones.
const double kToDecimal = std::log(1.0001) / std::log(10.0);

int requiredBits(std::uint64_t maximum) {
  int bits = 0;
  for (; maximum != 0; maximum >>= 1) ++bits;
  return bits;
}

std::uint32_t le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

float leFloat(const unsigned char* p) {
  const std::uint32_t bits = le32(p);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// The bytes of the bit-packed records of one order: one more record than
// the order has (its end marker), rounded up, and 8 bytes of slack.
std::uint64_t packedSize(std::uint64_t records, int recordBits) {
  return ((records + 1) * static_cast<std::uint64_t>(recordBits) + 7) / 8 + 8;
}

}  // namespace

bool LanguageModel::load(const std::string& path, std::string& error) {
  std::string bytes;
  // Models of this form are some tens of megabytes; a gigabyte is no model.
  if (!platform::readWholeFile(path, std::uint64_t{1} << 30, bytes, &error, "a language model")) return false;
  const std::vector<unsigned char> file(bytes.begin(), bytes.end());
  std::string().swap(bytes);
  const auto bad = [&](const std::string& what) {
    error = path + " is not a language model of the expected form: " + what;
    return false;
  };
  const std::size_t size = file.size();
  std::size_t at = 0;
  const auto have = [&](std::uint64_t bytes) { return at <= size && bytes <= size - at; };
  if (!have(kMagic.size() + 1) || std::memcmp(file.data(), kMagic.data(), kMagic.size()) != 0) {
    return bad("no header");
  }
  at = kMagic.size();
  const int order = file[at++];
  if (order < 2 || order > 9 || !have(4u * static_cast<unsigned>(order) + 4)) return bad("order " + std::to_string(order));
  std::vector<std::uint64_t> counts(static_cast<std::size_t>(order));
  for (int i = 0; i < order; ++i, at += 4) counts[static_cast<std::size_t>(i)] = le32(&file[at]);
  at += 4;  // the quantiser's kind
  const std::uint64_t words = counts[0];
  if (words == 0 || words >= (1u << 25)) return bad("word count");

  // The quantiser: bigram probabilities are its first table in every order.
  const std::uint64_t tables = static_cast<std::uint64_t>(order - 2) * 2 + 1;
  if (!have(tables * kQuantTable * 4)) return bad("truncated tables");
  bigramProbabilities_.resize(kQuantTable);
  for (std::size_t i = 0; i < kQuantTable; ++i) {
    bigramProbabilities_[i] = static_cast<float>(leFloat(&file[at + 4 * i]) * kToDecimal);
  }
  at += static_cast<std::size_t>(tables * kQuantTable * 4);

  if (!have((words + 1) * 12)) return bad("truncated word records");
  unigrams_.resize(static_cast<std::size_t>(words + 1));
  for (std::size_t i = 0; i <= words; ++i, at += 12) {
    unigrams_[i] = {leFloat(&file[at]) * kToDecimal, leFloat(&file[at + 4]) * kToDecimal, le32(&file[at + 8])};
  }
  bigrams_ = static_cast<std::size_t>(counts[1]);
  for (std::size_t i = 0; i < words; ++i) {
    if (unigrams_[i].firstBigram > unigrams_[i + 1].firstBigram || unigrams_[i + 1].firstBigram > bigrams_) {
      return bad("bigram ranges out of order");
    }
  }

  // Bigrams are the middle order in a model of three or more, the last in
  // one of two; the orders above them are skipped.
  wordBits_ = requiredBits(words);
  recordBits_ = order == 2 ? wordBits_ + 16 : wordBits_ + 32 + requiredBits(counts[2]);
  std::uint64_t rest = packedSize(counts[1], recordBits_);
  if (!have(rest)) return bad("truncated bigrams");
  bigramBits_.assign(file.begin() + static_cast<std::ptrdiff_t>(at),
                     file.begin() + static_cast<std::ptrdiff_t>(at + rest));
  at += static_cast<std::size_t>(rest);
  for (int i = 2; i < order; ++i) {
    const int bits = i + 1 == order ? wordBits_ + 16 : wordBits_ + 32 + requiredBits(counts[static_cast<std::size_t>(i) + 1]);
    rest = packedSize(counts[static_cast<std::size_t>(i)], bits);
    if (!have(rest)) return bad("truncated n-grams");
    at += static_cast<std::size_t>(rest);
  }

  if (!have(4)) return bad("no word strings");
  const std::uint32_t stringBytes = le32(&file[at]);
  at += 4;
  if (!have(stringBytes)) return bad("truncated word strings");
  const char* text = reinterpret_cast<const char*>(&file[at]);
  words_.clear();
  index_.clear();
  std::size_t start = 0;
  for (std::size_t i = 0; i < stringBytes && words_.size() < words; ++i) {
    if (text[i] != '\0') continue;
    words_.emplace_back(text + start, i - start);
    index_.emplace(words_.back(), static_cast<int>(words_.size() - 1));
    start = i + 1;
  }
  if (words_.size() != words) return bad("word strings do not match the count");
  return true;
}

int LanguageModel::find(std::string_view word) const {
  const auto it = index_.find(std::string(word));
  return it == index_.end() ? -1 : it->second;
}

std::uint32_t LanguageModel::readBits(std::uint64_t bitOffset, int bits) const {
  const std::size_t byte = static_cast<std::size_t>(bitOffset >> 3);
  std::uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | bigramBits_[byte + static_cast<std::size_t>(i)];
  return static_cast<std::uint32_t>((value >> (bitOffset & 7)) & ((std::uint64_t{1} << bits) - 1));
}

double LanguageModel::bigramProbability(std::uint32_t record) const {
  const std::uint64_t at = static_cast<std::uint64_t>(record) * static_cast<std::uint64_t>(recordBits_);
  // A middle record holds its backoff in the 16 bits before its probability.
  const int skip = recordBits_ == wordBits_ + 16 ? 0 : 16;
  return bigramProbabilities_[readBits(at + static_cast<std::uint64_t>(wordBits_ + skip), 16)];
}

void LanguageModel::forEachBigram(const std::function<void(int, int, double)>& visit) const {
  for (std::size_t second = 0; second + 1 < unigrams_.size(); ++second) {
    for (std::uint32_t r = unigrams_[second].firstBigram; r < unigrams_[second + 1].firstBigram; ++r) {
      const std::uint32_t first = readBits(static_cast<std::uint64_t>(r) * static_cast<std::uint64_t>(recordBits_), wordBits_);
      if (first >= words_.size()) continue;
      visit(static_cast<int>(first), static_cast<int>(second), bigramProbability(r));
    }
  }
}

bool LanguageModel::bigram(int first, int second, double& probability) const {
  if (first < 0 || second < 0 || static_cast<std::size_t>(second) + 1 >= unigrams_.size()) return false;
  // The records of a word are sorted by the word before it.
  std::uint32_t low = unigrams_[static_cast<std::size_t>(second)].firstBigram;
  std::uint32_t high = unigrams_[static_cast<std::size_t>(second) + 1].firstBigram;
  while (low < high) {
    const std::uint32_t middle = low + (high - low) / 2;
    const std::uint32_t word = readBits(static_cast<std::uint64_t>(middle) * static_cast<std::uint64_t>(recordBits_), wordBits_);
    if (word == static_cast<std::uint32_t>(first)) {
      probability = bigramProbability(middle);
      return true;
    }
    if (word < static_cast<std::uint32_t>(first)) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return false;
}

}  // namespace kea::prepare
