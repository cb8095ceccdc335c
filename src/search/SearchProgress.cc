#include "search/SearchProgress.h"

#include <algorithm>
#include <string>

#include "dictionary/DictionaryList.h"

namespace kea {

void SearchProgress::clear() {
  dictionary_ = -1;
  firstLength_ = lastLength_ = 0;
  done_ = position_ = total_ = 0;
  lengthCount_ = 0;
}

void SearchProgress::reset(const DictionaryList& list, int dictionary, const LengthPlan& plan, int currentLength,
                           std::int64_t position) {
  clear();
  dictionary_ = dictionary;
  if (!plan.empty()) {
    const int first = plan.firstLength();
    for (int n = first; plan.holds(n); n += plan.step) {
      const std::int64_t words = list.wordCount(dictionary, n);
      if (words <= 0) continue;
      total_ += words;
      if (firstLength_ == 0) firstLength_ = n;
      lastLength_ = n;
      // Length 0 stands for no length begun: nothing is done yet.
      if (currentLength != 0 && plan.before(n, currentLength)) done_ += words;
      lengths_[static_cast<std::size_t>(lengthCount_++)] = {n, words};
    }
  }
  position_ = position;
}

void SearchProgress::resetFullText(std::int64_t position, std::int64_t total) {
  clear();
  total_ = total;
  position_ = position;
}

int SearchProgress::pixelAt(std::int64_t words, int width) const {
  if (total_ <= 0 || width <= 0) return 0;
  words = std::clamp<std::int64_t>(words, 0, total_);
  return static_cast<int>((2 * static_cast<std::int64_t>(width) * words + total_) / (2 * total_));
}

double SearchProgress::fraction() const {
  if (total_ <= 0) return 0.0;
  return static_cast<double>(std::clamp<std::int64_t>(done_ + position_, 0, total_)) / static_cast<double>(total_);
}

int SearchProgress::filledWidth(int width) const { return pixelAt(done_ + position_, width); }

std::vector<SearchProgress::Segment> SearchProgress::segments(
    int width, const std::function<int(std::string_view)>& textWidth) const {
  std::vector<Segment> out;
  if (lengthCount_ == 0 || total_ <= 0) return out;
  std::int64_t before = 0;
  // Where the last label drawn ends: the first is drawn whole even past its
  // narrow segment, and a label that would touch it is left out ("3" and
  // "4" side by side read "34").
  int labelsEnd = 0;
  for (int i = 0; i < lengthCount_; ++i) {
    const LengthWords& l = lengths_[static_cast<std::size_t>(i)];
    Segment s;
    s.length = l.length;
    s.left = pixelAt(before, width);
    before += l.words;
    s.right = pixelAt(before, width);
    const std::string label = std::to_string(l.length);
    const int labelWidth = textWidth ? textWidth(label) : 0;
    const int start = s.left + kLabelGap;
    s.labelled = i == 0 || (textWidth && labelWidth + kLabelGap <= s.right - s.left && start >= labelsEnd + kLabelGap);
    if (s.labelled) labelsEnd = start + labelWidth;
    out.push_back(s);
  }
  return out;
}

}  // namespace kea
