// The library pieces behind kkbuild: input text preparation and alphabet
// files.
#include <gtest/gtest.h>

#include <filesystem>

#include "builder/AlphabetFile.h"
#include "builder/EnglishAlphabet.h"
#include "builder/InputText.h"
#include "support/TempDir.h"

namespace kea {
namespace {

TEST(InputText, SplitsLinesAndConvertsUtf8) {
  const InputText text = prepareInputText("\xEF\xBB\xBF" "caf\xC3\xA9\r\n\n\xE2\x82\xAC" "5|x\nlast", true);
  EXPECT_EQ(text.problemLines, 0u);
  EXPECT_EQ(text.lineCount, 4u);
  EXPECT_EQ(text.lines, "caf\xE9\n\n\x80" "5|x\nlast\n");
  // Raw input keeps its bytes.
  const InputText raw = prepareInputText("\xEF\xBB\xBF\xE9\x81\r\n", false);
  EXPECT_EQ(raw.problemLines, 0u);
  EXPECT_EQ(raw.lines, "\xEF\xBB\xBF\xE9\x81\n");
}

TEST(InputText, ReportsEachBadLineUpToALimit) {
  std::string input;
  for (int i = 0; i < 5; ++i) input += "ok\n\xE4\xB8\x80\n";  // a CJK character on every second line
  input += std::string("nul\0here\n", 9);
  const InputText text = prepareInputText(input, true, 3);
  EXPECT_EQ(text.problemLines, 6u);
  ASSERT_EQ(text.problems.size(), 3u);
  EXPECT_EQ(text.problems[0], "line 2: the character \"\xE4\xB8\x80\" (U+4E00) at byte 1 has no Windows-1252 form");
  EXPECT_EQ(text.problems[2], "line 6: the character \"\xE4\xB8\x80\" (U+4E00) at byte 1 has no Windows-1252 form");
  const InputText nul = prepareInputText(std::string("a\0b", 3), false);
  ASSERT_EQ(nul.problems.size(), 1u);
  EXPECT_EQ(nul.problems[0], "line 1: a NUL byte at byte 2 cannot be part of a line");
}

TEST(AlphabetFile, RoundTripsAValidTableAndRejectsByteZeroAnd254Canonicals) {
  const auto english = englishAlphabetTable();
  std::string error;
  const auto parsed = parseAlphabetFile(alphabetFileBytes(english), &error);
  ASSERT_TRUE(parsed) << error;
  EXPECT_EQ(*parsed, english);
  EXPECT_EQ(alphabetTableProblem(english), "");
  std::array<std::uint8_t, 256> table{};
  table[0] = 'a';
  table['a'] = 'a';
  EXPECT_EQ(alphabetTableProblem(table), "byte 0x00 cannot be in an alphabet (entry 0 must be 0)");
  table = {};
  for (int v = 1; v <= 253; ++v) table[v] = static_cast<std::uint8_t>(v);
  EXPECT_EQ(alphabetTableProblem(table), "");
  table[254] = 254;
  EXPECT_EQ(alphabetTableProblem(table), "254 canonical characters; a dictionary holds at most 253");
  EXPECT_EQ(alphabetTableProblem({}), "no byte is a canonical character, so the alphabet holds no letters");
}

}  // namespace
}  // namespace kea
