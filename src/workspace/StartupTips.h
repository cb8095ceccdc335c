// The startup tips window without its widgets: the tips read from
// "Tips.txt" (one tip per line, empty lines included, each "topic number,
// blank, text"), the tip shown now with its help topic, and the index of the
// next tip, kept between runs as KEAStartupTipsNextIndex.
//
// A tips file is data delivered beside the program, but it is read as
// untrusted text all the same: only so many lines of so many bytes are kept,
// so a huge or binary file costs bounded memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/Persist.h"

namespace kea {

class StartupTips {
 public:
  static constexpr std::string_view kWindowName = "KEAStartupTips";
  static constexpr std::string_view kFileName = "Tips.txt";
  // Bounds on what is kept of a tips file: lines beyond kMaxLines are not
  // read, and a line keeps its first kMaxLineBytes bytes.
  static constexpr std::size_t kMaxLines = 10000;
  static constexpr std::size_t kMaxLineBytes = 16384;

  StartupTips() = default;
  explicit StartupTips(std::vector<std::string> tips) : tips_(std::move(tips)) {}

  // "Tips.txt" beside the program (`programFolder`) or in its
  // "../share/kea", or nothing.
  static std::optional<std::string> findFile(std::string_view programFolder);
  // Replaces the tips with the lines of a file; a line's "\r" before its
  // line feed is dropped. A file that cannot be read gives no tips (false).
  bool readFile(std::string_view path);

  // KEAStartupTipsNextIndex, 0 when missing.
  void loadNextIndex(Persist& persist);
  void saveNextIndex(Persist& persist) const;

  // A next index past the last tip (the tips file now holds fewer tips than
  // when the index was stored) starts again at the first tip, so that the
  // window does not open empty at every start from then on. The window
  // calls this after loading the index.
  void restartPastTheEnd();

  // Shows the next tip and moves on, wrapping after the last. An index at or
  // beyond the end shows nothing and stays; a line without a blank keeps the
  // text shown before and gives no topic.
  void showNext();

  // The help topic of the tip shown now; 0 when none.
  int topic() const { return topic_; }
  // The text shown now, and whether it is rich text ("{\rtf").
  const std::string& text() const { return text_; }
  bool isRichText() const { return std::string_view(text_).starts_with("{\\rtf"); }

  std::uint32_t nextIndex() const { return nextIndex_; }
  void setNextIndex(std::uint32_t index) { nextIndex_ = index; }
  const std::vector<std::string>& tips() const { return tips_; }

  // "&Show this window when KEA starts"; the main view saves it as StartupTips.
  bool showOnStartup() const { return showOnStartup_; }
  void setShowOnStartup(bool on) { showOnStartup_ = on; }

  static std::string nextIndexName() { return std::string(kWindowName) + "NextIndex"; }

 private:
  std::vector<std::string> tips_;
  std::uint32_t nextIndex_ = 0;
  int topic_ = 0;
  std::string text_;
  bool showOnStartup_ = true;
};

}  // namespace kea
