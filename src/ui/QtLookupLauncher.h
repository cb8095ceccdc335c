// External lookups as the desktop carries them out: a web address opens in
// the desktop's browser, a program starts with the word as its one
// argument (never through a shell). DDE and window messages keep the
// library's answer: Linux has neither.
#pragma once

#include "lookup/LookupLauncher.h"

namespace kea::ui {

class QtLookupLauncher : public LookupLauncher {
 public:
  bool openAddress(std::string_view address) override;
  bool startProgram(std::string_view program, std::string_view argument) override;
};

}  // namespace kea::ui
