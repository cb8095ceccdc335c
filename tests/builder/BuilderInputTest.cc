// Reading builder input lines: fields, annotations, tails, escapes and the
// definition; keys; and the English alphabet the builder uses by default.
#include "builder/BuilderInput.h"

#include <gtest/gtest.h>

#include "builder/EnglishAlphabet.h"
#include "dictionary/Alphabet.h"

namespace kea {
namespace {

// The fields as "headword(annotation)[tail]" and their terminators ("$" for
// the end of the line), then " => " and the definition when there is one.
std::string parsed(std::string_view line) {
  ParsedLine p;
  p.parse(line);
  std::string out;
  for (std::size_t i = 0; i < p.fieldCount(); ++i) {
    const char end = p.field(i).terminator;
    const std::string annotation(p.annotation(i)), tail(p.tail(i));
    out += (i ? " " : "") + std::string(p.headword(i)) + (annotation.empty() ? "" : "(" + annotation + ")") +
           (tail.empty() ? "" : "[" + tail + "]") + (end == '\0' ? "$" : end == '\n' ? "\\n" : std::string(1, end));
  }
  return p.hasDefinition() ? out + " => " + std::string(p.definition()) : out;
}

TEST(ParsedLine, SplitsFieldsAnnotationsAndDefinition) {
  const struct {
    std::string line;
    const char* expected;
  } cases[] = {
      {"apple", "apple$"},
      {"", "$"},
      {"apple;pomme|a fruit", "apple; pomme| => a fruit"},
      {";apple|x", "; apple| => x"},
      {"a:b;c", "a: b; c$"},
      // Annotation between the first two "+", the tail after the second.
      {"Smith+(surname)+|name", "Smith((surname))| => name"},
      {"go+v.+ went", "go(v.)[ went]$"},
      {"x+only note", "x(only note)$"},
      {"a+b+c+d", "a(b)[c+d]$"},
      // Escapes make separators, "+" and the backslash literal.
      {R"(a\;b\:c\|d\+e\\f|def)", R"(a;b:c|d+e\f| => def)"},
      // Leading spaces leave the headword; trailing ones stay.
      {"  spaced ; next", "spaced ; next$"},
      // Only the first "|" separates; the definition keeps the rest unchanged.
      {R"(w|a|b\;c)", R"(w| => a|b\;c)"},
      {"w|", "w| => "},
      // A line feed ends the headword part without a definition; a NUL ends the line.
      {"w\nrest|d", "w\\n"},
      {std::string("ab\0cd|e", 7), "ab$"},
      // A lone backslash at the end stands for nothing.
      {"ab\\", "ab$"},
  };
  for (const auto& c : cases) EXPECT_EQ(parsed(c.line), c.expected) << ::testing::PrintToString(c.line);
}

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
  for (const int b : std::initializer_list<int>{0, '0', ' ', '-', '\'', '.', 0x92, 0xD7}) {
    EXPECT_EQ(table[static_cast<std::size_t>(b)], 0) << b;
  }
  auto copy = table;
  EXPECT_EQ(sanitiseAlphabetTable(copy), 0);  // already consistent
  EXPECT_EQ(Alphabet::fromCanonicalTable(table, {}).alphabetSize, 30);
}

}  // namespace
}  // namespace kea
