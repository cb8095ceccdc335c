// How KEA's terminal programs end: a write to standard output that failed
// at any time (a full disk, /dev/full, a closed descriptor) is reported and
// turns the exit status into a failure, and no exception leaves main().
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string_view>

namespace kea::tools {

// The system's reason for the first failed write to standard output that
// standardOutputFailed() saw; 0 when none was seen.
inline int& standardOutputError() {
  static int error = 0;
  return error;
}

// Whether a write to standard output has failed so far: the work can stop
// writing what nobody receives. Asked right after a write, it also keeps
// the reason the write failed.
inline bool standardOutputFailed() {
  if (std::ferror(stdout) == 0) return false;
  if (standardOutputError() == 0) standardOutputError() = errno;
  return true;
}

// "PROGRAM: cannot write to standard output: REASON" on standard error.
inline void reportStandardOutputFailure(const char* program, int error) {
  std::fprintf(stderr, "%s: cannot write to standard output%s%s\n", program, error != 0 ? ": " : "",
               error != 0 ? std::strerror(error) : "");
}

// The last step of main(): flushes and closes standard output. Returns
// `status`, or at least `failure` after reporting a write that failed.
inline int finishStandardOutput(const char* program, int status, int failure) {
  errno = 0;
  bool ok = std::fflush(stdout) == 0;
  int error = ok ? standardOutputError() : errno;
  ok = ok && std::ferror(stdout) == 0;
  // Closing can report what the writes could not (a file system that
  // writes late); nothing is written to standard output after this.
  if (std::fclose(stdout) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok) return status;
  reportStandardOutputFailure(program, error);
  return std::max(status, failure);
}

// Writes each line of `text` to standard error after "PROGRAM: ", so that
// every line a program says names it, a log of several lines included.
inline void printMessageLines(const char* program, std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    std::fprintf(stderr, "%s: %.*s\n", program, static_cast<int>(line.size()), line.data());
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

// Runs the program's work; an exception that nothing below caught becomes
// a message and `failure` rather than an abort.
template <class Work>
int runGuarded(const char* program, int failure, Work&& work) {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: out of memory\n", program);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", program, e.what());
  } catch (...) {
    std::fprintf(stderr, "%s: an unexpected error ended the program\n", program);
  }
  return failure;
}

}  // namespace kea::tools
