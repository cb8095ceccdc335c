// The values the general matcher hands between its parts while it tries a
// word: a place in the word, and how a try of part of a template ended.
#pragma once

namespace kea {

// A place in a word: the letters before it and the significant punctuation
// characters before it (always 0 where punctuation is not significant).
struct Place {
  int letter = 0;
  int offset = 0;

  friend bool operator==(const Place&, const Place&) = default;
};

// How a try of a pattern, a segment or the rest of a template from one
// place ended. On success, `next` is the program position after what ran
// and `offset` the punctuation offset where its stretch ended. A failure
// may say that it came from the tries of a wildcard (or of a sub-pattern
// whose every rest failed), and whether the bindings were still as at the
// start of the segment that held it: such a failure covers every later
// place the wildcard before it could try (see MatchMemo::skipMayStopEarly).
struct Attempt {
  int next = -1;
  int offset = 0;
  bool inTries = false;
  bool unbound = false;

  static Attempt success(int next, int offset) { return {next, offset, false, false}; }
  static Attempt mismatch() { return {}; }
  static Attempt failedInTries(bool unbound) { return {-1, 0, true, unbound}; }

  bool matched() const { return next >= 0; }
  bool coversLaterPlaces() const { return inTries && unbound; }
};

}  // namespace kea
