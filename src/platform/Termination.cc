#include "platform/Termination.h"

#include <limits.h>
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace kea::platform {

namespace {

// Everything the handler touches is plain memory and atomics: it may run
// in the middle of any function, malloc included.
constexpr int kSlots = 16;
enum SlotState : int { kFree = 0, kFilling = 1, kLive = 2 };
std::atomic<int> slotState[kSlots];
char slotName[kSlots][PATH_MAX];

constexpr std::size_t kMessageSize = 2048;
char message[kMessageSize];
std::atomic<std::size_t> messageLength{0};

volatile sig_atomic_t interruptFlag = 0;
std::atomic<bool> requestsWanted{false};

constexpr int kTerminationSignals[] = {SIGINT, SIGTERM, SIGHUP};

void removeRegistered() {
  for (int i = 0; i < kSlots; ++i) {
    if (slotState[i].load() == kLive) ::unlink(slotName[i]);
  }
}

[[noreturn]] void endBy(int signal) {
  removeRegistered();
  const std::size_t length = messageLength.load();
  if (length > 0) {
    // Nothing more can be done about a message that does not get through.
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, message, length);
  }
  // Ended by the signal itself, so that a shell sees why.
  ::signal(signal, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
  ::raise(signal);
  ::_exit(128 + signal);
}

// How long a Ctrl-C request may take before the program ends all the same:
// short of a second, so that the program has ended within one.
constexpr long kRequestMilliseconds = 800;

void armDeadline(long milliseconds) {
  itimerval timer{};
  timer.it_value.tv_sec = milliseconds / 1000;
  timer.it_value.tv_usec = (milliseconds % 1000) * 1000;
  ::setitimer(ITIMER_REAL, &timer, nullptr);
}

extern "C" void onTerminationSignal(int signal) {
  if (signal == SIGINT && requestsWanted.load() && interruptFlag == 0) {
    interruptFlag = 1;
    // The work has most of a second to stop and list what it found. (The
    // timer is set by a bare system call, as safe here as alarm().)
    armDeadline(kRequestMilliseconds);
    return;
  }
  // A request that was not taken in time ends the program as Ctrl-C would.
  endBy(signal == SIGALRM ? SIGINT : signal);
}

void install(int signal) {
  struct sigaction action {};
  action.sa_handler = onTerminationSignal;
  sigemptyset(&action.sa_mask);
  for (const int other : kTerminationSignals) sigaddset(&action.sa_mask, other);
  sigaddset(&action.sa_mask, SIGALRM);
  ::sigaction(signal, &action, nullptr);
}

sigset_t heldSet() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal : kTerminationSignals) sigaddset(&set, signal);
  sigaddset(&set, SIGALRM);
  return set;
}

}  // namespace

int TemporaryFiles::add(const std::string& nativeName) {
  if (nativeName.size() >= PATH_MAX) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (!slotState[i].compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(slotName[i], nativeName.c_str(), nativeName.size() + 1);
    slotState[i].store(kLive);
    return i;
  }
  return -1;
}

void TemporaryFiles::remove(int slot) {
  if (slot < 0 || slot >= kSlots) return;
  slotState[slot].store(kFilling);
  slotState[slot].store(kFree);
}

void endOnTerminationSignals(std::string_view text) {
  // The message is changed with the signals held, so the handler never
  // writes half of one.
  TerminationSignalsHeld held;
  std::size_t length = 0;
  if (!text.empty()) {
    length = std::min(text.size(), kMessageSize - 1);
    std::memcpy(message, text.data(), length);
    message[length++] = '\n';
  }
  messageLength.store(length);
  for (const int signal : kTerminationSignals) install(signal);
}

InterruptRequests::InterruptRequests() {
  TerminationSignalsHeld held;
  interruptFlag = 0;
  requestsWanted.store(true);
  for (const int signal : kTerminationSignals) install(signal);
  install(SIGALRM);
}

InterruptRequests::~InterruptRequests() {
  TerminationSignalsHeld held;
  requestsWanted.store(false);
  // A request's second runs on: the listing after it must end in time too.
  if (interruptFlag == 0) armDeadline(0);
}

bool interruptRequested() { return interruptFlag != 0; }

TerminationSignalsHeld::TerminationSignalsHeld() {
  static_assert(sizeof(previous_) >= sizeof(sigset_t));
  const sigset_t set = heldSet();
  ::pthread_sigmask(SIG_BLOCK, &set, reinterpret_cast<sigset_t*>(previous_));
}

TerminationSignalsHeld::~TerminationSignalsHeld() {
  ::pthread_sigmask(SIG_SETMASK, reinterpret_cast<const sigset_t*>(previous_), nullptr);
}

bool TerminationSignalsHeld::signalPending() const {
  if (interruptFlag != 0 && requestsWanted.load()) return true;
  sigset_t pending;
  if (::sigpending(&pending) != 0) return false;
  for (const int signal : kTerminationSignals) {
    if (sigismember(&pending, signal) == 1) return true;
  }
  return false;
}

}  // namespace kea::platform
