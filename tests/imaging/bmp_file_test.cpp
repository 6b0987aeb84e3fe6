// Tests the BMP file layout of the window snapshot: header bytes, row stride and padding.
#include <gtest/gtest.h>

#include "imaging/bmp_file.h"

namespace varnelt {
namespace {

TEST(BmpFile, HeadersOfTheFrameSnapshot) {
  const std::vector<std::uint8_t> info = BmpInfoHeader(159, 246, 24);
  std::vector<std::uint8_t> block = info;
  block.resize(40 + 118080);
  std::vector<std::uint8_t> file = BmpFileHeader(block.data(), block.size());
  file.insert(file.end(), info.begin(), info.end());
  const std::vector<std::uint8_t> expected = {
      0x42, 0x4D, 0x76, 0xCD, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00, 0x00, 0x00, 0x28, 0x00, 0x00, 0x00,
      0x9F, 0x00, 0x00, 0x00, 0xF6, 0x00, 0x00, 0x00, 0x01, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0xCD,
      0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(file, expected);
}

TEST(BmpFile, RowStridePadsToFourBytes) {
  struct Case {
    std::int32_t width;
    std::uint16_t bits;
    std::size_t stride;
  };
  const Case cases[] = {{1, 24, 4}, {4, 24, 12}, {159, 24, 480}, {2, 24, 8}, {3, 24, 12},
                        {1, 1, 4},  {33, 1, 8},  {5, 8, 8},      {7, 32, 28}, {0, 24, 0}};
  for (const Case& c : cases) EXPECT_EQ(BmpRowStride(c.width, c.bits), c.stride) << c.width << "@" << c.bits;
  EXPECT_FALSE(BmpRowStride(-1, 24));
}

TEST(BmpFile, PixelOffsetCountsTheColourTable) {
  for (std::uint16_t bits : {std::uint16_t{1}, std::uint16_t{4}, std::uint16_t{8}}) {
    const auto info = BmpInfoHeader(8, 8, bits);
    const auto header = BmpFileHeader(info.data(), info.size());
    const std::uint32_t offset = static_cast<std::uint32_t>(header[10]) | static_cast<std::uint32_t>(header[11]) << 8;
    EXPECT_EQ(offset, 54u + 4u * (1u << bits)) << bits;
  }
  const auto info = BmpInfoHeader(8, 8, 32);
  EXPECT_EQ(BmpFileHeader(info.data(), info.size())[10], 54);
}

}  // namespace
}  // namespace varnelt
