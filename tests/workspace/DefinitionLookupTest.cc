// Where lookups find definitions: the open dictionaries, then the
// definitions dictionary numbered after them (and not twice when it is
// open anyway); and the keys that switch between the program's windows.
#include "workspace/DefinitionLookup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <cctype>
#include <tuple>

#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea {
namespace {

std::vector<std::string> whereFrom(const std::vector<Definition>& records) {
  std::vector<std::string> out;
  for (const Definition& d : records) out.push_back(std::to_string(d.dictionaryIndex) + ":" + d.body);
  return out;
}

TEST(DefinitionLookup, TheDefinitionsDictionaryComesAfterTheOpenOnesAndOnlyOnce) {
  test::TempDir dir;
  test::TestDictionaryOptions words, definitions;
  words.fileName = "words.kkd";
  words.description = "Words";
  definitions.fileName = "defs.kkd";
  definitions.description = "Definitions";
  const std::string open = test::buildTestDictionary(dir, {"electron|a particle", "cat"}, words);
  const std::string extra = test::buildTestDictionary(dir, {"electron|a lepton", "cat|a pet"}, definitions);
  const auto list = DictionaryList::make(open);

  DefinitionLookup lookup;
  EXPECT_EQ(whereFrom(lookup.lookUp(*list, extra, "electron")),
            (std::vector<std::string>{"0:a particle", "1:a lepton"}));
  EXPECT_EQ(whereFrom(lookup.lookUp(*list, extra, "CAT")), (std::vector<std::string>{"1:a pet"}));
  EXPECT_EQ(whereFrom(lookup.lookUp(*list, "", "electron")), (std::vector<std::string>{"0:a particle"}));
  // Open already, under another name: looked in once, with its open number.
  const auto both = DictionaryList::make(std::vector<std::string>{extra, open});
  const std::string link = (dir.path() / "link.kkd").string();
  std::filesystem::create_symlink(extra, link);
  EXPECT_EQ(whereFrom(lookup.lookUp(*both, link, "electron")),
            (std::vector<std::string>{"0:a lepton", "1:a particle"}));
  // A name in other letters is another file, and one that does not exist.
  std::string upper = extra;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(whereFrom(lookup.lookUp(*list, upper, "electron")), (std::vector<std::string>{"0:a particle"}));
  // A definitions dictionary that does not open adds nothing.
  EXPECT_EQ(whereFrom(lookup.lookUp(*list, (dir.path() / "missing.kkd").string(), "electron")),
            (std::vector<std::string>{"0:a particle"}));

  // The branch texts: each dictionary's description; nothing for a stranger.
  ASSERT_TRUE(lookup.texts(*list, extra, open));
  EXPECT_EQ(lookup.texts(*list, extra, open)->description, "Words");
  ASSERT_TRUE(lookup.texts(*list, extra, extra));
  EXPECT_EQ(lookup.texts(*list, extra, extra)->description, "Definitions");
  EXPECT_NE(lookup.texts(*list, extra, extra)->details.find("Definitions"), std::string::npos);
  EXPECT_FALSE(lookup.texts(*list, extra, (dir.path() / "other.kkd").string()));
}

TEST(DefinitionLookup, WindowKeysGoToTheMainWindowAndAroundTheOthers) {
  // Window 0 is the main window; 1 and 2 definition windows.
  EXPECT_EQ(windowAfterKey(DefinitionKey::F4, 2, 3), 0);
  EXPECT_EQ(windowAfterKey(DefinitionKey::F6, 0, 3), 1);
  EXPECT_EQ(windowAfterKey(DefinitionKey::F6, 2, 3), 0);
  EXPECT_EQ(windowAfterKey(DefinitionKey::F5, 0, 3), 2);
  EXPECT_EQ(windowAfterKey(DefinitionKey::F5, 2, 3), 1);
  EXPECT_EQ(windowAfterKey(DefinitionKey::F6, 0, 1), 0);
  EXPECT_EQ(windowAfterKey(DefinitionKey::Backspace, 1, 3), 1);
}

TEST(DefinitionLookup, AFirstDefinitionWindowTakesHalfTheWorkAreaCentred) {
  const WindowPosition place = firstDefinitionWindowPlacement({100, 20, 1280, 780});
  EXPECT_EQ(std::tie(place.left, place.top, place.width, place.height), std::make_tuple(420, 215, 640, 390));
}

}  // namespace
}  // namespace kea
