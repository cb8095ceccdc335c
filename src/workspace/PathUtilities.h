// The few path rules the workspace lives by: which stored dictionary paths
// are relative (and so belong to the program's folder), where the program
// and the user's documents lie, the name a file is shown by, and a file's
// time stamp. Paths are POSIX paths held as Windows-1252 text, like every
// other text of the library; folders handed out end with "/".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kea {

// The dictionary opened on the very first run, found beside the program or
// in its "../share/kea".
inline constexpr std::string_view kFirstRunDictionary = "Dictionaries/English.kkd";

// Whether a path does not start with "/"; an empty path is relative.
bool isRelative(std::string_view path);

// The folder of the running program, ending with "/"; empty when it cannot
// be found (relative paths then stay relative to the working folder).
std::string programFolder();

// Every relative element of a ";"-separated list prefixed with `folder`
// (programFolder() when not given); absolute elements, empty elements and
// an empty text are left as they are.
std::string absolute(std::string_view paths);
std::string absolute(std::string_view paths, std::string_view folder);

// The user's documents folder ending with "/": $XDG_DOCUMENTS_DIR, else the
// documents entry of the user's user-dirs.dirs, else $HOME/Documents when it
// exists, else the program's folder. Only folders that exist are taken.
std::string documentsFolder();

// The name a file is shown to the user by: the last part of its path.
std::string fileTitle(std::string_view path);

// The file's last-write time in nanoseconds since the epoch; the current
// time when the file cannot be examined.
std::int64_t fileTime(std::string_view path);

// `path` made absolute against the working folder and with "." and ".."
// parts resolved (no links are followed); nothing for an empty path or one
// that cannot be made absolute.
std::optional<std::string> fullPath(std::string_view path);

// The first-run dictionary below `folder` standing for the program's
// folder, or nothing when it is not there.
std::optional<std::string> findFirstRunDictionary(std::string_view folder);

}  // namespace kea
