// Rich text reduced to the plain words the builder indexes.
#include "builder/PlainText.h"

#include <gtest/gtest.h>

namespace kea {
namespace {

TEST(PlainText, Reduces) {
  const struct {
    const char* input;
    const char* expected;
  } cases[] = {
      // Plain text stays as it is, but for one final line feed.
      {"plain {text} \\par", "plain {text} \\par"}, {"two lines\n", "two lines"}, {"keep\n\n", "keep\n"}, {"", ""},
      // Separating control words become a space (and eat one space).
      {R"({\rtf1 dog\emdash cat})", "dog cat"}, {R"({\rtf1 a\par b\line c\tab d})", "a b c d"},
      {R"({\rtf1 a\endash b\bullet c\lquote d\rquote e})", "a b c d e"},
      {R"({\rtf1 a\ldblquote b\rdblquote c})", "a b c"},
      // Other control words vanish, with their numbers and one space.
      {R"({\rtf1\ansi\deff0 {\b bold}\b0  x})", "bold x"}, {R"({\rtf1 a\fs-20 b})", "ab"},
      // Only whole names separate: "parx" and "pard" are not "par".
      {R"({\rtf1 a\pard b\parx c})", "abc"},
      // \binN skips N raw bytes after the control word.
      {R"({\rtf1 a\bin3 xyzb})", "a b"}, {R"({\rtf1 a\bin99 xy})", "a "},
      // Hexadecimal bytes, hyphens, the ignorable-destination star and escaped specials.
      {R"({\rtf1 caf\'e9 \'C9t\'e9})", "caf\xE9 \xC9t\xE9"}, {R"({\rtf1 bad\'zz hex\')", "badzz hex"},
      {R"({\rtf1 a\-b\_c})", "a-b-c"}, {R"({\rtf1 {\*\generator x}y})", "xy"}, {R"({\rtf1 \\ \{ \}})", "\\ { }"},
      // A backslash before anything else stands for nothing; one at the end too.
      {R"({\rtf1 a\~b\)", "a~b"},
  };
  for (const auto& c : cases) {
    std::string out = "left over";
    reduceToPlainText(c.input, out);
    EXPECT_EQ(out, c.expected) << c.input;
  }
}

}  // namespace
}  // namespace kea
