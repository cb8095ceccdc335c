#include "lookup/LookupLauncher.h"

namespace kea {

LookupLauncher::DdeResult LookupLauncher::ddeExecute(std::string_view, std::string_view, std::string_view) {
  return DdeResult::CannotInitialise;
}

bool LookupLauncher::sendWindowCommand(std::string_view, int, std::string_view) { return false; }

}  // namespace kea
