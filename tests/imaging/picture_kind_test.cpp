// Tests the format sniff: which kind the first six bytes announce, in the table's order.
#include "imaging/picture_kind.h"

#include <gtest/gtest.h>

#include <vector>

namespace varnelt {
namespace {

TEST(SniffPictureKind, RecognisesEachSignatureFromSixBytes) {
  struct Case {
    std::vector<std::uint8_t> bytes;
    PictureKind kind;
  };
  const Case cases[] = {
      {{'B', 'M', 0, 0, 0, 0}, PictureKind::kBmp},
      {{0xFF, 0xD8, 0xFF, 0xE0, 0, 0}, PictureKind::kJpeg},
      {{0, 0, 1, 0, 1, 0}, PictureKind::kIcon},
      {{0, 0, 1, 0, 0, 1}, PictureKind::kIcon},  // 256 images
      {{0, 0, 2, 0, 3, 0}, PictureKind::kCursor},
      {{0, 0, 1, 0, 0, 0}, PictureKind::kNone},  // no images
      {{0, 0, 3, 0, 1, 0}, PictureKind::kNone},
      {{1, 0, 1, 0, 1, 0}, PictureKind::kNone},
      {{'G', 'I', 'F', '8', '7', 'a'}, PictureKind::kGif},
      {{'G', 'I', 'F', '8', '9', 'a'}, PictureKind::kGif},
      {{'G', 'I', 'F', '8', '8', 'a'}, PictureKind::kNone},
      {{0x0A, 5, 1, 8, 0, 0}, PictureKind::kPcx256},
      {{0x0A, 0, 1, 8, 0, 0}, PictureKind::kPcx256},
      {{0x0A, 3, 1, 8, 0, 0}, PictureKind::kPcx256},
      {{0x0A, 6, 1, 8, 0, 0}, PictureKind::kNone},
      {{0x0A, 5, 0, 8, 0, 0}, PictureKind::kNone},
      {{0x0A, 3, 1, 1, 0, 0}, PictureKind::kPcxMono},
      {{0x0A, 5, 1, 1, 0, 0}, PictureKind::kNone},  // black and white is version 3 only
      {{0x0A, 3, 1, 4, 0, 0}, PictureKind::kNone},
      // Longer buffers: only the first six bytes count.
      {{'B', 'M', 'x', 'x', 'x', 'x', 'G', 'I', 'F'}, PictureKind::kBmp},
      {{'x', 'B', 'M', 0, 0, 0, 0}, PictureKind::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SniffPictureKind(c.bytes.data(), c.bytes.size()), c.kind)
        << ::testing::PrintToString(c.bytes);
  }
}

TEST(SniffPictureKind, FewerThanSixBytesAreNeverAPicture) {
  const std::uint8_t gif[] = {'G', 'I', 'F', '8', '9', 'a'};
  const std::uint8_t bmp[] = {'B', 'M', 0, 0, 0, 0};
  for (std::size_t size = 0; size < 6; ++size) {
    EXPECT_EQ(SniffPictureKind(gif, size), PictureKind::kNone) << size;
    EXPECT_EQ(SniffPictureKind(bmp, size), PictureKind::kNone) << size;
  }
  EXPECT_EQ(SniffPictureKind(nullptr, 0), PictureKind::kNone);
}

}  // namespace
}  // namespace varnelt
