// A launcher that opens and starts nothing: it records each address and
// program it is handed and answers as it is told.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "lookup/LookupLauncher.h"

namespace kea::testing {

class RecordingLauncher : public LookupLauncher {
 public:
  bool openAddress(std::string_view address) override {
    addresses.emplace_back(address);
    return succeeds;
  }
  bool startProgram(std::string_view program, std::string_view argument) override {
    programs.emplace_back(std::string(program), std::string(argument));
    return succeeds;
  }

  bool succeeds = true;
  std::vector<std::string> addresses;
  std::vector<std::pair<std::string, std::string>> programs;
};

}  // namespace kea::testing
