// What happens between a Lookup command and an external lookup: a command
// aimed at an external method goes straight to it when any method is
// enabled; otherwise, and when an ordinary lookup found no definitions, the
// External Lookup prompt asks first. The prompt here is the model the
// desktop program draws: its caption, its message and whether OK can be
// pressed. Setup... opens the Lookup Methods dialog, after which the prompt
// simply asks for its message and OK state again.
#pragma once

#include <string>
#include <string_view>

#include "lookup/LookupConfiguration.h"

namespace kea {

// The message box shown when a lookup returns false.
struct LookupFailureMessage {
  std::string_view caption;
  std::string_view text;
};
LookupFailureMessage lookupFailureMessage();

class ExternalLookupPrompt {
 public:
  enum class Mode { Requested = 0, NoDefinitions = 1 };

  // Where the prompt's window placement is kept.
  static constexpr std::string_view kPlacementKey = "ExternalLookup";

  ExternalLookupPrompt(LookupConfiguration& configuration, std::string_view word, Mode mode)
      : configuration_(configuration), word_(word), mode_(mode) {}

  const std::string& word() const { return word_; }
  Mode mode() const { return mode_; }
  std::string caption() const;
  std::string message() const;
  bool okEnabled() const { return configuration_.enabledCount() > 0; }
  // Looks the word up with the default method; false when nothing could be
  // done (OK not enabled) or the lookup failed.
  bool ok();

 private:
  LookupConfiguration& configuration_;
  std::string word_;
  Mode mode_;
};

// What a command aimed at an external lookup (12710 or a submenu method)
// led to.
enum class ExternalLookupOutcome { LookedUp, Failed, PromptNeeded };
ExternalLookupOutcome startExternalLookup(LookupConfiguration& configuration, std::string_view word, int command);

}  // namespace kea
