// Windows-1252 text at the edges: UTF-8 both ways, characters it cannot
// hold, and malformed UTF-8.
#include "platform/Cp1252.h"

#include <gtest/gtest.h>

namespace kea::platform {
namespace {

TEST(Cp1252, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
  EXPECT_EQ(cp1252ToUtf8("\x80\x9C" "caf\xE9"), "\u20AC\u0153caf\u00E9");
  EXPECT_EQ(utf8ToCp1252("\u2014 jack-o\u2019-lantern"), "\x97 jack-o\x92-lantern");
}

TEST(Cp1252, ReportsCharactersItCannotHoldAndMalformedUtf8) {
  CodecError error;
  EXPECT_FALSE(utf8ToCp1252("ab\u4E2D", &error).has_value());
  EXPECT_FALSE(error.malformed);
  EXPECT_EQ(error.offset, 2u);
  EXPECT_EQ(error.codePoint, 0x4E2Du);
  EXPECT_NE(error.message().find("U+4E2D"), std::string::npos);
  for (const char* bad : {"\xC3", "a\xC3(", "\xE2\x82", "\xC0\xAF", "\xED\xA0\x80", "\xF8\x88\x80\x80", "\xFF"}) {
    EXPECT_FALSE(utf8ToCp1252(bad, &error).has_value()) << bad;
    EXPECT_TRUE(error.malformed);
  }
}

}  // namespace
}  // namespace kea::platform
