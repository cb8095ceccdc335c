#include "search/SearchController.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "dictionary/DictionaryList.h"
#include "fulltext/DefinitionRetriever.h"
#include "meaning/MeaningQuery.h"
#include "platform/Cp1252.h"
#include "settings/UserOptions.h"

namespace kea {

std::atomic<bool> SearchController::lowMemory_{false};

namespace {

using Control = SearchHost::Control;
using LengthBox = SearchHost::LengthBox;

std::uint64_t steadyMilliseconds() {
  static const auto start = std::chrono::steady_clock::now();
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
}

}  // namespace

SearchController::SearchController(SearchWorkspace& workspace, SearchHost& host, Clock clock)
    : workspace_(workspace), host_(host), clock_(clock ? std::move(clock) : Clock(steadyMilliseconds)) {}

SearchController::~SearchController() = default;

const UserOptions& SearchController::options() const { return workspace_.options(); }

const DictionaryList* SearchController::dictionaries() const { return workspace_.dictionaries(); }

LengthOrder SearchController::lengthOrder() const {
  return {options().viewLengthGrouping, options().viewLengthGroupingSense};
}

LengthPlan SearchController::planGroup(OutputGroup& group) {
  return planLengths(group.engineSet, fullTextMode(), lengthOrder(), host_.lengthBox(LengthBox::Shortest),
                     host_.lengthBox(LengthBox::Longest));
}

// ---------------------------------------------------------------------------
// Operations of the view

void SearchController::dictionariesChanged() {
  if (state_ == SearchState::Searching || state_ == SearchState::Closing) return;
  freeSearchers();
  currentDictionary_ = -1;
  groups_.clear();
  if (const DictionaryList* list = dictionaries()) {
    for (int i = 0; i < list->count(); ++i) groups_.push_back(std::make_unique<OutputGroup>());
  }
  relabelGroups();
  validate();
}

// A paused search cannot go on over a changed list: every change below
// ends it (validation then leaves the state Ready or Invalid).
void SearchController::dictionaryAdded() {
  if (state_ == SearchState::Searching || state_ == SearchState::Closing) return;
  freeSearchers();
  currentDictionary_ = -1;
  const DictionaryList* list = dictionaries();
  const int wanted = list == nullptr ? 0 : list->count();
  while (groupCount() < wanted) groups_.push_back(std::make_unique<OutputGroup>());
  relabelGroups();
  validate();
}

void SearchController::dictionaryClosed(int index) {
  if (state_ == SearchState::Searching || state_ == SearchState::Closing) return;
  freeSearchers();
  currentDictionary_ = -1;
  if (index >= 0 && index < groupCount()) groups_.erase(groups_.begin() + index);
  relabelGroups();
  validate();
}

void SearchController::dictionariesSwapped(int first, int second) {
  if (state_ == SearchState::Searching || state_ == SearchState::Closing) return;
  freeSearchers();
  currentDictionary_ = -1;
  if (first >= 0 && second >= 0 && first < groupCount() && second < groupCount()) {
    std::swap(groups_[static_cast<std::size_t>(first)], groups_[static_cast<std::size_t>(second)]);
  }
  relabelGroups();
  validate();
}

void SearchController::relabelGroups() {
  const DictionaryList* list = dictionaries();
  for (int i = 0; i < groupCount(); ++i) {
    group(i).label.setName(i, list != nullptr && i < list->count() ? list->name(i) : std::string());
    host_.labelChanged(i);
  }
}

void SearchController::patternChanged() {
  if (state_ == SearchState::Searching || state_ == SearchState::Closing) return;
  pattern_ = host_.patternText();
  if (checkDictionaries()) validate();
}

bool SearchController::resultsStale(int i) const {
  if (i < 0 || i >= groupCount() || state_ == SearchState::Searching) return false;
  const OutputGroup& g = group(i);
  return g.list.count() > 0 && g.pattern != pattern_;
}

void SearchController::patternUnusable(std::string_view message) {
  if (state_ == SearchState::Searching || state_ == SearchState::Closing) return;
  host_.setStatus(message);
  setState(SearchState::Invalid);
}

void SearchController::lengthChanged(LengthBox box) {
  if (state_ == SearchState::Closing) return;
  const auto clampInto = [this](LengthBox b) {
    const int value = host_.lengthBox(b);
    const int clamped = std::clamp(value, 1, kkd::kMaxWordLength);
    if (clamped != value) host_.setLengthBox(b, clamped);
    return clamped;
  };
  const int value = clampInto(box);
  if (box == LengthBox::Longest) {
    if (clampInto(LengthBox::Shortest) > value) host_.setLengthBox(LengthBox::Shortest, value);
  } else {
    if (clampInto(LengthBox::Longest) < value) host_.setLengthBox(LengthBox::Longest, value);
  }
  if (state_ == SearchState::Searching) return;
  if (checkDictionaries()) validate();
}

void SearchController::setMode(SearchMode mode) {
  if (state_ == SearchState::Searching || state_ == SearchState::Closing) return;
  mode_ = mode;
  validate();
}

bool SearchController::lookUpFullTextHit(int index, std::uint32_t reference, Definition& out) {
  if (!checkDictionaries()) return false;
  const DictionaryList* list = dictionaries();
  if (list == nullptr || index < 0 || index >= groupCount() || index >= list->count()) return false;
  // checkDictionaries() has opened again every dictionary whose file
  // changed, so its stamp now is the file's.
  if (group(index).stamp != dictionaryStamp(*list->dictionary(index))) {
    host_.messageBox(texts::kDictionaryChanged, texts::kDictionaryChangedCaption, SearchHost::Buttons::Ok,
                     SearchHost::Icon::None);
    return false;
  }
  DefinitionRetriever retriever(*list, index);
  Definition record;
  if (!retriever.read(reference, record)) return false;
  record.dictionaryIndex = index;
  out = std::move(record);
  return true;
}

void SearchController::cancel() {
  if (state_ == SearchState::Searching) pause();
}

// The loop's end of a pause: the count is brought up to date and the focus
// leaves the button whose label just changed.
void SearchController::pause() {
  setState(SearchState::Paused);
  if (currentDictionary_ >= 0 && currentDictionary_ < groupCount()) showCount(currentDictionary_);
  if (host_.focus() == Control::SearchButton) host_.setFocus(Control::PatternBox);
}

void SearchController::close() { setState(SearchState::Closing); }

bool SearchController::checkDictionaries() {
  const DictionaryList* list = dictionaries();
  if (list == nullptr) return true;
  bool anyShown = false;
  for (int i = list->count() - 1; i >= 0; --i) {
    if (list->isUsable(i)) continue;
    const DictionaryList::Dictionary* d = list->dictionary(i);
    host_.messageBox(list->path(i) + std::string(texts::kNoLongerValid) + dictionaryProblemDetail(d->problem()),
                     texts::kDictionaryInvalidatedCaption,
                     SearchHost::Buttons::Ok, SearchHost::Icon::Exclamation);
    anyShown = true;
  }
  if (!anyShown) return true;
  validate();
  return false;
}

void SearchController::validate() {
  if (state_ == SearchState::Searching || state_ == SearchState::Closing) return;
  const DictionaryList* list = dictionaries();
  if (list == nullptr || list->count() == 0 || groups_.empty()) {
    host_.setStatus(host_.loadString(strings::kNoDictionary));
    setState(SearchState::Invalid);
    return;
  }
  // The enumeration box, for word searches and phrase anagrams.
  std::optional<Enumeration> enumeration;
  if (mode_ != SearchMode::FullText) {
    const std::string text = host_.enumerationText();
    if (text.find_first_not_of(" \t") != std::string::npos) {
      enumeration = parseEnumeration(text);
      if (!enumeration->valid()) {
        host_.setStatus(enumerationErrorText(enumeration->error));
        setState(SearchState::Invalid);
        return;
      }
    }
  }
  if (mode_ == SearchMode::PhraseAnagram) {
    validatePhrases(enumeration);
    return;
  }
  const UserOptions& o = options();
  std::string expanded = expandMacros(pattern_, o.expansionAt, o.expansionHash);
  if (enumeration) expanded = withEnumeration(*enumeration, expanded);
  const int shortest = host_.lengthBox(LengthBox::Shortest);
  const int longest = host_.lengthBox(LengthBox::Longest);

  bool valid = true;
  bool anyWords = false;
  const int count = std::min(list->count(), groupCount());
  for (int i = 0; i < count && valid; ++i) {
    OutputGroup& g = group(i);
    g.plan = LengthPlan();
    const DictionaryList::Dictionary* d = list->dictionary(i);
    if (d == nullptr || !list->isUsable(i)) {
      valid = false;
      break;
    }
    const PatternStatus status = g.engineSet.parseExpression(d->alphabet(), expanded, shortest, longest,
                                                             o.ignoreUnusedPunctuation, o.variablesExclusive);
    if (status != PatternStatus::Valid) {
      std::string text;
      if (status != PatternStatus::Empty) text = list->name(i) + ": ";
      text += host_.loadString(strings::kPatternValid + static_cast<int>(status));
      host_.setStatus(text);
      valid = false;
      break;
    }
    g.plan = planGroup(g);
    switch (g.plan.code) {
      case LengthPlan::kPlanned:
        for (int n = g.plan.shortest; n <= g.plan.longest && !anyWords; ++n) anyWords = list->wordCount(i, n) > 0;
        break;
      case LengthPlan::kIncompatibleLengths:
        host_.setStatus(host_.loadString(strings::kIncompatibleLengths));
        valid = false;
        break;
      case LengthPlan::kOutsideSettings:
        host_.setStatus(host_.loadString(strings::kSettingsStopPattern));
        valid = false;
        break;
      default:
        break;
    }
  }
  if (valid && !fullTextMode() && !anyWords) {
    host_.setStatus(host_.loadString(strings::kNoWordsOfLength));
    valid = false;
  }
  if (valid && ranksByMeaning() && meaningTerms(meaning_).empty()) {
    host_.setStatus(std::string(texts::kMeaningHasNoWords));
    valid = false;
  }
  setState(valid ? SearchState::Ready : SearchState::Invalid);
}

void SearchController::setMeaning(std::string_view libraryText) {
  if (meaning_ == libraryText) return;
  meaning_.assign(libraryText);
  if (state_ == SearchState::Paused) setState(SearchState::Ready);
  validate();
}

bool SearchController::ranksByMeaning() const {
  return mode_ == SearchMode::Word && meaning_.find_first_not_of(" \t") != std::string::npos;
}

std::vector<std::string> SearchController::meaningMatches(int index, std::string_view word) const {
  if (index < 0 || index >= groupCount()) return {};
  const OutputGroup& g = group(index);
  if (!g.meaning) return {};
  const auto it = g.meaningPlaces.find(std::string(word));
  if (it == g.meaningPlaces.end()) return {};
  return g.meaning->matchedWords(it->second.first, it->second.second);
}

namespace {
// Ranks are kept in the list as whole hundredths above this floor, which
// no rank comes near.
constexpr double kMeaningRankFloor = -1000.0;
}  // namespace

int SearchController::meaningListRank(double rank) {
  const double value = std::round((rank - kMeaningRankFloor) * 100.0);
  return static_cast<int>(std::clamp(value, 0.0, 2.0e9));
}

double SearchController::meaningRankOf(int listRank) { return listRank / 100.0 + kMeaningRankFloor; }

void SearchController::setState(SearchState state) {
  const bool changed = state != state_;
  if (state < SearchState::Closing) {
    std::string_view label;
    switch (state) {
      case SearchState::Searching:
        label = texts::kStopLabel;
        break;
      case SearchState::Paused:
        label = texts::kResumeLabel;
        break;
      default:
        label = mode_ == SearchMode::FullText        ? texts::kFullTextSearchLabel
                : mode_ == SearchMode::PhraseAnagram ? texts::kPhraseSearchLabel
                                                     : texts::kWordSearchLabel;
        break;
    }
    host_.setSearchButtonLabel(label);
  }
  if (state != state_) {
    state_ = state;
    if (state < SearchState::Closing) {
      host_.enableControl(Control::SearchButton, state != SearchState::Invalid);
      const bool editable = state != SearchState::Searching;
      for (const Control c : {Control::PatternBox, Control::ShortestBox, Control::LongestBox,
                              Control::SearchModeButton, Control::EnumerationBox, Control::ResultsArea,
                              Control::OptionsWindow}) {
        host_.enableControl(c, editable);
      }
    }
  }
  switch (state) {
    case SearchState::Invalid:
      progress_.clear();
      host_.progressChanged();
      break;
    case SearchState::Ready:
      freeSearchers();
      currentDictionary_ = -1;
      break;
    case SearchState::Searching:
      host_.setStatus(host_.loadString(strings::kSearching));
      break;
    case SearchState::Paused:
    case SearchState::Closing:
      break;
  }
  if (state == SearchState::Ready || state == SearchState::Paused) {
    // The bar shows the lengths the pattern can match in the active
    // dictionary, with nothing filled.
    resetProgress(workspace_.activeDictionary(), 0, 0);
    host_.setStatus(host_.loadString(state == SearchState::Ready ? strings::kPatternValid : strings::kSearchingPaused));
  }
  if (changed) host_.searchStateChanged();
}

void SearchController::searchClicked() {
  if (state_ == SearchState::Searching) {
    pause();
    return;
  }
  if (state_ != SearchState::Ready && state_ != SearchState::Paused) return;
  if (!checkDictionaries()) return;
  host_.setStatus(host_.loadString(strings::kSingleSpace));
  const SearchState previous = state_;
  setState(SearchState::Searching);

  if (previous == SearchState::Ready) {
    if (host_.historyCount() == 0 || host_.historyItem(0) != pattern_) host_.insertHistory(pattern_);
    rankingByMeaning_ = ranksByMeaning();
    // The box may change while the search runs; the search keeps its meaning.
    searchMeaning_ = meaning_;
    advanceDictionary();
    const UserOptions& o = options();
    const int order = mode_ == SearchMode::PhraseAnagram ? phraseListOrder(o)
                      : rankingByMeaning_
                          ? ResultsList::kCommonFirst
                          : listOrder(o, groups_.empty() ? 1 : groups_.front()->engineSet.preferredOrder());
    const bool activeOnly = o.viewMultipleDictionaries == UserOptions::kActiveDictionaryOnly;
    const int active = workspace_.activeDictionary();
    for (int i = 0; i < groupCount(); ++i) {
      if (activeOnly && i != active) continue;
      OutputGroup& g = group(i);
      g.pattern = pattern_;
      g.problem = ListProblem::None;
      g.label.setCount(0);
      host_.labelChanged(i);
      g.list.setDeferredOrder(listsSortedAtEnd_);
      g.list.clear();
      // Lists whose rows move cannot answer contains() by binary search.
      const bool keepIndex = o.viewMultipleDictionaries == UserOptions::kSuppressDuplicates &&
                             (!o.viewSorting || o.viewCommonFirst || rankingByMeaning_) && i + 1 < groupCount();
      g.list.setOrder(order, keepIndex);
    }
  }
  lastShownCount_ = 0;
  progressStale_ = true;
  host_.setFocus(Control::SearchButton);
}

SearchController::Step SearchController::step(int units) {
  int done = 0;
  while (state_ == SearchState::Searching) {
    if (currentDictionary_ == -1) {
      finishSearch();
      break;
    }
    // A group's end leads straight on to the next group, without a poll.
    const Unit unit = mode_ == SearchMode::FullText        ? fullTextUnit()
                      : mode_ == SearchMode::PhraseAnagram ? phraseUnit()
                                                           : wordUnit();
    if (unit == Unit::GroupDone) continue;
    if (!poll()) break;
    if (++done >= units) return Step::More;
  }
  return Step::Finished;
}

bool SearchController::poll() {
  const std::uint64_t now = clock_();
  if (now < lastCountUpdate_ || now - lastCountUpdate_ > kCountRefreshMs) {
    lastCountUpdate_ = now;
    if (currentDictionary_ >= 0 && currentDictionary_ < groupCount()) {
      OutputGroup& g = group(currentDictionary_);
      if (g.list.count() > lastShownCount_) {
        lastShownCount_ = g.list.count();
        showCount(currentDictionary_);
      }
    }
  }
  if (lowMemory_.exchange(false)) {
    pause();
    return false;
  }
  return true;
}

std::optional<SearchController::LookupSubject> SearchController::lookupSubject() {
  LookupSubject subject;
  if (host_.focus() == Control::PatternBox) {
    subject.word = host_.patternSelection();
    if (subject.word.empty()) subject.word = host_.patternText();
    if (subject.word.empty()) return std::nullopt;
    return subject;
  }
  const int active = workspace_.activeDictionary();
  if (active < 0 || active >= groupCount()) return std::nullopt;
  const ResultsList& list = group(active).list;
  const int row = host_.resultsSelection(active).onlyRow();
  if (row < 0) return std::nullopt;
  const ResultsList::Entry* entry = list.entryAt(row);
  if (entry == nullptr) return std::nullopt;
  subject.word = entry->word();
  subject.rest = entry->rest();
  subject.group = active;
  subject.reference = entry->reference();
  if (const DictionaryList* dictionaryList = dictionaries(); dictionaryList != nullptr && active < dictionaryList->count()) {
    subject.dictionaryPath = dictionaryList->path(active);
  }
  return subject;
}

int SearchController::resultCount() const {
  long long total = 0;
  for (const auto& g : groups_) total += g->list.count();
  return static_cast<int>(std::min<long long>(total, ResultsList::kMaxCount));
}

// ---------------------------------------------------------------------------
// The search

void SearchController::freeSearchers() {
  phraseSearch_.reset();
  inputEngine_.reset();
  indexedTextSearch_.reset();
  sequentialTextSearch_.reset();
}

void SearchController::advanceDictionary() {
  freeSearchers();
  progressStale_ = true;
  if (mode_ == SearchMode::PhraseAnagram) {
    // One search goes through every dictionary in turn; it starts here and
    // ends the whole search when it finishes.
    if (currentDictionary_ != -1) {
      currentDictionary_ = -1;
      return;
    }
    const UserOptions& o = options();
    phraseSearch_ = std::make_unique<PhraseAnagramSearch>(*dictionaries(), phraseQuery_, o.viewMultipleDictionaries,
                                                          workspace_.activeDictionary());
    currentDictionary_ = std::max(0, o.viewMultipleDictionaries == UserOptions::kActiveDictionaryOnly
                                         ? workspace_.activeDictionary()
                                         : 0);
    return;
  }
  const bool activeOnly = options().viewMultipleDictionaries == UserOptions::kActiveDictionaryOnly;
  int candidate;
  if (currentDictionary_ == -1) {
    candidate = activeOnly ? workspace_.activeDictionary() : 0;
  } else {
    candidate = activeOnly ? -1 : currentDictionary_ + 1;
  }
  while (candidate >= 0 && candidate < groupCount()) {
    currentDictionary_ = candidate;
    if (fullTextMode() ? prepareFullTextSearch(candidate) : prepareWordSearch(candidate)) return;
    candidate = activeOnly ? -1 : candidate + 1;
  }
  currentDictionary_ = -1;
}

bool SearchController::prepareWordSearch(int index) {
  const DictionaryList* list = dictionaries();
  if (list == nullptr || index >= list->count()) return false;
  OutputGroup& g = group(index);
  inputEngine_ = std::make_unique<WordCursor>(*list, index);
  g.scores = list->dictionary(index)->entryScores();
  g.meaningPlaces.clear();
  g.meaning = rankingByMeaning_ ? std::make_unique<MeaningQuery>(list->dictionary(index)->meaningIndex(), searchMeaning_)
                                : nullptr;
  g.plan = planGroup(g);
  g.length = g.plan.firstLength();
  if (startLength(*inputEngine_, g.engineSet, g.plan, g.length)) return true;
  g.problem = inputEngine_->problem();
  inputEngine_.reset();
  return false;
}

bool SearchController::prepareFullTextSearch(int index) {
  const DictionaryList* list = dictionaries();
  if (list == nullptr || index >= list->count() || !list->hasDefinitions(index)) return false;
  OutputGroup& g = group(index);
  // The index when it can answer the line, else a reading of the records.
  indexedTextSearch_ = std::make_unique<IndexedDefinitionSearch>(*list, index, g.engineSet, &g.stamp);
  if (indexedTextSearch_->answers()) {
    if (indexedTextSearch_->total() >= 1) return true;
    indexedTextSearch_.reset();
    return false;
  }
  indexedTextSearch_.reset();
  sequentialTextSearch_ = std::make_unique<SequentialDefinitionSearch>(*list, index, g.engineSet, &g.stamp);
  if (sequentialTextSearch_->total() >= 1) return true;
  sequentialTextSearch_.reset();
  return false;
}

void SearchController::finishSearch() {
  setState(SearchState::Ready);
  if (host_.focus() == Control::SearchButton) host_.setFocus(Control::PatternBox);
  const int incomplete = incompleteGroup();
  const DictionaryList* list = dictionaries();
  if (incomplete >= 0 && list != nullptr) {
    host_.setStatus(incompleteResultsText(list->name(incomplete), group(incomplete).problem, resultCount()));
  } else if (rankingByMeaning_) {
    long long ranked = 0;
    bool anyIndex = false;
    for (const auto& g : groups_) {
      ranked += static_cast<long long>(g->meaningPlaces.size());
      anyIndex = anyIndex || (g->meaning && g->meaning->hasIndex());
    }
    host_.setStatus(meaningResultsText(resultCount(), ranked, anyIndex));
  } else {
    host_.setStatus(resultsFoundText(resultCount()));
  }
}

int SearchController::incompleteGroup() const {
  for (int i = 0; i < groupCount(); ++i) {
    if (group(i).problem != ListProblem::None) return i;
  }
  return -1;
}

SearchController::Unit SearchController::wordUnit() {
  const int d = currentDictionary_;
  OutputGroup& g = group(d);
  WordCursor& engine = *inputEngine_;
  if (progressStale_) {
    resetProgress(d, g.length, engine.wordsExamined());
    progressStale_ = false;
  }
  const UserOptions& o = options();
  const bool filtering = !(o.outputLower && o.outputUpper && o.outputPunctuation && o.outputWhitespace);
  const bool suppress = o.viewMultipleDictionaries == UserOptions::kSuppressDuplicates;
  const Alphabet& alphabet = dictionaries()->dictionary(d)->alphabet();

  for (int budget = kRejectionBudget;;) {
    const WordBuffer* word = engine.next(g.engineSet);
    if (word != nullptr && word->key[0] == kkd::kNoIndex) {
      g.length += g.plan.step;
      if (!startLength(engine, g.engineSet, g.plan, g.length)) {
        g.problem = engine.problem();
        setProgressPosition(engine.wordsExamined());
        finishGroup(d);
        advanceDictionary();
        return Unit::GroupDone;
      }
      resetProgress(d, g.length, 0);
    } else if (word != nullptr) {
      const std::string_view text = engine.text();
      const int score = entryScore(g, engine);
      bool rejected = (filtering && !classShown(classify(text, g.length, alphabet), o)) || !scoreShown(score, o);
      for (int earlier = 0; suppress && !rejected && earlier < d; ++earlier) {
        rejected = group(earlier).list.contains(text);
      }
      if (rejected && budget > 0) {
        --budget;
        continue;
      }
      if (!rejected) addMatch(g, score);
    }
    setProgressPosition(engine.wordsExamined());
    return Unit::Poll;
  }
}

SearchController::Unit SearchController::fullTextUnit() {
  const int d = currentDictionary_;
  OutputGroup& g = group(d);
  std::int64_t position = 0, total = 0;
  bool finished = true;
  if (indexedTextSearch_) {
    IndexedDefinitionSearch& search = *indexedTextSearch_;
    if (progressStale_) {
      search.progress(position, total);
      resetFullTextProgress(position, total);
      progressStale_ = false;
    }
    Definition hit;
    finished = !search.next(hit);
    search.progress(position, total);
    setProgressPosition(position);
    if (!finished) {
      addFullTextHit(g, hit.firstParts.empty() ? std::string_view() : std::string_view(hit.firstParts[0]),
                     hit.secondParts.empty() ? std::string_view() : std::string_view(hit.secondParts[0]), hit.offset);
    }
  } else if (sequentialTextSearch_) {
    SequentialDefinitionSearch& search = *sequentialTextSearch_;
    if (progressStale_) {
      search.progress(position, total);
      resetFullTextProgress(position, total);
      progressStale_ = false;
    }
    const SequentialDefinitionSearch::Step step = search.next(kFullTextSlice);
    search.progress(position, total);
    setProgressPosition(position);
    finished = step == SequentialDefinitionSearch::Step::Finished;
    if (step == SequentialDefinitionSearch::Step::Match) {
      addFullTextHit(g, search.firstHeadword(), search.secondHeadword(), search.recordOffset());
    }
  }
  if (!finished) return Unit::Poll;
  finishGroup(d);
  advanceDictionary();
  return Unit::GroupDone;
}

void SearchController::validatePhrases(const std::optional<Enumeration>& enumeration) {
  PhraseAnagramQuery query;
  query.letters = pattern_;
  // Single letters are entries of most word lists and would crowd out the
  // phrases: words have at least two letters unless the Shortest box asks
  // for more.
  query.shortest = std::max(2, host_.lengthBox(LengthBox::Shortest));
  query.enumeration = enumeration;
  query.scored = true;
  PhraseQueryError error = checkPhraseQuery(query);
  if (error == PhraseQueryError::Shortest || (error == PhraseQueryError::NoLetters && pattern_.empty())) {
    // An empty box asks for help, as the word search's does.
    host_.setStatus(host_.loadString(strings::kPatternValid + static_cast<int>(PatternStatus::Empty)));
    setState(SearchState::Invalid);
    return;
  }
  if (error != PhraseQueryError::None) {
    std::string text(phraseQueryErrorText(error));
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    host_.setStatus(text);
    setState(SearchState::Invalid);
    return;
  }
  phraseQuery_ = std::move(query);
  setState(SearchState::Ready);
}

SearchController::Unit SearchController::phraseUnit() {
  PhraseAnagramSearch& search = *phraseSearch_;
  if (progressStale_) {
    resetFullTextProgress(0, std::max(1, groupCount()));
    progressStale_ = false;
  }
  const UserOptions& o = options();
  const bool filtering = !(o.outputLower && o.outputUpper && o.outputPunctuation && o.outputWhitespace);
  phraseBatch_.clear();
  // A unit is a slice of the search small enough to keep the window
  // responsive; the phrases it finds go to their dictionaries' lists.
  const bool finished = search.step(kPhraseWork, phraseBatch_) == PhraseAnagramSearch::Step::Finished;
  const DictionaryList* list = dictionaries();
  for (int i = 0; i < phraseBatch_.count(); ++i) {
    const int d = phraseBatch_.dictionary(i);
    if (d < 0 || d >= groupCount()) continue;
    const std::string_view phrase = phraseBatch_.phrase(i);
    if (!scoreShown(phraseBatch_.score(i), o)) continue;
    if (filtering && list != nullptr && d < list->count()) {
      const int letters = countPhraseLetters(phrase).letters;
      if (!classShown(classify(phrase, letters, list->dictionary(d)->alphabet()), o)) continue;
    }
    // A full list refuses the entry; the search goes on.
    group(d).list.add(phrase, std::string_view(), std::string_view(), 0, phraseBatch_.score(i), phraseBatch_.rank(i));
  }
  const int now = search.currentDictionary();
  if (now != currentDictionary_ || finished) {
    // The dictionary that was searched is done: its count is final.
    if (currentDictionary_ >= 0 && currentDictionary_ < groupCount()) finishGroup(currentDictionary_);
    lastShownCount_ = 0;
  }
  if (finished) {
    for (int i = 0; i < groupCount(); ++i) showCount(i);
    const int incomplete = search.incompleteDictionary();
    if (incomplete >= 0 && incomplete < groupCount()) group(incomplete).problem = search.problem();
    phraseSearch_.reset();
    currentDictionary_ = -1;
    return Unit::GroupDone;
  }
  if (now >= 0) currentDictionary_ = now;
  setProgressPosition(std::max(0, currentDictionary_));
  return Unit::Poll;
}

void SearchController::addFullTextHit(OutputGroup& g, std::string_view first, std::string_view second,
                                    std::uint32_t reference) {
  // A full list refuses the entry; the search goes on.
  g.list.add(first, std::string_view(), second, reference);
}

int SearchController::entryScore(const OutputGroup& g, const WordCursor& engine) {
  // The cursor has counted every entry of the length up to this one.
  return g.scores != nullptr ? g.scores->score(g.length, static_cast<std::uint32_t>(engine.wordsExamined() - 1))
                             : kNoScore;
}

bool SearchController::scoreShown(int score, const UserOptions& o) {
  return score == kNoScore || score >= o.outputMinimumScore;
}

void SearchController::addMatch(OutputGroup& g, int score) {
  const UserOptions& o = options();
  const std::string_view annotation = o.viewShowAnnotations ? inputEngine_->annotation() : std::string_view();
  std::string balance;
  if (o.viewShowBalances) {
    balance = g.engineSet.balance();
    if (!balance.empty()) balance.insert(0, host_.loadString(strings::kSingleSpace));
  }
  if (g.meaning) {
    const std::string_view text = inputEngine_->text();
    const auto ordinal = static_cast<std::uint32_t>(inputEngine_->wordsExamined() - 1);
    const double relevance = g.meaning->relevance(g.length, ordinal);
    const double rank = g.meaning->rank(text, relevance, score);
    if (!g.list.add(text, annotation, balance, 0, score, meaningListRank(rank))) return;
    if (relevance > 0) g.meaningPlaces.try_emplace(std::string(text), g.length, ordinal);
    return;
  }
  // A full list refuses the entry; the search goes on.
  g.list.add(inputEngine_->text(), annotation, balance, 0, score);
}

void SearchController::showCount(int index) {
  OutputGroup& g = group(index);
  g.label.setCount(g.list.count());
  host_.labelChanged(index);
  g.list.refresh(true);
}

bool SearchController::orderChanged() {
  if (state_ != SearchState::Ready || resultCount() == 0) return false;
  for (int i = 0; i < groupCount(); ++i) {
    if (group(i).list.count() > 0 && group(i).pattern != pattern_) return false;
  }
  searchClicked();
  return true;
}

void SearchController::finishListOrders() {
  for (int i = 0; i < groupCount(); ++i) group(i).list.finishOrder();
}

void SearchController::finishGroup(int index) {
  group(index).list.finishOrder();
  showCount(index);
}

void SearchController::resetProgress(int dictionary, int length, std::int64_t position) {
  const DictionaryList* list = dictionaries();
  if (list == nullptr || dictionary < 0 || dictionary >= groupCount() || dictionary >= list->count()) {
    progress_.clear();
  } else {
    progress_.reset(*list, dictionary, group(dictionary).plan, length, position);
  }
  host_.progressChanged();
}

void SearchController::resetFullTextProgress(std::int64_t position, std::int64_t total) {
  progress_.resetFullText(position, total);
  host_.progressChanged();
}

void SearchController::setProgressPosition(std::int64_t position) {
  if (position == progress_.position()) return;
  progress_.setPosition(position);
  host_.progressChanged();
}

// ---------------------------------------------------------------------------
// Rules

int SearchController::listOrder(const UserOptions& o, int firstPreferredOrder) {
  const bool ascending = o.viewLengthGroupingSense == 1 || (o.viewLengthGroupingSense == 0 && firstPreferredOrder > 0);
  if (o.viewCommonFirst) {
    if (!o.viewLengthGrouping) return ResultsList::kCommonFirst;
    return ascending ? ResultsList::kLengthAscendingCommonFirst : ResultsList::kLengthDescendingCommonFirst;
  }
  if (!o.viewSorting) return ResultsList::kAsFound;
  int order = ResultsList::kAlphabeticalAscending;
  if (o.viewLengthGrouping) {
    order = ascending ? ResultsList::kLengthAscendingAlphabeticalAscending
                      : ResultsList::kLengthDescendingAlphabeticalAscending;
  }
  if (!o.viewSortingAscending) ++order;
  return order;
}

int SearchController::phraseListOrder(const UserOptions& o) {
  // The phrases of a set of letters all have as many letters, and the
  // likeliest are what a solver looks for first, unless the options ask
  // for the alphabet.
  if (o.viewSorting && !o.viewCommonFirst) {
    return o.viewSortingAscending ? ResultsList::kAlphabeticalAscending : ResultsList::kAlphabeticalDescending;
  }
  return ResultsList::kCommonFirst;
}

SearchController::WordClass SearchController::classify(std::string_view text, int letters, const Alphabet& alphabet) {
  std::size_t first = 0;
  std::size_t end = text.size();
  if (static_cast<int>(text.size()) != letters) {
    const auto isLetter = [&](char c) {
      return alphabet.indexOfByte[static_cast<unsigned char>(c)] != kkd::kNoIndex;
    };
    while (first < end && !isLetter(text[first])) ++first;
    while (end > first && !isLetter(text[end - 1])) --end;
  }
  if (static_cast<std::size_t>(letters) == end - first) {
    for (std::size_t i = first; i < end; ++i) {
      if (platform::isCharUpper(static_cast<unsigned char>(text[i]))) return WordClass::Upper;
    }
    return WordClass::Lower;
  }
  return text.find(' ') != std::string_view::npos ? WordClass::Phrase : WordClass::Punctuation;
}

bool SearchController::classShown(WordClass wordClass, const UserOptions& o) {
  switch (wordClass) {
    case WordClass::Lower:
      return o.outputLower;
    case WordClass::Upper:
      return o.outputUpper;
    case WordClass::Punctuation:
      return o.outputPunctuation;
    case WordClass::Phrase:
      return o.outputWhitespace;
  }
  return true;
}

}  // namespace kea
