// The calls an external lookup makes to the world outside the program: open
// a web address, start another program with the word, talk to a DDE server
// or send a command to another program's window. The lookup code only
// decides what to hand over; the desktop program supplies a launcher that
// does it, and the tests supply one that records what would have happened.
//
// Every text here is Windows-1252, as everywhere inside the library. The
// desktop launcher converts at its edge:
// - an address is already escaped by the lookup (the escaping decides its
//   bytes), so it must be taken as an encoded address as it stands, never
//   escaped a second time; only bytes the user typed into the configured
//   template may lie outside ASCII, and those go through cp1252ToUtf8 first;
// - a program path and its argument go through cp1252ToUtf8 and become the
//   program and its one argument, never a shell command line.
#pragma once

#include <string_view>

namespace kea {

class LookupLauncher {
 public:
  // What a DDE exchange reports; only success lets the lookup succeed.
  enum class DdeResult { Success = 0, CannotInitialise = 1, NoConversation = 2, TransactionFailed = 3 };

  virtual ~LookupLauncher() = default;

  // Opens `address` with the desktop's opener; false when it could not.
  virtual bool openAddress(std::string_view address) = 0;
  // Starts `program` with `argument` as its single argument; false when the
  // process does not start.
  virtual bool startProgram(std::string_view program, std::string_view argument) = 0;

  // DDE and window messages do not exist on Linux: both report the failure
  // a Windows client would meet first, so the lookup ends in its failure
  // message while the configured values stay as they are.
  virtual DdeResult ddeExecute(std::string_view service, std::string_view topic, std::string_view command);
  // Puts `word` on the clipboard and sends the window titled `windowTitle`
  // the command `commandId`; false when no window has that title.
  virtual bool sendWindowCommand(std::string_view windowTitle, int commandId, std::string_view word);
};

}  // namespace kea
