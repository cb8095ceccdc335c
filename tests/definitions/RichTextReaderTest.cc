// How a definition is displayed: rich-text bodies (runs and their styles,
// the characters a body stands for, malformed or hostile input that must
// end cleanly) and the character formats made from font settings.
#include "definitions/RichTextReader.h"

#include <gtest/gtest.h>

#include <string>

#include "definitions/CharacterFormat.h"
#include "settings/TextForms.h"

namespace kea {
namespace {

TEST(RichTextReader, OnlyTheVersionOneMagicIsRichTextAndPlainBodiesAreOneRun) {
  EXPECT_TRUE(isRichText("{\\rtf1\\ansi x}"));
  EXPECT_FALSE(isRichText(" {\\rtf1 x}") || isRichText("{\\RTF1 x}"));
  EXPECT_EQ(definitionPlainText("{\\rtf2 \\b x}"), "{\\rtf2 \\b x}");  // shown as it stands
  const StyledText t = readDefinitionBody("one\r\ntwo\rthree\nfour");
  ASSERT_EQ(t.runs.size(), 1u);
  EXPECT_EQ(t.runs[0].text, "one\ntwo\nthree\nfour");
  EXPECT_EQ(t.runs[0].style, TextStyle{});
  EXPECT_TRUE(readDefinitionBody("").empty());
}

TEST(RichTextReader, StylesMakeRunsAndGroupsRestoreThem) {
  StyledText t = readRichText("{\\rtf1\\ansi a {\\b b {\\i c}} \\ul d\\ul0 e\\i\\strike f\\plain g}");
  ASSERT_EQ(t.plainText(), "a b c defg");
  ASSERT_EQ(t.runs.size(), 8u);
  EXPECT_EQ(t.runs[1].text, "b ");
  EXPECT_TRUE(t.runs[1].style.bold && !t.runs[1].style.italic);
  EXPECT_TRUE(t.runs[2].style.bold && t.runs[2].style.italic);
  EXPECT_EQ(t.runs[3].style, TextStyle{});  // the groups closed
  EXPECT_TRUE(t.runs[4].style.underline);
  EXPECT_EQ(t.runs[5].style, TextStyle{});
  EXPECT_TRUE(t.runs[6].style.italic && t.runs[6].style.strikeOut);
  EXPECT_EQ(t.runs[7].style, TextStyle{});
  t = readRichText("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue300;}a\\cf1 b\\cf2 c\\cf0 d\\cf9 e}");
  ASSERT_EQ(t.runs.size(), 4u);
  EXPECT_EQ(t.runs[1].style.colour, Colour::fromRgb(255, 0, 0));
  EXPECT_EQ(t.runs[2].style.colour, Colour::fromRgb(0, 128, 255));  // out-of-range part clamped
  EXPECT_EQ(t.runs[3].text, "de");  // \cf0 is automatic; past the table is ignored
  EXPECT_FALSE(t.runs[3].style.hasColour);
}

TEST(RichTextReader, PlainTextOfRichText) {
  const struct {
    std::string rtf, plain;
  } cases[] = {
      {"{\\rtf1\\ansi\\deff0 a\\par b\\line c\\tab d\\emdash e\\endash f\\bullet g\\lquote h\\rquote "
       "i\\ldblquote j\\rdblquote k\\'e9\\'E9l\\\\\\{\\}\\~m\\_n\\-o}",
       "a\nb\nc\td\x97" "e\x96" "f\x95g\x91h\x92i\x93j\x94k\xE9\xE9l\\{}\xA0m-no"},
      // One blank ends a control word; a hyphen before digits is a sign.
      {"{\\rtf1 \\b  x\\b0;y\\fs-24z}", " x;yz"},
      {"{\\rtf1 a\r\nb\\\nc}", "ab\nc"},  // a backslash before a line break is a paragraph
      {"{\\rtf1\\ansi{\\fonttbl{\\f0\\froman Times New Roman;}}{\\stylesheet{\\s0 Normal;}}"
       "{\\info{\\title T}{\\author A}}{\\*\\generator Writer;}{\\*\\unknowndest {nested} text}"
       "{\\pict\\wmetafile8 0123abcd}{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt shown}} visible}",
       "shown visible"},
      // \uN and its fallback characters (\ucN of them, \'hh and control words one each).
      {"{\\rtf1 caf\\u233?s}", "caf\xE9s"},
      {"{\\rtf1\\uc2 a\\u8212\\'97\\'97b}", "a\x97" "b"},
      {"{\\rtf1 \\u-3913?x}", "?x"},  // U+F0B7 has no Windows-1252 form
      {"{\\rtf1 {\\u233}x\\uc0\\u233 y}", "\xE9x\xE9y"},
      // Binary data is skipped even when it looks like syntax.
      {"{\\rtf1 a\\bin4 }{\\bb}", "ab"},
      {"{\\rtf1 a\\bin99999999999 xyz", "a"},
      // Malformed text ends without losing what was read.
      {"{\\rtf1 unclosed {\\b group", "unclosed group"},
      {"{\\rtf1 a}} b}", "a b"},
      {"{\\rtf1 end\\", "end"},
      {"{\\rtf1 end\\'zz", "endzz"},
      {"{\\rtf1 x\\b99999999999999999999 y}", "xy"},
      {"{\\rtf1 x\\uc99999999999 \\u233 abc}", "x\xE9"},
      {"{\\rtf1 x\\u99999999999 yz}", "xz"},
      {"{\\rtf1 \\" + std::string(100, 'q') + " y}", "y"},
  };
  for (const auto& c : cases) EXPECT_EQ(readRichText(c.rtf).plainText(), c.plain) << c.rtf;
}

TEST(RichTextReader, DeepNestingStaysInStep) {
  const int depth = 100000;
  const std::string rtf = "{\\rtf1 " + std::string(depth, '{') + "\\b deep" + std::string(depth, '}') + " after}";
  const StyledText t = readRichText(rtf);
  EXPECT_EQ(t.plainText(), "deep after");
  ASSERT_EQ(t.runs.size(), 2u);
  EXPECT_TRUE(t.runs[0].style.bold);
  EXPECT_FALSE(t.runs[1].style.bold);
}

TEST(CharacterFormat, SizeRoundsHalfUpAndOddHeightsGiveUsableSizes) {
  const struct {
    int height, dpi, weight, twips;
    bool bold;
  } cases[] = {
      {-16, 96, 700, 240, true}, {-20, 120, 600, 240, false}, {-3, 64, 800, 68, false},  // 67.5 rounds up
      {0, 96, 400, 0, false},    // the pane's own size
      {16, 96, 400, 240, false},  // a cell height: taken by magnitude
      {-16, 0, 400, 240, false},  // unknown resolution: 96
      {-2147483647 - 1, 1, 400, -1, false},
  };
  FontSetting font = parseFont("0,0,255,0,0,0,0,400,0,1,1,2,0,0,0,0,Face");
  for (const auto& c : cases) {
    font.height = c.height;
    font.weight = c.weight;
    const CharacterFormat f = characterFormatFromFont(font, c.dpi);
    if (c.twips >= 0) {
      EXPECT_EQ(f.sizeTwips, c.twips) << c.height << " at " << c.dpi;
    }
    EXPECT_GT(f.sizeTwips, c.height == 0 ? -1 : 0) << c.height;
    EXPECT_EQ(f.bold, c.bold) << c.weight;  // weight 700 only
    EXPECT_TRUE(f.underline && f.strikeOut && !f.italic && f.faceName == "Face");
    EXPECT_EQ(f.colour, Colour::fromRgb(0, 0, 255));
  }
}

}  // namespace
}  // namespace kea
