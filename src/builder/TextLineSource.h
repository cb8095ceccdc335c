// A line source over text held in memory: the lines of a buffer separated
// by line feeds (a final line feed adds no empty line). The log is kept as
// text; status texts go to an optional callback.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "builder/DictionaryMaintainer.h"

namespace kea {

class TextLineSource : public DictionaryMaintainer {
 public:
  explicit TextLineSource(std::string text) : text_(std::move(text)) {}
  // The lines joined with line feeds.
  static TextLineSource fromLines(const std::vector<std::string>& lines);

  int nextLine(std::string* line, int counter) override;
  void rewind() override { position_ = 0; }
  void logMessage(const std::string& text) override { log_ += text; }
  void status(const std::string& text) override {
    if (onStatus_) onStatus_(text);
  }

  // To the callback when there is one, else into the log.
  void notice(const std::string& text) override {
    if (onNotice_) {
      onNotice_(text);
    } else {
      logMessage(text + "\n");
    }
  }

  void onStatus(std::function<void(const std::string&)> callback) { onStatus_ = std::move(callback); }
  void onNotice(std::function<void(const std::string&)> callback) { onNotice_ = std::move(callback); }
  const std::string& log() const { return log_; }

 private:
  std::string text_;
  std::size_t position_ = 0;
  std::string log_;
  std::function<void(const std::string&)> onStatus_;
  std::function<void(const std::string&)> onNotice_;
};

}  // namespace kea
