// The search controller: the logic of the main view. It checks the pattern
// on every change and says in the status line what is wrong or that it is
// valid; it starts, pauses, resumes and finishes a search; and it runs the
// search in small steps, so that the program's event loop runs between
// them: a step ends after every accepted match, after at most 401 words
// rejected in a row, after each new length and whenever the word cursor
// has read 2000 words without a match. One results list per dictionary
// receives the matches, filtered by word class and, in the default mode,
// without the words an earlier dictionary already listed.
//
// The controller owns no window and no loop: it talks to its host through
// SearchHost, reads the dictionaries and options through SearchWorkspace,
// and whoever drives it (the window's idle timer, kea-cli's loop, a test)
// calls step() while it reports more to do. Stop, Resume and closing are
// plain calls made between two steps, so every state, message and result
// can be driven and checked without a GUI.
//
// Typical use (a host that returns the user's pattern and lengths):
//   SearchController view(workspace, host);
//   view.dictionariesChanged();   // one results list per dictionary
//   view.patternChanged();        // state Ready or Invalid, status set
//   view.searchClicked();         // state Searching
//   while (view.step(64) == SearchController::Step::More) { /* handle events */ }
//
// An enumeration in the host's enumeration box ("(4,3)") narrows a word
// search to entries of its shape: it is joined to the pattern line.
//
// Full-text search is a second mode of the same controller (setMode): the
// line's patterns are then words that a definition must contain, each
// dictionary with definitions is searched through its full-text index when
// the index can answer the line and by reading its definitions otherwise,
// and every hit is listed under its record's first headword with the
// record's offset as the entry's reference. A lookup of such a hit
// (lookUpFullTextHit) first makes sure the dictionary was not rebuilt since.
//
// Phrase anagrams are the third mode: the pattern box holds letters, the
// enumeration (if any) shapes the phrases, and each phrase goes to the
// results list of the dictionary that found it, filtered, sorted and kept
// apart from earlier dictionaries' phrases as words are.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "dictionary/Alphabet.h"
#include "dictionary/Definition.h"
#include "fulltext/IndexedDefinitionSearch.h"
#include "fulltext/SequentialDefinitionSearch.h"
#include "meaning/MeaningQuery.h"
#include "pattern/LengthPlan.h"
#include "pattern/MatchEngineSet.h"
#include "pattern/WordCursor.h"
#include "platform/File.h"
#include "search/PhraseAnagram.h"
#include "search/ResultsCaption.h"
#include "search/ResultsList.h"
#include "search/SearchHost.h"
#include "search/SearchProgress.h"

namespace kea {

class UserOptions;

enum class SearchState : int {
  Invalid = 0,    // no dictionary, or the pattern, lengths or dictionaries allow no search
  Ready = 1,      // the pattern is valid
  Searching = 2,  // the search loop runs
  Paused = 3,     // the loop has returned; every search position is kept
  Closing = 4,    // the view is closing
};

enum class SearchMode { Word, FullText, PhraseAnagram };

class SearchController {
 public:
  // Milliseconds since some fixed moment (the program's start).
  using Clock = std::function<std::uint64_t()>;

  // Consecutive words the filters or duplicate suppression may reject
  // before the event loop runs again (the 401st goes to the poll).
  static constexpr int kRejectionBudget = 400;
  // Definition records the reading full-text search examines between two
  // polls at most.
  static constexpr int kFullTextSlice = 200;
  // Work (groups examined, entries read, phrases written) a phrase anagram
  // search does between two polls at most.
  static constexpr int kPhraseWork = 2000;
  // The results counts are brought up to date at most this often.
  static constexpr std::uint64_t kCountRefreshMs = 100;

  // The results of one dictionary.
  struct OutputGroup {
    ResultsCaption label;
    ResultsList list;
    // The length being searched now.
    int length = 0;
    // The pattern of the last search.
    std::string pattern;
    // The dictionary's stamp when a full-text searcher was made for this
    // group; lookups of full-text hits compare it. The file's size is part
    // of it: a file rebuilt within one tick of the clock keeps its time.
    platform::FileStamp stamp;
    // The pattern line compiled for this dictionary.
    MatchEngineSet engineSet;
    // Its lengths: shortest, longest and step.
    LengthPlan plan;
    // The dictionary's commonness scores while it is searched; null when it
    // has none.
    const EntryScores* scores = nullptr;
    // The meaning asked of this dictionary's meaning index while a search
    // ranks by meaning; null otherwise, or when the dictionary has none.
    std::unique_ptr<MeaningQuery> meaning;
    // Entries of the last search that the meaning describes, and where
    // each lies in the dictionary (length, ordinal), for explaining ranks.
    std::unordered_map<std::string, std::pair<int, std::uint32_t>> meaningPlaces;
    // Why the last search could not read all of this dictionary's lists.
    ListProblem problem = ListProblem::None;
  };

  // Word classes of the output filters.
  enum class WordClass { Lower, Upper, Punctuation, Phrase };

  // What step() leaves behind: more of the search to run, or nothing (the
  // search finished, was paused or the view is closing).
  enum class Step { More, Finished };

  // The word a lookup command works on, and where it came from.
  struct LookupSubject {
    std::string word;
    // From a results entry: the rest of its text (annotation and balance),
    // its group, the group's dictionary file and the entry's reference.
    std::string rest;
    int group = -1;  // -1: from the pattern box
    std::string dictionaryPath;
    std::uint32_t reference = 0;
    bool operator==(const LookupSubject&) const = default;
  };

  // `clock` defaults to a steady clock.
  SearchController(SearchWorkspace& workspace, SearchHost& host, Clock clock = {});
  ~SearchController();
  SearchController(const SearchController&) = delete;
  SearchController& operator=(const SearchController&) = delete;

  // ---- Operations of the view ----

  // The dictionary list changed as a whole: one new results group per
  // dictionary, in search order, then validation. Ignored while a search runs.
  void dictionariesChanged();
  // The list changed by one step; the other groups keep their results.
  // A dictionary was opened: it is the last one.
  void dictionaryAdded();
  // Dictionary `index` was closed: its group goes.
  void dictionaryClosed(int index);
  // Two dictionaries changed places in the search order.
  void dictionariesSwapped(int first, int second);
  // The pattern box's text changed.
  void patternChanged();
  // The pattern box holds a character the dictionaries cannot hold: no
  // search is possible until it is gone. `message` says which one.
  void patternUnusable(std::string_view message);
  // A length box changed (typed or by its arrows).
  void lengthChanged(SearchHost::LengthBox box);
  // The Search button or Return: start or resume (state Searching; step()
  // then runs it), or stop (state Paused at once).
  void searchClicked();
  // Runs the search for up to `units` units of work, a unit ending where
  // the event loop is to be given a turn. Returns More while the search
  // goes on; Finished once it is over, paused or the view is closing.
  Step step(int units = 1);
  // Escape: pauses a running search; the view stays open.
  void cancel();
  // The order options changed: a finished search whose pattern is still
  // the one in the box runs again, so its lists come in the new order.
  // Returns whether it did.
  bool orderChanged();
  // For a view no window shows (the terminal's): the lists of the next
  // searches are filled as found and sorted once each dictionary is done,
  // or by finishListOrders() when a search is paused.
  void setListsSortedAtEnd(bool on) { listsSortedAtEnd_ = on; }
  void finishListOrders();
  // The view closes: a running search is abandoned without touching the
  // lists again. Saving the view's settings is left to the program.
  void close();
  // The commands "&Word Search", "&Full Text Search" and "&Phrase Anagram":
  // the mode of the next search, then validation. Ignored while a search
  // runs.
  void setMode(SearchMode mode);
  void setMode(bool fullText) { setMode(fullText ? SearchMode::FullText : SearchMode::Word); }
  // The enumeration box's text changed.
  void enumerationChanged() { patternChanged(); }
  // The meaning box's text changed (library text; empty: no meaning). A
  // word search with a meaning lists its matches most likely first.
  void setMeaning(std::string_view libraryText);
  const std::string& meaning() const { return meaning_; }
  // Whether the next word search ranks by meaning.
  bool ranksByMeaning() const;
  // The words of the meaning that made an entry of group `index` rank, as
  // the meaning box spells them; empty when the meaning does not describe
  // it (or the last search did not rank by meaning).
  std::vector<std::string> meaningMatches(int index, std::string_view word) const;
  // Whether group `index`'s last search ranked it by meaning.
  bool rankedByMeaning(int index) const { return index >= 0 && index < groupCount() && group(index).meaning; }
  // The meaning's rank of an entry as its list keeps it, and back.
  static int meaningListRank(double rank);
  static double meaningRankOf(int listRank);
  // "&Lookup..." or "Lookup in &New Window..." of a full-text hit of group
  // `index` (an entry whose reference is not 0): when the dictionaries are
  // still valid and the group's dictionary was not rebuilt since its
  // search, reads the record at `reference` into `out` and returns true;
  // a rebuilt dictionary shows "Dictionary Changed" and returns false.
  bool lookUpFullTextHit(int index, std::uint32_t reference, Definition& out);
  // Shows "Dictionary Invalidated" for each dictionary that is no longer
  // valid and then validates; false when any was.
  bool checkDictionaries();
  // Checks the pattern against every dictionary and the length boxes, and
  // sets the state and status line. Does nothing while a search runs.
  void validate();
  // The entries of all results lists.
  int resultCount() const;
  // The first group whose dictionary the last search could not read whole
  // (damaged, changed on disk while searched, or unreadable), or -1. Its
  // results are then no complete answer, and the status line says so.
  int incompleteGroup() const;
  // The word "&Lookup...", "Lookup in &New Window..." and "&External
  // Lookup" work on: with the pattern box focused, its selected text or
  // else its whole text; otherwise the one selected entry of the active
  // list, cut to its word. Nothing when there is no such word.
  std::optional<LookupSubject> lookupSubject();

  // The out-of-memory handler's Retry: the running search pauses at its
  // next poll. Safe to call from anywhere.
  static void setLowMemory() { lowMemory_.store(true); }

  // ---- State, for the window and the tests ----

  SearchState state() const { return state_; }
  SearchMode mode() const { return mode_; }
  bool fullTextMode() const { return mode_ == SearchMode::FullText; }
  // The phrase search of the running or paused phrase anagram search, or null.
  const PhraseAnagramSearch* phraseSearch() const { return phraseSearch_.get(); }
  int currentDictionary() const { return currentDictionary_; }
  const std::string& pattern() const { return pattern_; }
  // Group i lists what an earlier pattern found, not the pattern now typed:
  // the view shows such a list as out of date until the next search.
  bool resultsStale(int i) const;
  int groupCount() const { return static_cast<int>(groups_.size()); }
  OutputGroup& group(int i) { return *groups_[static_cast<std::size_t>(i)]; }
  const OutputGroup& group(int i) const { return *groups_[static_cast<std::size_t>(i)]; }
  SearchProgress& progress() { return progress_; }
  // The word cursor of the dictionary being searched, or null.
  const WordCursor* inputEngine() const { return inputEngine_.get(); }
  // The full-text searchers of the dictionary being searched; at most one
  // of them is there, and neither in word mode.
  const IndexedDefinitionSearch* indexedTextSearch() const { return indexedTextSearch_.get(); }
  const SequentialDefinitionSearch* sequentialTextSearch() const { return sequentialTextSearch_.get(); }

  // ---- Rules, shared with anything that must agree with the view ----

  // The results list order for the options; `firstPreferredOrder` is the
  // first group's preferred length order (+1 when there is none).
  static int listOrder(const UserOptions& options, int firstPreferredOrder);
  // The order of phrase anagram lists: most likely first, or alphabetical
  // when the options sort alphabetically.
  static int phraseListOrder(const UserOptions& options);
  // The class of word `text` whose letters (alphabet characters) number
  // `letters`.
  static WordClass classify(std::string_view text, int letters, const Alphabet& alphabet);
  static bool classShown(WordClass wordClass, const UserOptions& options);

 private:
  const UserOptions& options() const;
  const DictionaryList* dictionaries() const;
  LengthOrder lengthOrder() const;
  LengthPlan planGroup(OutputGroup& group);

  // What one unit of work on the current group ended with.
  enum class Unit { Poll, GroupDone };

  void setState(SearchState state);
  void pause();
  void freeSearchers();
  void advanceDictionary();
  bool prepareWordSearch(int index);
  bool prepareFullTextSearch(int index);
  // Validation of the phrase anagram mode's letters and enumeration.
  void validatePhrases(const std::optional<Enumeration>& enumeration);
  void relabelGroups();
  void finishSearch();
  // Searches the current group up to its next poll, or to its end.
  Unit wordUnit();
  Unit fullTextUnit();
  Unit phraseUnit();
  // Between units of work: refreshes the count now and then; false when
  // the search must stop (memory ran low).
  bool poll();
  void addFullTextHit(OutputGroup& group, std::string_view first, std::string_view second, std::uint32_t reference);
  void addMatch(OutputGroup& group, int score);
  std::string meaning_;
  std::string searchMeaning_;
  // Whether the running or last search ranked by meaning.
  bool rankingByMeaning_ = false;
  bool listsSortedAtEnd_ = false;
  // The commonness score of the entry the cursor just matched, or kNoScore.
  static int entryScore(const OutputGroup& group, const WordCursor& engine);
  // Whether the "hide rare entries" threshold lets an entry with `score` through.
  static bool scoreShown(int score, const UserOptions& options);
  void finishGroup(int index);
  void showCount(int index);

  void resetProgress(int dictionary, int length, std::int64_t position);
  void resetFullTextProgress(std::int64_t position, std::int64_t total);
  void setProgressPosition(std::int64_t position);

  static std::atomic<bool> lowMemory_;

  SearchWorkspace& workspace_;
  SearchHost& host_;
  Clock clock_;
  SearchState state_ = SearchState::Invalid;
  int currentDictionary_ = -1;
  std::unique_ptr<WordCursor> inputEngine_;
  std::unique_ptr<IndexedDefinitionSearch> indexedTextSearch_;
  std::unique_ptr<SequentialDefinitionSearch> sequentialTextSearch_;
  SearchMode mode_ = SearchMode::Word;
  // The phrase anagram mode: the query the last validation accepted, and
  // the search it started.
  PhraseAnagramQuery phraseQuery_;
  std::unique_ptr<PhraseAnagramSearch> phraseSearch_;
  PhraseBatch phraseBatch_;
  std::string pattern_;
  std::vector<std::unique_ptr<OutputGroup>> groups_;
  SearchProgress progress_;
  std::uint64_t lastCountUpdate_ = 0;
  // The current group's count when it was last shown; from 0 at every
  // start or resume.
  int lastShownCount_ = 0;
  // The progress bar is to be set to the current group and length before
  // the next unit (a new group, or a resume after the pause showed the
  // active dictionary).
  bool progressStale_ = true;
};

}  // namespace kea
