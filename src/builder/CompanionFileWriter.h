// Writing the files kept beside a dictionary (see dictionary/CompanionFile.h):
// through a temporary file that takes the companion's place only once it is
// whole, so a reader never meets half a companion.
#pragma once

#include <string>
#include <string_view>

#include "dictionary/CompanionFile.h"

namespace kea {

// Writes the framed payload to `path`. False, with the reason in `error`,
// when it cannot be written; an existing companion is then left as it was.
bool writeCompanionFile(const std::string& path, std::string_view magic, const DictionaryFingerprint& dictionary,
                        std::string_view payload, std::string* error, CompanionHash hash = CompanionHash::Fnv1a);

// Removes a companion that does not belong to a dictionary just written, so
// that nothing stale is left beside it; true when none is left.
bool removeCompanionFile(const std::string& path);

}  // namespace kea
