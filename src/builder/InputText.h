// Turns the bytes of a builder input file into the line text the builder
// reads: lines end at line feeds (a carriage return before one is dropped),
// and UTF-8 input is converted to Windows-1252. Anything that cannot become
// a builder line — a character Windows-1252 cannot hold, malformed UTF-8, a
// NUL byte — is reported with its line number rather than changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kea {

struct InputText {
  std::string lines;                  // Windows-1252 lines, each ended by a line feed
  std::size_t lineCount = 0;
  std::vector<std::string> problems;  // "line N: …", in line order, at most `maxProblems`
  std::size_t problemLines = 0;       // how many lines had a problem; when not 0,
                                      // `lines` lacks those lines and must not be built
};

// `utf8` false takes the bytes as Windows-1252 already. A UTF-8 byte-order
// mark at the start is skipped.
InputText prepareInputText(std::string_view bytes, bool utf8, std::size_t maxProblems = 10);

// The most a builder input or word list may hold. The whole input is held
// in memory while a dictionary is built from it, and a dictionary's
// offsets reach 4 GiB at most; no real word list comes near this.
inline constexpr std::uint64_t kMaxInputBytes = std::uint64_t{1} << 30;

// Reads a whole builder input or word list (the operating system's name, or
// "-" for standard input), at most kMaxInputBytes. Only a regular file is
// opened, and nothing waits: a folder, pipe, socket or device named as an
// input is refused; standard input stops at its first NUL byte, since no
// line may hold one. False, with a sentence about the file in `error`, when
// it cannot be read.
bool readInputFile(const std::string& path, std::string& out, std::string* error);

// Whether two names (the operating system's) name the same existing file.
bool isSameFile(const std::string& a, const std::string& b);

}  // namespace kea
