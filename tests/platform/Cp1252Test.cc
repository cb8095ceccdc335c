#include "platform/Cp1252.h"

#include <gtest/gtest.h>

namespace kea::platform {
namespace {

TEST(Cp1252, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  const auto back = utf8ToCp1252(cp1252ToUtf8(all));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, all);
}

TEST(Cp1252, ConvertsTheSpecialRangeBothWays) {
  EXPECT_EQ(cp1252ToUtf8("\x80"), "\u20AC");
  EXPECT_EQ(cp1252ToUtf8("\x9C"), "\u0153");
  EXPECT_EQ(cp1252ToUtf8("caf\xE9"), "caf\u00E9");
  EXPECT_EQ(utf8ToCp1252("\u2014").value(), "\x97");
  EXPECT_EQ(utf8ToCp1252("jack-o\u2019-lantern").value(), "jack-o\x92-lantern");
}

TEST(Cp1252, ReportsCharactersItCannotHold) {
  CodecError error;
  EXPECT_FALSE(utf8ToCp1252("ab\u4E2D", &error).has_value());
  EXPECT_FALSE(error.malformed);
  EXPECT_EQ(error.offset, 2u);
  EXPECT_EQ(error.codePoint, 0x4E2Du);
  EXPECT_NE(error.message().find("U+4E2D"), std::string::npos);
}

TEST(Cp1252, RejectsMalformedUtf8) {
  CodecError error;
  for (const char* bad : {"\xC3", "a\xC3(", "\xE2\x82", "\xC0\xAF", "\xED\xA0\x80", "\xF8\x88\x80\x80", "\xFF"}) {
    EXPECT_FALSE(utf8ToCp1252(bad, &error).has_value()) << bad;
    EXPECT_TRUE(error.malformed);
  }
}

TEST(Cp1252, UpperCaseTest) {
  EXPECT_TRUE(isCharUpper('A'));
  EXPECT_FALSE(isCharUpper('a'));
  EXPECT_TRUE(isCharUpper(0xC9));   // É
  EXPECT_FALSE(isCharUpper(0xE9));  // é
  EXPECT_TRUE(isCharUpper(0x8C));   // Œ
  EXPECT_FALSE(isCharUpper(0x9C));  // œ
  EXPECT_FALSE(isCharUpper(0xD7));  // ×
  EXPECT_FALSE(isCharUpper(0xDF));  // ß
  EXPECT_FALSE(isCharUpper('1'));
}

}  // namespace
}  // namespace kea::platform
