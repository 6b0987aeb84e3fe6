// Tests the Windows step for icons: the icon handle made from the chosen directory image,
// and no handle for other kinds or for image bytes Windows cannot read.
#include "imaging/icon_win.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "imaging/icon_directory.h"

namespace varnelt {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// An icon file with one 32x32 image at 32 bits: a bitmap header (height 64 for colour and
// mask), the colour pixels, then the 1-bit mask.
Bytes IconFile32() {
  const std::size_t image_size = 40 + 32 * 32 * 4 + 32 * 4;
  Bytes b(6 + 16 + image_size, 0);
  b[2] = 1;
  b[4] = 1;
  b[6] = 32;
  b[7] = 32;
  b[10] = 1;
  b[12] = 32;
  Put32(b, 14, static_cast<std::uint32_t>(image_size));
  Put32(b, 18, 22);
  Put32(b, 22, 40);
  Put32(b, 26, 32);
  Put32(b, 30, 64);
  b[34] = 1;
  b[36] = 32;
  for (std::size_t i = 0; i < 32 * 32; ++i) Put32(b, 22 + 40 + 4 * i, 0xFF2060C0u);
  return b;
}

TEST(IconWin, MakesTheIconOfTheChosenImage) {
  const Bytes file = IconFile32();
  const auto picture = DecodeIconDirectory(file.data(), file.size());
  ASSERT_TRUE(picture);
  ScopedIcon icon = CreatePictureIcon(*picture, file.data(), file.size());
  ASSERT_TRUE(icon);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon.get(), &info));
  BITMAP colour{};
  ASSERT_NE(info.hbmColor, nullptr);
  EXPECT_NE(GetObject(info.hbmColor, sizeof colour, &colour), 0);
  EXPECT_EQ(colour.bmWidth, 32);
  EXPECT_EQ(colour.bmHeight, 32);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
}

TEST(IconWin, NoIconForOtherKindsOrUnreadableImages) {
  Bytes file = IconFile32();
  auto picture = DecodeIconDirectory(file.data(), file.size());
  ASSERT_TRUE(picture);
  DecodedPicture bmp = DecodedPicture{};
  bmp.kind = PictureKind::kBmp;
  bmp.icon = picture->icon;
  EXPECT_FALSE(CreatePictureIcon(bmp, file.data(), file.size()));
  // The image reaching past the bytes given.
  EXPECT_FALSE(CreatePictureIcon(*picture, file.data(), file.size() - 1));
  // A bitmap header Windows refuses: a header length of 7 and 99 bits per pixel.
  file[22] = 7;
  file[22 + 14] = 99;
  picture = DecodeIconDirectory(file.data(), file.size());
  ASSERT_TRUE(picture);
  EXPECT_FALSE(CreatePictureIcon(*picture, file.data(), file.size()));
}

TEST(IconWin, OwnerDestroysAndHandsOver) {
  const Bytes file = IconFile32();
  const auto picture = DecodeIconDirectory(file.data(), file.size());
  ASSERT_TRUE(picture);
  ScopedIcon first = CreatePictureIcon(*picture, file.data(), file.size());
  ASSERT_TRUE(first);
  const HICON handle = first.get();
  ScopedIcon second = std::move(first);
  EXPECT_FALSE(first);
  EXPECT_EQ(second.get(), handle);
  second.reset();
  EXPECT_FALSE(second);
}

}  // namespace
}  // namespace varnelt
