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

}  // namespace kea::test
