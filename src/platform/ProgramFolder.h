// Where the running program lies, and the data folders that go with it:
// "Dictionaries", "Definitions" and the rest are found beside the program
// first (an unpacked copy), then in "../share/kea" (an installed one, and
// the build tree).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kea::platform {

// The folder of the running executable, as library (Windows-1252) text;
// nothing when it cannot be found or its name has no Windows-1252 form.
std::optional<std::string> programFolder();

// The first existing file named `relative` (for example
// "Dictionaries/English.kkd") beside the program or in its "../share/kea".
std::optional<std::string> findDataFile(std::string_view relative);
// The same search from `folder` standing for the program's folder, for a
// caller that was told where the program lies.
std::optional<std::string> findDataFile(std::string_view folder, std::string_view relative);

}  // namespace kea::platform
