// Tests decode picture: dispatch by the sniffed kind, no picture for unknown or empty
// bytes, and the replay of every input that once crashed or hung a decoder.
#include "imaging/decode_picture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "picture_fixtures.h"

namespace varnelt {
namespace {

using testing::Bytes;

TEST(DecodePicture, EachFixtureComesOutAsItsKind) {
  struct Case {
    const char* name;
    PictureKind kind;
  };
  for (const Case& c : {Case{"jpeg_baseline.jpg", PictureKind::kJpeg}, Case{"bmp8_w3.bmp", PictureKind::kBmp},
                        Case{"icon_three.ico", PictureKind::kIcon}, Case{"cursor_three.cur", PictureKind::kCursor},
                        Case{"pcx8_netpbm.pcx", PictureKind::kPcx256}, Case{"pcx1_w3.pcx", PictureKind::kPcxMono}}) {
    VARNELT_LOAD_FIXTURE(file, c.name);
    const auto picture = DecodePicture(file.data(), file.size());
    ASSERT_TRUE(picture) << c.name;
    EXPECT_EQ(picture->kind, c.kind) << c.name;
  }
}

TEST(DecodePicture, GifGoesToTheGifEngine) {
  // A 1x1 GIF89a: two global colours, a graphic control extension, one image, trailer.
  const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF,
                     0x21, 0xF9, 4, 1, 0, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0, 0x3B};
  const auto picture = DecodePicture(gif.data(), gif.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->kind, PictureKind::kGif);
  EXPECT_EQ(picture->width, 1);
  EXPECT_EQ(picture->height, 1);
}

TEST(DecodePicture, NothingForEmptyShortOrUnknownBytes) {
  const Bytes gif_prefix = {'G', 'I', 'F', '8', '9'};
  const Bytes text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
  const Bytes bmp_prefix = {'B', 'M', 0, 0, 0, 0, 0, 0};
  EXPECT_FALSE(DecodePicture(nullptr, 0));
  EXPECT_FALSE(DecodePicture(text.data(), 0));
  EXPECT_FALSE(DecodePicture(gif_prefix.data(), gif_prefix.size()));
  EXPECT_FALSE(DecodePicture(text.data(), text.size()));
  EXPECT_FALSE(DecodePicture(bmp_prefix.data(), bmp_prefix.size()));
}

// Every file under regressions/ once crashed, hung or overran a decoder. Each must now
// decode quietly, and any picture must have its kind's layout.
TEST(DecodePicture, ReplaysRegressionInputs) {
  const std::filesystem::path root = std::filesystem::path(VARNELT_SOURCE_DIR) / "tests/imaging/regressions";
  ASSERT_TRUE(std::filesystem::is_directory(root)) << root;
  std::size_t replayed = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file() || entry.path().filename() == "README.md") continue;
    const auto bytes = testing::ReadFileBytes(entry.path().string());
    ASSERT_TRUE(bytes) << entry.path();
    const auto picture = DecodePicture(bytes->data(), bytes->size());
    ++replayed;
    if (!picture || picture->kind == PictureKind::kIcon || picture->kind == PictureKind::kCursor) continue;
    EXPECT_TRUE(testing::PictureToRgb(*picture)) << entry.path() << ": block does not fit its kind's layout";
  }
  std::printf("replayed %zu regression inputs\n", replayed);
}

}  // namespace
}  // namespace varnelt
