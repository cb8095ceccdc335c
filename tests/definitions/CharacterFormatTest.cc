#include "definitions/CharacterFormat.h"

#include <gtest/gtest.h>

#include "settings/KEAViewProfileWindows.h"

namespace kea {
namespace {

TEST(CharacterFormat, FontSettingBecomesAFormatWithTheSizeRoundedHalfUp) {
  const CharacterFormat f =
      characterFormatFromFont(parseFont(KEAViewProfileWindows::kDefaultDefinitionHighlightFont), 96);
  EXPECT_EQ(f.faceName, "Times New Roman");
  EXPECT_TRUE(f.italic && !f.bold);
  EXPECT_EQ(f.colour, Colour::fromRgb(255, 0, 0));
  const struct {
    int height, dpi, weight, twips;
    bool bold;
  } cases[] = {
      {-16, 96, 700, 240, true}, {-20, 120, 600, 240, false}, {-13, 96, 800, 195, false}, {-7, 90, 400, 112, false},
      {-3, 64, 400, 68, false},  // 67.5 rounds up
      {0, 96, 400, 0, false},    // the pane's own size
      {16, 96, 400, 240, false},  // a cell height: taken by magnitude
      {-16, 0, 400, 240, false},  // unknown resolution: 96
  };
  FontSetting font = parseFont("0,0,0,0,0,0,0,400,0,1,1,2,0,0,0,0,X");
  for (const auto& c : cases) {
    font.height = c.height;
    font.weight = c.weight;
    const CharacterFormat g = characterFormatFromFont(font, c.dpi);
    EXPECT_EQ(g.sizeTwips, c.twips) << c.height << " at " << c.dpi;
    EXPECT_EQ(g.bold, c.bold) << c.weight;
    EXPECT_TRUE(g.underline && g.strikeOut);
  }
  font.height = -2147483647 - 1;
  EXPECT_GT(characterFormatFromFont(font, 1).sizeTwips, 0);
}

}  // namespace
}  // namespace kea
