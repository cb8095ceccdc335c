// Building a dictionary into its place safely: the file is built under a
// temporary name beside the target and put in its place only when
// complete; a dictionary it replaces stays beside it as "Backup of "
// followed by its file name.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "builder/DictionaryBuilder.h"
#include "builder/DictionaryMaintainer.h"
#include "builder/ScoreCompanions.h"

namespace kea {

namespace texts {
inline constexpr std::string_view kBackupPrefix = "Backup of ";
inline constexpr const char* kCouldNotOpenLog = "Couldn't open \"%s\"\n";
inline constexpr const char* kCouldNotUpdateLog = "Couldn't update \"%s\"\n";
inline constexpr const char* kCouldNotKeepBackupLog = "Couldn't keep the previous dictionary as \"%s\": %s\n";
inline constexpr const char* kPreviousKeptAsLog = "The previous dictionary is kept as \"%s\"\n";
}  // namespace texts

// The builder input line that stores `word` with its annotation: the
// characters the input syntax gives a meaning escaped, the annotation
// between "+" signs when there is one.
std::string resultsBuilderLine(std::string_view word, std::string_view annotation);

// Where a replaced target is kept: "Backup of " + its file name, in its folder.
std::string dictionaryBackupPath(std::string_view target);

// Builds the dictionary of `lines` into `target` (a library path) with
// `alphabet`, by the same rules: a temporary file in the target's folder
// (the current folder when it names none), "Backup of " + the file name
// for a dictionary it replaces, the reasons of a failure in the log of
// `lines`, and the target as it was after a failure. With `companions`,
// their scores and word pairs are written beside the new dictionary (and
// any left from an earlier one removed); a dictionary that could not get
// them is still saved, and the log says so. The target is
// written as platform::OutputTarget writes (through symbolic links, into a
// pipe or device as a stream, never over a folder or socket). With
// `backup` false no backup is kept.
//
// `environment.createOutput` is asked for the builder's output with the
// target's name; by default it writes into the place the OutputTarget
// made.
bool saveDictionary(DictionaryMaintainer& lines, const std::array<std::uint8_t, 256>& alphabet,
                    const std::string& target, const std::string& description, int shortest, int longest,
                    const BuildEnvironment& environment = {}, bool backup = true,
                    CompanionData* companions = nullptr);

}  // namespace kea
