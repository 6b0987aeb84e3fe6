// Tests the bounds-checked byte cursor: little-endian reads, and failures past the end
// that leave the position where it was.
#include "imaging/byte_cursor.h"

#include <gtest/gtest.h>

namespace varnelt {
namespace {

TEST(ByteCursor, ReadsLittleEndianValues) {
  const std::uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0xFE, 0xFF, 0x00, 0x00, 0x80};
  ByteCursor in(bytes, sizeof bytes);
  std::uint32_t u32 = 0;
  std::int16_t i16 = 0;
  std::uint16_t u16 = 0;
  std::uint8_t u8 = 0;
  ASSERT_TRUE(in.ReadU32(u32));
  EXPECT_EQ(u32, 0x04030201u);
  ASSERT_TRUE(in.ReadI16(i16));
  EXPECT_EQ(i16, -2);
  ASSERT_TRUE(in.ReadU16(u16));
  EXPECT_EQ(u16, 0);
  ASSERT_TRUE(in.ReadU8(u8));
  EXPECT_EQ(u8, 0x80);
  EXPECT_EQ(in.remaining(), 0u);
}

TEST(ByteCursor, ReadsPastTheEndFailAndDoNotMove) {
  const std::uint8_t bytes[] = {0xAA, 0xBB, 0xCC};
  ByteCursor in(bytes, sizeof bytes);
  std::uint32_t u32 = 7;
  std::int32_t i32 = 7;
  const std::uint8_t* taken = nullptr;
  EXPECT_FALSE(in.ReadU32(u32));
  EXPECT_FALSE(in.ReadI32(i32));
  EXPECT_EQ(u32, 7u);
  EXPECT_EQ(in.position(), 0u);
  EXPECT_FALSE(in.Take(4, taken));
  EXPECT_FALSE(in.Skip(4));
  EXPECT_FALSE(in.Seek(4));
  EXPECT_TRUE(in.Seek(3));  // the end itself is a valid position
  std::uint8_t u8 = 0;
  EXPECT_FALSE(in.ReadU8(u8));
  ASSERT_TRUE(in.Seek(1));
  std::uint16_t u16 = 0;
  ASSERT_TRUE(in.ReadU16(u16));
  EXPECT_EQ(u16, 0xCCBB);
  EXPECT_FALSE(in.Skip(1));
  EXPECT_EQ(in.position(), 3u);
}

TEST(ByteCursor, HugeCountsDoNotWrapAround) {
  const std::uint8_t bytes[] = {1, 2, 3, 4};
  ByteCursor in(bytes, sizeof bytes);
  ASSERT_TRUE(in.Skip(2));
  const std::uint8_t* taken = nullptr;
  EXPECT_FALSE(in.Skip(static_cast<std::size_t>(-1)));
  EXPECT_FALSE(in.Take(static_cast<std::size_t>(-2), taken));
  EXPECT_EQ(in.position(), 2u);
}

}  // namespace
}  // namespace varnelt
