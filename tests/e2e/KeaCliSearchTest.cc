// kea-cli search as a user runs it: the Quick Reference examples on the
// shipped English dictionary, results and counts, several dictionaries with
// their captions and modes, options, exit statuses, UTF-8 at the terminal,
// a process short of file handles, and Ctrl-C.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea::test {
namespace {

const std::string kEnglish = std::string(KEA_SHIPPED_DATA_DIR) + "/Dictionaries/English.kkd";

ProgramRun search(std::vector<std::string> arguments, const ProgramOptions& options = {}) {
  arguments.insert(arguments.begin(), "search");
  return runProgram("kea-cli", arguments, options);
}

TEST(KeaCliSearch, EveryQuickReferenceExampleFindsItsWordInTheShippedDictionary) {
  struct Example {
    const char* pattern;
    const char* word;
  };
  const Example examples[] = {
      {".l...r.n", "electron"},        {";lobikes", "obelisk"},        {"m*ja", "maharaja"},
      {";diners[ai]", "sardine"},      {"......*;gdangboot", "toboggan -d"}, {"12341234", "beriberi"},
      {"...-..-.....", "fly-by-night"}, {";..oting & ! *ing", "tonight"}, {"@#@#@#@#@#@", "imaginative"},
      {";rebel(ada)", "readable"},
  };
  for (const Example& e : examples) {
    SCOPED_TRACE(e.pattern);
    // The shipped dictionary is the default one.
    const ProgramRun run = search({e.pattern});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_GE(lineIndex(run.out, e.word), 0) << run.out;
    const std::size_t count = outputLines(run.out).size();
    EXPECT_EQ(run.err, std::to_string(count) + (count == 1 ? " result found\n" : " results found\n"));
  }
  // Named explicitly, the same.
  const ProgramRun run = search({"-d", kEnglish, ";lobikes"});
  EXPECT_EQ(run.out, "obelisk\n");
  EXPECT_EQ(run.err, "1 result found\n");
}

TEST(KeaCliSearch, ExitStatusesAndMessages) {
  TempDir dir;
  const std::string dictionary = buildTestDictionary(dir, {"cat", "cot", "dog", "electron"});
  const struct {
    std::vector<std::string> arguments;
    int exitCode;
    std::string err;  // a part of standard error
  } cases[] = {
      {{"-d", dictionary, "c.t"}, 0, "2 results found\n"},
      {{"-d", dictionary, "z.z"}, 1, "0 results found\n"},
      {{"-d", dictionary, "c[ab"}, 2, dictionary + ": Choice list started - use ] to complete it"},
      {{"-d", dir.file("missing.kkd"), "cat"}, 2, "missing.kkd: -- DICTIONARY FILE NOT FOUND --"},
      {{"-d", dictionary}, 2, "no pattern given"},
      {{"-d", dictionary, "a", "b"}, 2, "more than one pattern"},
      {{"-d", dictionary, "--bogus", "cat"}, 2, "unknown option '--bogus'"},
      {{"-d", dictionary, "--shortest", "x", "cat"}, 2, "'--shortest' needs a number"},
      {{"-d", dictionary, "--shortest", "6", "--longest", "5", "cat"}, 2, "shortest length is above the longest"},
      {{"-d", dictionary, "--mode", "all", "cat"}, 2, "unknown mode 'all'"},
      {{"-d", dictionary, "--active", "2", "cat"}, 2, "'--active' names no dictionary"},
      {{"-d", dictionary, "c\xE2\x88\x9E"}, 2, "(U+221E)"},
      // Out-of-range lengths are clamped as the length boxes clamp them.
      {{"-d", dictionary, "--shortest", "0", "--longest", "150", "c.t"}, 0, "2 results found\n"},
      // A pattern that starts like an option follows "--".
      {{"-d", dictionary, "--", "-.lectron"}, 1, "0 results found\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.back());
    const ProgramRun run = search(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    if (c.exitCode == 2) {
      EXPECT_EQ(run.out, "");
    }
  }
  const ProgramRun help = search({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(outputLines(help.out).at(0), "Usage: kea-cli search [OPTIONS] PATTERN");
  EXPECT_NE(help.out.find("Exit status"), std::string::npos);
}

TEST(KeaCliSearch, SeveralDictionariesHaveCaptionsAndModes) {
  TempDir dir;
  TestDictionaryOptions first, second;
  first.fileName = "one.kkd";
  second.fileName = "two & more.kkd";
  const std::string a = buildTestDictionary(dir, {"cat", "dog", "tail-end"}, first);
  const std::string b = buildTestDictionary(dir, {"Cat", "cow", "dog", "tailend", "yak"}, second);

  ProgramRun run = search({"-d", a, "-d", b, "*"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "1 " + a + " (3)\ncat\ndog\ntail-end\n2 " + b + " (2)\ncow\nyak\n");
  EXPECT_EQ(run.err, "5 results found\n");

  run = search({"-d", a, "-d", b, "--mode", "independent", "--sort", "--no-group", "*"});
  EXPECT_EQ(run.out, "1 " + a + " (3)\ncat\ndog\ntail-end\n2 " + b + " (5)\nCat\ncow\ndog\ntailend\nyak\n");

  run = search({"-d", a, "-d", b, "--mode=active", "--active=2", "--descending", "--sort", "c*"});
  EXPECT_EQ(run.out, "2 " + b + " (2)\ncow\nCat\n");
  EXPECT_EQ(run.err, "2 results found\n");
}

TEST(KeaCliSearch, OptionsReachTheSearch) {
  TempDir dir;
  const std::string d = buildTestDictionary(
      dir, {"tail", "Charlie", "tail-end", "tail-end Charlie", "obelisk", "obelisks", "bat+ (n. club)+", "abab", "aaaa", "ab-cd'ef"});
  const struct {
    std::vector<std::string> arguments;
    std::string out;
  } cases[] = {
      {{"--no-lower", "--no-punctuation", "*"}, "Charlie\ntail-end Charlie\n"},
      {{"--no-upper", "--no-phrases", "--no-lower", "*"}, "ab-cd'ef\ntail-end\n"},
      {{"--no-balances", ";lobikes*"}, "obelisk\nobelisks\n"},
      {{"--no-annotations", "b.t"}, "bat\n"},
      {{"--group", "descending", "--shortest", "7", "--longest", "8", "*"}, "obelisks\nCharlie\nobelisk\ntail-end\n"},
      {{"--group=ascending", "--sort", "--descending", "--longest", "7", "*"},
       "bat (n. club)\ntail\nabab\naaaa\nab-cd'ef\ntail-end\nobelisk\nCharlie\n"},
      {{"--shared-variables", "1212"}, "aaaa\nabab\n"},
      {{"--exclusive-variables", "1212"}, "abab\n"},
      {{"--at", "[b]", "@at"}, "bat (n. club)\n"},
      {{"--hash", "i", "ta#l"}, "tail\n"},
      // The apostrophe is punctuation the pattern does not use.
      {{"..-...."}, "ab-cd'ef\n"},
      {{"--match-punctuation", "..-...."}, ""},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments{"-d", d};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    SCOPED_TRACE(arguments.back());
    const ProgramRun run = search(arguments);
    EXPECT_EQ(run.out, c.out) << run.err;
  }
}

TEST(KeaCliSearch, TextIsUtf8AtTheTerminal) {
  TempDir dir;
  const std::string d = buildTestDictionary(dir, {"caf\xE9", "cafe", "na\xEFve"});
  EXPECT_EQ(search({"-d", d, "--sort", "caf."}).out, "cafe\ncaf\xC3\xA9\n");
  EXPECT_EQ(search({"-d", d, "na\xC3\xAFve"}).out, "na\xC3\xAFve\n");  // naïve typed in UTF-8
  EXPECT_EQ(search({"-d", d, "caf\\\xC3\xA9"}).out, "caf\xC3\xA9\n");  // an \ makes the accent count
}

TEST(KeaCliSearch, MoreDictionariesThanFreeFileHandlesAreAllSearched) {
  TempDir dir;
  const std::string first = buildTestDictionary(dir, {"cat", "electron"});
  std::vector<std::string> arguments;
  for (int i = 0; i < 9; ++i) {
    const std::string path = dir.file("copy" + std::to_string(i) + ".kkd");
    std::filesystem::copy_file(first, path);
    arguments.insert(arguments.end(), {"-d", path});
  }
  arguments.insert(arguments.end(), {"--mode", "independent", ".l...r.n"});
  ProgramOptions options;
  // Standard input, output and error, and five more: fewer than the
  // dictionaries (and enough for a sanitizer's own needs).
  options.openFileLimit = 8;
  const ProgramRun run = search(arguments, options);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "9 results found\n");
  int found = 0;
  for (const std::string& line : outputLines(run.out)) found += line == "electron";
  EXPECT_EQ(found, 9) << run.out;
}

TEST(KeaCliSearch, CtrlCPausesTheSearchAndListsWhatWasFound) {
  // Nine passes over the shipped dictionary with a pattern that tries hard
  // on every word and matches few: long enough to be interrupted.
  std::vector<std::string> arguments;
  TempDir dir;
  for (int i = 0; i < 9; ++i) {
    const std::string path = dir.file("English" + std::to_string(i) + ".kkd");
    std::filesystem::create_symlink(kEnglish, path);
    arguments.insert(arguments.end(), {"-d", path});
  }
  arguments.insert(arguments.end(), {"--mode", "independent", "*1*2*3*1*2*3*"});
  ProgramOptions options;
  options.signalAfterMs = 300;
  const ProgramRun run = search(arguments, options);
  EXPECT_EQ(run.exitCode, 130) << run.err;
  EXPECT_NE(run.err.find("interrupted; "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(" so far"), std::string::npos) << run.err;
  // The captions of the lists searched so far are there.
  EXPECT_EQ(run.out.substr(0, 2), "1 ") << run.out;
}

}  // namespace
}  // namespace kea::test
