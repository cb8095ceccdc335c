// Builder alphabets kept in files: 256 bytes, where byte v holds the
// canonical character of byte value v, or 0 when v is outside the alphabet.
// A canonical character must be its own canonical character, byte 0 is
// never in the alphabet, and a dictionary holds 1 to 253 canonical
// characters.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kea {

// The most canonical characters a dictionary's alphabet can number.
inline constexpr int kMaxCanonicalCharacters = 253;

// Why a table cannot serve as an alphabet, or empty when it can.
std::string alphabetTableProblem(const std::array<std::uint8_t, 256>& table);

// The table held in the bytes of an alphabet file, or nothing (and the
// reason in `error`) when the bytes are not a valid table.
std::optional<std::array<std::uint8_t, 256>> parseAlphabetFile(std::string_view bytes, std::string* error);

// The 256 bytes of an alphabet file for `table`.
std::string alphabetFileBytes(const std::array<std::uint8_t, 256>& table);

// The alphabet a builder option names: "english" for the built-in one
// (see englishAlphabetTable), otherwise an alphabet file (the operating
// system's name). Nothing, and the reason in `error`, when the file cannot
// be read or holds no valid table.
std::optional<std::array<std::uint8_t, 256>> loadAlphabet(const std::string& setting, std::string* error);

}  // namespace kea
