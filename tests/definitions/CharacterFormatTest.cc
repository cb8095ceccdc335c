#include "definitions/CharacterFormat.h"

#include <gtest/gtest.h>

#include "settings/KEAViewProfileWindows.h"

namespace kea {
namespace {

TEST(CharacterFormat, DefaultHighlightFontIsRedItalicTwelvePointAtNinetySixDpi) {
  const CharacterFormat f =
      characterFormatFromFont(parseFont(KEAViewProfileWindows::kDefaultDefinitionHighlightFont), 96);
  EXPECT_EQ(f.faceName, "Times New Roman");
  EXPECT_EQ(f.sizeTwips, 240);
  EXPECT_TRUE(f.italic);
  EXPECT_FALSE(f.bold || f.underline);
  EXPECT_EQ(f.colour, Colour::fromRgb(255, 0, 0));

  const CharacterFormat g = characterFormatFromFont(parseFont("0,0,255,-20,0,0,0,700,0,1,1,2,0,0,0,0,Arial"), 96);
  EXPECT_TRUE(g.bold && g.underline && g.strikeOut);
  EXPECT_EQ(g.charSet, 2);
  EXPECT_EQ(g.colour.blue(), 255);
}

TEST(CharacterFormat, SizeRoundsHalfUpAndOddHeightsGiveUsableSizes) {
  const struct {
    int height, dpi, twips;
  } cases[] = {
      {-20, 120, 240}, {-13, 96, 195}, {-11, 72, 220}, {-7, 90, 112}, {-1, 96, 15}, {-3, 64, 68},  // 67.5 up
      {0, 96, 0},      // the pane's own size
      {16, 96, 240},   // a cell height: taken by magnitude
      {-16, 0, 240},   // unknown resolution: 96
  };
  FontSetting font = parseFont("0,0,0,0,0,0,0,400,0,0,0,0,0,0,0,0,X");
  for (const auto& c : cases) {
    font.height = c.height;
    EXPECT_EQ(characterFormatFromFont(font, c.dpi).sizeTwips, c.twips) << c.height << " at " << c.dpi;
  }
  font.height = -2147483647 - 1;
  EXPECT_GT(characterFormatFromFont(font, 1).sizeTwips, 0);
  for (int weight : {600, 800}) {  // bold is weight 700 only
    font.weight = weight;
    EXPECT_FALSE(characterFormatFromFont(font, 96).bold) << weight;
  }
}

}  // namespace
}  // namespace kea
