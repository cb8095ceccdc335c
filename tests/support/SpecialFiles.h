// Named pipes, sockets, device nodes and sparse files made inside a test's
// own folder, for the tests of hostile inputs and outputs. The system's own
// device nodes are never touched: a test that needs a device makes a
// private node of it, and only /dev/zero and /dev/full are used as the
// kernel provides them.
#pragma once

#include <cstdint>
#include <string>

namespace kea::test {

bool makeNamedPipe(const std::string& path);
// A socket file: an AF_UNIX socket bound to `path` (the socket itself is
// closed again; the file stays).
bool makeSocket(const std::string& path);
// A character device node with the numbers of /dev/null (1, 3), /dev/zero
// (1, 5) or /dev/full (1, 7). False where the system does not allow one
// (not root, or a file system mounted without devices).
bool makeCharacterDevice(const std::string& path, unsigned major, unsigned minor);
// A file of `size` bytes that holds nothing: no disk space is used.
bool makeSparseFile(const std::string& path, std::uint64_t size);
// Whether the test runs as root, whom file permissions do not stop.
bool runningAsRoot();
// The file's permission bits.
unsigned fileMode(const std::string& path);

}  // namespace kea::test
