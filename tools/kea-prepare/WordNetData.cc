#include "WordNetData.h"

#include <charconv>

namespace kea::prepare {
namespace {

// Splits the part of a line before the gloss into blank-separated tokens.
std::vector<std::string_view> tokens(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    const std::size_t start = pos;
    while (pos < text.size() && text[pos] != ' ') ++pos;
    if (pos > start) out.push_back(text.substr(start, pos - start));
  }
  return out;
}

// A whole token as a number in `base`, or -1.
long number(std::string_view token, int base) {
  long value = -1;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value, base);
  if (error != std::errc() || end != token.data() + token.size() || value < 0) return -1;
  return value;
}

bool isDigits(std::string_view token) { return !token.empty() && number(token, 10) >= 0; }

bool fail(std::string* problem, const char* what) {
  if (problem) *problem = what;
  return false;
}

// Reads the pointers (and checks, for verbs, the frames) that follow the
// lemmas: the counts must match the tokens, and nothing may be left over.
bool readTail(const std::vector<std::string_view>& t, std::size_t pos, char type, std::vector<WordNetPointer>& out,
              std::string* problem) {
  if (pos >= t.size()) return fail(problem, "no pointer count");
  const long pointers = number(t[pos++], 10);
  if (pointers < 0) return fail(problem, "pointer count is not a number");
  if (static_cast<std::size_t>(pointers) > (t.size() - pos) / 4) return fail(problem, "fewer pointers than counted");
  for (long i = 0; i < pointers; ++i, pos += 4) {
    const long link = number(t[pos + 3], 16);
    if (!isDigits(t[pos + 1]) || t[pos + 2].size() != 1 || link < 0) {
      return fail(problem, "malformed pointer");
    }
    out.push_back(WordNetPointer{std::string(t[pos]), number(t[pos + 1], 10), t[pos + 2][0],
                                 static_cast<int>(link >> 8), static_cast<int>(link & 0xFF)});
  }
  if (type == 'v' && pos < t.size()) {
    const long frames = number(t[pos++], 10);
    if (frames < 0) return fail(problem, "frame count is not a number");
    if (static_cast<std::size_t>(frames) > (t.size() - pos) / 3) return fail(problem, "fewer frames than counted");
    for (long i = 0; i < frames; ++i, pos += 3) {
      if (t[pos] != "+" || number(t[pos + 1], 10) < 0 || number(t[pos + 2], 16) < 0) {
        return fail(problem, "malformed verb frame");
      }
    }
  }
  if (pos != t.size()) return fail(problem, "text between the pointers and the gloss");
  return true;
}

}  // namespace

WordNetLineKind parseWordNetLine(std::string_view line, WordNetSynset& synset, std::string* problem) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  // The licence at the top of every data file is indented; data lines
  // start with the synset's offset.
  if (line.empty() || line.front() == ' ') return WordNetLineKind::kSkipped;

  const std::size_t bar = line.find('|');
  const auto t = tokens(line.substr(0, bar));
  if (t.size() < 4 || !isDigits(t[0]) || !isDigits(t[1])) {
    fail(problem, "does not start with an offset and a file number");
    return WordNetLineKind::kMalformed;
  }
  if (t[2].size() != 1 || std::string_view("nvasr").find(t[2][0]) == std::string_view::npos) {
    fail(problem, "unknown synset type");
    return WordNetLineKind::kMalformed;
  }
  const long count = number(t[3], 16);
  if (count < 1 || static_cast<std::size_t>(count) > (t.size() - 4) / 2) {
    fail(problem, "lemma count does not match the lemmas");
    return WordNetLineKind::kMalformed;
  }
  synset.offset = number(t[0], 10);
  synset.type = t[2][0];
  synset.lemmas.clear();
  synset.pointers.clear();
  for (long i = 0; i < count; ++i) {
    const std::string_view lemma = t[4 + 2 * i];
    if (number(t[5 + 2 * i], 16) < 0) {
      fail(problem, "lemma without a lexical id");
      return WordNetLineKind::kMalformed;
    }
    synset.lemmas.push_back(wordNetLemmaWord(lemma));
  }
  if (!readTail(t, 4 + 2 * static_cast<std::size_t>(count), synset.type, synset.pointers, problem)) {
    return WordNetLineKind::kMalformed;
  }

  std::string_view gloss = bar == std::string_view::npos ? std::string_view() : line.substr(bar + 1);
  while (!gloss.empty() && (gloss.front() == ' ' || gloss.front() == '\t')) gloss.remove_prefix(1);
  while (!gloss.empty() && (gloss.back() == ' ' || gloss.back() == '\t')) gloss.remove_suffix(1);
  synset.gloss.assign(gloss);
  return WordNetLineKind::kSynset;
}

std::string wordNetLemmaWord(std::string_view lemma) {
  for (std::string_view marker : {"(a)", "(p)", "(ip)"}) {
    if (lemma.size() > marker.size() && lemma.ends_with(marker)) {
      lemma.remove_suffix(marker.size());
      break;
    }
  }
  std::string word(lemma);
  for (char& c : word) {
    if (c == '_') c = ' ';
  }
  return word;
}

const char* wordNetTypeName(char type) {
  switch (type) {
    case 'n': return "noun";
    case 'v': return "verb";
    case 'a':
    case 's': return "adjective";
    case 'r': return "adverb";
  }
  return "word";
}

std::string wordNetDefinition(char type, std::string_view gloss) {
  std::string text = wordNetTypeName(type);
  if (!gloss.empty()) {
    text += ": ";
    text.append(gloss);
  }
  return text;
}

}  // namespace kea::prepare
