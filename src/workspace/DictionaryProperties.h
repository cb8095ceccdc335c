// What the dictionary properties window shows of one open dictionary: where
// it lies, its date and description, and, only when the file is a usable
// dictionary, its counts. The file is checked again first, so a dictionary
// rebuilt or removed since it was opened shows as it is now.
#pragma once

#include <string>

#include "dictionary/DictionaryList.h"

namespace kea {

struct DictionaryProperties {
  std::string caption;      // the dictionary's name and " Properties"
  std::string location;     // the file's full path
  std::string date;         // the file's date; empty when the file is not there
  std::string description;  // the file's description, or why it cannot be used
  bool valid = false;       // the counts below mean something
  int entries = 0;
  int definitions = 0;
  int shortest = 0;
  int longest = 0;
};

// The properties of dictionary `index` of the list; all empty and not valid
// when there is no such dictionary.
DictionaryProperties dictionaryProperties(const DictionaryList& list, int index);

}  // namespace kea
