// Saving a results list as a dictionary: the lines it becomes, the file put
// in place with its backup, and the failures that must leave the target be.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "builder/BuilderInput.h"
#include "builder/OutputFile.h"
#include "dictionary/DictionaryList.h"
#include "search/ResultsDictionary.h"
#include "search/ResultsList.h"
#include "support/FileSizeLimit.h"
#include "support/KkdTestReader.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea {
namespace {

// Every entry stored in a dictionary file, as stored, sorted.
std::vector<std::string> storedEntries(const std::string& path) {
  const test::KkdFile file = test::readKkd(path);
  std::vector<std::string> entries;
  for (int length = 1; length <= 100; ++length) {
    for (const auto& entry : test::decodeWordList(file, length).section1) entries.push_back(entry.text);
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

struct Fixture {
  test::TempDir dir;
  std::string sourcePath = test::buildTestDictionary(dir, {"apple", "pear", "Smith+(surname)+", "plum"});
  DictionaryList::Handle dictionaries = DictionaryList::make(sourcePath);
  std::string target = dir.file("saved.kkd");

  bool save(const ResultsList& list, std::string* log = nullptr, const BuildEnvironment& environment = {}) {
    ResultsLineSource lines(list);
    const bool saved = saveResultsDictionary(lines, *dictionaries, 0, target, "saved results", 1, 100, environment);
    if (log) *log = lines.log();
    return saved;
  }
};

TEST(ResultsDictionary, BuilderLinesGiveBackWordAndAnnotation) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"apple", ""},        {"Smith", "(surname)"},   {"a+b", ""},          {"x;y|z:w\\", "a+b|c"},
      {"fly-by-night", ""}, {"end\\", "trailing\\"}, {"caf\xe9", "(\xe9t\xe9)"},
  };
  for (const auto& [word, annotation] : cases) {
    const std::string line = resultsBuilderLine(word, annotation);
    ParsedLine parsed;
    parsed.parse(line);
    ASSERT_EQ(parsed.fieldCount(), 1u) << line;
    EXPECT_EQ(parsed.headword(0), word) << line;
    EXPECT_EQ(parsed.annotation(0), annotation) << line;
    EXPECT_FALSE(parsed.hasDefinition()) << line;
  }
}

TEST(ResultsDictionary, LinesCarryAnnotationsButNotBalances) {
  ResultsList list;
  ASSERT_TRUE(list.add("Smith", "(surname)", "  +ab", 0));
  ASSERT_TRUE(list.add("pear", "", "  -q", 1));
  ASSERT_TRUE(list.add(std::string(250, 'w'), "0123456789", "", 2));  // cut to 255 characters
  ResultsLineSource source(list);
  std::vector<std::string> lines;
  std::string line;
  for (int counter = 0; source.nextLine(&line, counter) == DictionaryMaintainer::kDelivered; ++counter) {
    lines.push_back(line);
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"Smith+(surname)+", "pear", std::string(250, 'w') + "+01234+"}));
  EXPECT_EQ(source.nextLine(&line, 9), DictionaryMaintainer::kExhausted);
  EXPECT_EQ(source.nextLine(nullptr, 10), DictionaryMaintainer::kDelivered);
  source.rewind();
  ASSERT_EQ(source.nextLine(&line, 0), DictionaryMaintainer::kDelivered);
  EXPECT_EQ(line, "Smith+(surname)+");
}

TEST(ResultsDictionary, NamesOfDescriptionAndBackup) {
  EXPECT_EQ(resultsDictionaryDescription("English", "c?t"), "English results with pattern c?t");
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"/home/u/saved.kkd", "/home/u/Backup of saved.kkd"},
      {"saved.kkd", "Backup of saved.kkd"},
      {"/saved.kkd", "/Backup of saved.kkd"},
  };
  for (const auto& [target, backup] : cases) EXPECT_EQ(dictionaryBackupPath(target), backup);
}

TEST(ResultsDictionary, SavingAgainKeepsOneBackupOfThePreviousVersion) {
  Fixture f;
  ResultsList first;
  ASSERT_TRUE(first.add("apple", "", "", 0));
  ASSERT_TRUE(first.add("Smith", "(surname)", "", 0));
  ASSERT_TRUE(f.save(first));
  EXPECT_EQ(storedEntries(f.target), (std::vector<std::string>{"Smith\n(surname)", "apple"}));
  EXPECT_FALSE(std::filesystem::exists(f.dir.file("Backup of saved.kkd")));

  ResultsList second;
  ASSERT_TRUE(second.add("pear", "", "", 0));
  ASSERT_TRUE(f.save(second));
  EXPECT_EQ(storedEntries(f.target), std::vector<std::string>{"pear"});
  EXPECT_EQ(storedEntries(f.dir.file("Backup of saved.kkd")), (std::vector<std::string>{"Smith\n(surname)", "apple"}));

  ResultsList third;
  ASSERT_TRUE(third.add("plum", "", "", 0));
  ASSERT_TRUE(f.save(third));
  EXPECT_EQ(storedEntries(f.target), std::vector<std::string>{"plum"});
  EXPECT_EQ(storedEntries(f.dir.file("Backup of saved.kkd")), std::vector<std::string>{"pear"});
  EXPECT_EQ(f.dir.names(),
            (std::vector<std::string>{"Backup of saved.kkd", "saved.blocks", "saved.kkd", "test.kkd"}));

  // The saved dictionary opens, keeps its description and has the block
  // summaries of this very file beside it.
  const auto saved = DictionaryList::make(f.target);
  EXPECT_TRUE(saved->isUsable(0));
  EXPECT_EQ(saved->description(0), "saved results");
  EXPECT_NE(saved->dictionary(0)->blockSummaries(), nullptr);
}

TEST(ResultsDictionary, AnEmptyListBuildsADictionaryWithoutEntries) {
  Fixture f;
  ResultsList empty;
  std::string log;
  ASSERT_TRUE(f.save(empty, &log)) << log;
  EXPECT_TRUE(storedEntries(f.target).empty());
  const auto saved = DictionaryList::make(f.target);
  int entries = -1, definitions = -1, shortest = -1, longest = -1;
  saved->statistics(0, entries, definitions, shortest, longest);
  EXPECT_EQ(std::make_tuple(entries, definitions, shortest, longest), std::make_tuple(0, 0, 0, 0));
  EXPECT_FALSE(saved->dictionary(0)->hasDefinitions());
}

TEST(ResultsDictionary, ATargetWithoutAFolderIsBuiltInTheCurrentFolder) {
  Fixture f;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(f.dir.path());
  ResultsList list;
  ASSERT_TRUE(list.add("pear", "", "", 0));
  f.target = "plain.kkd";
  const bool saved = f.save(list);
  std::filesystem::current_path(before);
  ASSERT_TRUE(saved);
  EXPECT_EQ(storedEntries(f.dir.file("plain.kkd")), std::vector<std::string>{"pear"});
  EXPECT_EQ(f.dir.names(), (std::vector<std::string>{"plain.blocks", "plain.kkd", "test.kkd"}));
}

TEST(ResultsDictionary, FailuresLeaveTheTargetAsItWas) {
  Fixture f;
  ResultsList list;
  for (const std::string& word : test::generatedWords(3000, 6)) ASSERT_TRUE(list.add(word, "", "", 0));
  test::writeFile(f.target, "the old dictionary");

  // A disk that fills up: the builder's own report, and nothing left over.
  std::string log;
  const BuildEnvironment small{[](const std::string&) { return std::make_unique<MemoryOutputFile>(512); }};
  EXPECT_FALSE(f.save(list, &log, small));
  EXPECT_FALSE(log.empty());
  EXPECT_EQ(test::readFile(f.target), "the old dictionary");

  // The same through a real file-size limit.
  EXPECT_EQ(test::runWithFileSizeLimit(4096, [&] { return f.save(list) ? 1 : 0; }), 0);
  EXPECT_EQ(test::readFile(f.target), "the old dictionary");
  EXPECT_EQ(f.dir.names(), (std::vector<std::string>{"saved.kkd", "test.kkd"}));

  // A source dictionary that is gone, or no dictionary at all.
  const std::string gone = f.dir.file("gone.kkd");
  const auto missing = DictionaryList::make(gone);
  ResultsLineSource lines(list);
  EXPECT_FALSE(saveResultsDictionary(lines, *missing, 0, f.target, "d", 1, 100));
  EXPECT_EQ(lines.log(), "\"" + gone + "\" is not a valid dictionary\n");
  ResultsLineSource none(list);
  EXPECT_FALSE(saveResultsDictionary(none, *f.dictionaries, 7, f.target, "d", 1, 100));
  EXPECT_EQ(none.log(), "\"\" is not a valid dictionary\n");

  // The target becomes a folder while the dictionary is built: nothing is
  // renamed over it, and nothing is left over.
  const BuildEnvironment folded{[](const std::string& path) {
    std::filesystem::remove(path);
    std::filesystem::create_directories(path + "/inside");
    return std::make_unique<MemoryOutputFile>();
  }};
  EXPECT_FALSE(f.save(list, &log, folded));
  EXPECT_NE(log.find("Couldn't update \"" + f.target + "\"\n"), std::string::npos) << log;
  EXPECT_NE(log.find(f.target + " is now a folder, not a file"), std::string::npos) << log;
  EXPECT_TRUE(std::filesystem::is_directory(f.target + "/inside"));
  EXPECT_EQ(f.dir.names(), (std::vector<std::string>{"saved.kkd", "test.kkd"}));
  std::filesystem::remove_all(f.target);
  test::writeFile(f.target, "the old dictionary");

  // No backup can be kept (a folder has its name): the old dictionary is
  // not replaced without one.
  const std::string blocked = f.dir.file("Backup of saved.kkd");
  std::filesystem::create_directories(blocked + "/inside");
  EXPECT_FALSE(f.save(list, &log));
  EXPECT_NE(log.find("Couldn't keep the previous dictionary as \"" + blocked + "\""), std::string::npos) << log;
  EXPECT_EQ(test::readFile(f.target), "the old dictionary");
  std::filesystem::remove_all(blocked);

  // A folder that does not exist.
  ResultsLineSource nowhere(list);
  EXPECT_FALSE(saveResultsDictionary(nowhere, *f.dictionaries, 0, f.dir.file("missing/x.kkd"), "d", 1, 100));
  // Said as the builder says a file it cannot make, with the reason after.
  EXPECT_EQ(nowhere.log().rfind("Couldn't open \"" + f.dir.file("missing/x.kkd") + "\"\ncannot create a file in " +
                                f.dir.file("missing") + ": No such file or directory\n"),
            0u)
      << nowhere.log();
  EXPECT_EQ(test::readFile(f.target), "the old dictionary");
  EXPECT_EQ(f.dir.names(), (std::vector<std::string>{"saved.kkd", "test.kkd"}));
}

}  // namespace
}  // namespace kea
