#include "settings/TextForms.h"

#include <gtest/gtest.h>

namespace kea {
namespace {

TEST(TextForms, FontNumbersThatAreMissingOrUnreadableCountAsZero) {
  const struct {
    const char* text;
    int blue, height, weight, italic;
    const char* face;
  } cases[] = {
      {"0,0,255,-20,0,0,0,700,0,0,0,0,0,0,0,0,Arial", 255, -20, 700, 0, "Arial"},
      {"", 0, 0, 0, 0, ""},
      {"0,,12,-9", 12, -9, 0, 0, ""},
      {"x,0,0,abc,0,0,0,700", 0, 0, 700, 0, ""},
      {"0,0, 7 ,-16junk,0,0,0,400,1", 7, -16, 400, 1, ""},
      {"0,0,0,-16,0,0,0,400,999,0,0,0,0,0,0,0,Face", 0, -16, 400, 255, "Face"},
      {"0,0,0,99999999999,0,0,0,-99999999999", 0, 2147483647, -2147483647 - 1, 0, ""},
  };
  for (const auto& c : cases) {
    const FontSetting font = parseFont(c.text);
    EXPECT_EQ(font.colour.blue(), c.blue) << c.text;
    EXPECT_EQ(font.height, c.height) << c.text;
    EXPECT_EQ(font.weight, c.weight) << c.text;
    EXPECT_EQ(font.italic, c.italic) << c.text;
    EXPECT_EQ(font.faceName, c.face) << c.text;
  }
  const std::string numbers = "0,0,0,-16,0,0,0,400,0,0,0,0,0,0,0,49,";
  EXPECT_EQ(parseFont(numbers + "Times New Roman,extra").faceName, "Times New Roman");
  EXPECT_EQ(parseFont(numbers + std::string(40, 'F')).faceName, std::string(32, 'F'));
}

TEST(TextForms, ColourIsRedPlus256GreenPlus65536Blue) {
  EXPECT_EQ(parseColour("1,2,3").value, 1u + 2u * 256u + 3u * 65536u);
  EXPECT_EQ(parseFont("0,0,255").colour.value, 255u * 65536u);
  // A part out of range must not change its neighbours.
  const Colour c = parseColour("300,-5,7");
  EXPECT_EQ(c.red(), 255);
  EXPECT_EQ(c.green(), 0);
  EXPECT_EQ(c.blue(), 7);
}

TEST(TextForms, WrittenFormsReadBackUnchanged) {
  const std::string text = "255,0,0,-16,0,0,0,400,255,0,0,0,3,2,1,18,Times New Roman";
  EXPECT_EQ(formatFont(parseFont(text)), text);
  EXPECT_EQ(formatColour(Colour::fromRgb(1, 2, 3)), "1,2,3");
  const WindowPosition position{-10, 20, 640, 480, 2};
  EXPECT_EQ(formatPosition(position), "-10,20,640,480,2");
  EXPECT_EQ(parsePosition(formatPosition(position)), position);
  EXPECT_EQ(parsePosition("5,6"), (WindowPosition{5, 6, 0, 0, 0}));
}

}  // namespace
}  // namespace kea
