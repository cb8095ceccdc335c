// kea-cli as a user runs it: info, define and search (word and full text)
// on the shipped dictionaries and on small ones, their options, captions
// and exit statuses, missing and invalid files, wrong command lines, UTF-8
// at the terminal, a process short of file handles, and Ctrl-C; and the
// programs' --version and the manual pages written from their help.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea::test {
namespace {

const std::string kEnglish = std::string(KEA_SHIPPED_DATA_DIR) + "/Dictionaries/English.kkd";
const std::string kWordNet = std::string(KEA_SHIPPED_DATA_DIR) + "/Definitions/WordNet.kkd";

ProgramRun run(const std::string& command, std::vector<std::string> arguments,
               const ProgramOptions& options = {}) {
  arguments.insert(arguments.begin(), command);
  return runProgram("kea-cli", arguments, options);
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The number after "label: " on the first line that starts with it.
long long figure(const std::string& out, const std::string& label) {
  for (const std::string& line : outputLines(out)) {
    if (line.rfind(label + ": ", 0) == 0) return std::stoll(line.substr(label.size() + 2));
  }
  return -1;
}

TEST(KeaCli, InfoOnTheShippedDictionaries) {
  const ProgramRun english = run("info", {kEnglish});
  ASSERT_EQ(english.exitCode, 0) << english.err;
  EXPECT_GE(figure(english.out, "Entries"), 400000) << english.out;
  EXPECT_GE(figure(english.out, "Definitions"), 100000) << english.out;
  EXPECT_EQ(figure(english.out, "Shortest"), 1);
  EXPECT_TRUE(contains(english.out, "SCOWL")) << english.out;
  EXPECT_TRUE(contains(english.out, "Block summaries: yes, blocks of 16 entries (English.blocks)\n")) << english.out;

  // Copied without their dates, the summaries no longer vouch for the copy.
  TempDir dir;
  std::filesystem::copy_file(kEnglish, dir.file("English.kkd"));
  std::filesystem::copy_file(std::filesystem::path(kEnglish).replace_extension(".blocks"), dir.file("English.blocks"));
  std::filesystem::last_write_time(dir.file("English.kkd"),
                                   std::filesystem::last_write_time(kEnglish) + std::chrono::seconds(1));
  const ProgramRun copy = run("info", {dir.file("English.kkd")});
  EXPECT_TRUE(contains(copy.out, "Block summaries: English.blocks was made from another version of this file "
                                 "(copied without its date?) and is not used\n"))
      << copy.out;
}

TEST(KeaCli, InfoShowsThePropertiesAndSummaryInUtf8) {
  TempDir dir;
  TestDictionaryOptions options;
  options.description = "Caf\xE9 words";  // Windows-1252 é
  const std::string path =
      buildTestDictionary(dir, {"electron|a particle", "obelisk", "sardine;pilchard|a fish", "cat"}, options);
  const std::string utf8 = dir.path().string() + "/caf\xC3\xA9.kkd";
  std::filesystem::rename(path, utf8);
  const ProgramRun r = run("info", {utf8});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.rfind("Location: " + utf8 + "\nDate: ", 0), 0u) << r.out;
  EXPECT_TRUE(contains(r.out,
                       "\nDescription: Caf\xC3\xA9 words\nEntries: 5\nDefinitions: 3\nShortest: 3\nLongest: 8\n"
                       "Alphabet: abcdefghijklmnopqrstuvwxyz\xC5\x93\xC3\x9F\xC3\xA6\xC3\xBE\n"
                       "Block summaries: none (searches read every entry)\nSummary:\n  caf\xC3\xA9\n  Headwords: 5\n  Definitions: 3\n  Description: Caf\xC3\xA9 words\n"))
      << r.out;
  // A name Windows-1252 cannot hold is refused with the reason.
  const ProgramRun chinese = run("info", {dir.path().string() + "/\xE4\xB8\xAD.kkd"});
  EXPECT_EQ(chinese.exitCode, 2);
  EXPECT_TRUE(contains(chinese.err, "U+4E2D")) << chinese.err;
}

TEST(KeaCli, MissingAndInvalidFilesShowTheirStatusAndFail) {
  TempDir dir;
  const std::string good = buildTestDictionary(dir, {"cat"});
  writeFile(dir.file("bad.kkd"), "    not a dictionary");
  const ProgramRun r = run("info", {good, dir.file("missing.kkd"), dir.file("bad.kkd")});
  EXPECT_EQ(r.exitCode, 1);
  for (const auto& [file, status, problem] :
       {std::tuple<std::string, std::string, std::string>{"missing.kkd", "-- DICTIONARY FILE NOT FOUND --", "was not found"},
        {"bad.kkd", "-- INVALID DICTIONARY FILE --", "is not a dictionary file"}}) {
    const std::string name = file.substr(0, file.size() - 4);  // without ".kkd"
    EXPECT_TRUE(contains(r.out, "Description: " + status + "\nSummary:\n  " + name + "\n  Description: " + status + "\n"))
        << r.out;
    EXPECT_TRUE(contains(r.err, "kea-cli info: " + dir.file(file) + " " + problem + "\n")) << r.err;
  }
  EXPECT_TRUE(contains(r.out, "Entries: 1\n")) << r.out;  // the good one is still shown
}

TEST(KeaCliDefine, ElectronShowsItsWordNetGloss) {
  const ProgramRun r = run("define", {"electron"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  // The shipped English dictionary first, then WordNet, each with the gloss.
  const auto wordNet = r.out.find("\nWordNet.kkd\n  electron\n    noun: an elementary particle with negative charge\n");
  ASSERT_NE(wordNet, std::string::npos) << r.out;
  EXPECT_EQ(r.out.rfind("English.kkd\n", 0), 0u) << r.out;
  // A synonym in another case finds the same record.
  EXPECT_EQ(run("define", {"-d", kWordNet, "NEGATRON"}).out,
            "WordNet.kkd\n  negatron\n    noun: an elementary particle with negative charge\n");

  const ProgramRun none = run("define", {"zzqxw"});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_EQ(none.out, "");
  // The desktop's question has no answer at a terminal: only the fact.
  EXPECT_EQ(none.err, "kea-cli define: No definitions for \"zzqxw\" could be found in the KEA dictionaries.\n");
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
  for (const auto& [arguments, error] : {std::pair<std::vector<std::string>, std::string>{{}, "no word given"},
                                         {{"a", "b"}, "more than one word given"},
                                         {{"-d"}, "'-d' needs a dictionary file"},
                                         {{"-d", dir.file("absent.kkd"), "a"}, "absent.kkd was not found"}}) {
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
      {{"-d", dictionary, "c[ab"}, 2, "search: test: Choice list started - use ] to complete it"},
      {{"-d", dir.file("missing.kkd"), "cat"}, 2, "missing.kkd was not found"},
      {{"-d", dictionary}, 2, "no pattern given"},
      {{"-d", dictionary, "  "}, 2, "the pattern is empty; 'kea-cli search --help'"},
      {{"-d", dictionary, "--bogus", "cat"}, 2, "unknown option '--bogus' (run 'kea-cli search --help')"},
      // Only punctuation or operators: nothing to match, said in terminal words.
      {{"-d", dictionary, "-"}, 2, "search: the pattern has nothing to match: '-' has punctuation or operators"},
      {{"-d", dictionary, "()"}, 2, "the pattern has nothing to match: '()'"},
      {{"-d", dictionary, "!"}, 2, "the pattern has nothing to match: '!' has punctuation or operators but no "
                                   "letters, wildcards or anagram; 'kea-cli search --help' shows the pattern language\n"},
      // An operator with nothing on one side is named as the fault.
      {{"-d", dictionary, "a&"}, 2, "search: the pattern 'a&' has an operator '&' with nothing after it; each side of "
                                    "'&' and '|' needs a pattern\n"},
      {{"-d", dictionary, "|cat"}, 2, "the pattern '|cat' has an operator '|' with nothing before it"},
      // A pattern taken for an option is told how to follow "--".
      {{"-d", dictionary, "-.lectron"}, 2,
       "unknown option '-.lectron'; a pattern that starts with '-' goes after '--', which ends the options: "
       "kea-cli search -- '-.lectron' (run 'kea-cli search --help')"},
      {{"-d", dictionary, "-electron"}, 2, "kea-cli search -- '-electron'"},
      {{"-d", dictionary, "--[ab]"}, 2, "kea-cli search -- '--[ab]'"},
      {{"-d", dictionary, "-."}, 2, "kea-cli search -- '-.'"},
      // A direction sorts, so it cannot go with --no-sort.
      {{"-d", dictionary, "--no-sort", "--descending", "c.t"}, 2,
       "'--descending' sorts the entries alphabetically and cannot go with '--no-sort'"},
      {{"-d", dictionary, "--ascending", "--no-sort", "c.t"}, 2, "'--ascending' sorts the entries"},
      {{"-d", dictionary, "--shortest", "6", "--longest", "5", "cat"}, 2, "shortest length is above the longest"},
      {{"-d", dictionary, "--active", "2", "cat"}, 2, "'--active' names no dictionary"},
      {{"-d", dictionary, "c\xE2\x88\x9E"}, 2, "(U+221E)"},
      {{"-d", dictionary, "caf\xE9"}, 2, "kea-cli: the pattern cannot be used: invalid UTF-8 at byte 3\n"},
      // Out-of-range lengths are clamped as the length boxes clamp them.
      {{"-d", dictionary, "--shortest", "0", "--longest", "150", "c.t"}, 0, "2 results found\n"},
      // A pattern that starts like an option follows "--".
      {{"-d", dictionary, "--", "-.lectron"}, 1, "0 results found\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.back());
    const ProgramRun r = run("search", c.arguments);
    EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    EXPECT_TRUE(c.exitCode != 2 || r.out.empty()) << r.out;
  }
  // Only a pattern that could be meant as one gets the hint about "--".
  for (const char* option : {"--bogus", "--no-sorting", "-x"}) {
    EXPECT_EQ(run("search", {"-d", dictionary, option, "cat"}).err.find("'--'"), std::string::npos) << option;
  }
  const std::string help = run("search", {"--help"}).out;
  EXPECT_EQ(outputLines(help).at(0), "Usage: kea-cli search [OPTIONS] [--] PATTERN");
  EXPECT_TRUE(contains(help, "'-' goes after '--', which ends the options")) << help;
  EXPECT_TRUE(contains(help, "--descending           sort alphabetically, Z to A (implies --sort)")) << help;
}

TEST(KeaCliSearch, SeveralDictionariesHaveCaptionsAndModes) {
  TempDir dir;
  TestDictionaryOptions first, second;
  first.fileName = "one.kkd";
  second.fileName = "two & more.kkd";
  const std::string a = buildTestDictionary(dir, {"cat", "dog", "tail-end"}, first);
  const std::string b = buildTestDictionary(dir, {"Cat", "cow", "dog", "tailend", "yak"}, second);

  ProgramRun r = run("search", {"-d", a, "-d", b, "*"});
  EXPECT_EQ(r.exitCode, 0);
  // Captions name the dictionaries by their files' names.
  EXPECT_EQ(r.out, "1 one (3)\ncat\ndog\ntail-end\n2 two & more (2)\ncow\nyak\n");
  EXPECT_EQ(r.err, "5 results found\n");

  r = run("search", {"-d", a, "-d", b, "--mode", "independent", "--sort", "--no-group", "*"});
  EXPECT_EQ(r.out, "1 one (3)\ncat\ndog\ntail-end\n2 two & more (5)\nCat\ncow\ndog\ntailend\nyak\n");

  r = run("search", {"-d", a, "-d", b, "--mode=active", "--active=2", "--descending", "--sort", "c*"});
  EXPECT_EQ(r.out, "2 two & more (2)\ncow\nCat\n");
  EXPECT_EQ(r.err, "2 results found\n");
}

// Linux names tell letter case apart, and ";" is a character of a name: a
// dictionary kkbuild wrote under such a name is searched like any other.
TEST(KeaCliSearch, NamesInOtherLettersOrWithASemicolonAreFilesOfTheirOwn) {
  TempDir dir;
  TestDictionaryOptions lower, upper;
  lower.fileName = "words.kkd";
  upper.fileName = "Words.kkd";
  const std::string a = buildTestDictionary(dir, {"cat"}, lower);
  const std::string b = buildTestDictionary(dir, {"dog"}, upper);
  ProgramRun r = run("search", {"-d", a, "-d", b, "*"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "1 words (1)\ncat\n2 Words (1)\ndog\n");

  test::writeFile(dir.file("list.txt"), "yak\nemu\n");
  const std::string odd = dir.file("mine;old.kkd");
  const ProgramRun built = runProgram("kkbuild", {dir.file("list.txt"), odd});
  ASSERT_EQ(built.exitCode, 0) << built.err;
  r = run("search", {"-d", odd, "*"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "emu\nyak\n");
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
      // A direction alone sorts (within the length groups).
      {{"--descending", "--shortest", "4", "--longest", "4", "*"}, "tail\nabab\naaaa\n"},
      {{"--descending", "--ascending", "--shortest", "4", "--longest", "4", "*"}, "aaaa\nabab\ntail\n"},
      {{"--shared-variables", "1212"}, "aaaa\nabab\n"},
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
    const ProgramRun r = run("search", arguments);
    EXPECT_EQ(r.out, c.out) << r.err;
  }
}

TEST(KeaCliSearch, AnEnumerationListsOnlyEntriesOfItsShape) {
  TempDir dir;
  const std::string d = buildTestDictionary(
      dir, {"tail end", "tail-end", "tailend", "tail", "to be or not", "tote", "tail-end Charlie"});
  const struct {
    std::vector<std::string> arguments;
    int exitCode;
    std::string out;
    std::string err;  // a part of standard error
  } cases[] = {
      {{"--enum", "4,3", "t*"}, 0, "tail end\n", "1 result found\n"},
      {{"--enum=(4-3)", "t*"}, 0, "tail-end\n", ""},
      {{"--enum", " ( 7 ) ", "*"}, 0, "tailend\n", ""},
      {{"--enum", "4", "*"}, 0, "tail\ntote\n", ""},
      {{"--enum", "2,2,2,3", "*"}, 0, "to be or not\n", ""},
      {{"--enum", "4-3,7", "!*z*"}, 0, "tail-end Charlie\n", ""},
      // The user's own groups and operators keep their meaning.
      {{"--enum", "4", "tote | tail"}, 0, "tail\ntote\n", ""},
      {{"--enum", "4,3", "--match-punctuation", "*"}, 0, "tail end\n", ""},
      {{"--enum", "3,4", "*"}, 1, "", "0 results found\n"},
      {{"--enum", "4", "....."}, 2, "", "Patterns match incompatible lengths"},
      {{"--enum", "4", "(t*"}, 2, "", "Subpattern started - use ) to complete it"},
      // Each fault's own message is the enumeration parser's; here, that it is passed on.
      {{"--enum", "4,,3", "*"}, 2, "", "a wrong enumeration: Put a word length between two separators"},
      {{"--enum", "", "*"}, 2, "", "a wrong enumeration: The enumeration is empty"},
      {{"--enum", "4", "  "}, 2, "", "the pattern is empty"},
      {{"--enum"}, 2, "", "'--enum' needs an enumeration"},
      {{"--enum", "4"}, 2, "", "no pattern given"},
      {{"--full-text", "--enum", "4", "*"}, 2, "", "'--enum' cannot be used with '--full-text'"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments{"-d", d};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    SCOPED_TRACE(arguments.back());
    const ProgramRun r = run("search", arguments);
    EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
    EXPECT_EQ(r.out, c.out) << r.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
  EXPECT_NE(run("search", {"--help"}).out.find("--enum E"), std::string::npos);
}

TEST(KeaCliSearch, AnEnumerationOnTheShippedDictionary) {
  const ProgramRun together = run("search", {"--enum", "4,3", "tail*"});
  EXPECT_EQ(together.exitCode, 0) << together.err;
  EXPECT_GE(lineIndex(together.out, "tail end"), 0) << together.out;
  for (const std::string& line : outputLines(together.out)) EXPECT_EQ(line.find_first_of("-"), std::string::npos) << line;
  EXPECT_LT(lineIndex(together.out, "tailend"), 0) << together.out;
}

TEST(KeaCliSearch, TextIsUtf8AtTheTerminal) {
  TempDir dir;
  const std::string d = buildTestDictionary(dir, {"caf\xE9", "cafe", "na\xEFve"});
  EXPECT_EQ(run("search", {"-d", d, "--sort", "caf."}).out, "cafe\ncaf\xC3\xA9\n");
  EXPECT_EQ(run("search", {"-d", d, "na\xC3\xAFve"}).out, "na\xC3\xAFve\n");  // naïve typed in UTF-8
  EXPECT_EQ(run("search", {"-d", d, "caf\\\xC3\xA9"}).out, "caf\xC3\xA9\n");  // an \ makes the accent count
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
  options.openFileLimit = 8;  // the standard three and five more: fewer than the dictionaries
  const ProgramRun r = run("search", arguments, options);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "9 results found\n");
  int found = 0;
  for (const std::string& line : outputLines(r.out)) found += line == "electron";
  EXPECT_EQ(found, 9) << r.out;
}

// The line of `out` that starts with `label`, or "".
std::string lineStarting(const std::string& out, const std::string& label) {
  for (const std::string& line : outputLines(out)) {
    if (line.rfind(label, 0) == 0) return line;
  }
  return "";
}

TEST(KeaCliSearch, SavedResultsRoundTripAsADictionaryAndAsText) {
  TempDir dir;
  const std::string saved = dir.file("x.kkd");
  const ProgramRun first = run("search", {"--sort", "--save", saved, ";lobikes"});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  ASSERT_FALSE(first.out.empty());
  const ProgramRun again = run("search", {"--sort", "-d", saved, "*"});
  ASSERT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(again.out, first.out);

  const ProgramRun info = run("info", {saved});
  ASSERT_EQ(info.exitCode, 0) << info.err;
  EXPECT_TRUE(contains(info.out, "\nDescription: English results with pattern ;lobikes\n")) << info.out;
  const std::string alphabet = lineStarting(run("info", {kEnglish}).out, "Alphabet: ");
  EXPECT_GT(alphabet.size(), 36u) << alphabet;
  EXPECT_EQ(lineStarting(info.out, "Alphabet: "), alphabet);

  // A second save keeps the first beside it.
  ASSERT_EQ(run("search", {"--save", saved, ".l...r.n"}).exitCode, 0);
  EXPECT_TRUE(std::filesystem::exists(dir.file("Backup of x.kkd")));
  EXPECT_EQ(run("search", {"--sort", "-d", dir.file("Backup of x.kkd"), "*"}).out, first.out);

  // Text: what the terminal shows, in UTF-8 with line feeds.
  const ProgramRun text = run("search", {"--save", dir.file("x.txt"), "caf*"});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  EXPECT_EQ(readFile(dir.file("x.txt")), text.out);
  EXPECT_TRUE(contains(text.out, "caf\xC3\xA9")) << text.out;
}

TEST(KeaCliSearch, AFailedSaveSaysWhyAndExitsWithTwo) {
  TempDir dir;
  const ProgramRun dictionary = run("search", {"--save", dir.file("missing/x.kkd"), ";lobikes"});
  EXPECT_EQ(dictionary.exitCode, 2);
  EXPECT_TRUE(contains(dictionary.err, "Dictionary Save Failed")) << dictionary.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
  const ProgramRun text = run("search", {"--save", dir.file("missing/x.txt"), ";lobikes"});
  EXPECT_EQ(text.exitCode, 2);
  EXPECT_TRUE(contains(text.err, "Results couldn't be saved")) << text.err;
  EXPECT_EQ(run("search", {"--save"}).exitCode, 2);
}

TEST(KeaCliSearch, CtrlCPausesTheSearchAndListsWhatWasFound) {
  // Nine passes over the shipped dictionary with a slow pattern.
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
  const ProgramRun r = run("search", arguments, options);
  EXPECT_EQ(r.exitCode, 130) << r.err;
  EXPECT_NE(r.err.find("interrupted; "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(" so far"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.substr(0, 2), "1 ") << r.out;  // the lists searched so far, with their captions
}

TEST(KeaCliAnagram, PhrasesFromTheShippedDictionary) {
  ProgramRun r = run("anagram", {"--words", "3", "--shortest", "3", "Clint Eastwood"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_GE(lineIndex(r.out, "action old west"), 0);
  EXPECT_EQ(r.err, std::to_string(outputLines(r.out).size()) + " results found\n");
  // Each set of entries once, in alphabetical order.
  std::vector<std::string> lines = outputLines(r.out);
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(std::adjacent_find(lines.begin(), lines.end()), lines.end());
  EXPECT_LT(lineIndex(r.out, "old west action"), 0);

  // An enumeration: words of its lengths in its order, a phrase entry
  // filling two of them, hyphens where it hyphenates.
  r = run("anagram", {"--enum", "(6,3,4)", "clinteastwood"});
  EXPECT_GE(lineIndex(r.out, "action old west"), 0) << r.err;
  EXPECT_LT(lineIndex(r.out, "old west action"), 0);
  r = run("anagram", {"--enum", "4,3", "tailend"});
  EXPECT_GE(lineIndex(r.out, "tail end"), 0) << r.err;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '-'), 0) << r.out;
  r = run("anagram", {"--enum", "4-3", "tailend"});
  EXPECT_GE(lineIndex(r.out, "tail-end"), 0) << r.err;

  // A word to contain, and "." for any letter.
  r = run("anagram", {"--containing", "west", "--words", "3", "--shortest", "3", "clinteastwood"});
  EXPECT_GE(lineIndex(r.out, "action old west"), 0) << r.err;
  for (const std::string& line : outputLines(r.out)) EXPECT_TRUE(contains(line, "west")) << line;
  r = run("anagram", {"--words", "1", "electro."});
  EXPECT_GE(lineIndex(r.out, "electron"), 0) << r.err;

  r = run("anagram", {"--limit", "3", "clinteastwood"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(outputLines(r.out).size(), 3u);
}

TEST(KeaCliAnagram, ExitStatusesAndMessages) {
  TempDir dir;
  const std::string dictionary = buildTestDictionary(dir, {"cat", "act", "dog"});
  const struct {
    std::vector<std::string> arguments;
    int exitCode;
    std::string err;
  } cases[] = {
      {{"-d", dictionary, "tac"}, 0, "2 results found\n"},
      {{"-d", dictionary, "zzz"}, 1, "0 results found\n"},
      {{"-d", dictionary}, 2, "no letters given"},
      {{"-d", dictionary, "!!"}, 2, "there are no letters to anagram"},
      {{"-d", dictionary, "--words", "0-2", "cat"}, 2, "1 to 6"},
      {{"-d", dictionary, "--words", "2-7", "cat"}, 2, "1 to 6"},
      {{"-d", dictionary, "--words", "x", "cat"}, 2, "'--words' needs"},
      {{"-d", dictionary, "--enum", "3,", "cat"}, 2, "a wrong enumeration"},
      {{"-d", dictionary, "--enum", "2,2", "cat"}, 2, "do not add up to the number of letters (4 against 3)"},
      {{"-d", dictionary, "--enum", "3", "--words", "1", "cat"}, 2, "cannot go with"},
      {{"-d", dictionary, "--containing", "dog", "cat"}, 2, "not among the letters"},
      {{"-d", dictionary, "--limit", "0", "cat"}, 2, "'--limit'"},
      {{"-d", dir.file("missing.kkd"), "cat"}, 2, "missing.kkd was not found"},
      {{"-d", dictionary, "--bogus", "cat"}, 2, "unknown option '--bogus' (run 'kea-cli anagram --help')"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.back());
    const ProgramRun r = run("anagram", c.arguments);
    EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
    EXPECT_TRUE(contains(r.err, c.err)) << r.err;
    EXPECT_TRUE(c.exitCode != 2 || r.out.empty()) << r.out;
  }
  EXPECT_EQ(outputLines(run("anagram", {"--help"}).out).at(0), "Usage: kea-cli anagram [OPTIONS] [--] LETTERS...");
}

TEST(KeaCliAnagram, SeveralDictionariesAndTheirModes) {
  TempDir dir;
  TestDictionaryOptions second;
  second.fileName = "second.kkd";
  const std::string a = buildTestDictionary(dir, {"cat", "act", "dog"});
  const std::string b = buildTestDictionary(dir, {"CAT", "tca"}, second);
  EXPECT_EQ(run("anagram", {"-d", a, "-d", b, "tac"}).out, "act\ncat\ntca\n");
  EXPECT_EQ(run("anagram", {"-d", a, "-d", b, "--mode", "independent", "tac"}).out, "act\ncat\nCAT\ntca\n");
  EXPECT_EQ(run("anagram", {"-d", a, "-d", b, "--mode=active", "--active=2", "tac"}).out, "CAT\ntca\n");
}

TEST(KeaCliAnagram, CtrlCStopsAndKeepsWhatWasListed) {
  // Twenty-six letters in up to six entries: hundreds of thousands of
  // phrases a second, and far more than the program can list before the
  // signal.
  ProgramOptions options;
  options.signalAfterMs = 300;
  const ProgramRun r = run("anagram", {"--words", "1-6", "clinteastwoodclinteastwood"}, options);
  EXPECT_EQ(r.exitCode, 130) << r.err;
  EXPECT_TRUE(contains(r.err, "interrupted; ")) << r.err;
  const std::size_t lines = outputLines(r.out).size();
  EXPECT_GT(lines, 0u);
  EXPECT_TRUE(contains(r.err, std::to_string(lines) + " result")) << r.err;
}

TEST(KeaCliPrograms, AnswerVersionAndSayItInTheirHelp) {
  const struct {
    const char* program;
    std::vector<std::string> help;
  } programs[] = {{"kea-cli", {"--help"}}, {"kkbuild", {"--help"}}};
  for (const auto& p : programs) {
    SCOPED_TRACE(p.program);
    const ProgramRun version = runProgram(p.program, {"--version"});
    EXPECT_EQ(version.exitCode, 0) << version.err;
    EXPECT_EQ(version.out, std::string(p.program) + " " KEA_VERSION "\n");
    EXPECT_EQ(version.err, "");
    const ProgramRun help = runProgram(p.program, p.help);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(contains(help.out, "--version")) << help.out;
  }
  // A command's arguments are not the program's: "--version" after one is
  // that command's business.
  EXPECT_EQ(run("define", {"--version"}).exitCode, 2);
}

// An option as a manual page spells it: "\-" for each "-".
std::string troffOption(const std::string& option) {
  std::string out;
  for (const char c : option) out += c == '-' ? std::string("\\-") : std::string(1, c);
  return out;
}

// The options a help text lists: those at the start of its indented lines.
std::vector<std::string> helpOptions(const std::string& help) {
  std::vector<std::string> options;
  const std::regex line(R"(^ +(--?[a-z0-9][a-z0-9-]*))");
  for (const std::string& text : outputLines(help)) {
    std::smatch m;
    if (std::regex_search(text, m, line)) options.push_back(m[1]);
  }
  return options;
}

// The man program, when the system has one.
std::string findMan() {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path != nullptr ? path : "/usr/bin");
  for (std::string folder; std::getline(folders, folder, ':');) {
    if (std::filesystem::exists(folder + "/man")) return folder + "/man";
  }
  return "";
}

const std::string kManFolder = std::string(KEA_BIN_DIR) + "/../share/man/man1";

TEST(KeaCliPrograms, ManualPagesCarryEveryOptionOfTheHelp) {
  const struct {
    const char* program;
    std::vector<std::vector<std::string>> helps;
  } pages[] = {
      {"kea-cli", {{"--help"}, {"search", "--help"}, {"define", "--help"}, {"info", "--help"}}},
      {"kkbuild", {{"--help"}}},
  };
  for (const auto& p : pages) {
    SCOPED_TRACE(p.program);
    const std::string page = readFile(kManFolder + "/" + p.program + ".1");
    ASSERT_FALSE(page.empty()) << "no manual page in " << kManFolder;
    EXPECT_EQ(page.rfind(".TH ", 0), 0u);
    for (const char* section : {".SH NAME\n", ".SH SYNOPSIS\n", ".SH DESCRIPTION\n", ".SH OPTIONS\n"}) {
      EXPECT_TRUE(contains(page, section)) << section;
    }
    EXPECT_TRUE(contains(page, ".SH NAME\n" + troffOption(p.program) + " \\- ")) << page;
    std::size_t listed = 0;
    for (const auto& arguments : p.helps) {
      for (const std::string& option : helpOptions(runProgram(p.program, arguments).out)) {
        EXPECT_TRUE(contains(page, "\\fB" + troffOption(option))) << option;
        ++listed;
      }
    }
    EXPECT_GE(listed, 3u);
  }
  const std::string cli = readFile(kManFolder + "/kea-cli.1");
  EXPECT_TRUE(contains(cli, ".SS \"kea\\-cli search\"\n")) << cli;
  EXPECT_TRUE(contains(cli, "\\fBkea\\-cli\\fR search [OPTIONS] [\\-\\-] PATTERN\n")) << cli;
  // A sentence that ends in a colon is no heading: it keeps its colon.
  EXPECT_TRUE(contains(cli, "\\&Lists every entry of the dictionaries that PATTERN describes, one per line:\n"));
  EXPECT_TRUE(contains(cli, "\\fBPattern language (quote the pattern for the shell)\\fR\n")) << cli;
}

TEST(KeaCliPrograms, ManualPagesRenderWithoutWarnings) {
  const std::string man = findMan();
  if (man.empty()) GTEST_SKIP() << "no man program";
  const struct {
    std::string path;
    std::string shows;  // a part of the rendered page
  } pages[] = {
      {kManFolder + "/kea-cli.1", "--descending"},
      {kManFolder + "/kkbuild.1", "--cp1252"},
      {std::string(KEA_SOURCE_DIR) + "/data/man/kea.1", "~/.config/Gridsmith/KEA " KEA_VERSION ".conf"},
  };
  for (const auto& p : pages) {
    SCOPED_TRACE(p.path);
    const ProgramRun r = runProgram(man, {"--warnings", "-E", "UTF-8", "-l", p.path});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(contains(r.out, "NAME") && contains(r.out, p.shows)) << r.out;
  }
}

}  // namespace
}  // namespace kea::test
