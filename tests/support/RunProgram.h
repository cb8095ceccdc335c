// Runs one of the project's programs in a child process, with given
// arguments and standard input, and collects its exit status and output.
#pragma once

#include <string>
#include <vector>

namespace kea::test {

struct ProgramRun {
  int exitCode = -1;  // the exit status, or 128 + signal number when killed
  std::string out;
  std::string err;
};

struct ProgramOptions {
  std::string input;                // standard input
  std::string workingFolder;        // empty: the test's own
  long long fileSizeLimit = -1;     // bytes; -1: none (RLIMIT_FSIZE)
  long long openFileLimit = -1;     // file descriptors; -1: as inherited (RLIMIT_NOFILE)
  int signalAfterMs = -1;           // sends `signal` once the program has run this long; -1: never
  int signal = 2;                   // SIGINT
  std::vector<std::string> unsetEnvironment;  // variables the program does not get
};

// `program` is a path, or a name in the build's program folder.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const ProgramOptions& options = {});

// The lines of a program's output, without their line ends.
std::vector<std::string> outputLines(const std::string& text);
// The index of the first line equal to `line`, or -1.
int lineIndex(const std::string& text, const std::string& line);

}  // namespace kea::test
