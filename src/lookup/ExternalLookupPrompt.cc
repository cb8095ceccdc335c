#include "lookup/ExternalLookupPrompt.h"

#include "text/StringTable.h"

namespace kea {

LookupFailureMessage lookupFailureMessage() {
  return {texts::kLookupFailureCaption, loadString(strings::kLookupFailed)};
}

std::string ExternalLookupPrompt::caption() const {
  return std::string(texts::kExternalLookupCaptionPrefix) + word_;
}

std::string ExternalLookupPrompt::message() const {
  const int id = strings::kTryExternalLookup + (okEnabled() ? 0 : 1) + 2 * static_cast<int>(mode_);
  return withWordInserted(loadString(id), word_);
}

bool ExternalLookupPrompt::ok() {
  if (!okEnabled()) return false;
  return configuration_.lookup(word_, lookup_commands::kDefaultMethod);
}

ExternalLookupOutcome startExternalLookup(LookupConfiguration& configuration, std::string_view word, int command) {
  if (configuration.enabledCount() == 0) return ExternalLookupOutcome::PromptNeeded;
  return configuration.lookup(word, command) ? ExternalLookupOutcome::LookedUp : ExternalLookupOutcome::Failed;
}

}  // namespace kea
