// The search window's progress bar as a model: how far the search has come
// through the words of the lengths it will visit in one dictionary, and the
// bar's division into one segment per length, each as wide as its share of
// the words, so the bar also shows which lengths the pattern can match.
//
// The model holds words, not pixels: the widget asks for the filled
// fraction, or for the filled width and the segments at its own width, and
// redraws when the controller says the progress changed.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "dictionary/KkdFormat.h"
#include "pattern/LengthPlan.h"

namespace kea {

class DictionaryList;

class SearchProgress {
 public:
  struct Segment {
    int length = 0;  // the word length the segment stands for
    int left = 0;    // pixels [left, right)
    int right = 0;
    bool labelled = false;  // "%d" of the length fits (always for the first)
  };

  // Nothing to show: no range, nothing filled.
  void clear();
  // Word mode: dictionary `dictionary` of `list`, searched along `plan`,
  // currently at `currentLength` (0: none begun) with `position` words of
  // it examined. Lengths without words are left out.
  void reset(const DictionaryList& list, int dictionary, const LengthPlan& plan, int currentLength,
             std::int64_t position);
  // Full-text mode: a searcher's done count and total, with no lengths.
  void resetFullText(std::int64_t position, std::int64_t total);
  void setPosition(std::int64_t position) { position_ = position; }

  int dictionary() const { return dictionary_; }
  int firstLength() const { return firstLength_; }
  int lastLength() const { return lastLength_; }
  std::int64_t done() const { return done_; }
  std::int64_t position() const { return position_; }
  std::int64_t total() const { return total_; }
  bool hasRange() const { return lengthCount_ > 0; }
  // (done + position) / total, within 0 … 1; 0 without a total.
  double fraction() const;
  // width × (done + position) / total, rounded half up, within 0 … width.
  int filledWidth(int width) const;

  // The segments in search order across a bar `width` pixels wide, labelled
  // where the text "%d" of the length, as wide as `textWidth` says in
  // pixels, fits with kLabelGap to spare and keeps kLabelGap clear of the
  // label before it (the first is always labelled, drawn kLabelGap into its
  // segment). Empty without a range or words.
  static constexpr int kLabelGap = 3;
  std::vector<Segment> segments(int width, const std::function<int(std::string_view)>& textWidth) const;

 private:
  struct LengthWords {
    int length = 0;
    std::int64_t words = 0;
  };
  int pixelAt(std::int64_t words, int width) const;

  int dictionary_ = -1;
  int firstLength_ = 0;
  int lastLength_ = 0;
  std::int64_t done_ = 0;
  std::int64_t position_ = 0;
  std::int64_t total_ = 0;
  // The lengths with words, in search order.
  std::array<LengthWords, kkd::kMaxLengthSlots> lengths_{};
  int lengthCount_ = 0;
};

}  // namespace kea
