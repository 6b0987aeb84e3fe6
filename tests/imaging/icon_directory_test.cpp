// Tests icon and cursor directory parsing: the image choice rule, the reported size and
// the bounds of every read.
#include "imaging/icon_directory.h"

#include <gtest/gtest.h>

#include <vector>

#include "picture_fixtures.h"

namespace varnelt {
namespace {

using testing::Bytes;

struct Entry {
  std::uint8_t width;
  std::uint8_t colours;
  std::int32_t header_width;   // the image's bitmap header
  std::int32_t header_height;  // colour image and mask together
};

void Append32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

// A directory with one 40-byte bitmap header (bit count 4) as each entry's image.
Bytes IconFile(const std::vector<Entry>& entries, std::uint16_t type = 1) {
  Bytes b = {0, 0, static_cast<std::uint8_t>(type), 0, static_cast<std::uint8_t>(entries.size()), 0};
  const std::size_t images = 6 + 16 * entries.size();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    b.push_back(entries[i].width);
    b.push_back(0);
    b.push_back(entries[i].colours);
    b.push_back(0);
    Append32(b, 0);
    Append32(b, 40);
    Append32(b, static_cast<std::uint32_t>(images + 40 * i));
  }
  for (const Entry& entry : entries) {
    Append32(b, 40);
    Append32(b, static_cast<std::uint32_t>(entry.header_width));
    Append32(b, static_cast<std::uint32_t>(entry.header_height));
    b.push_back(1);
    b.push_back(0);
    b.push_back(4);
    b.push_back(0);
    for (int i = 0; i < 24; ++i) b.push_back(0);
  }
  return b;
}

TEST(IconDirectory, ChoosesTheFirst32PixelImageWithAtLeast16ColoursElseTheLast) {
  struct Case {
    const char* what;
    std::vector<Entry> entries;
    std::size_t chosen;
  };
  const Entry i16c16{16, 16, 16, 32};
  const Entry i32c16{32, 16, 32, 64};
  const Entry i32c256{32, 0, 32, 64};  // 256 colours and more count as 0
  const Entry i48{48, 16, 48, 96};
  for (const Case& c : {
           Case{"16/16, 32/16, 32/256", {i16c16, i32c16, i32c256}, 1},
           Case{"all 48 pixels", {i48, i48, i48}, 2},
           Case{"32/256 only counts 0", {i16c16, i32c256}, 1},
           Case{"15 colours are too few", {Entry{32, 15, 32, 64}, i16c16}, 1},
           Case{"first of two matches", {i32c16, Entry{32, 255, 32, 64}}, 0},
           Case{"a single image", {i48}, 0},
       }) {
    const Bytes file = IconFile(c.entries);
    IconError error = IconError::kNone;
    const auto picture = DecodeIconDirectory(file.data(), file.size(), &error);
    ASSERT_TRUE(picture) << c.what << " error " << static_cast<int>(error);
    EXPECT_EQ(picture->kind, PictureKind::kIcon);
    EXPECT_EQ(picture->icon.entry, c.chosen) << c.what;
    EXPECT_EQ(picture->width, c.entries[c.chosen].header_width) << c.what;
    EXPECT_EQ(picture->height, c.entries[c.chosen].header_height / 2) << c.what;
    EXPECT_EQ(picture->icon.offset, 6 + 16 * c.entries.size() + 40 * c.chosen) << c.what;
    EXPECT_EQ(picture->icon.size, 40u);
    EXPECT_EQ(picture->icon.bit_count, 4);
    EXPECT_TRUE(picture->pixels.empty());
  }
}

TEST(IconDirectory, CursorFilesGiveKindFourAndHalfHeightsTruncate) {
  const Bytes file = IconFile({Entry{32, 16, 32, 65}}, 2);
  const auto picture = DecodeIconDirectory(file.data(), file.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->kind, PictureKind::kCursor);
  EXPECT_EQ(picture->height, 32);
}

TEST(IconDirectory, ReadsNothingOutsideTheFile) {
  struct Case {
    const char* what;
    Bytes file;
    IconError error;
  };
  const Bytes good = IconFile({Entry{16, 16, 16, 32}, Entry{48, 16, 48, 96}});
  Bytes type3 = good;
  type3[2] = 3;
  Bytes no_images = good;
  no_images[4] = 0;
  Bytes reserved = good;
  reserved[0] = 1;
  // Three images announced, two entries present (and no match among them).
  Bytes missing_entry = good;
  missing_entry[4] = 3;
  missing_entry.resize(6 + 32);
  Bytes far_image = good;
  Put32(far_image, 6 + 16 + 12, 0xFFFFFFF0u);
  Bytes long_image = good;
  Put32(long_image, 6 + 16 + 8, 41);
  Bytes tiny_image = good;
  Put32(tiny_image, 6 + 16 + 8, 12);
  for (const Case& c : {Case{"5 bytes", Bytes(good.begin(), good.begin() + 5), IconError::kBadDirectory},
                        Case{"type 3", type3, IconError::kBadDirectory},
                        Case{"no images", no_images, IconError::kBadDirectory},
                        Case{"reserved word", reserved, IconError::kBadDirectory},
                        Case{"short entry", missing_entry, IconError::kShortEntry},
                        Case{"offset past the end", far_image, IconError::kShortImage},
                        Case{"image longer than the file", long_image, IconError::kShortImage},
                        Case{"image without a bit count", tiny_image, IconError::kShortImage}}) {
    IconError error = IconError::kNone;
    EXPECT_FALSE(DecodeIconDirectory(c.file.data(), c.file.size(), &error)) << c.what;
    EXPECT_EQ(error, c.error) << c.what;
  }
}

TEST(IconDirectory, EncoderMadeIconsAndCursor) {
  struct Case {
    const char* name;
    PictureKind kind;
    std::size_t entry;
    std::int32_t size;
  };
  // ImageMagick writes every image at 32 bits (colour count 0): the last one is chosen.
  // A 256-pixel image is stored as PNG, whose size is in its IHDR chunk.
  for (const Case& c : {Case{"icon_three.ico", PictureKind::kIcon, 2, 48},
                        Case{"icon_png.ico", PictureKind::kIcon, 1, 256},
                        Case{"cursor_three.cur", PictureKind::kCursor, 2, 48}}) {
    VARNELT_LOAD_FIXTURE(file, c.name);
    const auto picture = DecodeIconDirectory(file.data(), file.size());
    ASSERT_TRUE(picture) << c.name;
    EXPECT_EQ(picture->kind, c.kind) << c.name;
    EXPECT_EQ(picture->icon.entry, c.entry) << c.name;
    EXPECT_EQ(picture->width, c.size) << c.name;
    EXPECT_EQ(picture->height, c.size) << c.name;
  }
}

}  // namespace
}  // namespace varnelt
