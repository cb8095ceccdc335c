// The dictionary properties: counts only for a usable dictionary, no date
// for a file that is not there, and a file rebuilt since it was opened
// shown as it is now.
#include "workspace/DictionaryProperties.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea {
namespace {

TEST(DictionaryProperties, AUsableDictionaryShowsItsCounts) {
  test::TempDir dir;
  test::TestDictionaryOptions options;
  options.description = "Fruit and such";
  const std::string path = test::buildTestDictionary(dir, {"ox", "pear|a fruit", "plum|another fruit", "elephant"},
                                                     options);
  const auto list = DictionaryList::make(path);
  const DictionaryProperties p = dictionaryProperties(*list, 0);
  EXPECT_TRUE(p.valid);
  EXPECT_EQ(p.caption, list->name(0) + " Properties");
  EXPECT_EQ(p.location, path);
  EXPECT_FALSE(p.date.empty());
  EXPECT_EQ(p.description, "Fruit and such");
  EXPECT_EQ(std::tie(p.entries, p.definitions, p.shortest, p.longest), std::make_tuple(4, 2, 2, 8));
}

TEST(DictionaryProperties, AFileRebuiltSinceItOpenedIsShownAsItIsNow) {
  test::TempDir dir;
  const std::string path = test::buildTestDictionary(dir, {"ox", "cat"});
  const auto list = DictionaryList::make(path);
  ASSERT_EQ(dictionaryProperties(*list, 0).entries, 2);
  // Rebuilt in another folder and put in its place, as a newer build would be.
  test::TempDir other;
  const std::string newer = test::buildTestDictionary(other, {"ox", "cat", "horse", "zebra", "aardvark"});
  std::filesystem::copy_file(newer, path, std::filesystem::copy_options::overwrite_existing);
  const DictionaryProperties p = dictionaryProperties(*list, 0);
  EXPECT_TRUE(p.valid);
  EXPECT_EQ(std::tie(p.entries, p.longest), std::make_tuple(5, 8));
}

TEST(DictionaryProperties, UnusableFilesShowNoCountsAndAMissingOneNoDate) {
  test::TempDir dir;
  test::writeFile(dir.file("junk.kkd"), "not a dictionary at all");
  const auto list = DictionaryList::make(dir.file("junk.kkd") + ";" + dir.file("gone.kkd"));

  const DictionaryProperties junk = dictionaryProperties(*list, 0);
  EXPECT_FALSE(junk.valid);
  EXPECT_EQ(junk.description, DictionaryList::Dictionary::kInvalidText);
  EXPECT_FALSE(junk.date.empty());  // the file is there and has a date
  EXPECT_EQ(junk.entries, 0);

  const DictionaryProperties gone = dictionaryProperties(*list, 1);
  EXPECT_FALSE(gone.valid);
  EXPECT_EQ(gone.description, DictionaryList::Dictionary::kNotFoundText);
  EXPECT_EQ(gone.date, "");
  EXPECT_EQ(gone.location, dir.file("gone.kkd"));

  const DictionaryProperties none = dictionaryProperties(*list, 2);
  EXPECT_FALSE(none.valid);
  EXPECT_EQ(none.caption, "");
}

}  // namespace
}  // namespace kea
