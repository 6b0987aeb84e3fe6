// Tests the Windows step of the GIF engine: image bitmaps become device bitmaps with the
// right size, rows in picture order and colours; malformed blocks give none.
#include "imaging/gif_bitmap_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "imaging/gif_engine.h"

namespace varnelt {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  const std::uint8_t le[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                              static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
  if (at + 4 <= b.size()) std::memcpy(b.data() + at, le, 4);
}

// A packed DIB as the engine lays it out: 5 x 3, index = x + 5 * y, entry i = (i*10,
// i*20, 255 - i) as red, green, blue.
Bytes SampleDib() {
  const std::size_t w = 5, h = 3, stride = 8;
  Bytes b(kGifDibPixelOffset + stride * h, 0);
  Put32(b, 0, 40);
  Put32(b, 4, w);
  Put32(b, 8, static_cast<std::uint32_t>(-3));
  b[12] = 1;
  b[14] = 8;
  Put32(b, 32, 256);
  Put32(b, 36, 256);
  for (std::size_t i = 0; i < 256; ++i) {
    b[40 + 4 * i + 0] = static_cast<std::uint8_t>(255 - i);
    b[40 + 4 * i + 1] = static_cast<std::uint8_t>(i * 20);
    b[40 + 4 * i + 2] = static_cast<std::uint8_t>(i * 10);
  }
  for (std::size_t y = 0; y < h; ++y) {
    for (std::size_t x = 0; x < w; ++x) b[kGifDibPixelOffset + y * stride + x] = static_cast<std::uint8_t>(x + 5 * y);
  }
  return b;
}

TEST(GifBitmapWinTest, DeviceBitmapHoldsTheImage) {
  WindowDc screen(nullptr);
  ASSERT_NE(screen.get(), nullptr);
  const Bytes dib = SampleDib();
  UniqueBitmap bitmap = CreateGifDeviceBitmap(screen.get(), dib.data(), dib.size());
  ASSERT_TRUE(bitmap);
  BITMAP info{};
  ASSERT_NE(GetObject(bitmap.get(), sizeof info, &info), 0);
  EXPECT_EQ(info.bmWidth, 5);
  EXPECT_EQ(info.bmHeight, 3);

  BITMAPINFO want{};
  want.bmiHeader.biSize = sizeof want.bmiHeader;
  want.bmiHeader.biWidth = 5;
  want.bmiHeader.biHeight = -3;
  want.bmiHeader.biPlanes = 1;
  want.bmiHeader.biBitCount = 32;
  std::vector<std::uint32_t> pixels(15);
  ASSERT_EQ(GetDIBits(screen.get(), bitmap.get(), 0, 3, pixels.data(), &want, DIB_RGB_COLORS), 3);
  for (std::uint32_t i = 0; i < 15; ++i) {
    const std::uint32_t expected = ((i * 10) << 16) | (((i * 20) & 0xFF) << 8) | (255 - i);  // 0x00RRGGBB
    EXPECT_EQ(pixels[i] & 0xFFFFFF, expected) << "pixel " << i;
  }
}

TEST(GifBitmapWinTest, MalformedBlocksGiveNoBitmap) {
  WindowDc screen(nullptr);
  const Bytes good = SampleDib();
  Bytes short_rows(good.begin(), good.end() - 1);
  Bytes bottom_up = good;
  Put32(bottom_up, 8, 3);
  Bytes four_bits = good;
  four_bits[14] = 4;
  Bytes no_width = good;
  Put32(no_width, 4, 0);
  for (const Bytes* b : {&short_rows, &bottom_up, &four_bits, &no_width}) {
    EXPECT_FALSE(CreateGifDeviceBitmap(screen.get(), b->data(), b->size()));
  }
  EXPECT_FALSE(CreateGifDeviceBitmap(nullptr, good.data(), good.size()));
  EXPECT_FALSE(CreateGifDeviceBitmap(screen.get(), good.data(), 1000));
}

}  // namespace
}  // namespace varnelt
