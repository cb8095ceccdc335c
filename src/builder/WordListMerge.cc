#include "builder/WordListMerge.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cctype>
#include <cstring>

#include "builder/BuilderInput.h"
#include "builder/DictionarySave.h"
#include "builder/InputText.h"
#include "builder/ScoreCompanions.h"
#include "dictionary/DictionaryList.h"
#include "dictionary/LetterFold.h"
#include "dictionary/WordListDecoder.h"
#include "platform/Cp1252.h"

namespace kea {

bool WordListMerge::addText(std::string_view bytes, std::string_view name, std::string* error, bool utf8) {
  const InputText input = prepareInputText(bytes, utf8);
  if (input.problemLines > 0) {
    if (error) {
      error->clear();
      for (const std::string& problem : input.problems) *error += std::string(name) + ": " + problem + "\n";
      if (input.problemLines > input.problems.size()) {
        *error += std::string(name) + ": ... and " + std::to_string(input.problemLines - input.problems.size()) +
                  " more\n";
      }
      *error += std::string(name) + ": " + std::to_string(input.problemLines) +
                (input.problemLines == 1 ? " line" : " lines") + " cannot be converted to Windows-1252";
    }
    return false;
  }
  ParsedLine parsed;
  std::size_t start = 0;
  while (start < input.lines.size()) {
    std::size_t end = input.lines.find('\n', start);
    if (end == std::string::npos) end = input.lines.size();
    parsed.parse(std::string_view(input.lines).substr(start, end - start));
    start = end + 1;
    // The number of a scored line scores its headwords; it is no entry.
    int score = kNoScore;
    const bool scored = scoredLineScore(parsed, score);
    const std::size_t fields = parsed.fieldCount() - (scored ? 1 : 0);
    for (std::size_t i = 0; i < fields; ++i) {
      const std::string_view headword = parsed.headword(i);
      if (headword.empty()) continue;
      entries_.push_back(Entry{std::string(headword), std::string(parsed.annotation(i)), score});
    }
    if (parsed.hasDefinition() && !parsed.definition().empty()) ++leftOutDefinitions_;
  }
  return true;
}

bool WordListMerge::addDictionary(const std::string& path, std::string* error) {
  DictionaryList::Dictionary dictionary(path);
  dictionary.open(true);
  const std::string shown = platform::cp1252ToUtf8(path);
  if (!dictionary.isOpen()) {
    if (error) {
      *error = dictionary.problem().empty() ? shown + ": " + platform::cp1252ToUtf8(dictionary.statusText())
                                            : shown + " " + dictionary.problem();
    }
    return false;
  }
  std::vector<Entry> found;
  const EntryScores* scores = dictionary.entryScores();
  for (int length = 1; length < dictionary.lengthSlots(); ++length) {
    bool complete = false;
    std::vector<DecodedEntry> list = decodeWordList(dictionary, length, &complete);
    if (!complete) {
      if (error) {
        *error = shown + ": the list of " + std::to_string(length) +
                 "-letter words is damaged; the dictionary cannot be merged";
      }
      return false;
    }
    // Section 2 holds the words of the definitions, for full-text search:
    // they are not headwords.
    std::uint32_t ordinal = 0;
    for (DecodedEntry& entry : list) {
      if (entry.section != 1) continue;
      const int score = scores != nullptr ? scores->score(length, ordinal) : kNoScore;
      found.push_back(Entry{std::move(entry.text), std::move(entry.annotation), score});
      ++ordinal;
    }
  }
  entries_.insert(entries_.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
  if (!firstAlphabet_) firstAlphabet_ = dictionary.alphabet().byteChar;
  if (!pairs_) pairs_ = dictionary.pairScores();
  return true;
}

std::vector<WordListMerge::Entry> WordListMerge::merged() const {
  std::vector<const Entry*> order;
  order.reserve(entries_.size());
  for (const Entry& entry : entries_) order.push_back(&entry);
  const bool fold = fold_;
  // Negative, 0 or positive; 0 exactly for duplicates.
  const auto compare = [fold](const Entry& a, const Entry& b) {
    if (const int c = compareFolded(a.text, b.text); c != 0) return c;
    if (fold && countLetters(a.text) > 0) return 0;
    if (const int c = a.text.compare(b.text); c != 0) return c;
    return fold ? 0 : a.annotation.compare(b.annotation);
  };
  // Stable, so that the first of equal entries is the one kept.
  std::stable_sort(order.begin(), order.end(),
                   [&compare](const Entry* a, const Entry* b) { return compare(*a, *b) < 0; });
  std::vector<Entry> result;
  result.reserve(order.size());
  const Entry* previous = nullptr;
  for (const Entry* entry : order) {
    if (previous != nullptr && compare(*previous, *entry) == 0) {
      result.back().score = std::max(result.back().score, entry->score);
      continue;
    }
    result.push_back(*entry);
    previous = entry;
  }
  return result;
}

std::string WordListMerge::builderText(const std::vector<Entry>& entries) {
  std::string text;
  for (const Entry& entry : entries) {
    text += resultsBuilderLine(entry.text, entry.annotation);
    if (entry.score >= 0) {
      text += ';';
      text += std::to_string(entry.score);
    }
    text += '\n';
  }
  return text;
}

bool isDictionaryTarget(std::string_view target) {
  if (target.size() < 4) return false;
  std::string extension(target.substr(target.size() - 4));
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".kkd";
}

}  // namespace kea
