// kea-cli define and kea-cli search --full-text as a user runs them: on the
// shipped dictionaries, on a small dictionary with accented words and rich
// text, and with wrong command lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea::test {
namespace {

const std::string kWordNet = std::string(KEA_SHIPPED_DATA_DIR) + "/Definitions/WordNet.kkd";

ProgramRun run(const std::string& command, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), command);
  return runProgram("kea-cli", arguments);
}

TEST(KeaCliDefine, ElectronShowsItsWordNetGloss) {
  const ProgramRun r = run("define", {"electron"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  // The shipped English dictionary first, then WordNet, each with the gloss.
  const int english = lineIndex(r.out, "English.kkd"), wordNet = lineIndex(r.out, "WordNet.kkd");
  ASSERT_GE(english, 0) << r.out;
  ASSERT_GT(wordNet, english) << r.out;
  const auto all = outputLines(r.out);
  ASSERT_GT(all.size(), static_cast<std::size_t>(wordNet + 2));
  EXPECT_EQ(all[static_cast<std::size_t>(wordNet + 1)], "  electron");
  EXPECT_EQ(all[static_cast<std::size_t>(wordNet + 2)], "    noun: an elementary particle with negative charge");
  // A synonym in another case finds the same record.
  EXPECT_EQ(run("define", {"-d", kWordNet, "NEGATRON"}).out,
            "WordNet.kkd\n  negatron\n    noun: an elementary particle with negative charge\n");

  const ProgramRun none = run("define", {"zzqxw"});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(none.err,
            "No definitions for \"zzqxw\" could be found in the KEA dictionaries.\n\n"
            "Would you like to try an external search?\n");
}

TEST(KeaCliDefine, AccentedWordsAndRichTextAtTheTerminal) {
  TempDir dir;
  const std::string path = buildTestDictionary(
      dir, {"caf\xE9|a coffee house", "caf\xE9|{\\rtf1\\ansi a \\b small\\b0  restaurant\\par serving \\'e9clairs}",
            "cafe society|fashionable people"});
  // UTF-8 in: É is folded to e and finds café; UTF-8 out.
  const ProgramRun r = run("define", {"-d", path, "CAF\xC3\x89"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "test.kkd\n  caf\xC3\xA9\n    a coffee house\n  caf\xC3\xA9\n    a small restaurant\n"
            "    serving \xC3\xA9\x63lairs\n");

  const ProgramRun full = run("search", {"--full-text", "-d", path, "coffee | \xC3\xA9\x63lairs"});
  EXPECT_EQ(full.exitCode, 0) << full.err;
  EXPECT_EQ(full.out, "caf\xC3\xA9\ncaf\xC3\xA9\n");
  EXPECT_EQ(full.err, "2 results found\n");

  // A dictionary without definitions finds nothing.
  TempDir bare;
  const ProgramRun none = run("search", {"--full-text", "-d", buildTestDictionary(bare, {"stone", "small"}), "stone"});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(none.err, "0 results found\n");
}

TEST(KeaCliDefine, WrongCommandLines) {
  TempDir dir;
  for (const auto& [arguments, error] : {std::pair<std::vector<std::string>, std::string>{{}, "no word given"},
                                         {{"a", "b"}, "more than one word given"},
                                         {{"-d"}, "'-d' needs a dictionary file"},
                                         {{"-d", dir.file("absent.kkd"), "a"}, "-- DICTIONARY FILE NOT FOUND --"}}) {
    const ProgramRun r = run("define", arguments);
    EXPECT_EQ(r.exitCode, 2) << error;
    EXPECT_NE(r.err.find(error), std::string::npos) << r.err;
  }
  EXPECT_EQ(run("define", {"--help"}).out.rfind("Usage: kea-cli define", 0), 0u);
}

TEST(KeaCliFullText, AWordOfAKnownGlossFindsItsSynset) {
  // From electron's gloss; the index answers the first, the second is read.
  for (const char* query : {"elementary & negative & charge", "element* & negative & charge"}) {
    const ProgramRun r = run("search", {"--full-text", "-d", kWordNet, query});
    ASSERT_EQ(r.exitCode, 0) << query << r.err;
    EXPECT_GE(lineIndex(r.out, "electron"), 0) << query << r.out;
    EXPECT_GE(lineIndex(r.out, "muon"), 0) << query << r.out;
  }
  // A synset's headword finds its own record though its gloss lacks it; the
  // default dictionary is the shipped English one.
  EXPECT_EQ(run("search", {"--full-text", "-d", kWordNet, "negatron"}).out, "electron\n");
  const ProgramRun english = run("search", {"--full-text", "negatron"});
  EXPECT_EQ(english.out, "electron\n");
  EXPECT_EQ(english.err, "1 result found\n");
}

}  // namespace
}  // namespace kea::test
