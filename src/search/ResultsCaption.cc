#include "search/ResultsCaption.h"

namespace kea {

void ResultsCaption::setName(int number, std::string_view name) {
  number_ = number;
  name_.assign(name);
}

std::string ResultsCaption::text() const {
  std::string caption = "&";
  caption += std::to_string(number_ + 1);
  caption += ' ';
  for (char c : name_) {
    if (c == '&') caption += '&';
    caption += c;
  }
  if (count_ >= 0) {
    caption += " (";
    caption += std::to_string(count_);
    caption += ')';
  }
  return caption;
}

}  // namespace kea
