// Ending at a termination signal: registered temporary files go, the
// message is written, and the program ends by the signal; Ctrl-C as a
// request is seen by the work or, when it is not taken, ends the program.
#include "platform/Termination.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "support/TempDir.h"

namespace kea::platform {
namespace {

// Runs `body` in a child process; returns its wait status.
int statusOf(const std::function<void()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    body();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

TEST(Termination, ASignalRemovesTheRegisteredFilesAndEndsTheProgramByIt) {
  test::TempDir dir;
  const std::string kept = dir.file("kept"), temporary = dir.file("temporary"), released = dir.file("released");
  for (const std::string& path : {kept, temporary, released}) test::writeFile(path, "x");
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    test::writeFile(temporary, "x");
    const std::string err = dir.file("err");
    const int status = statusOf([&] {
      // The message goes to standard error, here a file.
      ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600), STDERR_FILENO);
      endOnTerminationSignals("stopped");
      TemporaryFiles::add(temporary);
      TemporaryFiles::remove(TemporaryFiles::add(released));
      ::raise(signal);
      ::_exit(1);  // not reached
    });
    EXPECT_TRUE(WIFSIGNALED(status)) << signal;
    EXPECT_EQ(WTERMSIG(status), signal);
    EXPECT_FALSE(std::filesystem::exists(temporary)) << signal;
    EXPECT_TRUE(std::filesystem::exists(released)) << signal;
    EXPECT_EQ(test::readFile(err), "stopped\n");
  }
  EXPECT_TRUE(std::filesystem::exists(kept));
  EXPECT_EQ(TemporaryFiles::add(std::string(5000, 'x')), -1);
}

TEST(Termination, CtrlCIsARequestTheWorkTakesButTheProgramEndsWithinASecond) {
  // Taken at once: the work stops and ends as it likes.
  int status = statusOf([] {
    InterruptRequests requests;
    ::raise(SIGINT);
    if (!interruptRequested()) ::_exit(2);
    ::_exit(7);
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 7);
  // Taken or not, a second later the program ends as Ctrl-C ends it, even
  // when the requests are no longer wanted (the listing after a stop).
  for (const bool taken : {false, true}) {
    const auto start = std::chrono::steady_clock::now();
    status = statusOf([taken] {
      {
        InterruptRequests requests;
        ::raise(SIGINT);
        if (taken && !interruptRequested()) ::_exit(2);
      }
      for (;;) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    });
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(WIFSIGNALED(status)) << taken;
    EXPECT_EQ(WTERMSIG(status), SIGINT);
    EXPECT_LT(took, std::chrono::milliseconds(1800));
  }
  // A second Ctrl-C ends it at once; SIGTERM is never a request.
  for (const int second : {SIGINT, SIGTERM}) {
    status = statusOf([second] {
      InterruptRequests requests;
      if (second == SIGINT) ::raise(SIGINT);
      ::raise(second);
      ::_exit(3);
    });
    EXPECT_TRUE(WIFSIGNALED(status)) << second;
    EXPECT_EQ(WTERMSIG(status), second);
  }
}

}  // namespace
}  // namespace kea::platform
