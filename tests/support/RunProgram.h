// Runs one of the project's programs for an end-to-end test and collects its
// exit status and output. Arguments go straight to the program, never through
// a shell.
#pragma once

#include <string>
#include <vector>

namespace kea::test {

struct ProgramResult {
  int exitCode = -1;  // -1 when the program could not be started or did not exit normally
  std::string out;    // standard output
  std::string err;    // standard error
};

// Runs `program` (a path) with `arguments` and waits for it to end.
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments);

// The path of a program built by this project.
std::string programPath(const std::string& name);

}  // namespace kea::test
