#include "definitions/RichTextReader.h"

#include <gtest/gtest.h>

#include <string>

namespace kea {
namespace {

TextStyle bold() {
  TextStyle s;
  s.bold = true;
  return s;
}

TEST(RichTextReader, OnlyTheVersionOneMagicIsRichText) {
  EXPECT_TRUE(isRichText("{\\rtf1\\ansi x}"));
  EXPECT_FALSE(isRichText("{\\rtf2 x}"));
  EXPECT_FALSE(isRichText(" {\\rtf1 x}"));
  EXPECT_FALSE(isRichText("{\\RTF1 x}"));
  // Another version is shown as it stands, braces and all.
  EXPECT_EQ(definitionPlainText("{\\rtf2 \\b x}"), "{\\rtf2 \\b x}");
}

TEST(RichTextReader, PlainBodyIsOneUnstyledRunWithLineFeeds) {
  const StyledText t = readDefinitionBody("one\r\ntwo\rthree\nfour");
  ASSERT_EQ(t.runs.size(), 1u);
  EXPECT_EQ(t.runs[0].text, "one\ntwo\nthree\nfour");
  EXPECT_EQ(t.runs[0].style, TextStyle{});
  EXPECT_TRUE(readDefinitionBody("").empty());
}

TEST(RichTextReader, StylesMakeRunsAndGroupsRestoreThem) {
  const StyledText t = readRichText("{\\rtf1\\ansi plain {\\b bold {\\i both}} \\ul under\\ul0 end}");
  ASSERT_EQ(t.runs.size(), 6u);
  EXPECT_EQ(t.runs[0].text, "plain ");
  EXPECT_EQ(t.runs[1].text, "bold ");
  EXPECT_EQ(t.runs[1].style, bold());
  EXPECT_EQ(t.runs[2].text, "both");
  EXPECT_TRUE(t.runs[2].style.bold && t.runs[2].style.italic);
  EXPECT_EQ(t.runs[3].text, " ");
  EXPECT_EQ(t.runs[3].style, TextStyle{});
  EXPECT_EQ(t.runs[4].text, "under");
  EXPECT_TRUE(t.runs[4].style.underline);
  EXPECT_EQ(t.runs[5].text, "end");
  EXPECT_EQ(t.runs[5].style, TextStyle{});
}

TEST(RichTextReader, ToggleParametersAndPlainReset) {
  const StyledText t = readRichText("{\\rtf1 \\b1 a\\b0 b\\i\\strike c\\plain d\\ulnone\\uldb e\\ulnone f}");
  ASSERT_EQ(t.plainText(), "abcdef");
  EXPECT_TRUE(t.runs[0].style.bold);
  EXPECT_EQ(t.runs[1].style, TextStyle{});
  EXPECT_TRUE(t.runs[2].style.italic && t.runs[2].style.strikeOut);
  EXPECT_EQ(t.runs[3].style, TextStyle{});
  EXPECT_TRUE(t.runs[4].style.underline);
  EXPECT_FALSE(t.runs[5].style.underline);
}

TEST(RichTextReader, ColoursComeFromTheColourTable) {
  const StyledText t = readRichText(
      "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue300;}"
      "a\\cf1 b\\cf2 c\\cf0 d\\cf9 e}");
  ASSERT_EQ(t.plainText(), "abcde");
  ASSERT_EQ(t.runs.size(), 4u);
  EXPECT_FALSE(t.runs[0].style.hasColour);
  EXPECT_TRUE(t.runs[1].style.hasColour);
  EXPECT_EQ(t.runs[1].style.colour, Colour::fromRgb(255, 0, 0));
  EXPECT_EQ(t.runs[2].style.colour, Colour::fromRgb(0, 128, 255));  // out-of-range part clamped
  // \cf0 is the automatic colour and an index past the table is ignored.
  EXPECT_EQ(t.runs[3].text, "de");
  EXPECT_FALSE(t.runs[3].style.hasColour);
}

TEST(RichTextReader, BreaksSpecialsAndEscapes) {
  const std::string rtf =
      "{\\rtf1\\ansi\\deff0 a\\par b\\line c\\tab d\\emdash e\\endash f\\bullet g\\lquote h\\rquote "
      "i\\ldblquote j\\rdblquote k\\'e9\\'E9l\\\\\\{\\}\\~m\\_n\\-o}";
  EXPECT_EQ(readRichText(rtf).plainText(),
            "a\nb\nc\td\x97" "e\x96" "f\x95g\x91h\x92i\x93j\x94k\xE9\xE9l\\{}\xA0m-no");
}

TEST(RichTextReader, ControlWordsTakeOneDelimitingBlank) {
  // "\b  x": one blank ends the word, the second is text; a digit parameter
  // needs no blank; a hyphen before digits is the parameter's sign.
  EXPECT_EQ(readRichText("{\\rtf1 \\b  x\\b0;y\\fs-24z}").plainText(), " x;yz");
  // Source line breaks are not text; a backslash before one is a paragraph.
  EXPECT_EQ(readRichText("{\\rtf1 a\r\nb\\\nc}").plainText(), "ab\nc");
}

TEST(RichTextReader, DestinationsAndStarredGroupsAreSkipped) {
  const std::string rtf =
      "{\\rtf1\\ansi{\\fonttbl{\\f0\\froman Times New Roman;}}{\\stylesheet{\\s0 Normal;}}"
      "{\\info{\\title T}{\\author A}}{\\*\\generator Writer;}{\\*\\unknowndest {nested} text}"
      "{\\pict\\wmetafile8 0123abcd}{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt shown}} visible}";
  EXPECT_EQ(readRichText(rtf).plainText(), "shown visible");
}

TEST(RichTextReader, UnicodeEscapesAndTheirFallbacks) {
  // \u233 is é (a Windows-1252 byte); its fallback "?" is skipped.
  EXPECT_EQ(readRichText("{\\rtf1 caf\\u233?s}").plainText(), "caf\xE9s");
  // \u8212 is the em dash, 0x97; \uc2 makes the fallback two characters,
  // counting \'hh and control words as one each.
  EXPECT_EQ(readRichText("{\\rtf1\\uc2 a\\u8212\\'97\\'97b}").plainText(), "a\x97" "b");
  EXPECT_EQ(readRichText("{\\rtf1\\uc2 a\\u8212\\b xb}").plainText(), "a\x97" "b");
  // Negative parameters stand for code points above 32767; a character
  // Windows-1252 cannot hold becomes "?".
  EXPECT_EQ(readRichText("{\\rtf1 \\u-3913?x}").plainText(), "?x");  // U+F0B7
  EXPECT_EQ(readRichText("{\\rtf1 \\u8364 \\u-1?x}").plainText(), "\x80?x");
  // A group ends the fallback; \uc0 has none.
  EXPECT_EQ(readRichText("{\\rtf1 {\\u233}x\\uc0\\u233 y}").plainText(), "\xE9x\xE9y");
}

TEST(RichTextReader, BinaryDataIsSkippedEvenWhenItLooksLikeSyntax) {
  EXPECT_EQ(readRichText("{\\rtf1 a\\bin4 }{\\bb}").plainText(), "ab");
  EXPECT_EQ(readRichText("{\\rtf1 a\\bin99999999999 xyz").plainText(), "a");
  EXPECT_EQ(readRichText("{\\rtf1 a\\bin-5 b}").plainText(), "ab");
}

TEST(RichTextReader, MalformedTextEndsWithoutLosingWhatWasRead) {
  struct Case {
    std::string rtf, plain;
  };
  const Case cases[] = {
      {"{\\rtf1 unclosed {\\b group", "unclosed group"},
      {"{\\rtf1 a}} b}", "a b"},  // extra closing braces are ignored
      {"{\\rtf1 end\\", "end"},
      {"{\\rtf1 end\\'", "end"},
      {"{\\rtf1 end\\'4", "end"},  // a control byte is no text
      {"{\\rtf1 end\\'zz", "endzz"},
      {"{\\rtf1 x\\par", "x\n"},
      {"{\\rtf1 x\\b99999999999999999999 y}", "xy"},
      {"{\\rtf1 x\\uc99999999999 \\u233 abc}", "x\xE9"},
      {"{\\rtf1 x\\u99999999999 yz}", "xz"},  // no character, but its fallback is still skipped
      {"{\\rtf1 " + std::string(100, 'q') + "longcontrolword y}", std::string(100, 'q') + "longcontrolword y"},
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
  // After every group closed, the bold of the deepest group is gone.
  EXPECT_FALSE(t.runs[1].style.bold);
}

}  // namespace
}  // namespace kea
