#include "builder/DictionaryMaintainer.h"

#include <cstdio>
#include <vector>

namespace kea {

void DictionaryMaintainer::logFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (size > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    text.assign(buffer.data(), static_cast<std::size_t>(size));
  }
  va_end(args);
  logMessage(text);
}

}  // namespace kea
