#include "builder/TextLineSource.h"

namespace kea {

TextLineSource TextLineSource::fromLines(const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 1;
  std::string text;
  text.reserve(size);
  for (const std::string& line : lines) {
    text += line;
    text += '\n';
  }
  return TextLineSource(std::move(text));
}

int TextLineSource::nextLine(std::string* line, int) {
  if (line == nullptr) return kDelivered;
  if (position_ >= text_.size()) return kExhausted;
  std::size_t end = text_.find('\n', position_);
  if (end == std::string::npos) end = text_.size();
  line->assign(text_, position_, end - position_);
  position_ = end + 1;
  return kDelivered;
}

}  // namespace kea
