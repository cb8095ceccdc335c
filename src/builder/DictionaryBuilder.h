// Builds a ".kkd" dictionary from builder input lines. The input is read
// three times: once to measure it (entries, byte frequencies, definition
// groups, the words of the searchable definitions), once for each group of
// definition records; then the entries are written length by length.
// Progress goes to the line source's status, failures to its log.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "builder/DictionaryMaintainer.h"
#include "builder/OutputFile.h"

namespace kea {

// What the builder needs from its surroundings, replaceable in tests.
struct BuildEnvironment {
  // Creates the target file; nullptr when it cannot be created. Empty:
  // createOutputFile, or, for saveDictionary, the place its target made.
  std::function<std::unique_ptr<OutputFile>(const std::string& path)> createOutput;
  // A millisecond clock for throttling progress reports.
  std::function<std::int64_t()> milliseconds = steadyMilliseconds;

  static std::int64_t steadyMilliseconds();
};

// Writes the dictionary of the lines of `source` to `targetPath`.
//
// `alphabet` gives each byte's canonical character, 0 outside the alphabet;
// it is made consistent first (see sanitiseAlphabetTable). `description` is
// cut to 999 characters. Entries whose key has fewer than `shortest` or more
// than `longest` characters are dropped; the range is clamped to 1 … 100.
//
// True when the file was written completely. False after the line source
// abandoned the build, memory ran out, the file could not be created or a
// write came up short, or when the alphabet holds no letters at all (no
// reader would accept the file); the reason is in the source's log, and a
// partly written file (never carrying a valid magic) is left for the
// caller.
//
// The file has one length slot more than the longest length that has
// headwords or index words.
bool buildDictionary(DictionaryMaintainer& source, const std::array<std::uint8_t, 256>& alphabet,
                     const std::string& targetPath, const std::string& description, int shortest,
                     int longest, const BuildEnvironment& environment = {});

}  // namespace kea
