// What happens when memory runs out: the decoded word lists the program
// keeps (dictionary/DecodedLists.h) are given up first, silently; then the
// program tells the user, who can retry (a running search then pauses at
// its next step, which frees the memory its next steps would take) or end
// the program. A reserve taken at start is given back first, so that the
// message itself can be shown.
#pragma once

namespace kea::app {

// Also lets searches keep decoded word lists, within a sixteenth of the
// machine's memory and at most 256 MB (the shipped English.kkd takes about
// 20 MB).
void installLowMemoryHandler();

}  // namespace kea::app
