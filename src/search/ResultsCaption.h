// The caption above a results list: "&1 English (42)". The digit after the
// ampersand is underlined, so Alt with the list's number moves the focus to
// that list; the count in parentheses is left out while it is -1.
#pragma once

#include <string>
#include <string_view>

namespace kea {

class ResultsCaption {
 public:
  // `number` is the list's place in the view, from 0.
  void setName(int number, std::string_view name);
  // -1 hides the count.
  void setCount(int count) { count_ = count; }

  int number() const { return number_; }
  const std::string& name() const { return name_; }
  int count() const { return count_; }

  // The caption with its accelerator marker. An ampersand in the name is
  // doubled so that it shows as itself instead of underlining the next letter.
  std::string text() const;

 private:
  int number_ = 0;
  std::string name_;
  int count_ = -1;
};

}  // namespace kea
