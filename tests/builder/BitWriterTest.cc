#include "builder/BitWriter.h"

#include <gtest/gtest.h>

namespace kea {
namespace {

std::string hex(const std::string& bytes) {
  std::string out;
  char buffer[4];
  for (const char c : bytes) {
    std::snprintf(buffer, sizeof buffer, "%02X ", static_cast<unsigned>(static_cast<std::uint8_t>(c)));
    out += buffer;
  }
  return out;
}

TEST(BitWriter, PacksLeastSignificantBitFirstIntoLittleEndianUnits) {
  MemoryOutputFile out;
  {
    BitWriter bits(out);
    bits.writeBits(3, 0b101);
    bits.writeBits(1, 0);
    bits.writeBits(4, 0b1111);
    EXPECT_EQ(out.bytes(), "");  // nothing until a unit is complete or flushed
    bits.flush();
  }
  EXPECT_EQ(hex(out.bytes()), "F5 00 ");
}

TEST(BitWriter, LongCodeCanCompleteTwoUnitsAtOnce) {
  MemoryOutputFile out;
  BitWriter bits(out);
  bits.writeBits(4, 0xA);
  bits.writeBits(32, 0x12345678);
  bits.flush();
  // 0xA, then 0x12345678 shifted up by four bits: 0x1_2345_678A.
  EXPECT_EQ(hex(out.bytes()), "8A 67 45 23 01 00 ");
}

TEST(BitWriter, FlushWritesNothingWhenNoBitIsHeld) {
  MemoryOutputFile out;
  BitWriter bits(out);
  bits.writeBits(16, 0xBEEF);
  bits.flush();
  bits.flush();
  bits.writeBits(0, 0xFFFF);
  bits.flush();
  EXPECT_EQ(hex(out.bytes()), "EF BE ");
}

TEST(BitWriter, IgnoresBitsAboveTheCount) {
  MemoryOutputFile out;
  BitWriter bits(out);
  bits.writeBits(2, 0xFFFFFFFF);
  bits.flush();
  EXPECT_EQ(hex(out.bytes()), "03 00 ");
}

TEST(MemoryOutputFile, FailsLikeAFullDiskBeyondItsCapacity) {
  MemoryOutputFile out(5);
  EXPECT_TRUE(out.write("abc"));
  EXPECT_FALSE(out.write("defg"));
  EXPECT_TRUE(out.failed());
  EXPECT_EQ(out.bytes(), "abcde");
  EXPECT_FALSE(out.write("h"));
  EXPECT_FALSE(out.close());
}

TEST(MemoryOutputFile, SeekOverwritesInPlace) {
  MemoryOutputFile out;
  out.write("    rest");
  EXPECT_TRUE(out.seek(0));
  out.write("KKD1");
  EXPECT_EQ(out.position(), 4u);
  EXPECT_EQ(out.bytes(), "KKD1rest");
}

}  // namespace
}  // namespace kea
