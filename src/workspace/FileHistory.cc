#include "workspace/FileHistory.h"

#include "platform/File.h"

namespace kea {

void FileHistory::add(std::string_view text) {
  if (text.empty()) return;
  // A copy first: the text may be one of the items about to move.
  std::string path(text);
  int last = kItems - 1;
  for (int i = 0; i < kItems; ++i) {
    if (!items_[static_cast<std::size_t>(i)].empty() && platform::sameFile(items_[static_cast<std::size_t>(i)], path)) {
      last = i;
      break;
    }
  }
  for (int i = last; i > 0; --i) items_[static_cast<std::size_t>(i)] = std::move(items_[static_cast<std::size_t>(i - 1)]);
  items_[0] = std::move(path);
}

const std::string& FileHistory::item(int i) const {
  static const std::string none;
  return i >= 0 && i < kItems ? items_[static_cast<std::size_t>(i)] : none;
}

void FileHistory::load(Persist& persist) {
  for (int i = 0; i < kItems; ++i) {
    std::string& item = items_[static_cast<std::size_t>(i)];
    item.clear();
    persist.readString(valueName(i), item);
  }
}

void FileHistory::save(Persist& persist) const {
  for (int i = 0; i < kItems; ++i) {
    const std::string& item = items_[static_cast<std::size_t>(i)];
    if (!item.empty()) persist.writeString(valueName(i), item);
  }
}

std::string FileHistory::valueName(int i) {
  std::string name = "FileDictionary";
  if (i > 0) name += std::to_string(i);
  return name;
}

}  // namespace kea
