// Tests the frame and badge pictures the layout carries: how they are encoded and what
// they show once decoded.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "imaging/decode_picture.h"
#include "resources/layout_pictures.h"

namespace varnelt {
namespace {

struct Rgb {
  int r, g, b;
};

// Pixel (x, y) counted from the top of a decoded JPEG (bottom-up BGR rows).
Rgb At(const DecodedPicture& p, int x, int y) {
  const std::size_t row = static_cast<std::size_t>(p.height - 1 - y);
  const std::uint8_t* px = p.pixels.data() + (row * static_cast<std::size_t>(p.width) + static_cast<std::size_t>(x)) * 3;
  return {px[2], px[1], px[0]};
}

bool Near(Rgb a, Rgb b, int levels) {
  return std::abs(a.r - b.r) <= levels && std::abs(a.g - b.g) <= levels && std::abs(a.b - b.b) <= levels;
}

constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kRed{255, 0, 0};

// The marker segments before the scan: (marker, payload).
std::vector<std::pair<int, std::vector<std::uint8_t>>> Segments(const std::uint8_t* data, std::size_t size) {
  std::vector<std::pair<int, std::vector<std::uint8_t>>> segments;
  std::size_t at = 2;
  while (at + 4 <= size && data[at] == 0xFF) {
    const int marker = data[at + 1];
    const std::size_t length = static_cast<std::size_t>(data[at + 2] << 8 | data[at + 3]);
    segments.push_back({marker, std::vector<std::uint8_t>(data + at + 4, data + at + 2 + length)});
    if (marker == 0xDA) break;
    at += 2 + length;
  }
  return segments;
}

TEST(LayoutPictures, FrameIsABaselineJpegWithRestartsAndFullChroma) {
  ASSERT_GT(kFramePicture_size, 4u);
  EXPECT_EQ(kFramePicture[0], 0xFF);
  EXPECT_EQ(kFramePicture[1], 0xD8);
  bool jfif = false, restart7 = false, baseline = false;
  for (const auto& [marker, payload] : Segments(kFramePicture, kFramePicture_size)) {
    if (marker == 0xE0) jfif = payload.size() >= 5 && payload[0] == 'J' && payload[3] == 'F';
    if (marker == 0xDD) restart7 = payload.size() == 2 && payload[0] == 0 && payload[1] == 7;
    EXPECT_NE(marker, 0xC2) << "progressive";
    if (marker == 0xC0) {
      baseline = true;
      ASSERT_EQ(payload.size(), 6u + 3 * 3);
      EXPECT_EQ(payload[0], 8);                                  // 8-bit samples
      EXPECT_EQ(payload[1] << 8 | payload[2], 246);              // height
      EXPECT_EQ(payload[3] << 8 | payload[4], 159);              // width
      EXPECT_EQ(payload[5], 3);                                  // components
      for (std::size_t c = 0; c < 3; ++c) EXPECT_EQ(payload[7 + 3 * c], 0x11) << "component " << c;
    }
  }
  EXPECT_TRUE(jfif);
  EXPECT_TRUE(restart7);
  EXPECT_TRUE(baseline);
}

TEST(LayoutPictures, FrameShowsABlackBorderAroundAWhiteSlotWithTheWatermarkInside) {
  const auto frame = DecodePicture(kFramePicture, kFramePicture_size);
  ASSERT_TRUE(frame);
  ASSERT_EQ(frame->kind, PictureKind::kJpeg);
  ASSERT_EQ(frame->width, 159);
  ASSERT_EQ(frame->height, 246);
  int watermark = 0;
  for (int y = 0; y < 246; ++y) {
    for (int x = 0; x < 159; ++x) {
      const bool border = x < 9 || x >= 150 || y < 10 || y >= 236;
      const Rgb p = At(*frame, x, y);
      if (border) {
        ASSERT_TRUE(Near(p, kBlack, 12)) << x << "," << y;
      } else if (x < 22 || x > 136 || y < 81 || y > 164) {
        // Away from the watermark, and one pixel in from the border for the JPEG's ringing.
        if (x > 9 && x < 149 && y > 10 && y < 235) {
          ASSERT_TRUE(Near(p, kWhite, 12)) << x << "," << y;
        }
      } else if (p.r < 128) {
        ++watermark;
      }
    }
  }
  EXPECT_GT(watermark, 200);
}

TEST(LayoutPictures, BadgeIsARedFrameAroundAWhiteSquareWithARedGlyph) {
  const auto badge = DecodePicture(kBadgePicture, kBadgePicture_size);
  ASSERT_TRUE(badge);
  ASSERT_EQ(badge->width, 12);
  ASSERT_EQ(badge->height, 12);
  for (int i = 0; i < 12; ++i) {
    EXPECT_TRUE(Near(At(*badge, i, 0), kRed, 12)) << i;
    EXPECT_TRUE(Near(At(*badge, i, 11), kRed, 12)) << i;
    EXPECT_TRUE(Near(At(*badge, 0, i), kRed, 12)) << i;
    EXPECT_TRUE(Near(At(*badge, 11, i), kRed, 12)) << i;
  }
  int white = 0, red = 0;
  for (int y = 1; y < 11; ++y)
    for (int x = 1; x < 11; ++x) {
      white += Near(At(*badge, x, y), kWhite, 24);
      red += Near(At(*badge, x, y), kRed, 24);
    }
  EXPECT_GT(white, 50);
  EXPECT_GT(red, 12);
}

}  // namespace
}  // namespace varnelt
