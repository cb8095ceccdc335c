// Runs a piece of a test in a child process whose files may grow only to a
// given size, the way a full disk stops a write. The child's exit status is
// the piece's result, so the parent sees what the code under test returned
// and the files it left behind.
#pragma once

#include <functional>

namespace kea::test {

// The value `body` returned (0…255) when the child ended normally; -1 when
// it could not be started or ended otherwise (a crash).
int runWithFileSizeLimit(long long bytes, const std::function<int()>& body);

}  // namespace kea::test
