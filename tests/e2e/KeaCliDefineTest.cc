// kea-cli define and kea-cli search --full-text as a user runs them: on the
// shipped dictionaries, on small dictionaries with accented words, and with
// wrong command lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea::test {
namespace {

const std::string kEnglish = std::string(KEA_SHIPPED_DATA_DIR) + "/Dictionaries/English.kkd";
const std::string kWordNet = std::string(KEA_SHIPPED_DATA_DIR) + "/Definitions/WordNet.kkd";

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

std::ptrdiff_t lineIndex(const std::string& text, const std::string& line) {
  const auto all = lines(text);
  const auto at = std::find(all.begin(), all.end(), line);
  return at == all.end() ? -1 : at - all.begin();
}

ProgramRun run(const std::string& command, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), command);
  return runProgram("kea-cli", arguments);
}

TEST(KeaCliDefine, ElectronShowsItsWordNetGloss) {
  const ProgramRun r = run("define", {"electron"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  // The shipped English dictionary first, then WordNet, each with the gloss.
  const auto english = lineIndex(r.out, "English.kkd");
  const auto wordNet = lineIndex(r.out, "WordNet.kkd");
  ASSERT_GE(english, 0) << r.out;
  ASSERT_GT(wordNet, english) << r.out;
  const auto all = lines(r.out);
  ASSERT_GT(all.size(), static_cast<std::size_t>(wordNet + 2));
  EXPECT_EQ(all[static_cast<std::size_t>(wordNet + 1)], "  electron");
  EXPECT_EQ(all[static_cast<std::size_t>(wordNet + 2)], "    noun: an elementary particle with negative charge");

  // A synonym of the synset and letters in another case find the same record.
  const ProgramRun synonym = run("define", {"-d", kWordNet, "NEGATRON"});
  EXPECT_EQ(synonym.exitCode, 0);
  EXPECT_EQ(synonym.out, "WordNet.kkd\n  negatron\n    noun: an elementary particle with negative charge\n");
}

TEST(KeaCliDefine, NoDefinitionGivesTheMessageAndStatusOne) {
  const ProgramRun r = run("define", {"zzqxw"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
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
}

TEST(KeaCliDefine, WrongCommandLines) {
  TempDir dir;
  const struct {
    std::vector<std::string> arguments;
    std::string error;
  } cases[] = {
      {{}, "no word given"},
      {{"a", "b"}, "more than one word given"},
      {{"--nonsense", "a"}, "unknown option '--nonsense'"},
      {{"-d"}, "'-d' needs a dictionary file"},
      {{"-d", dir.file("absent.kkd"), "a"}, "-- DICTIONARY FILE NOT FOUND --"},
  };
  for (const auto& c : cases) {
    const ProgramRun r = run("define", c.arguments);
    EXPECT_EQ(r.exitCode, 2) << c.error;
    EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
  }
  const ProgramRun help = run("define", {"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage: kea-cli define"), std::string::npos);
  EXPECT_EQ(runProgram("kea-cli", {"help", "define"}).out, help.out);
  EXPECT_NE(runProgram("kea-cli", {"--help"}).out.find("  define "), std::string::npos);
}

TEST(KeaCliFullText, AWordOfAKnownGlossFindsItsSynset) {
  // From electron's gloss; the index answers the first, the second is read.
  for (const char* query : {"elementary & negative & charge", "element* & negative & charge"}) {
    const ProgramRun r = run("search", {"--full-text", "-d", kWordNet, query});
    ASSERT_EQ(r.exitCode, 0) << query << r.err;
    EXPECT_GE(lineIndex(r.out, "electron"), 0) << query << r.out;
    EXPECT_GE(lineIndex(r.out, "muon"), 0) << query << r.out;
  }
  // A synset's headword finds its own record though its gloss lacks it.
  const ProgramRun synonym = run("search", {"--full-text", "-d", kWordNet, "negatron"});
  EXPECT_EQ(synonym.out, "electron\n");
  // The default dictionary is the shipped English one.
  const ProgramRun english = run("search", {"--full-text", "negatron"});
  EXPECT_EQ(english.out, "electron\n");
  EXPECT_EQ(english.err, "1 result found\n");
}

TEST(KeaCliFullText, DictionaryWithoutDefinitionsFindsNothing) {
  TempDir dir;
  const std::string path = buildTestDictionary(dir, {"stone", "small"});
  const ProgramRun r = run("search", {"--full-text", "-d", path, "stone"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "0 results found\n");
}

}  // namespace
}  // namespace kea::test
