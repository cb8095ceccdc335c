#include "support/RunProgram.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <future>
#include <csignal>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/TempDir.h"

namespace kea::test {

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const ProgramOptions& options) {
  const std::string path = program.find('/') == std::string::npos ? std::string(KEA_BIN_DIR) + "/" + program : program;
  // Files rather than pipes: nothing can block however much either side writes.
  TempDir io;
  const std::string in = io.file("in"), out = io.file("out"), err = io.file("err");
  writeFile(in, options.input);

  std::vector<std::string> argvText{path};
  argvText.insert(argvText.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : argvText) argv.push_back(a.data());
  argv.push_back(nullptr);

  int inputPipe[2] = {-1, -1};
  int outputPipe[2] = {-1, -1};
  if (options.inputNeverEnds && pipe2(inputPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  if (options.outputNeverRead && pipe2(outputPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    const int inFd = options.inputNeverEnds ? inputPipe[0] : ::open(in.c_str(), O_RDONLY);
    const int outFd = options.outputNeverRead   ? outputPipe[1]
                      : options.outputPath.empty() ? ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600)
                                                   : ::open(options.outputPath.c_str(), O_WRONLY);
    const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (inFd < 0 || outFd < 0 || errFd < 0) _exit(126);
    dup2(inFd, 0);
    dup2(outFd, 1);
    dup2(errFd, 2);
    // The program starts with its three standard handles and no others (not
    // even those the test runner left open), so that a limit on open files
    // means what it says.
    if (close_range(3, ~0U, 0) != 0) {
      const long highest = std::min(sysconf(_SC_OPEN_MAX), 65536L);
      for (long fd = 3; fd < highest; ++fd) ::close(static_cast<int>(fd));
    }
    if (!options.workingFolder.empty() && chdir(options.workingFolder.c_str()) != 0) _exit(126);
    if (options.fileSizeLimit >= 0) {
      const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit), static_cast<rlim_t>(options.fileSizeLimit)};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (options.openFileLimit >= 0) {
      const rlimit limit{static_cast<rlim_t>(options.openFileLimit), static_cast<rlim_t>(options.openFileLimit)};
      setrlimit(RLIMIT_NOFILE, &limit);
    }
    for (const std::string& name : options.unsetEnvironment) unsetenv(name.c_str());
    if (options.asOrdinaryUser && geteuid() == 0) {
      // nobody, with no supplementary groups.
      if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(126);
    }
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  // The test keeps only the ends it holds on to: the writing end of the
  // program's input, the reading end of its output.
  if (inputPipe[0] >= 0) ::close(inputPipe[0]);
  if (outputPipe[1] >= 0) ::close(outputPipe[1]);
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const auto at = [&](int ms) { return ms < 0 ? Clock::time_point::max() : start + std::chrono::milliseconds(ms); };
  auto signalDue = at(options.signalAfterMs);
  auto actDue = options.act ? at(options.actAfterMs) : Clock::time_point::max();
  const auto killDue = at(options.timeoutMs);
  Clock::time_point signalled = Clock::time_point::max();
  int status = 0;
  bool timedOut = false;
  for (;;) {
    const pid_t done = waitpid(child, &status, WNOHANG);
    if (done < 0 && errno != EINTR) throw std::runtime_error("waitpid failed");
    if (done == child) break;
    const auto now = Clock::now();
    if (now >= actDue) {
      actDue = Clock::time_point::max();
      options.act();
    }
    if (now >= signalDue) {
      signalDue = Clock::time_point::max();
      signalled = Clock::now();
      kill(child, options.signal);
    }
    if (now >= killDue && !timedOut) {
      timedOut = true;
      kill(child, SIGKILL);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const auto ended = Clock::now();
  if (inputPipe[1] >= 0) ::close(inputPipe[1]);
  if (outputPipe[0] >= 0) ::close(outputPipe[0]);
  ProgramRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.timedOut = timedOut;
  if (signalled != Clock::time_point::max()) {
    run.msAfterSignal = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(ended - signalled).count());
  }
  run.out = readFile(out);
  run.err = readFile(err);
  return run;
}

std::vector<ProgramRun> runPrograms(const std::vector<ProgramCall>& calls, int parallel) {
  std::vector<std::future<ProgramRun>> running;
  std::vector<ProgramRun> runs;
  for (const ProgramCall& call : calls) {
    if (static_cast<int>(running.size()) >= parallel) {
      runs.push_back(running.front().get());
      running.erase(running.begin());
    }
    running.push_back(std::async(std::launch::async, [&call] { return runProgram(call.program, call.arguments, call.options); }));
  }
  for (auto& r : running) runs.push_back(r.get());
  return runs;
}

std::vector<std::string> outputLines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

int lineIndex(const std::string& text, const std::string& line) {
  const auto all = outputLines(text);
  const auto at = std::find(all.begin(), all.end(), line);
  return at == all.end() ? -1 : static_cast<int>(at - all.begin());
}

}  // namespace kea::test
