#include "builder/PlainText.h"

#include <gtest/gtest.h>

namespace kea {
namespace {

struct PlainCase {
  std::string input;
  std::string expected;
};

void PrintTo(const PlainCase& c, std::ostream* os) { *os << ::testing::PrintToString(c.input); }

class PlainTextTest : public ::testing::TestWithParam<PlainCase> {};

TEST_P(PlainTextTest, Reduces) {
  std::string out = "left over";
  reduceToPlainText(GetParam().input, out);
  EXPECT_EQ(out, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlainTextTest,
    ::testing::Values(
        // Plain text stays as it is, but for one final line feed.
        PlainCase{"plain {text} \\par", "plain {text} \\par"}, PlainCase{"two lines\n", "two lines"},
        PlainCase{"keep\n\n", "keep\n"}, PlainCase{"", ""},
        // Separating control words become a space (and eat one space).
        PlainCase{R"({\rtf1 dog\emdash cat})", "dog cat"}, PlainCase{R"({\rtf1 a\par b\line c\tab d})", "a b c d"},
        PlainCase{R"({\rtf1 a\endash b\bullet c\lquote d\rquote e})", "a b c d e"},
        PlainCase{R"({\rtf1 a\ldblquote b\rdblquote c})", "a b c"},
        // Other control words vanish, with their numbers and one space.
        PlainCase{R"({\rtf1\ansi\deff0 {\b bold}\b0  x})", "bold x"},
        PlainCase{R"({\rtf1 a\fs-20 b})", "ab"},
        // Only whole names separate: "parx" and "pard" are not "par".
        PlainCase{R"({\rtf1 a\pard b\parx c})", "abc"},
        // \binN skips N raw bytes after the control word.
        PlainCase{R"({\rtf1 a\bin3 xyzb})", "a b"}, PlainCase{R"({\rtf1 a\bin99 xy})", "a "},
        // Hexadecimal bytes, hyphens, the ignorable-destination star and escaped specials.
        PlainCase{R"({\rtf1 caf\'e9 \'C9t\'e9})", "caf\xE9 \xC9t\xE9"},
        PlainCase{R"({\rtf1 bad\'zz hex\')", "badzz hex"}, PlainCase{R"({\rtf1 a\-b\_c})", "a-b-c"},
        PlainCase{R"({\rtf1 {\*\generator x}y})", "xy"}, PlainCase{R"({\rtf1 \\ \{ \}})", "\\ { }"},
        // A backslash before anything else stands for nothing; one at the end too.
        PlainCase{R"({\rtf1 a\~b\)", "a~b"}));

}  // namespace
}  // namespace kea
