// Runs one of the project's programs in a child process, with given
// arguments and standard input, and collects its exit status and output.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kea::test {

struct ProgramRun {
  int exitCode = -1;  // the exit status, or 128 + signal number when killed
  std::string out;
  std::string err;
  bool timedOut = false;      // killed (SIGKILL) after ProgramOptions::timeoutMs
  int msAfterSignal = -1;     // how long the program lived after `signal` was sent
};

struct ProgramOptions {
  std::string input;                // standard input
  std::string workingFolder;        // empty: the test's own
  long long fileSizeLimit = -1;     // bytes; -1: none (RLIMIT_FSIZE)
  long long openFileLimit = -1;     // file descriptors; -1: as inherited (RLIMIT_NOFILE)
  int signalAfterMs = -1;           // sends `signal` once the program has run this long; -1: never
  int signal = 2;                   // SIGINT
  std::vector<std::string> unsetEnvironment;  // variables the program does not get
  // Standard output goes to this file instead (/dev/full, a named pipe);
  // `out` is then empty.
  std::string outputPath;
  // Standard input is a pipe the test holds open and never writes to, so
  // that a program reading it waits (instead of reading `input`).
  bool inputNeverEnds = false;
  // Standard output is a pipe that nothing reads, so that a program
  // writing much waits once it is full.
  bool outputNeverRead = false;
  // The program is killed (SIGKILL) when it runs this long; -1: never.
  int timeoutMs = -1;
  // Runs as an ordinary user (nobody) when the test runs as root, so that
  // file permissions apply to it.
  bool asOrdinaryUser = false;
  // Called once the program has run this long (to change a file it reads).
  int actAfterMs = -1;
  std::function<void()> act;
};

// `program` is a path, or a name in the build's program folder.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const ProgramOptions& options = {});

// One program run of several (runPrograms).
struct ProgramCall {
  std::string program;
  std::vector<std::string> arguments;
  ProgramOptions options;
};

// Runs the calls, `parallel` at a time, and returns their runs in order.
std::vector<ProgramRun> runPrograms(const std::vector<ProgramCall>& calls, int parallel = 2);

// The lines of a program's output, without their line ends.
std::vector<std::string> outputLines(const std::string& text);
// The index of the first line equal to `line`, or -1.
int lineIndex(const std::string& text, const std::string& line);

}  // namespace kea::test
