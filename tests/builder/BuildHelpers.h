// Helpers shared by the builder's tests: a build whose file stays in
// memory, and line sources that can be told to change or give up.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/KkdTestReader.h"
#include "builder/DictionaryBuilder.h"
#include "builder/EnglishAlphabet.h"
#include "builder/OutputFile.h"
#include "builder/TextLineSource.h"

namespace kea::test {

// Forwards to a MemoryOutputFile that outlives the build.
class BorrowedOutput : public OutputFile {
 public:
  explicit BorrowedOutput(MemoryOutputFile& target) : target_(target) {}
  bool write(const void* data, std::size_t size) override { return target_.write(data, size); }
  using OutputFile::write;
  bool seek(std::uint64_t offset) override { return target_.seek(offset); }
  std::uint64_t position() const override { return target_.position(); }
  bool close() override { return target_.close(); }
  bool failed() const override { return target_.failed(); }

 private:
  MemoryOutputFile& target_;
};

struct BuildOptions {
  std::array<std::uint8_t, 256> alphabet = englishAlphabetTable();
  std::string description = "Test";
  int shortest = 1;
  int longest = 100;
  std::uint64_t capacity = MemoryOutputFile::kUnlimited;
};

struct MemoryBuild {
  bool ok = false;
  std::string log;
  std::vector<std::string> statuses;
  std::string bytes;
  KkdFile file() const { return parseKkd(bytes); }
};

inline MemoryBuild buildInMemory(DictionaryMaintainer& source, const BuildOptions& options = {},
                                 BuildEnvironment environment = {}) {
  MemoryBuild result;
  MemoryOutputFile memory(options.capacity);
  environment.createOutput = [&](const std::string&) -> std::unique_ptr<OutputFile> {
    return std::make_unique<BorrowedOutput>(memory);
  };
  result.ok = buildDictionary(source, options.alphabet, "memory.kkd", options.description, options.shortest,
                              options.longest, environment);
  result.bytes = memory.bytes();
  return result;
}

inline MemoryBuild buildLines(const std::vector<std::string>& lines, const BuildOptions& options = {}) {
  TextLineSource source = TextLineSource::fromLines(lines);
  std::vector<std::string> statuses;
  source.onStatus([&](const std::string& text) { statuses.push_back(text); });
  MemoryBuild result = buildInMemory(source, options);
  result.log = source.log();
  result.statuses = std::move(statuses);
  return result;
}

// Delivers one list of lines for the calibration pass and another for the
// passes after it, to model a source that changes under the builder; can
// also abandon the build at a given call.
class ScriptedSource : public DictionaryMaintainer {
 public:
  ScriptedSource(std::vector<std::string> first, std::vector<std::string> later)
      : first_(std::move(first)), later_(std::move(later)) {}

  int nextLine(std::string* line, int) override {
    ++calls_;
    if (abandonAtCall_ != 0 && calls_ == abandonAtCall_) return kAbandon;
    if (line == nullptr) return kDelivered;
    const auto& lines = rewinds_ <= 1 ? first_ : later_;
    if (next_ >= lines.size()) return kExhausted;
    *line = lines[next_++];
    return kDelivered;
  }
  void rewind() override {
    ++rewinds_;
    next_ = 0;
  }
  void logMessage(const std::string& text) override { log += text; }
  void status(const std::string&) override {}

  int calls() const { return calls_; }
  void abandonAtCall(int call) { abandonAtCall_ = call; }

  std::string log;

 private:
  std::vector<std::string> first_, later_;
  std::size_t next_ = 0;
  int rewinds_ = 0;
  int calls_ = 0;
  int abandonAtCall_ = 0;
};

}  // namespace kea::test
