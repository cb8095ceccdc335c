// The phrase anagram search: the entries that fit, grouped by their
// letters, and a depth-first choice of groups kept on an explicit stack.
#include "search/PhraseAnagram.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <unordered_set>
#include <utility>

#include "dictionary/LetterFold.h"
#include "dictionary/WordListDecoder.h"
#include "dictionary/WordListFile.h"
#include "settings/UserOptions.h"

namespace kea {

namespace {

bool isWildcard(std::uint8_t byte) { return byte == '.' || byte == '?'; }

// One word of an entry or a phrase: its letters and what follows it.
struct ShapeWord {
  std::uint8_t length;
  EnumerationBreak after;
};

// Splits a text into words at spaces and hyphens (a run of them is one
// break, a hyphen's when it holds one); `isLetterByte` says which bytes
// are letters. Other characters are ignored. Returns the number of words,
// or -1 when there are more than `capacity` or a word is too long.
template <class IsLetter>
int textShape(std::string_view text, IsLetter isLetterByte, ShapeWord* out, int capacity) {
  int words = 0;
  int length = 0;
  EnumerationBreak pending = EnumerationBreak::End;
  for (const char ch : text) {
    const auto byte = static_cast<std::uint8_t>(ch);
    if (isLetterByte(byte)) {
      if (pending != EnumerationBreak::End && length > 0) {
        if (words == capacity) return -1;
        out[words++] = {static_cast<std::uint8_t>(length), pending};
        length = 0;
      }
      pending = EnumerationBreak::End;
      if (++length > 255) return -1;
    } else if (byte == '-') {
      pending = EnumerationBreak::Hyphen;
    } else if (byte == ' ' && pending != EnumerationBreak::Hyphen) {
      pending = EnumerationBreak::Space;
    }
  }
  if (length > 0) {
    if (words == capacity) return -1;
    out[words++] = {static_cast<std::uint8_t>(length), EnumerationBreak::End};
  }
  return words;
}

// Whether `shape` covers the enumeration's words from `position` on, with
// the same lengths and the same breaks inside it.
bool shapeFits(const ShapeWord* shape, int count, const std::vector<EnumerationWord>& words, int position) {
  if (position + count > static_cast<int>(words.size())) return false;
  for (int i = 0; i < count; ++i) {
    const EnumerationWord& word = words[static_cast<std::size_t>(position + i)];
    if (shape[i].length != word.length) return false;
    if (i + 1 < count && shape[i].after != word.after) return false;
  }
  return true;
}

// The key by which dictionaries are compared for duplicates: the folded
// letters, and the breaks when an enumeration places them. `out` holds at
// least text.size() bytes.
std::size_t memberKey(std::string_view text, bool withBreaks, char* out) {
  std::size_t n = 0;
  char pending = 0;
  for (const char ch : text) {
    const auto byte = static_cast<std::uint8_t>(ch);
    if (isLetter(byte)) {
      if (withBreaks && pending != 0 && n > 0) out[n++] = pending;
      pending = 0;
      out[n++] = static_cast<char>(foldLetter(byte));
    } else if (byte == '-') {
      pending = '-';
    } else if (byte == ' ' && pending != '-') {
      pending = ' ';
    }
  }
  return n;
}

// The canonical order of a phrase's entries: as the sorted results lists
// order them, then by their bytes.
bool entryBefore(std::string_view a, std::string_view b) {
  const int c = compareFolded(a, b);
  return c != 0 ? c < 0 : a < b;
}

constexpr int kMaxShapeWords = kMaxEnumerationLetters;
// Levels deeper than this search their parent's list of groups instead of
// a list of their own, so that the lists take a bounded amount of memory
// however many words an enumeration has.
constexpr int kFilteredLevels = 8;
constexpr std::uint32_t kPinnedGroup = 0xFFFFFFFFu;

}  // namespace

namespace {

// The first and last word of an entry: its letters and apostrophes up to
// the first break, and after the last.
std::string_view firstWordOf(std::string_view text) {
  const std::size_t end = text.find_first_of(" -");
  return text.substr(0, end);
}

std::string_view lastWordOf(std::string_view text) {
  const std::size_t start = text.find_last_of(" -");
  return start == std::string_view::npos ? text : text.substr(start + 1);
}

// Breaks between words inside an entry.
int innerBreaks(std::string_view text) {
  int breaks = 0;
  bool inWord = false, pending = false;
  for (const char c : text) {
    if (c == ' ' || c == '-') {
      pending = inWord;
    } else if (isLetter(static_cast<std::uint8_t>(c))) {
      if (pending) ++breaks;
      pending = false;
      inWord = true;
    }
  }
  return breaks;
}

// Decimal logarithms: what a pair of neighbouring words that were never
// seen together costs, a word without a score, and what each break inside
// a listed phrase is worth (enough to put listed phrases first).
constexpr double kUnseenPair = -2.0;
constexpr double kUnscoredWord = -9.0;
constexpr double kListedBreak = 10.0;

}  // namespace

PhraseRank phraseRank(const PhrasePart* parts, int count, const PairScores* pairs) {
  double total = 0;
  int words = 0;
  int listedBreaks = 0;
  bool anyScore = false;
  for (int i = 0; i < count; ++i) {
    const PhrasePart& part = parts[i];
    const int breaks = innerBreaks(part.text);
    words += breaks + 1;
    listedBreaks += breaks;
    anyScore = anyScore || part.score != kNoScore;
    total += part.score != kNoScore ? scoreToLogFrequency(part.score) : kUnscoredWord;
    if (i > 0) {
      int tenths = 0;
      const bool seen = pairs != nullptr &&
                        pairs->bonus(PairScores::pairKey(lastWordOf(parts[i - 1].text), firstWordOf(part.text)), tenths);
      total += seen ? tenths / 10.0 : kUnseenPair;
    }
  }
  if (!anyScore || words == 0) return {};
  PhraseRank rank;
  // Per word, so that phrases of different lengths share the entries' scale.
  rank.score = logFrequencyToScore(total / words);
  // Hundredths of a decimal logarithm per word, above zero; each break
  // inside a listed phrase outweighs any difference of likelihood.
  const double mean = (total + kListedBreak * listedBreaks) / words;
  rank.rank = static_cast<int>(std::clamp(std::lround((mean + 20.0) * 100.0), 0L, 1000000L));
  return rank;
}

void RankedPhrases::add(std::string_view phrase, PhraseRank rank) {
  items_.push_back({text_.size(), static_cast<std::uint32_t>(phrase.size()), rank, found_++});
  text_.append(phrase);
  if (items_.size() >= 2 * keep_) dropWorse();
}

void RankedPhrases::dropWorse() {
  if (items_.size() <= keep_) return;
  std::nth_element(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(keep_), items_.end(), better);
  items_.resize(keep_);
  // The kept phrases' text, moved together in found order.
  std::sort(items_.begin(), items_.end(), [](const Item& a, const Item& b) { return a.order < b.order; });
  std::string kept;
  kept.reserve(text_.size() / 2);
  for (Item& item : items_) {
    const std::size_t offset = kept.size();
    kept.append(text_, item.offset, item.length);
    item.offset = offset;
  }
  text_ = std::move(kept);
}

void RankedPhrases::sort() {
  dropWorse();
  // Phrases of equal rank, and all of them when the dictionary has no
  // scores, stay in the order they were found.
  std::sort(items_.begin(), items_.end(), better);
}

PhraseLetterCount countPhraseLetters(std::string_view text) {
  PhraseLetterCount count;
  for (const char ch : text) {
    const auto byte = static_cast<std::uint8_t>(ch);
    if (isLetter(byte)) ++count.letters;
    if (isWildcard(byte)) ++count.wildcards;
  }
  return count;
}

PhraseQueryError checkPhraseQuery(const PhraseAnagramQuery& query) {
  const PhraseLetterCount count = countPhraseLetters(query.letters);
  const int total = count.letters + count.wildcards;
  if (total == 0) return PhraseQueryError::NoLetters;
  if (total > kMaxPhraseLetters) return PhraseQueryError::TooManyLetters;
  if (query.enumeration) {
    if (!query.enumeration->valid()) return PhraseQueryError::InvalidEnumeration;
    if (query.enumeration->totalLength() != total) return PhraseQueryError::EnumerationLength;
  } else {
    if (query.minWords < 1 || query.minWords > query.maxWords || query.maxWords > kMaxPhraseWords)
      return PhraseQueryError::WordCount;
    if (query.shortest < 1 || query.shortest > kMaxPhraseLetters) return PhraseQueryError::Shortest;
  }
  if (!query.containing.empty()) {
    std::array<int, 256> available{};
    for (const char ch : query.letters) {
      const auto byte = static_cast<std::uint8_t>(ch);
      if (isLetter(byte)) ++available[foldLetter(byte)];
    }
    int wildcards = count.wildcards;
    int letters = 0;
    for (const char ch : query.containing) {
      const auto byte = static_cast<std::uint8_t>(ch);
      if (!isLetter(byte)) continue;
      ++letters;
      if (available[foldLetter(byte)] > 0) {
        --available[foldLetter(byte)];
      } else if (--wildcards < 0) {
        return PhraseQueryError::ContainingLetters;
      }
    }
    if (letters == 0) return PhraseQueryError::ContainingNoLetters;
    if (query.enumeration) {
      std::vector<ShapeWord> shape(kMaxShapeWords);
      const int n = textShape(query.containing, isLetter, shape.data(), kMaxShapeWords);
      bool placed = false;
      for (int p = 0; n > 0 && !placed && p < static_cast<int>(query.enumeration->words.size()); ++p) {
        placed = shapeFits(shape.data(), n, query.enumeration->words, p);
      }
      if (!placed) return PhraseQueryError::ContainingShape;
    }
  }
  return PhraseQueryError::None;
}

std::string_view phraseQueryErrorText(PhraseQueryError error) {
  switch (error) {
    case PhraseQueryError::None:
      return "";
    case PhraseQueryError::NoLetters:
      return "there are no letters to anagram";
    case PhraseQueryError::TooManyLetters:
      return "at most 100 letters can be anagrammed";
    case PhraseQueryError::WordCount:
      return "the number of words must be a range within 1 to 6, such as 1-3";
    case PhraseQueryError::Shortest:
      return "the shortest word must have 1 to 100 letters";
    case PhraseQueryError::InvalidEnumeration:
      return "the enumeration is not valid";
    case PhraseQueryError::EnumerationLength:
      return "the enumeration's lengths do not add up to the number of letters";
    case PhraseQueryError::ContainingNoLetters:
      return "the word to contain has no letters";
    case PhraseQueryError::ContainingLetters:
      return "the word to contain has letters that are not among the letters";
    case PhraseQueryError::ContainingShape:
      return "the word to contain fits no place of the enumeration";
  }
  return "";
}

class PhraseAnagramSearch::Impl {
 public:
  Impl(const DictionaryList& dictionaries, PhraseAnagramQuery query, int multiple, int active)
      : list_(dictionaries), query_(std::move(query)), multiple_(multiple), active_(active) {
    enumerated_ = query_.enumeration.has_value();
    if (enumerated_) enumWords_ = query_.enumeration->words;
    shapeScratch_.resize(kMaxShapeWords);
    pinnedShape_.resize(kMaxShapeWords);
    // The member sets hold views of their own keys: they never move.
    members_.reserve(static_cast<std::size_t>(std::max(list_.count(), 0)));
  }

  Step step(long long work, PhraseBatch& out);
  int currentDictionary() const { return dictionary_; }
  int incompleteDictionary() const { return incompleteDictionary_; }
  ListProblem problem() const { return problem_; }
  long long found() const { return found_; }

 private:
  // A group of entries with the same letters (and breaks).
  struct Group {
    std::uint32_t firstEntry;  // in order_
    std::uint32_t entryCount;
    std::uint32_t runs;  // in runs_: (letter, count) pairs
    std::uint16_t runCount;
    std::uint16_t letters;
    std::uint32_t shape;  // in shapes_
    std::uint16_t shapeWords;
  };
  struct Entry {
    std::uint32_t text;
    std::uint32_t textLength;
    int letters;
    int score;  // kNoScore without one
  };
  struct Frame {
    std::uint32_t begin, end, cursor;  // the level's groups, in lists_
    bool filtered;
    int anchor;              // the letter every chosen group holds; -1: none
    std::uint32_t minGroup;  // with no anchor, groups from this one on
    int position;            // with an enumeration, the first word to fill
    bool pinned;             // the pinned entry's place
    std::uint32_t chosen;    // the group applied, or kNone
  };
  static constexpr std::uint32_t kNone = 0xFFFFFFFEu;
  enum class Phase { Start, Load, Search, Done };

  bool nextDictionary();
  bool prepareDictionary();
  void loadLength(int length);
  void groupEntries();
  void buildMembers();
  bool startPlacement();

  bool fits(const Group& g) const {
    int deficit = 0;
    const std::uint8_t* r = runs_.data() + g.runs;
    for (int i = 0; i < g.runCount; ++i, r += 2) {
      const int d = r[1] - rem_[r[0]];
      if (d > 0) deficit += d;
    }
    return deficit <= wild_;
  }
  bool holds(const Group& g, int letter) const {
    const std::uint8_t* r = runs_.data() + g.runs;
    for (int i = 0; i < g.runCount; ++i, r += 2) {
      if (r[0] == letter) return true;
    }
    return false;
  }
  bool shapeAt(const Group& g, int position) const {
    return shapeFits(shapes_.data() + g.shape, g.shapeWords, enumWords_, position);
  }
  void apply(std::size_t level, std::uint32_t id);
  void undo(std::size_t level);
  // Pushes the frame that follows the group chosen at the top frame; false
  // when nothing can follow.
  bool pushChild(long long& work);
  bool pushFrame(const std::uint32_t* source, std::size_t count, int level, int position, std::uint32_t minGroup,
                 int banLetter, std::uint32_t banBefore, long long& work);
  // Lists the phrases of the chosen groups: every choice of their entries,
  // a few at a time, from where the last call stopped.
  void beginEmit();
  bool emitSome(PhraseBatch& out, long long& work, long long budget);
  bool tiedSlot(int i) const {
    return !enumerated_ && i > 0 && slots_[static_cast<std::size_t>(i)] == slots_[static_cast<std::size_t>(i - 1)];
  }
  bool isDuplicate(const std::uint32_t* entries, int count) const;
  // Whether the phrase `text`, whose parts start at `starts` (one past
  // the end plus one at starts[n]), is split as its first split is.
  bool firstSplit(std::string_view text, const std::uint32_t* starts, int n) const;
  bool splitFrom(int token, int parts, bool pinnedUsed, std::string_view previous) const;
  int wordsChosen() const { return static_cast<int>(stack_.size()) + (pinnedActive_ ? 1 : 0); }

  const DictionaryList& list_;
  const PhraseAnagramQuery query_;
  const int multiple_;
  const int active_;
  bool enumerated_ = false;
  std::vector<EnumerationWord> enumWords_;

  Phase phase_ = Phase::Start;
  int dictionary_ = -1;
  long long found_ = 0;

  // The dictionary being searched, and its scores when phrases are scored.
  const DictionaryList::Dictionary* dict_ = nullptr;
  const EntryScores* scores_ = nullptr;
  std::shared_ptr<const PairScores> pairs_;
  std::array<PhrasePart, kMaxShapeWords + 1> partScratch_{};
  WordListFile file_;
  // The first list that could not be read whole, and its dictionary.
  ListProblem problem_ = ListProblem::None;
  int incompleteDictionary_ = -1;
  void noteProblem(ListProblem problem) {
    if (problem_ != ListProblem::None || problem == ListProblem::None) return;
    problem_ = problem;
    incompleteDictionary_ = dictionary_;
  }
  int loadLength_ = 0;
  int loadLast_ = 0;
  std::array<int, 256> need_{};  // the letters to use, by alphabet index
  int needWild_ = 0;
  std::vector<int> needLetters_;  // the letters with need_ > 0
  bool impossible_ = false;
  bool pinnedActive_ = false;
  std::string pinnedText_;
  int pinnedWords_ = 0;
  std::vector<ShapeWord> pinnedShape_;
  std::vector<int> placements_;
  std::size_t placement_ = 0;
  bool pinnedAlone_ = false;

  std::string texts_;
  std::vector<Entry> entries_;
  std::vector<std::uint8_t> keys_;       // per entry while loading: sorted letters, then shape
  std::vector<std::uint32_t> keyStart_;  // per entry, in keys_ (one more at the end)
  std::vector<std::uint32_t> order_;     // entries, grouped
  std::vector<Group> groups_;
  std::vector<std::uint8_t> runs_;
  std::vector<ShapeWord> shapes_;
  std::vector<ShapeWord> shapeScratch_;

  // The search.
  std::array<int, 256> rem_{};
  int wild_ = 0;
  int left_ = 0;  // letters still to place, wildcards included
  std::vector<std::uint32_t> lists_;
  std::size_t levelSize_ = 0;
  int levels_ = 0;
  std::vector<Frame> stack_;
  std::vector<std::uint8_t> takes_;  // per level and run, the letters taken from rem_
  std::array<int, 256> freq_{};

  // Earlier dictionaries' fitting entries, for duplicate suppression.
  struct Members {
    std::string keys;
    std::unordered_set<std::string_view> set;
  };
  std::vector<Members> members_;
  mutable std::vector<char> keyScratch_;
  // When some fitting entry has a space or hyphen, two ways of joining
  // entries can give the same line ("close to" + "wit", "close" + "to
  // wit"): the texts of the fitting entries, by which a line's other
  // splits are found, and the split being tried.
  bool multiword_ = false;
  std::unordered_set<std::string_view> entryTexts_;
  static constexpr int kMaxTokens = 128;
  mutable std::string_view splitText_;
  mutable std::array<std::uint32_t, kMaxTokens + 1> tokenStart_{};
  mutable int tokens_ = 0;
  mutable std::array<int, kMaxTokens + 1> splitEnd_{};
  std::vector<std::uint32_t> phraseScratch_;
  bool emitting_ = false;
  int slotCount_ = 0;
  std::array<std::uint32_t, kMaxShapeWords + 1> slots_{};
  std::array<std::uint32_t, kMaxShapeWords + 1> pick_{};  // the entry chosen in each slot's group
};

PhraseAnagramSearch::Step PhraseAnagramSearch::Impl::step(long long work, PhraseBatch& out) {
  long long done = 0;
  while (done < work) {
    switch (phase_) {
      case Phase::Start:
      case Phase::Done:
        if (phase_ == Phase::Done || !nextDictionary()) {
          phase_ = Phase::Done;
          dictionary_ = -1;
          return Step::Finished;
        }
        break;
      case Phase::Load:
        if (loadLength_ > loadLast_) {
          groupEntries();
          buildMembers();
          placement_ = 0;
          if (!startPlacement()) phase_ = Phase::Start;
          break;
        }
        loadLength(loadLength_++);
        done += static_cast<long long>(dict_->wordCount(loadLength_ - 1)) / 16 + 1;
        break;
      case Phase::Search: {
        if (emitting_) {
          emitSome(out, done, work);
          break;
        }
        if (pinnedAlone_) {
          pinnedAlone_ = false;
          if (wordsChosen() >= query_.minWords) beginEmit();
          break;
        }
        if (stack_.empty()) {
          ++placement_;
          if (!startPlacement()) phase_ = Phase::Start;
          break;
        }
        const std::size_t level = stack_.size() - 1;
        Frame& f = stack_.back();
        if (f.chosen != kNone) {
          undo(level);
          f.chosen = kNone;
        }
        std::uint32_t id = kNone;
        if (f.pinned) {
          if (f.cursor == 0) {
            f.cursor = 1;
            id = kPinnedGroup;
          }
        } else {
          while (f.cursor < f.end && done < work) {
            const std::uint32_t candidate = lists_[f.cursor++];
            ++done;
            const Group& g = groups_[candidate];
            if (!f.filtered && (g.letters > left_ || !fits(g))) continue;
            if (enumerated_) {
              if (!shapeAt(g, f.position)) continue;
              // Nothing may cover the pinned entry's place.
              const int pinnedAt = placements_[placement_];
              if (pinnedAt > f.position && f.position + g.shapeWords > pinnedAt) continue;
            } else if (f.anchor >= 0) {
              if (!holds(g, f.anchor)) continue;
            } else if (candidate < f.minGroup) {
              continue;
            }
            id = candidate;
            break;
          }
          if (id == kNone && f.cursor < f.end) break;  // out of work; resume here
        }
        if (id == kNone) {
          stack_.pop_back();
          break;
        }
        apply(level, id);
        if (enumerated_) {
          const int next = f.position + (id == kPinnedGroup ? pinnedWords_ : groups_[id].shapeWords);
          if (next == static_cast<int>(enumWords_.size())) {
            if (left_ == 0) beginEmit();
            break;
          }
        } else {
          if (left_ == 0) {
            if (wordsChosen() >= query_.minWords) beginEmit();
            break;
          }
          if (wordsChosen() >= query_.maxWords) break;
        }
        pushChild(done);
        break;
      }
    }
  }
  return Step::More;
}

bool PhraseAnagramSearch::Impl::nextDictionary() {
  for (;;) {
    if (multiple_ == UserOptions::kActiveDictionaryOnly) {
      if (dictionary_ >= 0) return false;
      dictionary_ = active_;
    } else {
      ++dictionary_;
    }
    if (dictionary_ >= list_.count()) return false;
    if (prepareDictionary()) return true;
    // A dictionary that cannot be read, or cannot make the letters, adds
    // nothing, but an empty member set keeps the numbering.
    members_.resize(static_cast<std::size_t>(dictionary_) + 1);
    if (multiple_ == UserOptions::kActiveDictionaryOnly) return false;
  }
}

bool PhraseAnagramSearch::Impl::prepareDictionary() {
  dict_ = list_.dictionary(dictionary_);
  scores_ = nullptr;
  pairs_.reset();
  if (query_.scored && dict_ != nullptr && list_.isUsable(dictionary_)) {
    scores_ = dict_->entryScores();
    pairs_ = dict_->pairScores();
  }
  texts_.clear();
  entries_.clear();
  keys_.clear();
  keyStart_.assign(1, 0);
  order_.clear();
  groups_.clear();
  runs_.clear();
  shapes_.clear();
  stack_.clear();
  if (!list_.isUsable(dictionary_) || dict_ == nullptr) return false;
  if (!file_.open(*dict_)) return false;

  // The letters in this dictionary's alphabet; a letter it lacks cannot be
  // made from its entries.
  const Alphabet& alphabet = dict_->alphabet();
  need_.fill(0);
  needWild_ = 0;
  impossible_ = false;
  const auto count = [&](std::string_view text, int sign) {
    for (const char ch : text) {
      const auto byte = static_cast<std::uint8_t>(ch);
      const std::uint8_t index = alphabet.alphabetIndexOf(byte);
      if (sign > 0 && isWildcard(byte)) {
        ++needWild_;
      } else if (index != kkd::kNoIndex && index < dict_->letterCount()) {
        need_[index] += sign;
      } else if (index != kkd::kNoIndex || isLetter(byte)) {
        impossible_ = impossible_ || sign > 0;
        if (sign < 0) --needWild_;  // a letter of the pinned entry only a wildcard can give
      }
    }
  };
  count(query_.letters, 1);
  pinnedActive_ = !query_.containing.empty();
  if (pinnedActive_) {
    pinnedText_ = query_.containing;
    count(query_.containing, -1);
    for (int& n : need_) {
      if (n < 0) {
        needWild_ += n;
        n = 0;
      }
    }
    if (needWild_ < 0) impossible_ = true;
  }
  if (impossible_) return false;
  needLetters_.clear();
  int total = needWild_;
  for (int l = 0; l < 256; ++l) {
    if (need_[l] > 0) {
      needLetters_.push_back(l);
      total += need_[l];
    }
  }

  placements_.clear();
  if (enumerated_) {
    if (pinnedActive_) {
      const auto letter = [&](std::uint8_t b) { return alphabet.alphabetIndexOf(b) != kkd::kNoIndex; };
      pinnedWords_ = textShape(pinnedText_, letter, pinnedShape_.data(), kMaxShapeWords);
      for (int p = 0; pinnedWords_ > 0 && p < static_cast<int>(enumWords_.size()); ++p) {
        if (shapeFits(pinnedShape_.data(), pinnedWords_, enumWords_, p)) placements_.push_back(p);
      }
      if (placements_.empty()) return false;
    } else {
      placements_.push_back(-1);
    }
    int shortestWord = kMaxPhraseLetters;
    for (const EnumerationWord& w : enumWords_) shortestWord = std::min(shortestWord, w.length);
    loadLength_ = shortestWord;
    loadLast_ = total;
  } else {
    placements_.push_back(-1);
    const int pinned = pinnedActive_ ? 1 : 0;
    const int othersMin = std::max(0, query_.minWords - pinned);
    const int othersMax = query_.maxWords - pinned;
    if (othersMax == 0 && total > 0) return false;
    loadLength_ = query_.shortest;
    loadLast_ = total - std::max(0, othersMin - 1) * query_.shortest;
  }
  loadLast_ = std::min(loadLast_, dict_->lengthSlots() - 1);
  phase_ = Phase::Load;
  return true;
}

void PhraseAnagramSearch::Impl::loadLength(int length) {
  auto decoder = std::make_unique<WordListDecoder>(*dict_);
  const WordListFile::Status status = file_.startList(*dict_, length, *decoder);
  if (status == WordListFile::Status::Unreadable) {
    noteProblem(file_.changed() ? ListProblem::Changed : ListProblem::Unreadable);
  }
  if (status != WordListFile::Status::Reading) return;
  auto word = std::make_unique<WordBuffer>();
  const Alphabet& alphabet = dict_->alphabet();
  const auto letter = [&](std::uint8_t b) { return alphabet.alphabetIndexOf(b) != kkd::kNoIndex; };
  std::array<int, 256> counts{};
  // The place of each entry in the list, by which its score is found.
  std::uint32_t ordinal = 0;
  for (;;) {
    const WordListDecoder::Result r = decoder->nextAccepted(*word, [&](const WordListDecoder::Result& e) {
      if (e.section != 1) return true;
      ++ordinal;
      // The quick test: every letter within the letters and wildcards.
      int deficit = 0;
      for (int i = 0; i < e.keyLength; ++i) {
        const std::uint8_t x = word->key[i];
        if (++counts[x] > need_[x]) ++deficit;
      }
      for (int i = 0; i < e.keyLength; ++i) counts[word->key[i]] = 0;
      return deficit <= needWild_;
    });
    if (r.record == WordListDecoder::Record::Broken) {
      noteProblem(file_.changed() ? ListProblem::Changed : ListProblem::Damaged);
    }
    if (r.record != WordListDecoder::Record::Entry || r.section != 1) break;
    int shapeWords = 0;
    if (enumerated_) {
      shapeWords = textShape(std::string_view(word->raw, static_cast<std::size_t>(r.textLength)), letter,
                             shapeScratch_.data(), kMaxShapeWords);
      bool placed = false;
      for (int p = 0; shapeWords > 0 && !placed && p < static_cast<int>(enumWords_.size()); ++p) {
        placed = shapeFits(shapeScratch_.data(), shapeWords, enumWords_, p);
      }
      if (!placed) continue;
    }
    const int score = scores_ != nullptr ? scores_->score(length, ordinal - 1) : kNoScore;
    entries_.push_back(
        {static_cast<std::uint32_t>(texts_.size()), static_cast<std::uint32_t>(r.textLength), r.keyLength, score});
    texts_.append(word->raw, static_cast<std::size_t>(r.textLength));
    const std::size_t keyAt = keys_.size();
    keys_.insert(keys_.end(), word->key, word->key + r.keyLength);
    std::sort(keys_.begin() + static_cast<std::ptrdiff_t>(keyAt), keys_.end());
    for (int i = 0; i < shapeWords; ++i) {
      keys_.push_back(255);
      keys_.push_back(shapeScratch_[static_cast<std::size_t>(i)].length);
      keys_.push_back(static_cast<std::uint8_t>(shapeScratch_[static_cast<std::size_t>(i)].after));
    }
    keyStart_.push_back(static_cast<std::uint32_t>(keys_.size()));
  }
}

void PhraseAnagramSearch::Impl::groupEntries() {
  const std::size_t n = entries_.size();
  order_.resize(n);
  for (std::size_t i = 0; i < n; ++i) order_[i] = static_cast<std::uint32_t>(i);
  const auto key = [&](std::uint32_t e) {
    return std::string_view(reinterpret_cast<const char*>(keys_.data()) + keyStart_[e],
                            keyStart_[e + 1] - keyStart_[e]);
  };
  const auto text = [&](std::uint32_t e) {
    return std::string_view(texts_).substr(entries_[e].text, entries_[e].textLength);
  };
  // Groups in order of length first, so that every list of groups is in
  // order of length and the groups of some lengths are found by halving.
  std::sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) {
    if (entries_[a].letters != entries_[b].letters) return entries_[a].letters < entries_[b].letters;
    const auto ka = key(a), kb = key(b);
    if (ka != kb) return ka < kb;
    return entryBefore(text(a), text(b));
  });
  // The same text twice in a group is one entry.
  std::size_t kept = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (kept > 0 && key(order_[kept - 1]) == key(order_[i]) && text(order_[kept - 1]) == text(order_[i])) continue;
    order_[kept++] = order_[i];
  }
  order_.resize(kept);
  for (std::size_t i = 0; i < kept;) {
    std::size_t j = i + 1;
    while (j < kept && key(order_[j]) == key(order_[i])) ++j;
    Group g{};
    g.firstEntry = static_cast<std::uint32_t>(i);
    g.entryCount = static_cast<std::uint32_t>(j - i);
    g.runs = static_cast<std::uint32_t>(runs_.size());
    const auto keyText = key(order_[i]);
    const auto* k0 = reinterpret_cast<const std::uint8_t*>(keyText.data());
    const struct {
      const std::uint8_t* d;
      std::size_t n;
      std::size_t size() const { return n; }
      std::uint8_t operator[](std::size_t j) const { return d[j]; }
    } k{k0, keyText.size()};
    std::size_t p = 0;
    int letters = 0;
    while (p < k.size() && k[p] != 255) {
      std::size_t q = p;
      while (q < k.size() && k[q] == k[p]) ++q;
      runs_.push_back(k[p]);
      runs_.push_back(static_cast<std::uint8_t>(q - p));
      ++g.runCount;
      letters += static_cast<int>(q - p);
      p = q;
    }
    g.letters = static_cast<std::uint16_t>(letters);
    g.shape = static_cast<std::uint32_t>(shapes_.size());
    for (; p + 2 < k.size(); p += 3) {
      shapes_.push_back({k[p + 1], static_cast<EnumerationBreak>(k[p + 2])});
      ++g.shapeWords;
    }
    groups_.push_back(g);
    i = j;
  }
  multiword_ = false;
  entryTexts_.clear();
  for (const std::uint32_t e : order_) multiword_ = multiword_ || text(e).find_first_of(" -") != std::string_view::npos;
  if (multiword_) {
    entryTexts_.reserve(order_.size());
    for (const std::uint32_t e : order_) entryTexts_.insert(text(e));
  }
  keys_.clear();
  keys_.shrink_to_fit();
  keyStart_.clear();
  keyStart_.shrink_to_fit();
}

void PhraseAnagramSearch::Impl::buildMembers() {
  members_.resize(static_cast<std::size_t>(dictionary_) + 1);
  if (multiple_ != UserOptions::kSuppressDuplicates || dictionary_ + 1 >= list_.count()) return;
  Members& m = members_[static_cast<std::size_t>(dictionary_)];
  m.keys.clear();
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  spans.reserve(order_.size());
  for (const std::uint32_t e : order_) {
    const std::size_t at = m.keys.size();
    m.keys.resize(at + entries_[e].textLength);
    const std::size_t n = memberKey(std::string_view(texts_).substr(entries_[e].text, entries_[e].textLength),
                                    enumerated_, m.keys.data() + at);
    m.keys.resize(at + n);
    spans.emplace_back(at, n);
  }
  m.set.reserve(spans.size());
  for (const auto& [at, n] : spans) m.set.insert(std::string_view(m.keys).substr(at, n));
}

bool PhraseAnagramSearch::Impl::startPlacement() {
  if (placement_ >= placements_.size()) return false;
  const std::size_t groups = groups_.size();
  const int maxLevels = enumerated_ ? static_cast<int>(enumWords_.size()) + 1 : query_.maxWords + 1;
  levels_ = std::min(maxLevels, kFilteredLevels);
  levelSize_ = groups;
  // Allocated once per dictionary: the same sizes serve every placement.
  if (placement_ == 0) {
    lists_.assign(static_cast<std::size_t>(levels_) * std::max<std::size_t>(groups, 1), 0);
    stack_.clear();
    stack_.reserve(static_cast<std::size_t>(maxLevels) + 1);
    takes_.assign((static_cast<std::size_t>(maxLevels) + 1) * 256, 0);
    const std::size_t longest = std::max<std::size_t>(pinnedText_.size(), 2 * kMaxPhraseLetters) + 1;
    std::size_t longestEntry = longest;
    for (const Entry& e : entries_) longestEntry = std::max<std::size_t>(longestEntry, e.textLength + 1);
    keyScratch_.assign(longestEntry, 0);
    phraseScratch_.assign(static_cast<std::size_t>(maxLevels) + 1, 0);
  }
  rem_ = need_;
  wild_ = needWild_;
  left_ = needWild_;
  for (const int l : needLetters_) left_ += need_[l];
  stack_.clear();
  // The root's source is every group, in order.
  for (std::size_t i = 0; i < groups; ++i) lists_[i] = static_cast<std::uint32_t>(i);
  phase_ = Phase::Search;
  long long work = 0;
  if (!enumerated_ && left_ == 0) {
    // The pinned entry alone uses every letter.
    pinnedAlone_ = true;
    return true;
  }
  if (enumerated_ && placements_[placement_] == 0) {
    Frame f{};
    f.pinned = true;
    f.end = static_cast<std::uint32_t>(groups);
    f.chosen = kNone;
    f.anchor = -1;
    stack_.push_back(f);
    return true;
  }
  // Root: filtered in place over the identity list.
  pushFrame(lists_.data(), groups, 0, 0, 0, -1, 0, work);
  return true;
}

void PhraseAnagramSearch::Impl::apply(std::size_t level, std::uint32_t id) {
  stack_[level].chosen = id;
  if (id == kPinnedGroup) return;  // its letters were taken at the start
  const Group& g = groups_[id];
  const std::uint8_t* r = runs_.data() + g.runs;
  std::uint8_t* takes = takes_.data() + level * 256;
  for (int i = 0; i < g.runCount; ++i, r += 2) {
    const int t = std::min<int>(r[1], rem_[r[0]]);
    rem_[r[0]] -= t;
    wild_ -= r[1] - t;
    takes[i] = static_cast<std::uint8_t>(t);
  }
  left_ -= g.letters;
}

void PhraseAnagramSearch::Impl::undo(std::size_t level) {
  const std::uint32_t id = stack_[level].chosen;
  if (id == kPinnedGroup || id == kNone) return;
  const Group& g = groups_[id];
  const std::uint8_t* r = runs_.data() + g.runs;
  const std::uint8_t* takes = takes_.data() + level * 256;
  for (int i = 0; i < g.runCount; ++i, r += 2) {
    rem_[r[0]] += takes[i];
    wild_ += r[1] - takes[i];
  }
  left_ += g.letters;
}

bool PhraseAnagramSearch::Impl::pushChild(long long& work) {
  const Frame& f = stack_.back();
  const int level = static_cast<int>(stack_.size());
  if (enumerated_) {
    const int next = f.position + (f.chosen == kPinnedGroup ? pinnedWords_ : groups_[f.chosen].shapeWords);
    if (placements_[placement_] == next) {
      Frame c{};
      c.begin = f.begin;
      c.end = f.end;
      c.pinned = true;
      c.position = next;
      c.chosen = kNone;
      c.anchor = -1;
      stack_.push_back(c);
      return true;
    }
    return pushFrame(lists_.data() + f.begin, f.end - f.begin, level, next, 0, -1, 0, work);
  }
  // Groups before the chosen one that hold the anchor letter were tried
  // for it already: a set holding one of them was listed in its branch.
  if (f.anchor >= 0) return pushFrame(lists_.data() + f.begin, f.end - f.begin, level, 0, 0, f.anchor, f.chosen, work);
  return pushFrame(lists_.data() + f.begin, f.end - f.begin, level, 0, f.chosen, -1, 0, work);
}

bool PhraseAnagramSearch::Impl::pushFrame(const std::uint32_t* source, std::size_t count, int level, int position,
                                          std::uint32_t minGroup, int banLetter, std::uint32_t banBefore,
                                          long long& work) {
  Frame c{};
  c.chosen = kNone;
  c.position = position;
  c.minGroup = minGroup;
  c.anchor = -1;
  if (level >= levels_) {
    // Too deep for a list of its own: the parent's, tested as it goes.
    c.begin = static_cast<std::uint32_t>(source - lists_.data());
    c.end = c.begin + static_cast<std::uint32_t>(count);
    c.cursor = c.begin;
    c.filtered = false;
    stack_.push_back(c);
    return true;
  }
  // Which groups can still take part: they fit, and what they leave can
  // still be made with the words that are left.
  const int wordsAfter = wordsChosen() + 1;
  const int shortest = enumerated_ ? 1 : query_.shortest;
  const bool last = !enumerated_ && wordsAfter >= query_.maxWords;
  const bool mayEnd = enumerated_ || wordsAfter >= query_.minWords;
  for (const int l : needLetters_) freq_[static_cast<std::size_t>(l)] = 0;
  std::uint32_t* out = lists_.data() + static_cast<std::size_t>(level) * levelSize_;
  std::uint32_t* const outStart = out;
  // Only the lengths that can follow: all that is left for the last word.
  const int fewest = last ? left_ : shortest;
  const std::uint32_t* const sourceEnd = source + count;
  source = std::partition_point(source, sourceEnd, [&](std::uint32_t id) { return groups_[id].letters < fewest; });
  count = static_cast<std::size_t>(
      std::partition_point(source, sourceEnd, [&](std::uint32_t id) { return groups_[id].letters <= left_; }) - source);
  work += static_cast<long long>(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t id = source[i];
    const Group& g = groups_[id];
    const int rest = left_ - g.letters;
    if (rest < 0) continue;
    if (rest == 0 ? !mayEnd : (last || rest < shortest)) continue;
    if (id < minGroup) continue;
    if (!fits(g)) continue;
    if (banLetter >= 0 && id < banBefore && holds(g, banLetter)) continue;
    *out++ = id;
    const std::uint8_t* r = runs_.data() + g.runs;
    for (int k = 0; k < g.runCount; ++k, r += 2) ++freq_[r[0]];
  }
  // The remaining letter the fewest groups hold; none at all ends the branch.
  int anchor = -1;
  for (const int l : needLetters_) {
    if (rem_[static_cast<std::size_t>(l)] == 0) continue;
    if (freq_[static_cast<std::size_t>(l)] == 0) return false;
    if (anchor < 0 || freq_[static_cast<std::size_t>(l)] < freq_[static_cast<std::size_t>(anchor)]) anchor = l;
  }
  if (out == outStart) return false;
  c.begin = static_cast<std::uint32_t>(outStart - lists_.data());
  c.end = static_cast<std::uint32_t>(out - lists_.data());
  c.cursor = c.begin;
  c.filtered = true;
  if (!enumerated_) c.anchor = anchor;
  // With an anchor, the order constraint of wildcard-only levels is off.
  if (anchor >= 0) c.minGroup = 0;
  stack_.push_back(c);
  return true;
}

bool PhraseAnagramSearch::Impl::isDuplicate(const std::uint32_t* parts, int count) const {
  if (multiple_ != UserOptions::kSuppressDuplicates) return false;
  for (int k = 0; k < dictionary_; ++k) {
    const auto& set = members_[static_cast<std::size_t>(k)].set;
    if (set.empty()) continue;
    bool all = true;
    for (int i = 0; i < count && all; ++i) {
      if (parts[i] == kPinnedGroup) continue;
      const Entry& e = entries_[parts[i]];
      const std::size_t n =
          memberKey(std::string_view(texts_).substr(e.text, e.textLength), enumerated_, keyScratch_.data());
      all = set.contains(std::string_view(keyScratch_.data(), n));
    }
    if (all) return true;
  }
  return false;
}

bool PhraseAnagramSearch::Impl::firstSplit(std::string_view text, const std::uint32_t* starts, int n) const {
  if (!multiword_) return true;
  // The line's tokens, between its spaces and hyphens.
  tokens_ = 0;
  tokenStart_[0] = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != ' ' && text[i] != '-') continue;
    if (tokens_ + 1 == kMaxTokens) return true;
    tokenStart_[static_cast<std::size_t>(++tokens_)] = static_cast<std::uint32_t>(i + 1);
  }
  ++tokens_;
  tokenStart_[static_cast<std::size_t>(tokens_)] = static_cast<std::uint32_t>(text.size() + 1);
  splitText_ = text;
  // The first split, longest first part first, must be this one.
  if (!splitFrom(0, 0, false, {})) return true;
  int token = 0;
  for (int i = 0; i < n; ++i) {
    if (tokenStart_[static_cast<std::size_t>(token)] != starts[i]) return false;
    token = splitEnd_[static_cast<std::size_t>(i)];
  }
  return token == tokens_ && tokenStart_[static_cast<std::size_t>(token)] == starts[n];
}

bool PhraseAnagramSearch::Impl::splitFrom(int token, int parts, bool pinnedUsed, std::string_view previous) const {
  if (token == tokens_) {
    return pinnedUsed == pinnedActive_ && (enumerated_ || (parts >= query_.minWords && parts <= query_.maxWords));
  }
  if (!enumerated_ && parts == query_.maxWords) return false;
  if (parts == kMaxTokens) return false;
  const std::uint32_t from = tokenStart_[static_cast<std::size_t>(token)];
  for (int end = tokens_; end > token; --end) {
    const std::string_view part = splitText_.substr(from, tokenStart_[static_cast<std::size_t>(end)] - 1 - from);
    // Without an enumeration the parts are in order.
    if (!enumerated_ && parts > 0 && entryBefore(part, previous)) continue;
    splitEnd_[static_cast<std::size_t>(parts)] = end;
    if (pinnedActive_ && !pinnedUsed && part == pinnedText_ && splitFrom(end, parts + 1, true, part)) return true;
    if (entryTexts_.contains(part) && splitFrom(end, parts + 1, pinnedUsed, part)) return true;
  }
  return false;
}

void PhraseAnagramSearch::Impl::beginEmit() {
  // The chosen groups; without an enumeration, in group order so that the
  // entries of a repeated group are chosen as a combination.
  int n = 0;
  for (const Frame& f : stack_) slots_[static_cast<std::size_t>(n++)] = f.chosen;
  if (!enumerated_ && pinnedActive_) slots_[static_cast<std::size_t>(n++)] = kPinnedGroup;
  if (!enumerated_) std::sort(slots_.begin(), slots_.begin() + n);
  slotCount_ = n;
  for (int i = 0; i < n; ++i)
    pick_[static_cast<std::size_t>(i)] = tiedSlot(i) ? pick_[static_cast<std::size_t>(i - 1)] : 0;
  emitting_ = true;
}

bool PhraseAnagramSearch::Impl::emitSome(PhraseBatch& out, long long& work, long long budget) {
  const auto& slots = slots_;
  auto& pick = pick_;
  const int n = slotCount_;
  const auto tied = [&](int i) { return tiedSlot(i); };
  const auto entryCount = [&](int i) {
    const std::uint32_t s = slots[static_cast<std::size_t>(i)];
    return s == kPinnedGroup ? 1u : groups_[s].entryCount;
  };
  const int pinnedAt = enumerated_ ? placements_[placement_] : -1;
  std::uint32_t* parts = phraseScratch_.data();
  std::string& text = out.text();
  while (work < budget) {
    ++work;
    bool skip = false;
    int position = 0;
    for (int i = 0; i < n; ++i) {
      const std::uint32_t s = slots[static_cast<std::size_t>(i)];
      parts[i] = s == kPinnedGroup ? kPinnedGroup : order_[groups_[s].firstEntry + pick[static_cast<std::size_t>(i)]];
      if (enumerated_ && s != kPinnedGroup) {
        // A pinned entry placed later that this entry could have been is
        // listed with the earlier placement.
        if (pinnedActive_ && position < pinnedAt && groups_[s].shapeWords == pinnedWords_) {
          const Entry& e = entries_[parts[i]];
          if (compareFolded(std::string_view(texts_).substr(e.text, e.textLength), pinnedText_) == 0) skip = true;
        }
        position += groups_[s].shapeWords;
      } else if (enumerated_) {
        position += pinnedWords_;
      }
    }
    const auto partText = [&](std::uint32_t p) {
      if (p == kPinnedGroup) return std::string_view(pinnedText_);
      return std::string_view(texts_).substr(entries_[p].text, entries_[p].textLength);
    };
    if (!skip && !isDuplicate(parts, n)) {
      if (!enumerated_) {
        std::sort(parts, parts + n,
                  [&](std::uint32_t a, std::uint32_t b) { return entryBefore(partText(a), partText(b)); });
      }
      const std::size_t at = text.size();
      std::array<std::uint32_t, kMaxShapeWords + 2> starts{};
      int word = 0;
      for (int i = 0; i < n; ++i) {
        starts[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(text.size() - at + (i > 0 ? 1 : 0));
        if (i > 0) {
          const bool hyphen =
              enumerated_ && enumWords_[static_cast<std::size_t>(word - 1)].after == EnumerationBreak::Hyphen;
          text += hyphen ? '-' : ' ';
        }
        text += partText(parts[i]);
        if (enumerated_) {
          const std::uint32_t s = slots[static_cast<std::size_t>(i)];
          word += s == kPinnedGroup ? pinnedWords_ : groups_[s].shapeWords;
        }
      }
      starts[static_cast<std::size_t>(n)] = static_cast<std::uint32_t>(text.size() - at + 1);
      if (!firstSplit(std::string_view(text).substr(at), starts.data(), n)) {
        text.resize(at);
      } else {
        PhraseRank score;
        if (query_.scored) {
          for (int k = 0; k < n; ++k) {
            const std::uint32_t p = parts[k];
            partScratch_[static_cast<std::size_t>(k)] = {partText(p), p == kPinnedGroup ? kNoScore : entries_[p].score};
          }
          score = phraseRank(partScratch_.data(), n, pairs_.get());
        }
        out.add(at, dictionary_, score);
        ++found_;
      }
    }
    // The next choice of entries.
    int i = n - 1;
    while (i >= 0 && ++pick[static_cast<std::size_t>(i)] >= entryCount(i)) --i;
    if (i < 0) {
      emitting_ = false;
      return true;
    }
    for (int k = i + 1; k < n; ++k)
      pick[static_cast<std::size_t>(k)] = tied(k) ? pick[static_cast<std::size_t>(k - 1)] : 0;
  }
  return false;
}

PhraseAnagramSearch::PhraseAnagramSearch(const DictionaryList& dictionaries, PhraseAnagramQuery query,
                                         int multipleDictionaries, int active)
    : impl_(std::make_unique<Impl>(dictionaries, std::move(query), multipleDictionaries, active)) {}

PhraseAnagramSearch::~PhraseAnagramSearch() = default;

PhraseAnagramSearch::Step PhraseAnagramSearch::step(long long work, PhraseBatch& out) { return impl_->step(work, out); }

int PhraseAnagramSearch::currentDictionary() const { return impl_->currentDictionary(); }
int PhraseAnagramSearch::incompleteDictionary() const { return impl_->incompleteDictionary(); }
ListProblem PhraseAnagramSearch::problem() const { return impl_->problem(); }
long long PhraseAnagramSearch::phrasesFound() const { return impl_->found(); }

}  // namespace kea
