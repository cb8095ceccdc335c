// Reading builder input lines: fields, annotations, tails, escapes and the
// definition; keys; and the English alphabet the builder uses by default.
#include "builder/BuilderInput.h"

#include <gtest/gtest.h>

#include "builder/EnglishAlphabet.h"
#include "dictionary/Alphabet.h"

namespace kea {
namespace {

struct FieldView {
  std::string headword, annotation, tail;
  char terminator;
  bool operator==(const FieldView&) const = default;
};

std::vector<FieldView> fieldsOf(const ParsedLine& line) {
  std::vector<FieldView> out;
  for (std::size_t i = 0; i < line.fieldCount(); ++i) {
    out.push_back({std::string(line.headword(i)), std::string(line.annotation(i)), std::string(line.tail(i)),
                   line.field(i).terminator});
  }
  return out;
}

void PrintTo(const FieldView& f, std::ostream* os) {
  *os << "{" << f.headword << "|" << f.annotation << "|" << f.tail << "|" << static_cast<int>(f.terminator) << "}";
}

struct LineCase {
  std::string line;
  std::vector<FieldView> fields;
  bool hasDefinition;
  std::string definition;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << ::testing::PrintToString(c.line); }

class ParsedLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ParsedLineTest, SplitsFieldsAnnotationsAndDefinition) {
  const LineCase& c = GetParam();
  ParsedLine parsed;
  parsed.parse(c.line);
  EXPECT_EQ(fieldsOf(parsed), c.fields);
  EXPECT_EQ(parsed.hasDefinition(), c.hasDefinition);
  EXPECT_EQ(std::string(parsed.definition()), c.definition);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParsedLineTest,
    ::testing::Values(
        LineCase{"apple", {{"apple", "", "", '\0'}}, false, ""},
        LineCase{"", {{"", "", "", '\0'}}, false, ""},
        LineCase{"apple;pomme|a fruit", {{"apple", "", "", ';'}, {"pomme", "", "", '|'}}, true, "a fruit"},
        LineCase{";apple|x", {{"", "", "", ';'}, {"apple", "", "", '|'}}, true, "x"},
        LineCase{"a:b;c", {{"a", "", "", ':'}, {"b", "", "", ';'}, {"c", "", "", '\0'}}, false, ""},
        // Annotation between the first two "+", the tail after the second.
        LineCase{"Smith+(surname)+|name", {{"Smith", "(surname)", "", '|'}}, true, "name"},
        LineCase{"go+v.+ went", {{"go", "v.", " went", '\0'}}, false, ""},
        LineCase{"x+only note", {{"x", "only note", "", '\0'}}, false, ""},
        LineCase{"a+b+c+d", {{"a", "b", "c+d", '\0'}}, false, ""},
        // Escapes make separators, "+" and the backslash literal.
        LineCase{R"(a\;b\:c\|d\+e\\f|def)", {{R"(a;b:c|d+e\f)", "", "", '|'}}, true, "def"},
        // Leading spaces leave the headword; trailing ones stay.
        LineCase{"  spaced ; next", {{"spaced ", "", "", ';'}, {"next", "", "", '\0'}}, false, ""},
        // Only the first "|" separates; the definition keeps the rest unchanged.
        LineCase{R"(w|a|b\;c)", {{"w", "", "", '|'}}, true, R"(a|b\;c)"},
        LineCase{"w|", {{"w", "", "", '|'}}, true, ""},
        // A line feed ends the headword part without a definition.
        LineCase{"w\nrest|d", {{"w", "", "", '\n'}}, false, ""},
        // A NUL ends the line.
        LineCase{std::string("ab\0cd|e", 7), {{"ab", "", "", '\0'}}, false, ""},
        // A lone backslash at the end stands for nothing.
        LineCase{"ab\\", {{"ab", "", "", '\0'}}, false, ""}));

TEST(ParsedLine, EntryTextRawSizeAndReuse) {
  ParsedLine parsed;
  parsed.parse("a;b;c;d|long definition");
  parsed.parse(R"(  Smith+(surname)+tail;plain+;x++y;a\;b)");
  ASSERT_EQ(parsed.fieldCount(), 4u);
  EXPECT_FALSE(parsed.hasDefinition());
  std::string text;
  // An empty annotation adds nothing.
  for (const auto& [i, expected] : {std::pair{0, "Smith\n(surname)"}, {1, "plain"}, {2, "x"}, {3, "a;b"}}) {
    parsed.entryText(static_cast<std::size_t>(i), text);
    EXPECT_EQ(text, expected);
  }
  EXPECT_EQ(parsed.tail(2), "y");
  EXPECT_EQ(parsed.field(3).rawSize, 4u);  // as written, with its backslash
}

TEST(FirstFieldAndKey, StopAtSeparatorsAndKeepOnlyAlphabetCharacters) {
  EXPECT_EQ(firstField("apple;pomme|x"), "apple");
  EXPECT_EQ(firstField("a:b"), "a");
  EXPECT_EQ(firstField(R"(ab\;c)"), "ab");
  EXPECT_EQ(firstField("x+note|d"), "x+note");
  const auto english = englishAlphabetTable();
  std::string key;
  appendKey(english, "\xC9t\xE9 O'Neil-2", key);  // Été O'Neil-2
  EXPECT_EQ(key, "eteoneil");
  EXPECT_EQ(keyLength(english, "tail-end"), 7);
  EXPECT_EQ(keyLength(english, "--- 42"), 0);
}

TEST(EnglishAlphabet, FoldsLettersAndLeavesPunctuationOut) {
  const auto table = englishAlphabetTable();
  // Q, É, ÿ, Œ, Æ, Þ, ß
  for (const auto& [byte, canonical] : std::initializer_list<std::pair<int, int>>{
           {'Q', 'q'}, {0xC9, 'e'}, {0xFF, 'y'}, {0x8C, 0x9C}, {0xC6, 0xE6}, {0xDE, 0xFE}, {0xDF, 0xDF}}) {
    EXPECT_EQ(table[static_cast<std::size_t>(byte)], canonical) << byte;
  }
  for (const int b : std::initializer_list<int>{0, '0', ' ', '-', '\'', '.', 0x92, 0xD7}) EXPECT_EQ(table[static_cast<std::size_t>(b)], 0) << b;
  auto copy = table;
  EXPECT_EQ(sanitiseAlphabetTable(copy), 0);  // already consistent
  EXPECT_EQ(Alphabet::fromCanonicalTable(table, {}).alphabetSize, 30);
}

}  // namespace
}  // namespace kea
