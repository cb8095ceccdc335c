// How the terminal programs end at Ctrl-C (SIGINT), SIGTERM and SIGHUP.
//
// A flag that the work looks at now and then does not end a program that
// waits in a read of a pipe or sorts half a million words: the call it
// waits in is restarted and the flag is read only afterwards. So a program
// that cannot stop cooperatively ends in the signal handler itself: the
// temporary files registered at that moment are removed, a message goes to
// standard error, and the program ends by the signal (a shell reports 130
// for Ctrl-C). A target is never written in place, so whatever was there
// stays as it was.
//
// A search that should list what it found so far asks for Ctrl-C as a
// request instead (InterruptRequests): it has a second to stop and list;
// after that, or at a second Ctrl-C, the program ends all the same (what
// it listed stays listed).
#pragma once

#include <string>
#include <string_view>

namespace kea::platform {

// Files that a program ended by a signal must not leave behind. Safe to use
// from any thread; the handler removes whatever is registered when it runs.
class TemporaryFiles {
 public:
  // Registers a file (the operating system's name); returns its slot, or
  // -1 when the name is too long or every slot is taken (the file is then
  // only left behind by a signal, and found by the next run's clean-up).
  static int add(const std::string& nativeName);
  // Forgets slot `slot` (-1 is ignored).
  static void remove(int slot);
};

// From now on SIGINT, SIGTERM and SIGHUP end the program at once, wherever
// it is, as described above. `message` (without a line end) is written to
// standard error first; empty writes nothing. May be called again to
// change the message.
void endOnTerminationSignals(std::string_view message);

// While an object lives, Ctrl-C sets a request that interruptRequested()
// reports, instead of ending the program. A second after the request, or
// at a second Ctrl-C, the program ends as endOnTerminationSignals ends it,
// whether or not the work took the request (a listing blocked by a reader
// that stopped reading must not hold it). SIGTERM and SIGHUP always end it.
// The limit runs on after the object goes.
class InterruptRequests {
 public:
  InterruptRequests();
  ~InterruptRequests();
  InterruptRequests(const InterruptRequests&) = delete;
  InterruptRequests& operator=(const InterruptRequests&) = delete;
};

// Whether Ctrl-C asked the work to stop.
bool interruptRequested();

// Holds back the termination signals for as long as it lives, so that none
// lands between the last look for one and a file taking its target's
// place; one that arrives meanwhile acts when the object goes.
class TerminationSignalsHeld {
 public:
  TerminationSignalsHeld();
  ~TerminationSignalsHeld();
  TerminationSignalsHeld(const TerminationSignalsHeld&) = delete;
  TerminationSignalsHeld& operator=(const TerminationSignalsHeld&) = delete;

  // Whether a termination signal (or a Ctrl-C request) came and waits.
  bool signalPending() const;

 private:
  unsigned long long previous_[16];
};

}  // namespace kea::platform
