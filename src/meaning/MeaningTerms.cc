#include "meaning/MeaningTerms.h"

#include <algorithm>
#include <array>

#include "dictionary/LetterFold.h"

namespace kea {

namespace {

// Function words, and the words definitions are made of rather than what
// they define ("a kind of", "used especially of", "someone who").
constexpr std::string_view kStopWords[] = {
    "about",    "above",     "after",     "again",      "against", "all",      "am",         "an",
    "and",      "any",       "are",       "as",         "at",      "be",       "because",    "been",
    "before",   "being",     "below",     "between",    "both",    "but",      "by",         "can",
    "could",    "did",       "do",        "does",       "doing",   "down",     "during",     "each",
    "eg",       "especially", "etc",      "few",        "for",     "from",     "further",    "had",
    "has",      "have",      "having",    "he",         "her",     "here",     "hers",       "herself",
    "him",      "himself",   "his",       "how",        "ie",      "if",       "in",         "into",
    "is",       "it",        "its",       "itself",     "just",    "kind",     "made",       "make",
    "me",       "more",      "most",      "my",         "myself",  "no",       "nor",        "not",
    "now",      "of",        "off",       "often",      "on",      "once",     "one",        "ones",
    "only",     "or",        "other",     "our",        "ours",    "ourselves", "out",       "over",
    "own",      "people",    "person",    "same",       "she",     "should",   "so",         "some",
    "someone",  "something", "sort",      "such",       "than",    "that",     "the",        "their",
    "theirs",   "them",      "themselves", "then",      "there",   "these",    "they",       "thing",
    "things",   "this",      "those",     "through",    "to",      "too",      "type",       "typically",
    "under",    "until",     "up",        "use",        "used",    "usually",  "very",       "was",
    "way",      "we",        "were",      "what",       "when",    "where",    "which",      "while",
    "who",      "whom",      "why",       "will",       "with",    "would",    "you",        "your",
    "yours",    "yourself",  "yourselves",
};

constexpr std::size_t kStopWordCount = std::size(kStopWords);

const std::array<std::string_view, kStopWordCount>& sortedStopWords() {
  static const std::array<std::string_view, kStopWordCount> sorted = [] {
    std::array<std::string_view, kStopWordCount> words{};
    std::copy(std::begin(kStopWords), std::end(kStopWords), words.begin());
    std::sort(words.begin(), words.end());
    return words;
  }();
  return sorted;
}

// The lower-case letters a Windows-1252 letter folds to ("é" -> "e",
// "æ" -> "ae"), or an empty view for a byte that is not a letter.
std::string_view foldedLetters(unsigned char byte) {
  static const std::array<char, 26> letters = [] {
    std::array<char, 26> a{};
    for (int i = 0; i < 26; ++i) a[static_cast<std::size_t>(i)] = static_cast<char>('a' + i);
    return a;
  }();
  const std::uint8_t folded = foldLetter(byte);
  if (folded >= 'A' && folded <= 'Z') return {&letters[static_cast<std::size_t>(folded - 'A')], 1};
  switch (folded) {
    case 0x8C:
      return "oe";
    case 0xC6:
      return "ae";
    case 0xDE:
      return "th";
    case 0xDF:
      return "ss";
    default:
      return {};
  }
}

bool isApostrophe(unsigned char byte) { return byte == '\'' || byte == 0x92; }

}  // namespace

bool isMeaningStopWord(std::string_view word) {
  if (word.size() < 2) return true;
  const auto& words = sortedStopWords();
  return std::binary_search(words.begin(), words.end(), word);
}

std::size_t MeaningWords::nextWord(std::string_view text, std::size_t& position) {
  const auto letters = [&](std::size_t at) { return foldedLetters(static_cast<unsigned char>(text[at])); };
  while (position < text.size() && letters(position).empty()) ++position;
  std::size_t length = 0;
  bool fits = true;
  bool apostrophe = false;
  while (position < text.size()) {
    std::string_view folded = letters(position);
    if (folded.empty()) {
      // One apostrophe between letters belongs to the word.
      const bool inside = !apostrophe && length > 0 && position + 1 < text.size() &&
                          isApostrophe(static_cast<unsigned char>(text[position])) && !letters(position + 1).empty();
      if (!inside) break;
      apostrophe = true;
      folded = "'";
    }
    if (length + folded.size() > kMaxWord) fits = false;
    if (fits) {
      for (const char c : folded) word_[length++] = c;
    }
    ++position;
  }
  return fits && length >= 2 ? length : 0;
}

std::vector<std::string> meaningTerms(std::string_view libraryText) {
  std::vector<std::string> terms;
  MeaningWords words;
  words.forEach(libraryText, [&](std::string_view stem, std::string_view) { terms.emplace_back(stem); });
  return terms;
}

}  // namespace kea
