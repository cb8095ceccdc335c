// Enumerations: what each text reads as or why it is refused, and which
// entries of a small dictionary the template of an enumeration lets through,
// with punctuation ignored when unused and with all of it significant.
#include "pattern/Enumeration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pattern/MatchEngineSet.h"
#include "pattern/WordCursor.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"
#include "text/StringTable.h"

namespace kea {
namespace {

using E = EnumerationError;
using Words = std::vector<std::string>;
constexpr auto kEnd = EnumerationBreak::End;
constexpr auto kSpace = EnumerationBreak::Space;
constexpr auto kHyphen = EnumerationBreak::Hyphen;

TEST(Enumeration, ParsesLengthsAndBreaksOrNamesTheFault) {
  const struct {
    const char* text;
    std::vector<EnumerationWord> words;
    E error;
  } rows[] = {
      {"(3,4,6)", {{3, kSpace}, {4, kSpace}, {6, kEnd}}, E::None},
      {"3,4,6", {{3, kSpace}, {4, kSpace}, {6, kEnd}}, E::None},
      {"(4-5)", {{4, kHyphen}, {5, kEnd}}, E::None},
      {"(2,3-4)", {{2, kSpace}, {3, kHyphen}, {4, kEnd}}, E::None},
      {"  ( 2 ,3 -  4 )  ", {{2, kSpace}, {3, kHyphen}, {4, kEnd}}, E::None},
      {"7", {{7, kEnd}}, E::None},
      {"100", {{100, kEnd}}, E::None},
      {"007", {{7, kEnd}}, E::None},
      {"50,50", {{50, kSpace}, {50, kEnd}}, E::None},
      {"", {}, E::Empty},
      {"   ", {}, E::Empty},
      {"( )", {}, E::Empty},
      {"0", {}, E::ZeroLength},
      {"3,0", {}, E::ZeroLength},
      {"101", {}, E::WordTooLong},
      {"99999999999999999999", {}, E::WordTooLong},
      {"50,51", {}, E::TotalTooLong},
      {"3 4", {}, E::MissingSeparator},
      {"1 0", {}, E::MissingSeparator},
      {"3,,4", {}, E::SeparatorsTogether},
      {"3,-4", {}, E::SeparatorsTogether},
      {",3", {}, E::SeparatorAtEnd},
      {"(3-)", {}, E::SeparatorAtEnd},
      {"-", {}, E::SeparatorAtEnd},
      {"(3,4", {}, E::Parentheses},
      {"3,4)", {}, E::Parentheses},
      {"((3))", {}, E::Parentheses},
      {"3(4)", {}, E::Parentheses},
      {"(", {}, E::Parentheses},
      {"3;4", {}, E::OtherCharacter},
      {"three", {}, E::OtherCharacter},
      {"+3", {}, E::OtherCharacter},
      {"3\xE9", {}, E::OtherCharacter},
  };
  for (const auto& row : rows) {
    const Enumeration e = parseEnumeration(row.text);
    EXPECT_EQ(e.error, row.error) << row.text;
    EXPECT_EQ(e.words, row.words) << row.text;
  }
}

TEST(Enumeration, EveryFaultHasItsOwnMessage) {
  std::vector<std::string> seen;
  for (E error : {E::Empty, E::ZeroLength, E::WordTooLong, E::TotalTooLong, E::MissingSeparator,
                  E::SeparatorsTogether, E::SeparatorAtEnd, E::Parentheses, E::OtherCharacter}) {
    const std::string text(enumerationErrorText(error));
    EXPECT_FALSE(text.empty()) << static_cast<int>(error);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), text), 0) << text;
    seen.push_back(text);
  }
  EXPECT_TRUE(enumerationErrorText(E::None).empty());
}

class EnumerationSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    list = DictionaryList::make(test::buildTestDictionary(
        dir, {"tail end", "tail-end", "tailend", "tail", "to be or not", "tail-end Charlie", "don't", "o'clock",
              "to-be or not", "do n't"}));
    ASSERT_TRUE(list->isUsable(0));
  }

  // Every entry the enumeration's template (with "*" as the user's pattern)
  // lists, in dictionary order within each length.
  Words search(const char* enumeration, bool ignoreUnusedPunctuation) {
    const Enumeration e = parseEnumeration(enumeration);
    EXPECT_TRUE(e.valid()) << enumeration;
    MatchEngineSet set;
    const std::string line = withEnumeration(e, "*");
    EXPECT_EQ(set.parseExpression(list->dictionary(0)->alphabet(), line, 1, 100, ignoreUnusedPunctuation),
              PatternStatus::Valid)
        << line;
    Words found;
    WordCursor engine(*list, 0);
    const auto [shortest, longest] = set.lengthRange();
    for (int length = shortest; length <= longest; ++length) {
      if (!set.setLength(length) || !engine.setLength(length)) continue;
      for (const WordBuffer* w = engine.next(set); w == nullptr || w->key[0] != kkd::kNoIndex; w = engine.next(set)) {
        if (w != nullptr) found.emplace_back(engine.text());
      }
    }
    return found;
  }

  test::TempDir dir;
  DictionaryList::Handle list;
};

TEST_F(EnumerationSearch, ListsExactlyTheEntriesSplitLikeTheEnumeration) {
  const struct {
    const char* enumeration;
    Words ignoringUnused;  // IgnoreUnusedPunctuation on
    Words matchingAll;     // and off
  } rows[] = {
      {"(4,3)", {"tail end"}, {"tail end"}},
      {"4-3", {"tail-end"}, {"tail-end"}},
      {"7", {"tailend"}, {"tailend"}},
      {"(4)", {"don't", "tail"}, {"don't", "tail"}},
      {"6", {"o'clock"}, {"o'clock"}},
      {"(2,2,2,3)", {"to be or not"}, {"to be or not"}},
      {"2-2,2,3", {"to-be or not"}, {"to-be or not"}},
      {"(4-3,7)", {"tail-end Charlie"}, {"tail-end Charlie"}},
      {"(2,2)", {"do n't"}, {}},
      {"3,4", {}, {}},
      {"1,6", {}, {}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(search(row.enumeration, true), row.ignoringUnused) << row.enumeration;
    EXPECT_EQ(search(row.enumeration, false), row.matchingAll) << row.enumeration;
  }
}

}  // namespace
}  // namespace kea
