// Reading builder input lines: fields, annotations, tails, escapes and the
// definition; and keys.
#include "builder/BuilderInput.h"

#include <gtest/gtest.h>

#include "builder/EnglishAlphabet.h"

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

}  // namespace
}  // namespace kea
