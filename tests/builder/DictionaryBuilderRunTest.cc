// How a build runs and fails: its log lines, abandonment, a file that cannot be created, a disk that fills up, and the
// fallback to 8-bit codes.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "BuildHelpers.h"
#include "builder/DictionaryBuilder.h"
#include "support/TempDir.h"

namespace kea::test {
namespace {

std::vector<std::string> numberedLines(int count) {
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) {
    char line[48];
    std::snprintf(line, sizeof line, "w%04d|text of line %d", i, i);
    lines.emplace_back(line);
  }
  return lines;
}

TEST(DictionaryBuilderRun, LogsEachPhaseAndLength) {
  const MemoryBuild build = buildLines({"cat|a feline", "horse"});
  ASSERT_TRUE(build.ok);
  EXPECT_EQ(build.log,
            "Alphabet analysis completed OK - compressing\n"
            "Frequency analysis completed OK\n"
            "1 letter words handled OK\n"
            "3 letter words handled OK\n"
            "5 letter words handled OK\n"
            "6 letter words handled OK\n");
  // A quick build reports no progress.
  EXPECT_TRUE(build.statuses.empty());
  EXPECT_TRUE(buildLines(numberedLines(300)).statuses.empty());
}

// Abandoning at the n-th call of nextLine: during calibration, a
// definition pass, or the grouped pointer tables (calls without a buffer).
TEST(DictionaryBuilderRun, AbandonmentStopsTheBuildInEveryPhase) {
  const std::vector<std::string> lines = {"cat|a feline", "dog|a canine", "emu"};
  ScriptedSource counting(lines, lines);
  ASSERT_TRUE(buildInMemory(counting).ok);
  const int total = counting.calls();
  // 4 calls per reading of the input (three lines and the end), three
  // readings, then one call before each of the three entries.
  ASSERT_EQ(total, 3 * 4 + 3);
  for (int call = 1; call <= total; ++call) {
    ScriptedSource source(lines, lines);
    source.abandonAtCall(call);
    const MemoryBuild build = buildInMemory(source);
    EXPECT_FALSE(build.ok) << call;
    EXPECT_TRUE(source.log.ends_with("Dictionary creation abandoned\n")) << call << ": " << source.log;
    EXPECT_TRUE(build.bytes.empty() || build.bytes.substr(0, 4) == "    ") << call;
    EXPECT_EQ(source.calls(), call);
  }
}

TEST(DictionaryBuilderRun, AFileThatCannotBeCreatedOrAnAlphabetWithoutLettersIsReported) {
  TempDir dir;
  const std::string target = dir.file("no such folder/x.kkd");
  TextLineSource source = TextLineSource::fromLines({"word"});
  EXPECT_FALSE(buildDictionary(source, englishAlphabetTable(), target, "", 1, 100));
  EXPECT_TRUE(source.log().ends_with("completed OK\nCouldn't open \"" + target + "\"\n")) << source.log();

  TextLineSource refused = TextLineSource::fromLines({"word"});
  BuildEnvironment environment;
  environment.createOutput = [](const std::string&) -> std::unique_ptr<OutputFile> {
    ADD_FAILURE() << "no file may be created";
    return nullptr;
  };
  std::array<std::uint8_t, 256> onlyNul{};  // byte 0 alone is cleared as well
  onlyNul[0] = 'a';
  for (const auto& alphabet : {std::array<std::uint8_t, 256>{}, onlyNul}) {
    EXPECT_FALSE(buildDictionary(refused, alphabet, "x.kkd", "", 1, 100, environment));
  }
  EXPECT_EQ(refused.log(), "The alphabet holds no letters\nThe alphabet holds no letters\n");
}

TEST(DictionaryBuilderRun, FullDiskIsReportedAndTheFileKeepsItsPlaceholderMagic) {
  std::vector<std::string> lines = numberedLines(400);
  lines.push_back("unrelated;words;of;several|lengths here");
  const MemoryBuild full = buildLines(lines);
  ASSERT_TRUE(full.ok);
  const KkdFile f = full.file();
  // Fill the disk in the header, in the definitions, and in the lengths
  // phase, at its very end and exactly one byte short.
  for (const std::uint64_t capacity : std::vector<std::uint64_t>{
           10, f.headerEnd + 100, f.wordListOffset[5] + 3, f.groupTable[5] + 1, f.bytes.size() - 1}) {
    BuildOptions options;
    options.capacity = capacity;
    const MemoryBuild build = buildLines(lines, options);
    EXPECT_FALSE(build.ok) << capacity;
    EXPECT_TRUE(build.log.ends_with("Couldn't output \"memory.kkd\" - out of disk space?\n")) << build.log;
    EXPECT_EQ(build.bytes.size(), capacity);
    EXPECT_EQ(build.bytes.substr(0, 4), "    ") << capacity;
    // The build stopped at the length where the disk filled up.
    EXPECT_TRUE(capacity >= f.wordListOffset[5] || build.log.find("5 letter words") == std::string::npos);
  }
  // Exactly enough room succeeds.
  BuildOptions options;
  options.capacity = f.bytes.size();
  EXPECT_TRUE(buildLines(lines, options).ok);
}

TEST(DictionaryBuilderRun, CodesLongerThan32BitsFallBackToStoring) {
  // Only "a" is in this alphabet; the other bytes carry Fibonacci-like
  // counts, so an optimal code would be 33 bits deep for the rarest bytes.
  std::array<std::uint8_t, 256> alphabet{};
  alphabet['a'] = 'a';
  const std::string fillers = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";  // 32 bytes outside the alphabet
  std::vector<std::uint64_t> fibonacci = {0, 1, 1};
  while (fibonacci.size() <= 34) fibonacci.push_back(fibonacci[fibonacci.size() - 1] + fibonacci[fibonacci.size() - 2]);
  // Positions 21 and 22 of the chain are the end symbol (one per entry)
  // and "a"; the fillers take the others.
  const std::uint64_t entries = fibonacci[21];
  std::string pool;
  for (std::size_t k = 1, filler = 0; k <= 34; ++k) {
    if (k != 21 && k != 22) pool.append(fibonacci[k], fillers[filler++]);
  }
  const std::uint64_t extraA = fibonacci[22] - entries;
  std::string text;
  std::set<std::string> lengthOne;
  std::size_t at = 0;
  for (std::uint64_t i = 0; i < entries; ++i) {
    const std::size_t take = (pool.size() - at) / (entries - i);
    std::string line = i < extraA ? "aa" : "a";
    line.append(pool, at, take);
    if (i >= extraA) lengthOne.insert(line);
    text += line + '\n';
    at += take;
  }
  ASSERT_EQ(at, pool.size());

  TextLineSource source(std::move(text));
  BuildOptions options;
  options.alphabet = alphabet;
  const MemoryBuild build = buildInMemory(source, options);
  ASSERT_TRUE(build.ok) << source.log();
  EXPECT_TRUE(source.log().starts_with("Alphabet analysis completed OK - storing\n")) << source.log();
  const KkdFile f = build.file();
  for (int v = 0; v < 256; ++v) {
    EXPECT_EQ(std::make_pair(int{f.symbols[v].length}, f.symbols[v].code), std::make_pair(8, v + 0u)) << v;
  }
  const KkdWordList first = decodeWordList(f, 1, 1);
  ASSERT_EQ(first.section1.size(), 1u);
  EXPECT_TRUE(lengthOne.count(first.section1[0].text)) << first.section1[0].text.substr(0, 40);
}

}  // namespace
}  // namespace kea::test
