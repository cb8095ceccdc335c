// The source of text lines and the log that feed the dictionary builder.
#pragma once

#include <cstdarg>
#include <string>

namespace kea {

class DictionaryMaintainer {
 public:
  // Results of nextLine.
  static constexpr int kAbandon = 0;    // the user cancelled: abandon the build
  static constexpr int kExhausted = 1;  // no more lines
  static constexpr int kDelivered = 2;  // a line was delivered (or, without a buffer, progress only)

  virtual ~DictionaryMaintainer() = default;

  // Delivers the next source line, without its line feed, into *line. With a
  // null `line` it only reports progress and returns kDelivered (or
  // kAbandon). `counter` counts the calls; a source with a user interface
  // lets it process pending events every 4096 calls.
  virtual int nextLine(std::string* line, int counter) = 0;

  // The next nextLine delivers the first line again.
  virtual void rewind() = 0;

  // Appends a formatted line to the build log.
  virtual void logMessage(const std::string& text) = 0;

  // Shows a one-line status text.
  virtual void status(const std::string& text) = 0;

  // Something the user is told even when the build succeeds (input that
  // was left out); by default a line of the log.
  virtual void notice(const std::string& text) { logMessage(text + "\n"); }

  // printf-style convenience over logMessage.
  void logFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
};

}  // namespace kea
