// What the builder writes for the interesting inputs: entries, groups,
// definition records, occurrence lists, section-2 words and the header,
// checked by parsing the bytes directly.
#include "builder/DictionaryBuilder.h"

#include <gtest/gtest.h>

#include <tuple>

#include "BuildHelpers.h"
#include "dictionary/KkdFormat.h"

namespace kea::test {
namespace {

constexpr std::uint32_t kFinal = 0x80000000u;

std::vector<std::string> textsOf(const KkdWordList& list) {
  std::vector<std::string> texts;
  for (const auto& entry : list.section1) texts.push_back(entry.text);
  return texts;
}

std::vector<bool> flagsOf(const KkdWordList& list) {
  std::vector<bool> flags;
  for (const auto& entry : list.section1) flags.push_back(entry.flag);
  return flags;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(DictionaryBuilder, TwoHeadwordsShareOneSearchableDefinition) {
  const MemoryBuild build = buildLines({"apple;pomme|a round fruit"});
  ASSERT_TRUE(build.ok) << build.log;
  const KkdFile f = build.file();
  EXPECT_EQ(f.magic, "KKD1");
  const KkdWordList five = decodeWordList(f, 5);
  EXPECT_EQ(textsOf(five), (std::vector<std::string>{"apple", "pomme"}));
  EXPECT_EQ(flagsOf(five), (std::vector<bool>{true, true}));

  // One record, in group two, with both headwords as pairs.
  ASSERT_LT(f.searchableStart, f.definitionsEnd);
  EXPECT_EQ(f.definitionsStart, f.searchableStart);
  const auto records = readDefinitions(f, f.definitionsStart, f.definitionsEnd);
  ASSERT_EQ(records.size(), 1u);
  const std::uint32_t offset = records[0].first;
  EXPECT_EQ(records[0].second.pairs, (Pairs{{"apple", ""}, {"pomme", ""}}));
  EXPECT_EQ(records[0].second.body, "a round fruit");

  // Neither key occurs in the text: each group is the definition alone, carrying the final bit.
  EXPECT_EQ(readGroups(f, 5), (std::vector<std::vector<std::uint32_t>>{{offset | kFinal}, {offset | kFinal}}));
  EXPECT_EQ(five.section2, (std::vector<std::string>{"fruit", "round"}));
}

TEST(DictionaryBuilder, LeadingSemicolonPutsTheDefinitionInGroupOneWithoutPairs) {
  const MemoryBuild build = buildLines({";apple|secret fruit", ";plum:sloe|bitter", "pear|searchable"});
  ASSERT_TRUE(build.ok) << build.log;
  const KkdFile f = build.file();
  const auto groupOne = readDefinitions(f, f.definitionsStart, f.searchableStart);
  ASSERT_EQ(groupOne.size(), 2u);
  for (const auto& [offset, record] : groupOne) EXPECT_TRUE(record.pairs.empty());
  EXPECT_EQ(groupOne[0].second.body, "secret fruit");
  EXPECT_EQ(groupOne[1].second.body, "bitter");
  const auto groupTwo = readDefinitions(f, f.searchableStart, f.definitionsEnd);
  ASSERT_EQ(groupTwo.size(), 1u);
  EXPECT_EQ(groupTwo[0].second.pairs, (Pairs{{"pear", ""}}));

  // The entries still own their group-one definitions.
  const KkdWordList five = decodeWordList(f, 5);
  EXPECT_EQ(textsOf(five), (std::vector<std::string>{"apple"}));
  EXPECT_EQ(readGroups(f, 5), (std::vector<std::vector<std::uint32_t>>{{groupOne[0].first | kFinal}}));
  EXPECT_EQ(readGroups(f, 4), (std::vector<std::vector<std::uint32_t>>{
                                  {groupTwo[0].first | kFinal}, {groupOne[1].first | kFinal}, {groupOne[1].first | kFinal}}));
  // Group-one text is not indexed: only "searchable" is an index word.
  ASSERT_EQ(f.lengthSlots, 11);
  for (int length = 1; length < f.lengthSlots; ++length) {
    EXPECT_EQ(decodeWordList(f, length).section2, (length == 10 ? std::vector<std::string>{"searchable"}
                                                                : std::vector<std::string>{})) << length;
  }
}

TEST(DictionaryBuilder, AnnotationFollowsALineFeedAndTheTailIsTheSecondPart) {
  const KkdFile f = buildLines({"Smith+(surname)+|a family name", "go+verb+went;gone|to move"}).file();
  EXPECT_EQ(textsOf(decodeWordList(f, 5)), (std::vector<std::string>{"Smith\n(surname)"}));
  EXPECT_EQ(textsOf(decodeWordList(f, 2)), (std::vector<std::string>{"go\nverb"}));
  const auto records = readDefinitions(f, f.searchableStart, f.definitionsEnd);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].second.pairs, (Pairs{{"Smith", ""}}));
  EXPECT_EQ(records[1].second.pairs, (Pairs{{"go", "went"}, {"gone", ""}}));
}

TEST(DictionaryBuilder, HeadwordsOutsideTheRangeAreDroppedWithTheirDefinitions) {
  BuildOptions options;
  options.shortest = 3;
  options.longest = 5;
  const KkdFile f = buildLines({"ab|too short", "abc;toolongword|kept", "toolongword|too long", "abcdef"}, options).file();
  EXPECT_EQ(f.lengthSlots, 5);  // up to "kept", an index word
  EXPECT_EQ(f.wordCount, (std::vector<std::uint32_t>{0, 0, 0, 1, 0}));
  EXPECT_EQ(textsOf(decodeWordList(f, 3)), (std::vector<std::string>{"abc"}));
  const auto records = readDefinitions(f, f.definitionsStart, f.definitionsEnd);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].second.body, "kept");
  // Pairs come from every field of the line, kept or not.
  EXPECT_EQ(records[0].second.pairs, (Pairs{{"abc", ""}, {"toolongword", ""}}));
}

TEST(DictionaryBuilder, OverlongFieldIsSkippedAndTheDescriptionCut) {
  const std::string fitting(2037, '-');  // with the "a": 2038, the most a field may hold
  BuildOptions options;
  options.description = std::string(1200, 'd');
  const KkdFile f = buildLines({std::string(2039, 'x') + ";ok", "a" + fitting}, options).file();
  EXPECT_EQ(textsOf(decodeWordList(f, 2)), (std::vector<std::string>{"ok"}));
  EXPECT_EQ(textsOf(decodeWordList(f, 1)), (std::vector<std::string>{"a" + fitting}));
  EXPECT_EQ(f.description, std::string(999, 'd'));
}

TEST(DictionaryBuilder, AtMost255PairsAreStored) {
  std::string line;
  std::vector<std::string> words;
  for (int i = 0; i < 300; ++i) {
    words.push_back({static_cast<char>('a' + i / 26 / 26), static_cast<char>('a' + i / 26 % 26),
                     static_cast<char>('a' + i % 26)});
    line += (i ? ";" : "") + words.back();
  }
  line += "|shared";
  const KkdFile f = buildLines({line}).file();
  EXPECT_EQ(f.wordCount[3], 300u);
  const auto records = readDefinitions(f, f.searchableStart, f.definitionsEnd);
  ASSERT_EQ(records.size(), 1u);
  const Pairs& pairs = records[0].second.pairs;
  ASSERT_EQ(pairs.size(), 255u);
  EXPECT_EQ(pairs.front().first, words[0]);
  EXPECT_EQ(pairs.back().first, words[254]);
  // Every one of the 300 entries still owns the definition.
  const auto groups = readGroups(f, 3);
  ASSERT_EQ(groups.size(), 300u);
  for (const auto& group : groups) EXPECT_EQ(group, (std::vector<std::uint32_t>{records[0].first | kFinal}));
}

TEST(DictionaryBuilder, SameTextOnTwoLinesGivesOneEntryWithBothDefinitions) {
  const KkdFile f = buildLines({"bank|river side", "Bank|a surname", "bank|money house", "bank;bank|twice on one line"}).file();
  // Case makes a different text; folding puts the two side by side.
  const KkdWordList four = decodeWordList(f, 4);
  EXPECT_EQ(textsOf(four), (std::vector<std::string>{"Bank", "bank"}));
  EXPECT_EQ(f.wordCount[4], 2u);
  const auto records = readDefinitions(f, f.searchableStart, f.definitionsEnd);
  ASSERT_EQ(records.size(), 4u);
  const auto groups = readGroups(f, 4);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0], (std::vector<std::uint32_t>{records[1].first | kFinal}));
  // In line order; the line that names it twice counts once.
  EXPECT_EQ(groups[1], (std::vector<std::uint32_t>{records[0].first, records[2].first, records[3].first | kFinal}));
}

TEST(DictionaryBuilder, SortsByFoldedLettersThenBytes) {
  const KkdFile f = buildLines({"\xC9t\xE9", "ice-cream", "etc", "Ice cream", "icecream", "\xE6on", "zoo"}).file();
  EXPECT_EQ(textsOf(decodeWordList(f, 3)), (std::vector<std::string>{"etc", "\xC9t\xE9", "zoo", "\xE6on"}));
  EXPECT_EQ(textsOf(decodeWordList(f, 8)), (std::vector<std::string>{"Ice cream", "ice-cream", "icecream"}));
}

TEST(DictionaryBuilder, OutOfRangeLengthLimitsAreClamped) {
  const std::string hundred(100, 'a');
  for (const auto& [shortest, longest] : {std::pair{0, 200}, {150, 120}}) {
    BuildOptions options;
    options.shortest = shortest;
    options.longest = longest;
    const MemoryBuild build = buildLines({"a", hundred, hundred + "b"}, options);
    ASSERT_TRUE(build.ok) << build.log;
    const KkdFile f = build.file();
    EXPECT_EQ(f.lengthSlots, 101);
    EXPECT_EQ(f.positionTableCount, 5050);
    EXPECT_EQ(f.wordCount[1], shortest == 0 ? 1u : 0u);
    EXPECT_EQ(f.wordCount[100], 1u);
  }
}

TEST(DictionaryBuilder, InputWithoutLinesWritesOnlyTheHeader) {
  const MemoryBuild build = buildLines({});
  ASSERT_TRUE(build.ok) << build.log;
  EXPECT_EQ(build.log, "Alphabet analysis completed OK - compressing\nFrequency analysis completed OK\n");
  const KkdFile f = build.file();
  EXPECT_EQ(f.magic, "KKD1");
  EXPECT_EQ(f.lengthSlots, 1);
  EXPECT_EQ(f.positionTableCount, 0);
  EXPECT_EQ(f.bytes.size(), f.headerEnd);
  EXPECT_EQ(std::tie(f.definitionsStart, f.searchableStart, f.definitionsEnd),
            std::tie(f.headerEnd, f.headerEnd, f.headerEnd));
  for (const auto* table : {&f.wordListOffset, &f.wordCount, &f.directTable, &f.groupTable, &f.groupEntries}) {
    EXPECT_EQ(*table, std::vector<std::uint32_t>{0});
  }
  EXPECT_EQ(f.letterCount, 0);
  EXPECT_EQ(f.alphabetSize, 30);
  // The end symbol still has a code.
  EXPECT_EQ(f.symbols[0].length, 1);
  for (int v = 1; v < 256; ++v) EXPECT_EQ(f.symbols[v].length, 0) << v;
}

TEST(DictionaryBuilder, NoDefinitionsMeansNoFlagsNoSectionTwoAndNoTables) {
  const KkdFile f = buildLines({"cat", "dog", "horse", "zebra"}).file();
  EXPECT_EQ(std::tie(f.definitionsStart, f.searchableStart), std::tie(f.definitionsEnd, f.definitionsEnd));
  for (const int length : {3, 5}) {
    const KkdWordList list = decodeWordList(f, length);
    EXPECT_EQ(flagsOf(list), (std::vector<bool>{false, false}));
    EXPECT_TRUE(list.section2.empty());
  }
  EXPECT_EQ(f.directTable, std::vector<std::uint32_t>(6, 0));
  EXPECT_EQ(f.groupEntries, std::vector<std::uint32_t>(6, 0));
}

TEST(DictionaryBuilder, EmptyLengthsBetweenFullOnesTakeTheNextListsOffset) {
  const KkdFile f = buildLines({"ab", "abcde", "abcdefgh"}).file();
  ASSERT_EQ(f.lengthSlots, 9);
  const auto& at = f.wordListOffset;
  EXPECT_NE(at[2], 0u);
  EXPECT_LT(at[2], at[5]);
  EXPECT_LT(at[5], at[8]);
  EXPECT_EQ(at, (std::vector<std::uint32_t>{0, at[2], at[2], at[5], at[5], at[5], at[8], at[8], at[8]}));
  for (const int empty : {1, 3, 4, 6, 7}) EXPECT_EQ(f.wordCount[empty], 0u);
  // Lists occupy whole 16-bit units.
  EXPECT_EQ((f.wordListOffset[5] - f.wordListOffset[2]) % 2, 0u);
}

TEST(DictionaryBuilder, OccurrenceListsAndFinalValues) {
  const KkdFile f = buildLines({"cat|a small feline", "feline|like a cat, a Cat", "dog|barks"}).file();
  const auto records = readDefinitions(f, f.searchableStart, f.definitionsEnd);
  ASSERT_EQ(records.size(), 3u);
  const std::uint32_t def0 = records[0].first, def1 = records[1].first, def2 = records[2].first;
  const auto occurrences = [&](std::uint32_t final) {
    EXPECT_TRUE(final & kFinal);
    return readOccurrenceList(f, final & ~kFinal);
  };
  // cat: its own definition, then its occurrence list (the feline line);
  // dog occurs in no text: its last own definition carries the final bit.
  EXPECT_EQ(textsOf(decodeWordList(f, 3)), (std::vector<std::string>{"cat", "dog"}));
  const auto three = readGroups(f, 3);
  ASSERT_EQ(three.size(), 2u);
  ASSERT_EQ(three[0].size(), 2u);
  EXPECT_EQ(three[0][0], def0);
  EXPECT_EQ(occurrences(three[0][1]), (std::vector<std::uint32_t>{def1 | kFinal}));
  EXPECT_EQ(three[1], (std::vector<std::uint32_t>{def2 | kFinal}));
  // feline occurs in the cat line's text.
  const auto six = readGroups(f, 6);
  ASSERT_EQ(six.size(), 1u);
  ASSERT_EQ(six[0].size(), 2u);
  EXPECT_EQ(six[0][0], def1);
  EXPECT_EQ(occurrences(six[0][1]), (std::vector<std::uint32_t>{def0 | kFinal}));
  // Section-2 words: "a" occurs in two texts, "barks" and "small" in one each.
  EXPECT_EQ(decodeWordList(f, 1).section2, (std::vector<std::string>{"a"}));
  EXPECT_EQ(readOccurrenceList(f, readValues(f, f.directTable[1], 1)[0]),
            (std::vector<std::uint32_t>{def0, def1 | kFinal}));
  EXPECT_EQ(decodeWordList(f, 5).section2, (std::vector<std::string>{"barks", "small"}));
  EXPECT_EQ(readOccurrenceList(f, readValues(f, f.directTable[5], 2)[1]), (std::vector<std::uint32_t>{def0 | kFinal}));
}

TEST(DictionaryBuilder, IndexWordWithAnEmptyListEndsTheGroupWithAllBitsSet) {
  // The source loses the text of line 0 after calibration, so the words
  // indexed from it have lists with no written definition.
  ScriptedSource source({"cat|small pet", "pet|tame"}, {"cat", "pet|tame"});
  const MemoryBuild build = buildInMemory(source);
  ASSERT_TRUE(build.ok) << source.log;
  const KkdFile f = build.file();
  const auto records = readDefinitions(f, f.definitionsStart, f.definitionsEnd);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(textsOf(decodeWordList(f, 3)), (std::vector<std::string>{"cat", "pet"}));
  EXPECT_EQ(flagsOf(decodeWordList(f, 3)), (std::vector<bool>{false, true}));
  EXPECT_EQ(readGroups(f, 3), (std::vector<std::vector<std::uint32_t>>{{records[0].first, 0xFFFFFFFFu}}));
  // A section-2 word with an empty list: 0x7FFFFFFF in the direct table.
  EXPECT_EQ(decodeWordList(f, 5).section2, (std::vector<std::string>{"small"}));
  EXPECT_EQ(readValues(f, f.directTable[5], 1)[0], 0x7FFFFFFFu);
}

TEST(DictionaryBuilder, SectionTwoWordsUseEachLettersCommonestByte) {
  const KkdFile f = buildLines({"Zoo", "Zulu", "zany|the Zoo zone ZONE \xC9t\xE9"}).file();
  // Z is commoner than z among the entries; o, n and e occur only in
  // lower case; é occurs only in the text, so its letter keeps e.
  EXPECT_EQ(decodeWordList(f, 4).section2, (std::vector<std::string>{"Zone"}));
  EXPECT_EQ(decodeWordList(f, 3).section2, (std::vector<std::string>{"ete", "the"}));
}

TEST(DictionaryBuilder, AlphabetIsNumberedOccurringLettersFirst) {
  BuildOptions options;
  options.longest = 2;
  const KkdFile f = buildLines({"ab", "Ac", "bc"}, options).file();
  EXPECT_EQ(std::tie(f.letterCount, f.alphabetSize), std::make_tuple(3, 30));
  // Á is 0xC1; d is the first letter that occurs in no entry, and has no code.
  for (const auto& [byte, index, canonical] : std::initializer_list<std::tuple<int, int, int>>{
           {'a', 0, 'a'}, {'A', 0, 'a'}, {0xC1, 0, 'a'}, {'c', 2, 'c'}, {'d', 3, 'd'}, {'-', -1, 0}}) {
    const KkdSymbol& symbol = f.symbols[static_cast<std::size_t>(byte)];
    EXPECT_EQ(std::make_tuple(int{symbol.index}, int{symbol.canonical}), std::make_tuple(index, canonical)) << byte;
  }
  EXPECT_GT(f.symbols['A'].length, 0);
  EXPECT_EQ(f.symbols['d'].length, 0);
  // Position tables for lengths 1 and 2: at position 0 a appears twice and
  // b once among two kinds (log2(4/3) rounds to 0, log2(2/3) to -1).
  ASSERT_EQ(f.positionTableCount, 3);
  EXPECT_EQ(f.bytes.substr(f.positionTablesStart, 9), std::string("\x80\x80\x80\x00\xFF\x80\x80\xFF\x00", 9));
}

}  // namespace
}  // namespace kea::test
