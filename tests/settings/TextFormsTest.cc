#include "settings/TextForms.h"

#include <gtest/gtest.h>

namespace kea {
namespace {

TEST(TextForms, FontTextGivesColourWeightHeightAndFace) {
  const FontSetting font = parseFont("0,0,255,-20,0,0,0,700,0,0,0,0,0,0,0,0,Arial");
  EXPECT_EQ(font.colour.value, 255u * 65536u);
  EXPECT_EQ(font.colour.blue(), 255);
  EXPECT_EQ(font.height, -20);
  EXPECT_EQ(font.weight, 700);
  EXPECT_EQ(font.faceName, "Arial");
  EXPECT_EQ(font.italic, 0);
}

TEST(TextForms, ColourIsRedPlus256GreenPlus65536Blue) {
  EXPECT_EQ(parseColour("1,2,3").value, 1u + 2u * 256u + 3u * 65536u);
  EXPECT_EQ(parseColour("255,255,255").value, 0xFFFFFFu);
  // A part out of range must not change its neighbours.
  const Colour c = parseColour("300,-5,7");
  EXPECT_EQ(c.red(), 255);
  EXPECT_EQ(c.green(), 0);
  EXPECT_EQ(c.blue(), 7);
}

struct BrokenFont {
  const char* text;
  int red, height, weight, italic;
  const char* face;
};

TEST(TextForms, MissingOrUnreadableNumbersCountAsZero) {
  const BrokenFont cases[] = {
      {"", 0, 0, 0, 0, ""},
      {"12", 12, 0, 0, 0, ""},
      {"12,,,-9", 12, -9, 0, 0, ""},
      {"x,0,0,abc,0,0,0,700", 0, 0, 700, 0, ""},
      {" 7 ,0,0,-16junk,0,0,0,400,1", 7, -16, 400, 1, ""},
      {"0,0,0,-16,0,0,0,400,999,0,0,0,0,0,0,0,Face", 0, -16, 400, 255, "Face"},
      {"0,0,0,99999999999,0,0,0,-99999999999", 0, 2147483647, -2147483647 - 1, 0, ""},
  };
  for (const auto& c : cases) {
    const FontSetting font = parseFont(c.text);
    EXPECT_EQ(font.colour.red(), c.red) << c.text;
    EXPECT_EQ(font.height, c.height) << c.text;
    EXPECT_EQ(font.weight, c.weight) << c.text;
    EXPECT_EQ(font.italic, c.italic) << c.text;
    EXPECT_EQ(font.faceName, c.face) << c.text;
  }
}

TEST(TextForms, FaceNameEndsAtCommaAndIsCutTo32) {
  const std::string numbers = "0,0,0,-16,0,0,0,400,0,0,0,0,0,0,0,49,";
  EXPECT_EQ(parseFont(numbers + "Times New Roman,extra").faceName, "Times New Roman");
  const std::string longName(40, 'F');
  EXPECT_EQ(parseFont(numbers + longName).faceName, std::string(32, 'F'));
  EXPECT_EQ(parseFont(numbers + "").faceName, "");
}

TEST(TextForms, WrittenFormsReadBackUnchanged) {
  const std::string text = "255,0,0,-16,0,0,0,400,255,0,0,0,3,2,1,18,Times New Roman";
  EXPECT_EQ(formatFont(parseFont(text)), text);
  FontSetting font = parseFont(text);
  font.faceName = std::string(50, 'x');
  EXPECT_EQ(parseFont(formatFont(font)).faceName, std::string(32, 'x'));
  EXPECT_EQ(formatColour(Colour::fromRgb(1, 2, 3)), "1,2,3");
  const WindowPosition position{-10, 20, 640, 480, 2};
  EXPECT_EQ(formatPosition(position), "-10,20,640,480,2");
  EXPECT_EQ(parsePosition(formatPosition(position)), position);
  EXPECT_EQ(parsePosition("5,6"), (WindowPosition{5, 6, 0, 0, 0}));
}

}  // namespace
}  // namespace kea
