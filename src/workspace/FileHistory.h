// The recent dictionary files: ten paths, item 0 the most recent, kept
// between runs as FileDictionary (item 0) and FileDictionary1 …
// FileDictionary9. A path is one entry however its letters are cased.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "settings/Persist.h"

namespace kea {

class FileHistory {
 public:
  static constexpr int kItems = 10;

  // Puts `path` at item 0. The items before its earlier place (or all of
  // them, when it was not there) move down by one, so an earlier entry of
  // the same path goes and, without one, the tenth item drops off. An empty
  // path is no file and changes nothing.
  void add(std::string_view path);
  // Item i, or an empty text when i is out of range or the item is unused.
  const std::string& item(int i) const;

  // Each item keeps its place; a missing or empty value leaves its item
  // empty, so nothing written earlier can come back in another place.
  void load(Persist& persist);
  // Empty items are not written.
  void save(Persist& persist) const;

  // "FileDictionary" for item 0, "FileDictionary<i>" for the others.
  static std::string valueName(int i);

 private:
  std::array<std::string, kItems> items_;
};

}  // namespace kea
