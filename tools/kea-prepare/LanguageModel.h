// Reading an English n-gram language model in the binary trie form that
// Debian's pocketsphinx-en-us package installs
// (/usr/share/pocketsphinx/model/en-us/en-us.lm.bin): how often each word
// is used (its unigram probability) and how strongly a word calls up the
// next (its bigram probabilities). The commonness scores are made from them.
//
// The file, all little-endian:
//   "Trie Language Model" (19 bytes, no terminator), u8 order (2 or more),
//   u32 count[order] (count[0] words, count[1] bigrams, ...),
//   i32 quantiser kind, the quantiser's tables: for each middle order a
//   table of 65536 probabilities and one of 65536 backoffs, then 65536
//   probabilities of the highest order (f32, in units of log base 1.0001),
//   count[0] + 1 unigram records (f32 probability, f32 backoff, u32 index of
//   the first bigram whose last word it is), the bit-packed bigrams, then
//   the higher orders, u32 size of the word strings and the words, each
//   ended by a 0 byte. A bigram record holds the first word's index, then
//   16 bits of backoff and 16 of probability (quantised), then the index of
//   its first trigram. The bigrams of a word are those between its record's
//   index and the next word's.
//
// The file is checked against its own counts before anything is read, so a
// damaged or different model is refused with a message, never followed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kea::prepare {

class LanguageModel {
 public:
  // Reads the model; false with a message in `error` when the file is not a
  // model of this form.
  bool load(const std::string& path, std::string& error);

  std::size_t wordCount() const { return words_.size(); }
  std::size_t bigramCount() const { return bigrams_; }

  // The index of a word as the model spells it (lower case), or -1.
  int find(std::string_view word) const;
  const std::string& word(int index) const { return words_[static_cast<std::size_t>(index)]; }
  // Decimal logarithms.
  double probability(int index) const { return unigrams_[static_cast<std::size_t>(index)].probability; }
  double backoff(int index) const { return unigrams_[static_cast<std::size_t>(index)].backoff; }

  // Visits every bigram: the first word, the second, and the decimal
  // logarithm of the second's probability after the first.
  void forEachBigram(const std::function<void(int first, int second, double probability)>& visit) const;
  // The logarithm of `second`'s probability after `first`, or nothing.
  bool bigram(int first, int second, double& probability) const;

 private:
  struct Unigram {
    double probability;
    double backoff;
    std::uint32_t firstBigram;
  };
  std::uint32_t readBits(std::uint64_t bitOffset, int bits) const;
  double bigramProbability(std::uint32_t record) const;

  std::vector<std::string> words_;
  std::unordered_map<std::string, int> index_;
  std::vector<Unigram> unigrams_;  // one more than words: the end of the last word's bigrams
  std::vector<float> bigramProbabilities_;  // the quantiser's table, decimal logarithms
  std::vector<unsigned char> bigramBits_;   // the packed bigram records, with 8 bytes of slack
  int wordBits_ = 0;
  int recordBits_ = 0;
  std::size_t bigrams_ = 0;
};

}  // namespace kea::prepare
