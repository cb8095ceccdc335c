// Rich text reduced to the plain words the builder indexes.
#include "dictionary/PlainText.h"

#include <gtest/gtest.h>

namespace kea {
namespace {

TEST(PlainText, Reduces) {
  const struct {
    const char* input;
    const char* expected;
  } cases[] = {
      // Plain text stays as it is, but for one final line feed.
      {"plain {text} \\par", "plain {text} \\par"}, {"keep\n\n", "keep\n"},
      // Separating control words become a space; others vanish with their numbers; only whole names count.
      {R"({\rtf1 a\par b\line c\tab d})", "a b c d"}, {R"({\rtf1 a\pard b\fs-20 c})", "abc"},
      // \binN skips N raw bytes, never past the end.
      {R"({\rtf1 a\bin3 xyzb})", "a b"}, {R"({\rtf1 a\bin99 xy})", "a "},
      // Hexadecimal bytes, a bad one and one cut short by the end.
      {R"({\rtf1 caf\'e9 \'C9t\'e9})", "caf\xE9 \xC9t\xE9"}, {R"({\rtf1 bad\'zz hex\')", "badzz hex"},
  };
  for (const auto& c : cases) {
    std::string out = "left over";
    reduceToPlainText(c.input, out);
    EXPECT_EQ(out, c.expected) << c.input;
  }
}

}  // namespace
}  // namespace kea
