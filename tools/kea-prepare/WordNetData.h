// Reading WordNet 3.0 data files (data.noun, data.verb, data.adj, data.adv):
// one synset per line: its lemmas, its pointers to related synsets and its
// gloss. Verb frames are checked for shape and skipped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kea::prepare {

// A pointer from a synset (or one of its lemmas) to another synset (or one
// of its lemmas).
struct WordNetPointer {
  std::string symbol;  // "@" hypernym, "~" hyponym, "&" similar to, ...
  long offset = 0;     // the target synset's offset in its data file
  char type = 0;       // the target's synset type
  int source = 0;      // the source lemma's number (from 1), 0 for the synset
  int target = 0;      // the target lemma's number (from 1), 0 for the synset
};

// One synset as the data file holds it, text still UTF-8.
struct WordNetSynset {
  long offset = 0;
  char type = 0;                    // n, v, a, s (adjective satellite) or r
  std::vector<std::string> lemmas;  // as words: spaces for "_", markers removed
  std::vector<WordNetPointer> pointers;
  std::string gloss;                // the text after "|", without surrounding blanks
};

enum class WordNetLineKind {
  kSynset,     // `synset` holds the line's synset
  kSkipped,    // the licence text at the top of the file, or an empty line
  kMalformed,  // `problem` says what does not add up
};

// Parses one data-file line (without its line break).
WordNetLineKind parseWordNetLine(std::string_view line, WordNetSynset& synset, std::string* problem = nullptr);

// A lemma as a word: "_" becomes a space and the adjective position marker
// ("(a)", "(p)" or "(ip)") that may follow it is removed.
std::string wordNetLemmaWord(std::string_view lemma);

// The name of a synset type: "noun", "verb", "adjective" or "adverb".
const char* wordNetTypeName(char type);

// The definition shown for a synset: its part of speech, then the gloss, as
// in "noun: a sharp-pointed tip". Starting with the part of speech also keeps
// a gloss from ever being taken for rich text.
std::string wordNetDefinition(char type, std::string_view gloss);

}  // namespace kea::prepare
