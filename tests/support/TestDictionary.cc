#include "support/TestDictionary.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "builder/DictionaryBuilder.h"
#include "builder/TextLineSource.h"

namespace kea::test {

std::string buildTestDictionary(const TempDir& dir, const std::vector<std::string>& lines,
                                const TestDictionaryOptions& options) {
  const std::string path = dir.file(options.fileName);
  TextLineSource source = TextLineSource::fromLines(lines);
  if (!buildDictionary(source, options.alphabet, path, options.description, options.shortest, options.longest)) {
    ADD_FAILURE() << "building the test dictionary " << path << " failed:\n" << source.log();
    throw std::runtime_error("test dictionary build failed");
  }
  return path;
}

std::vector<std::string> generatedWords(int count, std::size_t length) {
  std::vector<std::string> words;
  for (int i = 0; i < count; ++i) {
    std::string w;
    for (int v = i; w.size() < length || v > 0; v /= 26) w += static_cast<char>('a' + v % 26);
    words.push_back(w);
  }
  return words;
}

}  // namespace kea::test
