#include "support/RunProgram.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "support/TempDir.h"

extern char** environ;

namespace kea::test {

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments) {
  // Output goes to files rather than pipes, so a chatty program can never
  // block on a full pipe while the test waits for it.
  TempDir folder;
  const std::string outPath = folder.file("stdout");
  const std::string errPath = folder.file("stderr");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  ProgramResult result;
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return result;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return result;
  }
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  result.out = readFile(outPath);
  result.err = readFile(errPath);
  return result;
}

std::string programPath(const std::string& name) { return std::string(KEA_BIN_DIR) + "/" + name; }

}  // namespace kea::test
