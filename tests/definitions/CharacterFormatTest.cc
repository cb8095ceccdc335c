#include "definitions/CharacterFormat.h"

#include <gtest/gtest.h>

#include "settings/KEAViewProfileWindows.h"

namespace kea {
namespace {

TEST(CharacterFormat, DefaultHighlightFontIsRedItalicTwelvePointAtNinetySixDpi) {
  const CharacterFormat f =
      characterFormatFromFont(parseFont(KEAViewProfileWindows::kDefaultDefinitionHighlightFont), 96);
  EXPECT_EQ(f.faceName, "Times New Roman");
  EXPECT_EQ(f.sizeTwips, 240);  // 1440 * 16 / 96
  EXPECT_DOUBLE_EQ(f.pointSize(), 12.0);
  EXPECT_TRUE(f.italic);
  EXPECT_FALSE(f.bold);
  EXPECT_FALSE(f.underline);
  EXPECT_EQ(f.colour, Colour::fromRgb(255, 0, 0));
}

TEST(CharacterFormat, SizeRoundsHalfUpAndBoldIsWeight700Only) {
  FontSetting font = parseFont("0,0,255,-20,0,0,0,700,0,1,1,2,0,0,0,0,Arial");
  CharacterFormat f = characterFormatFromFont(font, 120);
  EXPECT_EQ(f.sizeTwips, 240);  // 1440 * 20 / 120
  EXPECT_TRUE(f.bold);
  EXPECT_TRUE(f.underline);
  EXPECT_TRUE(f.strikeOut);
  EXPECT_EQ(f.charSet, 2);
  EXPECT_EQ(f.colour.blue(), 255);

  font.height = -13;
  EXPECT_EQ(characterFormatFromFont(font, 96).sizeTwips, 195);  // 195.0
  font.height = -11;
  EXPECT_EQ(characterFormatFromFont(font, 72).sizeTwips, 220);
  font.height = -7;
  EXPECT_EQ(characterFormatFromFont(font, 90).sizeTwips, 112);  // 112.0
  font.height = -1;
  EXPECT_EQ(characterFormatFromFont(font, 96).sizeTwips, 15);  // 15.0
  font.height = -3;
  EXPECT_EQ(characterFormatFromFont(font, 64).sizeTwips, 68);  // 67.5 rounds up

  font.weight = 600;
  EXPECT_FALSE(characterFormatFromFont(font, 96).bold);
  font.weight = 800;
  EXPECT_FALSE(characterFormatFromFont(font, 96).bold);
}

TEST(CharacterFormat, OddHeightsAndResolutionsGiveUsableSizes) {
  FontSetting font = parseFont("0,0,0,0,0,0,0,400,0,0,0,0,0,0,0,0,X");
  EXPECT_EQ(characterFormatFromFont(font, 96).sizeTwips, 0);  // the pane's own size
  font.height = 16;  // a cell height: taken by magnitude, never a negative size
  EXPECT_EQ(characterFormatFromFont(font, 96).sizeTwips, 240);
  font.height = -16;
  EXPECT_EQ(characterFormatFromFont(font, 0).sizeTwips, 240);  // unknown resolution: 96
  font.height = -2147483647 - 1;
  EXPECT_GT(characterFormatFromFont(font, 1).sizeTwips, 0);
}

}  // namespace
}  // namespace kea
