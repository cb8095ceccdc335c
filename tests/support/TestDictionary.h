// Builds small dictionaries for tests with the project's own builder, from
// lines written inline in the test (Windows-1252 text in the builder's input
// syntax, e.g. {"apple;pomme|a fruit", "pear"}).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "builder/EnglishAlphabet.h"
#include "support/TempDir.h"

namespace kea::test {

struct TestDictionaryOptions {
  std::array<std::uint8_t, 256> alphabet = englishAlphabetTable();
  std::string description = "Test dictionary";
  int shortest = 1;
  int longest = 100;
  std::string fileName = "test.kkd";
};

// The path of the new dictionary in `dir`. A failed build fails the calling
// test with the builder's log and throws, so the test stops there.
std::string buildTestDictionary(const TempDir& dir, const std::vector<std::string>& lines,
                                const TestDictionaryOptions& options = {});

// `count` different lower-case words of at least `length` letters ("aaaa",
// "baaa", ...), for lists too long to write out.
std::vector<std::string> generatedWords(int count, std::size_t length);

}  // namespace kea::test
