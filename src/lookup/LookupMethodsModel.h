// The rules of the Lookup Methods dialog without the dialog: what each
// method's three-state box shows, which controls can be used, and what each
// edit does to the configuration. Changes take effect at once for this run;
// "Save as defaults", or Yes when the dialog closes with changes not saved,
// writes them to the settings.
#pragma once

#include <string_view>

#include "lookup/LookupConfiguration.h"

namespace kea {

class LookupMethodsModel {
 public:
  // Clear: disabled; Grey: enabled; Ticked: enabled and the default.
  enum class BoxState { Clear, Grey, Ticked };

  explicit LookupMethodsModel(LookupConfiguration& configuration) : configuration_(configuration) {}

  // Whether the dialog shows controls for the method; the others keep their
  // stored values untouched.
  static bool hasControls(LookupStyle style, int number);

  BoxState boxState(LookupStyle style, int number) const;
  // A method without a name cannot be offered, so its box cannot be used.
  bool boxEnabled(LookupStyle style, int number) const;

  void clickBox(LookupStyle style, int number, BoxState newState);
  void editName(LookupStyle style, int number, std::string_view name);
  // Address, service, window title or program path.
  void editFirst(LookupStyle style, int number, std::string_view text);
  // DDE topic or window command number.
  void editSecond(LookupStyle style, int number, std::string_view text);
  void chooseEncoding(int programNumber, bool hex);
  void editTestWord(std::string_view word) { configuration_.setTestWord(word); }

  // Settles the default and looks up the test word with it; false when the
  // lookup failed and the failure message is due.
  bool testLookup();
  void saveAsDefaults() {
    configuration_.save();
    changed_ = false;
  }
  // The methods were changed since the dialog opened or last saved them:
  // closing the dialog asks whether to keep them (kKeepMethodsQuestion),
  // so that what the user set up is not lost at exit without a word.
  bool unsavedChanges() const { return changed_; }

  static constexpr std::string_view kKeepMethodsQuestion =
      "The lookup methods have changed.\n\nKeep them for the next time KEA starts?";

 private:
  LookupConfiguration& configuration_;
  bool changed_ = false;
};

}  // namespace kea
