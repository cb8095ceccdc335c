// Saving a results list: as a text file, one entry per line, and the name
// rules of the save dialog that need no window. Lists hold Windows-1252
// text; the file is UTF-8 with line feeds, as text files are on this system.
// The file is written as platform::OutputTarget writes: beside its target
// under a temporary name that takes the target's place only once complete,
// so a failed save never leaves a half-written file or damages the one it
// was to replace; into a pipe or device as a stream; never over a folder.
#pragma once

#include <string>
#include <string_view>

#include "search/ResultsList.h"

namespace kea {

// What the save dialog's filter index (1-based) chooses.
enum class ResultsFileForm { Text = 1, Dictionary = 2 };

// The form for a filter index; anything but 2 is text.
ResultsFileForm resultsFileFormForFilter(int filterIndex);

// The path as chosen, with ".txt" or ".kkd" appended when its last
// component has no extension.
std::string withResultsExtension(std::string_view path, ResultsFileForm form);

// The name the dialog offers next time: the last component without any
// extension ("/home/a/words.v2.txt" gives "words").
std::string rememberedResultsName(std::string_view path);

// Every entry in list order (not only the selected ones), with its
// annotation and balance, each followed by "\n", in UTF-8.
std::string resultsText(const ResultsList& list);

// Writes resultsText(list) to `path` (a library path, Windows-1252). False
// when it could not be written completely; the file that was there, if any,
// is then unchanged. `detail` receives a sentence saying why.
bool saveResultsAsText(const ResultsList& list, const std::string& path, std::string* detail = nullptr);

}  // namespace kea
