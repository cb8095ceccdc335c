// What the builder writes for the interesting inputs: entries, groups,
// definition records, occurrence lists, section-2 words and the header,
// checked by parsing the bytes directly.
#include "builder/DictionaryBuilder.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "BuildHelpers.h"

namespace kea::test {
namespace {

constexpr std::uint32_t kFinal = 0x80000000u;

// A built file shown as text, so that each check is one comparison.
struct Layout {
  KkdFile f;
  std::map<std::uint32_t, int> recordNumber;  // by offset, in file order

  explicit Layout(const MemoryBuild& build) : f(build.file()) {
    EXPECT_TRUE(build.ok) << build.log;
    for (const auto& [offset, record] : readDefinitions(f, f.definitionsStart, f.definitionsEnd)) {
      recordNumber.emplace(offset, static_cast<int>(recordNumber.size()));
    }
  }
  // The records: ";" before group one, the pairs ("first=second"), ":" and the body.
  std::string records() const {
    std::string out;
    for (const auto& [offset, record] : readDefinitions(f, f.definitionsStart, f.definitionsEnd)) {
      out += std::string(out.empty() ? "" : " / ") + (offset < f.searchableStart ? ";" : "");
      for (std::size_t i = 0; i < record.pairs.size(); ++i) {
        const auto& [first, second] = record.pairs[i];
        out += (i ? "," : "") + first + (second.empty() ? "" : "=" + second);
      }
      out += ":" + record.body;
    }
    return out;
  }
  // A pointer value: "#2" for the third record, "[#0 #1!]" for an occurrence
  // list, "none" for 0x7FFFFFFF; "!" marks the final bit.
  std::string value(std::uint32_t v) const {
    const std::uint32_t offset = v & ~kFinal;
    std::string out = recordNumber.count(offset) ? "#" + std::to_string(recordNumber.at(offset)) : "none";
    if (!recordNumber.count(offset) && offset != 0x7FFFFFFFu) {
      out = "[";
      for (const std::uint32_t w : readOccurrenceList(f, offset)) out += (out.size() > 1 ? " " : "") + value(w);
      out += "]";
    }
    return out + (v & kFinal ? "!" : "");
  }
  // The entries of a length ("*" when flagged), the groups that the flagged
  // ones own, then "|", the section-2 words and their direct table values.
  std::string list(int length) const {
    const KkdWordList words = decodeWordList(f, length);
    std::string out;
    for (const auto& [text, flag] : words.section1) out += text + (flag ? "* " : " ");
    for (const auto& group : readGroups(f, length)) {
      std::string values;
      for (const std::uint32_t v : group) values += (values.empty() ? "" : " ") + value(v);
      out += "(" + values + ") ";
    }
    out += "|";
    for (std::size_t i = 0; i < words.section2.size(); ++i) {
      const std::uint32_t at = f.directTable[static_cast<std::size_t>(length)] + 4 * static_cast<std::uint32_t>(i);
      out += " " + words.section2[i] + value(readValues(f, at, 1)[0]);
    }
    return out;
  }
};

TEST(DictionaryBuilder, HeadwordsShareARecordWhichGroupOneKeepsOutOfTheIndex) {
  const Layout a(buildLines({"apple;pomme|a round fruit"}));
  EXPECT_EQ(a.f.magic, "KKD1");
  EXPECT_EQ(a.f.definitionsStart, a.f.searchableStart);
  EXPECT_EQ(a.records(), "apple,pomme:a round fruit");
  // Neither key occurs in the text: each group is the record alone, carrying the final bit.
  EXPECT_EQ(a.list(5), "apple* pomme* (#0!) (#0!) | fruit[#0!] round[#0!]");

  // A leading ";" puts the record in group one, without pairs and unindexed,
  // though its entries still own it.
  const Layout b(buildLines({";apple|secret fruit", ";plum:sloe|bitter", "pear|searchable"}));
  EXPECT_EQ(b.records(), ";:secret fruit / ;:bitter / pear:searchable");
  EXPECT_EQ(b.list(5), "apple* (#0!) |");
  EXPECT_EQ(b.list(4), "pear* plum* sloe* (#2!) (#1!) (#1!) |");
  ASSERT_EQ(b.f.lengthSlots, 11);
  for (int length = 1; length < 10; ++length) EXPECT_TRUE(decodeWordList(b.f, length).section2.empty()) << length;
  EXPECT_EQ(b.list(10), "| searchable[#2!]");
}

TEST(DictionaryBuilder, AnnotationFollowsALineFeedAndTheTailIsTheSecondPart) {
  const Layout a(buildLines({"Smith+(surname)+|a family name", "go+verb+went;gone|to move"}));
  EXPECT_EQ(a.records(), "Smith:a family name / go=went,gone:to move");
  EXPECT_EQ(a.list(5), "Smith\n(surname)* (#0!) |");
  EXPECT_EQ(a.list(2), "go\nverb* (#1!) | to[#1!]");
}

TEST(DictionaryBuilder, OccurrenceListsAndFinalValues) {
  // cat's group: its record, then its occurrence list (the feline line);
  // dog occurs in no text: its last record carries the final bit.
  const Layout a(buildLines({"cat|a small feline", "feline|like a cat, a Cat", "dog|barks"}));
  EXPECT_EQ(a.list(3), "cat* dog* (#0 [#1!]!) (#2!) |");
  EXPECT_EQ(a.list(6), "feline* (#1 [#0!]!) |");
  EXPECT_EQ(a.list(1), "| a[#0 #1!]");
  EXPECT_EQ(a.list(5), "| barks[#2!] small[#0!]");

  // The source loses the text of line 0 after calibration, so the words
  // indexed from it have lists with no written record: all bits set.
  ScriptedSource source({"cat|small pet", "pet|tame"}, {"cat", "pet|tame"});
  const Layout b(buildInMemory(source));
  EXPECT_EQ(b.records(), "pet:tame");
  EXPECT_EQ(b.list(3), "cat pet* (#0 none!) |");
  EXPECT_EQ(b.list(5), "| smallnone");
}

TEST(DictionaryBuilder, SameTextOnTwoLinesGivesOneEntryWithEveryRecordOnce) {
  // Case makes a different text; folding puts the two side by side; the
  // line that names it twice counts once.
  const Layout a(buildLines({"bank|river side", "Bank|a surname", "bank|money house", "bank;bank|twice on one line"}));
  EXPECT_EQ(a.f.wordCount[4], 2u);
  EXPECT_EQ(a.list(4), "Bank* bank* (#1!) (#0 #2 #3!) | line[#3!] side[#0!]");
}

TEST(DictionaryBuilder, AtMost255PairsAreStored) {
  std::string line;
  std::vector<std::string> words;
  for (int i = 0; i < 300; ++i) {
    words.push_back({static_cast<char>('a' + i / 26 / 26), static_cast<char>('a' + i / 26 % 26),
                     static_cast<char>('a' + i % 26)});
    line += (i ? ";" : "") + words.back();
  }
  const Layout a(buildLines({line + "|shared"}));
  EXPECT_EQ(a.f.wordCount[3], 300u);
  const auto records = readDefinitions(a.f, a.f.searchableStart, a.f.definitionsEnd);
  ASSERT_EQ(records.size(), 1u);
  const auto& pairs = records[0].second.pairs;
  ASSERT_EQ(pairs.size(), 255u);
  EXPECT_EQ(std::tie(pairs.front().first, pairs.back().first), std::tie(words[0], words[254]));
  // Every one of the 300 entries still owns the record.
  const auto groups = readGroups(a.f, 3);
  EXPECT_EQ(groups, std::vector<std::vector<std::uint32_t>>(300, {records[0].first | kFinal}));
}

TEST(DictionaryBuilder, LimitsOnLengthsFieldsAndDescription) {
  BuildOptions options;
  options.shortest = 3;
  options.longest = 5;
  // Pairs come from every field of the line, kept or not; "kept" is an index word.
  const Layout a(buildLines({"ab|too short", "abc;toolongword|kept", "toolongword|too long", "abcdef"}, options));
  EXPECT_EQ(a.records(), "abc,toolongword:kept");
  EXPECT_EQ(a.f.wordCount, (std::vector<std::uint32_t>{0, 0, 0, 1, 0}));
  EXPECT_EQ(a.list(3), "abc* (#0!) |");

  const std::string hundred(100, 'a');
  for (const auto& [shortest, longest] : {std::pair{0, 200}, {150, 120}}) {
    options.shortest = shortest;
    options.longest = longest;
    const Layout b(buildLines({"a", hundred, hundred + "b"}, options));
    EXPECT_EQ(std::tie(b.f.lengthSlots, b.f.positionTableCount), std::make_tuple(101, 5050));
    EXPECT_EQ(std::tie(b.f.wordCount[1], b.f.wordCount[100]), std::make_tuple(shortest == 0 ? 1u : 0u, 1u));
  }

  const std::string fitting(2037, '-');  // with the "a": 2038, the most a field may hold
  BuildOptions description;
  description.description = std::string(1200, 'd');
  const Layout c(buildLines({std::string(2039, 'x') + ";ok", "a" + fitting}, description));
  EXPECT_EQ(c.list(2), "ok |");
  EXPECT_EQ(c.list(1), "a" + fitting + " |");
  EXPECT_EQ(c.f.description, std::string(999, 'd'));
}

TEST(DictionaryBuilder, InputWithoutLinesOrDefinitions) {
  const MemoryBuild build = buildLines({});
  EXPECT_EQ(build.log, "Alphabet analysis completed OK - compressing\nFrequency analysis completed OK\n");
  const Layout layout(build);
  const KkdFile& f = layout.f;
  EXPECT_EQ(std::tie(f.magic, f.lengthSlots, f.positionTableCount), std::make_tuple("KKD1", 1, 0));
  EXPECT_EQ(std::make_tuple(f.bytes.size(), f.definitionsStart, f.searchableStart, f.definitionsEnd),
            std::make_tuple(std::size_t{f.headerEnd}, f.headerEnd, f.headerEnd, f.headerEnd));
  for (const auto* table : {&f.wordListOffset, &f.wordCount, &f.directTable, &f.groupTable, &f.groupEntries}) {
    EXPECT_EQ(*table, std::vector<std::uint32_t>{0});
  }
  EXPECT_EQ(std::tie(f.letterCount, f.alphabetSize), std::make_tuple(0, 30));
  // The end symbol still has a code.
  for (int v = 0; v < 256; ++v) EXPECT_EQ(f.symbols[v].length, v == 0 ? 1 : 0) << v;

  const Layout none(buildLines({"cat", "dog", "horse", "zebra"}));
  EXPECT_EQ(none.records(), "");
  EXPECT_EQ(none.list(3) + none.list(5), "cat dog |horse zebra |");
  EXPECT_EQ(none.f.directTable, std::vector<std::uint32_t>(6, 0));
  EXPECT_EQ(none.f.groupEntries, std::vector<std::uint32_t>(6, 0));
}

TEST(DictionaryBuilder, EmptyLengthsBetweenFullOnesTakeTheNextListsOffset) {
  const KkdFile f = buildLines({"ab", "abcde", "abcdefgh"}).file();
  ASSERT_EQ(f.lengthSlots, 9);
  const auto& at = f.wordListOffset;
  EXPECT_NE(at[2], 0u);
  EXPECT_LT(at[2], at[5]);
  EXPECT_LT(at[5], at[8]);
  EXPECT_EQ(at, (std::vector<std::uint32_t>{0, at[2], at[2], at[5], at[5], at[5], at[8], at[8], at[8]}));
  EXPECT_EQ(f.wordCount, (std::vector<std::uint32_t>{0, 0, 1, 0, 0, 1, 0, 0, 1}));
  EXPECT_EQ((at[5] - at[2]) % 2, 0u);  // lists occupy whole 16-bit units
}

TEST(DictionaryBuilder, SortingAndTheCommonestByteOfEachLetter) {
  const Layout a(buildLines({"\xC9t\xE9", "ice-cream", "etc", "Ice cream", "icecream", "\xE6on", "zoo"}));
  EXPECT_EQ(a.list(3), "etc \xC9t\xE9 zoo \xE6on |");
  EXPECT_EQ(a.list(8), "Ice cream ice-cream icecream |");
  // Section-2 words: Z is commoner than z among the entries; o, n and e
  // occur only in lower case; é occurs only in the text, so its letter keeps e.
  const Layout b(buildLines({"Zoo", "Zulu", "zany|the Zoo zone ZONE \xC9t\xE9"}));
  EXPECT_EQ(b.list(4), "zany* Zulu (#0!) | Zone[#0!]");
  EXPECT_EQ(b.list(3), "Zoo* ([#0!]!) | ete[#0!] the[#0!]");
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
