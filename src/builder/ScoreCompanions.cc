#include "builder/ScoreCompanions.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <memory>

#include "builder/CompanionFileWriter.h"
#include "dictionary/DictionaryList.h"
#include "dictionary/EntryScores.h"
#include "dictionary/WordBuffer.h"
#include "dictionary/WordListDecoder.h"
#include "dictionary/WordListFile.h"

namespace kea {
namespace {

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

bool parseInteger(std::string_view text, int low, int high, int& value) {
  text = trimmed(text);
  if (text.empty() || text.size() > 4) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

// Opens the dictionary a companion is written for, just after it was
// written; false with the reason when it cannot be read back.
bool openWritten(DictionaryList::Dictionary& dictionary, std::string* error) {
  dictionary.open(true);
  if (dictionary.isOpen()) return true;
  if (error) *error = "cannot read the dictionary just written";
  return false;
}

}  // namespace

bool scoredLineScore(const ParsedLine& parsed, int& score) {
  const std::size_t n = parsed.fieldCount();
  if (parsed.hasDefinition() || n < 2 || parsed.field(n - 2).terminator != ';') return false;
  // The number must stand alone, as written: no annotation, no escapes.
  const ParsedLine::Field& last = parsed.field(n - 1);
  if (last.annotationSize != 0 || last.tailSize != 0 || last.rawSize != last.headwordSize) return false;
  const std::string_view text = parsed.headword(n - 1);
  if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == ' ' || c == '\r'; })) {
    return false;
  }
  return parseInteger(text, 0, kMaxScore, score);
}

bool ScoredWords::addLine(std::string_view line) {
  parsed_.parse(line);
  int score = 0;
  if (!scoredLineScore(parsed_, score)) return false;
  for (std::size_t i = 0; i + 1 < parsed_.fieldCount(); ++i) {
    const std::string_view headword = parsed_.headword(i);
    if (!headword.empty()) add(headword, score);
  }
  return true;
}

std::size_t ScoredWords::addLines(std::string_view text) {
  std::size_t count = 0;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    if (addLine(text.substr(0, end))) ++count;
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return count;
}

void ScoredWords::add(std::string_view headword, int score) {
  if (score < 0 || score > kMaxScore) return;
  scratch_.assign(headword);
  const auto [it, inserted] = scores_.try_emplace(scratch_, static_cast<std::uint8_t>(score));
  if (!inserted) it->second = std::max(it->second, static_cast<std::uint8_t>(score));
}

int ScoredWords::find(std::string_view headword) const {
  const auto it = scores_.find(std::string(headword));
  return it == scores_.end() ? kNoScore : it->second;
}

void forEachEntry(const DictionaryList::Dictionary& dictionary,
                  const std::function<void(int, std::uint32_t, std::string_view)>& visit) {
  WordListFile file;
  auto decoder = std::make_unique<WordListDecoder>(dictionary);
  auto word = std::make_unique<WordBuffer>();
  for (int length = 1; length < dictionary.lengthSlots(); ++length) {
    const std::uint32_t count = dictionary.wordCount(length);
    if (count == 0 || file.startList(dictionary, length, *decoder) != WordListFile::Status::Reading) continue;
    for (std::uint32_t i = 0; i < count; ++i) {
      const WordListDecoder::Result r = decoder->nextAccepted(*word, [](const WordListDecoder::Result&) { return true; });
      if (r.record != WordListDecoder::Record::Entry || r.section != 1) break;
      visit(length, i, std::string_view(word->raw, static_cast<std::size_t>(r.textLength)));
    }
  }
}

bool writeScoresCompanion(const std::string& dictionaryPath, const ScoredWords& words, std::size_t* scored,
                          std::string* error) {
  const std::string path = companionPath(dictionaryPath, EntryScores::kExtension);
  if (scored) *scored = 0;
  if (words.empty()) return removeCompanionFile(path);
  DictionaryList::Dictionary dictionary(dictionaryPath);
  if (!openWritten(dictionary, error)) return false;
  std::vector<std::vector<std::uint8_t>> byLength(static_cast<std::size_t>(dictionary.lengthSlots()));
  for (int length = 1; length < dictionary.lengthSlots(); ++length) {
    byLength[static_cast<std::size_t>(length)].assign(dictionary.wordCount(length), EntryScores::kUnscored);
  }
  std::size_t count = 0;
  forEachEntry(dictionary, [&](int length, std::uint32_t ordinal, std::string_view text) {
    const int score = words.find(text);
    if (score == kNoScore) return;
    byLength[static_cast<std::size_t>(length)][ordinal] = static_cast<std::uint8_t>(score);
    ++count;
  });
  if (scored) *scored = count;
  if (count == 0) return removeCompanionFile(path);
  return writeCompanionFile(path, EntryScores::kMagic, dictionary.fingerprint(), EntryScores::payload(byLength), error);
}

bool addPairLines(std::string_view text, WordPairs& pairs, std::string* error) {
  std::size_t number = 0;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = trimmed(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    ++number;
    if (line.empty()) continue;
    const std::size_t semicolon = line.rfind(';');
    const std::size_t space = line.find(' ');
    int bonus = 0;
    if (semicolon == std::string_view::npos || space == std::string_view::npos || space > semicolon ||
        !parseInteger(line.substr(semicolon + 1), -128, 127, bonus)) {
      if (error) *error = "line " + std::to_string(number) + " is not \"first second;bonus\": " + std::string(line);
      return false;
    }
    pairs.emplace_back(PairScores::pairKey(line.substr(0, space), trimmed(line.substr(space + 1, semicolon - space - 1))),
                       static_cast<std::int8_t>(bonus));
  }
  return true;
}

bool writePairsCompanion(const std::string& dictionaryPath, const WordPairs& pairs, std::string* error) {
  const std::string path = companionPath(dictionaryPath, PairScores::kExtension);
  if (pairs.empty()) return removeCompanionFile(path);
  DictionaryList::Dictionary dictionary(dictionaryPath);
  if (!openWritten(dictionary, error)) return false;
  return writeCompanionFile(path, PairScores::kMagic, dictionary.fingerprint(), PairScores::payload(pairs), error);
}

bool writeMeaningCompanion(const std::string& dictionaryPath, const MeaningDocuments& meanings,
                           std::size_t* described, std::string* error) {
  const std::string path = companionPath(dictionaryPath, MeaningIndex::kExtension);
  if (described) *described = 0;
  if (meanings.empty()) return removeCompanionFile(path);
  DictionaryList::Dictionary dictionary(dictionaryPath);
  if (!openWritten(dictionary, error)) return false;
  std::vector<std::vector<std::vector<std::uint32_t>>> entries(static_cast<std::size_t>(dictionary.lengthSlots()));
  for (int length = 1; length < dictionary.lengthSlots(); ++length) {
    entries[static_cast<std::size_t>(length)].resize(dictionary.wordCount(length));
  }
  std::size_t count = 0;
  forEachEntry(dictionary, [&](int length, std::uint32_t ordinal, std::string_view text) {
    const std::vector<std::uint32_t>* documents = meanings.documentsOf(text);
    if (documents == nullptr) return;
    entries[static_cast<std::size_t>(length)][ordinal] = *documents;
    ++count;
  });
  if (described) *described = count;
  if (count == 0) return removeCompanionFile(path);
  return writeCompanionFile(path, MeaningIndex::kMagic, dictionary.fingerprint(),
                            MeaningIndex::payload(meanings.content(std::move(entries))), error);
}

bool writeDictionaryCompanions(const std::string& dictionaryPath, CompanionData& data, std::string* error) {
  if (!writeScoresCompanion(dictionaryPath, data.scores, &data.scoredEntries, error)) return false;
  if (!writeMeaningCompanion(dictionaryPath, data.meanings, &data.describedEntries, error)) return false;
  if (!data.wordPairs.empty() || !data.pairs) return writePairsCompanion(dictionaryPath, data.wordPairs, error);
  const std::string pairsPath = companionPath(dictionaryPath, PairScores::kExtension);
  DictionaryList::Dictionary dictionary(dictionaryPath);
  if (!openWritten(dictionary, error)) return false;
  return writeCompanionFile(pairsPath, PairScores::kMagic, dictionary.fingerprint(), data.pairs->payloadBytes(), error);
}

}  // namespace kea
